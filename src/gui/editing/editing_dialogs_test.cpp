// The child state names dialog and the parent dialog, opened from the main window.

#include "core/store/problem.h"
#include "testing/main_form_driver.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_main.h"

#include <QLabel>

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

QString text(QWidget *dialog, const char *name)
{
    if (auto *box = dialog->findChild<QComboBox *>(name))
        return box->currentText();
    if (auto *box = dialog->findChild<QLineEdit *>(name))
        return box->text();
    return child<QLabel>(dialog, name)->text();
}

// What a person sees in a dialog, on one line: its boxes (the parent dialog's name, type and
// count first), "+" or "-" for the third box shown or hidden, and the second state's label.
QString look(QWidget *dialog)
{
    QStringList parts;
    for (const char *name : {"TextName", "ComboType", "ComboNoStates"})
        if (dialog->findChild<QWidget *>(name))
            parts << text(dialog, name);
    parts << text(dialog, "TextState1") << text(dialog, "TextState2") << text(dialog, "TextState3");
    const bool third = child<QLineEdit>(dialog, "TextState3")->isVisible();
    if (third != child<QLabel>(dialog, "LabelState3")->isVisible())
        return "third label and box disagree";
    return parts.join('|') + (third ? " +" : " -") + " / " + text(dialog, "LabelState2");
}

void ok(QWidget *dialog)
{
    click(child<QPushButton>(dialog, "CommandOK"));
}

void cancel(QWidget *dialog)
{
    click(child<QPushButton>(dialog, "CommandCancel"));
}

QString stored()
{
    const Problem &store = problem();
    QStringList parts{store.childStateName(1), store.childStateName(2), store.childStateName(3)};
    for (int p = 1; p <= store.noParents(); ++p)
        parts << QString("%1 %2 %3: %4,%5,%6")
                     .arg(store.parentName(p))
                     .arg(int(store.parentType(p)))
                     .arg(store.parentNoStates(p))
                     .arg(store.parentStateName(1, p), store.parentStateName(2, p),
                          store.parentStateName(3, p));
    return parts.join('|');
}

} // namespace

class EditingDialogsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedDialogs> script;
    std::unique_ptr<MainFormDriver> main;

    // Opens a dialog, looks at it, then leaves it as close says: OK, Cancel or the frame.
    QString peek(bool parent, void (*close)(QWidget *) = cancel)
    {
        QString seen = "not opened";
        const auto inside = [&](QWidget *dialog) {
            seen = look(dialog);
            close(dialog);
        };
        parent ? main->editParent(1, inside) : main->editChildStates(inside);
        return seen;
    }
    QString peekChild() { return peek(false); }
    QString peekParent() { return peek(true); }

private Q_SLOTS:
    void init()
    {
        script = std::make_unique<ScriptedDialogs>();
        main = std::make_unique<MainFormDriver>();
        main->enterChildName("Rain");
        script->shown.clear();
    }
    void cleanup()
    {
        main.reset();
        script.reset();
    }

    void childDialogStartsEmptyAndNamesTheChild()
    {
        QString heading;
        QVERIFY(main->editChildStates([&](QWidget *dialog) {
            heading = dialog->windowTitle() + ": " + text(dialog, "LabelHeading");
            QCOMPARE(dialog->size(), QSize(441, 247));
            cancel(dialog);
        }));
        QCOMPARE(heading, "Edit child states: Edit states of Rain");
        QCOMPARE(peekChild(), "|| - / Name of state 2 (most negative)");
        main->enterChildName("Snow fall");
        QVERIFY(main->editChildStates([&](QWidget *dialog) {
            heading = text(dialog, "LabelHeading");
            cancel(dialog);
        }));
        QCOMPARE(heading, "Edit states of Snow fall");
    }

    void childOkNeedsEveryShownName()
    {
        QVERIFY(chooseFromList(main->w<QComboBox>("ComboNoChildStates"), "3"));
        QString seen;
        QVERIFY(main->editChildStates([&](QWidget *dialog) {
            MainFormDriver::fillStates(dialog, {"High", "Mid"});
            ok(dialog);
            seen = look(dialog) + (dialog->isVisible() ? " (still open)" : "");
            MainFormDriver::fillStates(dialog, {"High", "Mid", "Low"});
            ok(dialog);
        }));
        QCOMPARE(seen, "High|Mid| + / Name of state 2 (still open)");
        QCOMPARE(script->shown.size(), 1);
        QCOMPARE(script->last().title, "OK child states");
        QCOMPARE(script->last().text, "Please type in all state names.");
        QVERIFY(stored().startsWith("High|Mid|Low|"));

        // Two states: the hidden third box keeps its text, but the store's third name is emptied.
        QVERIFY(chooseFromList(main->w<QComboBox>("ComboNoChildStates"), "2"));
        QCOMPARE(peek(false, ok), "High|Mid|Low - / Name of state 2 (most negative)");
        QVERIFY(stored().startsWith("High|Mid||"));
    }

    void childBoxesKeepCancelledTextUntilClosedByTheFrame()
    {
        QVERIFY(main->enterChildStates({"Wet", "Dry"}));
        QVERIFY(main->editChildStates([](QWidget *dialog) {
            MainFormDriver::fillStates(dialog, {"Soaked", "Parched"});
            cancel(dialog);
        }));
        QVERIFY(stored().startsWith("Wet|Dry||"));
        QCOMPARE(peek(false, [](QWidget *dialog) { dialog->close(); }),
                 "Soaked|Parched| - / Name of state 2 (most negative)");
        QVERIFY(stored().startsWith("Wet|Dry||"));
        QCOMPARE(peekChild(), "|| - / Name of state 2 (most negative)");
    }

    void unconfirmedParentOpensEmpty()
    {
        QVERIFY(main->editParent(1, [&](QWidget *dialog) {
            QCOMPARE(dialog->windowTitle(), "Edit parent");
            QCOMPARE(child<QLineEdit>(dialog, "TextName")->geometry(), QRect(248, 32, 177, 20));
            QCOMPARE(child<QLabel>(dialog, "Label1")->font().family(), "Garamond");
            QVERIFY(child<QLabel>(dialog, "Label7")->font().italic());
            cancel(dialog);
        }));
        QCOMPARE(peekParent(), "|Non-modifying|2||| - / Name of state 2 (most negative)");
    }

    void parentOkChecksInOrder_data()
    {
        QTest::addColumn<QStringList>("typed"); // name, type, count, state names 1 to 3
        QTest::addColumn<QString>("message");
        const QString type = "Type must either be 'Non-modifying' or 'Modifying'.";
        const QString names = "Please type in all state names.";
        QTest::newRow("all empty")
            << QStringList{"", "", "", "", "", ""} << "Please enter a name for the parent.";
        QTest::newRow("type emptied") << QStringList{"Wind", "", "2", "A", "B", ""} << type;
        QTest::newRow("type in lower case")
            << QStringList{"Wind", "modifying", "2", "A", "B", ""} << type;
        QTest::newRow("four states") << QStringList{"Wind", "Modifying", "4", "A", "B", "C"}
                                     << "Number of states must be either 2 or 3.";
        QTest::newRow("second state missing")
            << QStringList{"Wind", "Modifying", "2", "A", "", "C"} << names;
        QTest::newRow("typed 3 with the hidden third box empty")
            << QStringList{"Wind", "Modifying", "3", "A", "B", ""} << names;
    }
    void parentOkChecksInOrder()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, message);
        const QString before = stored();
        bool stayedOpen = false;
        QVERIFY(main->editParent(1, [&](QWidget *dialog) {
            typeInto(child<QLineEdit>(dialog, "TextName"), typed.at(0));
            typeInto(child<QComboBox>(dialog, "ComboType"), typed.at(1));
            typeInto(child<QComboBox>(dialog, "ComboNoStates"), typed.at(2));
            MainFormDriver::fillStates(dialog, typed.mid(3));
            ok(dialog);
            stayedOpen = dialog->isVisible();
            cancel(dialog);
        }));
        QVERIFY(stayedOpen);
        QCOMPARE(script->takeTexts(), QStringList{message});
        QCOMPARE(script->shown.size(), 0);
        QCOMPARE(stored(), before);
    }

    void typedThreeStoresTheHiddenThirdBox()
    {
        QVERIFY(main->editParent(1, [&](QWidget *dialog) {
            typeInto(child<QLineEdit>(dialog, "TextName"), "Wind");
            MainFormDriver::fillStates(dialog, {"Strong", "Weak"});
            typeInto(child<QComboBox>(dialog, "ComboNoStates"), "3");
            QVERIFY(!child<QLineEdit>(dialog, "TextState3")->isVisible());
            typeInto(child<QLineEdit>(dialog, "TextState3"), "Calm");
            ok(dialog);
        }));
        QCOMPARE(stored().section('|', 3, 3), "Wind 0 3: Strong,Weak,Calm");
    }

    void parentReopensAsStoredAndSwitchesLayouts()
    {
        QVERIFY(main->enterParent(1, "Wind", "Modifying", {"Strong", "Weak", "Calm"}));
        QString seen;
        QVERIFY(main->editParent(1, [&](QWidget *dialog) {
            seen = look(dialog);
            QVERIFY(chooseFromList(child<QComboBox>(dialog, "ComboNoStates"), "2"));
            MainFormDriver::fillStates(dialog, {"Gusty", "Still"});
            ok(dialog);
        }));
        QCOMPARE(seen, "Wind|Modifying|3|Strong|Weak|Calm + / Name of state 2");
        QCOMPARE(stored().section('|', 3, 3), "Wind 1 2: Gusty,Still,");

        // Choosing 3 from the list shows an empty third box, whatever it held.
        QVERIFY(main->editParent(1, [&](QWidget *dialog) {
            typeInto(child<QLineEdit>(dialog, "TextState3"), "Left over");
            seen = look(dialog);
            QVERIFY(chooseFromList(child<QComboBox>(dialog, "ComboNoStates"), "3"));
            seen += " then " + look(dialog);
            cancel(dialog);
        }));
        QCOMPARE(seen, "Wind|Modifying|2|Gusty|Still|Left over - / Name of state 2 (most "
                       "negative) then Wind|Modifying|3|Gusty|Still| + / Name of state 2");
    }

    void cancelAndFrameLeaveTheStore()
    {
        QVERIFY(main->enterParent(1, "Temp", "Non-modifying", {"Hot", "Cold"}));
        const QString confirmed = stored();
        const auto editEverything = [](QWidget *dialog) {
            typeInto(child<QLineEdit>(dialog, "TextName"), "Changed");
            QVERIFY(chooseFromList(child<QComboBox>(dialog, "ComboType"), "Modifying"));
            QVERIFY(chooseFromList(child<QComboBox>(dialog, "ComboNoStates"), "3"));
            MainFormDriver::fillStates(dialog, {"X", "Y", "Z"});
        };
        QVERIFY(main->editParent(1, [&](QWidget *dialog) {
            editEverything(dialog);
            cancel(dialog);
        }));
        QString seen;
        QVERIFY(main->editParent(1, [&](QWidget *dialog) {
            seen = look(dialog);
            editEverything(dialog);
            dialog->close();
        }));
        QCOMPARE(seen, "Temp|Non-modifying|2|Hot|Cold|Z - / Name of state 2 (most negative)");
        QCOMPARE(stored(), confirmed);
        QCOMPARE(main->row(1), QStringList({"Parent 1", "Temp", "Non-modifying", "2"}));
        // Closed by its frame, the dialog starts afresh: the hidden third box is empty again.
        QCOMPARE(peekParent(),
                 "Temp|Non-modifying|2|Hot|Cold| - / Name of state 2 (most negative)");
    }
};

VADAZAZ_GUI_TEST_MAIN(EditingDialogsTest)
#include "editing_dialogs_test.moc"
