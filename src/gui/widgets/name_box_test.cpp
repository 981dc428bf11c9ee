#include "gui/widgets/name_box.h"

#include "testing/gui_driver.h"
#include "testing/test_main.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

class NameBoxTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Typed or pasted into an empty box: 10 characters as a reader counts them are taken, and a
    // text with a character that a name may not hold is refused.
    void takesWhatANameMayHold_data()
    {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<bool>("pasted");
        QTest::addColumn<QString>("kept");
        const QString ten = u"😀"_s.repeated(10);
        QTest::newRow("eleven emoji typed") << ten + u"😀"_s << false << ten;
        QTest::newRow("letters with accents typed")
            << u"e\u0301"_s.repeated(10) << false << u"e\u0301"_s.repeated(10);
        QTest::newRow("eleven letters pasted") << u"Precipitati"_s << true << u"Precipitat"_s;
        QTest::newRow("a line separator pasted") << u"Dry\u2028Soil"_s << true << u""_s;
        QTest::newRow("a right-to-left override typed") << u"\u202Etxt"_s << false << u"txt"_s;
    }
    void takesWhatANameMayHold()
    {
        QFETCH(QString, entered);
        QFETCH(bool, pasted);
        QFETCH(QString, kept);
        QLineEdit box;
        makeNameBox(&box);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        if (pasted) {
            QGuiApplication::clipboard()->setText(entered);
            box.setFocus();
            QTest::keySequence(&box, QKeySequence::Paste);
        } else {
            typeInto(&box, entered);
        }
        QCOMPARE(box.text(), kept);
    }
};

VADAZAZ_GUI_TEST_MAIN(NameBoxTest)
#include "name_box_test.moc"
