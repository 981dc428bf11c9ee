#include "core/ept/readiness_check.h"

namespace vadazaz {

QString editEptTitle()
{
    return QStringLiteral("Edit EPT");
}

QString childNameMissingText()
{
    return QStringLiteral("Please enter a name for the child variable.\r"
                          "Type the child's name in the box and then click the 'Enter child name' "
                          "button.");
}

Result<void> ReadyForEPT(const Problem &problem)
{
    if (problem.childName.isEmpty())
        return Message{editEptTitle(), childNameMissingText()};
    for (int s = 1; s <= problem.noChildStates; ++s) {
        if (problem.childStateName(s).isEmpty())
            return Message{editEptTitle(),
                           QStringLiteral("Please enter names for the child variable states.")};
    }
    for (int p = 1; p <= problem.noParents(); ++p) {
        if (problem.parentName(p).isEmpty())
            return Message{editEptTitle(),
                           QStringLiteral("Please enter details for the all parent variables.")};
    }
    for (int p = 1; p <= problem.noParents(); ++p) {
        if (problem.parentType(p) == ParentType::NonModifying)
            return {};
    }
    return Message{editEptTitle(),
                   QStringLiteral("You must have at least one non-modifying parent.")};
}

} // namespace vadazaz
