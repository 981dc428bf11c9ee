// Each node that can be a problem, in the networks of the folder VADAZAZ_NETWORK_SAMPLES names
// (skipped without one), gets an EPT and its CPT written back: only its table may change.

#include "core/ept/calculation.h"
#include "core/network/cpt_network.h"
#include "testing/test_main.h"

#include <QDir>

#include <numeric>

using namespace vadazaz;
using namespace Qt::StringLiterals;

namespace {

// An EPT that passes the checks for a problem of Non-modifying parents: the most positive row
// favours state 1, the least positive the last state, every other row lies between.
QStringList eptFor(const Problem &problem, const EptShape &shape)
{
    const bool three = problem.noChildStates == 3;
    QStringList cells = three ? QStringList{u"70"_s, u"20"_s, u"10"_s, u"10"_s, u"20"_s, u"70"_s}
                              : QStringList{u"80"_s, u"20"_s, u"10"_s, u"90"_s};
    for (int r = 3; r <= shape.eptRows; ++r)
        cells += three ? QStringList{u"40"_s, u"30"_s, u"30"_s} : QStringList{u"45"_s, u"55"_s};
    return cells;
}

} // namespace

class NetworkSamplesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writesEveryUsableNodeBack_data()
    {
        QTest::addColumn<QString>("path");
        const QString folder = qEnvironmentVariable("VADAZAZ_NETWORK_SAMPLES");
        if (folder.isEmpty())
            QSKIP("No folder of network files is named in VADAZAZ_NETWORK_SAMPLES.");
        for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
            if (networkFormatOfFile(file.filePath()))
                QTest::newRow(qPrintable(file.fileName())) << file.filePath();
        }
    }
    void writesEveryUsableNodeBack()
    {
        QFETCH(QString, path);
        const NetworkFormat format = *networkFormatOfFile(path);
        const Result<QByteArray> bytes = networkFileBytes(path);
        QVERIFY(bytes);
        const Result<Network> network = readNetwork(format, *bytes, path);
        QVERIFY2(network, qPrintable(network ? QString() : network.failure().text));
        int written = 0;
        for (const NodeChoice &choice : nodeChoices(*network)) {
            if (!choice.whyNot.isEmpty())
                continue;
            const Result<Problem> problem = problemFromNode(*network, path, choice.id);
            QVERIFY(problem);
            const Result<EptShape> shape = eptShapeFor(*problem);
            QVERIFY(shape);
            const Result<Calculation> calculation =
                calculateCpt(*problem, *shape, eptFor(*problem, *shape), u".");
            QVERIFY2(calculation, qPrintable(choice.id));
            const Result<QByteArray> into =
                cptWrittenInto(*bytes, format, path, *problem, calculation->cpt, 6);
            QVERIFY2(into, qPrintable(into ? QString() : into.failure().text));

            // Only the node's table changed, and the file reads again.
            const NetworkVariable *before = network->variable(choice.id);
            QCOMPARE(into->first(before->tableBegin), bytes->first(before->tableBegin));
            const qsizetype after = bytes->size() - before->tableEnd;
            QCOMPARE(into->last(after), bytes->last(after));
            const Result<Network> again = readNetwork(format, *into, path);
            QVERIFY2(again, qPrintable(again ? QString() : again.failure().text));
            for (const NetworkVariable &v : again->variables) {
                const NetworkVariable *old = network->variable(v.id);
                QVERIFY(old && old->states == v.states && old->parents == v.parents);
                if (v.id != choice.id)
                    QVERIFY2(old->table == v.table, qPrintable(v.id));
            }
            // Each row of the new table sums to 1.
            const NetworkVariable *node = again->variable(choice.id);
            const auto width = std::ptrdiff_t(node->states.size());
            for (auto row = node->table.begin(); row != node->table.end(); row += width)
                QVERIFY2(qAbs(std::accumulate(row, row + width, 0.0) - 1.0) < 1e-9,
                         qPrintable(choice.id));
            ++written;
        }
        qInfo("%s: %d nodes written back", qPrintable(path), written);
    }
};

VADAZAZ_TEST_MAIN(NetworkSamplesTest)
#include "network_samples_test.moc"
