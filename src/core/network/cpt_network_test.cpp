#include "core/network/cpt_network.h"

#include "core/ept/calculation.h"
#include "core/network/probabilities.h"
#include "testing/sample_problems.h"
#include "testing/test_main.h"

#include <cmath>

using namespace vadazaz;
using namespace Qt::StringLiterals;

namespace {

NetworkVariable variable(const QString &id, const QStringList &states,
                         const QStringList &parents = {}, bool table = true)
{
    const qsizetype place = table ? 0 : -1;
    return {
        id, {},    states, QStringList(states.size()), parents, std::vector<double>(table ? 1 : 0),
        0,  place, place};
}

} // namespace

class CptNetworkTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundsRowsToSumToOne_data()
    {
        testing::addColumns<QList<double>, int, QString>("fractions", "decimals", "written");
        QTest::newRow("a tie goes to the lower state")
            << QList{0.125, 0.875} << 2 << u"0.13 0.87"_s;
        QTest::newRow("thirds") << QList{1 / 3., 1 / 3., 1 / 3.} << 6
                                << u"0.333334 0.333333 0.333333"_s;
        QTest::newRow("the largest remainder first")
            << QList{0.4441, 0.4449, 0.1110} << 2 << u"0.44 0.45 0.11"_s;
        QTest::newRow("doubles a hair below") << QList{0.6, 0.3, 0.1} << 1 << u"0.6 0.3 0.1"_s;
        QTest::newRow("no -0, a hair above 1")
            << QList{-1e-17, 1.0000000000000002} << 3 << u"0.000 1.000"_s;
        QTest::newRow("a row that sums past 1 gives back")
            << QList{0.50000000000001, 0.50000000000001} << 15
            << u"0.500000000000000 0.500000000000000"_s;
        QTest::newRow("15 decimals")
            << QList{0.1, 0.9} << 15 << u"0.100000000000000 0.900000000000000"_s;
    }
    void roundsRowsToSumToOne()
    {
        const auto [fractions, decimals, written] =
            testing::fetch<QList<double>, int, QString>("fractions", "decimals", "written");
        const std::vector<double> values(fractions.begin(), fractions.end());
        QCOMPARE(roundedDistribution(values, decimals).join(u' '), written);
    }

    void makesIdentifiers_data()
    {
        testing::addColumns<QStringList, QStringList>("names", "ids");
        QTest::newRow("accents and blanks") << QStringList{u"Größe"_s, u"Wind speed"_s, u"é-1"_s}
                                            << QStringList{u"Gro_e"_s, u"Wind_speed"_s, u"e_1"_s};
        QTest::newRow("not a letter first")
            << QStringList{u"1st"_s, u"_a"_s, u"中"_s} << QStringList{u"x1st"_s, u"x_a"_s, u"x_"_s};
        QTest::newRow("equal after replacing") << QStringList{u"a b"_s, u"a-b"_s, u"a_b"_s}
                                               << QStringList{u"a_b"_s, u"a_b_2"_s, u"a_b_3"_s};
        QTest::newRow("30 characters at most")
            << QStringList{QString(40, u'a'), QString(40, u'a')}
            << QStringList{QString(30, u'a'), QString(28, u'a') + u"_2"_s};
    }
    void makesIdentifiers()
    {
        const auto [names, ids] = testing::fetch<QStringList, QStringList>("names", "ids");
        QCOMPARE(uniqueIdentifiers(names), ids);
    }

    // P1 Non-modifying, P2 Modifying: the CPT holds P2 slowest, the network P1, as the user gave
    // the parents.
    void exportsInTheUsersParentOrder()
    {
        Problem problem = testing::problemOf(2, u"N2 M3"_s);
        problem.parentStateName(2, 2) = u"zwei 2"_s;
        const Cpt cpt{6, 2, {2, 1}, {2, 1}, {90, 10, 70, 30, 60, 40, 50, 50, 40, 60, 30, 70}};
        const Result<NetworkExport> network = networkExportOf(problem, cpt, 2);
        QVERIFY(network);
        QStringList text;
        for (const ExportVariable &v : network->variables) {
            QStringList rows;
            for (const QStringList &row : v.rows)
                rows << row.join(u' ');
            text << u"%1 (%2) [%3] <%4> %5"_s.arg(v.id, v.label, v.states.join(u' '),
                                                  v.parents.join(u' '), rows.join(u", "_s));
        }
        QCOMPARE(text, (QStringList{u"P1 (P1) [P1s1 P1s2] <> 0.50 0.50"_s,
                                    u"P2 (P2) [P2s1 zwei_2 P2s3] <> 0.34 0.33 0.33"_s,
                                    u"Child (Child) [C1 C2] <P1 P2> 0.90 0.10, 0.60 0.40, "
                                    "0.40 0.60, 0.70 0.30, 0.50 0.50, 0.30 0.70"_s}));

        const Cpt outside{6, 2, {2, 1}, {2, 1}, cpt.values, 5};
        const Result<NetworkExport> refused = networkExportOf(problem, outside, 2);
        QVERIFY(!refused);
        QCOMPARE(refused.failure().text,
                 u"The CPT cannot be written into a network: some of its probabilities are below 0 "
                 "or above 1, the first in CPT row 5.\rCheck the EPT entries of the child's states "
                 "2 and 3."_s);
    }

    // A CPT computed here, in every format that is read too: the reader finds the numbers written,
    // each within one last decimal of the computed probability, and every row sums to exactly 1
    // in its written decimals.
    void readsBackEveryExportOfAComputedCpt()
    {
        const Problem problem = testing::problemOf(3, u"N2 N3 N3"_s);
        QStringList cells;
        for (const QStringList &row : testing::tableOf(u"70;20;10|9;11;80|40;30;30|50;35;15|"
                                                       "33.3;33.3;33.4|20;40;40|60;25;15"_s))
            cells += row;
        const Result<Calculation> calculation =
            calculateCpt(problem, eptShapeFor(problem).value(), cells, u".");
        QVERIFY(calculation);
        const Cpt &cpt = calculation->cpt;
        for (const int decimals : {1, 2, 6, 15}) {
            const auto one = qint64(std::pow(10, decimals));
            const QList<QStringList> rows =
                networkExportOf(problem, cpt, decimals)->variables.last().rows;
            for (const NetworkFormatInfo &info : networkFormats()) {
                if (!info.readable)
                    continue;
                const QByteArray file = cptNetworkFile(info.format, problem, cpt, decimals).value();
                const Result<Network> network = readNetwork(info.format, file, u"back"_s);
                QVERIFY(network);
                const std::vector<double> &table = network->variables.last().table;
                QCOMPARE(qsizetype(table.size()), cpt.cptRows * 3);
                for (int r = 1; r <= cpt.cptRows; ++r) {
                    qint64 sum = 0;
                    for (int c = 1; c <= 3; ++c) {
                        const QString &text = rows.at(r - 1).at(c - 1);
                        const double read = table[std::size_t((r - 1) * 3 + c - 1)];
                        sum += QString(text).remove(u'.').toLongLong();
                        QCOMPARE(read, text.toDouble());
                        QVERIFY2(std::fabs(read - cpt.at(r, c) / 100) < 1.0 / double(one),
                                 qPrintable(info.option));
                    }
                    QCOMPARE(sum, one);
                }
            }
        }
    }

    void offersTheNodesThatCanBeProblems()
    {
        Network network;
        network.variables = {
            variable(u"A"_s, {u"a1"_s, u"a2"_s}),
            variable(u"Wide"_s, {u"w1"_s, u"w2"_s, u"w3"_s, u"w4"_s}),
            variable(u"Decide"_s, {u"y"_s, u"n"_s}, {}, false),
            variable(u"C"_s, {u"c1"_s, u"c2"_s}, {u"A"_s, u"Wide"_s}),
            variable(u"TemperatureNode"_s, {u"hot"_s, u"mild"_s, u"cold"_s}, {u"A"_s, u"Decide"_s}),
            variable(u"One"_s, {u"o1"_s, u"o2"_s}, {u"A"_s})};
        QStringList offered;
        for (const NodeChoice &choice : nodeChoices(network))
            offered << choice.id + u": "_s + choice.whyNot;
        QCOMPARE(offered, (QStringList{u"A: a child needs 2 parents or more; it has 0"_s,
                                       u"Wide: a child needs 2 or 3 states; it has 4"_s,
                                       u"Decide: it has no probability table"_s,
                                       u"C: its parent Wide has 4 states; a parent needs 2 or 3"_s,
                                       u"TemperatureNode: "_s,
                                       u"One: a child needs 2 parents or more; it has 1"_s}));

        const Result<Problem> problem =
            problemFromNode(network, u"net.bif"_s, u"TemperatureNode"_s, {u"TemperatureNode"_s});
        QVERIFY(problem && problem->ept.isEmpty());
        QCOMPARE((QStringList{problem->childName, problem->childStateName(1),
                              problem->childStateIds.at(2), problem->childId,
                              problem->parentName(2), problem->parentStateId(2, 1)}),
                 (QStringList{u"Temperatur"_s, u"cold"_s, u"hot"_s, u"TemperatureNode"_s,
                              u"Decide"_s, u"a2"_s}));
        QCOMPARE(problem->parentType(1), ParentType::NonModifying);
        const Result<Problem> refused = problemFromNode(network, u"net.bif"_s, u"C"_s);
        QCOMPARE(
            refused.failure().text,
            u"The node C cannot be taken: its parent Wide has 4 states; a parent needs 2 or 3."_s);
    }

    // A name taken from an identifier is cut to 10 characters as a reader counts them; one that
    // holds what a name may not is refused, shown with its codes.
    void takesNamesByTheNameRule_data()
    {
        // The state of parent A; the name taken, or the message.
        testing::addColumns<QString, QString>("state", "taken");
        QTest::newRow("twelve emoji") << u"😀"_s.repeated(12) << u"😀"_s.repeated(10);
        QTest::newRow("accents") << u"Tre\u0300s e\u0301leve\u0301"_s
                                 << u"Tre\u0300s e\u0301leve\u0301"_s;
        QTest::newRow("a right-to-left override")
            << u"\u202Ea1"_s
            << u"The node C cannot be taken: the name \"<U+202E>a1\" must not hold a TAB, a line "
               "break, a control character or an invisible formatting character (it holds "
               "U+202E)."_s;
    }
    void takesNamesByTheNameRule()
    {
        const auto [state, taken] = testing::fetch<QString, QString>("state", "taken");
        Network network;
        network.variables = {variable(u"A"_s, {state, u"a2"_s}),
                             variable(u"B"_s, {u"b1"_s, u"b2"_s}),
                             variable(u"C"_s, {u"c1"_s, u"c2"_s}, {u"A"_s, u"B"_s})};
        const Result<Problem> problem = problemFromNode(network, u"net.bif"_s, u"C"_s);
        QCOMPARE(problem ? problem->parentStateName(1, 1) : problem.failure().text, taken);
    }
};

VADAZAZ_TEST_MAIN(CptNetworkTest)
#include "cpt_network_test.moc"
