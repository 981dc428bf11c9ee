#pragma once

#include "core/base/result.h"
#include "core/store/problem.h"

namespace vadazaz {

// The title of every message of "Edit EPT".
QString editEptTitle();

// The two lines that ask for the child's name first.
QString childNameMissingText();

// Whether the problem is complete enough for its EPT: the child and its states named, every parent
// entered, at least one Non-modifying parent. The failure is the first thing missing.
Result<void> ReadyForEPT(const Problem &problem);

} // namespace vadazaz
