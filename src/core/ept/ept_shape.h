#pragma once

#include "core/base/result.h"
#include "core/store/problem.h"

#include <QList>

#include <optional>
#include <vector>

namespace vadazaz {

inline constexpr int maxEptCols = 12;
inline constexpr qint64 maxCptRows = 1048576;

// The shape of the elicited probability table. Non-modifying parents vary down its rows,
// Modifying parents across its column blocks.
struct EptShape
{
    QList<int> nonModParents; // parent indices (1-based), ascending
    QList<int> modParents;    // parent indices (1-based), ascending
    int eptRows = 0;
    int eptCols = 0; // saturates at INT_MAX, so a huge problem never wraps round to a small one

    int noNonModParents() const { return int(nonModParents.size()); }
    int noModParents() const { return int(modParents.size()); }
    // The i-th Non-modifying and the j-th Modifying parent, both counted from 1.
    int nonModParent(int i) const { return nonModParents.at(i - 1); }
    int modParent(int j) const { return modParents.at(j - 1); }
};

// The EPT's rows and columns for the problem's parents and child states.
EptShape deriveEptShape(const Problem &problem);

// The number of CPT rows, the product of every parent's state count, counted without
// overflow: any count above maxCptRows is answered as maxCptRows + 1.
qint64 cptRowCount(const Problem &problem);

// The shape, unless it is too large to open: more than 12 columns, or a CPT of more than
// maxCptRows rows.
Result<EptShape> checkedEptShape(const Problem &problem);
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
