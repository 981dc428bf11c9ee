#include "ept/cpt_computation.h"

#include "ept/ept_shape.h"
#include "ept/ept_validation.h"
#include "testing/sample_problems.h"
#include "testing/test_main.h"

#include <bit>
#include <cmath>

using namespace vadazaz;
using namespace Qt::StringLiterals;
using vadazaz::testing::problemOf;

namespace {

// A table written as rows separated by "|" and cells separated by ";", cell by cell.
QStringList cellsOf(const QString &text)
{
    QStringList cells;
    for (const QStringList &row : testing::tableOf(text))
        cells += row;
    return cells;
}

// Validates the typed EPT of the problem and computes its CPT.
CptComputation compute(const Problem &problem, const QString &ept)
{
    const EptShape shape = deriveEptShape(problem);
    const EptValidation validation = validateEpt(cellsOf(ept), shape.eptRows, shape.eptCols,
                                                 problem.noChildStates, shape.noModParents(), u".");
    if (validation.refusal) {
        qWarning() << "EPT refused:" << withNewlines(validation.refusal->text);
        return {};
    }
    return computeCpt(problem, CellConfiguration(problem, shape), validation.values);
}

bool allFinite(const Cpt &cpt)
{
    return std::all_of(cpt.values.begin(), cpt.values.end(),
                       [](double v) { return std::isfinite(v); });
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
        QTest::addColumn<QList<int>>("strides");
        QTest::addColumn<QString>("cpt");

        // Parents A, B, C: rows (1,1,1), (2,2,2), (2,1,1), (1,2,1), (1,1,2) land on CPT rows
        // 1, 8, 5, 3, 2; rows 4, 6 and 7 are interpolated.
        QTest::newRow("three Non-modifying parents")
            << 2 << u"N2 N2 N2"_s << u"90;10|10;90|50;50|70;30|30;70"_s << QList<int>{4, 2, 1}
            << u"90;10|30;70|70;30|25;75|50;50|20;80|40;60|10;90"_s;
        // Parent order M, A, B: two blocks of six rows; rows 4 and 10 are interpolated.
        QTest::newRow("three child states, one Modifying parent")
            << 3 << u"M2 N3 N2"_s
            << u"70;20;10;60;20;20|10;30;60;10;30;60|50;25;25;40;30;30|30;30;40;20;30;50|"
               "40;30;30;35;25;40"_s
            << QList<int>{6, 2, 1}
            << u"70;20;10|40;30;30|50;25;25|30;31;39|30;30;40|10;30;60|"
               "60;20;20|35;25;40|40;30;30|25;30;45|20;30;50|10;30;60"_s;
        QTest::newRow("one Non-modifying parent")
            << 2 << u"M2 N2"_s << u"80;20;70;30|10;90;5;95"_s << QList<int>{2, 1}
            << u"80;20|10;90|70;30|5;95"_s;
        QTest::newRow("nothing to interpolate") << 2 << u"N2 N2"_s << u"90;10|10;90|60;40|30;70"_s
                                                << QList<int>{2, 1} << u"90;10|30;70|60;40|10;90"_s;
        // The Modifying parent comes first in the CPT whatever its place among the parents.
        QTest::newRow("Modifying parent listed last")
            << 2 << u"N2 N2 M2"_s << u"90;10;80;20|10;90;20;80|50;50;50;50|70;30;65;35"_s
            << QList<int>{4, 2, 1} << u"90;10|70;30|50;50|10;90|80;20|65;35|50;50|20;80"_s;
    }

    void computesTheCpt()
    {
        QFETCH(int, childStates);
        QFETCH(QString, parents);
        QFETCH(QString, ept);
        QFETCH(QList<int>, strides);
        QFETCH(QString, cpt);

        const CptComputation computation = compute(problemOf(childStates, parents), ept);
        QVERIFY(!computation.refusal);
        QVERIFY(computation.cpt);
        const Cpt &result = *computation.cpt;
        const QStringList expected = cellsOf(cpt);
        QCOMPARE(result.positionStrides, strides);
        QCOMPARE(result.noChildStates, childStates);
        QCOMPARE(result.cptRows * childStates, expected.size());
        for (int r = 1; r <= result.cptRows; ++r) {
            for (int c = 1; c <= childStates; ++c) {
                const double want = expected.at((r - 1) * childStates + c - 1).toDouble();
                if (std::fabs(result.at(r, c) - want) > 1e-9)
                    QFAIL(qPrintable(u"row %1, state %2: %3 instead of %4"_s.arg(r)
                                         .arg(c)
                                         .arg(result.at(r, c), 0, 'g', 17)
                                         .arg(want)));
            }
        }
        QCOMPARE(result.firstOutOfRangeRow, 0);
        QVERIFY(!outOfRangeWarning(result));
    }

    // Equal state-3 values in rows 1 and 2: nothing to interpolate, every interpolated row takes
    // the shared value and stays a distribution.
    void equalStateThreeEnds()
    {
        const CptComputation computation =
            compute(problemOf(3, u"N2 N2 N2"_s), u"60;20;20|10;70;20|40;30;30|30;45;25|50;15;35"_s);
        QVERIFY(computation.cpt);
        const Cpt &cpt = *computation.cpt;
        QVERIFY(allFinite(cpt));
        for (const int r : {4, 6, 7}) {
            QCOMPARE(cpt.at(r, 3), 20.0);
            QCOMPARE(cpt.at(r, 1) + cpt.at(r, 2) + cpt.at(r, 3), 100.0);
        }
        QCOMPARE(cpt.at(7, 1), (40.0 - 10.0) * (30.0 - 10.0) / 50.0 + 10.0); // from row 5
        QCOMPARE(cpt.at(5, 3), 30.0);                                        // from the EPT
        QCOMPARE(cpt.firstOutOfRangeRow, 0);
    }

    void tellsTheFirstRowOutOfRange()
    {
        // State-3 weights: A -9 (row 5), B -9 (row 3), C 1 (row 2). Row 4 = (1,2,2) from row 3
        // stays inside; row 7 = (2,2,1) from row 5 with B's weight gives -395 for state 3.
        const CptComputation computation =
            compute(problemOf(3, u"N2 N2 N2"_s), u"80;15;5|10;80;10|45;0;55|45;0;55|45;50;5"_s);
        QVERIFY(computation.cpt);
        const Cpt &cpt = *computation.cpt;
        QCOMPARE(cpt.at(4, 3), 55.0);
        QCOMPARE(cpt.at(7, 1), 27.5);
        QCOMPARE(cpt.at(7, 3), -395.0);
        QCOMPARE(cpt.at(7, 2), 467.5);
        QCOMPARE(cpt.firstOutOfRangeRow, 7);
        const std::optional<Message> warning = outOfRangeWarning(cpt);
        QVERIFY(warning);
        QCOMPARE(warning->text,
                 u"Some probabilities of the CPT are below 0 or above 1, the first "
                 "in CPT row 7.\rCheck the EPT entries of the child's states 2 and 3."_s);
    }

    // Child state 2 is 0 everywhere, so every remainder is 0; rounding must not raise a warning.
    void warnsOfNoRoundingNoise()
    {
        const CptComputation computation =
            compute(problemOf(3, u"N2 N2 N2"_s), u"70;0;30|10;0;90|68;0;32|14;0;86|40;0;60"_s);
        QVERIFY(computation.cpt);
        for (int r = 1; r <= 8; ++r)
            QVERIFY(std::fabs(computation.cpt->at(r, 2)) < 1e-12);
        QCOMPARE(computation.cpt->firstOutOfRangeRow, 0);
        QVERIFY(!outOfRangeWarning(*computation.cpt));
    }

    // State-3 ends 1e-300 apart: the weights are huge and their product leaves the doubles.
    void neverLetsInfinityIn()
    {
        const QString tiny = u"0."_s + QString(299, u'0') + u'1';
        const QString rest = u"39."_s + QString(299, u'9') + u'9';
        const CptComputation computation =
            compute(problemOf(3, u"N2 N2 N2 N2"_s),
                    u"60;%1;%2|10;90;0|40;10;50|40;10;50|40;10;50|40;10;50"_s.arg(rest, tiny));
        QVERIFY(computation.cpt || computation.refusal);
        if (computation.cpt)
            QVERIFY(allFinite(*computation.cpt));
        else
            QCOMPARE(computation.refusal->title, u"Calculate CPT"_s);
    }

    // 20 two-state parents; a row with k parents out of state 1 holds 10 + 80 × 0.5^k.
    void computesTheLargestCpt()
    {
        QString ept = u"90;10|10;90"_s;
        for (int i = 0; i < 20; ++i)
            ept += u"|50;50"_s;
        const CptComputation computation =
            compute(problemOf(2, QStringList(20, u"N2"_s).join(u' ')), ept);
        QVERIFY(computation.cpt);
        const Cpt &cpt = *computation.cpt;
        QCOMPARE(cpt.cptRows, 1048576);
        QCOMPARE(cpt.values.size(), std::size_t(2 * 1048576));
        int wrong = 0;
        for (int r = 2; r < cpt.cptRows; ++r) {
            const double want = 10.0 + 80.0 * std::ldexp(1.0, -std::popcount(unsigned(r - 1)));
            if (std::fabs(cpt.at(r, 1) - want) > 1e-9 ||
                std::fabs(cpt.at(r, 2) - (100 - want)) > 1e-9)
                ++wrong;
        }
        QCOMPARE(wrong, 0);
        QCOMPARE(cpt.at(1, 1), 90.0);
        QCOMPARE(cpt.at(cpt.cptRows, 1), 10.0);
    }

    void refusesTooManyRows()
    {
        const Problem problem = problemOf(2, QStringList(21, u"N2"_s).join(u' '));
        const EptShape shape = deriveEptShape(problem);
        const std::vector<double> values(std::size_t(shape.eptRows * shape.eptCols), 50.0);
        const CptComputation computation =
            computeCpt(problem, CellConfiguration(problem, shape), values);
        QVERIFY(!computation.cpt);
        QVERIFY(computation.refusal);
        QCOMPARE(computation.refusal->text,
                 u"The CPT would have more than 1048576 rows. This is too many to calculate.\r"
                 "Reduce the number of parents or the number of states that they have."_s);
    }
};

VADAZAZ_TEST_MAIN(CptComputationTest)
#include "cpt_computation_test.moc"
