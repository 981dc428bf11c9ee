#include "gui/ept/form_ept.h"

#include "testing/file_size_limit.h"
#include "testing/files.h"
#include "testing/gui_driver.h"
#include "testing/main_form_driver.h"
#include "testing/sample_problems.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_main.h"

#include <sys/stat.h>

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

const QString withNames =
    u"Do you want to save the parent state names with the conditional probabilities?"_s;
const QString asked =
    u"Calculate CPT: CPT calculated successfully.\rDo you want to save the CPT? [Yes No]"_s;
const QString namesAsked = u"Save CPT: "_s + withNames + u" [Yes No Cancel]"_s;
const QString notSaved = u"Calculate CPT: CPT not saved. [Ok]"_s;
const QString saveDialog = u"save Text files (*.TXT)|*.TXT"_s;
const QString rainEpt = u"90 10 40 60 70 30 5 95"_s;

// Answers the modal windows that the program shows one after another, each by its step.
using Step = std::function<void(QWidget *)>;
void answerInTurn(QList<Step> steps)
{
    if (steps.isEmpty())
        return;
    const Step step = steps.takeFirst();
    whenModalShown([step, steps](QWidget *modal) {
        answerInTurn(steps);
        step(modal);
    });
}

} // namespace

class FormEptTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedDialogs> script;
    std::unique_ptr<FormEPT> form;
    std::unique_ptr<QTemporaryDir> folder;

    QString path(const QString &name) const { return folder->filePath(name); }
    QPushButton *button(const char *name) const { return child<QPushButton>(form.get(), name); }
    QLineEdit *field(int n) const { return child<QLineEdit>(form.get(), u"Text%1"_s.arg(n)); }
    void open(const Problem &opened = rainProblem(), const QString &figures = rainEpt)
    {
        form = std::make_unique<FormEPT>(opened, deriveEptShape(opened));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        typeCells(form.get(), figures);
    }
    // "Save CPT" and "View CPT file" on or off, and the cells: "save on, view off: 90 10 …",
    // or with numbered set only the cells that hold text: "1=90 2=10".
    QString state(bool numbered = false) const
    {
        QStringList texts;
        for (const QLineEdit *cell : form->content()->findChildren<QLineEdit *>())
            if (!numbered || !cell->text().isEmpty())
                texts << (numbered ? cell->objectName().mid(4) + u'=' : QString()) + cell->text();
        const auto on = [this](const char *name) {
            return button(name)->isEnabled() ? u"on"_s : u"off"_s;
        };
        return numbered ? texts.join(u' ')
                        : u"save %1, view %2: %3"_s.arg(on("CommandSaveCpt"), on("CommandViewFile"),
                                                        texts.join(u' '));
    }
    // Whether the control shows the mark of something to look at.
    static bool marked(const QWidget *widget)
    {
        const QColor colour = widget->palette().color(widget->backgroundRole());
        return colour != QColor(128, 128, 255) && colour != QColor(Qt::white);
    }
    // The files in the test's folder, each as "name: contents".
    QStringList files() const
    {
        QStringList files;
        for (const QString &name :
             QDir(folder->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            files << name + u": "_s + QString::fromUtf8(contentsOf(path(name)));
        return files;
    }
    // Clicks the button, answering the boxes in turn and the file dialog, if any, with the file.
    void press(const char *name, const QList<QMessageBox::StandardButton> &answers = {},
               const QString &file = {})
    {
        for (const auto answer : answers)
            script->answer(answer);
        if (!file.isEmpty())
            script->answerFile(file);
        click(button(name));
    }

private Q_SLOTS:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
        script = std::make_unique<ScriptedDialogs>();
    }
    void cleanup()
    {
        form.reset();
        script.reset();
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // The tooltips say which configuration of the parents each row is and which Modifying
    // parents' states each column; a child state's heading gives its name in full.
    void saysWhatEachRowAndColumnIs_data()
    {
        QTest::addColumn<QString>("control"); // GridEPTn: row n's cells; then other parents
        QTest::addColumn<QString>("toolTip");
        const QString least = u"Row 2: every Non-modifying parent in its least positive state "
                              "(P1 = P1s3, P3 = P3s2)."_s;
        QTest::newRow("row 1") << u"GridEPT1"_s
                               << u"Row 1: every Non-modifying parent in its most positive state "
                                  "(P1 = P1s1, P3 = P3s1)."_s;
        QTest::newRow("row 2") << u"GridEPT2"_s << least;
        QTest::newRow("row 3") << u"GridEPT3"_s
                               << u"Row 3: P1 moved to P1s2, every other Non-modifying parent in "
                                  "its most positive state."_s;
        QTest::newRow("one parent's row 3") << u"GridEPT3 M2 N3"_s << u"Row 3: P2 moved to P2s2."_s;
        QTest::newRow("cell") << u"Text7"_s << least + u"\nColumn 3: Child = C1 (P2 = P2s2)"_s;
        QTest::newRow("child state") << u"LabelChild2"_s << u"Child = Moderately (P2 = P2s1)"_s;
        QTest::newRow("Modifying state") << u"LabelMPstate12"_s << u"Columns 3 to 4 (P2 = P2s2)"_s;
        QTest::newRow("total") << u"LabelTotal22"_s
                               << least + u"\nTotal of columns 3 to 4 (P2 = P2s2)"_s;
    }
    void saysWhatEachRowAndColumnIs()
    {
        QFETCH(QString, control);
        QFETCH(QString, toolTip);
        const QString parents = control.section(u' ', 1);
        Problem problem = problemOf(2, parents.isEmpty() ? u"N3 M2 N2"_s : parents);
        problem.childStateName(2) = u"Moderately"_s;
        open(problem, {});
        QStringList shown;
        if (control.startsWith(u"GridEPT"_s)) {
            auto *grid = child<QTableWidget>(form->content(), "GridEPT");
            for (int c = 0; c < grid->columnCount(); ++c)
                shown << grid->item(control.mid(7, 1).toInt() - 1, c)->toolTip();
            shown.removeDuplicates();
        } else {
            shown << child<QWidget>(form.get(), control)->toolTip();
        }
        QCOMPARE(shown, QStringList{toolTip});
        QCOMPARE(child<QLabel>(form.get(), "LabelChild2")->text(), u"Moder"_s);
    }

    // Every control shows in the window, which grows up to the screen's free area; past it the
    // window scrolls, and only then, to every control, none under a scroll bar.
    void hidesNothing_data()
    {
        QTest::addColumn<QString>("parents"); // after the child's state count
        QTest::newRow("4 columns") << u"2 M2 N2"_s;
        QTest::newRow("12 columns, 26 rows") << u"3 M2 M2 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3"_s;
        QTest::newRow("12 columns, 7 Non-modifying parents") << u"3 M2 M2 N2 N2 N2 N2 N2 N2 N2"_s;
    }
    void hidesNothing()
    {
        QFETCH(QString, parents);
        open(problemOf(parents.left(1).toInt(), parents.mid(2)), {});
        const QSize screen = form->screen()->availableGeometry().size();
        QVERIFY(form->width() <= screen.width() && form->height() <= screen.height());
        auto *scroll = child<QScrollArea>(form.get(), "ScrollEPT");
        QCOMPARE(scroll->horizontalScrollBar()->isVisible(), form->width() == screen.width());
        QCOMPARE(scroll->verticalScrollBar()->isVisible(), form->height() == screen.height());
        QStringList hidden;
        for (QWidget *control :
             form->content()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            scroll->ensureWidgetVisible(control, 0, 0);
            if (!scroll->viewport()->rect().contains(
                    QRect(control->mapTo(scroll->viewport(), QPoint(0, 0)), control->size())))
                hidden << control->objectName();
        }
        for (QWidget *control : form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (control != scroll && (!form->rect().contains(control->geometry()) ||
                                      control->geometry().intersects(scroll->geometry())))
                hidden << control->objectName();
        QCOMPARE(hidden, QStringList());
        auto *grid = child<QTableWidget>(form->content(), "GridEPT");
        const int last = grid->rowCount() - 1;
        QVERIFY(grid->rowViewportPosition(last) + grid->rowHeight(last) <=
                grid->viewport()->height());
    }

    // A block copied from a spreadsheet or a text editor fills the cells right and down from the
    // focused cell, each pasted cell one change that Undo takes back; a block that does not fit
    // changes nothing and says why; a single value pastes into the cell as in any text box.
    void pastesBlocksOfCells_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<int>("cell"); // focused, holding "1"; negative: pasted from its menu
        QTest::addColumn<QString>("filled");
        QTest::addColumn<QString>("shown"); // the refusal, after "The pasted block has "
        const struct
        {
            const char *tag, *clipboard;
            int cell;
            const char *filled, *shown;
        } cases[] = {
            {"TABs and LF", "10\t20\t70\n30\t30\t40\n", 1, "1=10 2=20 3=70 10=30 11=30 12=40", ""},
            {"CR LF, to the last cell", "7\t2\t3\r\n4\t5\t6\r\n", 43,
             "43=7 44=2 45=3 52=4 53=5 54=6", ""},
            {"CR and semicolons", "7;2\r3;4", 1, "1=7 2=2 10=3 11=4", ""},
            {"one spreadsheet cell", "42\n", 5, "5=42", ""},
            {"from the context menu", "10\t90", -8, "8=10 9=90", ""},
            {"a single value", "42", 5, "5=142", ""},
            {"too wide and too long", "1\t2\t3\t4\n1\t2\t3\t4\n1\t2\t3\t4\n", 25, "25=1",
             "3 rows of 4 cells; from row 3, column 7 there is room for 4 rows of 3 cells."},
            {"a row at the last cell", "1;2", -54, "54=1",
             "1 row of 2 cells; from row 6, column 9 there is room for 1 row of 1 cell."},
        };
        for (const auto &c : cases)
            QTest::newRow(c.tag) << QString::fromUtf8(c.clipboard) << c.cell
                                 << QString::fromUtf8(c.filled) << QString::fromUtf8(c.shown);
    }
    void pastesBlocksOfCells()
    {
        QFETCH(QString, clipboard);
        QFETCH(int, cell);
        QFETCH(QString, filled);
        QFETCH(QString, shown);
        open(problemOf(3, u"M3 N3 N2 N2"_s), {}); // 6 rows of 9 columns
        QLineEdit *focused = field(std::abs(cell));
        typeInto(focused, u"1"_s);
        QGuiApplication::clipboard()->setText(clipboard);
        if (cell < 0)
            chooseFromContextMenu(focused, {2, 2}, u"&Paste"_s);
        else
            QTest::keyClick(focused, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(state(true), filled);
        QCOMPARE(script->takeShown(),
                 shown.isEmpty()
                     ? QStringList()
                     : QStringList{u"Paste: The pasted block has "_s + shown + u" [Ok]"_s});
        QTest::keyClick(focused, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(focused->text(), shown.isEmpty() ? u"1"_s : QString());
    }

    // Enter and Down go to the cell below, Shift+Enter and Up to the one above, Enter in the
    // last row stays; Ctrl+Shift+C and the context menu copy the EPT as a spreadsheet takes it,
    // Ctrl+C a cell's selected text. Nothing else happens.
    void keys_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("keys"); // or the context menu's entry
        QTest::addColumn<QString>("seen"); // the focused cell, then what was copied
        const QString ept = u"90\t10\t40\t60\n70\t30\t\t95\n"_s;
        QTest::newRow("Enter") << 2 << u"Return"_s << u"Text6|"_s;
        QTest::newRow("keypad Enter") << 3 << u"Num+Enter"_s << u"Text7|"_s;
        QTest::newRow("Enter in the last row") << 6 << u"Return"_s << u"Text6|"_s;
        QTest::newRow("Shift+Enter") << 7 << u"Shift+Return"_s << u"Text3|"_s;
        QTest::newRow("Down") << 1 << u"Down"_s << u"Text5|"_s;
        QTest::newRow("Up") << 8 << u"Up"_s << u"Text4|"_s;
        QTest::newRow("Ctrl+Shift+C") << 3 << u"Ctrl+Shift+C"_s << u"Text3|"_s + ept;
        QTest::newRow("context menu") << 3 << u"Copy EPT"_s << u"Text3|"_s + ept;
        QTest::newRow("Ctrl+C") << 3 << u"Ctrl+C"_s << u"Text3|40"_s;
    }
    void keys()
    {
        QFETCH(int, from);
        QFETCH(QString, keys);
        QFETCH(QString, seen);
        open(rainProblem(), u"90 10 40 60 70 30 _ 95"_s);
        QGuiApplication::clipboard()->clear();
        field(from)->setFocus();
        field(from)->selectAll();
        if (keys == u"Copy EPT"_s)
            chooseFromContextMenu(field(from), {2, 2}, keys);
        else
            QTest::keySequence(field(from), QKeySequence(keys));
        QCOMPARE(QApplication::focusWidget()->objectName() + u'|' +
                     QGuiApplication::clipboard()->text(),
                 seen);
        QCOMPARE(script->takeShown(), QStringList());
        QCOMPARE(state(), u"save off, view off: 90 10 40 60 70 30  95"_s);
    }

    // Beside each block of a row, the exact total of what is typed, marked with the reason when
    // it is not 100 or a cell is not a number in 0..100; such cells are marked too.
    void totalsEachBlockAsTyped_data()
    {
        QTest::addColumn<QString>("typed"); // "cell=text", in turn, into row 1's first block
        QTest::addColumn<QString>("total"); // the total, then why it is marked, if it is
        QTest::addColumn<QString>("cells"); // the marked cells and why
        const QString range = u"Not between 0 and 100 inclusive."_s;
        QTest::newRow("nothing") << u"2="_s << u""_s << QString();
        QTest::newRow("exact decimals") << u"1=0.7 2=83.4 3=15.9"_s << u"100"_s << QString();
        QTest::newRow("partly typed")
            << u"1=70 2=20"_s << u"90|Non-numeric or missing entry in column 3."_s << QString();
        QTest::newRow("more than 100")
            << u"1=50 2=50 3=10"_s << u"110|The total is 110, not 100."_s << QString();
        QTest::newRow("not a number")
            << u"1=70 2=x 3=30"_s << u"100|Non-numeric or missing entry in column 2."_s
            << u"2: Not a number."_s;
        QTest::newRow("outside 0..100")
            << u"1=120 2=-20 3=0"_s << u"0|Column 1 is not between 0 and 100 inclusive."_s
            << u"1: %1|2: %1"_s.arg(range);
        QTest::newRow("corrected") << u"1=70 2=x 3=30 2=0"_s << u"100"_s << QString();
    }
    void totalsEachBlockAsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, total);
        QFETCH(QString, cells);
        open(problemOf(3, u"M3 N3 N2 N2"_s), {});
        for (const QString &step : typed.split(u' '))
            typeInto(field(step.section(u'=', 0, 0).toInt()), step.section(u'=', 1));
        const QString says = u"Row 1: every Non-modifying parent in its most positive state (P2 = "
                             "P2s1, P3 = P3s1, P4 = P4s1).\nTotal of columns 1 to 3 (P1 = P1s1)"_s;
        auto *label = child<QLabel>(form.get(), "LabelTotal11");
        const QString problem = total.section(u'|', 1);
        QCOMPARE(label->text(), total.section(u'|', 0, 0));
        QCOMPARE(label->toolTip(), problem.isEmpty() ? says : problem + u'\n' + says);
        QCOMPARE(marked(label), !problem.isEmpty());
        QStringList marks;
        for (int n = 1; n <= 3; ++n)
            if (marked(field(n)))
                marks << u"%1: %2"_s.arg(n).arg(field(n)->toolTip().section(u'\n', 0, 0));
        QCOMPARE(marks.join(u'|'), cells);
        QCOMPARE(child<QLabel>(form.get(), "LabelTotal12")->text(), QString());
    }

    // Refused before any calculation: both buttons stay off. Refused after one: the earlier
    // CPT, the buttons and the typed figures stay. A second calculation replaces the first.
    void refusalsKeepTheCptAndASecondReplacesIt()
    {
        const QStringList refused{u"Calculate CPT: Non-numeric or missing entry in row 2. [Ok]"_s};
        const QString missing = u"90 10 40 60 70 _ 5 95"_s;
        open(rainProblem(), missing);
        press("CommandCalcCPT");
        QCOMPARE(script->takeShown(), refused);
        QCOMPARE(state(), "save off, view off: 90 10 40 60 70  5 95");
        typeCells(form.get(), rainEpt);
        press("CommandCalcCPT", {QMessageBox::No});
        typeCells(form.get(), missing);
        script->takeShown();
        press("CommandCalcCPT");
        QCOMPARE(script->takeShown(), refused);
        QCOMPARE(state(), "save on, view off: 90 10 40 60 70  5 95");
        press("CommandSaveCpt", {QMessageBox::No}, path(u"first.txt"_s));
        typeCells(form.get(), u"60 40 30 70 10 90 0 100"_s);
        press("CommandCalcCPT", {QMessageBox::No});
        press("CommandSaveCpt", {QMessageBox::No}, path(u"second.txt"_s));
        QCOMPARE(files(), QStringList({u"first.txt: "_s + QString::fromLatin1(rainPlain),
                                       u"second.txt: 0.60\t\t0.40\r\n0.10\t\t0.90\r\n"
                                       "0.30\t\t0.70\r\n0.00\t\t1.00\r\n"_s}));
    }

    // "View CPT file" comes on with the answer Yes to saving, however the saving ends. A failed
    // write names the file and the reason and leaves the file, the window and its table, which
    // can then be saved elsewhere. A CPT out of 0..1 is said first.
    void calculateAndSave_data()
    {
        QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
        QTest::addColumn<QString>("file");      // chosen in the dialog; empty: cancelled
        QTest::addColumn<QStringList>("shown"); // %1: the file chosen
        QTest::addColumn<bool>("viewOn");
        using B = QMessageBox;
        const QString failed = u"Save CPT: The CPT could not be saved to %1.\r"_s;
        const QStringList dialog{asked, namesAsked, saveDialog};
        QTest::newRow("declined") << QList{B::No} << QString() << QStringList{asked, notSaved}
                                  << false;
        QTest::newRow("without the names, no suffix")
            << QList{B::Yes, B::No} << u"rain"_s << dialog << true;
        QTest::newRow("cancelled at the question")
            << QList{B::Yes, B::Cancel} << QString()
            << QStringList{asked, namesAsked, u"Save CPT: File not saved. [Ok]"_s} << true;
        QTest::newRow("cancelled in the dialog")
            << QList{B::Yes, B::Yes} << QString() << dialog << true;
        QTest::newRow("a read-only file") << QList{B::Yes, B::Yes} << u"kept.TXT"_s
                                          << dialog + QStringList{failed + u"The file is "
                                                                           "read-only. [Ok]"_s}
                                          << true;
        QTest::newRow("past the file-size limit")
            << QList{B::Yes, B::Yes} << u"kept.TXT.new"_s
            << dialog + QStringList{failed + u"File too large [Ok]"_s} << true;
        QTest::newRow("out of range") << QList{B::Ok, B::No} << QString()
                                      << QStringList{u"Calculate CPT: Some probabilities of the "
                                                     "CPT are below 0 or above 1, the first in "
                                                     "CPT row 4.\rCheck the EPT entries of the "
                                                     "child's states 2 and 3. [Ok]"_s,
                                                     asked, notSaved}
                                      << false;
    }
    void calculateAndSave()
    {
        QFETCH(QList<QMessageBox::StandardButton>, answers);
        QFETCH(QString, file);
        QFETCH(QStringList, shown);
        QFETCH(bool, viewOn);
        QVERIFY(writeFile(path(u"kept.TXT"_s), "an earlier file\r\n"));
        QVERIFY(QFile::setPermissions(path(u"kept.TXT"_s), QFile::ReadOwner | QFile::ReadGroup));
        const QString chosen = file.isEmpty() ? QString() : path(file);
        // The state-3 weights are not bounded, so an interpolated row can leave 0..100.
        const bool wide = answers.first() == QMessageBox::Ok;
        const QString figures = wide ? u"80 10 10 10 10 80 50 25 25 70 30 0 70 30 0"_s : rainEpt;
        open(wide ? problemOf(3, u"N2 N2 N2"_s) : rainProblem(), figures);
        {
            // Nothing may grow past 40 bytes, a CPT file of the labelled layout included.
            const FileSizeLimit limit(file.endsWith(u".new"_s) ? 40 : 0);
            press("CommandCalcCPT", answers, chosen);
        }
        QCOMPARE(script->takeShown(), shown.replaceInStrings(u"%1"_s, chosen));
        QStringList left{u"kept.TXT: an earlier file\r\n"_s};
        if (file == u"rain"_s)
            left << u"rain: "_s + QString::fromLatin1(rainPlain);
        QCOMPARE(files(), left);
        QCOMPARE(state(), u"save on, view %1: "_s.arg(viewOn ? u"on"_s : u"off"_s) + figures);
        if (wide)
            return;
        press("CommandSaveCpt", {QMessageBox::No}, path(u"again.txt"_s));
        QCOMPARE(contentsOf(path(u"again.txt"_s)), rainPlain);
    }

    // A file that cannot be shown is refused with a message, and no viewer opens. A pipe is never
    // opened, a file past the size limit (512 MiB) never read.
    void refusesToView_data()
    {
        QTest::addColumn<QString>("kind");      // what is made as the file picked
        QTest::addColumn<QStringList>("shown"); // after the file dialog; %1: the file
        const QString notOpened = u"View CPT file: The file %1 could not be opened.\r"_s;
        QTest::newRow("cancelled") << u"cancelled"_s << QStringList();
        QTest::newRow("missing file")
            << u"missing"_s << QStringList{notOpened + u"No such file or directory [Ok]"_s};
        QTest::newRow("a pipe nobody writes to")
            << u"fifo"_s << QStringList{notOpened + u"It is not a regular file. [Ok]"_s};
        QTest::newRow("one byte past the limit")
            << u"large"_s << QStringList{u"Vadazaz: The specified file is too large. [Ok]"_s};
    }
    void refusesToView()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, shown);
        const QString chosen = path(u"file.TXT"_s);
        if (kind == u"fifo"_s)
            QVERIFY(::mkfifo(QFile::encodeName(chosen).constData(), 0600) == 0);
        QFile file(chosen); // with a hole: no disk space, no time
        if (kind == u"large"_s)
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize((512 << 20) + 1));
        open();
        press("CommandCalcCPT", {QMessageBox::Yes, QMessageBox::Cancel});
        script->takeShown();
        if (kind != u"cancelled"_s)
            script->answerFile(chosen);
        QVERIFY(
            !clickAndHandle(button("CommandViewFile"), [](QWidget *viewer) { viewer->close(); }));
        QCOMPARE(script->takeShown(), QStringList{u"open Text files (*.TXT)|*.TXT"_s} +
                                          shown.replaceInStrings(u"%1"_s, chosen));
        QCOMPARE(state(), u"save on, view on: "_s + rainEpt);
    }

    // The whole road with the real message boxes and file dialogs: names in é, ß, Ω and 中
    // typed into the main window and both dialogs; the CPT calculated and saved with the names,
    // and the file viewed. The file is UTF-8, every field of 10 characters padded by characters.
    void wholeRoadThroughTheWindows()
    {
        problem().initialise();
        MainFormDriver main;
        main.enterChildName(u"Ωmega中ßéé1"_s);
        QVERIFY(main.enterChildStates({u"Éé中"_s, u"ßchwachΩ中é"_s}));
        QVERIFY(main.enterParent(1, u"Wind中"_s, "Modifying", {u"Starkéß"_s, u"Ωeak"_s}));
        QVERIFY(main.enterParent(2, u"Temp中éßΩ12"_s, "Non-modifying", {u"Heiß"_s, u"Kälte中"_s}));
        script.reset();
        // The window's headings, then each box's title and text, each file dialog's filters
        // (and " Aa" if it minded the case of names); a box answered Yes, a dialog with the file.
        QStringList seen;
        const Step reply = [&seen, file = path(u"road.TXT"_s)](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            seen << (box      ? box->windowTitle() + u'|' + box->text()
                     : dialog ? dialog->nameFilters().join(u';') +
                                    (dialog->filter() & QDir::CaseSensitive ? u" Aa"_s : u""_s)
                              : u"neither"_s);
            if (dialog)
                child<QLineEdit>(dialog, "fileNameEdit")->setText(file);
            box      ? click(box->button(QMessageBox::Yes))
            : dialog ? click(dialog->findChild<QDialogButtonBox *>()->buttons().constFirst())
                     : void(modal->close());
        };
        QString viewed;
        QVERIFY(clickAndHandle(main.button("CommandEditEPT"), [&](QWidget *window) {
            auto *grid = child<QTableWidget>(window, "GridEPT");
            seen << grid->horizontalHeaderItem(0)->text() << grid->item(0, 0)->text()
                 << grid->item(1, 0)->text();
            for (const QLabel *label : window->findChildren<QLabel *>())
                if (label->isVisible() && !label->objectName().startsWith(u"LabelTotal"_s))
                    seen << label->text();
            typeCells(window, rainEpt);
            answerInTurn({reply, reply, reply});
            click(child<QPushButton>(window, "CommandCalcCPT"));
            answerInTurn({reply, [&viewed](QWidget *viewer) {
                              QAccessibleTextInterface *text =
                                  QAccessible::queryAccessibleInterface(
                                      child<QAbstractScrollArea>(viewer, "TextViewCpt"))
                                      ->textInterface();
                              viewed = text->text(0, text->characterCount());
                              click(child<QPushButton>(viewer, "CommandOK"));
                          }});
            click(child<QPushButton>(window, "CommandViewFile"));
            click(child<QPushButton>(window, "CommandCancel"));
        }));
        const QString filter = u"Text files (*.TXT)"_s;
        QCOMPARE(seen, QStringList({u"Temp中éßΩ12"_s, u"Heiß"_s, u"Kälte中"_s, u"Wind中:"_s,
                                    u"Starkéß"_s, u"Ωeak"_s, u"Ωmega中ßéé1:"_s, u"Éé中"_s,
                                    u"ßchwa"_s, u"Éé中"_s, u"ßchwa"_s,
                                    u"Calculate CPT|CPT calculated successfully.\nDo you want to "
                                    "save the CPT?"_s,
                                    u"Save CPT|"_s + withNames, filter, filter}));
        const QString labelled =
            u"Wind中     \tTemp中éßΩ12\tΩmega中ßéé1=Éé中\tΩmega中ßéé1=ßchwachΩ中é\t\r\n"
            "\r\n"
            "Starkéß   \tHeiß      \t0.90           \t0.10\r\n"
            "Starkéß   \tKälte中    \t0.70           \t0.30\r\n"
            "Ωeak      \tHeiß      \t0.40           \t0.60\r\n"
            "Ωeak      \tKälte中    \t0.05           \t0.95\r\n"_s;
        QCOMPARE(files(), QStringList{u"road.TXT: "_s + labelled});
        QCOMPARE(viewed, QString(labelled).replace(u"\r\n"_s, u"\n"_s).chopped(1));
    }
};

VADAZAZ_GUI_TEST_MAIN(FormEptTest)
#include "form_ept_test.moc"
