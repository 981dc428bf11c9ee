#include "core/store/problem.h"

namespace vadazaz {

void Problem::initialise()
{
    childName.clear();
    noChildStates = 2;
    ept.clear();
    notes.clear();
    networkFile.clear();
    networkNode.clear();
    childId.clear();
    childStateIds = {};
    childStateNames_ = {};
    parents_ = QList<Parent>(2);
}

void Problem::appendParent()
{
    parents_.append(Parent{});
}

bool Problem::removeLastParent()
{
    if (parents_.size() <= 2)
        return false;
    parents_.removeLast();
    return true;
}

QString parentTypeName(ParentType type)
{
    return type == ParentType::Modifying ? QStringLiteral("Modifying")
                                         : QStringLiteral("Non-modifying");
}

std::optional<ParentType> parentTypeNamed(const QString &name)
{
    for (const ParentType type : {ParentType::NonModifying, ParentType::Modifying}) {
        if (name == parentTypeName(type))
            return type;
    }
    return std::nullopt;
}

Problem &problem()
{
    static Problem theProblem;
    return theProblem;
}

} // namespace vadazaz
