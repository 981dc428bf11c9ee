// The child state names dialog and the parent dialog, opened from the main window.

#include "core/store/problem.h"
#include "testing/main_form_driver.h"
#include "testing/test_main.h"

#include <QLabel>

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

class EditingDialogsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainFormDriver> main;

private Q_SLOTS:
    void init()
    {
        main = std::make_unique<MainFormDriver>();
        main->enterChildName("Rain");
        QVERIFY(main->enterChildStates({"Wet", "Damp", "Dry"}));
        QVERIFY(main->enterParent(1, "Temp", "Non-modifying", {"Hot", "Mild", "Cold"}));
    }
    void cleanup() { main.reset(); }

    // OK checks the boxes in order, and on a refusal says why and stays open. A count chosen
    // from the list switches the layout; a typed one waits for OK. OK and Cancel keep the boxes
    // for the next opening, which shows a parent as stored; the frame starts afresh.
    void steps_data()
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
    void steps()
    {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        const QString dialog = steps.section(": ", 0, 0);
        const int p = dialog.startsWith("parent") ? dialog.right(1).toInt() : 0;
        if (dialog == "child 2")
            act(&main->window, "choose ComboNoChildStates 2");
        const QString before = inStore(p);
        QString now;
        bool closed = false;
        const auto edit = [&](const QString &doing) {
            const auto inside = [&](QWidget *opened) {
                const QStringList came = act(opened, doing);
                now += came.isEmpty() ? QString() : came.join('\n') + " / ";
                closed = !opened->isVisible();
                if (!closed) {
                    now += look(opened);
                    act(opened, "click CommandCancel");
                }
            };
            return p > 0 ? main->editParent(p, inside) : main->editChildStates(inside);
        };
        QVERIFY(edit(steps.section(": ", 1)));
        if (closed) // look at the next opening
            QVERIFY(edit(""));
        const QString after = inStore(p);
        QCOMPARE(now + (after == before ? "" : ", stored " + after), seen);
    }
};

VADAZAZ_GUI_TEST_MAIN(EditingDialogsTest)
#include "editing_dialogs_test.moc"
