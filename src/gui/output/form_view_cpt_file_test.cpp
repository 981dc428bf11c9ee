#include "gui/output/form_view_cpt_file.h"

#include "testing/gui_driver.h"
#include "testing/test_main.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

namespace {

QAbstractScrollArea *viewOf(const QWidget *viewer)
{
    return child<QAbstractScrollArea>(viewer, "TextViewCpt");
}

QAccessibleTextInterface *textOf(QWidget *view)
{
    return QAccessible::queryAccessibleInterface(view)->textInterface();
}

// What the view shows, as a screen reader reads it: the rows on screen, an LF between them.
QString shown(QWidget *view)
{
    return textOf(view)->text(0, textOf(view)->characterCount());
}

// Where a person points to put the cursor before the character at offset of what is shown, or
// with "after", just past its middle.
QPoint at(QAbstractScrollArea *view, int offset, bool after = false)
{
    const QRect cell = textOf(view)->characterRect(offset);
    const int x = after ? cell.width() / 2 + 2 : 1;
    return view->viewport()->mapFromGlobal(cell.topLeft() + QPoint(x, cell.height() / 2));
}

// Takes the steps: keys ("Shift+Down") and clicks of the mouse at a character shown ("press 3",
// "Shift+press 3", "press 3 after", "drag 9").
void take(QAbstractScrollArea *view, const QStringList &steps)
{
    QWidget *area = view->viewport();
    for (const QString &step : steps) {
        const QStringList words = step.split(u' ');
        if (words.size() > 1) {
            const QPoint to = at(view, words.at(1).toInt(), words.size() > 2);
            const auto shift = step.startsWith(u"Shift"_s) ? Qt::ShiftModifier : Qt::NoModifier;
            QTest::mousePress(area, Qt::LeftButton, shift,
                              words.front() == u"drag"_s ? at(view, 0) : to);
            QTest::mouseMove(area, to);
            QTest::mouseRelease(area, Qt::LeftButton, shift, to);
        } else {
            const QKeyCombination key = QKeySequence::fromString(step)[0];
            QTest::keyClick(view, key.key(), key.keyboardModifiers());
        }
    }
}

} // namespace

class FormViewCptFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void showsTheFileAndTypingChangesNothing()
    {
        const QByteArray file =
            "Wind      \tRain=High\t\r\n\r\nStrong    \t0.90\r\nbin\0ary\r\n"_ba;
        const QString text = u"Wind      \tRain=High\t\n\nStrong    \t0.90\nbin\u2400ary"_s;
        FormViewCptFile viewer{ViewerFile(file)};
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QVERIFY(viewer.isModal());
        QAbstractScrollArea *view = viewOf(&viewer);
        QCOMPARE(shown(view), text);
        QVERIFY(view->font().fixedPitch());
        auto *ok = child<QPushButton>(&viewer, "CommandOK");
        // The view comes first in the keyboard order; Tab leads on to OK.
        viewer.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QCOMPARE(QApplication::focusWidget(), view);
        QTest::keyClick(view, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), ok);

        view->setFocus();
        QTest::keyClicks(view, "typed");
        for (const auto key : {Qt::Key_Return, Qt::Key_Delete, Qt::Key_Backspace})
            QTest::keyClick(view, key, Qt::NoModifier);
        QCOMPARE(shown(view), text);
        // Copied from the context menu; everything copied, NUL bytes as they are in the file.
        take(view, {u"Ctrl+Home"_s, u"Shift+End"_s});
        chooseFromContextMenu(view->viewport(), at(view, 2), u"&Copy"_s);
        QCOMPARE(QApplication::clipboard()->text(), u"Wind      \tRain=High\t"_s);
        chooseFromContextMenu(view->viewport(), at(view, 2), u"Select &All"_s);
        take(view, {u"Ctrl+C"_s});
        QCOMPARE(QApplication::clipboard()->text(),
                 u"Wind      \tRain=High\t\n\nStrong    \t0.90\nbin\0ary"_s);
        click(ok);
        QVERIFY(!viewer.isVisible());
        QCOMPARE(viewer.result(), QDialog::Accepted);
        QCOMPARE(shown(view), QString()); // the file let go of
    }

    // Rows "row 1" to "row 300": the steps taken, then Ctrl+C; and the first row on screen. %1
    // is the row a page down, %2 the first row on screen at the end.
    void movingAndSelecting_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("copied");
        QTest::addColumn<QString>("top");
        const QString first = u"row 1"_s;
        QTest::newRow("End, Shift+Home")
            << QStringList{u"End"_s, u"Shift+Home"_s} << u"row 1"_s << first;
        QTest::newRow("Left at the start stays")
            << QStringList{u"Left"_s, u"Shift+Right"_s} << u"r"_s << first;
        QTest::newRow("Shift+Left past the start of a row")
            << QStringList{u"Down"_s, u"Shift+Left"_s, u"Shift+Left"_s} << u"1\n"_s << first;
        QTest::newRow("the column kept past a shorter row")
            << QStringList{u"Ctrl+Home"_s} + QStringList(9, u"Down"_s) +
                   QStringList{u"End"_s, u"Up"_s, u"Down"_s, u"Shift+Home"_s}
            << u"row 10"_s << first;
        QTest::newRow("Ctrl+End, Shift+Up")
            << QStringList{u"Ctrl+End"_s, u"Shift+Up"_s} << u"\nrow 300"_s << u"row %2"_s;
        QTest::newRow("Ctrl+End, Right stays, Shift+Left")
            << QStringList{u"Ctrl+End"_s, u"Right"_s, u"Shift+Left"_s} << u"0"_s << u"row %2"_s;
        QTest::newRow("Page Down, Shift+Down")
            << QStringList{u"PgDown"_s, u"Shift+Down"_s} << u"row %1\n"_s << u"row %1"_s;
        QTest::newRow("Page Down, Page Up, Shift+Right")
            << QStringList{u"PgDown"_s, u"PgUp"_s, u"Shift+Right"_s} << u"r"_s << first;
        QTest::newRow("dragging the mouse") << QStringList{u"drag 9"_s} << u"row 1\nrow"_s << first;
        QTest::newRow("Shift and a click")
            << QStringList{u"press 3"_s, u"Shift+press 14"_s} << u" 1\nrow 2\nro"_s << first;
        QTest::newRow("a click past the middle of a character")
            << QStringList{u"press 1 after"_s, u"Shift+press 4"_s} << u"w "_s << first;
    }

    void movingAndSelecting()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, copied);
        QFETCH(QString, top);
        QByteArray file;
        for (int r = 1; r <= 300; ++r)
            file += "row " + QByteArray::number(r) + "\r\n";
        FormViewCptFile viewer{ViewerFile(file)};
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QAbstractScrollArea *view = viewOf(&viewer);
        view->setFocus();
        QApplication::clipboard()->clear();
        take(view, steps + QStringList{u"Ctrl+C"_s});
        const int page = view->verticalScrollBar()->pageStep();
        const auto rows = [page](QString text) {
            return text.replace(u"%1"_s, QString::number(1 + page))
                .replace(u"%2"_s, QString::number(301 - page));
        };
        QCOMPARE(QApplication::clipboard()->text(), rows(copied));
        QCOMPARE(shown(view).section(u'\n', 0, 0), rows(top));
    }

    // Whatever the file, its last row is reached at once: Ctrl+End shows it, and the scroll bar
    // reaches every row. A long row scrolls sideways to its end and back.
    void everyRowCanBeReached_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<qsizetype>("rows");
        QTest::addColumn<QString>("last"); // what the rows shown end with after Ctrl+End
        QByteArray million;
        for (int r = 1; r <= 1 << 20; ++r)
            million += "row " + QByteArray::number(r) + "\r\n";
        QTest::newRow("a million rows") << million << qsizetype(1 << 20) << u"\nrow 1048576"_s;
        QTest::newRow("nothing but LFs")
            << QByteArray(1 << 20, '\n') << qsizetype((1 << 20) + 1) << u"\n\n"_s;
        QTest::newRow("one line of 20 MB")
            << "begin"_ba + QByteArray(20 << 20, 'x') + "end"_ba << qsizetype(1) << u"xxend"_s;
    }
    void everyRowCanBeReached()
    {
        QFETCH(QByteArray, file);
        QFETCH(qsizetype, rows);
        QFETCH(QString, last);
        FormViewCptFile viewer{ViewerFile(file)};
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QAbstractScrollArea *view = viewOf(&viewer);
        const QScrollBar *bar = view->verticalScrollBar();
        QCOMPARE(bar->maximum() + bar->pageStep(), std::max<qsizetype>(rows, bar->pageStep()));
        take(view, {u"Ctrl+End"_s});
        QVERIFY(shown(view).endsWith(last));
        QCOMPARE(bar->value(), bar->maximum());
        take(view, {u"Home"_s});
        QVERIFY(shown(view).startsWith(rows == 1 ? u"beginx"_s : u""_s));
    }
};

VADAZAZ_GUI_TEST_MAIN(FormViewCptFileTest)
#include "form_view_cpt_file_test.moc"
