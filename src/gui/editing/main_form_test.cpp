#include "gui/editing/main_form.h"

#include "core/store/problem.h"
#include "testing/main_form_driver.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_main.h"

#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QTableWidget>

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

const QString childNameMissing =
    "Please enter a name for the child variable.\r"
    "Type the child's name in the box and then click the 'Enter child name' button.";

} // namespace

class MainFormTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedDialogs> script;
    std::unique_ptr<MainFormDriver> driver;
    MainForm *window = nullptr;

    template <typename T> T *w(const char *name) { return driver->w<T>(name); }
    QPushButton *button(const char *name) { return driver->button(name); }
    QStringList row(int p) { return driver->row(p); }
    QStringList entries(const char *name)
    {
        QStringList texts;
        auto *box = w<QComboBox>(name);
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    }
    void enterChildName(const QString &name) { driver->enterChildName(name); }
    void enterParent(int p, const QString &name, const QString &type, const QStringList &states)
    {
        QVERIFY(driver->enterParent(p, name, type, states));
    }
    void enterChildStates(const QStringList &states) { QVERIFY(driver->enterChildStates(states)); }

private Q_SLOTS:
    void init()
    {
        script = std::make_unique<ScriptedDialogs>();
        driver = std::make_unique<MainFormDriver>();
        window = &driver->window;
    }
    void cleanup()
    {
        driver.reset();
        script.reset();
    }

    void startsWithTwoUnnamedParents()
    {
        QCOMPARE(window->windowTitle(), "Vadazaz");
        QCOMPARE(w<QTableWidget>("GridParentInfo")->rowCount(), 2);
        QCOMPARE(row(1), QStringList({"Parent 1", "(click Edit button)", "", ""}));
        QCOMPARE(row(2), QStringList({"Parent 2", "(click Edit button)", "", ""}));
        QCOMPARE(entries("ComboParent"), QStringList({"Parent 1", "Parent 2"}));
        QCOMPARE(w<QComboBox>("ComboParent")->currentText(), "Parent 1");
        QCOMPARE(entries("ComboNoChildStates"), QStringList({"2", "3"}));
        QCOMPARE(w<QComboBox>("ComboNoChildStates")->currentText(), "2");
        QCOMPARE(problem().noChildStates, 2);
        QVERIFY(script->shown.isEmpty());
    }

    void layoutFollowsTheDesign()
    {
        QCOMPARE(window->centralWidget()->size(), QSize(501, 462));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QCOMPARE(w<QLineEdit>("TextChildName")->geometry(), QRect(160, 40, 121, 25));
        QCOMPARE(button("CommandEditEPT")->geometry(), QRect(8, 392, 129, 49));
        QCOMPARE(w<QTableWidget>("GridParentInfo")->geometry(), QRect(8, 152, 313, 153));
        QCOMPARE(w<QTableWidget>("GridParentInfo")->columnWidth(1), 133);
        const auto describe = [](const QFont &font) {
            return QString("%1 %2 %3%4%5")
                .arg(font.family())
                .arg(font.pointSizeF())
                .arg(font.weight())
                .arg(font.italic() ? " italic" : "")
                .arg(font.underline() ? " underlined" : "");
        };
        QCOMPARE(describe(button("CommandEditEPT")->font()), "Times New Roman 12 400");
        QCOMPARE(describe(w<QLabel>("Label1")->font()), "Bookman Old Style 15.75 600 underlined");
        QCOMPARE(describe(w<QLabel>("Label5")->font()), "Garamond 12 700");
        QCOMPARE(describe(w<QLabel>("Label8")->font()), "Garamond 11.25 400 italic");
        QCOMPARE(window->findChild<QAction *>("MenuAbout")->text(), "&About Vadazaz");
        // Tab order: the boxes and buttons in the order a person fills them in.
        QCOMPARE(w<QLineEdit>("TextChildName")->nextInFocusChain(),
                 button("CommandEnterChildName"));
        QCOMPARE(button("CommandEditParent")->nextInFocusChain(), button("CommandEditEPT"));
    }

    void enterChildName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("message");
        const QString entered = "A child name has been entered.\r"
                                "If you want to, you will be able to change this later- simply "
                                "enter\ra new name in the box and click on the Enter child name "
                                "button.";
        QTest::newRow("empty box keeps the earlier name")
            << ""
            << "Rain"
            << "A child name has NOT been entered.\rPlease type name of child in "
               "the box.";
        QTest::newRow("blanks are kept") << " Dry Soil "
                                         << " Dry Soil " << entered;
        QTest::newRow("ten characters at most") << "Precipitation"
                                                << "Precipita" + QString("t") << entered;
    }
    void enterChildName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, message);
        enterChildName("Rain");
        script->shown.clear();
        enterChildName(typed);
        QCOMPARE(problem().childName, stored);
        QCOMPARE(script->last().title, "Enter child name");
        QCOMPARE(script->last().text, message);
        QCOMPARE(script->last().buttons, QMessageBox::Ok);
    }

    void pastedLineBreaksAndTabsAreRefused()
    {
        auto *box = w<QLineEdit>("TextChildName");
        box->setFocus();
        for (const QString pasted : {"Dry\tSoil", "Dry\nSoil", "Dry\rSoil", "Dry Soil"}) {
            QGuiApplication::clipboard()->setText(pasted);
            box->clear();
            QTest::keySequence(box, QKeySequence::Paste);
            QCOMPARE(box->text(), pasted == "Dry Soil" ? pasted : "");
        }
    }

    void typingInTheBoxStoresNothing()
    {
        typeInto(w<QLineEdit>("TextChildName"), "Rain");
        QVERIFY(problem().childName.isEmpty());
    }

    void stateCountIsTakenWhenChosenNotWhenTyped()
    {
        auto *count = w<QComboBox>("ComboNoChildStates");
        QVERIFY(chooseFromList(count, "3"));
        QCOMPARE(problem().noChildStates, 3);
        typeInto(count, "2");
        click(button("CommandEnterChildName")); // leaves the box: still not a choice
        QCOMPARE(problem().noChildStates, 3);

        script->shown.clear();
        enterChildName("Rain");
        typeInto(count, "4");
        click(button("CommandEditChildStates"));
        QCOMPARE(script->last().title, "Edit child state names");
        QCOMPARE(script->last().text, "Number of child states must be either 2 or 3.");
        QCOMPARE(problem().noChildStates, 3);

        typeInto(count, "2");
        QVERIFY(clickAndHandle(button("CommandEditChildStates"), [](QWidget *dialog) {
            click(child<QPushButton>(dialog, "CommandCancel"));
        }));
        QCOMPARE(problem().noChildStates, 2);
    }

    void editStateNamesAsksForTheChildFirst()
    {
        typeInto(w<QComboBox>("ComboNoChildStates"), "5");
        click(button("CommandEditChildStates"));
        QCOMPARE(script->takeTexts(), QStringList{childNameMissing});
        QCOMPARE(problem().noChildStates, 2);
    }

    void addAndDeleteParents()
    {
        for (int i = 0; i < 3; ++i)
            click(button("CommandAddParent"));
        QCOMPARE(problem().noParents(), 5);
        QCOMPARE(entries("ComboParent"),
                 QStringList({"Parent 1", "Parent 2", "Parent 3", "Parent 4", "Parent 5"}));
        QCOMPARE(w<QComboBox>("ComboParent")->currentText(), "Parent 5");
        QCOMPARE(row(5), QStringList({"Parent 5", "(click Edit button)", "", ""}));

        QVERIFY(chooseFromList(w<QComboBox>("ComboParent"), "Parent 1"));
        click(button("CommandDeleteParent"));
        click(button("CommandDeleteParent"));
        click(button("CommandDeleteParent"));
        QVERIFY(script->shown.isEmpty());
        QCOMPARE(w<QTableWidget>("GridParentInfo")->rowCount(), 2);
        QCOMPARE(entries("ComboParent"), QStringList({"Parent 1", "Parent 2"}));
        QCOMPARE(w<QComboBox>("ComboParent")->currentText(), "Parent 2");

        click(button("CommandDeleteParent"));
        QCOMPARE(script->last().title, "Delete parent");
        QCOMPARE(script->last().text, "I'm sorry but you can't have less than 2 parents.");
        QCOMPARE(problem().noParents(), 2);
        QCOMPARE(w<QTableWidget>("GridParentInfo")->rowCount(), 2);
    }

    void editParentNeedsAnEntryOfTheList_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("selected");
        QTest::newRow("typed entry") << "Parent 2" << 2;
        QTest::newRow("beyond the last parent") << "Parent 9" << 0;
        QTest::newRow("other case") << "parent 1" << 0;
        QTest::newRow("trailing blank") << "Parent 1 " << 0;
        QTest::newRow("empty") << "" << 0;
    }
    void editParentNeedsAnEntryOfTheList()
    {
        QFETCH(QString, typed);
        QFETCH(int, selected);
        typeInto(w<QComboBox>("ComboParent"), typed);
        const bool opened = clickAndHandle(button("CommandEditParent"), [](QWidget *dialog) {
            click(child<QPushButton>(dialog, "CommandCancel"));
        });
        QCOMPARE(opened, selected != 0);
        if (selected) {
            QVERIFY(script->shown.isEmpty());
        } else {
            QCOMPARE(script->last().title, "Edit parent");
            QCOMPARE(script->last().text,
                     "Please select a parent to enter from the drop down list.");
        }
    }

    void confirmedParentShowsInItsRow()
    {
        click(button("CommandAddParent"));
        enterParent(3, "Wind", "Modifying", {"Strong", "Calm", "Still"});
        QCOMPARE(row(3), QStringList({"Parent 3", "Wind", "Modifying", "3"}));
        QCOMPARE(row(1), QStringList({"Parent 1", "(click Edit button)", "", ""}));

        // A cancelled dialog leaves the row as the store has it.
        typeInto(w<QComboBox>("ComboParent"), "Parent 3");
        QVERIFY(clickAndHandle(button("CommandEditParent"), [](QWidget *dialog) {
            typeInto(child<QLineEdit>(dialog, "TextName"), "Gale");
            click(child<QPushButton>(dialog, "CommandCancel"));
        }));
        QCOMPARE(row(3), QStringList({"Parent 3", "Wind", "Modifying", "3"}));

        // Once parent 3 is gone, reopening windows refreshes nothing.
        click(button("CommandDeleteParent"));
        bool aboutShown = false;
        whenModalShown([&](QWidget *about) {
            aboutShown = about->objectName() == "FormAbout";
            click(child<QPushButton>(about, "cmdOK"));
        });
        window->findChild<QAction *>("MenuAbout")->trigger();
        QVERIFY(aboutShown);
        QCOMPARE(w<QTableWidget>("GridParentInfo")->rowCount(), 2);
        QCOMPARE(row(2), QStringList({"Parent 2", "(click Edit button)", "", ""}));
    }

    void editEptReportsTheFirstThingMissing()
    {
        // Each press shows exactly one box, titled "Edit EPT".
        const auto editEpt = [&] {
            script->shown.clear();
            click(button("CommandEditEPT"));
            QStringList shown;
            for (const auto &box : std::as_const(script->shown))
                shown << box.title + ": " + box.text;
            return shown.join("\n");
        };
        QCOMPARE(editEpt(), "Edit EPT: " + childNameMissing);
        enterChildName("Rain");
        QCOMPARE(editEpt(), "Edit EPT: Please enter names for the child variable states.");
        enterChildStates({"High", "Low"});
        QVERIFY(chooseFromList(w<QComboBox>("ComboNoChildStates"), "3"));
        QCOMPARE(editEpt(), "Edit EPT: Please enter names for the child variable states.");
        QVERIFY(chooseFromList(w<QComboBox>("ComboNoChildStates"), "2"));
        enterParent(1, "Wind", "Modifying", {"Strong", "Weak"});
        QCOMPARE(editEpt(), "Edit EPT: Please enter details for the all parent variables.");
        enterParent(2, "Temp", "Modifying", {"Hot", "Cold"});
        QCOMPARE(editEpt(), "Edit EPT: You must have at least one non-modifying parent.");
        click(button("CommandAddParent"));
        QCOMPARE(editEpt(), "Edit EPT: Please enter details for the all parent variables.");
    }

    void editEptRefusesTooLargeTables_data()
    {
        QTest::addColumn<int>("childStates");
        QTest::addColumn<QList<int>>("modifyingStates");
        QTest::addColumn<int>("nonModifyingParents");
        QTest::addColumn<QString>("message");
        const QString columns =
            "You need to fill in more than 12 columns in the EPT. This is not a sensible "
            "number.\rDo one of the following:\r\r1. Reduce the number of states that the child "
            "variable has.\r2. Reduce the number of modifying parents.\r3. Reduce the number of "
            "states that the modifying parents have.";
        QTest::newRow("18 columns") << 3 << QList<int>{3, 2} << 1 << columns;
        QTest::newRow("16 columns") << 2 << QList<int>{2, 2, 2} << 1 << columns;
        QTest::newRow("2^21 CPT rows")
            << 2 << QList<int>{} << 21
            << "The CPT would have more than 1048576 rows. This is too many to calculate.\r"
               "Reduce the number of parents or the number of states that they have.";
    }
    void editEptRefusesTooLargeTables()
    {
        QFETCH(int, childStates);
        QFETCH(QList<int>, modifyingStates);
        QFETCH(int, nonModifyingParents);
        QFETCH(QString, message);
        enterChildName("Rain");
        enterChildStates(childStates == 3 ? QStringList{"A", "B", "C"} : QStringList{"A", "B"});
        const int parents = int(modifyingStates.size()) + nonModifyingParents;
        while (problem().noParents() < parents)
            click(button("CommandAddParent"));
        for (int p = 1; p <= parents; ++p) {
            const bool modifying = p <= modifyingStates.size();
            const int states = modifying ? modifyingStates.at(p - 1) : 2;
            QStringList names;
            for (int s = 1; s <= states; ++s)
                names << "S" + QString::number(s);
            enterParent(p, "P" + QString::number(p), modifying ? "Modifying" : "Non-modifying",
                        names);
        }
        script->shown.clear();
        click(button("CommandEditEPT"));
        QCOMPARE(script->takeTexts(), QStringList{message});
        QCOMPARE(script->shown.size(), 0);
    }

    void editEptOpensTwelveColumns()
    {
        enterChildName("Rain");
        enterChildStates({"High", "Mid", "Low"});
        click(button("CommandAddParent"));
        enterParent(1, "Wind", "Modifying", {"Strong", "Weak"});
        enterParent(2, "Temp", "Modifying", {"Hot", "Cold"});
        enterParent(3, "Sun", "Non-modifying", {"Bright", "Dull"});
        script->shown.clear();
        QString opened;
        QVERIFY(clickAndHandle(button("CommandEditEPT"), [&](QWidget *form) {
            opened = form->objectName();
            click(child<QPushButton>(form, "CommandCancel"));
        }));
        QCOMPARE(opened, "FormEPT");
        QVERIFY(script->shown.isEmpty());
    }

    void exitAsksFirst_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("yes") << QMessageBox::Yes << true;
        QTest::newRow("no") << QMessageBox::No << false;
        QTest::newRow("cancel") << QMessageBox::Cancel << false;
    }
    void exitAsksFirst()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, closes);
        script->answer(answer);
        click(button("CommandExit"));
        QCOMPARE(script->last().title, "Exit programme");
        QCOMPARE(script->last().text, "Are you sure you want to exit the programme?");
        QCOMPARE(script->last().buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(script->last().defaultButton, QMessageBox::Yes);
        QCOMPARE(window->isVisible(), !closes);
    }

    void closingByTheFrameAsksNothing()
    {
        window->close();
        QVERIFY(!window->isVisible());
        QVERIFY(script->shown.isEmpty());
    }

    // The real boxes, answered as a person answers them.
    void realMessageBoxes()
    {
        script.reset();
        QString title;
        QString text;
        bool hasIcon = true;
        QList<QAbstractButton *> buttons;
        const auto read = [&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            hasIcon = box->icon() != QMessageBox::NoIcon;
            buttons = box->buttons();
        };
        whenModalShown([&](QWidget *modal) {
            read(modal);
            QTest::keyClick(modal, Qt::Key_Return);
        });
        click(button("CommandEnterChildName"));
        QCOMPARE(title, "Enter child name");
        QCOMPARE(text, "A child name has NOT been entered.\nPlease type name of child in the box.");
        QVERIFY(!hasIcon);
        QCOMPARE(buttons.size(), 1);

        bool wasDefault = false;
        whenModalShown([&](QWidget *modal) {
            read(modal);
            auto *box = qobject_cast<QMessageBox *>(modal);
            wasDefault = box->defaultButton() == box->button(QMessageBox::Yes);
            click(box->button(QMessageBox::No));
        });
        click(button("CommandExit"));
        QCOMPARE(title, "Exit programme");
        QCOMPARE(buttons.size(), 3);
        QVERIFY(wasDefault);
        QVERIFY(window->isVisible());
    }
};

VADAZAZ_GUI_TEST_MAIN(MainFormTest)
#include "main_form_test.moc"
