// Times the largest problem the program admits: 20 binary parents, 1048576 CPT rows.
// Computes it, then writes it in each layout, and compares with copying a file of the same size.

#include "ept/cpt_computation.h"
#include "ept/ept_shape.h"
#include "ept/ept_validation.h"
#include "output/cpt_file.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>

using namespace vadazaz;

namespace {

long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double millisecondsOf(auto &&work, int repeats)
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

// Takes every byte and keeps none, to time the formatting alone.
class NullDevice final : public QIODevice
{
protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override { return size; }
};

// Copies a file and waits until the copy is on the disk, as saving does.
void copyAndSync(const QString &from, const QString &to)
{
    QFile::remove(to);
    QFile::copy(from, to);
    QFile copy(to);
    if (copy.open(QIODevice::ReadWrite))
        ::fdatasync(copy.handle());
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int parents = 20;
    Problem problem;
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
    const EptShape shape = deriveEptShape(problem);
    // Row 1 most positive, row 2 least, every single-parent row in between.
    QStringList cells;
    for (int r = 1; r <= shape.eptRows; ++r) {
        const int first = r == 1 ? 95 : r == 2 ? 5 : 5 + (r * 4) % 90;
        cells << QString::number(first) << QString::number(100 - first);
    }
    const EptValidation validation =
        validateEpt(cells, shape.eptRows, shape.eptCols, 2, 0, QStringLiteral("."));
    if (validation.refusal) {
        std::fprintf(stderr, "%s\n", qPrintable(validation.refusal->text));
        return 1;
    }
    const CellConfiguration cellsConfig(problem, shape);
    CptComputation computation;
    const double computeMs = millisecondsOf(
        [&] { computation = computeCpt(problem, cellsConfig, validation.values); }, 5);
    const Cpt &cpt = *computation.cpt;
    std::printf("CPT rows: %d\n", cpt.cptRows);
    std::printf("compute: %.1f ms\n", computeMs);

    QTemporaryDir folder;
    const struct
    {
        const char *name;
        CptLayout layout;
    } layouts[] = {
        {"plain", CptLayout::Plain}, {"labelled", CptLayout::Labelled}, {"json", CptLayout::Json}};
    for (const auto &layout : layouts) {
        const QString path = folder.filePath(QString::fromLatin1(layout.name));
        NullDevice null;
        null.open(QIODevice::WriteOnly);
        const double formatMs = millisecondsOf(
            [&] {
                writeCpt(null, layout.layout, problem, cellsConfig.parentOrder, cpt,
                         QStringLiteral("."));
            },
            3);
        const double saveMs = millisecondsOf(
            [&] {
                saveCptFile(path, layout.layout, problem, cellsConfig.parentOrder, cpt,
                            QStringLiteral("."), nullptr);
            },
            3);
        const QString copy = path + QStringLiteral(".copy");
        const double copyMs = millisecondsOf([&] { copyAndSync(path, copy); }, 3);
        std::printf("%-8s %6.1f MB: formatting %6.1f ms, saving %6.1f ms; copying the file "
                    "%6.1f ms (saving / copying %.2f)\n",
                    layout.name, double(QFile(path).size()) / 1e6, formatMs, saveMs, copyMs,
                    saveMs / copyMs);
    }
    std::printf("peak memory: %.1f MB (the CPT itself: %.1f MB)\n", double(peakKiB()) / 1024.0,
                double(cpt.values.size() * sizeof(double)) / 1048576.0);
    return 0;
}
