#include "core/ept/readiness_check.h"

#include "testing/test_main.h"

using namespace vadazaz;
using namespace Qt::StringLiterals;

// Each refusal is also met, one after another, through the main window's "Edit EPT" button.
class ReadinessCheckTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportsTheFirstThingMissing_data()
    {
        QTest::addColumn<QString>("child"); // name and state names 1..3 as stored
        QTest::addColumn<int>("noChildStates");
        QTest::addColumn<QString>("parents"); // name and type of each parent
        QTest::addColumn<QString>("refusal"); // empty: the EPT may open

        QTest::newRow("only the first is reported")
            << u"|||"_s << 3 << u":1,:1"_s
            << u"Please enter a name for the child variable.\r"
               "Type the child's name in the box and then click the 'Enter child name' button."_s;
        QTest::newRow("second child state unnamed")
            << u"Rain|High||"_s << 2 << u"Wind:0,Temp:0"_s
            << u"Please enter names for the child variable states."_s;
        QTest::newRow("first parent unnamed")
            << u"Rain|High|Low|"_s << 2 << u":0,Temp:0"_s
            << u"Please enter details for the all parent variables."_s;
        QTest::newRow("third parent unnamed, though the only Non-modifying one")
            << u"Rain|High|Low|"_s << 2 << u"Wind:1,Temp:1,:0"_s
            << u"Please enter details for the all parent variables."_s;
        QTest::newRow("every parent Modifying")
            << u"Rain|High|Low|"_s << 2 << u"Wind:1,Temp:1"_s
            << u"You must have at least one non-modifying parent."_s;
        QTest::newRow("one Non-modifying parent is enough")
            << u"Rain|High|Low|"_s << 2 << u"A:1,B:1,C:0"_s << QString();
        QTest::newRow("blank names count as entered")
            << u" | | |"_s << 2 << u" :0, :0"_s << QString();
    }

    void reportsTheFirstThingMissing()
    {
        QFETCH(QString, child);
        QFETCH(int, noChildStates);
        QFETCH(QString, parents);
        QFETCH(QString, refusal);

        Problem problem;
        problem.childName = child.section(u'|', 0, 0);
        for (int s = 1; s <= 3; ++s)
            problem.childStateName(s) = child.section(u'|', s, s);
        problem.noChildStates = noChildStates;
        const QStringList list = parents.split(u',');
        while (problem.noParents() < list.size())
            problem.appendParent();
        for (int p = 1; p <= problem.noParents(); ++p) {
            problem.parentName(p) = list.at(p - 1).section(u':', 0, 0);
            problem.parentType(p) = ParentType(list.at(p - 1).section(u':', 1).toInt());
            // The state names are not what shows that a parent was entered.
            problem.parentStateName(1, p) = QStringLiteral("Up");
            problem.parentStateName(2, p) = QStringLiteral("Down");
        }

        const Result<void> ready = ReadyForEPT(problem);
        QCOMPARE(ready ? QString() : ready.failure().title + u": "_s + ready.failure().text,
                 refusal.isEmpty() ? QString() : u"Edit EPT: "_s + refusal);
    }
};

VADAZAZ_TEST_MAIN(ReadinessCheckTest)
#include "readiness_check_test.moc"
