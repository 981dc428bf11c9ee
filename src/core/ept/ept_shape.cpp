#include "core/ept/ept_shape.h"

#include "core/ept/readiness_check.h"

#include <climits>

namespace vadazaz {

EptShape deriveEptShape(const Problem &problem)
{
    EptShape shape;
    qint64 rows = 2;
    qint64 cols = problem.noChildStates;
    for (int i = 1; i <= problem.noParents(); ++i) {
        const int n = problem.parentNoStates(i);
        if (problem.parentType(i) == ParentType::NonModifying) {
            shape.nonModParents.append(i);
            rows = std::min<qint64>(rows + (n - 1), INT_MAX);
        } else {
            shape.modParents.append(i);
            cols = std::min<qint64>(cols * n, INT_MAX);
        }
    }
    // A single Non-modifying parent's last state is already row 2.
    if (shape.noNonModParents() == 1)
        --rows;
    shape.eptRows = int(rows);
    shape.eptCols = int(cols);
    return shape;
}

qint64 cptRowCount(const Problem &problem)
{
    qint64 rows = 1;
    for (int p = 1; p <= problem.noParents(); ++p)
        rows = std::min(rows * problem.parentNoStates(p), maxCptRows + 1);
    return rows;
}

Result<EptShape> checkedEptShape(const Problem &problem)
{
    EptShape shape = deriveEptShape(problem);
    if (shape.eptCols > maxEptCols)
        return Message{
            editEptTitle(),
            QStringLiteral("You need to fill in more than %1 columns in the EPT. This is "
                           "not a sensible number.\r"
                           "Do one of the following:\r"
                           "\r"
                           "1. Reduce the number of states that the child variable has.\r"
                           "2. Reduce the number of modifying parents.\r"
                           "3. Reduce the number of states that the modifying parents "
                           "have.")
                .arg(maxEptCols)};
    if (cptRowCount(problem) > maxCptRows)
        return tooManyRowsMessage();
    return shape;
}

Message tooManyRowsMessage()
{
    return {editEptTitle(),
            QStringLiteral("The CPT would have more than %1 rows. This is too many to calculate.\r"
                           "Reduce the number of parents or the number of states that they have.")
                .arg(maxCptRows)};
}

int rowParentState(const Problem &problem, const EptShape &shape, int r, int i)
{
    const int n = problem.parentNoStates(shape.nonModParent(i));
    if (r == 1)
        return 1;
    if (r == 2)
        return n;
    int bandStart = 3;
    for (int k = 1; k < i; ++k)
        bandStart += problem.parentNoStates(shape.nonModParent(k)) - 1;
    if (r >= bandStart && r <= bandStart + n - 2)
        return r - bandStart + 2;
    return 1;
}

int blockModParentState(const Problem &problem, const EptShape &shape, int j, int b)
{
    int repeat = 1; // blocks that share one state of parent j
    for (int k = j + 1; k <= shape.noModParents(); ++k)
        repeat *= problem.parentNoStates(shape.modParent(k));
    const int n = problem.parentNoStates(shape.modParent(j));
    return (b - 1) / repeat % n + 1;
}

CellConfiguration::CellConfiguration(const Problem &problem, const EptShape &shape)
    : parentOrder(shape.modParents + shape.nonModParents), noModInOrder(shape.noModParents()),
      eptRows(shape.eptRows), eptCols(shape.eptCols), noParents(problem.noParents())
{
    const int c = problem.noChildStates;
    parentState_.assign(std::size_t(eptRows) * eptCols * noParents, 0);
    childState_.assign(std::size_t(eptRows) * eptCols, 0);
    for (int r = 1; r <= eptRows; ++r) {
        for (int col = 1; col <= eptCols; ++col) {
            int *states = &parentState_[index(r, col) * std::size_t(noParents)];
            for (int i = 1; i <= shape.noNonModParents(); ++i)
                states[shape.nonModParent(i) - 1] = rowParentState(problem, shape, r, i);
            for (int j = 1; j <= shape.noModParents(); ++j)
                states[shape.modParent(j) - 1] =
                    blockModParentState(problem, shape, j, columnBlock(col, c));
            childState_[index(r, col)] = columnChildState(col, c);
        }
    }
}

} // namespace vadazaz
