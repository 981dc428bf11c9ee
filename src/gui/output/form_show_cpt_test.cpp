#include "gui/output/form_show_cpt.h"

#include "core/ept/calculation.h"
#include "gui/ept/form_ept.h"
#include "gui/output/judgement_chart.h"

#include "testing/files.h"
#include "testing/gui_driver.h"
#include "testing/sample_problems.h"
#include "testing/scripted_dialogs.h"
#include "testing/test_main.h"

#include <QAbstractItemModelTester>

using namespace vadazaz;
using namespace vadazaz::testing;

namespace {

// The Modifying parent P2 comes first in the CPT; five EPT rows of two blocks.
const Problem twoBlocks = problemOf(2, u"N2 M2 N3"_s);
const QString ept = u"90 10 80 20 10 90 20 80 60 40 50 50 70 30 70 30 40 60 30 70"_s;

} // namespace

class FormShowCptTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // "Show CPT" comes with a calculated CPT and shows it over the EPT window in the order of the
    // CPT file, the rows taken from the EPT in bold; the chart beside it.
    void showCptShowsTheCalculatedCpt()
    {
        ScriptedDialogs script;
        FormEPT form(twoBlocks, eptShapeFor(twoBlocks).value());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        auto *show = child<QPushButton>(&form, "CommandShowCpt");
        QVERIFY(!show->isEnabled());
        typeCells(form.content(), ept);
        script.answer(QMessageBox::No);
        click(child<QPushButton>(&form, "CommandCalcCPT"));
        QVERIFY(show->isEnabled());
        QString seen; // the headings and rows 4 to 6: every cell, whether bold, the tooltip
        whenModalShown([&](QWidget *shown) {
            const auto *chart = child<JudgementChart>(shown, "ChartJudgement");
            const QAbstractItemModel *model = child<QTableView>(shown, "TableCpt")->model();
            seen = u"%1 %2, modal %3, over the EPT window %4, chart %5 of %6 blocks\n"_s
                       .arg(shown->metaObject()->className(), shown->windowTitle())
                       .arg(shown->isModal())
                       .arg(shown->parentWidget() == &form)
                       .arg(chart->title())
                       .arg(chart->blocks().size());
            for (int c = 0; c < model->columnCount(); ++c)
                seen += model->headerData(c, Qt::Horizontal).toString() + u' ';
            for (int r = 3; r < 6; ++r) {
                seen += u'\n' + model->headerData(r, Qt::Vertical).toString() + u':';
                for (int c = 0; c < model->columnCount(); ++c)
                    seen += model->index(r, c).data().toString() + u' ';
                if (model->index(r, 1).data(Qt::FontRole).value<QFont>().bold())
                    seen += u"bold, "_s + model->index(r, 1).data(Qt::ToolTipRole).toString();
            }
            click(child<QPushButton>(shown, "CommandOK"));
        });
        click(show);
        QCOMPARE(seen + u'\n',
                 QString::fromUtf8(contentsOf(QStringLiteral(VADAZAZ_TESTDATA) + u"/shown.txt"_s)));
    }

    // The drop-downs keep the rows of the chosen states (the model staying sound throughout);
    // the selected rows are copied as TAB-separated text with a heading line.
    void filtersAndCopies_data()
    {
        // Drop-down=state in turn; rows clicked, from 0, Ctrl or Shift held; keys or the menu.
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("text"); // the rows shown, and what was copied
        const QString heading = u"P2\tP1\tP3\tChild=C1\tChild=C2\n"_s;
        QTest::newRow("back to any, Ctrl+C, two rows picked with Ctrl")
            << u"3=P3s2 3=any; 5 Ctrl+0; Ctrl+C"_s
            << u"12 of 12 rows\n"_s + heading +
                   u"P2s1\tP1s1\tP3s1\t0.90\t0.10\nP2s1\tP1s2\tP3s3\t0.10\t0.90\n"_s;
        QTest::newRow("the Modifying parent, context menu, a range picked with Shift")
            << u"1=P2s2; 3 Shift+4; &Copy"_s
            << u"6 of 12 rows\n"_s + heading +
                   u"P2s2\tP1s2\tP3s1\t0.50\t0.50\nP2s2\tP1s2\tP3s2\t0.45\t0.55\n"_s;
        QTest::newRow("two parents, Ctrl+A")
            << u"1=P2s1 3=P3s3; 1; Ctrl+A, Ctrl+C"_s
            << u"2 of 12 rows\n"_s + heading +
                   u"P2s1\tP1s1\tP3s3\t0.40\t0.60\nP2s1\tP1s2\tP3s3\t0.10\t0.90\n"_s;
    }
    void filtersAndCopies()
    {
        QFETCH(QString, steps);
        QFETCH(QString, text);
        const Cpt cpt =
            calculateCpt(twoBlocks, eptShapeFor(twoBlocks).value(), ept.split(u' '), u".")
                .value()
                .cpt;
        FormShowCpt window(twoBlocks, cpt, u"."_s);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *view = child<QTableView>(&window, "TableCpt");
        QAbstractItemModelTester tester(view->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        for (const QString &choice : steps.section(u"; "_s, 0, 0).split(u' ')) {
            auto *combo = child<QComboBox>(&window, u"ComboFilter"_s + choice.section(u'=', 0, 0));
            combo->setFocus();
            QTest::keyClick(combo, Qt::Key_Home);
            for (int n = combo->findText(choice.section(u'=', 1)); n > 0; --n)
                QTest::keyClick(combo, Qt::Key_Down);
        }
        for (const QString &step : steps.section(u"; "_s, 1, 1).split(u' ')) {
            const auto held = step.startsWith(u"Ctrl"_s)    ? Qt::ControlModifier
                              : step.startsWith(u"Shift"_s) ? Qt::ShiftModifier
                                                            : Qt::NoModifier;
            const QModelIndex cell = view->model()->index(step.section(u'+', -1).toInt(), 2);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, held,
                              view->visualRect(cell).center());
        }
        const QString how = steps.section(u"; "_s, 2);
        if (how.startsWith(u'&'))
            chooseFromContextMenu(view->viewport(), view->visualRect(view->currentIndex()).center(),
                                  how);
        else
            QTest::keySequence(view, QKeySequence(how));
        QCOMPARE(child<QLabel>(&window, "LabelRows")->text() + u'\n' +
                     QApplication::clipboard()->text(),
                 text);
    }
};

VADAZAZ_GUI_TEST_MAIN(FormShowCptTest)
#include "form_show_cpt_test.moc"
