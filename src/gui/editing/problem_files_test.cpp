// Keeping the work: problem files from the File menu, the questions before unsaved changes would
// be lost, and the EPT that outlives its window.

#include "core/store/problem_file.h"
#include "core/store/recent_files.h"
#include "gui/editing/main_form.h"
#include "testing/files.h"
#include "testing/main_form_driver.h"
#include "testing/sample_problems.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

const QString rain = childSteps(u"Rain"_s, {u"High"_s, u"Low"_s}) +
                     parentSteps(1, u"Wind"_s, u"Modifying"_s, {u"Strong"_s, u"Weak"_s}) +
                     parentSteps(2, u"Temp"_s, u"Non-modifying"_s, {u"Hot"_s, u"Cold"_s});

} // namespace

class ProblemFilesTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ScriptedDialogs> script;
    std::unique_ptr<MainForm> main;

    QString path(const QString &name) const { return dir->filePath(name); }
    void newWindow()
    {
        main = std::make_unique<MainForm>();
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    }
    // Does the steps in the main window (see act()), and the scripted answers (see
    // ScriptedDialogs::step()); "ept" reads the cells of the EPT window and the note about entries
    // kept.
    QString act(const QString &steps)
    {
        return testing::act(main.get(), steps, [this](QWidget *form, const QString &step) {
            if (step.startsWith(u"same "_s)) // the two files alike
                return std::optional(contentsOf(path(step.section(u' ', 1, 1))) ==
                                             contentsOf(path(step.section(u' ', 2)))
                                         ? QString()
                                         : step + u": they differ / "_s);
            if (step != u"ept"_s)
                return script->step(step, dir->path());
            QStringList seen;
            for (int n = 1; auto *field = form->findChild<QLineEdit *>(u"Text%1"_s.arg(n)); ++n)
                seen << field->text();
            if (child<QLabel>(form, "LabelStoredEpt")->isVisible())
                seen << u"(kept for other parents)"_s;
            return std::optional(seen.join(u' ') + u" / "_s);
        });
    }

private Q_SLOTS:
    void init()
    {
        QSettings().clear(); // no recent files, no last folder
        dir = std::make_unique<QTemporaryDir>();
        script = std::make_unique<ScriptedDialogs>();
        newWindow();
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
        const QString edit = u"click CommandEditEPT [ept"_s;
        act(rain);
        QCOMPARE(
            act(edit + u"; cells 90 10 40 60 70 30 5 95; click CommandCancel]; "_s + edit +
                u"; cells 91 9; close]; "_s + edit + u"]; "_s +
                parentSteps(2, u"Temp"_s, u"Non-modifying"_s, {u"Hot"_s, u"Mild"_s, u"Cold"_s}) +
                edit + u"]"_s),
            u"FormEPT /         / FormEPT / 90 10 40 60 70 30 5 95 / FormEPT / 91 9 40 60 70 "
            "30 5 95 / FormParent / FormEPT /             (kept for other parents) / "_s);
        QCOMPARE(problem().ept, tableOf(u"91;9;40;60|70;30;5;95"_s));
        act(parentSteps(2, u"Temp"_s, u"Non-modifying"_s, {u"Hot"_s, u"Cold"_s}));
        QCOMPARE(act(edit + u"]"_s), u"FormEPT / 91 9 40 60 70 30 5 95 / "_s);
    }

    // Typed, saved, opened in a new window: the same problem, EPT and CPT file, byte for byte.
    // Once the file is gone, it is taken off the recent files.
    void opensWhatItSaves()
    {
        act(rain + u"click CommandEditEPT [cells 90 10 40 60 70 30 5 95; click CommandCancel]"_s);
        QCOMPARE(main->windowTitle(), u"Untitled* - Vadazaz"_s);
        act(u"file rain.vadazaz; click MenuSave"_s);
        QCOMPARE(main->windowTitle(), u"rain.vadazaz - Vadazaz"_s);
        QCOMPARE(script->takeShown().constLast(), u"save Problem files (*.vadazaz)|*.vadazaz"_s);
        const Problem typed = problem();
        newWindow();
        QCOMPARE(main->windowTitle(), u"Vadazaz"_s);
        QVERIFY(main->openProblemFile(path(u"rain.vadazaz"_s)));
        QCOMPARE(problem(), typed);
        QCOMPARE(parentRows(main.get()).at(0), u"Parent 1|Wind|Modifying|2"_s);
        QCOMPARE(child<QComboBox>(main.get(), "ComboParent")->currentText(), u"Parent 1"_s);
        QCOMPARE(child<QLineEdit>(main.get(), "TextChildName")->text(), u"Rain"_s);
        QCOMPARE(recentFiles(), QStringList{path(u"rain.vadazaz"_s)});
        // The CPT saved without the state names.
        act(u"answer Yes No; file cpt.txt; click CommandEditEPT [click CommandCalcCPT]"_s);
        QCOMPARE(contentsOf(path(u"cpt.txt"_s)), rainPlain);
        QCOMPARE(main->windowTitle(), u"rain.vadazaz - Vadazaz"_s);
        act(u"type TextChildName Snow; click CommandEnterChildName"_s);
        QCOMPARE(main->windowTitle(), u"rain.vadazaz* - Vadazaz"_s);
        QVERIFY(QFile::remove(path(u"rain.vadazaz"_s)));
        newWindow();
        QAction *recent = main->findChild<QAction *>(u"MenuRecent1"_s);
        QVERIFY(recent && recent->text() == u"&1 rain.vadazaz"_s);
        recent->trigger();
        QVERIFY(script->takeShown().constLast().contains(
            u"The file %1 no longer exists. It has been taken off the list of recent files."_s.arg(
                path(u"rain.vadazaz"_s))));
        QCOMPARE(recentFiles(), QStringList());
        QVERIFY(!main->findChild<QAction *>(u"MenuRecent1"_s));
    }

    // New, Open, Exit and the frame ask before unsaved changes are lost; Cancel goes back.
    void asksBeforeChangesAreLost_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("after"); // the child's name afterwards or "closed"; "saved"
        for (const QString &action : {u"New"_s, u"Open"_s, u"Exit"_s, u"Frame"_s}) {
            const bool ends = action == u"Exit"_s || action == u"Frame"_s;
            const QString kept = action == u"Open"_s ? u"Fog"_s : ends ? u"closed"_s : QString();
            const QByteArray tag = action.toLatin1();
            QTest::newRow(tag + ", Yes") << action << u"Yes"_s << kept + u" saved"_s;
            QTest::newRow(tag + ", No") << action << u"No"_s << kept;
            QTest::newRow(tag + ", Cancel") << action << u"Cancel"_s << u"Rain"_s;
        }
    }
    void asksBeforeChangesAreLost()
    {
        QFETCH(QString, action);
        QFETCH(QString, answer);
        QFETCH(QString, after);
        Problem fog = rainProblem();
        fog.childName = u"Fog"_s;
        QVERIFY(writeFile(path(u"fog.vadazaz"_s), problemFileText(fog)));
        // The exit question comes first; the file dialogs of saving and opening come after.
        act(u"type TextChildName Rain; click CommandEnterChildName; answer "_s +
            (action == u"Exit"_s ? u"Yes "_s : u""_s) + answer + u"; file "_s +
            (after.endsWith(u" saved"_s) ? u"rain"_s : u"fog"_s) +
            u".vadazaz; file fog.vadazaz; "_s +
            (action == u"Frame"_s  ? u"close"_s
             : action == u"Exit"_s ? u"click CommandExit"_s
                                   : u"click Menu"_s + action));
        QVERIFY(script->takeShown().join(u'\n').contains(
            u"Do you want to save the changes to Untitled? [Yes No Cancel]"_s));
        QCOMPARE((main->isVisible() ? problem().childName : u"closed"_s) +
                     (QFileInfo::exists(path(u"rain.vadazaz"_s)) ? u" saved"_s : u""_s),
                 after);
    }

    // A file that cannot be used is refused with its name and what is wrong, however it is
    // opened; the problem stays.
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
        act(u"type TextChildName Kept; click CommandEnterChildName"_s);
        const Problem before = problem();
        QVERIFY(writeFile(path(u"bad.vadazaz"_s), file));
        act(u"answer No; file bad.vadazaz; click MenuOpen"_s);
        const QString shown = script->takeShown().constLast();
        QVERIFY2(shown.startsWith(u"Open problem: "_s + path(u"bad.vadazaz"_s) + u": "_s) &&
                     shown.contains(says),
                 qPrintable(shown));
        QVERIFY(!main->openProblemFile(path(u"bad.vadazaz"_s))); // opened directly: it did not
        QCOMPARE(problem(), before);
    }

    // A node of a network taken as the problem, a variable's states reversed; its CPT exported and
    // written back from the EPT window, not when the question is cancelled.
    void takesANodeAndWritesItsCptBack()
    {
        const QString data = QStringLiteral(VADAZAZ_TESTDATA) + u'/';
        const QByteArray network = contentsOf(data + u"rain.bif"_s);
        QVERIFY(writeFile(path(u"net.bif"_s), network) && writeFile(path(u"kept.bif"_s), network));
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
        child<QAction>(main.get(), "MenuImportNode")->trigger();
        QCOMPARE(offered,
                 (QStringList{u"Wind a child needs 2 parents or more; it has 0"_s,
                              u"Temp a child needs 2 parents or more; it has 0"_s, u"Rain "_s}));
        QCOMPARE(parentRows(main.get()).at(1), u"Parent 2|Temp|Non-modifying|2"_s);
        QCOMPARE(problem().parentStateName(1, 2), u"Hot"_s);
        QCOMPARE(main->windowTitle(), u"Untitled* - Vadazaz"_s);
        // No CPT file; exported as BIF with 2 decimals; written into the network, Cancel first.
        QCOMPARE(
            act(parentSteps(1, u"Wind"_s, u"Modifying"_s, {u"Strong"_s, u"Weak"_s}) +
                u"answer No Ok Cancel Yes; file rain.bif; click CommandEditEPT [cells 90 10 40 60 "
                u"70 "
                "30 5 95; click CommandCalcCPT; click CommandExportCpt [choose ComboFormat BIF "
                "(*.bif); type SpinDecimals 2; click CommandOK]; click CommandWriteIntoNetwork; "
                "same net.bif kept.bif; click CommandWriteIntoNetwork]"_s),
            u"FormParent / FormEPT / FormExport / "_s);
        QVERIFY(contentsOf(path(u"rain.bif"_s)).endsWith(contentsOf(data + u"rain-cpt.bif"_s)));
        QCOMPARE(contentsOf(path(u"net.bif"_s)), contentsOf(data + u"rain-written-back.bif"_s));
    }
};

VADAZAZ_GUI_TEST_MAIN(ProblemFilesTest)
#include "problem_files_test.moc"
