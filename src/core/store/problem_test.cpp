#include "core/store/problem.h"

#include "testing/sample_problems.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace Qt::StringLiterals;

namespace {

// The child's name, state count and state names, then for every parent its name, type, state
// count and state names.
QString text(const Problem &problem)
{
    QString text =
        u"%1|%2|%3|%4|%5"_s.arg(problem.childName)
            .arg(problem.noChildStates)
            .arg(problem.childStateName(1), problem.childStateName(2), problem.childStateName(3));
    for (int p = 1; p <= problem.noParents(); ++p)
        text += u"; %1|%2|%3|%4|%5|%6"_s
                    .arg(problem.parentName(p), parentTypeName(problem.parentType(p)))
                    .arg(problem.parentNoStates(p))
                    .arg(problem.parentStateName(1, p), problem.parentStateName(2, p),
                         problem.parentStateName(3, p));
    return text;
}

} // namespace

class ProblemTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsAfreshAndRemovesOnlyTheLastParentDownToTwo()
    {
        const QString fresh = u"|2|||; |Non-modifying|2|||; |Non-modifying|2|||"_s;
        Problem problem = testing::problemOf(3, u"M3 N2 N3 M2"_s);
        QVERIFY(problem.removeLastParent());
        QVERIFY(problem.removeLastParent());
        QVERIFY(!problem.removeLastParent());
        QCOMPARE(text(problem), u"Child|3|C1|C2|C3; P1|Modifying|3|P1s1|P1s2|P1s3; "
                                "P2|Non-modifying|2|P2s1|P2s2|"_s);
        // A parent appended after a removal starts from the defaults, not from the removed one.
        problem.appendParent();
        QVERIFY(text(problem).endsWith(u"; |Non-modifying|2|||"_s));
        problem.initialise();
        QCOMPARE(text(problem), fresh);
    }

    void namesTheTypesExactly()
    {
        QCOMPARE(parentTypeNamed(u"Modifying"_s), ParentType::Modifying);
        QCOMPARE(parentTypeNamed(u"Non-modifying"_s), ParentType::NonModifying);
        QCOMPARE(parentTypeNamed(u"modifying"_s), std::nullopt);
        QCOMPARE(parentTypeNamed(u"Non-modifying "_s), std::nullopt);
    }
};

VADAZAZ_TEST_MAIN(ProblemTest)
#include "problem_test.moc"
