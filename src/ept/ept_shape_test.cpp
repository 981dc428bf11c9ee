#include "ept/ept_shape.h"

#include "testing/sample_problems.h"
#include "testing/test_main.h"

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

// n parents of one kind, "N2 N2 …".
QString repeated(const QString &word, int n)
{
    return QStringList(n, word).join(u' ');
}

} // namespace

class EptShapeTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void derivesTheShape_data()
    {
        QTest::addColumn<int>("childStates");
        QTest::addColumn<QString>("parents");
        QTest::addColumn<int>("eptRows");
        QTest::addColumn<int>("eptCols");
        QTest::addColumn<QList<int>>("nonModParents");
        QTest::addColumn<QList<int>>("modParents");
        QTest::addColumn<QString>("refusal");

        QTest::newRow("one Non-modifying, 2 states")
            << 2 << u"N2 M2"_s << 2 << 4 << QList<int>{1} << QList<int>{2} << QString();
        QTest::newRow("one Non-modifying, 3 states")
            << 2 << u"M2 N3"_s << 3 << 4 << QList<int>{2} << QList<int>{1} << QString();
        QTest::newRow("two Non-modifying, 2 states")
            << 2 << u"N2 N2"_s << 4 << 2 << QList<int>{1, 2} << QList<int>{} << QString();
        QTest::newRow("two Non-modifying, 3 states")
            << 3 << u"N3 N3"_s << 6 << 3 << QList<int>{1, 2} << QList<int>{} << QString();
        QTest::newRow("12 columns accepted")
            << 3 << u"M2 N2 M2"_s << 2 << 12 << QList<int>{2} << QList<int>{1, 3} << QString();
        QTest::newRow("18 columns refused")
            << 3 << u"M3 M2 N2"_s << 2 << 18 << QList<int>{3} << QList<int>{1, 2} << tooManyColumns;
        QTest::newRow("16 columns refused") << 2 << u"M2 M2 M2 N2"_s << 2 << 16 << QList<int>{4}
                                            << QList<int>{1, 2, 3} << tooManyColumns;
        QTest::newRow("1048576 rows accepted")
            << 2 << repeated(u"N2"_s, 20) << 22 << 2 << QList<int>{} << QList<int>{} << QString();
        QTest::newRow("one state more refused") << 2 << repeated(u"N2"_s, 19) + u" N3"_s << 23 << 2
                                                << QList<int>{} << QList<int>{} << tooManyRows;
        QTest::newRow("one parent more refused")
            << 2 << repeated(u"N2"_s, 21) << 23 << 2 << QList<int>{} << QList<int>{} << tooManyRows;
        QTest::newRow("columns before rows")
            << 2 << u"M2 M2 M2 "_s + repeated(u"N2"_s, 20) << 22 << 16 << QList<int>{}
            << QList<int>{} << tooManyColumns;
        QTest::newRow("40 three-state Modifying") << 3 << u"N2 "_s + repeated(u"M3"_s, 40) << 2 << 0
                                                  << QList<int>{} << QList<int>{} << tooManyColumns;
        QTest::newRow("64 Non-modifying")
            << 2 << repeated(u"N2"_s, 64) << 66 << 2 << QList<int>{} << QList<int>{} << tooManyRows;
        QTest::newRow("64 three-state Non-modifying")
            << 2 << repeated(u"N3"_s, 64) << 130 << 2 << QList<int>{} << QList<int>{}
            << tooManyRows;
    }

    // An eptCols of 0 stands for "too many to count"; an empty parent list for "not checked".
    void derivesTheShape()
    {
        QFETCH(int, childStates);
        QFETCH(QString, parents);
        QFETCH(int, eptRows);
        QFETCH(int, eptCols);
        QFETCH(QList<int>, nonModParents);
        QFETCH(QList<int>, modParents);
        QFETCH(QString, refusal);

        const Problem problem = problemOf(childStates, parents);
        QList<Message> internalErrors;
        const EptShape shape = deriveEptShape(problem, &internalErrors);
        QVERIFY(internalErrors.isEmpty());
        QCOMPARE(shape.eptRows, eptRows);
        if (eptCols != 0)
            QCOMPARE(shape.eptCols, eptCols);
        else
            QVERIFY(shape.eptCols > maxEptCols);
        if (!nonModParents.isEmpty() || !modParents.isEmpty()) {
            QCOMPARE(shape.nonModParents, nonModParents);
            QCOMPARE(shape.modParents, modParents);
        }
        QCOMPARE(shape.noNonModParents() + shape.noModParents(), problem.noParents());

        const std::optional<Message> message = eptSizeRefusal(problem, shape);
        if (refusal.isEmpty()) {
            QVERIFY2(!message, qPrintable(message ? message->text : QString()));
        } else {
            QVERIFY(message);
            QCOMPARE(message->title, u"Edit EPT"_s);
            QCOMPARE(message->text, refusal);
        }
    }

    void countsCptRowsWithoutOverflow()
    {
        QCOMPARE(cptRowCount(problemOf(2, repeated(u"N2"_s, 20))), qint64(1048576));
        QCOMPARE(cptRowCount(problemOf(2, u"N3 N2 M3"_s)), qint64(18));
        for (const QString &parents : {repeated(u"N2"_s, 21), repeated(u"M3"_s, 40) + u" N2"_s,
                                       repeated(u"N3"_s, 64), repeated(u"N2"_s, 200)})
            QCOMPARE(cptRowCount(problemOf(2, parents)), maxCptRows + 1);
        QCOMPARE(tooManyRowsMessage().text, tooManyRows);
    }

    void reportsAWrongParentType()
    {
        Problem problem = problemOf(2, u"N2 M2 N3"_s);
        problem.parentType(2) = 7;
        QList<Message> internalErrors;
        const EptShape shape = deriveEptShape(problem, &internalErrors);
        const Message wrongType{u"Vadazaz"_s, u"Wrong parent type in CommandEditEPT_Click"_s};
        QCOMPARE(internalErrors.size(), 1);
        QVERIFY(internalErrors.first() == wrongType);
        QCOMPARE(shape.nonModParents, (QList<int>{1, 3}));
        QCOMPARE(shape.modParents, QList<int>{});
        QCOMPARE(shape.eptRows, 2 + 1 + 2);
        QCOMPARE(shape.eptCols, 2);
    }

    // Parents A (Non-modifying, 3 states), X (Modifying, 2), B (Non-modifying, 2),
    // Y (Modifying, 3), child with 2 states.
    void describesEveryCell()
    {
        const Problem problem = problemOf(2, u"N3 M2 N2 M3"_s);
        const EptShape shape = deriveEptShape(problem);
        QCOMPARE(shape.eptRows, 5);
        QCOMPARE(shape.eptCols, 12);
        const CellConfiguration cells(problem, shape);
        QCOMPARE(cells.parentOrder, (QList<int>{2, 4, 1, 3}));
        QCOMPARE(cells.noModInOrder, 2);

        // States of (A, B) down the rows, of (X, Y) across the blocks: Y changes fastest.
        const int rowStates[5][2] = {{1, 1}, {3, 2}, {2, 1}, {3, 1}, {1, 2}};
        const int blockStates[6][2] = {{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}};
        for (int r = 1; r <= 5; ++r) {
            QCOMPARE(rowParentState(problem, shape, r, 1), rowStates[r - 1][0]);
            QCOMPARE(rowParentState(problem, shape, r, 2), rowStates[r - 1][1]);
            for (int c = 1; c <= 12; ++c) {
                const int b = (c + 1) / 2;
                QCOMPARE(columnBlock(c, 2), b);
                QCOMPARE(columnChildState(c, 2), 2 - c % 2);
                QCOMPARE(cells.cellChildState(r, c), 2 - c % 2);
                QCOMPARE(cells.cellParentState(r, c, 1), rowStates[r - 1][0]);
                QCOMPARE(cells.cellParentState(r, c, 3), rowStates[r - 1][1]);
                QCOMPARE(cells.cellParentState(r, c, 2), blockStates[b - 1][0]);
                QCOMPARE(cells.cellParentState(r, c, 4), blockStates[b - 1][1]);
            }
        }
        for (int b = 1; b <= 6; ++b) {
            QCOMPARE(blockModParentState(problem, shape, 1, b), blockStates[b - 1][0]);
            QCOMPARE(blockModParentState(problem, shape, 2, b), blockStates[b - 1][1]);
        }
    }

    void ordersTheRows_data()
    {
        QTest::addColumn<QString>("parents");
        QTest::addColumn<QList<QList<int>>>("rows"); // states of the Non-modifying parents

        QTest::newRow("one, 2 states") << u"N2 M2"_s << QList<QList<int>>{{1}, {2}};
        QTest::newRow("one, 3 states") << u"N3 M2"_s << QList<QList<int>>{{1}, {3}, {2}};
        QTest::newRow("two, 2 states")
            << u"N2 N2"_s << QList<QList<int>>{{1, 1}, {2, 2}, {2, 1}, {1, 2}};
        QTest::newRow("3 and 3 states")
            << u"N3 N3"_s << QList<QList<int>>{{1, 1}, {3, 3}, {2, 1}, {3, 1}, {1, 2}, {1, 3}};
        QTest::newRow("between Modifying parents")
            << u"M2 N2 M3 N3"_s << QList<QList<int>>{{1, 1}, {2, 3}, {2, 1}, {1, 2}, {1, 3}};
    }

    void ordersTheRows()
    {
        QFETCH(QString, parents);
        QFETCH(QList<QList<int>>, rows);
        const Problem problem = problemOf(2, parents);
        const EptShape shape = deriveEptShape(problem);
        QCOMPARE(shape.eptRows, rows.size());
        const CellConfiguration cells(problem, shape);
        for (int r = 1; r <= shape.eptRows; ++r) {
            for (int i = 1; i <= shape.noNonModParents(); ++i) {
                QCOMPARE(rowParentState(problem, shape, r, i), rows.at(r - 1).at(i - 1));
                for (int c = 1; c <= shape.eptCols; ++c)
                    QCOMPARE(cells.cellParentState(r, c, shape.nonModParent(i)),
                             rows.at(r - 1).at(i - 1));
            }
        }
    }
};

VADAZAZ_TEST_MAIN(EptShapeTest)
#include "ept_shape_test.moc"
