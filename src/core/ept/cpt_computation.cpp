#include "core/ept/cpt_computation.h"

#include "core/ept/ept_validation.h"

#include <QThread>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

#include <array>
#include <cmath>
#include <cstdint>
#include <thread>

namespace vadazaz {

namespace {

// How far a probability may stray outside 0..100 through rounding alone: a remainder of 100 that
// is exactly 0 can come out as -1.4e-14. Far below anything a CPT file shows.
constexpr double roundingNoise = 1e-9;

// A block of at least this many rows is walked in parts side by side, one part a thread.
constexpr int sideBySideRows = 1 << 16;

Message tooCloseMessage(int column)
{
    return {calculateCptTitle(),
            QStringLiteral("The CPT cannot be calculated: in column %1, the child probabilities of "
                           "rows 1 and 2 of the EPT are too close together.\rMake them differ by "
                           "more.")
                .arg(column)};
}

// Asks for the memory in large pages where the system gives them on request: a CPT of a million
// rows is then set up with a few page faults instead of thousands. Only a hint.
void adviseLargePages(void *data, std::size_t size)
{
#ifdef Q_OS_LINUX
    constexpr std::uintptr_t large = std::uintptr_t(2) << 20;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + large - 1) & ~(large - 1);
    const std::uintptr_t end = (start + size) & ~(large - 1);
    if (end > first)
        ::madvise(reinterpret_cast<void *>(first), end - first, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}

} // namespace

Result<Cpt> computeCpt(const Problem &problem, const CellConfiguration &cells,
                       const std::vector<double> &eptValues)
{
    const int positions = int(cells.parentOrder.size());
    const int noMod = cells.noModInOrder;
    const int childStates = problem.noChildStates;
    const auto states = [&](int p) {
        return problem.parentNoStates(cells.parentAt(p));
    };

    qint64 rows = 1;
    for (int p = 1; p <= positions; ++p)
        rows = std::min(rows * states(p), maxCptRows + 1);
    if (rows > maxCptRows)
        return tooManyRowsMessage();

    Cpt cpt;
    cpt.parentOrder = cells.parentOrder;
    cpt.cptRows = int(rows);
    cpt.noChildStates = childStates;
    cpt.values.reserve(std::size_t(rows) * std::size_t(childStates));
    adviseLargePages(cpt.values.data(), cpt.values.capacity() * sizeof(double));
    cpt.values.assign(std::size_t(rows) * std::size_t(childStates), 0.0);
    // The rows the EPT gives; every other row is interpolated.
    std::vector<bool> given(std::size_t(rows), false);
    const auto at = [&](int r, int c) -> double & {
        return cpt.values[std::size_t(r - 1) * std::size_t(childStates) + std::size_t(c - 1)];
    };

    cpt.positionStrides.resize(positions);
    for (int p = positions; p >= 1; --p)
        cpt.positionStrides[p - 1] = p == positions ? 1 : states(p + 1) * cpt.positionStride(p + 1);

    for (int i = 1; i <= cells.eptRows; ++i) {
        for (int j = 1; j <= cells.eptCols; ++j) {
            int r = 1;
            for (int p = 1; p <= positions; ++p)
                r += (cells.cellParentState(i, j, cells.parentAt(p)) - 1) * cpt.positionStride(p);
            given[std::size_t(r - 1)] = true;
            at(r, cells.cellChildState(i, j)) =
                eptValues[std::size_t(i - 1) * std::size_t(cells.eptCols) + std::size_t(j - 1)];
        }
    }

    const int blockLength = noMod > 0 ? cpt.positionStride(noMod) : cpt.cptRows;
    // weight[p - 1][s - 1][0] for child state 1, [1] for child state 3
    using Weights = std::array<std::array<double, 2>, 2>;
    std::vector<Weights> weight(static_cast<std::size_t>(positions));
    // Per position, its last state counted from 0, and how far apart in values its states lie.
    std::vector<int> lastState(static_cast<std::size_t>(positions) + 1);
    std::vector<std::ptrdiff_t> step(static_cast<std::size_t>(positions) + 1);
    for (int p = 1; p <= positions; ++p) {
        lastState[std::size_t(p)] = states(p) - 1;
        step[std::size_t(p)] = std::ptrdiff_t(cpt.positionStride(p)) * childStates;
    }
    // Rows are walked in groups whose rows differ only in the parents after position groupLevel.
    // The k-th row of every group is reached the same way: the same position moves on from the
    // row before, to the same state, and every later position goes back to its first state. That
    // is worked out once, in pattern. A row is interpolated from the row with that parent in its
    // first state too.
    int groupLevel = positions;
    while (groupLevel > noMod && cpt.positionStride(groupLevel) * states(groupLevel) <= 256)
        --groupLevel;
    const int groupLength = groupLevel > 0 ? cpt.positionStride(groupLevel) : cpt.cptRows;
    struct Step
    {
        std::ptrdiff_t back; // values back to the row interpolated from
        const std::array<double, 2> *weight;
    };
    std::vector<Step> pattern(static_cast<std::size_t>(groupLength));
    // The parents' states in the row at hand, counted from 0, walked like an odometer: the last
    // position fastest.
    std::vector<int> digit(static_cast<std::size_t>(positions) + 1);
    // Moves the positions up to top on by one row; no position up to stopAt ever moves.
    const auto advance = [&](int top, int stopAt) {
        int p = top;
        while (digit[std::size_t(p)] == lastState[std::size_t(p)])
            digit[std::size_t(p--)] = 0;
        Q_ASSERT(p > stopAt);
        Q_UNUSED(stopAt);
        const int s = digit[std::size_t(p)] += 1;
        return Step{s * step[std::size_t(p)], &weight[std::size_t(p - 1)][std::size_t(s - 1)]};
    };
    for (int o = 1; o < groupLength; ++o)
        pattern[std::size_t(o)] = advance(positions, groupLevel);

    for (int first = 1; first <= cpt.cptRows; first += blockLength) {
        const int last = first + blockLength - 1;
        const int block = (first - 1) / blockLength + 1;
        const auto weightOf = [&](int row, int c) {
            // A zero difference between the block's end rows leaves nothing to interpolate:
            // every row then takes that shared value.
            const double denominator = at(first, c) - at(last, c);
            return denominator == 0.0 ? 0.0 : (at(row, c) - at(last, c)) / denominator;
        };
        std::fill(weight.begin(), weight.end(), Weights{});
        for (int p = positions; p >= noMod + 1; --p) {
            for (int s = 1; s <= states(p) - 1; ++s) {
                const int row = first + s * cpt.positionStride(p);
                weight[p - 1][s - 1][0] = weightOf(row, 1);
                if (childStates == 3)
                    weight[p - 1][s - 1][1] = weightOf(row, 3);
            }
        }
        const double last1 = at(last, 1);
        const double last3 = childStates == 3 ? at(last, 3) : 0.0;
        const auto interpolate = [&](int r, double *row, const Step &from) {
            if (given[std::size_t(r - 1)])
                return;
            const double *source = row - from.back;
            const std::array<double, 2> &w = *from.weight;
            row[0] = (source[0] - last1) * w[0] + last1;
            if (childStates == 3) {
                row[2] = (source[2] - last3) * w[1] + last3;
                row[1] = 100.0 - row[0] - row[2];
            } else {
                row[1] = 100.0 - row[0];
            }
        };
        // Whether the row's values are fit to keep: a value that left the doubles is refused,
        // one outside 0..100 is noted in firstOutside, the lowest such row.
        const auto fit = [&](int r, const double *row, int &firstOutside) {
            for (int c = 0; c < childStates; ++c) {
                const double v = row[c];
                if (v >= -roundingNoise && v <= 100.0 + roundingNoise)
                    continue;
                if (!std::isfinite(v))
                    return false;
                if (firstOutside == 0 || r < firstOutside)
                    firstOutside = r;
            }
            return true;
        };
        // The rows of groups first to last, after each group's first row.
        struct Walked
        {
            bool fit = true;
            int firstOutside = 0;
        };
        const auto walkGroups = [&](int firstGroup, int lastGroup) {
            Walked walked;
            for (int group = firstGroup; group <= lastGroup && walked.fit; ++group) {
                const int r = first + group * groupLength;
                double *row = &at(r, 1);
                for (int o = 1; o < groupLength && walked.fit; ++o) {
                    row += childStates;
                    interpolate(r + o, row, pattern[std::size_t(o)]);
                    walked.fit = fit(r + o, row, walked.firstOutside);
                }
            }
            return walked;
        };

        // Each group's first row comes from an earlier group's first row, so those go first;
        // a block's first row has every Non-modifying parent in its first state, and the EPT
        // gives it. Every other row of a group comes from a row before it in the same group, so
        // the groups can then be walked in parts, side by side.
        std::fill(digit.begin(), digit.end(), 0);
        const int groups = blockLength / groupLength;
        for (int group = 0; group < groups; ++group) {
            const int r = first + group * groupLength;
            if (group > 0)
                interpolate(r, &at(r, 1), advance(groupLevel, noMod));
            if (!fit(r, &at(r, 1), cpt.firstOutOfRangeRow))
                return tooCloseMessage((block - 1) * childStates + childStates);
        }
        const int parts = blockLength >= sideBySideRows
                              ? std::clamp(QThread::idealThreadCount(), 1, std::min(4, groups))
                              : 1;
        std::vector<Walked> walked(static_cast<std::size_t>(parts));
        {
            std::vector<std::jthread> helpers;
            for (int part = 0; part < parts; ++part) {
                const auto walkPart = [&, part] {
                    walked[std::size_t(part)] =
                        walkGroups(groups * part / parts, groups * (part + 1) / parts - 1);
                };
                if (part + 1 < parts)
                    helpers.emplace_back(walkPart);
                else
                    walkPart();
            }
        }
        for (const Walked &part : walked) {
            if (!part.fit)
                return tooCloseMessage((block - 1) * childStates + childStates);
            if (part.firstOutside != 0 &&
                (cpt.firstOutOfRangeRow == 0 || part.firstOutside < cpt.firstOutOfRangeRow))
                cpt.firstOutOfRangeRow = part.firstOutside;
        }
    }
    return cpt;
}

std::optional<Message> outOfRangeWarning(const Cpt &cpt)
{
    if (cpt.firstOutOfRangeRow == 0)
        return std::nullopt;
    return Message{calculateCptTitle(),
                   QStringLiteral("Some probabilities of the CPT are below 0 or above 1, the first "
                                  "in CPT row %1.\rCheck the EPT entries of the child's states 2 "
                                  "and 3.")
                       .arg(cpt.firstOutOfRangeRow)};
}

} // namespace vadazaz
