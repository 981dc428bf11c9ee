#include "output/form_view_cpt_file.h"

#include "output/viewer_text.h"
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

QStringList blocksOf(const QPlainTextEdit *box)
{
    QStringList blocks;
    for (QTextBlock block = box->document()->begin(); block.isValid(); block = block.next())
        blocks.append(block.text());
    return blocks;
}

} // namespace

class FormViewCptFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { viewerText().clear(); }

    void showsTheTextInAFixedPitchBox()
    {
        viewerText() = QStringLiteral("Wind      \tRain=High\t\r\n\r\nStrong    \t0.90\r\n");
        FormViewCptFile viewer;
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QCOMPARE(viewer.objectName(), "FormViewCptFile");
        QCOMPARE(viewer.windowTitle(), "View CPT file");
        QVERIFY(viewer.isModal());

        auto *box = child<QPlainTextEdit>(&viewer, "TextViewCpt");
        QCOMPARE(blocksOf(box),
                 QStringList({"Wind      \tRain=High\t", "", "Strong    \t0.90", ""}));
        QCOMPARE(box->toPlainText(), "Wind      \tRain=High\t\n\nStrong    \t0.90\n");
        QCOMPARE(box->lineWrapMode(), QPlainTextEdit::NoWrap);
        QCOMPARE(box->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(box->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QVERIFY(!box->isReadOnly());
        QCOMPARE(box->font().family(), "Lucida Console");
        QCOMPARE(box->font().pointSizeF(), 9.75);
        QCOMPARE(box->font().weight(), QFont::Normal);
        QVERIFY(box->font().fixedPitch());

        auto *ok = child<QPushButton>(&viewer, "CommandOK");
        QCOMPARE(ok->text(), "OK");
        QCOMPARE(ok->font().family(), "Times New Roman");
        QCOMPARE(ok->font().pointSizeF(), 12.0);
        QVERIFY(ok->geometry().top() >= box->geometry().bottom());
        QCOMPARE(ok->geometry().right(), box->geometry().right());
        // The box comes first in the keyboard order; Tab leads on to OK.
        viewer.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&viewer));
        QCOMPARE(QApplication::focusWidget(), box);
        QTest::keyClick(box, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), ok);
    }

    void aLoneLineFeedStaysInsideItsLine()
    {
        viewerText() = viewerTextOf("a\nb\nc");
        FormViewCptFile viewer;
        auto *box = child<QPlainTextEdit>(&viewer, "TextViewCpt");
        // One line of the file (and the empty place after its line end), broken on the screen
        // where the file has its LFs.
        QCOMPARE(blocksOf(box), QStringList({QStringLiteral("a\u2028b\u2028c"), ""}));
    }

    void anEmptyTextGivesAnEmptyBox()
    {
        viewerText().clear();
        FormViewCptFile viewer;
        QVERIFY(!viewer.isLoading());
        QVERIFY(child<QPlainTextEdit>(&viewer, "TextViewCpt")->toPlainText().isEmpty());
    }

    void typedTextIsDiscarded()
    {
        viewerText() = QStringLiteral("0.90\t\t0.10\r\n");
        {
            FormViewCptFile viewer;
            viewer.show();
            QVERIFY(QTest::qWaitForWindowExposed(&viewer));
            auto *box = child<QPlainTextEdit>(&viewer, "TextViewCpt");
            box->setFocus();
            QTest::keyClicks(box, "typed");
            QVERIFY(box->toPlainText().contains("typed"));
            click(child<QPushButton>(&viewer, "CommandOK"));
            QVERIFY(!viewer.isVisible());
            QCOMPARE(viewer.result(), QDialog::Accepted);
        }
        QCOMPARE(viewerText(), "0.90\t\t0.10\r\n");
        FormViewCptFile again;
        QCOMPARE(child<QPlainTextEdit>(&again, "TextViewCpt")->toPlainText(), "0.90\t\t0.10\n");
    }

    void manyLinesArriveInPiecesWithoutLosingAny()
    {
        const int lines = int(FormViewCptFile::linesPerPiece) * 2 + 7;
        QString text;
        QString expected;
        for (int r = 1; r <= lines; ++r) {
            text += QStringLiteral("row %1\t0.50\r\n").arg(r);
            expected += QStringLiteral("row %1\t0.50\n").arg(r);
        }
        text += QStringLiteral("lone\nLF\r\n");
        expected += QStringLiteral("lone\nLF\n");
        viewerText() = text;

        FormViewCptFile viewer;
        QVERIFY(viewer.isLoading());
        auto *box = child<QPlainTextEdit>(&viewer, "TextViewCpt");
        QCOMPARE(box->document()->blockCount(), int(FormViewCptFile::linesPerPiece) + 1);
        QSignalSpy loaded(&viewer, &FormViewCptFile::loaded);
        viewer.show();
        QVERIFY(loaded.wait(20000));
        QVERIFY(!viewer.isLoading());
        QCOMPARE(box->document()->blockCount(), lines + 2);
        QCOMPARE(box->document()->lastBlock().previous().text(), QStringLiteral("lone\u2028LF"));
        QVERIFY(box->toPlainText() == expected);
        // The box starts at the top and can be edited once everything is in it.
        QCOMPARE(box->verticalScrollBar()->value(), 0);
        QVERIFY(box->document()->isUndoRedoEnabled());
    }

    void closingWhileLoadingIsSafe()
    {
        QString text;
        for (int r = 1; r <= FormViewCptFile::linesPerPiece * 3; ++r)
            text += QStringLiteral("line\r\n");
        viewerText() = text;
        auto viewer = std::make_unique<FormViewCptFile>();
        viewer->show();
        QVERIFY(viewer->isLoading());
        click(child<QPushButton>(viewer.get(), "CommandOK"));
        viewer.reset();
        QTest::qWait(50);
        QCOMPARE(viewerText(), text);
    }
};

VADAZAZ_GUI_TEST_MAIN(FormViewCptFileTest)
#include "form_view_cpt_file_test.moc"
