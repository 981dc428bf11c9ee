#include "core/output/cpt_table.h"

#include "core/ept/calculation.h"

#include "testing/sample_problems.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace Qt::StringLiterals;
using namespace vadazaz::testing;

namespace {

// EPTs for the problems below: "N2 M2 N3" has the Modifying parent P2 and five EPT rows, "M2 N3"
// a three-state child and one Non-modifying parent.
const QString twoBlocks = u"90;10;80;20|10;90;20;80|60;40;50;50|70;30;70;30|40;60;30;70"_s;
const QString threeStates = u"70;20;10;60;30;10|10;30;60;20;20;60|40;40;20;30;40;30"_s;

} // namespace

class CptTableTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every row in the order of the CPT file, Modifying parents first, its probabilities as the
    // file writes them, and the EPT row it was taken from (0 when interpolated); and per block of
    // the Modifying parents' states, the change of child state 1 from EPT row 1.
    void showsTheCpt_data()
    {
        // rows: headings, then states, probabilities, EPT row
        // blocks: "block: EPT row label change, …"
        testing::addColumns<int, QString, QString, QString, QStringList>("noChildStates", "parents",
                                                                         "ept", "rows", "blocks");
        QTest::newRow("a Modifying parent first")
            << 2 << u"N2 M2 N3"_s << twoBlocks
            << u"P2P1Child=C2\n"
               "P2s1 P1s1 P3s1 0.90 0.10 1\nP2s1 P1s1 P3s2 0.70 0.30 4\n"
               "P2s1 P1s1 P3s3 0.40 0.60 5\nP2s1 P1s2 P3s1 0.60 0.40 3\n"
               "P2s1 P1s2 P3s2 0.48 0.53 0\nP2s1 P1s2 P3s3 0.10 0.90 2\n"
               "P2s2 P1s1 P3s1 0.80 0.20 1\nP2s2 P1s1 P3s2 0.70 0.30 4\n"
               "P2s2 P1s1 P3s3 0.30 0.70 5\nP2s2 P1s2 P3s1 0.50 0.50 3\n"
               "P2s2 P1s2 P3s2 0.45 0.55 0\nP2s2 P1s2 P3s3 0.20 0.80 2"_s
            << QStringList{u"P2=P2s1: 2 all at once -80, 3 P1=P1s2 -30, 4 P3=P3s2 -20, "
                           "5 P3=P3s3 -50"_s,
                           u"P2=P2s2: 2 all at once -60, 3 P1=P1s2 -30, 4 P3=P3s2 -10, "
                           "5 P3=P3s3 -50"_s};
        QTest::newRow("one Non-modifying parent")
            << 3 << u"N3 M2"_s << threeStates
            << u"P2P1Child=C2\n"
               "P2s1 P1s1 0.70 0.20 0.10 1\nP2s1 P1s2 0.40 0.40 0.20 3\n"
               "P2s1 P1s3 0.10 0.30 0.60 2\nP2s2 P1s1 0.60 0.30 0.10 1\n"
               "P2s2 P1s2 0.30 0.40 0.30 3\nP2s2 P1s3 0.20 0.20 0.60 2"_s
            << QStringList{u"P2=P2s1: 2 P1=P1s3 -60, 3 P1=P1s2 -30"_s,
                           u"P2=P2s2: 2 P1=P1s3 -40, 3 P1=P1s2 -30"_s};
        QTest::newRow("no Modifying parent") // its rows: not compared
            << 2 << u"N2 N3"_s << u"90;10|20;80|50;50|70;30|85;15"_s << QString()
            << QStringList{u": 2 all at once -70, 3 P1=P1s2 -40, 4 P2=P2s2 -20, 5 P2=P2s3 -5"_s};
    }
    void showsTheCpt()
    {
        const auto [noChildStates, parents, ept, rows, blocks] =
            testing::fetch<int, QString, QString, QString, QStringList>("noChildStates", "parents",
                                                                        "ept", "rows", "blocks");
        const Problem problem = problemOf(noChildStates, parents);
        const QString cells = QString(ept).replace(u'|', u';');
        const Cpt cpt = calculateCpt(problem, eptShapeFor(problem).value(), cells.split(u';'), u".")
                            .value()
                            .cpt;
        const CptTable table(problem, cpt, u"."_s);
        QString shown = table.parentHeading(1) + table.parentHeading(2) + table.childHeading(2);
        for (int r = 1; r <= table.noRows(); ++r) {
            shown += u'\n';
            for (int p = 1; p <= table.noParents(); ++p)
                shown += table.stateName(p, table.state(r, p)) + u' ';
            for (int c = 1; c <= table.noChildStates(); ++c)
                shown += table.probabilityText(r, c) + u' ';
            shown += QString::number(table.eptRow(r));
        }
        if (!rows.isEmpty())
            QCOMPARE(shown, rows);
        QStringList charted;
        for (const JudgementBlock &block : table.judgementChart()) {
            QStringList bars;
            for (const JudgementBar &bar : block.bars)
                bars << u"%1 %2 %3"_s.arg(bar.eptRow).arg(bar.label).arg(bar.change);
            charted << block.label + u": "_s + bars.join(u", "_s);
        }
        QCOMPARE(charted, blocks);
    }

    // As the CPT file writes them (its tests pin the rounding), with the decimal point given.
    void writesProbabilitiesAsTheFile()
    {
        const Cpt cpt{1, 2, {1, 2}, {2, 1}, {99.5, 0.5}, 0};
        QCOMPARE(CptTable(rainProblem(), cpt, u","_s).probabilityText(1, 1), u"1,00"_s);
    }
};

VADAZAZ_TEST_MAIN(CptTableTest)
#include "cpt_table_test.moc"
