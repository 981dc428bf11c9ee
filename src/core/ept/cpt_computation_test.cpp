#include "core/ept/cpt_computation.h"

#include "core/ept/calculation.h"
#include "testing/sample_problems.h"
#include "testing/test_main.h"

#include <bit>
#include <cmath>

using namespace vadazaz;
using namespace Qt::StringLiterals;
using vadazaz::testing::problemOf;

namespace {

// The road of "Calculate CPT" for the problem and its EPT, typed as rows separated by "|" and
// cells separated by ";".
Result<Calculation> compute(const Problem &problem, const QString &ept)
{
    QStringList cells;
    for (const QStringList &row : testing::tableOf(ept))
        cells += row;
    return calculateCpt(problem, eptShapeFor(problem).value(), cells, u".");
}

// The CPT written as the EPTs are, each value rounded to nine decimals.
QString textOf(const Cpt &cpt)
{
    QStringList rows;
    for (int r = 1; r <= cpt.cptRows; ++r) {
        QStringList cells;
        for (int c = 1; c <= cpt.noChildStates; ++c)
            cells << QString::number(std::round(cpt.at(r, c) * 1e9) / 1e9 + 0.0, 'g', 15);
        rows << cells.join(u';');
    }
    return rows.join(u'|');
}

} // namespace

class CptComputationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void computesTheCpt_data()
    {
        QTest::addColumn<int>("childStates");
        QTest::addColumn<QString>("parents");
        QTest::addColumn<QString>("ept");
        QTest::addColumn<QString>("cpt");
        QTest::addColumn<int>("outOfRangeRow"); // the first row outside 0..100, or 0

        // Parents A, B, C: rows (1,1,1), (2,2,2), (2,1,1), (1,2,1), (1,1,2) land on CPT rows
        // 1, 8, 5, 3, 2; rows 4, 6 and 7 are interpolated.
        QTest::newRow("three Non-modifying parents")
            << 2 << u"N2 N2 N2"_s << u"90;10|10;90|50;50|70;30|30;70"_s
            << u"90;10|30;70|70;30|25;75|50;50|20;80|40;60|10;90"_s << 0;
        // Parent order M, A, B: two blocks of six rows; rows 4 and 10 are interpolated.
        QTest::newRow("three child states, one Modifying parent")
            << 3 << u"M2 N3 N2"_s
            << u"70;20;10;60;20;20|10;30;60;10;30;60|50;25;25;40;30;30|30;30;40;20;30;50|"
               "40;30;30;35;25;40"_s
            << u"70;20;10|40;30;30|50;25;25|30;31;39|30;30;40|10;30;60|"
               "60;20;20|35;25;40|40;30;30|25;30;45|20;30;50|10;30;60"_s
            << 0;
        // Nothing to interpolate in state 3: every interpolated row takes the shared 20, and row 7
        // is (40 - 10) × (30 - 10) / 50 + 10 from row 5 by B's weight.
        QTest::newRow("equal state-3 ends")
            << 3 << u"N2 N2 N2"_s << u"60;20;20|10;70;20|40;30;30|30;45;25|50;15;35"_s
            << u"60;20;20|50;15;35|30;45;25|26;54;20|40;30;30|34;46;20|22;58;20|10;70;20"_s << 0;
        // State-3 weights: A -9 (row 5), B -9 (row 3), C 1 (row 2). Row 4 = (1,2,2) from row 3
        // stays inside; row 7 = (2,2,1) from row 5 with B's weight gives -395 for state 3.
        QTest::newRow("out of range from row 7")
            << 3 << u"N2 N2 N2"_s << u"80;15;5|10;80;10|45;0;55|45;0;55|45;50;5"_s
            << u"80;15;5|45;50;5|45;0;55|27.5;17.5;55|45;0;55|27.5;17.5;55|27.5;467.5;-395|"
               "10;80;10"_s
            << 7;
        // State 2 is 0 everywhere; row 7's remainder comes out as -1.4e-14, which is no reason
        // to warn.
        QTest::newRow("rounding noise")
            << 3 << u"N2 N2 N2"_s << u"70;0;30|10;0;90|68;0;32|14;0;86|40;0;60"_s
            << u"70;0;30|40;0;60|14;0;86|12;0;88|68;0;32|39;0;61|13.866666667;0;86.133333333|"
               "10;0;90"_s
            << 0;
    }

    void computesTheCpt()
    {
        QFETCH(int, childStates);
        QFETCH(QString, parents);
        QFETCH(QString, ept);
        QFETCH(QString, cpt);
        QFETCH(int, outOfRangeRow);

        const Result<Calculation> calculation = compute(problemOf(childStates, parents), ept);
        QVERIFY(calculation);
        QCOMPARE(textOf(calculation->cpt), cpt);
        QCOMPARE(calculation->cpt.firstOutOfRangeRow, outOfRangeRow);
        const std::optional<Message> &warning = calculation->warning;
        QCOMPARE(warning ? warning->title + u": "_s + warning->text : QString(),
                 outOfRangeRow == 0 ? QString()
                                    : u"Calculate CPT: Some probabilities of the CPT are below 0 "
                                      "or above 1, the first in CPT row %1.\rCheck the EPT entries "
                                      "of the child's states 2 and 3."_s.arg(outOfRangeRow));
    }

    // The state-3 ends of the second block are 1e-320 apart: a weight of 50 / 1e-320 leaves the
    // doubles. The refusal names that block's state-3 column, and no CPT comes out.
    void refusesWeightsBeyondTheDoubles()
    {
        const QString tiny = u"0."_s + QString(319, u'0') + u'1';
        const QString rest = u"49."_s + QString(320, u'9');
        const Result<Calculation> calculation =
            compute(problemOf(3, u"M2 N2 N2 N2"_s),
                    u"60;20;20;50;%1;%2|10;70;20;5;95;0|40;30;30;40;10;50|30;45;25;40;10;50|"
                    "50;15;35;40;10;50"_s.arg(rest, tiny));
        QVERIFY(!calculation);
        QCOMPARE(calculation.failure().title + u": "_s + calculation.failure().text,
                 u"Calculate CPT: The CPT cannot be calculated: in column 6, the child "
                 "probabilities of rows 1 and 2 of the EPT are too close together.\rMake them "
                 "differ by more."_s);
    }

    // 20 two-state parents; a row with k parents out of state 1 holds 10 + 80 × 0.5^k.
    void computesTheLargestCpt()
    {
        QString ept = u"90;10|10;90"_s;
        for (int i = 0; i < 20; ++i)
            ept += u"|50;50"_s;
        const Result<Calculation> calculation =
            compute(problemOf(2, QStringList(20, u"N2"_s).join(u' ')), ept);
        QVERIFY(calculation);
        const Cpt &cpt = calculation->cpt;
        QCOMPARE(cpt.cptRows, 1048576);
        int wrong = 0;
        for (int r = 1; r < cpt.cptRows; ++r) {
            const double want = 10.0 + 80.0 * std::ldexp(1.0, -std::popcount(unsigned(r - 1)));
            if (std::fabs(cpt.at(r, 1) - want) > 1e-9 ||
                std::fabs(cpt.at(r, 2) - (100 - want)) > 1e-9)
                ++wrong;
        }
        QCOMPARE(wrong, 0);
        QCOMPARE(cpt.at(cpt.cptRows, 1), 10.0);
    }

    // The EPT window refuses such a problem before; the computation does not rely on it.
    void refusesTooManyRows()
    {
        const Problem problem = problemOf(2, QStringList(21, u"N2"_s).join(u' '));
        const EptShape shape = deriveEptShape(problem);
        const std::vector<double> values(std::size_t(shape.eptRows * shape.eptCols), 50.0);
        const Result<Cpt> cpt = computeCpt(problem, CellConfiguration(problem, shape), values);
        QVERIFY(!cpt && cpt.failure() == tooManyRowsMessage());
    }
};

VADAZAZ_TEST_MAIN(CptComputationTest)
#include "cpt_computation_test.moc"
