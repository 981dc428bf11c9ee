#include "editing/readiness_check.h"

#include "testing/test_main.h"

using namespace vadazaz;
using namespace Qt::StringLiterals;

namespace {

const QString noChildName = QStringLiteral(
    "Please enter a name for the child variable.\r"
    "Type the child's name in the box and then click the 'Enter child name' button.");
const QString noChildStateNames =
    QStringLiteral("Please enter names for the child variable states.");
const QString noParentDetails =
    QStringLiteral("Please enter details for the all parent variables.");
const QString noNonModifyingParent =
    QStringLiteral("You must have at least one non-modifying parent.");

} // namespace

class ReadinessCheckTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportsTheFirstThingMissing_data()
    {
        QTest::addColumn<QString>("childName");
        QTest::addColumn<QStringList>("childStateNames"); // states 1..3 as stored
        QTest::addColumn<int>("noChildStates");
        QTest::addColumn<QStringList>("parentNames");
        QTest::addColumn<QList<int>>("parentTypes");
        QTest::addColumn<QString>("refusal"); // empty: the EPT may open

        const QStringList two{u"High"_s, u"Low"_s, u""_s};
        const QStringList three{u"High"_s, u"Mid"_s, u"Low"_s};
        const QStringList parents{u"Wind"_s, u"Temp"_s};
        const QList<int> nonMod{0, 0};
        const QString none;
        QTest::newRow("fresh start") << QString() << QStringList{u""_s, u""_s, u""_s} << 2
                                     << QStringList{u""_s, u""_s} << nonMod << noChildName;
        QTest::newRow("no child state names") << u"Rain"_s << QStringList{u""_s, u""_s, u""_s} << 2
                                              << parents << nonMod << noChildStateNames;
        QTest::newRow("second child state unnamed")
            << u"Rain"_s << QStringList{u"High"_s, u""_s, u""_s} << 2 << parents << nonMod
            << noChildStateNames;
        QTest::newRow("switched from 2 to 3 states")
            << u"Rain"_s << two << 3 << parents << nonMod << noChildStateNames;
        QTest::newRow("second parent not entered")
            << u"Rain"_s << two << 2 << QStringList{u"Wind"_s, u""_s} << nonMod << noParentDetails;
        QTest::newRow("added parent never edited")
            << u"Rain"_s << two << 2 << QStringList{u"Wind"_s, u"Temp"_s, u""_s}
            << QList<int>{1, 1, 0} << noParentDetails;
        QTest::newRow("every parent Modifying")
            << u"Rain"_s << two << 2 << parents << QList<int>{1, 1} << noNonModifyingParent;
        QTest::newRow("one Non-modifying parent is enough")
            << u"Rain"_s << two << 2 << QStringList{u"A"_s, u"B"_s, u"C"_s} << QList<int>{1, 1, 0}
            << none;
        QTest::newRow("only the first is reported")
            << QString() << QStringList{u""_s, u""_s, u""_s} << 3 << QStringList{u""_s, u""_s}
            << QList<int>{1, 1} << noChildName;
        QTest::newRow("states before parents")
            << u"Rain"_s << QStringList{u""_s, u""_s, u""_s} << 2 << QStringList{u""_s, u""_s}
            << QList<int>{1, 1} << noChildStateNames;
        QTest::newRow("stale third name with 2 states")
            << u"Rain"_s << QStringList{u"High"_s, u"Low"_s, u"Old"_s} << 2 << parents << nonMod
            << none;
        QTest::newRow("complete with 3 states")
            << u"Rain"_s << three << 3 << parents << nonMod << none;
        QTest::newRow("blank names count as entered")
            << u" "_s << QStringList{u" "_s, u" "_s, u""_s} << 2 << QStringList{u" "_s, u" "_s}
            << nonMod << none;
    }

    void reportsTheFirstThingMissing()
    {
        QFETCH(QString, childName);
        QFETCH(QStringList, childStateNames);
        QFETCH(int, noChildStates);
        QFETCH(QStringList, parentNames);
        QFETCH(QList<int>, parentTypes);
        QFETCH(QString, refusal);

        Problem problem;
        problem.childName = childName;
        for (int s = 1; s <= 3; ++s)
            problem.childStateName(s) = childStateNames.at(s - 1);
        problem.noChildStates = noChildStates;
        while (problem.noParents() < parentNames.size())
            problem.appendParent();
        for (int p = 1; p <= problem.noParents(); ++p) {
            problem.parentName(p) = parentNames.at(p - 1);
            problem.parentType(p) = parentTypes.at(p - 1);
            // The state names are not what shows that a parent was entered.
            if (!parentNames.at(p - 1).isEmpty()) {
                problem.parentStateName(1, p) = QStringLiteral("Up");
                problem.parentStateName(2, p) = QStringLiteral("Down");
            }
        }

        const std::optional<Message> message = readinessRefusal(problem);
        if (refusal.isEmpty()) {
            QVERIFY2(!message, qPrintable(message ? message->text : QString()));
        } else {
            QVERIFY(message);
            QCOMPARE(message->text, refusal);
            QCOMPARE(message->title, QStringLiteral("Edit EPT"));
        }
    }
};

VADAZAZ_TEST_MAIN(ReadinessCheckTest)
#include "readiness_check_test.moc"
