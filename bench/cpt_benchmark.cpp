// Times the largest problem the program admits: 20 binary parents, 1048576 CPT rows.
// Computes it, then writes it in each layout, and compares with copying a file of the same size.

#include "bench_support.h"
#include "core/output/cpt_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

#include <cstdio>

using namespace vadazaz;
using namespace vadazaz::bench;

namespace {

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
    const LargestCpt largest;
    const Problem &problem = largest.problem;
    std::optional<Cpt> computed;
    const double computeMs = millisecondsOf([&] { computed = largest.compute(); }, 5);
    if (!computed)
        return 1;
    const Cpt &cpt = *computed;
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
            [&] { writeCpt(null, layout.layout, problem, cpt, QStringLiteral(".")); }, 3);
        const double saveMs = millisecondsOf(
            [&] { (void)saveCptFile(path, layout.layout, problem, cpt, QStringLiteral(".")); }, 3);
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
