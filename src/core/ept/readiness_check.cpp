#include "core/ept/readiness_check.h"

namespace vadazaz {

namespace {

Message editEptMessage(const QString &text)
{
    return {QStringLiteral("Edit EPT"), text};
}

} // namespace

QString childNameMissingText()
{
    return QStringLiteral("Please enter a name for the child variable.\r"
                          "Type the child's name in the box and then click the 'Enter child name' "
                          "button.");
}

std::optional<Message> readinessRefusal(const Problem &problem)
{
    if (problem.childName.isEmpty())
        return editEptMessage(childNameMissingText());
    for (int s = 1; s <= problem.noChildStates; ++s) {
        if (problem.childStateName(s).isEmpty())
            return editEptMessage(
                QStringLiteral("Please enter names for the child variable states."));
    }
    for (int p = 1; p <= problem.noParents(); ++p) {
        if (problem.parentName(p).isEmpty())
            return editEptMessage(
                QStringLiteral("Please enter details for the all parent variables."));
    }
    for (int p = 1; p <= problem.noParents(); ++p) {
        if (problem.parentType(p) == nonModifyingType)
            return std::nullopt;
    }
    return editEptMessage(QStringLiteral("You must have at least one non-modifying parent."));
}

} // namespace vadazaz
