#pragma once

// What both benchmarks share: the largest problem the program admits, and how they measure.

#include "core/ept/calculation.h"

#include <QElapsedTimer>

#include <sys/resource.h>

#include <algorithm>
#include <optional>

namespace vadazaz::bench {

// Twenty Non-modifying parents of 2 states, a child of 2 states: a CPT of 1048576 rows. Fewer
// parents make the same problem smaller.
struct LargestCpt
{
    Problem problem;
    EptShape shape;
    QStringList cells;

    explicit LargestCpt(int parents = 20)
    {
        problem.childName = QStringLiteral("Child");
        problem.childStateName(1) = QStringLiteral("Yes");
        problem.childStateName(2) = QStringLiteral("No");
        while (problem.noParents() < parents)
            problem.appendParent();
        for (int p = 1; p <= parents; ++p) {
            problem.parentName(p) = QStringLiteral("Parent%1").arg(p);
            problem.parentStateName(1, p) = QStringLiteral("High");
            problem.parentStateName(2, p) = QStringLiteral("Low");
        }
        shape = eptShapeFor(problem).value();
        // Row 1 most positive, row 2 least, every single-parent row in between.
        for (int r = 1; r <= shape.eptRows; ++r) {
            const int first = r == 1 ? 95 : r == 2 ? 5 : 5 + (r * 4) % 90;
            cells << QString::number(first) << QString::number(100 - first);
        }
    }

    std::optional<Cpt> compute() const
    {
        Result<Calculation> calculation = calculateCpt(problem, shape, cells, u".");
        if (!calculation)
            return std::nullopt;
        return std::move(calculation->cpt);
    }
};

inline long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The best of several runs, in milliseconds.
inline double millisecondsOf(auto &&work, int repeats)
{
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

} // namespace vadazaz::bench
