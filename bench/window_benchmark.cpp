// Times the windows at their largest: opening the EPT window of the largest EPT (12 columns,
// 26 rows), and showing a labelled CPT file of 1048576 rows in the viewer — how long the program
// is busy before the viewer appears, and the longest stretch without answering events while the
// rest of the file goes into it.

#include "bench_support.h"
#include "core/ept/cpt_computation.h"
#include "core/ept/ept_shape.h"
#include "core/ept/ept_validation.h"
#include "core/output/cpt_file.h"
#include "core/output/viewer_text.h"
#include "gui/ept/form_ept.h"
#include "gui/output/form_view_cpt_file.h"
#include "gui/widgets/fonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace vadazaz;

namespace {

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Child of 3 states; two Modifying parents of 2 states (12 columns); twelve Non-modifying
// parents of 3 states (26 rows).
Problem largestEpt()
{
    Problem p;
    p.childName = QStringLiteral("Child");
    for (int s = 1; s <= 3; ++s)
        p.childStateName(s) = QStringLiteral("State%1").arg(s);
    p.noChildStates = 3;
    while (p.noParents() < 14)
        p.appendParent();
    for (int q = 1; q <= 14; ++q) {
        p.parentName(q) = QStringLiteral("Parent%1").arg(q);
        p.parentType(q) = q <= 2 ? ParentType::Modifying : ParentType::NonModifying;
        p.parentNoStates(q) = q <= 2 ? 2 : 3;
        for (int s = 1; s <= p.parentNoStates(q); ++s)
            p.parentStateName(s, q) = QStringLiteral("P%1s%2").arg(q).arg(s);
    }
    return p;
}

// Twenty Non-modifying parents of 2 states: 1048576 CPT rows.
bool writeLargestCpt(const QString &path)
{
    const bench::LargestCpt largest;
    const std::optional<Cpt> cpt = largest.compute();
    return cpt &&
           saveCptFile(path, CptLayout::Labelled, largest.problem, *cpt, QStringLiteral("."));
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    registerFontSubstitutions();

    // The EPT window.
    const Problem largest = largestEpt();
    // A 12-column, 26-row EPT is past the CPT's row limit: the window is built from its shape
    // alone, which "Edit EPT" would refuse.
    const EptShape shape = deriveEptShape(largest);
    std::printf("EPT: %d rows, %d columns\n", shape.eptRows, shape.eptCols);
    std::vector<double> opening;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer timer;
        timer.start();
        FormEPT form(largest, shape);
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            return 1;
        form.repaint();
        opening.push_back(msSince(timer));
    }
    std::sort(opening.begin(), opening.end());
    std::printf("opening the EPT window: best %.1f ms, median %.1f ms, worst %.1f ms\n",
                opening.front(), opening[opening.size() / 2], opening.back());

    // The viewer.
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("largest.TXT"));
    if (!writeLargestCpt(path))
        return 1;
    std::printf("labelled CPT file: %.1f MB\n", double(QFile(path).size()) / 1e6);

    QElapsedTimer busy;
    busy.start();
    ViewerRead read = readViewerFile(path);
    if (read.failure)
        return 1;
    const double readMs = msSince(busy);
    viewerText() = std::move(read.text);
    QElapsedTimer step;
    step.start();
    FormViewCptFile viewer;
    const double loadMs = msSince(step);
    step.restart();
    viewer.show();
    if (!QTest::qWaitForWindowExposed(&viewer))
        return 1;
    viewer.repaint();
    const double showMs = msSince(step);
    const double beforeShownMs = msSince(busy);

    // A heartbeat between the pieces: the longest gap is the longest time the window does not
    // answer.
    QElapsedTimer sinceBeat;
    sinceBeat.start();
    double longestGapMs = 0;
    QTimer heartbeat;
    heartbeat.setInterval(0);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        longestGapMs = std::max(longestGapMs, msSince(sinceBeat));
        sinceBeat.restart();
    });
    heartbeat.start();
    QElapsedTimer filling;
    filling.start();
    QEventLoop loop;
    QObject::connect(&viewer, &FormViewCptFile::loaded, &loop, &QEventLoop::quit);
    if (viewer.isLoading())
        loop.exec();
    heartbeat.stop();
    const double fillMs = msSince(filling);

    std::printf("viewer: reading the file %.0f ms, first piece into the box %.0f ms, showing "
                "%.0f ms: busy %.0f ms before the viewer appears\n",
                readMs, loadMs, showMs, beforeShownMs);
    std::printf("viewer: the rest of the %lld lines arrive in %.0f ms; the longest stretch "
                "without answering events %.0f ms\n",
                static_cast<long long>(viewerText().count(QLatin1Char('\n'))), fillMs,
                longestGapMs);
    std::printf("peak memory: %.0f MB\n", double(bench::peakKiB()) / 1024.0);
    return 0;
}
