#include "core/store/problem.h"

namespace vadazaz {

void Problem::initialise()
{
    childName.clear();
    noChildStates = 2;
    selectedParent = 1;
    eptShape = {};
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

Problem &problem()
{
    static Problem theProblem;
    return theProblem;
}

} // namespace vadazaz
