#include "core/ept/calculation.h"
#include "core/ept/ept_shape.h"

#include "testing/sample_problems.h"
#include "testing/test_main.h"

#include <climits>

using namespace vadazaz;
using namespace Qt::StringLiterals;
using vadazaz::testing::problemOf;

namespace {

const QString tooManyColumns =
    u"You need to fill in more than 12 columns in the EPT. This is not a sensible number.\r"
    "Do one of the following:\r"
    "\r"
    "1. Reduce the number of states that the child variable has.\r"
    "2. Reduce the number of modifying parents.\r"
    "3. Reduce the number of states that the modifying parents have."_s;
const QString tooManyRows =
    u"The CPT would have more than 1048576 rows. This is too many to calculate.\r"
    "Reduce the number of parents or the number of states that they have."_s;
const QString noParentDetails = u"Please enter details for the all parent variables."_s;

// n parents of one kind, "N2 N2 …".
QString repeated(const QString &word, int n)
{
    return QStringList(n, word).join(u' ');
}

// What "Edit EPT" says of the problem; empty where the EPT may open.
QString refusalOf(const Problem &problem)
{
    const Result<EptShape> shape = eptShapeFor(problem);
    return shape ? QString() : shape.failure().title + u": "_s + shape.failure().text;
}

} // namespace

// Each readiness refusal is also met, one after another, through the main window's "Edit EPT"
// button.
class EptShapeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The child's name and state names 1..3 as stored; the parents' types and names (their state
    // names are not what shows that a parent was entered); the refusal, empty where the EPT opens.
    void reportsTheFirstThingMissing_data()
    {
        testing::addColumns<QString, int, QString, QString, QString>("child", "noChildStates",
                                                                     "types", "names", "refusal");
        QTest::newRow("only the first is reported")
            << u"|||"_s << 3 << u"M2 M2"_s << u","_s
            << u"Please enter a name for the child variable.\r"
               "Type the child's name in the box and then click the 'Enter child name' button."_s;
        QTest::newRow("second child state unnamed")
            << u"Rain|High||"_s << 2 << u"N2 N2"_s << u"Wind,Temp"_s
            << u"Please enter names for the child variable states."_s;
        QTest::newRow("first parent unnamed")
            << u"Rain|High|Low|"_s << 2 << u"N2 N2"_s << u",Temp"_s << noParentDetails;
        QTest::newRow("third parent unnamed, though the only Non-modifying one")
            << u"Rain|High|Low|"_s << 2 << u"M2 M2 N2"_s << u"Wind,Temp,"_s << noParentDetails;
        QTest::newRow("every parent Modifying")
            << u"Rain|High|Low|"_s << 2 << u"M2 M2"_s << u"Wind,Temp"_s
            << u"You must have at least one non-modifying parent."_s;
        QTest::newRow("one Non-modifying parent is enough")
            << u"Rain|High|Low|"_s << 2 << u"M2 M2 N2"_s << u"A,B,C"_s << QString();
        QTest::newRow("blank names count as entered")
            << u" | | |"_s << 2 << u"N2 N2"_s << u" , "_s << QString();
    }
    void reportsTheFirstThingMissing()
    {
        const auto [child, noChildStates, types, names, refusal] =
            testing::fetch<QString, int, QString, QString, QString>("child", "noChildStates",
                                                                    "types", "names", "refusal");
        Problem problem = problemOf(noChildStates, types);
        problem.childName = child.section(u'|', 0, 0);
        for (int s = 1; s <= 3; ++s)
            problem.childStateName(s) = child.section(u'|', s, s);
        for (int p = 1; p <= problem.noParents(); ++p)
            problem.parentName(p) = names.section(u',', p - 1, p - 1);
        QCOMPARE(refusalOf(problem), refusal.isEmpty() ? QString() : u"Edit EPT: "_s + refusal);
    }

    // Which parents are Modifying shows in the cell tests below; here the sizes and limits.
    void derivesTheShape_data()
    {
        testing::addColumns<int, QString, int, int, QString>("childStates", "parents", "eptRows",
                                                             "eptCols", "refusal");
        QTest::newRow("one Non-modifying, 2 states") << 2 << u"N2 M2"_s << 2 << 4 << QString();
        QTest::newRow("one Non-modifying, 3 states") << 2 << u"M2 N3"_s << 3 << 4 << QString();
        QTest::newRow("12 columns accepted") << 3 << u"M2 N2 M2"_s << 2 << 12 << QString();
        QTest::newRow("two of each kind") << 2 << u"N3 M2 N2 M3"_s << 5 << 12 << QString();
        QTest::newRow("16 columns refused") << 2 << u"M2 M2 M2 N2"_s << 2 << 16 << tooManyColumns;
        QTest::newRow("1048576 rows accepted")
            << 2 << repeated(u"N2"_s, 20) << 22 << 2 << QString();
        QTest::newRow("one state more refused")
            << 2 << repeated(u"N2"_s, 19) + u" N3"_s << 23 << 2 << tooManyRows;
        QTest::newRow("columns before rows")
            << 2 << u"M2 M2 M2 "_s + repeated(u"N2"_s, 20) << 22 << 16 << tooManyColumns;
        // Counts that would wrap round to small ones.
        QTest::newRow("40 three-state Modifying")
            << 3 << u"N2 "_s + repeated(u"M3"_s, 40) << 2 << INT_MAX << tooManyColumns;
        QTest::newRow("64 Non-modifying") << 2 << repeated(u"N2"_s, 64) << 66 << 2 << tooManyRows;
    }
    void derivesTheShape()
    {
        const auto [childStates, parents, eptRows, eptCols, refusal] =
            testing::fetch<int, QString, int, int, QString>("childStates", "parents", "eptRows",
                                                            "eptCols", "refusal");
        const Problem problem = problemOf(childStates, parents);
        const EptShape shape = deriveEptShape(problem);
        QCOMPARE(shape.eptRows, eptRows);
        QCOMPARE(shape.eptCols, eptCols);
        QCOMPARE(refusalOf(problem), refusal.isEmpty() ? QString() : u"Edit EPT: "_s + refusal);
    }

    // Parents A (Non-modifying, 3 states), X (Modifying, 2), B (Non-modifying, 2),
    // Y (Modifying, 3), child with 2 states.
    void describesEveryCell()
    {
        const Problem problem = problemOf(2, u"N3 M2 N2 M3"_s);
        const EptShape shape = deriveEptShape(problem);
        const CellConfiguration cells(problem, shape);
        QCOMPARE(cells.parentOrder, (QList<int>{2, 4, 1, 3}));
        QCOMPARE(cells.noModInOrder, 2);
        // States of (A, B) down the rows, of (X, Y) across the blocks of two columns, Y changing
        // fastest; the child's states alternate.
        const int rowStates[5][2] = {{1, 1}, {3, 2}, {2, 1}, {3, 1}, {1, 2}};
        const int blockStates[6][2] = {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}};
        for (int r = 1; r <= 5; ++r) {
            for (int c = 1; c <= 12; ++c) {
                const int b = (c + 1) / 2;
                QCOMPARE(cells.cellChildState(r, c), 2 - c % 2);
                QCOMPARE(cells.cellParentState(r, c, 1), rowStates[r - 1][0]);
                QCOMPARE(cells.cellParentState(r, c, 3), rowStates[r - 1][1]);
                QCOMPARE(cells.cellParentState(r, c, 2), blockStates[b - 1][0]);
                QCOMPARE(cells.cellParentState(r, c, 4), blockStates[b - 1][1]);
            }
        }
    }
};

VADAZAZ_TEST_MAIN(EptShapeTest)
#include "ept_shape_test.moc"
