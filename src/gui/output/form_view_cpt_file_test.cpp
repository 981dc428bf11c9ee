#include "gui/output/form_view_cpt_file.h"

#include "core/output/viewer_text.h"
#include "testing/gui_driver.h"
#include "testing/test_main.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTextBlock>

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

QPlainTextEdit *boxOf(const QWidget *viewer)
{
    return child<QPlainTextEdit>(viewer, "TextViewCpt");
}

} // namespace

class FormViewCptFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { viewerText().clear(); }

    void showsTheTextAndDiscardsWhatIsTyped()
    {
        const QString text = QStringLiteral("Wind      \tRain=High\t\r\n\r\nStrong    \t0.90\r\n");
        const QString shown = QStringLiteral("Wind      \tRain=High\t\n\nStrong    \t0.90\n");
        viewerText() = text;
        {
            FormViewCptFile viewer;
            viewer.show();
            QVERIFY(QTest::qWaitForWindowExposed(&viewer));
            QCOMPARE(viewer.windowTitle(), "View CPT file");
            QVERIFY(viewer.isModal());
            QPlainTextEdit *box = boxOf(&viewer);
            QCOMPARE(box->toPlainText(), shown);
            QCOMPARE(box->document()->blockCount(), 4);
            QCOMPARE(box->lineWrapMode(), QPlainTextEdit::NoWrap);
            QCOMPARE(box->font().family(), "Lucida Console");
            QCOMPARE(box->font().pointSizeF(), 9.75);
            QVERIFY(box->font().fixedPitch());
            auto *ok = child<QPushButton>(&viewer, "CommandOK");
            QCOMPARE(ok->text(), "OK");
            QCOMPARE(ok->font().family(), "Times New Roman");
            // The box comes first in the keyboard order; Tab leads on to OK.
            viewer.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&viewer));
            QCOMPARE(QApplication::focusWidget(), box);
            QTest::keyClick(box, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), ok);

            box->setFocus();
            QTest::keyClicks(box, "typed");
            QVERIFY(box->toPlainText().contains("typed"));
            click(ok);
            QVERIFY(!viewer.isVisible());
            QCOMPARE(viewer.result(), QDialog::Accepted);
        }
        QCOMPARE(viewerText(), text);
        FormViewCptFile again;
        QCOMPARE(boxOf(&again)->toPlainText(), shown);

        // A binary file's NUL bytes are shown, not taken as the end of the text.
        viewerText() = QString::fromUtf8("a\0b\r\nc\r\n", 7);
        FormViewCptFile binary;
        QCOMPARE(boxOf(&binary)->document()->blockCount(), 3);
        QCOMPARE(boxOf(&binary)->document()->lastBlock().previous().text(), "c");
    }

    void manyLinesArriveInPiecesWithoutLosingAny()
    {
        const int lines = int(FormViewCptFile::linesPerPiece) * 2 + 7;
        QString text, shown;
        for (int r = 1; r <= lines; ++r) {
            text += QStringLiteral("row %1\t0.50\r\n").arg(r);
            shown += QStringLiteral("row %1\t0.50\n").arg(r);
        }
        viewerText() = text + QStringLiteral("lone\nLF\r\n");
        {
            // Closed while the pieces are still arriving.
            FormViewCptFile early;
            early.show();
            QVERIFY(early.isLoading());
            click(child<QPushButton>(&early, "CommandOK"));
        }
        QTest::qWait(50);

        FormViewCptFile viewer;
        QVERIFY(viewer.isLoading());
        QPlainTextEdit *box = boxOf(&viewer);
        QCOMPARE(box->document()->blockCount(), int(FormViewCptFile::linesPerPiece) + 1);
        QSignalSpy loaded(&viewer, &FormViewCptFile::loaded);
        viewer.show();
        QVERIFY(loaded.wait(20000));
        QCOMPARE(box->document()->blockCount(), lines + 2);
        QCOMPARE(box->document()->lastBlock().previous().text(), QStringLiteral("lone\u2028LF"));
        QVERIFY(box->toPlainText() == shown + QStringLiteral("lone\nLF\n"));
        // The box starts at the top and can be edited once everything is in it.
        QCOMPARE(box->verticalScrollBar()->value(), 0);
        QVERIFY(box->document()->isUndoRedoEnabled());
    }
};

VADAZAZ_GUI_TEST_MAIN(FormViewCptFileTest)
#include "form_view_cpt_file_test.moc"
