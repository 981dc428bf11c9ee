// The child state names dialog and the parent dialog, opened from the main window.

#include "store/problem.h"
#include "testing/main_form_driver.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_main.h"

#include <QLabel>

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

struct DialogView
{
    QStringList boxes;   // the texts of TextState1..3 (parent dialog: TextName first)
    QList<bool> visible; // LabelState3 and TextState3
    QString labelState2;
};

DialogView look(QWidget *dialog, bool withName)
{
    DialogView view;
    if (withName)
        view.boxes << child<QLineEdit>(dialog, "TextName")->text();
    for (int s = 1; s <= 3; ++s)
        view.boxes << child<QLineEdit>(dialog, "TextState" + QString::number(s))->text();
    view.visible << child<QLabel>(dialog, "LabelState3")->isVisible()
                 << child<QLineEdit>(dialog, "TextState3")->isVisible();
    view.labelState2 = child<QLabel>(dialog, "LabelState2")->text();
    return view;
}

void ok(QWidget *dialog)
{
    click(child<QPushButton>(dialog, "CommandOK"));
}

void cancel(QWidget *dialog)
{
    click(child<QPushButton>(dialog, "CommandCancel"));
}

QStringList childStates()
{
    return {problem().childStateName(1), problem().childStateName(2), problem().childStateName(3)};
}

QStringList parentStates(int p)
{
    return {problem().parentStateName(1, p), problem().parentStateName(2, p),
            problem().parentStateName(3, p)};
}

} // namespace

class EditingDialogsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedDialogs> script;
    std::unique_ptr<MainFormDriver> main;

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
        DialogView first;
        QString heading;
        QVERIFY(main->editChildStates([&](QWidget *dialog) {
            first = look(dialog, false);
            heading = child<QLabel>(dialog, "LabelHeading")->text();
            QCOMPARE(dialog->windowTitle(), "Edit child states");
            QCOMPARE(dialog->size(), QSize(441, 247));
            cancel(dialog);
        }));
        QCOMPARE(first.boxes, QStringList({"", "", ""}));
        QCOMPARE(first.visible, QList<bool>({false, false}));
        QCOMPARE(first.labelState2, "Name of state 2 (most negative)");
        QCOMPARE(heading, "Edit states of Rain");

        main->enterChildName("Snow fall");
        QVERIFY(main->editChildStates([&](QWidget *dialog) {
            heading = child<QLabel>(dialog, "LabelHeading")->text();
            cancel(dialog);
        }));
        QCOMPARE(heading, "Edit states of Snow fall");
    }

    void childOkNeedsEveryShownName()
    {
        QVERIFY(chooseFromList(main->w<QComboBox>("ComboNoChildStates"), "3"));
        bool stayedOpen = false;
        DialogView view;
        QVERIFY(main->editChildStates([&](QWidget *dialog) {
            view = look(dialog, false);
            MainFormDriver::fillStates(dialog, {"High", "Mid"});
            ok(dialog);
            stayedOpen = dialog->isVisible();
            MainFormDriver::fillStates(dialog, {"High", "Mid", "Low"});
            ok(dialog);
        }));
        QCOMPARE(view.visible, QList<bool>({true, true}));
        QCOMPARE(view.labelState2, "Name of state 2");
        QVERIFY(stayedOpen);
        QCOMPARE(script->shown.size(), 1);
        QCOMPARE(script->last().title, "OK child states");
        QCOMPARE(script->last().text, "Please type in all state names.");
        QCOMPARE(childStates(), QStringList({"High", "Mid", "Low"}));

        // Two states: the hidden third box keeps its text, but the store's third name is emptied.
        QVERIFY(chooseFromList(main->w<QComboBox>("ComboNoChildStates"), "2"));
        QVERIFY(main->editChildStates([&](QWidget *dialog) {
            view = look(dialog, false);
            ok(dialog);
        }));
        QCOMPARE(view.boxes, QStringList({"High", "Mid", "Low"}));
        QCOMPARE(view.visible, QList<bool>({false, false}));
        QCOMPARE(childStates(), QStringList({"High", "Mid", ""}));
    }

    void childBoxesKeepCancelledTextUntilClosedByTheFrame()
    {
        QVERIFY(main->enterChildStates({"Wet", "Dry"}));
        QVERIFY(main->editChildStates([](QWidget *dialog) {
            MainFormDriver::fillStates(dialog, {"Soaked", "Parched"});
            cancel(dialog);
        }));
        QCOMPARE(childStates(), QStringList({"Wet", "Dry", ""}));
        DialogView view;
        QVERIFY(main->editChildStates([&](QWidget *dialog) {
            view = look(dialog, false);
            dialog->close();
        }));
        QCOMPARE(view.boxes, QStringList({"Soaked", "Parched", ""}));
        QCOMPARE(childStates(), QStringList({"Wet", "Dry", ""}));
        QVERIFY(main->editChildStates([&](QWidget *dialog) {
            view = look(dialog, false);
            cancel(dialog);
        }));
        QCOMPARE(view.boxes, QStringList({"", "", ""}));
    }

    void unconfirmedParentOpensEmpty()
    {
        DialogView view;
        QString type;
        QString count;
        QVERIFY(main->editParent(2, [&](QWidget *dialog) {
            view = look(dialog, true);
            type = child<QComboBox>(dialog, "ComboType")->currentText();
            count = child<QComboBox>(dialog, "ComboNoStates")->currentText();
            QCOMPARE(dialog->windowTitle(), "Edit parent");
            QCOMPARE(child<QLineEdit>(dialog, "TextName")->geometry(), QRect(248, 32, 177, 20));
            QCOMPARE(child<QLabel>(dialog, "Label1")->font().family(), "Garamond");
            QVERIFY(child<QLabel>(dialog, "Label7")->font().italic());
            cancel(dialog);
        }));
        QCOMPARE(view.boxes, QStringList({"", "", "", ""}));
        QCOMPARE(view.visible, QList<bool>({false, false}));
        QCOMPARE(type, "Non-modifying");
        QCOMPARE(count, "2");
    }

    void parentOkChecksInOrder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("count");
        QTest::addColumn<QStringList>("states");
        QTest::addColumn<QString>("message");
        QTest::newRow("all empty")
            << ""
            << ""
            << "" << QStringList{"", "", ""} << "Please enter a name for the parent.";
        QTest::newRow("type emptied") << "Wind"
                                      << ""
                                      << "2" << QStringList{"A", "B", ""}
                                      << "Type must either be 'Non-modifying' or 'Modifying'.";
        QTest::newRow("type in lower case")
            << "Wind"
            << "modifying"
            << "2" << QStringList{"A", "B", ""}
            << "Type must either be 'Non-modifying' or 'Modifying'.";
        QTest::newRow("four states")
            << "Wind"
            << "Modifying"
            << "4" << QStringList{"A", "B", "C"} << "Number of states must be either 2 or 3.";
        QTest::newRow("second state missing")
            << "Wind"
            << "Modifying"
            << "2" << QStringList{"A", "", "C"} << "Please type in all state names.";
        QTest::newRow("typed 3 with the hidden third box empty")
            << "Wind"
            << "Modifying"
            << "3" << QStringList{"A", "B", ""} << "Please type in all state names.";
    }
    void parentOkChecksInOrder()
    {
        QFETCH(QString, name);
        QFETCH(QString, type);
        QFETCH(QString, count);
        QFETCH(QStringList, states);
        QFETCH(QString, message);
        bool stayedOpen = false;
        QVERIFY(main->editParent(1, [&](QWidget *dialog) {
            typeInto(child<QLineEdit>(dialog, "TextName"), name);
            typeInto(child<QComboBox>(dialog, "ComboType"), type);
            typeInto(child<QComboBox>(dialog, "ComboNoStates"), count);
            MainFormDriver::fillStates(dialog, states);
            ok(dialog);
            stayedOpen = dialog->isVisible();
            cancel(dialog);
        }));
        QVERIFY(stayedOpen);
        QCOMPARE(script->takeTexts(), QStringList{message});
        QCOMPARE(script->shown.size(), 0);
        QVERIFY(problem().parentName(1).isEmpty());
        QCOMPARE(problem().parentNoStates(1), 2);
        QCOMPARE(parentStates(1), QStringList({"", "", ""}));
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
        QCOMPARE(problem().parentNoStates(1), 3);
        QCOMPARE(parentStates(1), QStringList({"Strong", "Weak", "Calm"}));
    }

    void parentReopensAsStoredAndSwitchesLayouts()
    {
        QVERIFY(main->enterParent(1, "Wind", "Modifying", {"Strong", "Weak", "Calm"}));
        QCOMPARE(problem().parentType(1), modifyingType);
        DialogView view;
        QVERIFY(main->editParent(1, [&](QWidget *dialog) {
            view = look(dialog, true);
            QVERIFY(chooseFromList(child<QComboBox>(dialog, "ComboNoStates"), "2"));
            MainFormDriver::fillStates(dialog, {"Gusty", "Still"});
            ok(dialog);
        }));
        QCOMPARE(view.boxes, QStringList({"Wind", "Strong", "Weak", "Calm"}));
        QCOMPARE(view.visible, QList<bool>({true, true}));
        QCOMPARE(view.labelState2, "Name of state 2");
        QCOMPARE(problem().parentNoStates(1), 2);
        QCOMPARE(parentStates(1), QStringList({"Gusty", "Still", ""}));

        QString thirdAfterChoosing3 = "unset";
        QVERIFY(main->editParent(1, [&](QWidget *dialog) {
            view = look(dialog, true);
            typeInto(child<QLineEdit>(dialog, "TextState3"), "Left over");
            QVERIFY(chooseFromList(child<QComboBox>(dialog, "ComboNoStates"), "3"));
            thirdAfterChoosing3 = child<QLineEdit>(dialog, "TextState3")->text();
            cancel(dialog);
        }));
        QCOMPARE(view.visible, QList<bool>({false, false}));
        QCOMPARE(view.labelState2, "Name of state 2 (most negative)");
        QCOMPARE(thirdAfterChoosing3, "");
    }

    void cancelAndFrameLeaveTheStore()
    {
        QVERIFY(main->enterParent(2, "Temp", "Non-modifying", {"Hot", "Cold"}));
        const auto editEverything = [](QWidget *dialog) {
            typeInto(child<QLineEdit>(dialog, "TextName"), "Changed");
            QVERIFY(chooseFromList(child<QComboBox>(dialog, "ComboType"), "Modifying"));
            QVERIFY(chooseFromList(child<QComboBox>(dialog, "ComboNoStates"), "3"));
            MainFormDriver::fillStates(dialog, {"X", "Y", "Z"});
        };
        QVERIFY(main->editParent(2, [&](QWidget *dialog) {
            editEverything(dialog);
            cancel(dialog);
        }));
        DialogView view;
        QString type;
        QVERIFY(main->editParent(2, [&](QWidget *dialog) {
            view = look(dialog, true);
            type = child<QComboBox>(dialog, "ComboType")->currentText();
            editEverything(dialog);
            dialog->close();
        }));
        QCOMPARE(view.boxes.mid(0, 3), QStringList({"Temp", "Hot", "Cold"}));
        QCOMPARE(type, "Non-modifying");
        QCOMPARE(problem().parentName(2), "Temp");
        QCOMPARE(problem().parentType(2), nonModifyingType);
        QCOMPARE(parentStates(2), QStringList({"Hot", "Cold", ""}));
        QCOMPARE(main->row(2), QStringList({"Parent 2", "Temp", "Non-modifying", "2"}));

        // Closed by its frame, the dialog starts afresh: the hidden third box is empty again.
        QVERIFY(main->editParent(2, [&](QWidget *dialog) {
            view = look(dialog, true);
            cancel(dialog);
        }));
        QCOMPARE(view.boxes, QStringList({"Temp", "Hot", "Cold", ""}));
    }
};

VADAZAZ_GUI_TEST_MAIN(EditingDialogsTest)
#include "editing_dialogs_test.moc"
