#pragma once

#include "core/base/message.h"
#include "core/store/problem.h"

#include <QList>

#include <optional>
#include <vector>

namespace vadazaz {

inline constexpr int maxEptCols = 12;
inline constexpr qint64 maxCptRows = 1048576;

// The EPT's rows and columns for the problem's parents and child states. A parent whose type is
// neither code adds one "Wrong parent type in CommandEditEPT_Click" message and is left out.
EptShape deriveEptShape(const Problem &problem, QList<Message> *internalErrors = nullptr);

// The number of CPT rows, the product of every parent's state count, counted without
// overflow: any count above maxCptRows is answered as maxCptRows + 1.
qint64 cptRowCount(const Problem &problem);

// Why an EPT of this shape cannot be opened (more than 12 columns, or a CPT of more than
// maxCptRows rows), or nothing.
std::optional<Message> eptSizeRefusal(const Problem &problem, const EptShape &shape);
Message tooManyRowsMessage();

// The state of the i-th Non-modifying parent in EPT row r: row 1 has every one in state 1,
// row 2 every one in its last state, and each later row moves a single parent off state 1.
int rowParentState(const Problem &problem, const EptShape &shape, int r, int i);
// Column c's block and child state, for a child of noChildStates states.
inline int columnBlock(int c, int noChildStates)
{
    return (c - 1) / noChildStates + 1;
}
inline int columnChildState(int c, int noChildStates)
{
    return (c - 1) % noChildStates + 1;
}
// The state of the j-th Modifying parent in column block b (odometer order, last parent fastest).
int blockModParentState(const Problem &problem, const EptShape &shape, int j, int b);

// Which parent and child states every EPT cell stands for, and the order of the parents in
// the CPT: Modifying parents first, then Non-modifying ones.
class CellConfiguration
{
public:
    CellConfiguration() = default;
    CellConfiguration(const Problem &problem, const EptShape &shape);

    QList<int> parentOrder; // parent index at each position, position 1 at index 0
    int noModInOrder = 0;
    int eptRows = 0;
    int eptCols = 0;
    int noParents = 0;

    int parentAt(int position) const { return parentOrder.at(position - 1); }
    // State of parent q (its own index, not its position) in EPT cell (r, c).
    int cellParentState(int r, int c, int q) const
    {
        return parentState_[index(r, c) * std::size_t(noParents) + std::size_t(q - 1)];
    }
    int cellChildState(int r, int c) const { return childState_[index(r, c)]; }

private:
    std::size_t index(int r, int c) const { return std::size_t(r - 1) * eptCols + (c - 1); }
    std::vector<int> parentState_;
    std::vector<int> childState_;
};

} // namespace vadazaz
