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

struct Computed
{
    Problem problem;
    Cpt cpt;
};

Computed computed(int noChildStates, const QString &parents, const QString &ept)
{
    Computed result{problemOf(noChildStates, parents), {}};
    QStringList cells;
    for (const QStringList &row : tableOf(ept))
        cells += row;
    Result<Calculation> calculation =
        calculateCpt(result.problem, eptShapeFor(result.problem).value(), cells, u".");
    if (!calculation)
        qFatal("%s", qPrintable(calculation.failure().text));
    result.cpt = std::move(calculation->cpt);
    return result;
}

} // namespace

class CptTableTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every row in the order of the CPT file, Modifying parents first, its probabilities as the
    // file writes them, and the EPT row it was taken from (0 when interpolated).
    void showsTheCptRowByRow_data()
    {
        QTest::addColumn<int>("noChildStates");
        QTest::addColumn<QString>("parents");
        QTest::addColumn<QString>("ept");
        QTest::addColumn<QStringList>("rows"); // headings, then "states: probabilities, EPT row"
        QTest::newRow("Modifying parent second")
            << 2 << u"N2 M2 N3"_s << twoBlocks
            << QStringList{u"P2 P1 P3: Child=C1 Child=C2"_s,  u"P2s1 P1s1 P3s1: 0.90 0.10, 1"_s,
                           u"P2s1 P1s1 P3s2: 0.70 0.30, 4"_s, u"P2s1 P1s1 P3s3: 0.40 0.60, 5"_s,
                           u"P2s1 P1s2 P3s1: 0.60 0.40, 3"_s, u"P2s1 P1s2 P3s2: 0.48 0.53, 0"_s,
                           u"P2s1 P1s2 P3s3: 0.10 0.90, 2"_s, u"P2s2 P1s1 P3s1: 0.80 0.20, 1"_s,
                           u"P2s2 P1s1 P3s2: 0.70 0.30, 4"_s, u"P2s2 P1s1 P3s3: 0.30 0.70, 5"_s,
                           u"P2s2 P1s2 P3s1: 0.50 0.50, 3"_s, u"P2s2 P1s2 P3s2: 0.45 0.55, 0"_s,
                           u"P2s2 P1s2 P3s3: 0.20 0.80, 2"_s};
        QTest::newRow("one Non-modifying parent, three child states")
            << 3 << u"N3 M2"_s << threeStates
            << QStringList{
                   u"P2 P1: Child=C1 Child=C2 Child=C3"_s, u"P2s1 P1s1: 0.70 0.20 0.10, 1"_s,
                   u"P2s1 P1s2: 0.40 0.40 0.20, 3"_s,      u"P2s1 P1s3: 0.10 0.30 0.60, 2"_s,
                   u"P2s2 P1s1: 0.60 0.30 0.10, 1"_s,      u"P2s2 P1s2: 0.30 0.40 0.30, 3"_s,
                   u"P2s2 P1s3: 0.20 0.20 0.60, 2"_s};
    }
    void showsTheCptRowByRow()
    {
        QFETCH(int, noChildStates);
        QFETCH(QString, parents);
        QFETCH(QString, ept);
        QFETCH(QStringList, rows);
        const Computed problem = computed(noChildStates, parents, ept);
        const CptTable table(problem.problem, problem.cpt, u"."_s);
        QStringList shown, headings, children;
        for (int p = 1; p <= table.noParents(); ++p)
            headings << table.parentHeading(p);
        for (int c = 1; c <= table.noChildStates(); ++c)
            children << table.childHeading(c);
        shown << headings.join(u' ') + u": "_s + children.join(u' ');
        for (int r = 1; r <= table.noRows(); ++r) {
            QStringList states, probabilities;
            for (int p = 1; p <= table.noParents(); ++p)
                states << table.stateName(p, table.state(r, p));
            for (int c = 1; c <= table.noChildStates(); ++c)
                probabilities << table.probabilityText(r, c);
            shown << u"%1: %2, %3"_s.arg(states.join(u' '), probabilities.join(u' '))
                         .arg(table.eptRow(r));
        }
        QCOMPARE(shown, rows);
    }

    // Rounded to whole percents, halves away from zero, as the CPT file writes them.
    void writesProbabilitiesAsTheFile_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<QString>("point");
        QTest::addColumn<QString>("text");
        QTest::newRow("half up") << 12.5 << u"."_s << u"0.13"_s;
        QTest::newRow("half below zero") << -3.5 << u"."_s << u"-0.04"_s;
        QTest::newRow("next to zero") << -0.4 << u"."_s << u"0.00"_s;
        QTest::newRow("to one") << 99.5 << u","_s << u"1,00"_s;
        QTest::newRow("Arabic separator") << 7.0 << u"\u066B"_s << u"0\u066B07"_s;
        QTest::newRow("huge") << 1e17 << u"."_s << u"1000000000000000.00"_s;
    }
    void writesProbabilitiesAsTheFile()
    {
        QFETCH(double, percent);
        QFETCH(QString, point);
        QFETCH(QString, text);
        Cpt cpt;
        cpt.cptRows = 1;
        cpt.noChildStates = 2;
        cpt.parentOrder = {1, 2};
        cpt.positionStrides = {2, 1};
        cpt.values = {percent, 100 - percent};
        QCOMPARE(CptTable(rainProblem(), cpt, point).probabilityText(1, 1), text);
    }

    void keepsTheRowsOfTheChosenStates_data()
    {
        QTest::addColumn<QList<int>>("wanted"); // per position: P2, P1, P3
        QTest::addColumn<QList<int>>("rows");
        QTest::newRow("any") << QList<int>{0, 0, 0}
                             << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        QTest::newRow("the Modifying parent") << QList<int>{2} << QList<int>{7, 8, 9, 10, 11, 12};
        QTest::newRow("the last parent") << QList<int>{0, 0, 3} << QList<int>{3, 6, 9, 12};
        QTest::newRow("two parents") << QList<int>{0, 2, 2} << QList<int>{5, 11};
        QTest::newRow("every parent") << QList<int>{2, 1, 3} << QList<int>{9};
    }
    void keepsTheRowsOfTheChosenStates()
    {
        QFETCH(QList<int>, wanted);
        QFETCH(QList<int>, rows);
        const Computed problem = computed(2, u"N2 M2 N3"_s, twoBlocks);
        const std::vector<int> kept =
            CptTable(problem.problem, problem.cpt, u"."_s).matchingRows(wanted);
        QCOMPARE(QList<int>(kept.begin(), kept.end()), rows);
    }

    void copiesRowsAsTabSeparatedText_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QString>("point");
        QTest::addColumn<QString>("text");
        QTest::newRow("none") << QList<int>{} << u"."_s << u"Wind\tTemp\tRain=High\tRain=Low\n"_s;
        QTest::newRow("first and last") << QList<int>{1, 4} << u","_s
                                        << u"Wind\tTemp\tRain=High\tRain=Low\n"
                                           "Strong\tHot\t0,90\t0,10\n"
                                           "Weak\tCold\t0,05\t0,95\n"_s;
    }
    void copiesRowsAsTabSeparatedText()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QString, point);
        QFETCH(QString, text);
        const Problem rain = rainProblem();
        Cpt cpt;
        cpt.cptRows = 4;
        cpt.noChildStates = 2;
        cpt.parentOrder = {1, 2};
        cpt.positionStrides = {2, 1};
        cpt.values = {90, 10, 70, 30, 40, 60, 5, 95};
        const std::vector<int> chosen(rows.begin(), rows.end());
        QCOMPARE(CptTable(rain, cpt, point).copiedText(chosen), text);
    }

    // Per block of the Modifying parents' states, the change of child state 1 from EPT row 1.
    void chartsTheMovesFromRowOne_data()
    {
        QTest::addColumn<int>("noChildStates");
        QTest::addColumn<QString>("parents");
        QTest::addColumn<QString>("ept");
        QTest::addColumn<QStringList>("blocks"); // "block: EPT row label change, …"
        QTest::newRow("a Modifying parent")
            << 2 << u"N2 M2 N3"_s << twoBlocks
            << QStringList{u"P2=P2s1: 2 all at once -80, 3 P1=P1s2 -30, 4 P3=P3s2 -20, "
                           "5 P3=P3s3 -50"_s,
                           u"P2=P2s2: 2 all at once -60, 3 P1=P1s2 -30, 4 P3=P3s2 -10, "
                           "5 P3=P3s3 -50"_s};
        QTest::newRow("one Non-modifying parent")
            << 3 << u"N3 M2"_s << threeStates
            << QStringList{u"P2=P2s1: 2 P1=P1s3 -60, 3 P1=P1s2 -30"_s,
                           u"P2=P2s2: 2 P1=P1s3 -40, 3 P1=P1s2 -30"_s};
        QTest::newRow("no Modifying parent")
            << 2 << u"N2 N3"_s << u"90;10|20;80|50;50|70;30|85;15"_s
            << QStringList{u": 2 all at once -70, 3 P1=P1s2 -40, 4 P2=P2s2 -20, 5 P2=P2s3 -5"_s};
    }
    void chartsTheMovesFromRowOne()
    {
        QFETCH(int, noChildStates);
        QFETCH(QString, parents);
        QFETCH(QString, ept);
        QFETCH(QStringList, blocks);
        const Computed problem = computed(noChildStates, parents, ept);
        QStringList charted;
        for (const JudgementBlock &block :
             CptTable(problem.problem, problem.cpt, u"."_s).judgementChart()) {
            QStringList bars;
            for (const JudgementBar &bar : block.bars)
                bars << u"%1 %2 %3"_s.arg(bar.eptRow).arg(bar.label).arg(bar.change);
            charted << block.label + u": "_s + bars.join(u", "_s);
        }
        QCOMPARE(charted, blocks);
    }
};

VADAZAZ_TEST_MAIN(CptTableTest)
#include "cpt_table_test.moc"
