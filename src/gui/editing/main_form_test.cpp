// The main window, driven as a person drives it, answering the real message boxes.

#include "gui/editing/main_form.h"

#include "core/store/problem.h"
#include "testing/main_form_driver.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

const QString childNameMissing = "Please enter a name for the child variable.\nType the child's "
                                 "name in the box and then click the 'Enter child name' button.";
const QString parentsMissing = "Edit EPT: Please enter details for the all parent variables. [Ok]";

} // namespace

class MainFormTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainFormDriver> driver;

    // Does the steps in the main window and tells what the last one brought, each box or window
    // followed by " / ".
    QString act(const QString &steps)
    {
        QString came;
        for (const QString &one : testing::act(&driver->window, steps))
            came += one + " / ";
        return came;
    }

private Q_SLOTS:
    void init() { driver = std::make_unique<MainFormDriver>(); }
    void cleanup() { driver.reset(); }

    // The child's name is taken by its button; the state count when chosen from the list, or by
    // Edit from what is typed. Typing alone takes nothing.
    void enteringTheChild_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("seen"); // the last step's boxes, then the name and count stored
        const QString name = "type TextChildName Rain; click CommandEnterChildName; ";
        const QString enter = "; click CommandEnterChildName";
        const QString entered = "Enter child name: A child name has been entered.\nIf you want "
                                "to, you will be able to change this later- simply enter\na new "
                                "name in the box and click on the Enter child name button. [Ok] / ";
        const QString notEntered = "Enter child name: A child name has NOT been entered.\nPlease "
                                   "type name of child in the box. [Ok] / ";
        const QString edit = "; click CommandEditChildStates";
        stepsRow("name typed", "type TextChildName Rain", "|2");
        stepsRow("name entered", name, entered + "Rain|2");
        stepsRow("emptied box keeps the name", name + "type TextChildName " + enter,
                 notEntered + "Rain|2");
        stepsRow("blanks kept", "paste TextChildName  Dry Soil " + enter, entered + " Dry Soil |2");
        stepsRow("TAB refused", "paste TextChildName Dry\tSoil" + enter, notEntered + "|2");
        stepsRow("count chosen", "choose ComboNoChildStates 3", "|3");
        stepsRow("count chosen by arrow key", "press ComboNoChildStates Down", "|3");
        stepsRow("count typed, then Enter",
                 "type ComboNoChildStates 3; press ComboNoChildStates Return", "|2");
        stepsRow("count typed, then Edit", name + "type ComboNoChildStates 3" + edit,
                 "FormChildState / Rain|3");
        stepsRow("4 typed, then Edit", name + "type ComboNoChildStates 4" + edit,
                 "Edit child state names: Number of child states must be either 2 or 3. [Ok] / "
                 "Rain|2");
        stepsRow("Edit asks for the name before the count", "type ComboNoChildStates 5" + edit,
                 "Edit child state names: " + childNameMissing + " [Ok] / |2");
    }
    void enteringTheChild()
    {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        const QString came = act(steps);
        QCOMPARE(came + problem().childName + '|' + QString::number(problem().noChildStates), seen);
    }

    // Parents are added and deleted at the end; Edit takes only an entry of the list.
    void addingAndChoosingParents_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("seen"); // the last step's boxes, the number of parents, then
                                           // the text in the list's box
        const QString add = "click CommandAddParent; ";
        const QString edit = "; click CommandEditParent";
        const QString refused =
            "Edit parent: Please select a parent to enter from the drop down list. [Ok] / 2: ";
        stepsRow("none yet", "", "2: Parent 1");
        stepsRow("typed entry", "type ComboParent Parent 2" + edit, "FormParent / 2: Parent 2");
        stepsRow("beyond the last", "type ComboParent Parent 3" + edit, refused + "Parent 3");
        stepsRow("trailing blank", "type ComboParent Parent 1 " + edit, refused + "Parent 1 ");
        stepsRow("added one selected", add + "click CommandEditParent", "FormParent / 3: Parent 3");
        stepsRow("last one deleted, though the first is chosen",
                 add + "choose ComboParent Parent 1; click CommandDeleteParent" + edit,
                 "FormParent / 2: Parent 2");
        stepsRow("deleted one gone from the list",
                 add + "click CommandDeleteParent; type ComboParent Parent 3" + edit,
                 refused + "Parent 3");
        stepsRow("never fewer than two", "click CommandDeleteParent",
                 "Delete parent: I'm sorry but you can't have less than 2 parents. [Ok] / 2: "
                 "Parent 1");
    }
    void addingAndChoosingParents()
    {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        const QString came = act(steps);
        QCOMPARE(came + QString::number(problem().noParents()) + ": " +
                     driver->w<QComboBox>("ComboParent")->currentText(),
                 seen);
        QStringList rows; // every parent in its row, none confirmed
        for (int p = 1; p <= problem().noParents(); ++p)
            rows << QString("Parent %1|(click Edit button)||").arg(p);
        QCOMPARE(driver->rows(), rows);
    }

    // A confirmed parent shows in its row. Once it is deleted, the rows that closing a window
    // refreshes leave it out.
    void confirmedParentShowsInItsRow()
    {
        act("click CommandAddParent");
        QVERIFY(driver->enterParent(1, "Temp", "Non-modifying", {"Hot", "Cold"}));
        QVERIFY(driver->enterParent(3, "Wind", "Modifying", {"Strong", "Calm", "Still"}));
        const QString rows = "Parent 1|Temp|Non-modifying|2/Parent 2|(click Edit button)||";
        QCOMPARE(driver->rows().join('/'), rows + "/Parent 3|Wind|Modifying|3");
        QCOMPARE(act("click CommandDeleteParent; click MenuAbout"), "FormAbout / ");
        QCOMPARE(driver->rows().join('/'), rows);
    }

    // Edit EPT opens the EPT window, or says in one box the first thing to fix.
    void editEpt_data()
    {
        // The child's name (- for none), how many states confirmed, then each parent: M or N
        // (Modifying or not) with its state count, - if unconfirmed.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("seen");
        const QString edit = "Edit EPT: ";
        stepsRow("nothing entered", "- 0 - -", edit + childNameMissing + " [Ok]");
        stepsRow("no child states", "Rain 0 - -",
                 edit + "Please enter names for the child variable states. [Ok]");
        stepsRow("parent 2 unconfirmed", "Rain 2 M2 -", parentsMissing);
        stepsRow("only Modifying parents", "Rain 2 M2 M2",
                 edit + "You must have at least one non-modifying parent. [Ok]");
        stepsRow("16 columns", "Rain 2 M2 M2 M2 N2",
                 edit + "You need to fill in more than 12 columns in the EPT. This is not a "
                        "sensible number.\nDo one of the following:\n\n1. Reduce the number of "
                        "states that the child variable has.\n2. Reduce the number of modifying "
                        "parents.\n3. Reduce the number of states that the modifying parents "
                        "have. [Ok]");
        stepsRow("12 columns", "Rain 3 M2 M2 N2", "FormEPT");
    }
    void editEpt()
    {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        const QStringList words = steps.split(' ');
        if (words[0] != "-")
            driver->enterChildName(words[0]);
        if (words[1] != "0")
            QVERIFY(driver->enterChildStates(QStringList{"A", "B", "C"}.mid(0, words[1].toInt())));
        for (int p = 1; p + 1 < words.size(); ++p) {
            if (p > 2)
                act("click CommandAddParent");
            const QString parent = words[p + 1];
            if (parent != "-")
                QVERIFY(driver->enterParent(
                    p, "P" + QString::number(p), parent[0] == 'M' ? "Modifying" : "Non-modifying",
                    QStringList{"S1", "S2", "S3"}.mid(0, parent[1].digitValue())));
        }
        QCOMPARE(act("click CommandEditEPT"), seen + " / ");
    }

    // Exit asks first, Yes by default; closing the window by its frame asks nothing.
    void exitAsksFirst_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("seen"); // the box, then whether the window is still open
        const QString asked =
            "Exit programme: Are you sure you want to exit the programme? [Cancel No Yes*] / ";
        stepsRow("Yes", "click CommandExit Yes", asked + "closed");
        stepsRow("No", "click CommandExit No", asked + "open");
        stepsRow("Esc", "click CommandExit Escape", asked + "open");
        stepsRow("Enter", "click CommandExit", asked + "closed");
        stepsRow("frame", "close", "closed");
    }
    void exitAsksFirst()
    {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        const QString came = act(steps);
        QCOMPARE(came + (driver->window.isVisible() ? "open" : "closed"), seen);
    }
};

VADAZAZ_GUI_TEST_MAIN(MainFormTest)
#include "main_form_test.moc"
