#include "ept/form_ept.h"

#include "output/cpt_file.h"
#include "output/viewer_text.h"
#include "testing/gui_driver.h"
#include "testing/main_form_driver.h"
#include "testing/sample_problems.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_main.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
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

namespace {

const QString calculated =
    QStringLiteral("CPT calculated successfully.\rDo you want to save the CPT?");
const QString withNames = QStringLiteral(
    "Do you want to save the parent state names with the conditional probabilities?");
const QStringList rainEpt = {QStringLiteral("90 10 40 60"), QStringLiteral("70 30 5 95")};

// Puts the problem in the store with its EPT shape, as "Edit EPT" does before it opens the window.
void useProblem(Problem p)
{
    p.eptShape = deriveEptShape(p);
    problem() = std::move(p);
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "(missing)";
    return file.readAll();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
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

} // namespace

class FormEptTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedDialogs> script;
    std::unique_ptr<FormEPT> form;
    std::unique_ptr<QTemporaryDir> folder;

    QString path(const char *name) const { return folder->filePath(QString::fromUtf8(name)); }
    QPushButton *button(const char *name) const { return child<QPushButton>(form.get(), name); }
    QLineEdit *field(int n) const
    {
        return child<QLineEdit>(form.get(), QStringLiteral("Text%1").arg(n));
    }
    void open()
    {
        form = std::make_unique<FormEPT>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    // Types the rows of figures, blank-separated, into the text fields row by row.
    void fill(const QStringList &rows)
    {
        int n = 1;
        for (const QString &row : rows)
            for (const QString &figure : row.split(QLatin1Char(' ')))
                typeInto(field(n++), figure == QStringLiteral("_") ? QString() : figure);
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

    void singleParentLayout()
    {
        // One Non-modifying parent of 2 states, nothing else.
        Problem p = problemOf(2, QStringLiteral("N2 N2"));
        EptShape shape;
        shape.nonModParents = {1};
        shape.eptRows = 2;
        shape.eptCols = 2;
        const EptWindowLayout layout = eptWindowLayout(p, shape);
        QCOMPARE(layout.dataWidth, 1.9);
        QCOMPARE(layout.tableWidth, 2.6f);
        QVERIFY(qAbs(layout.headingHeight - 0.62) < 1e-9);
        QVERIFY(qAbs(layout.table.left() - 0.2) < 0.005);
        QVERIFY(qAbs(layout.table.top() - 0.82) < 0.005);
        QVERIFY(qAbs(layout.table.width() - 2.6) < 0.005);
        QVERIFY(qAbs(layout.table.height() - 14.1) < 0.005);
        QCOMPARE(layout.tableFormat, "<P1");
        QCOMPARE(layout.tableCells, QList<QStringList>({{"P1s1"}, {"P1s2"}}));

        const auto at = [&](const QString &name) {
            for (const auto &item : layout.labels + layout.textFields)
                if (item.name == name)
                    return item;
            qFatal("%s not laid out", qPrintable(name));
        };
        const auto near = [](const QRectF &place, double left, double top, double width) {
            return qAbs(place.left() - left) < 0.005 && qAbs(place.top() - top) < 0.005 &&
                   qAbs(place.width() - width) < 0.005 && qAbs(place.height() - 0.42) < 0.005;
        };
        QVERIFY(near(at("LabelChildName").place, 0.7, 0.2, 1.9));
        QCOMPARE(at("LabelChildName").text, "Child:");
        QVERIFY(near(at("LabelChild1").place, 3.0, 0.2, 0.85));
        QVERIFY(near(at("LabelChild2").place, 4.05, 0.2, 0.85));
        QVERIFY(near(at("Text1").place, 3.0, 1.32, 0.85));
        QVERIFY(near(at("Text4").place, 4.05, 1.74, 0.85));
        QCOMPARE(layout.labels.size(), 3);
        QCOMPARE(layout.textFields.size(), 4);
    }

    void layoutEdgeCases_data()
    {
        QTest::addColumn<int>("childStates");
        QTest::addColumn<QString>("parents");
        QTest::addColumn<double>("dataWidth");
        QTest::addColumn<double>("tableWidth");
        QTest::addColumn<double>("tableTop");
        QTest::addColumn<double>("childLineTop");
        QTest::addColumn<QList<double>>("blockLefts"); // of Modifying parent 1's state labels
        QTest::newRow("seven Non-modifying parents, 12 columns")
            << 3 << "M2 M2 N2 N2 N2 N2 N2 N2 N2" << 12.4 << 7.7 << 1.66 << 1.04
            << QList<double>{8.1, 11.25, 14.4, 17.55};
        QTest::newRow("two Modifying parents")
            << 2 << "M2 N2 M2" << 8.2 << 2.6 << 1.66 << 1.04 << QList<double>{3.0, 5.1, 7.2, 9.3};
        QTest::newRow("a three-state Modifying parent")
            << 2 << "N2 M3" << 6.1 << 2.6 << 1.24 << 0.62 << QList<double>{3.0, 5.1, 7.2};
        QTest::newRow("three Non-modifying parents, no Modifying one")
            << 3 << "N3 N2 N2" << 2.95 << 7.8 << 0.82 << 0.2 << QList<double>{};
    }
    void layoutEdgeCases()
    {
        QFETCH(int, childStates);
        QFETCH(QString, parents);
        QFETCH(double, dataWidth);
        QFETCH(double, tableWidth);
        QFETCH(double, tableTop);
        QFETCH(double, childLineTop);
        QFETCH(QList<double>, blockLefts);
        const Problem p = problemOf(childStates, parents);
        const EptShape shape = deriveEptShape(p);
        const EptWindowLayout layout = eptWindowLayout(p, shape);
        QVERIFY(qAbs(layout.dataWidth - dataWidth) < 0.005);
        QVERIFY(qAbs(layout.tableWidth - tableWidth) < 0.005);
        QVERIFY(qAbs(layout.table.top() - tableTop) < 0.005);
        // The EPT columns never reach past the usable width, and the name labels never start
        // left of 0.7 cm.
        QVERIFY(layout.columnLeft(shape.eptCols) + 0.85 <= 20.5 + 0.005);
        QVERIFY(layout.tableWidth - 1.9 >= 0.7 - 0.005);

        QList<double> lefts;
        for (const auto &item : layout.labels) {
            if (item.name.startsWith(QStringLiteral("LabelMPstate1")))
                lefts.append(item.place.left());
            if (item.name.startsWith(QStringLiteral("LabelMPstate")) ||
                item.name.startsWith(QStringLiteral("labelMPname"))) {
                const int j = item.name.startsWith(QStringLiteral("labelMPname"))
                                  ? item.name.mid(11).toInt()
                                  : item.name.mid(12, 1).toInt();
                QVERIFY(qAbs(item.place.top() - (0.2 + 0.42 * (j - 1))) < 0.005);
                QVERIFY(qAbs(item.place.width() - 1.9) < 0.005);
            }
            if (item.name.startsWith(QStringLiteral("LabelChild")))
                QVERIFY2(qAbs(item.place.top() - childLineTop) < 0.005, qPrintable(item.name));
        }
        QCOMPARE(lefts.size(), blockLefts.size());
        for (qsizetype i = 0; i < lefts.size(); ++i)
            QVERIFY2(qAbs(lefts.at(i) - blockLefts.at(i)) < 0.005, qPrintable(QString::number(i)));
        // Text fields: rows 0.42 cm apart, starting 0.5 cm below the table's top.
        for (const auto &item : layout.textFields) {
            const int n = item.name.mid(4).toInt();
            const int r = (n - 1) / shape.eptCols + 1;
            const int c = (n - 1) % shape.eptCols + 1;
            QVERIFY(qAbs(item.place.top() - (tableTop + 0.5 + 0.42 * (r - 1))) < 0.005);
            QVERIFY(qAbs(item.place.left() - (tableWidth + 0.4 + 1.05 * (c - 1))) < 0.005);
        }
    }

    void labelsNameTheColumns()
    {
        Problem p = problemOf(2, QStringLiteral("M2 N2 M3"));
        p.childStateName(1) = QStringLiteral("Flooding");
        p.childStateName(2) = QStringLiteral("Dry");
        const EptShape shape = deriveEptShape(p);
        const EptWindowLayout layout = eptWindowLayout(p, shape);
        QStringList names;
        QStringList texts;
        for (const auto &item : layout.labels) {
            names.append(item.name);
            texts.append(item.text);
        }
        QCOMPARE(names, QStringList(
                            {"labelMPname1",   "labelMPname2",   "LabelMPstate11", "LabelMPstate12",
                             "LabelMPstate13", "LabelMPstate14", "LabelMPstate15", "LabelMPstate16",
                             "LabelMPstate21", "LabelMPstate22", "LabelMPstate23", "LabelMPstate24",
                             "LabelMPstate25", "LabelMPstate26", "LabelChildName", "LabelChild1",
                             "LabelChild2",    "LabelChild3",    "LabelChild4",    "LabelChild5",
                             "LabelChild6",    "LabelChild7",    "LabelChild8",    "LabelChild9",
                             "LabelChild10",   "LabelChild11",   "LabelChild12"}));
        // The last Modifying parent changes fastest; an eight-letter state shows five letters.
        QCOMPARE(texts, QStringList({"P1:",    "P3:",   "P1s1",  "P1s1",  "P1s1",  "P1s2",  "P1s2",
                                     "P1s2",   "P3s1",  "P3s2",  "P3s3",  "P3s1",  "P3s2",  "P3s3",
                                     "Child:", "Flood", "Dry",   "Flood", "Dry",   "Flood", "Dry",
                                     "Flood",  "Dry",   "Flood", "Dry",   "Flood", "Dry"}));
        QCOMPARE(layout.textFields.size(), 12 * 2);
        QCOMPARE(layout.textFields.constFirst().name, "Text1");
        QCOMPARE(layout.textFields.constLast().name, "Text24");
    }

    // --- The window ---

    void fixedParts()
    {
        open();
        QCOMPARE(form->objectName(), "FormEPT");
        QCOMPARE(form->windowTitle(), "Elicited probability table");
        QVERIFY(form->isModal());
        QCOMPARE(form->size(), QSize(772, 543)); // 11580 × 8145 twips
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(form->palette().color(QPalette::Window), QColor(128, 128, 255));
        const struct
        {
            const char *name;
            const char *text;
            QRect place;
            bool enabled;
        } buttons[] = {
            {"CommandCalcCPT", "Calculate CPT", QRect(680, 384, 89, 33), true},
            {"CommandViewFile", "View CPT file", QRect(680, 424, 89, 33), false},
            {"CommandSaveCpt", "Save CPT", QRect(680, 464, 89, 33), false},
            {"CommandCancel", "Cancel", QRect(680, 504, 89, 33), true},
        };
        for (const auto &expected : buttons) {
            QPushButton *b = button(expected.name);
            QCOMPARE(b->text(), expected.text);
            QCOMPARE(b->mapTo(form.get(), QPoint(0, 0)), expected.place.topLeft());
            QCOMPARE(b->size(), expected.place.size());
            QCOMPARE(b->isEnabled(), expected.enabled);
            QCOMPARE(b->font().family(), "Times New Roman");
            QCOMPARE(b->font().pointSizeF(), 9.75);
            QCOMPARE(b->font().weight(), QFont::Normal);
            QCOMPARE(b->palette().color(QPalette::Button), QColor(192, 192, 255));
        }
        // Keyboard order: Calculate, Cancel, View, Save, then the EPT's fields row by row.
        QWidget *next = button("CommandCalcCPT");
        const QStringList order = {"CommandCancel", "CommandViewFile", "CommandSaveCpt", "Text1",
                                   "Text2",         "Text3",           "Text4",          "Text5"};
        for (const QString &name : order) {
            next = next->nextInFocusChain();
            while (next->focusPolicy() == Qt::NoFocus)
                next = next->nextInFocusChain();
            QCOMPARE(next->objectName(), name);
        }
    }

    void builtControlsSitWhereLaidOut()
    {
        Problem p = problemOf(2, QStringLiteral("M2 M2 N3 N2"));
        useProblem(p);
        open();
        const EptWindowLayout &layout = form->windowLayout();
        QWidget *content = form->content();
        const auto checkPlace = [&](QWidget *widget, const QRectF &place) {
            const QRect px = widget->geometry();
            QCOMPARE(widget->parentWidget(), content);
            QCOMPARE(px, centimetresToPixels(place));
            // Whole pixels are within half a pixel of the centimetres.
            QVERIFY(qAbs(pixelsToCentimetres(px.left()) - place.left()) <= 0.0133);
            QVERIFY(qAbs(pixelsToCentimetres(px.top()) - place.top()) <= 0.0133);
        };
        for (const auto &item : layout.labels) {
            auto *label = child<QLabel>(content, item.name);
            checkPlace(label, item.place);
            QCOMPARE(label->text(), item.text);
            QVERIFY(label->isVisible());
            QCOMPARE(label->palette().color(label->backgroundRole()), QColor(128, 128, 255));
        }
        for (const auto &item : layout.textFields) {
            auto *text = child<QLineEdit>(content, item.name);
            checkPlace(text, item.place);
            QVERIFY(text->text().isEmpty());
            QVERIFY(text->isVisible());
        }
        QCOMPARE(layout.textFields.size(), 5 * 8);

        auto *grid = child<QTableWidget>(content, "GridEPT");
        checkPlace(grid, layout.table);
        QCOMPARE(grid->rowCount(), 5);
        QCOMPARE(grid->columnCount(), 2);
        QCOMPARE(grid->property("formatString").toString(), "<P3|<P4");
        QCOMPARE(grid->horizontalHeaderItem(0)->text(), "P3");
        QCOMPARE(grid->horizontalHeaderItem(1)->text(), "P4");
        QVERIFY(grid->horizontalHeader()->defaultAlignment() & Qt::AlignLeft);
        QVERIFY(grid->verticalHeader()->isHidden());
        QCOMPARE(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
        QCOMPARE(grid->font().family(), "MS Sans Serif");
        QCOMPARE(grid->font().pointSizeF(), 8.0);
        const QStringList rows[] = {{"P3s1", "P4s1"},
                                    {"P3s3", "P4s2"},
                                    {"P3s2", "P4s1"},
                                    {"P3s3", "P4s1"},
                                    {"P3s1", "P4s2"}};
        for (int r = 0; r < 5; ++r) {
            for (int c = 0; c < 2; ++c)
                QCOMPARE(grid->item(r, c)->text(), rows[r].at(c));
        }
        QCOMPARE(grid->columnWidth(0), 93); // 1400 twips
        // The heading row is 0.5 cm high, each data row 0.42 cm, and every row heading sits
        // level with the text fields of its EPT row.
        const int headingTop = grid->mapTo(content, QPoint(0, 0)).y() + grid->frameWidth();
        QVERIFY(qAbs(pixelsToCentimetres(grid->horizontalHeader()->height() + headingTop -
                                         grid->geometry().top()) -
                     0.5) < 0.03);
        for (int r = 1; r <= 5; ++r) {
            const int rowTop =
                grid->viewport()->mapTo(content, QPoint(0, grid->rowViewportPosition(r - 1))).y();
            QCOMPARE(rowTop,
                     child<QLineEdit>(content, QStringLiteral("Text%1").arg((r - 1) * 8 + 1))
                         ->geometry()
                         .top());
            QVERIFY(qAbs(pixelsToCentimetres(grid->rowHeight(r - 1)) - 0.42) <
                    pixelsToCentimetres(1));
        }
    }

    void scrollsWhenTheContentIsLarger()
    {
        useProblem(problemOf(3, QStringLiteral("M2 M2 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3 N3")));
        open();
        QCOMPARE(problem().eptShape.eptRows, 26);
        QCOMPARE(problem().eptShape.eptCols, 12);
        auto *area = child<QScrollArea>(form.get(), "ScrollEPT");
        QCOMPARE(form->content()->size(),
                 centimetresToPixels(form->windowLayout().contentArea()).size());
        QVERIFY(area->horizontalScrollBar()->maximum() > 0);
        QVERIFY(area->verticalScrollBar()->maximum() > 0);
        // The buttons stay where they are, beside the scrolling area.
        QVERIFY(area->geometry().right() < button("CommandCalcCPT")->geometry().left());
        // Moving into a field out of sight brings it into sight.
        QLineEdit *last = field(26 * 12);
        last->setFocus();
        area->ensureWidgetVisible(last);
        QVERIFY(area->viewport()->rect().contains(
            last->mapTo(area->viewport(), QPoint(last->width() - 1, last->height() - 1))));
    }

    void cancelAndTheFrameCloseTheWindow()
    {
        open();
        typeInto(field(1), "90");
        click(button("CommandCancel"));
        QVERIFY(!form->isVisible());
        QCOMPARE(form->result(), QDialog::Rejected);

        open();
        QVERIFY(field(1)->text().isEmpty()); // a new window starts from empty fields
        QVERIFY(buttonsAre(false, false));
        QVERIFY(form->close());
        QVERIFY(!form->isVisible());
        QCOMPARE(form->result(), QDialog::Rejected);
        QVERIFY(script->shown.isEmpty());
    }

    // --- Calculate CPT ---

    void refusalsChangeNothing_data()
    {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing entry")
            << QStringList{"90 10 40 60", "70 _ 5 95"} << "Non-numeric or missing entry in row 2.";
        QTest::newRow("range") << QStringList{"90 10 140 -40", "70 30 5 95"}
                               << "All numbers must be between 0 and 100 inclusive.\rSee row 1.";
        QTest::newRow("row total") << QStringList{"90 10 40 60", "70 30 5 90"}
                                   << "Sum of child state probabilities is not 100 in row 2.";
        QTest::newRow("rows 1 and 2 in order")
            << QStringList{"90 10 40 60", "90 10 5 95"}
            << "The probabilities in the EPT are not logical!\r\rIn column 1, the child "
               "probability in most positive row of the EPT (row 1)\rmust be greater than that "
               "in the least positive row (row 2).";
        QTest::newRow("blocks in order")
            << QStringList{"40 60 90 10", "5 95 70 30"}
            << "The probabilities in the EPT are not logical!\r\rFor the most positive row of "
               "the EPT (row 1), the child probability in column 3\rmust be less than or equal "
               "to that in column 1.";
    }
    void refusalsChangeNothing()
    {
        QFETCH(QStringList, rows);
        QFETCH(QString, message);
        open();
        // Refused before any calculation: no CPT, both buttons still off.
        fill(rows);
        click(button("CommandCalcCPT"));
        QCOMPARE(messagesOf(*script), QList<Message>({{"Calculate CPT", message}}));
        QCOMPARE(script->last().buttons, QMessageBox::Ok);
        QVERIFY(!form->cpt());
        QVERIFY(buttonsAre(false, false));

        // Refused after one: the earlier CPT and the buttons stay as they were.
        script->shown.clear();
        fill(rainEpt);
        calculate(QMessageBox::No);
        QVERIFY(form->cpt());
        const std::vector<double> earlier = form->cpt()->values;
        QVERIFY(buttonsAre(true, false));
        script->shown.clear();
        fill(rows);
        click(button("CommandCalcCPT"));
        QCOMPARE(messagesOf(*script), QList<Message>({{"Calculate CPT", message}}));
        QVERIFY(form->cpt()->values == earlier);
        QVERIFY(buttonsAre(true, false));
        QString typed = rows.at(1).split(' ').at(1);
        QCOMPARE(field(6)->text(), typed.replace('_', QString()));
    }

    void calculatesAndDeclinesToSave()
    {
        open();
        fill(rainEpt);
        calculate(QMessageBox::No);
        QCOMPARE(messagesOf(*script), QList<Message>({{"Calculate CPT", calculated},
                                                      {"Calculate CPT", "CPT not saved."}}));
        QCOMPARE(script->shown.at(0).buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(script->shown.at(1).buttons, QMessageBox::Ok);
        QVERIFY(buttonsAre(true, false));
        QCOMPARE(form->cpt()->values, std::vector<double>({90, 10, 70, 30, 40, 60, 5, 95}));
        QCOMPARE(form->cellConfiguration().parentOrder, QList<int>({1, 2}));
        QDir dir(folder->path());
        QVERIFY(dir.isEmpty());
    }

    void savesBothLayouts()
    {
        open();
        fill(rainEpt);
        calculate(QMessageBox::Yes, QMessageBox::Yes, path("labelled.TXT"));
        QCOMPARE(contentsOf(path("labelled.TXT")), rainLabelled);
        QCOMPARE(messagesOf(*script),
                 QList<Message>({{"Calculate CPT", calculated}, {"Save CPT", withNames}}));
        QCOMPARE(script->shown.at(1).buttons,
                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(script->last().kind, ShownDialog::SaveDialog);
        QCOMPARE(script->last().filter, "Text files (*.TXT)|*.TXT");
        QVERIFY(buttonsAre(true, true));

        // "Save CPT" writes the same table again, here without the names, and a name without
        // a suffix is used as it is.
        script->shown.clear();
        script->answer(QMessageBox::No);
        script->answerFile(path("plain"));
        click(button("CommandSaveCpt"));
        QCOMPARE(contentsOf(path("plain")), rainPlain);
        QCOMPARE(messagesOf(*script), QList<Message>({{"Save CPT", withNames}}));
        QCOMPARE(contentsOf(path("labelled.TXT")), rainLabelled);

        // Saving over the labelled file replaces it whole.
        script->answer(QMessageBox::No);
        script->answerFile(path("labelled.TXT"));
        click(button("CommandSaveCpt"));
        QCOMPARE(contentsOf(path("labelled.TXT")), rainPlain);
    }

    void cancellingTheWriter()
    {
        open();
        fill(rainEpt);
        // Cancel at the question: "File not saved.", no dialog; "View CPT file" comes on all the
        // same.
        calculate(QMessageBox::Yes, QMessageBox::Cancel);
        QCOMPARE(messagesOf(*script), QList<Message>({{"Calculate CPT", calculated},
                                                      {"Save CPT", withNames},
                                                      {"Save CPT", "File not saved."}}));
        QCOMPARE(script->shown.size(), 3);
        QVERIFY(buttonsAre(true, true));

        // Cancel in the file dialog: nothing written, nothing said.
        script->shown.clear();
        script->answer(QMessageBox::Yes);
        click(button("CommandSaveCpt"));
        QCOMPARE(script->shown.size(), 2);
        QCOMPARE(script->last().kind, ShownDialog::SaveDialog);
        QVERIFY(QDir(folder->path()).isEmpty());
    }

    void saveDoesNotEnableView()
    {
        open();
        fill(rainEpt);
        calculate(QMessageBox::No);
        script->answer(QMessageBox::No);
        script->answerFile(path("plain.txt"));
        click(button("CommandSaveCpt"));
        QCOMPARE(contentsOf(path("plain.txt")), rainPlain);
        QVERIFY(buttonsAre(true, false));
    }

    void outOfRangeWarning()
    {
        // The state-3 weights are not bounded, so an interpolated row can leave 0..100.
        useProblem(problemOf(3, QStringLiteral("N2 N2 N2")));
        open();
        fill({"80 10 10", "10 10 80", "50 25 25", "70 30 0", "70 30 0"});
        script->answer(QMessageBox::Ok);
        calculate(QMessageBox::No);
        const auto warning = vadazaz::outOfRangeWarning(*form->cpt());
        QVERIFY(warning);
        QCOMPARE(warning->title, "Calculate CPT");
        QCOMPARE(form->cpt()->firstOutOfRangeRow, 4);
        QCOMPARE(messagesOf(*script), QList<Message>({*warning,
                                                      {"Calculate CPT", calculated},
                                                      {"Calculate CPT", "CPT not saved."}}));
        QCOMPARE(script->shown.at(0).buttons, QMessageBox::Ok);
        QVERIFY(buttonsAre(true, false));
    }

    void aSecondCalculationIsLikeAFirst()
    {
        const QStringList second = {"60 40 30 70", "10 90 0 100"};
        open();
        fill(second);
        calculate(QMessageBox::No);
        const Cpt fresh = *form->cpt();

        open();
        fill(rainEpt);
        calculate(QMessageBox::No);
        fill(second);
        calculate(QMessageBox::No);
        QVERIFY(form->cpt()->values == fresh.values);
        QCOMPARE(form->cpt()->positionStrides, fresh.positionStrides);
        QCOMPARE(form->cpt()->cptRows, fresh.cptRows);
        script->answer(QMessageBox::No);
        script->answerFile(path("second.txt"));
        click(button("CommandSaveCpt"));
        QCOMPARE(contentsOf(path("second.txt")),
                 QByteArray("0.60\t\t0.40\r\n0.10\t\t0.90\r\n0.30\t\t0.70\r\n0.00\t\t1.00\r\n"));
    }

    void aFailedWriteKeepsEverything_data()
    {
        QTest::addColumn<QString>("target"); // in the test's folder, or a path of its own
        QTest::addColumn<QString>("reason"); // empty: whatever the system says
        QTest::newRow("missing folder") << "missing/cpt.TXT"
                                        << "";
        QTest::newRow("a folder") << "folder"
                                  << "It is a folder.";
        QTest::newRow("below a file") << "kept.TXT/cpt.TXT"
                                      << "";
        QTest::newRow("read-only file") << "kept.TXT"
                                        << "The file is read-only.";
        QTest::newRow("full device") << "/dev/full"
                                     << "No space left on device";
    }
    void aFailedWriteKeepsEverything()
    {
        QFETCH(QString, target);
        QFETCH(QString, reason);
        QVERIFY(QDir(folder->path()).mkpath(QStringLiteral("folder")));
        QVERIFY(writeFile(path("kept.TXT"), "an earlier file\r\n"));
        QVERIFY(QFile::setPermissions(path("kept.TXT"), QFile::ReadOwner | QFile::ReadGroup));
        const QString chosen = QDir(folder->path()).filePath(target);
        const QFileInfo before(chosen);
        open();
        fill(rainEpt);
        calculate(QMessageBox::Yes, QMessageBox::Yes, chosen);
        const QList<Message> messages = messagesOf(*script);
        QCOMPARE(messages.size(), 3);
        QString shown = messages.at(2).text;
        shown = shown.mid(shown.indexOf('\r') + 1);
        QVERIFY(!shown.isEmpty());
        if (!reason.isEmpty())
            QCOMPARE(shown, reason);
        QCOMPARE(messages.at(2).title, "Save CPT");
        QVERIFY(messages.at(2).text.startsWith("The CPT could not be saved to " + chosen + ".\r"));
        QCOMPARE(contentsOf(path("kept.TXT")), "an earlier file\r\n");
        const QFileInfo after(chosen);
        QCOMPARE(after.exists(), before.exists());
        QCOMPARE(after.isFile(), before.isFile()); // the device stays a device
        QVERIFY(QFileInfo(path("folder")).isDir());
        QVERIFY(QDir(path("folder")).isEmpty());
        QVERIFY(buttonsAre(true, true));
        QCOMPARE(form->cpt()->values, std::vector<double>({90, 10, 70, 30, 40, 60, 5, 95}));
        QStringList typed;
        for (int n = 1; n <= 8; ++n)
            typed.append(field(n)->text());
        QCOMPARE(typed.join(' '), rainEpt.join(' '));
        QVERIFY(form->isVisible());

        // The same table can then be saved elsewhere.
        script->answer(QMessageBox::Yes);
        script->answerFile(path("good.TXT"));
        click(button("CommandSaveCpt"));
        QCOMPARE(contentsOf(path("good.TXT")), rainLabelled);
    }

    // --- View CPT file ---

    void viewsASavedFile()
    {
        open();
        fill(rainEpt);
        calculate(QMessageBox::Yes, QMessageBox::Yes, path("rain.TXT"));
        script->shown.clear();
        script->answerFile(path("rain.TXT"));
        QString shown;
        int blocks = 0;
        const bool came = clickAndHandle(button("CommandViewFile"), [&](QWidget *viewer) {
            QCOMPARE(viewer->objectName(), "FormViewCptFile");
            QCOMPARE(QApplication::overrideCursor(), nullptr);
            auto *box = child<QPlainTextEdit>(viewer, "TextViewCpt");
            shown = box->toPlainText();
            blocks = box->document()->blockCount();
            click(child<QPushButton>(viewer, "CommandOK"));
        });
        QVERIFY(came);
        QCOMPARE(script->shown.size(), 1);
        QCOMPARE(script->last().kind, ShownDialog::OpenDialog);
        QCOMPARE(script->last().filter, "Text files (*.TXT)|*.TXT");
        QCOMPARE(viewerText(), QString::fromLatin1(rainLabelled));
        QCOMPARE(shown, QString::fromLatin1(rainLabelled).replace("\r\n", "\n"));
        QCOMPARE(blocks, 7); // header, empty line, four rows, and the place after the last
        QVERIFY(buttonsAre(true, true));
    }

    void viewsOtherFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("LF-only line ends") << QByteArray("one\ntwo\n") << "one\ntwo\n\r\n"
                                           << QStringList{QStringLiteral("one\u2028two\u2028"), ""};
        QTest::newRow("empty file") << QByteArray() << "" << QStringList{""};
        QTest::newRow("no line end at the end") << QByteArray("a\r\nb") << "a\r\nb\r\n"
                                                << QStringList{"a", "b", ""};
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << "a\r\nb\r\n"
                                 << QStringList{"a", "b", ""};
        QTest::newRow("binary with NUL bytes") << QByteArray("\x7f"
                                                             "ELF\0\0\r\n\0",
                                                             9)
                                               << QStringLiteral(u"\x7f"
                                                                 "ELF\0\0\r\n\0\r\n")
                                               << QStringList{QStringLiteral(u"\x7f"
                                                                             "ELF\0\0"),
                                                              QStringLiteral(u"\0"), ""};
        QTest::newRow("not UTF-8")
            << QByteArray("Gr\xfc\xdf"
                          "e\r\n\xe4")
            << QStringLiteral(u"Gr\ufffd\ufffde\r\n\ufffd\r\n")
            << QStringList{QStringLiteral(u"Gr\ufffd\ufffde"), QStringLiteral(u"\ufffd"), ""};
    }
    void viewsOtherFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QVERIFY(writeFile(path("other.txt"), file));
        open();
        fill(rainEpt);
        calculate(QMessageBox::Yes, QMessageBox::Cancel);
        script->answerFile(path("other.txt"));
        QStringList blocks;
        QVERIFY(clickAndHandle(button("CommandViewFile"), [&](QWidget *viewer) {
            auto *box = child<QPlainTextEdit>(viewer, "TextViewCpt");
            for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next())
                blocks.append(b.text());
            viewer->close();
        }));
        QCOMPARE(viewerText(), text);
        QCOMPARE(blocks, lines);
    }

    void viewingCancelledOrRefused_data()
    {
        QTest::addColumn<QString>("name"); // in the test's folder; empty: the dialog is cancelled
        QTest::addColumn<QString>("kind"); // what is made under that name
        QTest::addColumn<qint64>("size");  // of a sparse file
        QTest::newRow("cancelled") << ""
                                   << "" << qint64(0);
        QTest::newRow("missing file") << "nothing.TXT"
                                      << "" << qint64(0);
        QTest::newRow("a folder") << "folder.TXT"
                                  << "folder" << qint64(0);
        QTest::newRow("no read permission") << "locked.TXT"
                                            << "unreadable" << qint64(0);
        QTest::newRow("a pipe nobody writes to") << "pipe.TXT"
                                                 << "fifo" << qint64(0);
        // The viewer's limit is 536870912 bytes (512 MiB).
        QTest::newRow("one byte past the limit") << "past.TXT"
                                                 << "sparse" << qint64(536870912 + 1);
        QTest::newRow("several GiB") << "huge.TXT"
                                     << "sparse" << (qint64(6) << 30);
    }
    void viewingCancelledOrRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(qint64, size);
        const QString chosen = name.isEmpty() ? QString() : folder->filePath(name);
        if (kind == "folder") {
            QVERIFY(QDir().mkdir(chosen));
        } else if (kind == "unreadable") {
            // The superuser reads any file, whatever its permissions say.
            if (geteuid() == 0)
                QSKIP("The superuser may read a file without read permission.");
            QVERIFY(writeFile(chosen, "0.90\t\t0.10\r\n"));
            QVERIFY(QFile::setPermissions(chosen, QFile::WriteOwner));
        } else if (kind == "fifo") {
            QVERIFY(::mkfifo(QFile::encodeName(chosen).constData(), 0600) == 0);
        } else if (kind == "sparse") {
            QFile file(chosen);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(size)); // a hole: no disk space, no time
        }
        open();
        fill(rainEpt);
        calculate(QMessageBox::Yes, QMessageBox::Cancel);
        viewerText() = QStringLiteral("earlier\r\n");
        script->shown.clear();

        if (!chosen.isEmpty())
            script->answerFile(chosen);
        bool viewed = false;
        QPointer<QTimer> waiting = whenModalShown([&viewed](QWidget *viewer) {
            viewed = true;
            viewer->close();
        });
        click(button("CommandViewFile"));
        delete waiting.data();
        QVERIFY(!viewed);
        QCOMPARE(script->shown.first().kind, ShownDialog::OpenDialog);
        const QList<Message> messages = messagesOf(*script);
        if (chosen.isEmpty()) {
            QVERIFY(messages.isEmpty()); // cancelled: nothing at all
        } else if (kind == "sparse") {
            QCOMPARE(messages, QList<Message>({{"Vadazaz", "The specified file is too large."}}));
            QCOMPARE(QFileInfo(chosen).size(), size);
        } else {
            // Not opened: a message naming the file and the reason.
            QCOMPARE(messages.size(), 1);
            QCOMPARE(messages.at(0).title, "View CPT file");
            const QString opening = "The file " + chosen + " could not be opened.\r";
            QVERIFY(messages.at(0).text.startsWith(opening));
            QVERIFY(messages.at(0).text.size() > opening.size());
        }
        QCOMPARE(script->last().buttons,
                 chosen.isEmpty() ? QMessageBox::NoButton : QMessageBox::Ok);
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        // The last text read stays until another file is opened for reading.
        QCOMPARE(viewerText(), kind == "sparse" ? "" : "earlier\r\n");
        QVERIFY(buttonsAre(true, true));
    }

    // --- With the real boxes and file dialogs ---

    void realDialogsEndToEnd()
    {
        script.reset(); // the real message boxes and file dialogs from here on
        open();
        fill(rainEpt);
        const QString saved = path("real.TXT");
        QStringList seen;
        const auto answerBox = [&seen](QWidget *modal, QMessageBox::StandardButton button) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            if (!box) {
                seen.append(QStringLiteral("not a message box: ") +
                            modal->metaObject()->className());
                modal->close();
                return;
            }
            seen.append(box->windowTitle() + QLatin1Char('|') + box->text());
            click(box->button(button));
        };
        const auto chooseFile = [&seen](QWidget *modal, const QString &name) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            if (!dialog) {
                seen.append(QStringLiteral("not a file dialog"));
                modal->close();
                return;
            }
            seen.append(dialog->nameFilters().join(QLatin1Char(';')));
            QVERIFY(!dialog->filter().testFlag(QDir::CaseSensitive));
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(edit);
            edit->setText(name);
            click(dialog->findChild<QDialogButtonBox *>()->button(
                dialog->acceptMode() == QFileDialog::AcceptSave ? QDialogButtonBox::Save
                                                                : QDialogButtonBox::Open));
        };

        // Calculate: "Yes" to saving, "Yes" to the names, then the save dialog.
        whenModalShown([&](QWidget *first) {
            whenModalShown([&](QWidget *second) {
                whenModalShown([&](QWidget *third) { chooseFile(third, saved); });
                answerBox(second, QMessageBox::Yes);
            });
            answerBox(first, QMessageBox::Yes);
        });
        click(button("CommandCalcCPT"));
        QCOMPARE(seen, QStringList({"Calculate CPT|CPT calculated successfully.\nDo you want to "
                                    "save the CPT?",
                                    "Save CPT|" + withNames, "Text files (*.TXT)"}));
        QCOMPARE(contentsOf(saved), rainLabelled);

        // View it: the open dialog, then the viewer.
        seen.clear();
        QString shown;
        whenModalShown([&](QWidget *dialog) {
            whenModalShown([&](QWidget *viewer) {
                shown = child<QPlainTextEdit>(viewer, "TextViewCpt")->toPlainText();
                click(child<QPushButton>(viewer, "CommandOK"));
            });
            chooseFile(dialog, saved);
        });
        click(button("CommandViewFile"));
        QCOMPARE(seen, QStringList({"Text files (*.TXT)"}));
        QCOMPARE(shown, QString::fromLatin1(rainLabelled).replace("\r\n", "\n"));
        QVERIFY(form->isVisible());
    }

    // --- The whole road through the windows ---

    // The child and its states; the Modifying parent 1 and the Non-modifying parent 2, each as
    // its name and then its states; what the EPT window shows; the labelled file.
    void wholeRoadThroughTheWindows_data()
    {
        QTest::addColumn<QStringList>("childNames");
        QTest::addColumn<QStringList>("parent1");
        QTest::addColumn<QStringList>("parent2");
        QTest::addColumn<QStringList>("headings");
        QTest::addColumn<QByteArray>("labelled");
        QTest::newRow("rain") << QStringList{"Rain", "High", "Low"}
                              << QStringList{"Wind", "Strong", "Weak"}
                              << QStringList{"Temp", "Hot", "Cold"}
                              << QStringList{"Temp",  "Hot",  "Cold", "Wind:", "Strong", "Weak",
                                             "Rain:", "High", "Low",  "High",  "Low"}
                              << rainLabelled;
        // UTF-8 in the file, every field of 10 characters padded by characters, not bytes.
        QTest::newRow("names beyond ASCII")
            << QStringList{u"Ωmega中ßéé1"_s, u"Éé中"_s, u"ßchwachΩ中é"_s}
            << QStringList{u"Wind中"_s, u"Starkéß"_s, u"Ωeak"_s}
            << QStringList{u"Temp中éßΩ12"_s, u"Heiß"_s, u"Kälte中"_s}
            << QStringList{u"Temp中éßΩ12"_s, u"Heiß"_s, u"Kälte中"_s,      u"Wind中:"_s,
                           u"Starkéß"_s,     u"Ωeak"_s, u"Ωmega中ßéé1:"_s, u"Éé中"_s,
                           u"ßchwa"_s,       u"Éé中"_s, u"ßchwa"_s}
            << u"Wind中     \tTemp中éßΩ12\tΩmega中ßéé1=Éé中\tΩmega中ßéé1=ßchwachΩ中é\t\r\n"
               "\r\n"
               "Starkéß   \tHeiß      \t0.90           \t0.10\r\n"
               "Starkéß   \tKälte中    \t0.70           \t0.30\r\n"
               "Ωeak      \tHeiß      \t0.40           \t0.60\r\n"
               "Ωeak      \tKälte中    \t0.05           \t0.95\r\n"_s.toUtf8();
    }
    void wholeRoadThroughTheWindows()
    {
        QFETCH(QStringList, childNames);
        QFETCH(QStringList, parent1);
        QFETCH(QStringList, parent2);
        QFETCH(QStringList, headings);
        QFETCH(QByteArray, labelled);
        problem().initialise();
        MainFormDriver main;
        main.enterChildName(childNames.at(0));
        QVERIFY(main.enterChildStates(childNames.mid(1)));
        QVERIFY(main.enterParent(1, parent1.at(0), "Modifying", parent1.mid(1)));
        QVERIFY(main.enterParent(2, parent2.at(0), "Non-modifying", parent2.mid(1)));
        QCOMPARE(main.row(1), QStringList({"Parent 1", parent1.at(0), "Modifying", "2"}));
        QCOMPARE(main.row(2), QStringList({"Parent 2", parent2.at(0), "Non-modifying", "2"}));
        script->shown.clear();

        QString viewed;
        QStringList shownHeadings;
        const bool opened = clickAndHandle(main.button("CommandEditEPT"), [&](QWidget *window) {
            QCOMPARE(window->objectName(), "FormEPT");
            const auto in = [window](const char *name) {
                return child<QPushButton>(window, name);
            };
            auto *grid = child<QTableWidget>(window, "GridEPT");
            shownHeadings << grid->horizontalHeaderItem(0)->text() << grid->item(0, 0)->text()
                          << grid->item(1, 0)->text();
            for (const char *name :
                 {"labelMPname1", "LabelMPstate11", "LabelMPstate12", "LabelChildName",
                  "LabelChild1", "LabelChild2", "LabelChild3", "LabelChild4"})
                shownHeadings << child<QLabel>(window, name)->text();
            int n = 1;
            for (const QString &row : rainEpt)
                for (const QString &figure : row.split(QLatin1Char(' ')))
                    typeInto(child<QLineEdit>(window, QStringLiteral("Text%1").arg(n++)), figure);

            // Calculate, and save with the names.
            script->answer(QMessageBox::Yes);
            script->answer(QMessageBox::Yes);
            script->answerFile(path("road labelled.TXT"));
            click(in("CommandCalcCPT"));
            // Save again, without them.
            script->answer(QMessageBox::No);
            script->answerFile(path("road plain.txt"));
            click(in("CommandSaveCpt"));
            // Read the labelled file back.
            script->answerFile(path("road labelled.TXT"));
            const bool shown = clickAndHandle(in("CommandViewFile"), [&](QWidget *viewer) {
                viewed = child<QPlainTextEdit>(viewer, "TextViewCpt")->toPlainText();
                click(child<QPushButton>(viewer, "CommandOK"));
            });
            QVERIFY(shown);
            click(in("CommandCancel"));
        });
        QVERIFY(opened);
        QCOMPARE(shownHeadings, headings);
        QCOMPARE(messagesOf(*script), QList<Message>({{"Calculate CPT", calculated},
                                                      {"Save CPT", withNames},
                                                      {"Save CPT", withNames}}));
        QCOMPARE(contentsOf(path("road labelled.TXT")), labelled);
        QCOMPARE(contentsOf(path("road plain.txt")), rainPlain);
        QCOMPARE(viewed, QString::fromUtf8(labelled).replace("\r\n", "\n"));

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
