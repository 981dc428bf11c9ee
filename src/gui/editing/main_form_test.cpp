// The main window and its editing dialogs, driven as a person drives them, answering the real
// message boxes.

#include "gui/editing/main_form.h"

#include "core/store/problem.h"
#include "testing/main_form_driver.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

const QString childNameMissing = "Please enter a name for the child variable.\nType the child's "
                                 "name in the box and then click the 'Enter child name' button.";

// What a person sees in a dialog, on one line: its heading or boxes, then "+" or "-" for the
// third state shown or hidden, once the labels are found to agree.
QString look(QWidget *dialog)
{
    QStringList parts;
    for (const char *name : {"LabelHeading", "TextName", "ComboType", "ComboNoStates", "TextState1",
                             "TextState2", "TextState3"})
        if (const QWidget *shown = dialog->findChild<QWidget *>(name))
            parts << shown->property(shown->inherits("QComboBox") ? "currentText" : "text")
                         .toString();
    const bool third = child<QWidget>(dialog, "TextState3")->isVisible();
    const QString label = child<QLabel>(dialog, "LabelState2")->text();
    if (child<QLabel>(dialog, "LabelState3")->isVisible() != third ||
        label != (third ? "Name of state 2" : "Name of state 2 (most negative)"))
        return "labels disagree: " + label;
    return parts.join('|') + (third ? " +" : " -");
}

// The child's state names in the store, or parent p's name, type, count and state names.
QString inStore(int p)
{
    const Problem &store = problem();
    QStringList parts;
    if (p > 0)
        parts << store.parentName(p) << parentTypeName(store.parentType(p))
              << QString::number(store.parentNoStates(p));
    for (int s = 1; s <= 3; ++s)
        parts << (p > 0 ? store.parentStateName(s, p) : store.childStateName(s));
    return parts.join('|');
}

} // namespace

class MainFormTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainForm> window;

private Q_SLOTS:
    void init()
    {
        window = std::make_unique<MainForm>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() { window.reset(); }

    // The child's name is taken by its button; the state count when chosen from the list, or by
    // Edit from what is typed. Parents are added and deleted at the end; Edit takes only an
    // entry of the list. Exit asks first, Yes by default; the frame asks nothing.
    void steps_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("seen"); // the last step's boxes, the child's name and state
                                           // count, the parents and the list's text, "closed"
        const QString name = "type TextChildName Rain; click CommandEnterChildName; ";
        const QString enter = "; click CommandEnterChildName";
        const QString entered = "Enter child name: A child name has been entered.\nIf you want "
                                "to, you will be able to change this later- simply enter\na new "
                                "name in the box and click on the Enter child name button. [Ok] / ";
        const QString notEntered = "Enter child name: A child name has NOT been entered.\nPlease "
                                   "type name of child in the box. [Ok] / ";
        const QString edit = "; click CommandEditChildStates";
        const QString two = "|2 2: Parent 1";
        stepsRow("name typed", "type TextChildName Rain", two);
        stepsRow("name entered", name, entered + "Rain" + two);
        stepsRow("emptied box keeps the name", name + "type TextChildName " + enter,
                 entered + notEntered + "Rain" + two);
        stepsRow("blanks kept", "paste TextChildName  Dry Soil " + enter,
                 entered + " Dry Soil " + two);
        stepsRow("TAB refused", "paste TextChildName Dry\tSoil" + enter, notEntered + two);
        stepsRow("count chosen", "choose ComboNoChildStates 3", "|3 2: Parent 1");
        stepsRow("count chosen by arrow key", "press ComboNoChildStates Down", "|3 2: Parent 1");
        stepsRow("count typed, then Enter",
                 "type ComboNoChildStates 3; press ComboNoChildStates Return", two);
        stepsRow("count typed, then Edit", name + "type ComboNoChildStates 3" + edit,
                 entered + "FormChildState / Rain|3 2: Parent 1");
        stepsRow("4 typed, then Edit", name + "type ComboNoChildStates 4" + edit,
                 entered +
                     "Edit child state names: Number of child states must be either 2 or 3. [Ok] / "
                     "Rain" +
                     two);
        stepsRow("Edit asks for the name before the count", "type ComboNoChildStates 5" + edit,
                 "Edit child state names: " + childNameMissing + " [Ok] / " + two);

        const QString add = "click CommandAddParent; ";
        const QString editParent = "; click CommandEditParent";
        const QString refused =
            "Edit parent: Please select a parent to enter from the drop down list. [Ok] / |2 2: ";
        stepsRow("typed entry", "type ComboParent Parent 2" + editParent,
                 "FormParent / |2 2: Parent 2");
        stepsRow("beyond the last", "type ComboParent Parent 3" + editParent, refused + "Parent 3");
        stepsRow("trailing blank", "type ComboParent Parent 1 " + editParent,
                 refused + "Parent 1 ");
        stepsRow("added one selected", add + "click CommandEditParent",
                 "FormParent / |2 3: Parent 3");
        stepsRow("last one deleted, though the first is chosen",
                 add + "choose ComboParent Parent 1; click CommandDeleteParent" + editParent,
                 "FormParent / |2 2: Parent 2");
        stepsRow("deleted one gone from the list",
                 add + "click CommandDeleteParent; type ComboParent Parent 3" + editParent,
                 refused + "Parent 3");
        stepsRow("Edit EPT, nothing entered", "click CommandEditEPT",
                 "Edit EPT: " + childNameMissing + " [Ok] / " + two);
        stepsRow("never fewer than two", "click CommandDeleteParent",
                 "Delete parent: I'm sorry but you can't have less than 2 parents. [Ok] / " + two);

        const QString exit =
            "Exit programme: Are you sure you want to exit the programme? [Cancel No Yes*] / ";
        stepsRow("exit, Yes", "click CommandExit Yes", exit + two + " closed");
        stepsRow("exit, No", "click CommandExit No", exit + two);
        stepsRow("exit, Esc", "click CommandExit Escape", exit + two);
        stepsRow("exit, Enter", "click CommandExit", exit + two + " closed");
        stepsRow("frame", "close", two + " closed");
    }
    void steps()
    {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        const QString came = act(window.get(), steps);
        QCOMPARE(came + problem().childName + '|' + QString::number(problem().noChildStates) + ' ' +
                     QString::number(problem().noParents()) + ": " +
                     child<QComboBox>(window.get(), "ComboParent")->currentText() +
                     (window->isVisible() ? "" : " closed"),
                 seen);
        QStringList rows; // every parent in its row, none confirmed
        for (int p = 1; p <= problem().noParents(); ++p)
            rows << QString("Parent %1|(click Edit button)||").arg(p);
        QCOMPARE(parentRows(window.get()), rows);
    }

    // A confirmed parent shows in its row. Once it is deleted, the rows that closing a window
    // refreshes leave it out.
    void confirmedParentShowsInItsRow()
    {
        act(window.get(), "click CommandAddParent; " +
                              parentSteps(1, "Temp", "Non-modifying", {"Hot", "Cold"}) +
                              parentSteps(3, "Wind", "Modifying", {"Strong", "Calm", "Still"}));
        const QString rows = "Parent 1|Temp|Non-modifying|2/Parent 2|(click Edit button)||";
        QCOMPARE(parentRows(window.get()).join('/'), rows + "/Parent 3|Wind|Modifying|3");
        QCOMPARE(act(window.get(), "click CommandDeleteParent; click MenuAbout"), "FormAbout / ");
        QCOMPARE(parentRows(window.get()).join('/'), rows);
    }

    // Edit EPT opens the EPT window, or says in one box the first thing to fix.
    void editEpt_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("seen");
        const QString rain =
            childSteps("Rain", {"A", "B", "C"}) + parentSteps(1, "P1", "Modifying", {"S1", "S2"});
        stepsRow("parent 2 unconfirmed", rain,
                 "Edit EPT: Please enter details for the all parent variables. [Ok]");
        stepsRow("12 columns",
                 rain + parentSteps(2, "P2", "Modifying", {"S1", "S2"}) +
                     "click CommandAddParent; " +
                     parentSteps(3, "P3", "Non-modifying", {"S1", "S2"}),
                 "FormEPT");
    }
    void editEpt()
    {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        act(window.get(), steps);
        QCOMPARE(act(window.get(), "click CommandEditEPT"), seen + " / ");
    }

    // The child state names dialog and the parent dialog: OK checks the boxes in order, and on a
    // refusal says why and stays open. A count chosen from the list switches the layout; a typed
    // one waits for OK. OK and Cancel keep the boxes for the next opening, which shows a parent
    // as stored; the frame starts afresh.
    void dialogs_data()
    {
        QTest::addColumn<QString>("steps"); // in the dialog named before the colon; "child 2"
                                            // chooses two states first
        QTest::addColumn<QString>("seen");  // the boxes shown, the dialog after the steps or (once
                                            // closed) at the next opening, and the store if changed
        const QString ok = "; click CommandOK";
        const QString names = "Please type in all state names. [Ok] / ";
        const QString temp = "Temp|Non-modifying|";
        stepsRow("child, third name missing", "child: type TextState3 " + ok,
                 "OK child states: " + names + "Edit states of Rain|Wet|Damp| +");
        stepsRow("child, two names, the hidden third left out",
                 "child 2: type TextState1 Moist" + ok,
                 "Edit states of Rain|Moist|Damp|Dry -, stored Moist|Damp|");
        stepsRow("child, Cancel keeps the boxes",
                 "child: type TextState1 Moist; click CommandCancel",
                 "Edit states of Rain|Moist|Damp|Dry +");
        stepsRow("child, the frame starts afresh", "child: type TextState1 Moist; close",
                 "Edit states of Rain||| +");
        // One dialog serves every parent: the hidden third box still holds parent 1's.
        stepsRow("name first", "parent 2: type ComboType ; type ComboNoStates " + ok,
                 "Edit parent: Please enter a name for the parent. [Ok] / |||||Cold -");
        stepsRow("type before count",
                 "parent 1: type ComboType modifying; type ComboNoStates 4" + ok,
                 "Edit parent: Type must either be 'Non-modifying' or 'Modifying'. [Ok] / "
                 "Temp|modifying|4|Hot|Mild|Cold +");
        stepsRow("count before names", "parent 1: type ComboNoStates 4; type TextState1 " + ok,
                 "Edit parent: Number of states must be either 2 or 3. [Ok] / " + temp +
                     "4||Mild|Cold +");
        stepsRow("2 chosen by arrow key", "parent 1: press ComboNoStates Up",
                 temp + "2|Hot|Mild|Cold -");
        stepsRow("3 chosen shows an empty third",
                 "parent 1: choose ComboNoStates 2; choose ComboNoStates 3",
                 temp + "3|Hot|Mild| +");
        stepsRow("3 typed, the hidden third empty",
                 "parent 1: choose ComboNoStates 2; type TextState3 ; type ComboNoStates 3" + ok,
                 "Edit parent: " + names + temp + "3|Hot|Mild| -");
        stepsRow("3 typed, the hidden third filled",
                 "parent 1: choose ComboNoStates 2; type TextState3 Warm; type ComboNoStates 3" +
                     ok,
                 temp + "3|Hot|Mild|Warm +, stored " + temp + "3|Hot|Mild|Warm");
        stepsRow("2 chosen, the third left out",
                 "parent 1: choose ComboType Modifying; choose ComboNoStates 2" + ok,
                 "Temp|Modifying|2|Hot|Mild|Cold -, stored Temp|Modifying|2|Hot|Mild|");
        stepsRow("parent, Cancel keeps the hidden third",
                 "parent 2: type TextName Gale; type TextState3 Calm; click CommandCancel",
                 "|Non-modifying|2|||Calm -");
        stepsRow("parent, the frame starts afresh", "parent 2: type TextState3 Calm; close",
                 "|Non-modifying|2||| -");
    }
    void dialogs()
    {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        act(window.get(), childSteps("Rain", {"Wet", "Damp", "Dry"}) +
                              parentSteps(1, "Temp", "Non-modifying", {"Hot", "Mild", "Cold"}));
        const QString dialog = steps.section(": ", 0, 0);
        const int p = dialog.startsWith("parent") ? dialog.right(1).toInt() : 0;
        if (dialog == "child 2")
            act(window.get(), "choose ComboNoChildStates 2");
        const QString edit =
            p > 0 ? "type ComboParent Parent " + dialog.right(1) + "; click CommandEditParent ["
                  : "click CommandEditChildStates [";
        const QString before = inStore(p);
        bool looked = false;
        const MoreSteps more = [&looked](QWidget *opened, const QString &step) {
            looked = looked || (step == "look" && opened->isVisible());
            return step != "look" ? std::nullopt
                                  : std::optional(opened->isVisible() ? look(opened) : "");
        };
        QString now = act(window.get(), edit + steps.section(": ", 1) + "; look]", more);
        if (!looked) // look at the next opening
            now += act(window.get(), edit + "look]", more);
        now.remove(QRegularExpression("Form(Parent|ChildState) / "));
        QCOMPARE(now + (inStore(p) == before ? "" : ", stored " + inStore(p)), seen);
    }
};

VADAZAZ_GUI_TEST_MAIN(MainFormTest)
#include "main_form_test.moc"
