#pragma once

#include "core/base/result.h"
#include "core/ept/ept_shape.h"
#include "core/store/problem.h"

#include <QList>

#include <optional>
#include <vector>

namespace vadazaz {

// The conditional probability table: one row of child-state percentages for every combination
// of parent states. Row r stands for the configuration with the parent at position p in state
// s(p), where r = 1 + the sum of (s(p) - 1) * positionStride(p); the last position varies fastest.
struct Cpt
{
    int cptRows = 0;
    int noChildStates = 0;
    QList<int> parentOrder;     // the parent at each position: Modifying parents first
    QList<int> positionStrides; // position 1 at index 0
    std::vector<double> values; // row-major, noChildStates per row
    // First row holding a value below 0 or above 100, beyond rounding noise; 0 when none.
    int firstOutOfRangeRow = 0;

    int positionStride(int p) const { return positionStrides.at(p - 1); }
    double at(int r, int c) const
    {
        return values[std::size_t(r - 1) * std::size_t(noChildStates) + std::size_t(c - 1)];
    }
    // State of the parent at position p in row r.
    int rowState(int r, int p, int parentNoStates) const
    {
        return (r - 1) / positionStride(p) % parentNoStates + 1;
    }
};

// Builds the CPT from a validated EPT (values row-major, as the cell configuration describes
// them): the EPT's rows are copied into their places, every other row of a block is interpolated
// from the block's most positive row towards its least positive row, one parent's weight at a
// time. Values are stored as computed, not clamped; none is ever NaN or infinite: a computation
// that would leave the doubles is refused.
Result<Cpt> computeCpt(const Problem &problem, const CellConfiguration &cells,
                       const std::vector<double> &eptValues);

// The warning about probabilities outside 0..100, or nothing when every one is inside.
std::optional<Message> outOfRangeWarning(const Cpt &cpt);

} // namespace vadazaz
