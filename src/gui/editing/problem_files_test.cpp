// Keeping the work: problem files from the File menu, the questions before unsaved changes would
// be lost, and the EPT that outlives its window.

#include "core/store/problem_file.h"
#include "core/store/recent_files.h"
#include "testing/files.h"
#include "testing/main_form_driver.h"
#include "testing/sample_problems.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;

class ProblemFilesTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ScriptedDialogs> script;
    std::unique_ptr<MainFormDriver> main;

    QString path(const QString &name) const { return dir->filePath(name); }
    void menu(const char *name) { main->window.findChild<QAction *>(name)->trigger(); }
    void enterRain()
    {
        main->enterChildName(u"Rain"_s);
        QVERIFY(main->enterChildStates({u"High"_s, u"Low"_s}));
        QVERIFY(main->enterParent(1, u"Wind"_s, u"Modifying"_s, {u"Strong"_s, u"Weak"_s}));
        enterTemp({u"Hot"_s, u"Cold"_s});
    }
    void enterTemp(const QStringList &states)
    {
        QVERIFY(main->enterParent(2, u"Temp"_s, u"Non-modifying"_s, states));
    }
    // Opens the EPT window and reads its cells (and the note about entries kept); types the
    // figures, does more there and leaves it by Cancel, unless more closed it.
    QString editEpt(const QString &typed = {}, const std::function<void(QWidget *)> &more = {})
    {
        QStringList seen;
        clickAndHandle(main->button("CommandEditEPT"), [&](QWidget *form) {
            for (int n = 1; auto *field = form->findChild<QLineEdit *>(u"Text%1"_s.arg(n)); ++n)
                seen << field->text();
            if (child<QLabel>(form, "LabelStoredEpt")->isVisible())
                seen << u"(kept for other parents)"_s;
            typeCells(form, typed);
            if (more)
                more(form);
            if (form->isVisible())
                click(child<QPushButton>(form, "CommandCancel"));
        });
        return seen.join(u' ');
    }

private Q_SLOTS:
    void init()
    {
        QSettings().clear(); // no recent files, no last folder
        dir = std::make_unique<QTemporaryDir>();
        script = std::make_unique<ScriptedDialogs>();
        main = std::make_unique<MainFormDriver>();
    }
    void cleanup()
    {
        main.reset();
        script.reset();
    }

    // What is typed into the EPT window stays with the problem, however the window closes; a
    // shape that no longer fits leaves the cells empty and the entries kept until it fits again.
    void keepsTheEptAcrossItsWindow()
    {
        const QString rainCells = u"90 10 40 60 70 30 5 95"_s;
        enterRain();
        QCOMPARE(editEpt(rainCells), u"       "_s);
        QCOMPARE(editEpt(u"91 9"_s, [](QWidget *form) { form->close(); }), rainCells);
        QCOMPARE(editEpt(), u"91 9 40 60 70 30 5 95"_s);
        enterTemp({u"Hot"_s, u"Mild"_s, u"Cold"_s});
        QCOMPARE(editEpt(), u"            (kept for other parents)"_s);
        QCOMPARE(problem().ept, tableOf(u"91;9;40;60|70;30;5;95"_s));
        enterTemp({u"Hot"_s, u"Cold"_s});
        QCOMPARE(editEpt(), u"91 9 40 60 70 30 5 95"_s);
    }

    // Typed, saved, opened in a new window: the same problem, EPT and CPT file, byte for byte.
    // Once the file is gone, it is taken off the recent files.
    void opensWhatItSaves()
    {
        enterRain();
        editEpt(u"90 10 40 60 70 30 5 95"_s);
        QCOMPARE(main->window.windowTitle(), u"Untitled* - Vadazaz"_s);
        script->answerFile(path(u"rain.vadazaz"_s));
        menu("MenuSave");
        QCOMPARE(main->window.windowTitle(), u"rain.vadazaz - Vadazaz"_s);
        QCOMPARE(script->takeShown().constLast(), u"save Problem files (*.vadazaz)|*.vadazaz"_s);
        const Problem typed = problem();
        main = std::make_unique<MainFormDriver>();
        QCOMPARE(main->window.windowTitle(), u"Vadazaz"_s);
        QVERIFY(main->window.openProblemFile(path(u"rain.vadazaz"_s)));
        QCOMPARE(problem(), typed);
        QCOMPARE(main->rows().at(0), u"Parent 1|Wind|Modifying|2"_s);
        QCOMPARE(main->w<QComboBox>("ComboParent")->currentText(), u"Parent 1"_s);
        QCOMPARE(main->w<QLineEdit>("TextChildName")->text(), u"Rain"_s);
        QCOMPARE(recentFiles(), QStringList{path(u"rain.vadazaz"_s)});
        script->answer(QMessageBox::Yes); // save the CPT, without the state names
        script->answer(QMessageBox::No);
        script->answerFile(path(u"cpt.txt"_s));
        editEpt({}, [](QWidget *form) { click(child<QPushButton>(form, "CommandCalcCPT")); });
        QCOMPARE(contentsOf(path(u"cpt.txt"_s)), rainPlain);
        QCOMPARE(main->window.windowTitle(), u"rain.vadazaz - Vadazaz"_s);
        main->enterChildName(u"Snow"_s);
        QCOMPARE(main->window.windowTitle(), u"rain.vadazaz* - Vadazaz"_s);
        QVERIFY(QFile::remove(path(u"rain.vadazaz"_s)));
        main = std::make_unique<MainFormDriver>();
        QAction *recent = main->window.findChild<QAction *>(u"MenuRecent1"_s);
        QVERIFY(recent && recent->text() == u"&1 rain.vadazaz"_s);
        recent->trigger();
        QVERIFY(script->takeShown().constLast().contains(
            u"The file %1 no longer exists. It has been taken off the list of recent files."_s.arg(
                path(u"rain.vadazaz"_s))));
        QCOMPARE(recentFiles(), QStringList());
        QVERIFY(!main->window.findChild<QAction *>(u"MenuRecent1"_s));
    }

    // New, Open, Exit and the frame ask before unsaved changes are lost; Cancel goes back.
    void asksBeforeChangesAreLost_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<QString>("after"); // the child's name afterwards or "closed"; "saved"
        for (const QString &action : {u"New"_s, u"Open"_s, u"Exit"_s, u"Frame"_s}) {
            const bool ends = action == u"Exit"_s || action == u"Frame"_s;
            const QString kept = action == u"Open"_s ? u"Fog"_s : ends ? u"closed"_s : QString();
            const QByteArray tag = action.toLatin1();
            QTest::newRow(tag + ", Yes") << action << QMessageBox::Yes << kept + u" saved"_s;
            QTest::newRow(tag + ", No") << action << QMessageBox::No << kept;
            QTest::newRow(tag + ", Cancel") << action << QMessageBox::Cancel << u"Rain"_s;
        }
    }
    void asksBeforeChangesAreLost()
    {
        QFETCH(QString, action);
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(QString, after);
        Problem fog = rainProblem();
        fog.childName = u"Fog"_s;
        QVERIFY(writeFile(path(u"fog.vadazaz"_s), problemFileText(fog)));
        main->enterChildName(u"Rain"_s);
        if (action == u"Exit"_s)
            script->answer(QMessageBox::Yes); // the exit question comes first
        script->answer(answer);
        const bool saved = after.endsWith(u" saved"_s);
        script->answerFile(path(saved ? u"rain.vadazaz"_s : u"fog.vadazaz"_s));
        script->answerFile(path(u"fog.vadazaz"_s));
        if (action == u"Frame"_s)
            main->window.close();
        else if (action == u"Exit"_s)
            click(main->button("CommandExit"));
        else
            menu(action == u"New"_s ? "MenuNew" : "MenuOpen");
        QVERIFY(script->takeShown().join(u'\n').contains(
            u"Do you want to save the changes to Untitled? [Yes No Cancel]"_s));
        QCOMPARE((main->window.isVisible() ? problem().childName : u"closed"_s) +
                     (QFileInfo::exists(path(u"rain.vadazaz"_s)) ? u" saved"_s : u""_s),
                 after);
    }

    // A file that cannot be used is refused with its name and what is wrong; the problem stays.
    void refusesFilesItCannotUse_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("says");
        QTest::newRow("not JSON") << QByteArray("Rain, High, Low") << u"not valid JSON"_s;
        QTest::newRow("a later version")
            << problemFileText(rainProblem()).replace("\"version\": 1", "\"version\": 7")
            << u"a later version of the program (problem file version 7)"_s;
    }
    void refusesFilesItCannotUse()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, says);
        main->enterChildName(u"Kept"_s);
        const Problem before = problem();
        QVERIFY(writeFile(path(u"bad.vadazaz"_s), file));
        script->answer(QMessageBox::No);
        script->answerFile(path(u"bad.vadazaz"_s));
        menu("MenuOpen");
        const QString shown = script->takeShown().constLast();
        QVERIFY2(shown.startsWith(u"Open problem: "_s + path(u"bad.vadazaz"_s) + u": "_s) &&
                     shown.contains(says),
                 qPrintable(shown));
        QCOMPARE(problem(), before);
    }

    // A node of a network taken as the problem, a variable's states reversed; its CPT exported and
    // written back from the EPT window, not when the question is cancelled.
    void takesANodeAndWritesItsCptBack()
    {
        const QString data = QStringLiteral(VADAZAZ_TESTDATA) + u'/';
        const QByteArray network = contentsOf(data + u"rain.bif"_s);
        QVERIFY(writeFile(path(u"net.bif"_s), network));
        script->answerFile(path(u"net.bif"_s));
        QStringList offered;
        whenModalShown([&](QWidget *dialog) {
            auto *nodes = child<QTableWidget>(dialog, "GridNodes");
            for (int r = 0; r < nodes->rowCount(); ++r)
                offered << nodes->item(r, 0)->text() + u' ' + nodes->item(r, 2)->text();
            nodes->selectRow(2);
            child<QTableWidget>(dialog, "GridStates")->item(2, 0)->setCheckState(Qt::Checked);
            click(child<QPushButton>(dialog, "CommandOK"));
        });
        menu("MenuImportNode");
        QCOMPARE(offered,
                 (QStringList{u"Wind a child needs 2 parents or more; it has 0"_s,
                              u"Temp a child needs 2 parents or more; it has 0"_s, u"Rain "_s}));
        QCOMPARE(main->rows().at(1), u"Parent 2|Temp|Non-modifying|2"_s);
        QCOMPARE(problem().parentStateName(1, 2), u"Hot"_s);
        QCOMPARE(main->window.windowTitle(), u"Untitled* - Vadazaz"_s);
        QVERIFY(main->enterParent(1, u"Wind"_s, u"Modifying"_s, {u"Strong"_s, u"Weak"_s}));
        // No CPT file; exported as BIF with 2 decimals; written into the network, Cancel first.
        for (const auto answer :
             {QMessageBox::No, QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Yes})
            script->answer(answer);
        script->answerFile(path(u"rain.bif"_s));
        editEpt(u"90 10 40 60 70 30 5 95"_s, [&](QWidget *form) {
            click(child<QPushButton>(form, "CommandCalcCPT"));
            QVERIFY(clickAndHandle(child<QPushButton>(form, "CommandExportCpt"), [](QWidget *w) {
                child<QComboBox>(w, "ComboFormat")->setCurrentIndex(3);
                child<QSpinBox>(w, "SpinDecimals")->setValue(2);
                click(child<QPushButton>(w, "CommandOK"));
            }));
            click(child<QPushButton>(form, "CommandWriteIntoNetwork"));
            QCOMPARE(contentsOf(path(u"net.bif"_s)), network);
            click(child<QPushButton>(form, "CommandWriteIntoNetwork"));
        });
        QVERIFY(contentsOf(path(u"rain.bif"_s)).endsWith(contentsOf(data + u"rain-cpt.bif"_s)));
        QCOMPARE(contentsOf(path(u"net.bif"_s)), contentsOf(data + u"rain-written-back.bif"_s));
    }
};

VADAZAZ_GUI_TEST_MAIN(ProblemFilesTest)
#include "problem_files_test.moc"
