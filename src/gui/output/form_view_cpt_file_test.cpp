#include "gui/output/form_view_cpt_file.h"

#include "testing/gui_driver.h"
#include "testing/test_main.h"

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

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

// Takes the steps, separated by ", ": keys ("Shift+Down") and clicks of the mouse at a
// character shown ("press 3", "Shift+press 3", "press 3 after", "drag 9").
void take(QAbstractScrollArea *view, const QString &steps)
{
    QWidget *area = view->viewport();
    for (const QString &step : steps.split(u", "_s)) {
        const QStringList words = step.split(u' ');
        if (words.size() > 1) {
            const QPoint to = at(view, words.at(1).toInt(), words.size() > 2);
            const auto shift = step.startsWith(u"Shift"_s) ? Qt::ShiftModifier : Qt::NoModifier;
            QTest::mousePress(area, Qt::LeftButton, shift,
                              words.front() == u"drag"_s ? at(view, 0) : to);
            QTest::mouseMove(area, to);
            QTest::mouseRelease(area, Qt::LeftButton, shift, to);
        } else {
            QTest::keySequence(view, QKeySequence::fromString(step));
        }
    }
}

} // namespace

class FormViewCptFileTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<FormViewCptFile> viewer;

    QAbstractScrollArea *open(const QByteArray &file)
    {
        viewer = std::make_unique<FormViewCptFile>(ViewerFile(file));
        viewer->show();
        if (!QTest::qWaitForWindowExposed(viewer.get()))
            qFatal("The viewer was not shown");
        return child<QAbstractScrollArea>(viewer.get(), "TextViewCpt");
    }

private Q_SLOTS:
    void cleanup() { viewer.reset(); }

    // In a fixed-pitch font, the view taking the keys first; typing changes nothing;
    // copied from the context menu or Ctrl+C, NUL bytes as they are in the file.
    void showsTheFileAndTypingChangesNothing()
    {
        QAbstractScrollArea *view =
            open("Wind      \tRain=High\t\r\n\r\nStrong    \t0.90\r\nbin\0ary\r\n"_ba);
        const QString text = u"Wind      \tRain=High\t\n\nStrong    \t0.90\nbin\u2400ary"_s;
        QCOMPARE(shown(view), text);
        QVERIFY(view->font().fixedPitch());
        viewer->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(viewer.get()));
        QCOMPARE(QApplication::focusWidget(), view);
        QTest::keyClicks(view, "typed");
        take(view, u"Return, Delete, Backspace"_s);
        QCOMPARE(shown(view), text);
        take(view, u"Ctrl+Home, Shift+End"_s);
        chooseFromContextMenu(view->viewport(), at(view, 2), u"&Copy"_s);
        QCOMPARE(QApplication::clipboard()->text(), u"Wind      \tRain=High\t"_s);
        chooseFromContextMenu(view->viewport(), at(view, 2), u"Select &All"_s);
        take(view, u"Ctrl+C"_s);
        QCOMPARE(QApplication::clipboard()->text(),
                 u"Wind      \tRain=High\t\n\nStrong    \t0.90\nbin\0ary"_s);
        click(child<QPushButton>(viewer.get(), "CommandOK"));
        QVERIFY(!viewer->isVisible());
        QCOMPARE(viewer->result(), QDialog::Accepted);
        QCOMPARE(shown(view), QString()); // the file let go of
    }

    // Rows "row 1" to "row 300": the steps taken, then Ctrl+C. %1 is the row a page down, %2 the
    // first row on screen at the end.
    void movingAndSelecting_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("seen"); // what was copied, then the first row on screen
        const QString top = u"|row 1"_s;
        stepsRow("End, Shift+Home", u"End, Shift+Home"_s, u"row 1"_s + top);
        stepsRow("Left at the start stays", u"Left, Shift+Right"_s, u"r"_s + top);
        stepsRow("Shift+Left past the start of a row", u"Down, Shift+Left, Shift+Left"_s,
                 u"1\n"_s + top);
        stepsRow("the column kept past a shorter row",
                 u"Ctrl+Home, Down, Down, Down, Down, Down, Down, Down, Down, Down, End, Up, Down, "
                 "Shift+Home"_s,
                 u"row 10"_s + top);
        stepsRow("Ctrl+End, Shift+Up", u"Ctrl+End, Shift+Up"_s, u"\nrow 300|row %2"_s);
        stepsRow("Ctrl+End, Right stays, Shift+Left", u"Ctrl+End, Right, Shift+Left"_s,
                 u"0|row %2"_s);
        stepsRow("Page Down, Shift+Down", u"PgDown, Shift+Down"_s, u"row %1\n|row %1"_s);
        stepsRow("Page Down, Page Up, Shift+Right", u"PgDown, PgUp, Shift+Right"_s, u"r"_s + top);
        stepsRow("dragging the mouse", u"drag 9"_s, u"row 1\nrow"_s + top);
        stepsRow("Shift and a click", u"press 3, Shift+press 14"_s, u" 1\nrow 2\nro"_s + top);
        stepsRow("a click past the middle of a character", u"press 1 after, Shift+press 4"_s,
                 u"w "_s + top);
    }
    void movingAndSelecting()
    {
        QFETCH(QString, steps);
        QFETCH(QString, seen);
        QByteArray file;
        for (int r = 1; r <= 300; ++r)
            file += "row " + QByteArray::number(r) + "\r\n";
        QAbstractScrollArea *view = open(file);
        view->setFocus();
        QApplication::clipboard()->clear();
        take(view, steps + u", Ctrl+C"_s);
        const int page = view->verticalScrollBar()->pageStep();
        QCOMPARE(QApplication::clipboard()->text() + u'|' + shown(view).section(u'\n', 0, 0),
                 seen.replace(u"%1"_s, QString::number(1 + page))
                     .replace(u"%2"_s, QString::number(301 - page)));
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
        QAbstractScrollArea *view = open(file);
        const QScrollBar *bar = view->verticalScrollBar();
        QCOMPARE(bar->maximum() + bar->pageStep(), std::max<qsizetype>(rows, bar->pageStep()));
        take(view, u"Ctrl+End"_s);
        QVERIFY(shown(view).endsWith(last));
        QCOMPARE(bar->value(), bar->maximum());
        take(view, u"Home"_s);
        QVERIFY(shown(view).startsWith(rows == 1 ? u"beginx"_s : u""_s));
    }
};

VADAZAZ_GUI_TEST_MAIN(FormViewCptFileTest)
#include "form_view_cpt_file_test.moc"
