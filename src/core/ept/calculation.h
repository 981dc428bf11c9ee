#pragma once

#include "core/base/result.h"
#include "core/ept/cpt_computation.h"
#include "core/ept/ept_shape.h"
#include "core/store/problem.h"

#include <QStringList>

#include <optional>

namespace vadazaz {

// The road from a problem to its CPT, the same for the windows and the calculator.

// "Edit EPT": the problem is complete (ReadyForEPT) and its EPT within the size limits. The
// failure is the first refusal, as the windows show it.
Result<EptShape> eptShapeFor(const Problem &problem);

struct Calculation
{
    Cpt cpt;
    // Probabilities below 0 or above 1 in the CPT: said, but no reason to refuse it.
    std::optional<Message> warning;
};

// "Calculate CPT": the EPT as typed (cell texts row-major, shape.eptRows × shape.eptCols) is
// checked and the CPT computed. The failure is the first refusal.
Result<Calculation> calculateCpt(const Problem &problem, const EptShape &shape,
                                 const QStringList &cells, QStringView decimalPoint);

} // namespace vadazaz
