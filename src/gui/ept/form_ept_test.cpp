// The EPT window driven as a person drives it, the program's boxes and file dialogs answered from
// a script; and once the whole road through the windows with the real ones.

#include "gui/editing/main_form.h"
#include "gui/ept/form_ept.h"

#include "testing/files.h"
#include "testing/main_form_driver.h"
#include "testing/sample_problems.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_main.h"

#include <sys/stat.h>

#include <optional>

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
const QString rainFile = u"rain: "_s + QString::fromLatin1(rainPlain);

// Whether the control shows the mark of something to look at.
bool marked(const QWidget *widget)
{
    const QColor colour = widget->palette().color(widget->backgroundRole());
    return colour != QColor(128, 128, 255) && colour != QColor(Qt::white);
}

} // namespace

class FormEptTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedDialogs> script;
    std::unique_ptr<FormEPT> form;
    std::unique_ptr<QTemporaryDir> folder;

    QString path(const QString &name) const { return folder->filePath(name); }
    // "rain", or the child's state count (with "/Name", its second state's name) and the parents.
    void open(const QString &given)
    {
        Problem opened = rainProblem();
        if (given != u"rain"_s) {
            opened = problemOf(given.left(1).toInt(), given.section(u' ', 1));
            if (given.at(1) == u'/')
                opened.childStateName(2) = given.section(u' ', 0, 0).mid(2);
        }
        form = std::make_unique<FormEPT>(opened, deriveEptShape(opened));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    // What a person sees of the window (see steps()).
    QString look(const QString &what) const
    {
        QStringList texts;
        if (what == u"cells"_s || what == u"state"_s) {
            for (const QLineEdit *cell : form->content()->findChildren<QLineEdit *>())
                if (what == u"state"_s || !cell->text().isEmpty())
                    texts << (what == u"cells"_s ? cell->objectName().mid(4) + u'=' : QString()) +
                                 cell->text();
            const auto on = [this](const char *name) {
                return child<QPushButton>(form.get(), name)->isEnabled() ? u"on"_s : u"off"_s;
            };
            return what == u"cells"_s
                       ? texts.join(u' ')
                       : u"save %1, view %2: %3"_s.arg(on("CommandSaveCpt"), on("CommandViewFile"),
                                                       texts.join(u' '));
        }
        if (what == u"files"_s) {
            for (const QString &name :
                 QDir(folder->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
                texts << name + u": "_s + QString::fromUtf8(contentsOf(path(name)));
            return texts.join(u" | "_s);
        }
        if (what == u"dialogs"_s)
            return script->takeShown().join(u" | "_s);
        if (what == u"focus"_s)
            return QApplication::focusWidget()->objectName();
        if (what == u"clipboard"_s)
            return QGuiApplication::clipboard()->text();
        if (what == u"hidden"_s)
            return hidden();
        if (what.startsWith(u"row "_s)) {
            auto *grid = child<QTableWidget>(form->content(), "GridEPT");
            for (int c = 0; c < grid->columnCount(); ++c)
                texts << grid->item(what.mid(4).toInt() - 1, c)->toolTip();
            texts.removeDuplicates();
            return texts.join(u" | "_s);
        }
        const QWidget *control = child<QWidget>(form.get(), what.section(u' ', -1));
        if (what.startsWith(u"tip "_s))
            return control->toolTip();
        if (what.startsWith(u"mark "_s))
            return marked(control) ? control->toolTip().section(u'\n', 0, 0) : u"unmarked"_s;
        return control->property("text").toString();
    }
    // The window within the screen's free area, scrolling only when it fills it, every control
    // reachable and none under a scroll bar: the controls that are not, or what is wrong.
    QString hidden() const
    {
        const QSize screen = form->screen()->availableGeometry().size();
        auto *scroll = child<QScrollArea>(form.get(), "ScrollEPT");
        QStringList hidden;
        if (form->width() > screen.width() || form->height() > screen.height())
            hidden << u"larger than the screen"_s;
        if (scroll->horizontalScrollBar()->isVisible() != (form->width() == screen.width()) ||
            scroll->verticalScrollBar()->isVisible() != (form->height() == screen.height()))
            hidden << u"scroll bars"_s;
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
        auto *grid = child<QTableWidget>(form->content(), "GridEPT");
        const int last = grid->rowCount() - 1;
        if (grid->rowViewportPosition(last) + grid->rowHeight(last) > grid->viewport()->height())
            hidden << u"the last row"_s;
        return hidden.join(u' ');
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

    // The steps, separated by "; ", as act() takes them, and these:
    //   open PROBLEM (see open())   cells FIGURES (see typeCells())   clip TEXT (to the clipboard)
    //   select Cell (focus it, its text selected)   answer Yes No… (the next boxes)
    //   file NAME (the next file dialog, in the test's folder)   readonly|fifo NAME (made so)
    //   show WHAT (see look(); "Name" for its text)
    // What the steps show, " / " between them, the test's folder as "DIR".
    void steps_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("seen");
        // The tooltips say which configuration of the parents each row is and which Modifying
        // parents' states each column; a child state's heading gives its name in full.
        const QString tips = u"open 2/Moderately N3 M2 N2; show LabelChild2; show "_s;
        const QString least = u"Row 2: every Non-modifying parent in its least positive state "
                              "(P1 = P1s3, P3 = P3s2)."_s;
        stepsRow("rows", tips + u"row 1; show row 2; show row 3"_s,
                 u"Moder / Row 1: every Non-modifying parent in its most positive state (P1 = "
                 "P1s1, P3 = P3s1). / "_s +
                     least +
                     u" / Row 3: P1 moved to P1s2, every other Non-modifying parent in its most "
                     "positive state."_s);
        stepsRow("one parent's row 3", u"open 2/Moderately M2 N3; show LabelChild2; show row 3"_s,
                 u"Moder / Row 3: P2 moved to P2s2."_s);
        stepsRow("cell and headings",
                 tips + u"tip Text7; show tip LabelChild2; show tip LabelMPstate12; show tip "
                        "LabelTotal22"_s,
                 u"Moder / "_s + least +
                     u"\nColumn 3: Child = C1 (P2 = P2s2) / Child = Moderately (P2 = P2s1) / "
                     "Columns 3 to 4 (P2 = P2s2) / "_s +
                     least + u"\nTotal of columns 3 to 4 (P2 = P2s2)"_s);

        // Every control shows in the window, which grows up to the screen's free area; past it
        // the window scrolls, and only then, to every control.
        stepsRow("4 columns", u"open 2 M2 N2; show hidden"_s, u""_s);
        stepsRow("12 columns, 26 rows",
                 u"open 3 M2 M2 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3; show hidden"_s, u""_s);
        stepsRow("12 columns, 7 Non-modifying parents",
                 u"open 3 M2 M2 N2 N2 N2 N2 N2 N2 N2; show hidden"_s, u""_s);

        // A block copied from a spreadsheet or a text editor fills the cells right and down from
        // the focused cell, each pasted cell one change that Undo takes back; a block that does
        // not fit changes nothing and says why; a single value pastes as in any text box.
        const auto paste = [](const char *name, const QString &clip, const QString &how,
                              const QString &seen) {
            const QString cell = how.section(u' ', 1, 1);
            stepsRow(name,
                     u"open 3 M3 N3 N2 N2; type %1 1; clip %2; %3; show cells; show dialogs; "
                     "press %1 Ctrl+Z; show %1"_s.arg(cell, clip, how),
                     seen);
        };
        const QString block = u" / Paste: The pasted block has "_s;
        paste("TABs and LF", u"10\t20\t70\n30\t30\t40\n"_s, u"press Text1 Ctrl+V"_s,
              u"1=10 2=20 3=70 10=30 11=30 12=40 /  / 1"_s);
        paste("CR LF, to the last cell", u"7\t2\t3\r\n4\t5\t6\r\n"_s, u"press Text43 Ctrl+V"_s,
              u"43=7 44=2 45=3 52=4 53=5 54=6 /  / 1"_s);
        paste("CR and semicolons", u"7;2\r3;4"_s, u"press Text1 Ctrl+V"_s,
              u"1=7 2=2 10=3 11=4 /  / 1"_s);
        paste("one spreadsheet cell", u"42\n"_s, u"press Text5 Ctrl+V"_s, u"5=42 /  / 1"_s);
        paste("from the context menu", u"10\t90"_s, u"menu Text8 &Paste"_s, u"8=10 9=90 /  / 1"_s);
        paste("a single value", u"42"_s, u"press Text5 Ctrl+V"_s, u"5=142 /  / 1"_s);
        paste("too wide and too long", u"1\t2\t3\t4\n1\t2\t3\t4\n1\t2\t3\t4\n"_s,
              u"press Text25 Ctrl+V"_s,
              u"25=1"_s + block +
                  u"3 rows of 4 cells; from row 3, column 7 there is room for 4 rows of 3 "
                  "cells. [Ok] / "_s);
        paste("a row at the last cell", u"1;2"_s, u"menu Text54 &Paste"_s,
              u"54=1"_s + block +
                  u"1 row of 2 cells; from row 6, column 9 there is room for 1 row of 1 cell. "
                  "[Ok] / "_s);
        // Pasted with decimal commas, the EPT gives the CPT file that the same numbers typed give.
        stepsRow("pasted as typed",
                 u"open rain; clip 90,0\t10\t40\t60\r\n70\t30,0\t5\t95\r\n; press Text1 Ctrl+V; "
                 "answer Yes No; file rain; click CommandCalcCPT; show files"_s,
                 rainFile);

        // Enter and Down go to the cell below, Shift+Enter and Up to the one above, Enter in the
        // last row stays; Ctrl+Shift+C and the context menu copy the EPT as a spreadsheet takes
        // it, Ctrl+C a cell's selected text. Nothing else happens.
        const auto key = [](const char *name, int from, const QString &keys, const QString &seen) {
            stepsRow(name,
                     u"open rain; cells 90 10 40 60 70 30 _ 95; clip ; select Text%1; %2 Text%1 "
                     "%3; show focus; show clipboard; show dialogs; show state"_s.arg(from)
                         .arg(keys.startsWith(u"Copy"_s) ? u"menu"_s : u"press"_s, keys),
                     seen + u" /  / save off, view off: 90 10 40 60 70 30  95"_s);
        };
        const QString ept = u"90\t10\t40\t60\n70\t30\t\t95\n"_s;
        key("Enter", 2, u"Return"_s, u"Text6 / "_s);
        key("keypad Enter", 3, u"Num+Enter"_s, u"Text7 / "_s);
        key("Enter in the last row", 6, u"Return"_s, u"Text6 / "_s);
        key("Shift+Enter", 7, u"Shift+Return"_s, u"Text3 / "_s);
        key("Down", 1, u"Down"_s, u"Text5 / "_s);
        key("Up", 8, u"Up"_s, u"Text4 / "_s);
        key("Ctrl+Shift+C", 3, u"Ctrl+Shift+C"_s, u"Text3 / "_s + ept);
        key("context menu", 3, u"Copy EPT"_s, u"Text3 / "_s + ept);
        key("Ctrl+C", 3, u"Ctrl+C"_s, u"Text3 / 40"_s);

        // Beside each block of a row, the exact total of what is typed, marked with the reason
        // when it is not 100 or a cell is not a number in 0..100; such cells are marked too.
        const auto total = [](const char *name, const QString &typed, const QString &sum,
                              const QString &problem, const QString &cells) {
            const QString says = u"Row 1: every Non-modifying parent in its most positive state "
                                 "(P2 = P2s1, P3 = P3s1, P4 = P4s1).\nTotal of columns 1 to 3 (P1 "
                                 "= P1s1)"_s;
            stepsRow(name,
                     u"open 3 M3 N3 N2 N2; "_s + typed +
                         u"; show LabelTotal11; show tip LabelTotal11; show mark LabelTotal11; "
                         "show mark Text1; show mark Text2; show mark Text3; show LabelTotal12"_s,
                     sum + u" / "_s + (problem.isEmpty() ? says : problem + u'\n' + says) +
                         u" / "_s + (problem.isEmpty() ? u"unmarked"_s : problem) + u" / "_s +
                         cells + u" / "_s);
        };
        const QString none = u"unmarked / unmarked / unmarked"_s;
        const QString range = u"Not between 0 and 100 inclusive."_s;
        total("nothing", u"type Text2 "_s, u""_s, u""_s, none);
        total("exact decimals", u"type Text1 0.7; type Text2 83.4; type Text3 15.9"_s, u"100"_s,
              u""_s, none);
        total("partly typed", u"type Text1 70; type Text2 20"_s, u"90"_s,
              u"Non-numeric or missing entry in column 3."_s, none);
        total("more than 100", u"type Text1 50; type Text2 50; type Text3 10"_s, u"110"_s,
              u"The total is 110, not 100."_s, none);
        total("not a number", u"type Text1 70; type Text2 x; type Text3 30"_s, u"100"_s,
              u"Non-numeric or missing entry in column 2."_s,
              u"unmarked / Not a number. / unmarked"_s);
        total("outside 0..100", u"type Text1 120; type Text2 -20; type Text3 0"_s, u"0"_s,
              u"Column 1 is not between 0 and 100 inclusive."_s,
              range + u" / "_s + range + u" / unmarked"_s);
        total("corrected", u"type Text1 70; type Text2 x; type Text3 30; type Text2 0"_s, u"100"_s,
              u""_s, none);

        // Refused before any calculation: both buttons stay off. Refused after one: the earlier
        // CPT, the buttons and the typed figures stay. A second calculation replaces the first.
        const QString refused = u"Calculate CPT: Non-numeric or missing entry in row 2. [Ok]"_s;
        const QString missing = u"cells 90 10 40 60 70 _ 5 95; "_s;
        stepsRow("refusals keep the CPT, a second replaces it",
                 u"open rain; "_s + missing +
                     u"click CommandCalcCPT; show dialogs; show state; "
                     "cells "_s +
                     rainEpt + u"; answer No; click CommandCalcCPT; "_s + missing +
                     u"show dialogs; click CommandCalcCPT; show dialogs; show state; answer No; "
                     "file first.txt; click CommandSaveCpt; cells 60 40 30 70 10 90 0 100; "
                     "answer No; click CommandCalcCPT; answer No; file second.txt; click "
                     "CommandSaveCpt; show files"_s,
                 refused + u" / save off, view off: 90 10 40 60 70  5 95 / "_s + asked + u" | "_s +
                     notSaved + u" / "_s + refused +
                     u" / save on, view off: 90 10 40 60 70  5 95 / first.txt: "_s +
                     QString::fromLatin1(rainPlain) +
                     u" | second.txt: 0.60\t\t0.40\r\n0.10\t\t0.90\r\n0.30\t\t0.70\r\n0.00\t\t"
                     "1.00\r\n"_s);

        // "View CPT file" comes on with the answer Yes to saving, however the saving ends. A
        // failed write names the file and the reason and leaves the file, the window and its
        // table, which can then be saved elsewhere. A CPT out of 0..1 is said first.
        const auto save = [](const char *name, const QString &answers, const QString &file,
                             const QString &shown, const QString &view, const QString &saved) {
            stepsRow(name,
                     u"readonly kept.TXT; open rain; cells "_s + rainEpt + u"; answer "_s +
                         answers + (file.isEmpty() ? u""_s : u"; file "_s + file) +
                         u"; click CommandCalcCPT; show dialogs; show files; show state; "
                         "answer No; file again.txt; click CommandSaveCpt; show files"_s,
                     shown + u" / kept.TXT: an earlier file\r\n"_s + saved +
                         u" / save on, view "_s + view + u": "_s + rainEpt + u" / again.txt: "_s +
                         QString::fromLatin1(rainPlain) + u" | kept.TXT: an earlier file\r\n"_s +
                         saved);
        };
        const QString failed = u"Save CPT: The CPT could not be saved to DIR/kept.TXT"_s;
        const QString dialog = asked + u" | "_s + namesAsked + u" | "_s + saveDialog;
        const QString cancelled =
            asked + u" | "_s + namesAsked + u" | Save CPT: File not saved. [Ok]"_s;
        save("declined", u"No"_s, u""_s, asked + u" | "_s + notSaved, u"off"_s, u""_s);
        save("without the names, no suffix", u"Yes No"_s, u"rain"_s, dialog, u"on"_s,
             u" | "_s + rainFile);
        save("cancelled at the question", u"Yes Cancel"_s, u""_s, cancelled, u"on"_s, u""_s);
        save("cancelled in the dialog", u"Yes Yes"_s, u""_s, dialog, u"on"_s, u""_s);
        save("a read-only file", u"Yes Yes"_s, u"kept.TXT"_s,
             dialog + u" | "_s + failed + u".\rThe file is read-only. [Ok]"_s, u"on"_s, u""_s);
        // The state-3 weights are not bounded, so an interpolated row can leave 0..100.
        const QString wide = u"80 10 10 10 10 80 50 25 25 70 30 0 70 30 0"_s;
        stepsRow("out of range",
                 u"open 3 N2 N2 N2; cells "_s + wide +
                     u"; answer Ok No; click CommandCalcCPT; show dialogs; show files; show "
                     "state"_s,
                 u"Calculate CPT: Some probabilities of the CPT are below 0 or above 1, the first "
                 "in CPT row 4.\rCheck the EPT entries of the child's states 2 and 3. [Ok] | "_s +
                     asked + u" | "_s + notSaved + u" /  / save on, view off: "_s + wide);

        // A file that cannot be shown is refused with a message, and no viewer opens. A pipe is
        // never opened.
        const auto view = [&cancelled](const char *name, const QString &made,
                                       const QString &shown) {
            stepsRow(name,
                     u"open rain; cells "_s + rainEpt +
                         u"; answer Yes Cancel; click CommandCalcCPT; show dialogs; "_s + made +
                         u"click CommandViewFile; show dialogs; show state"_s,
                     cancelled + u" / open Text files (*.TXT)|*.TXT"_s + shown +
                         u" / save on, view on: "_s + rainEpt);
        };
        const QString notOpened =
            u" | View CPT file: The file DIR/file.TXT could not be opened.\r"_s;
        view("cancelled", u""_s, u""_s);
        view("missing file", u"file file.TXT; "_s, notOpened + u"No such file or directory [Ok]"_s);
        view("a pipe nobody writes to", u"fifo file.TXT; file file.TXT; "_s,
             notOpened + u"It is not a regular file. [Ok]"_s);
    }
    void steps()
    {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        QStringList came;
        const MoreSteps more = [&](QWidget *, const QString &step) -> std::optional<QString> {
            const QString verb = step.section(u' ', 0, 0);
            const QString rest = step.section(u' ', 1);
            const QByteArray name = QFile::encodeName(path(rest));
            if (verb == u"clip"_s) {
                QGuiApplication::clipboard()->setText(rest);
            } else if (verb == u"select"_s) {
                child<QLineEdit>(form.get(), rest)->setFocus();
                child<QLineEdit>(form.get(), rest)->selectAll();
            } else if (verb == u"readonly"_s) {
                if (!writeFile(path(rest), "an earlier file\r\n") ||
                    ::chmod(name.constData(), 0440))
                    return u"not made / "_s;
            } else if (verb == u"fifo"_s) {
                if (::mkfifo(name.constData(), 0600) != 0)
                    return u"not made / "_s;
            } else if (verb == u"show"_s) {
                return look(rest) + u" / "_s;
            } else {
                return script->step(step, folder->path());
            }
            return QString();
        };
        for (const QString &step : stepsOf(steps)) {
            if (step.startsWith(u"open "_s))
                open(step.mid(5));
            else if (const QString modal = act(form.get(), step, more); !modal.isEmpty())
                came << modal.chopped(3);
        }
        QCOMPARE(came.join(u" / "_s).replace(folder->path(), u"DIR"_s), seen);
    }

    // The whole road with the real message boxes and file dialogs: names in é, ß, Ω and 中
    // typed into the main window and both dialogs; the CPT calculated and saved with the names,
    // and the file viewed. The file is UTF-8, every field of 10 characters padded by characters.
    void wholeRoadThroughTheWindows()
    {
        problem().initialise();
        MainForm main;
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        act(&main,
            childSteps(u"Ωmega中ßéé1"_s, {u"Éé中"_s, u"ßchwachΩ中é"_s}) +
                parentSteps(1, u"Wind中"_s, u"Modifying"_s, {u"Starkéß"_s, u"Ωeak"_s}) +
                parentSteps(2, u"Temp中éßΩ12"_s, u"Non-modifying"_s, {u"Heiß"_s, u"Kälte中"_s}));
        script.reset();
        // "headings": the EPT window's; "road": a file dialog's filters (and " Aa" if it minded
        // the case of names), answered with the file; "viewed": what the viewer shows.
        const MoreSteps more = [this](QWidget *window, const QString &step) {
            QStringList seen;
            auto *dialog = qobject_cast<QFileDialog *>(window);
            if (step == u"headings"_s) {
                auto *grid = child<QTableWidget>(window, "GridEPT");
                seen << grid->horizontalHeaderItem(0)->text() << grid->item(0, 0)->text()
                     << grid->item(1, 0)->text();
                for (const QLabel *label : window->findChildren<QLabel *>())
                    if (label->isVisible() && !label->objectName().startsWith(u"LabelTotal"_s))
                        seen << label->text();
            } else if (step == u"road"_s && dialog) {
                seen << dialog->nameFilters().join(u';') +
                            (dialog->filter() & QDir::CaseSensitive ? u" Aa"_s : u""_s);
                child<QLineEdit>(dialog, "fileNameEdit")->setText(path(u"road.TXT"_s));
                click(dialog->findChild<QDialogButtonBox *>()->buttons().constFirst());
            } else if (step == u"viewed"_s) {
                QAccessibleTextInterface *text =
                    QAccessible::queryAccessibleInterface(
                        child<QAbstractScrollArea>(window, "TextViewCpt"))
                        ->textInterface();
                seen << text->text(0, text->characterCount());
            } else {
                return std::optional<QString>();
            }
            return std::optional(seen.join(u'|') + u" / "_s);
        };
        const QString labelled = QString::fromUtf8(
            contentsOf(QStringLiteral(VADAZAZ_TESTDATA) + u"/road-labelled.TXT"_s));
        QCOMPARE(act(&main,
                     u"click CommandEditEPT [headings; cells "_s + rainEpt +
                         u"; click CommandCalcCPT Yes Yes [road]; click CommandViewFile [road] "
                         "[viewed; click CommandOK]; click CommandCancel]"_s,
                     more),
                 u"FormEPT / Temp中éßΩ12|Heiß|Kälte中|Wind中:|Starkéß|Ωeak|Ωmega中ßéé1:|Éé中|ßchwa|"
                 "Éé中|ßchwa / Calculate CPT: CPT calculated successfully.\nDo you want to save "
                 "the CPT? [No Yes] / Save CPT: "_s +
                     withNames +
                     u" [Cancel No Yes] / QFileDialog / Text files (*.TXT) / QFileDialog / Text "
                     "files (*.TXT) / FormViewCptFile / "_s +
                     QString(labelled).replace(u"\r\n"_s, u"\n"_s).chopped(1) + u" / "_s);
        QCOMPARE(look(u"files"_s), u"road.TXT: "_s + labelled);
    }
};

VADAZAZ_GUI_TEST_MAIN(FormEptTest)
#include "form_ept_test.moc"
