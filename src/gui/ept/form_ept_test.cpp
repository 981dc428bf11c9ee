#include "gui/ept/form_ept.h"

#include "testing/file_size_limit.h"
#include "testing/files.h"
#include "testing/gui_driver.h"
#include "testing/main_form_driver.h"
#include "testing/sample_problems.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_main.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

namespace {

const QString withNames =
    u"Do you want to save the parent state names with the conditional probabilities?"_s;
const QString asked =
    u"Calculate CPT: CPT calculated successfully.\rDo you want to save the CPT? [Yes No]"_s;
const QString namesAsked = u"Save CPT: "_s + withNames + u" [Yes No Cancel]"_s;
const QString notSaved = u"Calculate CPT: CPT not saved. [Ok]"_s;
const QString saveDialog = u"save Text files (*.TXT)|*.TXT"_s;
const QString rainEpt = u"90 10 40 60 70 30 5 95"_s; // two rows of four

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

    QString path(const QString &name) const { return QDir(folder->path()).filePath(name); }
    QPushButton *button(const char *name) const { return child<QPushButton>(form.get(), name); }
    QLineEdit *field(int n) const { return child<QLineEdit>(form.get(), u"Text%1"_s.arg(n)); }
    void open(const Problem &opened = rainProblem())
    {
        form = std::make_unique<FormEPT>(opened, deriveEptShape(opened));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void fill(const QString &figures) { typeCells(form.get(), figures); }
    // "Save CPT" and "View CPT file" on or off, and the fields' texts: "save on, view off: 90 …".
    QString state() const
    {
        QStringList texts;
        for (const QLineEdit *text : form->content()->findChildren<QLineEdit *>())
            texts << text->text();
        return u"save %1, view %2: %3"_s.arg(
            button("CommandSaveCpt")->isEnabled() ? u"on"_s : u"off"_s,
            button("CommandViewFile")->isEnabled() ? u"on"_s : u"off"_s, texts.join(u' '));
    }
    // The cells that hold text, as "number=text".
    QString filled() const
    {
        QStringList cells;
        for (const QLineEdit *cell : form->content()->findChildren<QLineEdit *>())
            if (!cell->text().isEmpty())
                cells << cell->objectName().mid(4) + u'=' + cell->text();
        return cells.join(u' ');
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

    // --- Building the window ---

    // Each row of the table and of cells says which configuration of the parents it is; each
    // heading and cell of a block says its Modifying parents' states; a child-state heading
    // gives the state's name in full.
    void saysWhatEachRowAndColumnIs_data()
    {
        QTest::addColumn<QString>("parents");
        QTest::addColumn<QString>("control"); // "GridEPT" and a row number: that row of the table
        QTest::addColumn<QString>("toolTip");
        const QString least = u"Row 2: every Non-modifying parent in its least positive state "
                              "(P1 = P1s3, P3 = P3s2)."_s;
        const QString others = u", every other Non-modifying parent in its most positive state."_s;
        const QString p = u"N3 M2 N2"_s;
        QTest::newRow("row 1") << p << u"GridEPT1"_s
                               << u"Row 1: every Non-modifying parent in its most positive state "
                                  "(P1 = P1s1, P3 = P3s1)."_s;
        QTest::newRow("row 2") << p << u"GridEPT2"_s << least;
        QTest::newRow("row 3") << p << u"GridEPT3"_s << u"Row 3: P1 moved to P1s2"_s + others;
        QTest::newRow("a single parent's row 3")
            << u"M2 N3"_s << u"GridEPT3"_s << u"Row 3: P2 moved to P2s2."_s;
        QTest::newRow("cell") << p << u"Text7"_s << least + u"\nColumn 3: Child = C1 (P2 = P2s2)"_s;
        QTest::newRow("child state")
            << p << u"LabelChild2"_s << u"Child = Moderately (P2 = P2s1)"_s;
        QTest::newRow("Modifying parent's state")
            << p << u"LabelMPstate12"_s << u"Columns 3 to 4 (P2 = P2s2)"_s;
        QTest::newRow("total") << p << u"LabelTotal22"_s
                               << least + u"\nTotal of columns 3 to 4 (P2 = P2s2)"_s;
    }
    void saysWhatEachRowAndColumnIs()
    {
        QFETCH(QString, parents);
        QFETCH(QString, control);
        QFETCH(QString, toolTip);
        Problem problem = problemOf(2, parents);
        problem.childStateName(2) = u"Moderately"_s;
        open(problem);
        auto *grid = child<QTableWidget>(form->content(), "GridEPT");
        QStringList shown;
        if (control.startsWith(u"GridEPT"_s)) {
            for (int c = 0; c < grid->columnCount(); ++c)
                shown << grid->item(control.mid(7).toInt() - 1, c)->toolTip();
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
        QTest::addColumn<int>("childStates");
        QTest::addColumn<QString>("parents");
        QTest::newRow("4 columns") << 2 << u"M2 N2"_s;
        QTest::newRow("12 columns, 26 rows") << 3 << u"M2 M2 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3"_s;
        QTest::newRow("12 columns, 7 Non-modifying parents")
            << 3 << u"M2 M2 N2 N2 N2 N2 N2 N2 N2"_s;
    }
    void hidesNothing()
    {
        QFETCH(int, childStates);
        QFETCH(QString, parents);
        open(problemOf(childStates, parents));
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

    // --- Typing, pasting and copying ---

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
        open(problemOf(3, u"M3 N3 N2 N2"_s)); // 6 rows of 9 columns
        QLineEdit *focused = field(std::abs(cell));
        typeInto(focused, u"1"_s);
        QGuiApplication::clipboard()->setText(clipboard);
        if (cell < 0)
            chooseFromContextMenu(focused, {2, 2}, u"&Paste"_s);
        else
            QTest::keyClick(focused, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(this->filled(), filled);
        QCOMPARE(script->takeShown(),
                 shown.isEmpty()
                     ? QStringList()
                     : QStringList{u"Paste: The pasted block has "_s + shown + u" [Ok]"_s});
        QTest::keyClick(focused, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(focused->text(), shown.isEmpty() ? u"1"_s : QString());
    }

    // The whole EPT as a spreadsheet takes it, from the context menu or Ctrl+Shift+C; Ctrl+C
    // still copies a cell's selected text.
    void copiesTheEpt_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("copied");
        QTest::newRow("Ctrl+Shift+C") << u"shortcut"_s << u"90\t10\t40\t60\n70\t30\t\t95\n"_s;
        QTest::newRow("context menu") << u"menu"_s << u"90\t10\t40\t60\n70\t30\t\t95\n"_s;
        QTest::newRow("Ctrl+C") << u"cell"_s << u"40"_s;
    }
    void copiesTheEpt()
    {
        QFETCH(QString, how);
        QFETCH(QString, copied);
        open();
        fill(u"90 10 40 60 70 30 _ 95"_s);
        field(3)->setFocus();
        field(3)->selectAll();
        if (how == u"menu"_s)
            chooseFromContextMenu(field(3), {2, 2}, u"Copy EPT"_s);
        else
            QTest::keyClick(field(3), Qt::Key_C,
                            Qt::ControlModifier |
                                (how == u"cell"_s ? Qt::NoModifier : Qt::ShiftModifier));
        QCOMPARE(QGuiApplication::clipboard()->text(), copied);
    }

    // Enter and the Down arrow go to the cell below, Shift+Enter and the Up arrow to the one
    // above; in the last row Enter stays. Nothing else happens.
    void movesBetweenRows_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<QKeyCombination>("key");
        QTest::addColumn<int>("to");
        QTest::newRow("Enter") << 2 << QKeyCombination(Qt::Key_Return) << 6;
        QTest::newRow("keypad Enter") << 3 << (Qt::KeypadModifier | Qt::Key_Enter) << 7;
        QTest::newRow("Enter in the last row") << 6 << QKeyCombination(Qt::Key_Return) << 6;
        QTest::newRow("Shift+Enter") << 7 << (Qt::ShiftModifier | Qt::Key_Return) << 3;
        QTest::newRow("Down") << 1 << QKeyCombination(Qt::Key_Down) << 5;
        QTest::newRow("Up") << 8 << QKeyCombination(Qt::Key_Up) << 4;
    }
    void movesBetweenRows()
    {
        QFETCH(int, from);
        QFETCH(QKeyCombination, key);
        QFETCH(int, to);
        open();
        fill(rainEpt);
        field(from)->setFocus();
        QTest::keyClick(field(from), key.key(), key.keyboardModifiers());
        QCOMPARE(QApplication::focusWidget()->objectName(), u"Text%1"_s.arg(to));
        QCOMPARE(script->takeShown(), QStringList());
        QCOMPARE(state(), u"save off, view off: "_s + rainEpt);
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
        open(problemOf(3, u"M3 N3 N2 N2"_s)); // 6 rows of 9 columns
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

    // --- Calculate CPT ---

    // Refused before any calculation: both buttons stay off. Refused after one: the earlier
    // CPT, the buttons and the typed figures stay. A second calculation replaces the first.
    void refusalsKeepTheCptAndASecondReplacesIt()
    {
        const QStringList refused{u"Calculate CPT: Non-numeric or missing entry in row 2. [Ok]"_s};
        const QString missing = u"90 10 40 60 70 _ 5 95"_s;
        open();
        fill(missing);
        press("CommandCalcCPT");
        QCOMPARE(script->takeShown(), refused);
        QCOMPARE(state(), "save off, view off: 90 10 40 60 70  5 95");
        fill(rainEpt);
        press("CommandCalcCPT", {QMessageBox::No});
        fill(missing);
        script->takeShown();
        press("CommandCalcCPT");
        QCOMPARE(script->takeShown(), refused);
        QCOMPARE(state(), "save on, view off: 90 10 40 60 70  5 95");
        press("CommandSaveCpt", {QMessageBox::No}, path(u"first.txt"_s));
        fill(u"60 40 30 70 10 90 0 100"_s);
        press("CommandCalcCPT", {QMessageBox::No});
        press("CommandSaveCpt", {QMessageBox::No}, path(u"second.txt"_s));
        QCOMPARE(files(), QStringList({u"first.txt: "_s + QString::fromLatin1(rainPlain),
                                       u"second.txt: 0.60\t\t0.40\r\n0.10\t\t0.90\r\n"
                                       "0.30\t\t0.70\r\n0.00\t\t1.00\r\n"_s}));
    }

    // Calculating and answering each question: "View CPT file" comes on with the answer Yes to
    // saving, however the saving ends. A failed write names the file and the reason and leaves
    // the file, the window and its table, which can then be saved elsewhere.
    void calculateAndSave_data()
    {
        QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
        QTest::addColumn<QString>("file");      // chosen in the dialog; empty: cancelled
        QTest::addColumn<QStringList>("shown"); // %1: the file chosen
        QTest::addColumn<QStringList>("left");  // the test's folder afterwards
        QTest::addColumn<QString>("state");
        using B = QMessageBox;
        const QString kept = u"kept.TXT: an earlier file\r\n"_s;
        const QString viewOn = u"save on, view on: "_s + rainEpt;
        const QString failed = u"Save CPT: The CPT could not be saved to %1.\r"_s;
        QTest::newRow("declined") << QList{B::No} << QString() << QStringList{asked, notSaved}
                                  << QStringList{kept} << u"save on, view off: "_s + rainEpt;
        QTest::newRow("without the names, a name without suffix")
            << QList{B::Yes, B::No} << u"rain"_s << QStringList{asked, namesAsked, saveDialog}
            << QStringList{kept, u"rain: "_s + QString::fromLatin1(rainPlain)} << viewOn;
        QTest::newRow("cancelled at the question")
            << QList{B::Yes, B::Cancel} << QString()
            << QStringList{asked, namesAsked, u"Save CPT: File not saved. [Ok]"_s}
            << QStringList{kept} << viewOn;
        QTest::newRow("cancelled in the file dialog")
            << QList{B::Yes, B::Yes} << QString() << QStringList{asked, namesAsked, saveDialog}
            << QStringList{kept} << viewOn;
        QTest::newRow("a read-only file")
            << QList{B::Yes, B::Yes} << u"kept.TXT"_s
            << QStringList{asked, namesAsked, saveDialog, failed + u"The file is read-only. [Ok]"_s}
            << QStringList{kept} << viewOn;
        QTest::newRow("past the file-size limit")
            << QList{B::Yes, B::Yes} << u"kept.TXT.new"_s
            << QStringList{asked, namesAsked, saveDialog, failed + u"File too large [Ok]"_s}
            << QStringList{kept} << viewOn;
    }
    void calculateAndSave()
    {
        QFETCH(QList<QMessageBox::StandardButton>, answers);
        QFETCH(QString, file);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, left);
        QFETCH(QString, state);
        QVERIFY(writeFile(path(u"kept.TXT"_s), "an earlier file\r\n"));
        QVERIFY(QFile::setPermissions(path(u"kept.TXT"_s), QFile::ReadOwner | QFile::ReadGroup));
        const QString chosen = file.isEmpty() ? QString() : path(file);
        open();
        fill(rainEpt);
        {
            // Nothing the tests write may grow past 40 bytes, a CPT file of the labelled layout
            // included.
            const FileSizeLimit limit(file.endsWith(u".new"_s) ? 40 : 0);
            press("CommandCalcCPT", answers, chosen);
        }
        QCOMPARE(script->takeShown(), shown.replaceInStrings(u"%1"_s, chosen));
        QCOMPARE(files(), left);
        QCOMPARE(this->state(), state);
        press("CommandSaveCpt", {QMessageBox::No}, path(u"again.txt"_s));
        QCOMPARE(contentsOf(path(u"again.txt"_s)), rainPlain);
    }

    void outOfRangeWarning()
    {
        // The state-3 weights are not bounded, so an interpolated row can leave 0..100.
        open(problemOf(3, u"N2 N2 N2"_s));
        const QString figures = u"80 10 10 10 10 80 50 25 25 70 30 0 70 30 0"_s; // five rows
        fill(figures);
        press("CommandCalcCPT", {QMessageBox::Ok, QMessageBox::No});
        QCOMPARE(script->takeShown(),
                 QStringList({u"Calculate CPT: Some probabilities of the CPT are below 0 or above "
                              "1, the first in CPT row 4.\rCheck the EPT entries of the child's "
                              "states 2 and 3. [Ok]"_s,
                              asked, notSaved}));
        QCOMPARE(state(), u"save on, view off: "_s + figures);
    }

    // --- View CPT file ---

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
        fill(rainEpt);
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

    // --- The whole road, with the real message boxes and file dialogs ---

    // Names in é, ß, Ω and 中 typed into the main window and both dialogs; the CPT calculated
    // and saved with the names, saved again without them, and the first file viewed. The file is
    // UTF-8, every field of 10 characters padded by characters, not bytes.
    void wholeRoadThroughTheWindows()
    {
        problem().initialise();
        MainFormDriver main;
        main.enterChildName(u"Ωmega中ßéé1"_s);
        QVERIFY(main.enterChildStates({u"Éé中"_s, u"ßchwachΩ中é"_s}));
        QVERIFY(main.enterParent(1, u"Wind中"_s, "Modifying", {u"Starkéß"_s, u"Ωeak"_s}));
        QVERIFY(main.enterParent(2, u"Temp中éßΩ12"_s, "Non-modifying", {u"Heiß"_s, u"Kälte中"_s}));

        script.reset(); // the real message boxes and file dialogs from here on
        // The window's headings, then what each modal window showed: a box's title and text, a
        // file dialog's filters (and " Aa" if it minded the case of names). A box is answered
        // "Yes" or "No", a file dialog with the file.
        QStringList seen;
        const auto reply = [&seen](const QString &answer) -> Step {
            return [&seen, answer](QWidget *modal) {
                auto *box = qobject_cast<QMessageBox *>(modal);
                auto *dialog = qobject_cast<QFileDialog *>(modal);
                QAbstractButton *button =
                    box      ? box->button(answer == u"Yes"_s ? QMessageBox::Yes : QMessageBox::No)
                    : dialog ? dialog->findChild<QDialogButtonBox *>()->buttons().constFirst()
                             : nullptr;
                seen << (box      ? box->windowTitle() + u'|' + box->text()
                         : dialog ? dialog->nameFilters().join(u';') +
                                        (dialog->filter() & QDir::CaseSensitive ? u" Aa"_s : u""_s)
                                  : u"neither"_s);
                if (dialog)
                    child<QLineEdit>(dialog, "fileNameEdit")->setText(answer);
                button ? click(button) : void(modal->close());
            };
        };
        const QString labelledFile = path(u"road labelled.TXT"_s);
        const QString plainFile = path(u"road plain.txt"_s);
        QString viewed;
        QVERIFY(clickAndHandle(main.button("CommandEditEPT"), [&](QWidget *window) {
            auto *grid = child<QTableWidget>(window, "GridEPT");
            seen << grid->horizontalHeaderItem(0)->text() << grid->item(0, 0)->text()
                 << grid->item(1, 0)->text();
            for (const QLabel *label : window->findChildren<QLabel *>())
                if (label->isVisible() && !label->objectName().startsWith(u"LabelTotal"_s))
                    seen << label->text();
            typeCells(window, rainEpt);

            answerInTurn({reply(u"Yes"_s), reply(u"Yes"_s), reply(labelledFile)});
            click(child<QPushButton>(window, "CommandCalcCPT"));
            answerInTurn({reply(u"No"_s), reply(plainFile)});
            click(child<QPushButton>(window, "CommandSaveCpt"));
            answerInTurn({reply(labelledFile), [&viewed](QWidget *viewer) {
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
                                    u"Save CPT|"_s + withNames, filter, u"Save CPT|"_s + withNames,
                                    filter, filter}));
        const QString labelled =
            u"Wind中     \tTemp中éßΩ12\tΩmega中ßéé1=Éé中\tΩmega中ßéé1=ßchwachΩ中é\t\r\n"
            "\r\n"
            "Starkéß   \tHeiß      \t0.90           \t0.10\r\n"
            "Starkéß   \tKälte中    \t0.70           \t0.30\r\n"
            "Ωeak      \tHeiß      \t0.40           \t0.60\r\n"
            "Ωeak      \tKälte中    \t0.05           \t0.95\r\n"_s;
        QCOMPARE(files(), QStringList({u"road labelled.TXT: "_s + labelled,
                                       u"road plain.txt: "_s + QString::fromLatin1(rainPlain)}));
        QCOMPARE(viewed, QString(labelled).replace(u"\r\n"_s, u"\n"_s).chopped(1));
    }
};

VADAZAZ_GUI_TEST_MAIN(FormEptTest)
#include "form_ept_test.moc"
