#include "gui/editing/my_functions.h"

#include "gui/widgets/dialogs.h"
#include "core/ept/readiness_check.h"

namespace vadazaz {

bool ReadyForEPT(QWidget *parent)
{
    if (const auto refusal = readinessRefusal(problem())) {
        showMessage(parent, *refusal);
        return false;
    }
    return true;
}

} // namespace vadazaz
