// Times the windows at their largest: opening the EPT window of the largest EPT (12 columns,
// 26 rows), and viewing a labelled CPT file of 1048576 rows and a file of one 10 MB line — how
// long the program is busy before the viewer shows, how long until the last row is on screen,
// and the memory it takes, each beside reading the same bytes with QFile::readAll. "Show CPT"
// for the CPT of 1048576 rows: opening it, going to its end and choosing a filter, beside
// computing that CPT.

#include "bench_support.h"
#include "core/ept/cpt_computation.h"
#include "core/ept/ept_shape.h"
#include "core/ept/ept_validation.h"
#include "core/output/cpt_file.h"
#include "core/output/viewer_text.h"
#include "gui/ept/form_ept.h"
#include "gui/output/form_show_cpt.h"
#include "gui/output/form_view_cpt_file.h"
#include "gui/widgets/fonts.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// The process's memory in MB (10^6 bytes) from /proc/self/status: "VmRSS:" what it holds now,
// "VmHWM:" the most it has held.
double memoryMb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    // The file's size shows as 0: it is read to its end, not to its size.
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').front().toDouble() *
                   1024.0 / 1e6;
    return 0;
}

// Starts the most the process has held afresh, where the system allows it.
bool resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

double readAllMs(const QString &path)
{
    return bench::millisecondsOf(
        [&path] {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly) || file.readAll().isEmpty())
                std::abort();
        },
        3);
}

struct Viewing
{
    double busyMs = 0;    // picking the file to the viewer shown and painted
    double lastRowMs = 0; // picking the file to its last row painted, after Ctrl+End
    QString lastShown;    // the last row on screen then
};

// Views the file as "View CPT file" does, and goes to its end with Ctrl+End as a person does.
Viewing view(const QString &path)
{
    Viewing viewing;
    QElapsedTimer timer;
    timer.start();
    ViewerRead read = readViewerFile(path);
    if (!read)
        std::abort();
    FormViewCptFile viewer(std::move(read).value());
    viewer.show();
    if (!QTest::qWaitForWindowExposed(&viewer))
        std::abort();
    viewer.repaint();
    viewing.busyMs = msSince(timer);
    auto *rows = viewer.findChild<QAbstractScrollArea *>(QStringLiteral("TextViewCpt"));
    QTest::keyClick(rows, Qt::Key_End, Qt::ControlModifier);
    rows->viewport()->repaint();
    viewing.lastRowMs = msSince(timer);
    QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(rows)->textInterface();
    viewing.lastShown = text->text(0, text->characterCount()).split(QLatin1Char('\n')).back();
    viewer.accept();
    return viewing;
}

// The file's last line, read from its end.
QString lastLineOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(std::max<qint64>(0, file.size() - 4096)))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.back().isEmpty())
        lines.removeLast();
    return QString::fromUtf8(lines.back()).remove(QLatin1Char('\r')).right(40);
}

struct Showing
{
    double openMs = 0;   // building the window to its first screen painted
    double endMs = 0;    // Ctrl+End to the last row painted
    double pageMs = 0;   // each of 100 Page Downs from the middle, with its screen painted
    double filterMs = 0; // choosing a state of the first parent, to the screen painted
};

// Shows the CPT as "Show CPT" does and moves through it with the keys a person uses.
Showing show(const bench::LargestCpt &largest, const Cpt &cpt)
{
    Showing showing;
    QElapsedTimer timer;
    timer.start();
    FormShowCpt window(largest.problem, cpt, QStringLiteral("."));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::abort();
    window.repaint();
    showing.openMs = msSince(timer);

    auto *table = window.findChild<QTableView *>(QStringLiteral("TableCpt"));
    table->setFocus();
    timer.restart();
    QTest::keyClick(table, Qt::Key_End, Qt::ControlModifier);
    table->viewport()->repaint();
    showing.endMs = msSince(timer);
    const QRect last = table->visualRect(table->model()->index(cpt.cptRows - 1, 0));
    if (last.top() < 0 || last.bottom() >= table->viewport()->height())
        std::abort();

    table->selectRow(cpt.cptRows / 2);
    timer.restart();
    for (int page = 0; page < 100; ++page) {
        QTest::keyClick(table, Qt::Key_PageDown);
        table->viewport()->repaint();
    }
    showing.pageMs = msSince(timer) / 100;

    auto *first = window.findChild<QComboBox *>(QStringLiteral("ComboFilter1"));
    timer.restart();
    first->setCurrentIndex(2);
    table->viewport()->repaint();
    showing.filterMs = msSince(timer);
    if (table->model()->rowCount() != cpt.cptRows / 2)
        std::abort();
    return showing;
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

    const double fileMb = double(QFile(path).size()) / 1e6;
    const double readingMs = readAllMs(path);

    const bool peakReset = resetPeakMemory();
    const double before = memoryMb("VmRSS:");
    const Viewing first = view(path);
    const double peak = memoryMb("VmHWM:");
    const double after = memoryMb("VmRSS:");
    Viewing best = first;
    for (int i = 0; i < 2; ++i) {
        const Viewing again = view(path);
        best.busyMs = std::min(best.busyMs, again.busyMs);
        best.lastRowMs = std::min(best.lastRowMs, again.lastRowMs);
    }
    if (!lastLineOf(path).endsWith(first.lastShown.right(40)) || first.lastShown.isEmpty())
        return 1;
    std::printf("viewer: reading the file with QFile::readAll %.0f ms (best of 3)\n", readingMs);
    std::printf("viewer: busy before the viewer shows %.0f ms, first %.0f ms: %.2f times the "
                "reading\n",
                best.busyMs, first.busyMs, best.busyMs / readingMs);
    std::printf("viewer: the last row on screen after Ctrl+End %.0f ms, first %.0f ms: %.2f "
                "times the reading\n",
                best.lastRowMs, first.lastRowMs, best.lastRowMs / readingMs);
    std::printf("viewer: peak memory %.0f MB, %.0f MB more than the %.0f MB held before "
                "viewing: %.2f times the file%s; %.0f MB held after OK\n",
                peak, peak - before, before, (peak - before) / fileMb,
                peakReset ? "" : " (peak since the start: it could not be reset)", after);

    // A file of one line of 10 MB, no line break.
    const QString line = folder.filePath(QStringLiteral("line.TXT"));
    QFile longLine(line);
    if (!longLine.open(QIODevice::WriteOnly) ||
        !longLine.write(QByteArray("0123456789").repeated(1 << 20) + "end"))
        return 1;
    longLine.close();
    const double lineReadingMs = readAllMs(line);
    const Viewing lineViewing = view(line);
    if (!lineViewing.lastShown.endsWith(QStringLiteral("789end")))
        return 1;
    std::printf("viewer, one line of 10 MB: reading it %.0f ms; busy before the viewer shows "
                "%.0f ms, its end on screen after Ctrl+End %.0f ms\n",
                lineReadingMs, lineViewing.busyMs, lineViewing.lastRowMs);

    // "Show CPT" for the CPT of 1048576 rows.
    const bench::LargestCpt largestCpt;
    const double computingMs = bench::millisecondsOf(
        [&largestCpt] {
            if (!largestCpt.compute())
                std::abort();
        },
        3);
    const std::optional<Cpt> computed = largestCpt.compute();
    Showing fastest = show(largestCpt, *computed);
    const Showing firstShowing = fastest;
    for (int i = 0; i < 4; ++i) {
        const Showing again = show(largestCpt, *computed);
        fastest.openMs = std::min(fastest.openMs, again.openMs);
        fastest.endMs = std::min(fastest.endMs, again.endMs);
        fastest.pageMs = std::min(fastest.pageMs, again.pageMs);
        fastest.filterMs = std::min(fastest.filterMs, again.filterMs);
    }
    std::printf("Show CPT: computing the CPT of %d rows %.0f ms (best of 3)\n", computed->cptRows,
                computingMs);
    std::printf("Show CPT: opening to its first screen %.1f ms, first %.1f ms: %.2f times the "
                "computing\n",
                fastest.openMs, firstShowing.openMs, fastest.openMs / computingMs);
    std::printf("Show CPT: the last row on screen after Ctrl+End %.1f ms: %.3f times the "
                "computing; a Page Down %.2f ms\n",
                fastest.endMs, fastest.endMs / computingMs, fastest.pageMs);
    std::printf("Show CPT: a state chosen in the first drop-down (%d rows left) %.1f ms: %.2f "
                "times the computing\n",
                computed->cptRows / 2, fastest.filterMs, fastest.filterMs / computingMs);
    std::printf("peak memory: %.0f MB\n", double(bench::peakKiB()) * 1024.0 / 1e6);
    return 0;
}
