// Times the largest problem the program admits: 20 binary parents, 1048576 CPT rows. Each figure
// is a ratio against a baseline taken in the same run, so that what else the machine is doing
// weighs on both sides alike:
// - computing the CPT against filling the same memory with one value;
// - vadazaz-cpt writing each layout, the whole program from start to end, against cp of the same
//   file and against a copy made as durable as a save (cp, sync --data, mv); beside them, the
//   same bytes written straight to the disk and synced (dd, direct), what no save can beat.

#include "bench_support.h"
#include "core/output/cpt_file.h"
#include "core/store/problem_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

using namespace vadazaz;
using namespace vadazaz::bench;

namespace {

constexpr int repeats = 5;

// Takes every byte and keeps none, to time the formatting alone.
class NullDevice final : public QIODevice
{
protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override { return size; }
};

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

void computing()
{
    std::printf("computing the CPT, against filling the same memory with one value:\n");
    for (const int parents : {10, 15, 20}) {
        const LargestCpt problem(parents);
        std::optional<Cpt> cpt;
        // The CPT before goes first, as the filling's memory does.
        const double computeMs = millisecondsOf(
            [&] {
                cpt.reset();
                cpt = problem.compute();
            },
            repeats);
        if (!cpt)
            return;
        const std::size_t size = cpt->values.size();
        double sum = 0;
        const double fillMs = millisecondsOf(
            [&] {
                std::vector<double> memory(size, 0.5);
                sum += memory[size / 2];
            },
            repeats);
        std::printf("  %2d parents, %7d rows: %7.2f ms, %5.1f ns a row; filling %7.2f ms "
                    "(computing / filling %.2f)\n",
                    parents, cpt->cptRows, computeMs, computeMs * 1e6 / cpt->cptRows, fillMs,
                    computeMs / fillMs);
        if (sum < 0)
            std::printf("?\n");
    }
}

void formatting(const LargestCpt &largest)
{
    const std::optional<Cpt> cpt = largest.compute();
    if (!cpt)
        return;
    std::printf("formatting alone, in the program:\n");
    for (const auto &[name, layout] :
         {std::pair{"plain", CptLayout::Plain}, std::pair{"labelled", CptLayout::Labelled},
          std::pair{"json", CptLayout::Json}}) {
        NullDevice null;
        null.open(QIODevice::WriteOnly);
        const double ms = millisecondsOf(
            [&] { writeCpt(null, layout, largest.problem, *cpt, QStringLiteral(".")); }, 3);
        std::printf("  %-8s %7.1f ms\n", name, ms);
    }
}

void saving(const LargestCpt &largest)
{
    QTemporaryDir folder(QStringLiteral("vadazaz-bench-XXXXXX"));
    Problem problem = largest.problem;
    for (qsizetype i = 0; i < largest.cells.size(); i += largest.shape.eptCols)
        problem.ept << largest.cells.mid(i, largest.shape.eptCols);
    const QString problemPath = folder.filePath(QStringLiteral("largest.vadazaz"));
    if (!saveProblemFile(problemPath, problem))
        return;
    const QString program = QStringLiteral(VADAZAZ_CPT);
    std::printf("vadazaz-cpt writing a layout (the whole program), against copying its file:\n");
    for (const char *layout : {"labelled", "plain", "json"}) {
        const QString output = folder.filePath(QString::fromLatin1(layout));
        const QString copy = output + QStringLiteral(".copy");
        const QString durable = output + QStringLiteral(".durable");
        const QStringList calculator = {QStringLiteral("--layout"), QString::fromLatin1(layout),
                                        QStringLiteral("--output"), output, problemPath};
        const QStringList durableCopy = {
            QStringLiteral("-c"),
            QStringLiteral("cp \"$1\" \"$2.new\" && sync --data \"$2.new\" && "
                           "mv \"$2.new\" \"$2\""),
            QStringLiteral("copy"), output, durable};
        const QStringList direct = {QStringLiteral("if=") + output,
                                    QStringLiteral("of=") + output + QStringLiteral(".direct"),
                                    QStringLiteral("bs=4M"),
                                    QStringLiteral("oflag=direct"),
                                    QStringLiteral("conv=fdatasync"),
                                    QStringLiteral("status=none")};
        // Taken in turns, so that a busy moment of the machine weighs on each alike.
        double saveMs = 1e300, copyMs = 1e300, durableMs = 1e300, directMs = 1e300;
        for (int i = 0; i < repeats; ++i) {
            saveMs = std::min(saveMs, millisecondsOf([&] { run(program, calculator); }, 1));
            copyMs = std::min(copyMs, millisecondsOf(
                                          [&] {
                                              run(QStringLiteral("cp"), {output, copy});
                                          },
                                          1));
            durableMs = std::min(
                durableMs, millisecondsOf([&] { run(QStringLiteral("sh"), durableCopy); }, 1));
            directMs =
                std::min(directMs, millisecondsOf([&] { run(QStringLiteral("dd"), direct); }, 1));
        }
        std::printf("  %-8s %6.1f MB: %7.1f ms; cp %7.1f ms, durable copy %7.1f ms "
                    "(against cp %.2f, against the durable copy %.2f)\n",
                    layout, double(QFile(output).size()) / 1e6, saveMs, copyMs, durableMs,
                    saveMs / copyMs, saveMs / durableMs);
        std::printf("  %-8s %6s     straight to the disk %7.1f ms (against cp %.2f)\n", "", "",
                    directMs, directMs / copyMs);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    computing();
    const LargestCpt largest;
    formatting(largest);
    saving(largest);
    std::printf("peak memory of the benchmark: %.1f MB\n", double(peakKiB()) / 1024.0);
    return 0;
}
