#include "core/ept/calculation.h"

#include "core/ept/ept_validation.h"
#include "core/ept/readiness_check.h"

namespace vadazaz {

Result<EptShape> eptShapeFor(const Problem &problem)
{
    if (const Result<void> ready = ReadyForEPT(problem); !ready)
        return ready.failure();
    return checkedEptShape(problem);
}

Result<Calculation> calculateCpt(const Problem &problem, const EptShape &shape,
                                 const QStringList &cells, QStringView decimalPoint)
{
    Q_ASSERT(cells.size() == qsizetype(shape.eptRows) * shape.eptCols);
    Result<std::vector<double>> values =
        validateEpt(cells, shape.eptRows, shape.eptCols, problem.noChildStates,
                    shape.noModParents(), decimalPoint);
    if (!values)
        return values.failure();
    Result<Cpt> cpt = computeCpt(problem, CellConfiguration(problem, shape), *values);
    if (!cpt)
        return cpt.failure();
    const std::optional<Message> warning = outOfRangeWarning(*cpt);
    return Calculation{std::move(cpt).value(), warning};
}

} // namespace vadazaz
