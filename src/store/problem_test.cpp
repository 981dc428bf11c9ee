#include "store/problem.h"

#include "testing/test_main.h"

using namespace vadazaz;

namespace {

void checkDefaultParent(const Problem &problem, int p)
{
    QCOMPARE(problem.parentName(p), QString());
    QCOMPARE(problem.parentType(p), nonModifyingType);
    QCOMPARE(problem.parentNoStates(p), 2);
    for (int s = 1; s <= 3; ++s)
        QCOMPARE(problem.parentStateName(s, p), QString());
}

void fillParent(Problem &problem, int p)
{
    problem.parentName(p) = QStringLiteral("Parent %1").arg(p);
    problem.parentType(p) = p % 2 == 0 ? modifyingType : nonModifyingType;
    problem.parentNoStates(p) = 3;
    for (int s = 1; s <= 3; ++s)
        problem.parentStateName(s, p) = QStringLiteral("S%1 of %2").arg(s).arg(p);
}

} // namespace

class ProblemTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsFromTheDefaults()
    {
        Problem problem;
        // Initialising again after edits gives a fresh start too.
        for (const bool edited : {false, true}) {
            if (edited) {
                problem.childName = QStringLiteral("Rain");
                problem.noChildStates = 3;
                problem.childStateName(3) = QStringLiteral("Low");
                problem.selectedParent = 2;
                problem.appendParent();
                fillParent(problem, 1);
                problem.initialise();
            }
            QCOMPARE(problem.childName, QString());
            QCOMPARE(problem.noChildStates, 2);
            for (int s = 1; s <= 3; ++s)
                QCOMPARE(problem.childStateName(s), QString());
            QCOMPARE(problem.noParents(), 2);
            QCOMPARE(problem.selectedParent, 1);
            checkDefaultParent(problem, 1);
            checkDefaultParent(problem, 2);
        }
    }

    void appendsAndRemovesOnlyAtTheEnd()
    {
        Problem problem;
        for (int i = 0; i < 3; ++i)
            problem.appendParent();
        QCOMPARE(problem.noParents(), 5);
        for (int p = 1; p <= 5; ++p)
            fillParent(problem, p);

        QVERIFY(problem.removeLastParent());
        QVERIFY(problem.removeLastParent());
        QCOMPARE(problem.noParents(), 3);
        Problem expected;
        expected.appendParent();
        for (int p = 1; p <= 3; ++p) {
            fillParent(expected, p);
            QCOMPARE(problem.parentName(p), expected.parentName(p));
            QCOMPARE(problem.parentType(p), expected.parentType(p));
            QCOMPARE(problem.parentNoStates(p), expected.parentNoStates(p));
            for (int s = 1; s <= 3; ++s)
                QCOMPARE(problem.parentStateName(s, p), expected.parentStateName(s, p));
        }

        // A parent appended after a removal starts from the defaults, not from the removed one.
        problem.appendParent();
        QCOMPARE(problem.noParents(), 4);
        checkDefaultParent(problem, 4);
    }

    void neverGoesBelowTwoParents()
    {
        Problem problem;
        fillParent(problem, 2);
        QVERIFY(!problem.removeLastParent());
        QCOMPARE(problem.noParents(), 2);
        QCOMPARE(problem.parentName(2), QStringLiteral("Parent 2"));
    }

    void stateNamesAreIndexedStateFirst()
    {
        Problem problem;
        problem.appendParent();
        problem.parentStateName(3, 2) = QStringLiteral("third");
        problem.parentStateName(2, 3) = QStringLiteral("second");
        QCOMPARE(problem.parentStateName(3, 2), QStringLiteral("third"));
        QCOMPARE(problem.parentStateName(2, 3), QStringLiteral("second"));
        QCOMPARE(problem.parentStateName(2, 2), QString());
        QCOMPARE(problem.parentStateName(3, 3), QString());
    }

    void oneProblemForTheWholeProgram()
    {
        QCOMPARE(&problem(), &problem());
        QCOMPARE(problem().noParents(), 2);
        QCOMPARE(problem().noChildStates, 2);
    }
};

VADAZAZ_TEST_MAIN(ProblemTest)
#include "problem_test.moc"
