#include "core/store/problem.h"

#include "testing/test_main.h"

using namespace vadazaz;

namespace {

// The child's name, state count and state names and the selected parent, then for every parent
// its name, type, state count and state names.
QString text(const Problem &problem)
{
    QString text = QStringLiteral("%1|%2|%3|%4|%5|%6")
                       .arg(problem.childName, QString::number(problem.noChildStates),
                            problem.childStateName(1), problem.childStateName(2),
                            problem.childStateName(3), QString::number(problem.selectedParent));
    for (int p = 1; p <= problem.noParents(); ++p)
        text += QStringLiteral("; %1|%2|%3|%4|%5|%6")
                    .arg(problem.parentName(p), QString::number(problem.parentType(p)),
                         QString::number(problem.parentNoStates(p)), problem.parentStateName(1, p),
                         problem.parentStateName(2, p), problem.parentStateName(3, p));
    return text;
}

// A problem of noParents parents whose every field is set to something of its own.
Problem filledProblem(int noParents)
{
    Problem problem;
    while (problem.noParents() < noParents)
        problem.appendParent();
    for (int p = 1; p <= noParents; ++p) {
        problem.parentName(p) = QStringLiteral("Parent %1").arg(p);
        problem.parentType(p) = p % 2 == 1 ? modifyingType : nonModifyingType;
        problem.parentNoStates(p) = 3;
        for (int s = 1; s <= 3; ++s)
            problem.parentStateName(s, p) = QStringLiteral("S%1 of %2").arg(s).arg(p);
    }
    return problem;
}

} // namespace

class ProblemTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initialiseStartsAfresh()
    {
        Problem problem = filledProblem(3);
        problem.childName = QStringLiteral("Rain");
        problem.noChildStates = 3;
        problem.childStateName(3) = QStringLiteral("Low");
        problem.selectedParent = 2;
        problem.initialise();
        QCOMPARE(text(problem), QStringLiteral("|2||||1; |0|2|||; |0|2|||"));
    }

    void removesOnlyTheLastParentDownToTwo()
    {
        QCOMPARE(text(filledProblem(2)),
                 QStringLiteral("|2||||1; Parent 1|1|3|S1 of 1|S2 of 1|S3 of 1; "
                                "Parent 2|0|3|S1 of 2|S2 of 2|S3 of 2"));
        Problem problem = filledProblem(5);
        QVERIFY(problem.removeLastParent());
        QVERIFY(problem.removeLastParent());
        QCOMPARE(text(problem), text(filledProblem(3)));

        // A parent appended after a removal starts from the defaults, not from the removed one.
        problem.appendParent();
        QCOMPARE(text(problem), text(filledProblem(3)) + QStringLiteral("; |0|2|||"));

        QVERIFY(problem.removeLastParent());
        QVERIFY(problem.removeLastParent());
        QVERIFY(!problem.removeLastParent());
        QCOMPARE(text(problem), text(filledProblem(2)));
    }
};

VADAZAZ_TEST_MAIN(ProblemTest)
#include "problem_test.moc"
