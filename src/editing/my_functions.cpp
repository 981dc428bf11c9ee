#include "editing/my_functions.h"

#include "app/dialogs.h"
#include "editing/readiness_check.h"

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
