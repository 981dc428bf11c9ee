#include "ept/form_ept.h"

#include "output/viewer_text.h"
#include "testing/files.h"
#include "testing/gui_driver.h"
#include "testing/main_form_driver.h"
#include "testing/sample_problems.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_main.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextBlock>

#include <sys/stat.h>
#include <unistd.h>

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vadazaz::Message)

namespace {

const QString calculated = u"CPT calculated successfully.\rDo you want to save the CPT?"_s;
const QString withNames =
    u"Do you want to save the parent state names with the conditional probabilities?"_s;
const QStringList rainEpt = {u"90 10 40 60"_s, u"70 30 5 95"_s};
const std::vector<double> rainValues = {90, 10, 70, 30, 40, 60, 5, 95};

// Puts the problem in the store with its EPT shape, as "Edit EPT" does before it opens the window.
void useProblem(Problem p)
{
    p.eptShape = deriveEptShape(p);
    problem() = std::move(p);
}

// The message boxes shown, as title and text.
QList<Message> messagesOf(const ScriptedDialogs &script)
{
    QList<Message> messages;
    for (const auto &shown : script.shown)
        if (shown.kind == ShownDialog::MessageBox)
            messages.append({shown.title, shown.text});
    return messages;
}

// The lines of the viewer's box, and the empty place after the last line end.
QStringList blocksOf(const QWidget *viewer)
{
    QStringList blocks;
    const QTextDocument *document = child<QPlainTextEdit>(viewer, "TextViewCpt")->document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        blocks.append(block.text());
    return blocks;
}

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
    void open()
    {
        form = std::make_unique<FormEPT>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    // Types the rows of figures, blank-separated, into the text fields row by row; "_" is none.
    void fill(const QStringList &rows)
    {
        int n = 1;
        for (const QString &row : rows)
            for (const QString &figure : row.split(u' '))
                typeInto(field(n++), figure == u"_"_s ? QString() : figure);
    }
    bool buttonsAre(bool save, bool view) const
    {
        return button("CommandSaveCpt")->isEnabled() == save &&
               button("CommandViewFile")->isEnabled() == view &&
               button("CommandCalcCPT")->isEnabled() && button("CommandCancel")->isEnabled();
    }
    // Calculates, answers the closing question and, on Yes, the writer's question and dialog.
    void calculate(QMessageBox::StandardButton save, QMessageBox::StandardButton names = {},
                   const QString &file = {})
    {
        script->answer(save);
        if (save == QMessageBox::Yes) {
            script->answer(names);
            if (!file.isEmpty())
                script->answerFile(file);
        }
        click(button("CommandCalcCPT"));
    }
    // The rain CPT calculated and not saved, which turns "View CPT file" on.
    void openReadyToView()
    {
        open();
        fill(rainEpt);
        calculate(QMessageBox::Yes, QMessageBox::Cancel);
        script->shown.clear();
    }
    // "Save CPT": the answer to the question about the names, then the file.
    void saveAs(QMessageBox::StandardButton names, const QString &file)
    {
        script->answer(names);
        script->answerFile(file);
        click(button("CommandSaveCpt"));
    }

private Q_SLOTS:
    void init()
    {
        folder = std::make_unique<QTemporaryDir>();
        QVERIFY(folder->isValid());
        script = std::make_unique<ScriptedDialogs>();
        useProblem(rainProblem());
    }
    void cleanup()
    {
        form.reset();
        script.reset();
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    // --- The layout in centimetres ---

    // Every control's place, as "name left top width height" in centimetres to 0.01 cm.
    void layoutEdgeCases_data()
    {
        QTest::addColumn<int>("childStates");
        QTest::addColumn<QString>("parents");
        QTest::addColumn<double>("dataWidth");
        QTest::addColumn<double>("tableWidth");
        QTest::addColumn<double>("tableTop");
        QTest::addColumn<QList<double>>("blockLefts"); // of each Modifying parent's state labels
        QTest::newRow("two columns, the narrowest EPT")
            << 2 << u"N2 N2"_s << 1.9 << 5.2 << 0.82 << QList<double>{};
        QTest::newRow("seven Non-modifying parents, 12 columns")
            << 3 << u"M2 M2 N2 N2 N2 N2 N2 N2 N2"_s << 12.4 << 7.7 << 1.66
            << QList<double>{8.1, 11.25, 14.4, 17.55};
        QTest::newRow("two Modifying parents")
            << 2 << u"M2 N2 M2"_s << 8.2 << 2.6 << 1.66 << QList<double>{3.0, 5.1, 7.2, 9.3};
        QTest::newRow("a three-state Modifying parent")
            << 2 << u"N2 M3"_s << 6.1 << 2.6 << 1.24 << QList<double>{3.0, 5.1, 7.2};
        QTest::newRow("three Non-modifying parents, no Modifying one")
            << 3 << u"N3 N2 N2"_s << 2.95 << 7.8 << 0.82 << QList<double>{};
    }
    void layoutEdgeCases()
    {
        QFETCH(int, childStates);
        QFETCH(QString, parents);
        QFETCH(double, dataWidth);
        QFETCH(double, tableWidth);
        QFETCH(double, tableTop);
        QFETCH(QList<double>, blockLefts);
        const Problem p = problemOf(childStates, parents);
        const EptShape shape = deriveEptShape(p);
        const EptWindowLayout layout = eptWindowLayout(p, shape);
        const auto at = [](const QString &name, const QRectF &r) {
            return QString::asprintf("%s %.2f %.2f %.2f %.2f", qPrintable(name), r.left(), r.top(),
                                     r.width(), r.height());
        };
        QStringList places{at(u"GridEPT"_s, layout.table),
                           QString::number(layout.dataWidth, 'f', 2)};
        for (const auto &item : layout.labels + layout.textFields)
            places << at(item.name, item.place);

        // Lines 0.42 cm apart from 0.2 cm, one for each Modifying parent and then the child's;
        // columns 1.05 cm apart, 0.4 cm right of the table; the fields from 0.5 cm below its top.
        const int mods = shape.noModParents(), cols = shape.eptCols;
        const auto line = [](int k) {
            return 0.2 + 0.42 * (k - 1);
        };
        const auto column = [&](int c) {
            return tableWidth + 0.4 + 1.05 * (c - 1);
        };
        QStringList expected{at(u"GridEPT"_s, {0.2, tableTop, tableWidth, 14.1}),
                             QString::number(dataWidth, 'f', 2)};
        for (int j = 1; j <= mods; ++j)
            expected << at(u"labelMPname%1"_s.arg(j), {tableWidth - 1.9, line(j), 1.9, 0.42});
        for (int j = 1; j <= mods; ++j)
            for (int b = 1; b <= blockLefts.size(); ++b)
                expected << at(u"LabelMPstate%1%2"_s.arg(j).arg(b),
                               {blockLefts.at(b - 1), line(j), 1.9, 0.42});
        expected << at(u"LabelChildName"_s, {tableWidth - 1.9, line(mods + 1), 1.9, 0.42});
        for (int c = 1; c <= cols; ++c)
            expected << at(u"LabelChild%1"_s.arg(c), {column(c), line(mods + 1), 0.85, 0.42});
        for (int r = 1; r <= shape.eptRows; ++r)
            for (int c = 1; c <= cols; ++c)
                expected << at(u"Text%1"_s.arg((r - 1) * cols + c),
                               {column(c), tableTop + 0.5 + 0.42 * (r - 1), 0.85, 0.42});
        QCOMPARE(places, expected);
        // The EPT never reaches past the usable width, the name labels never start left of 0.7 cm.
        QVERIFY(column(cols) + 0.85 <= 20.5 + 0.005);
        QVERIFY(tableWidth - 1.9 >= 0.7 - 0.005);
    }

    // The last Modifying parent changes fastest; an eight-letter state shows five letters.
    void labelsNameTheColumns()
    {
        Problem p = problemOf(2, u"M2 N2 M3"_s);
        p.childStateName(1) = u"Flooding"_s;
        p.childStateName(2) = u"Dry"_s;
        QStringList labels;
        for (const auto &item : eptWindowLayout(p, deriveEptShape(p)).labels)
            labels << item.name + u'=' + item.text;
        QCOMPARE(labels.join(u' '),
                 "labelMPname1=P1: labelMPname2=P3: LabelMPstate11=P1s1 LabelMPstate12=P1s1 "
                 "LabelMPstate13=P1s1 LabelMPstate14=P1s2 LabelMPstate15=P1s2 LabelMPstate16=P1s2 "
                 "LabelMPstate21=P3s1 LabelMPstate22=P3s2 LabelMPstate23=P3s3 LabelMPstate24=P3s1 "
                 "LabelMPstate25=P3s2 LabelMPstate26=P3s3 LabelChildName=Child: "
                 "LabelChild1=Flood LabelChild2=Dry LabelChild3=Flood LabelChild4=Dry "
                 "LabelChild5=Flood LabelChild6=Dry LabelChild7=Flood LabelChild8=Dry "
                 "LabelChild9=Flood LabelChild10=Dry LabelChild11=Flood LabelChild12=Dry");
    }

    // --- The window ---

    void fixedParts()
    {
        open();
        QCOMPARE(form->windowTitle(), "Elicited probability table");
        QVERIFY(form->isModal());
        QCOMPARE(form->size(), QSize(772, 543)); // 11580 × 8145 twips
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QStringList buttons;
        for (const char *name :
             {"CommandCalcCPT", "CommandViewFile", "CommandSaveCpt", "CommandCancel"}) {
            const QPushButton *b = button(name);
            const QRect place(b->mapTo(form.get(), QPoint(0, 0)), b->size());
            buttons << u"%1 at %2,%3 %4x%5 %6"_s.arg(b->text())
                           .arg(place.left())
                           .arg(place.top())
                           .arg(place.width())
                           .arg(place.height())
                           .arg(b->isEnabled() ? u"on"_s : u"off"_s);
            QCOMPARE(b->font().family(), "Times New Roman");
        }
        QCOMPARE(
            buttons,
            QStringList({"Calculate CPT at 680,384 89x33 on", "View CPT file at 680,424 89x33 off",
                         "Save CPT at 680,464 89x33 off", "Cancel at 680,504 89x33 on"}));
        // Keyboard order: Calculate, Cancel, View, Save, then the EPT's fields row by row.
        QWidget *next = button("CommandCalcCPT");
        for (const QString &name : {u"CommandCancel"_s, u"CommandViewFile"_s, u"CommandSaveCpt"_s,
                                    u"Text1"_s, u"Text2"_s, u"Text3"_s, u"Text4"_s, u"Text5"_s}) {
            do
                next = next->nextInFocusChain();
            while (next->focusPolicy() == Qt::NoFocus);
            QCOMPARE(next->objectName(), name);
        }
    }

    void builtControlsSitWhereLaidOut()
    {
        useProblem(problemOf(2, u"M2 M2 N3 N2"_s));
        open();
        const EptWindowLayout &layout = form->windowLayout();
        QWidget *content = form->content();
        auto *grid = child<QTableWidget>(content, "GridEPT");
        // Each control at its place in whole pixels, within half a pixel of the centimetres.
        QStringList wrong;
        for (const auto &item : layout.labels + layout.textFields +
                                    QList<EptLayoutItem>{{u"GridEPT"_s, layout.table, {}}}) {
            const QWidget *widget = child<QWidget>(content, item.name);
            const QRect px = widget->geometry();
            if (widget->parentWidget() != content || px != centimetresToPixels(item.place) ||
                qAbs(pixelsToCentimetres(px.left()) - item.place.left()) > 0.0133 ||
                qAbs(pixelsToCentimetres(px.top()) - item.place.top()) > 0.0133 ||
                !widget->isVisible() || widget->property("text").toString() != item.text)
                wrong << item.name;
        }
        QCOMPARE(wrong, QStringList());

        QStringList rows;
        for (int r = 0; r < grid->rowCount(); ++r)
            rows << grid->item(r, 0)->text() + u' ' + grid->item(r, 1)->text();
        QCOMPARE(rows.join(u'|'), "P3s1 P4s1|P3s3 P4s2|P3s2 P4s1|P3s3 P4s1|P3s1 P4s2");
        QCOMPARE(grid->columnCount(), 2);
        QCOMPARE(grid->horizontalHeaderItem(0)->text() + u' ' +
                     grid->horizontalHeaderItem(1)->text(),
                 "P3 P4");
        QCOMPARE(grid->property("formatString").toString(), "<P3|<P4");
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(grid->columnWidth(0), 93); // 1400 twips
        // Every row 0.42 cm high and level with the text fields of its EPT row; the heading row
        // fills the 0.5 cm above the first.
        for (int r = 1; r <= 5; ++r) {
            QCOMPARE(
                grid->viewport()->mapTo(content, QPoint(0, grid->rowViewportPosition(r - 1))).y(),
                field((r - 1) * 8 + 1)->geometry().top());
            QVERIFY(qAbs(pixelsToCentimetres(grid->rowHeight(r - 1)) - 0.42) <
                    pixelsToCentimetres(1));
        }
    }

    void scrollsWhenTheContentIsLarger()
    {
        useProblem(problemOf(3, u"M2 M2 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3"_s));
        open();
        auto *area = child<QScrollArea>(form.get(), "ScrollEPT");
        QCOMPARE(form->content()->size(),
                 centimetresToPixels(form->windowLayout().contentArea()).size());
        QVERIFY(area->horizontalScrollBar()->maximum() > 0);
        QVERIFY(area->verticalScrollBar()->maximum() > 0);
        // The buttons stay where they are, beside the scrolling area.
        QVERIFY(area->geometry().right() < button("CommandCalcCPT")->geometry().left());
    }

    // --- Calculate CPT ---

    void refusalsChangeNothing_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing entry") << QStringList{"90 10 40 60", "70 _ 5 95"}
                                       << u"Non-numeric or missing entry in row 2."_s;
        QTest::newRow("blocks in order")
            << QStringList{"40 60 90 10", "5 95 70 30"}
            << u"The probabilities in the EPT are not logical!\r\rFor the most positive row of "
               "the EPT (row 1), the child probability in column 3\rmust be less than or equal "
               "to that in column 1."_s;
    }
    void refusalsChangeNothing()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, message);
        // Refused before any calculation: no CPT, both buttons still off.
        open();
        fill(rows);
        click(button("CommandCalcCPT"));
        QCOMPARE(messagesOf(*script), QList<Message>({{"Calculate CPT", message}}));
        QCOMPARE(script->last().buttons, QMessageBox::Ok);
        QVERIFY(!form->cpt());
        QVERIFY(buttonsAre(false, false));
        // Refused after one: the earlier CPT, the buttons and the typed figures stay.
        fill(rainEpt);
        calculate(QMessageBox::No);
        fill(rows);
        script->shown.clear();
        click(button("CommandCalcCPT"));
        QCOMPARE(messagesOf(*script), QList<Message>({{"Calculate CPT", message}}));
        QCOMPARE(form->cpt()->values, rainValues);
        QVERIFY(buttonsAre(true, false));
        QCOMPARE(field(6)->text(), QString(rows.at(1).split(u' ').at(1)).remove(u'_'));
    }

    // Calculating, answering each question, then saving again without the names: "View CPT
    // file" comes on with the answer Yes to saving, however the saving ends.
    void calculateAndSave_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("save");
        QTest::addColumn<QMessageBox::StandardButton>("names");
        QTest::addColumn<QString>("file"); // chosen in the dialog; empty: cancelled
        QTest::addColumn<QList<Message>>("messages");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<bool>("view");
        const Message asked{u"Calculate CPT"_s, calculated}, names{u"Save CPT"_s, withNames};
        QTest::newRow("declined") << QMessageBox::No << QMessageBox::NoButton << QString()
                                  << QList<Message>{asked,
                                                    {u"Calculate CPT"_s, u"CPT not saved."_s}}
                                  << QByteArray() << false;
        QTest::newRow("without them, a name without suffix")
            << QMessageBox::Yes << QMessageBox::No << u"rain"_s << QList<Message>{asked, names}
            << rainPlain << true;
        QTest::newRow("cancelled at the question")
            << QMessageBox::Yes << QMessageBox::Cancel << QString()
            << QList<Message>{asked, names, {u"Save CPT"_s, u"File not saved."_s}} << QByteArray()
            << true;
        QTest::newRow("cancelled in the file dialog")
            << QMessageBox::Yes << QMessageBox::Yes << QString() << QList<Message>{asked, names}
            << QByteArray() << true;
    }
    void calculateAndSave()
    {
        QFETCH(QMessageBox::StandardButton, save);
        QFETCH(QMessageBox::StandardButton, names);
        QFETCH(QString, file);
        QFETCH(QList<Message>, messages);
        QFETCH(QByteArray, written);
        QFETCH(bool, view);
        open();
        fill(rainEpt);
        calculate(save, names, file.isEmpty() ? QString() : path(file));
        QCOMPARE(messagesOf(*script), messages);
        QCOMPARE(script->shown.at(0).buttons, QMessageBox::Yes | QMessageBox::No);
        if (save == QMessageBox::Yes)
            QCOMPARE(script->shown.at(1).buttons,
                     QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        // The save dialog comes last, if at all.
        QCOMPARE(script->last().kind == ShownDialog::SaveDialog ? script->last().filter : QString(),
                 save == QMessageBox::Yes && names != QMessageBox::Cancel
                     ? "Text files (*.TXT)|*.TXT"
                     : "");
        QCOMPARE(QDir(folder->path()).entryList(QDir::Files),
                 file.isEmpty() ? QStringList() : QStringList{file});
        if (!file.isEmpty())
            QCOMPARE(contentsOf(path(file)), written);
        QVERIFY(buttonsAre(true, view));

        saveAs(QMessageBox::No, path(u"again.txt"_s));
        QCOMPARE(contentsOf(path(u"again.txt"_s)), rainPlain);
        QVERIFY(buttonsAre(true, view));
    }

    void outOfRangeWarning()
    {
        // The state-3 weights are not bounded, so an interpolated row can leave 0..100.
        useProblem(problemOf(3, u"N2 N2 N2"_s));
        open();
        fill({"80 10 10", "10 10 80", "50 25 25", "70 30 0", "70 30 0"});
        script->answer(QMessageBox::Ok);
        calculate(QMessageBox::No);
        QCOMPARE(form->cpt()->firstOutOfRangeRow, 4);
        const auto warning = vadazaz::outOfRangeWarning(*form->cpt());
        QVERIFY(warning && warning->title == u"Calculate CPT"_s);
        QCOMPARE(messagesOf(*script), QList<Message>({*warning,
                                                      {"Calculate CPT", calculated},
                                                      {"Calculate CPT", "CPT not saved."}}));
        QCOMPARE(script->shown.at(0).buttons, QMessageBox::Ok);
        QVERIFY(buttonsAre(true, false));
    }

    void aSecondCalculationReplacesTheFirst()
    {
        open();
        fill(rainEpt);
        calculate(QMessageBox::No);
        fill({"60 40 30 70", "10 90 0 100"});
        calculate(QMessageBox::No);
        saveAs(QMessageBox::No, path(u"second.txt"_s));
        QCOMPARE(contentsOf(path(u"second.txt"_s)),
                 "0.60\t\t0.40\r\n0.10\t\t0.90\r\n0.30\t\t0.70\r\n0.00\t\t1.00\r\n");
    }

    // The message names the file and the reason; the file, the window and its table stay.
    void aFailedWriteKeepsEverything_data()
    {
        QTest::addColumn<QString>("target"); // in the test's folder, or a path of its own
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only file") << u"kept.TXT"_s << u"The file is read-only."_s;
        QTest::newRow("full device") << u"/dev/full"_s << u"No space left on device"_s;
    }
    void aFailedWriteKeepsEverything()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QVERIFY(writeFile(path(u"kept.TXT"_s), "an earlier file\r\n"));
        QVERIFY(QFile::setPermissions(path(u"kept.TXT"_s), QFile::ReadOwner | QFile::ReadGroup));
        const QString chosen = QDir(folder->path()).filePath(target);
        open();
        fill(rainEpt);
        calculate(QMessageBox::Yes, QMessageBox::Yes, chosen);
        QCOMPARE(messagesOf(*script).value(2),
                 (Message{u"Save CPT"_s,
                          u"The CPT could not be saved to "_s + chosen + u".\r"_s + reason}));
        QCOMPARE(contentsOf(path(u"kept.TXT"_s)), "an earlier file\r\n");
        QCOMPARE(QFileInfo(chosen).isFile(), chosen != u"/dev/full"_s); // a device stays one
        QCOMPARE(QDir(folder->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{u"kept.TXT"_s});
        QVERIFY(buttonsAre(true, true));
        QCOMPARE(QStringList({field(1)->text(), field(8)->text()}), QStringList({"90", "95"}));
        // The same table can then be saved elsewhere.
        saveAs(QMessageBox::Yes, path(u"good.TXT"_s));
        QCOMPARE(contentsOf(path(u"good.TXT"_s)), rainLabelled);
    }

    // --- View CPT file ---

    // The file picked is shown line by line, or refused with a message while the last text read
    // stays; a pipe is never opened, a file past the size limit never read.
    void viewsFiles_data()
    {
        QTest::addColumn<QString>("kind");      // what is made as the file picked
        QTest::addColumn<QByteArray>("bytes");  // its contents, or its size
        QTest::addColumn<QStringList>("lines"); // the viewer's blocks; none: no viewer
        QTest::addColumn<QString>("message");   // %1: the file; ending in CR: a reason follows
        const QString notOpened = u"View CPT file: The file %1 could not be opened.\r"_s;
        const QString tooLarge = u"Vadazaz: The specified file is too large."_s;
        QTest::newRow("a CPT file")
            << u"file"_s << rainLabelled << QString::fromLatin1(rainLabelled).split(u"\r\n"_s)
            << QString();
        QTest::newRow("binary with NUL bytes")
            << u"file"_s << "\177ELF\0\0\r\n\0"_ba << QStringList{u"\177ELF\0\0"_s, u"\0"_s, ""}
            << QString();
        QTest::newRow("cancelled") << u"cancelled"_s << ""_ba << QStringList() << QString();
        QTest::newRow("missing file") << u"missing"_s << ""_ba << QStringList() << notOpened;
        QTest::newRow("a folder") << u"folder"_s << ""_ba << QStringList() << notOpened;
        QTest::newRow("no read permission")
            << u"unreadable"_s << "0.90\t\t0.10\r\n"_ba << QStringList() << notOpened;
        QTest::newRow("a pipe nobody writes to")
            << u"fifo"_s << ""_ba << QStringList() << notOpened + u"It is not a regular file."_s;
        // The viewer's limit is 536870912 bytes (512 MiB).
        QTest::newRow("one byte past the limit")
            << u"sparse"_s << "536870913"_ba << QStringList() << tooLarge;
        QTest::newRow("several GiB") << u"sparse"_s << "6442450944"_ba << QStringList() << tooLarge;
    }
    void viewsFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QFETCH(QString, message);
        const QString chosen = path(u"file.TXT"_s);
        if (kind == u"unreadable"_s && geteuid() == 0)
            QSKIP("The superuser may read a file without read permission.");
        if (kind == u"file"_s || kind == u"unreadable"_s)
            QVERIFY(writeFile(chosen, bytes));
        if (kind == u"unreadable"_s)
            QVERIFY(QFile::setPermissions(chosen, QFile::WriteOwner));
        if (kind == u"folder"_s)
            QVERIFY(QDir().mkdir(chosen));
        if (kind == u"fifo"_s)
            QVERIFY(::mkfifo(QFile::encodeName(chosen).constData(), 0600) == 0);
        QFile sparse(chosen); // a hole: no disk space, no time
        if (kind == u"sparse"_s)
            QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(bytes.toLongLong()));
        openReadyToView();
        viewerText() = u"earlier\r\n"_s;
        if (kind != u"cancelled"_s)
            script->answerFile(chosen);
        QStringList blocks;
        clickAndHandle(button("CommandViewFile"), [&](QWidget *viewer) {
            QCOMPARE(QApplication::overrideCursor(), nullptr);
            blocks = blocksOf(viewer);
            click(child<QPushButton>(viewer, "CommandOK"));
        });
        QCOMPARE(blocks, lines);
        QCOMPARE(script->shown.first().kind, ShownDialog::OpenDialog);
        QCOMPARE(script->shown.first().filter, "Text files (*.TXT)|*.TXT");
        const QList<Message> messages = messagesOf(*script);
        QCOMPARE(messages.size(), message.isEmpty() ? 0 : 1);
        const QString shown =
            messages.isEmpty() ? QString() : messages.at(0).title + u": "_s + messages.at(0).text;
        const QString expected = QString(message).replace(u"%1"_s, chosen);
        // A message that ends in CR goes on with the system's reason.
        QCOMPARE(expected.endsWith(u'\r') ? shown.left(expected.size()) : shown, expected);
        QVERIFY(!expected.endsWith(u'\r') || shown.size() > expected.size());
        QCOMPARE(viewerText(), !lines.isEmpty()
                                   ? lines.join(u"\r\n"_s).replace(QChar::LineSeparator, u'\n')
                               : kind == u"sparse"_s ? u""_s
                                                     : u"earlier\r\n"_s);
        QVERIFY(buttonsAre(true, true));
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

        script.reset();   // the real message boxes and file dialogs from here on
        QStringList seen; // the boxes' titles and texts, the file dialogs' filters
        const auto answer = [&seen](QMessageBox::StandardButton button) -> Step {
            return [&seen, button](QWidget *modal) {
                auto *box = qobject_cast<QMessageBox *>(modal);
                seen << (box ? box->windowTitle() + u'|' + box->text() : u"not a message box"_s);
                if (box)
                    click(box->button(button));
                else
                    modal->close();
            };
        };
        const auto choose = [&seen](const QString &file) -> Step {
            return [&seen, file](QWidget *modal) {
                auto *dialog = qobject_cast<QFileDialog *>(modal);
                if (!dialog) {
                    seen << u"not a file dialog"_s;
                    modal->close();
                    return;
                }
                seen << dialog->nameFilters().join(u';');
                QVERIFY(!dialog->filter().testFlag(QDir::CaseSensitive));
                child<QLineEdit>(dialog, "fileNameEdit")->setText(file);
                click(dialog->findChild<QDialogButtonBox *>()->button(
                    dialog->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                    : QDialogButtonBox::Open));
            };
        };
        const QString labelledFile = path(u"road labelled.TXT"_s);
        const QString plainFile = path(u"road plain.txt"_s);
        QStringList headings;
        QString viewed;
        QVERIFY(clickAndHandle(main.button("CommandEditEPT"), [&](QWidget *window) {
            const auto in = [window](const char *name) {
                return child<QPushButton>(window, name);
            };
            auto *grid = child<QTableWidget>(window, "GridEPT");
            headings << grid->horizontalHeaderItem(0)->text() << grid->item(0, 0)->text()
                     << grid->item(1, 0)->text();
            for (const char *name :
                 {"labelMPname1", "LabelMPstate11", "LabelMPstate12", "LabelChildName",
                  "LabelChild1", "LabelChild2", "LabelChild3", "LabelChild4"})
                headings << child<QLabel>(window, name)->text();
            const QStringList figures = rainEpt.join(u' ').split(u' ');
            for (int n = 1; n <= 8; ++n)
                typeInto(child<QLineEdit>(window, u"Text%1"_s.arg(n)), figures.at(n - 1));

            answerInTurn(
                {answer(QMessageBox::Yes), answer(QMessageBox::Yes), choose(labelledFile)});
            click(in("CommandCalcCPT"));
            answerInTurn({answer(QMessageBox::No), choose(plainFile)});
            click(in("CommandSaveCpt"));
            answerInTurn({choose(labelledFile), [&viewed](QWidget *viewer) {
                              viewed = child<QPlainTextEdit>(viewer, "TextViewCpt")->toPlainText();
                              click(child<QPushButton>(viewer, "CommandOK"));
                          }});
            click(in("CommandViewFile"));
            click(in("CommandCancel"));
        }));
        QCOMPARE(headings, QStringList({u"Temp中éßΩ12"_s, u"Heiß"_s, u"Kälte中"_s, u"Wind中:"_s,
                                        u"Starkéß"_s, u"Ωeak"_s, u"Ωmega中ßéé1:"_s, u"Éé中"_s,
                                        u"ßchwa"_s, u"Éé中"_s, u"ßchwa"_s}));
        const QString filter = u"Text files (*.TXT)"_s;
        QCOMPARE(seen, QStringList({u"Calculate CPT|CPT calculated successfully.\nDo you want to "
                                    "save the CPT?"_s,
                                    u"Save CPT|"_s + withNames, filter, u"Save CPT|"_s + withNames,
                                    filter, filter}));
        const QByteArray labelled =
            u"Wind中     \tTemp中éßΩ12\tΩmega中ßéé1=Éé中\tΩmega中ßéé1=ßchwachΩ中é\t\r\n"
            "\r\n"
            "Starkéß   \tHeiß      \t0.90           \t0.10\r\n"
            "Starkéß   \tKälte中    \t0.70           \t0.30\r\n"
            "Ωeak      \tHeiß      \t0.40           \t0.60\r\n"
            "Ωeak      \tKälte中    \t0.05           \t0.95\r\n"_s.toUtf8();
        QCOMPARE(contentsOf(labelledFile), labelled);
        QCOMPARE(contentsOf(plainFile), rainPlain);
        QCOMPARE(viewed, QString::fromUtf8(labelled).replace(u"\r\n"_s, u"\n"_s));

        // "Edit EPT" again builds a new window: empty fields, "Save CPT" and "View CPT file" off.
        bool fresh = false;
        QVERIFY(clickAndHandle(main.button("CommandEditEPT"), [&](QWidget *window) {
            fresh = child<QLineEdit>(window, "Text1")->text().isEmpty() &&
                    !child<QPushButton>(window, "CommandSaveCpt")->isEnabled() &&
                    !child<QPushButton>(window, "CommandViewFile")->isEnabled();
            window->close();
        }));
        QVERIFY(fresh);
        QVERIFY(main.window.isVisible());
    }
};

VADAZAZ_GUI_TEST_MAIN(FormEptTest)
#include "form_ept_test.moc"
