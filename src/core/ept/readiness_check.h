#pragma once

#include "core/base/message.h"
#include "core/store/problem.h"

#include <optional>

namespace vadazaz {

// The first thing that keeps the EPT from opening, or nothing when the problem is complete:
// the child and its states named, every parent entered, at least one Non-modifying parent.
// The two lines that ask for the child's name first.
QString childNameMissingText();

std::optional<Message> readinessRefusal(const Problem &problem);

} // namespace vadazaz
