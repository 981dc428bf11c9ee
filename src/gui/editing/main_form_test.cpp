// The main window and its editing dialogs, driven as a person drives them, answering the real
// message boxes.

#include "gui/editing/main_form.h"

#include "core/store/problem.h"
#include "testing/main_form_driver.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

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

    // The main window's steps and what they show: the last step's boxes, the child's name and
    // state count, the parents and the list's text, "closed".
    void steps_data() { stepsRowsFrom(QStringLiteral(VADAZAZ_TESTDATA "/main-window.steps")); }
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
    // The steps in the dialog named before the colon ("child 2" chooses two states first); what
    // they show: the boxes, the dialog after the steps or (once closed) at the next opening, and
    // the store if changed.
    void dialogs_data() { stepsRowsFrom(QStringLiteral(VADAZAZ_TESTDATA "/dialogs.steps")); }
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
