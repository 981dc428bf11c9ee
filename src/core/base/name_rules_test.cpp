#include "core/base/name_rules.h"

#include "testing/test_main.h"

using namespace vadazaz;
using namespace Qt::StringLiterals;

class NameRulesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Characters as a reader counts them; what a name may not hold, named by its code.
    void countsAndChecksNames_data()
    {
        // fault empty: a name
        testing::addColumns<QString, int, QString>("name", "count", "fault");
        const QString holds = u"must not hold a TAB, a line break, a control character or an "
                              "invisible formatting character (it holds %1)"_s;
        QTest::newRow("letters") << u"Rain"_s << 4 << u""_s;
        QTest::newRow("a letter and its accent") << u"Cafe\u0301"_s << 4 << u""_s;
        QTest::newRow("ten emoji") << u"😀"_s.repeated(10) << 10 << u""_s;
        QTest::newRow("eleven emoji")
            << u"😀"_s.repeated(11) << 11 << u"must hold 1 to 10 characters, not 11"_s;
        QTest::newRow("empty") << u""_s << 0 << u"must hold 1 to 10 characters, not 0"_s;
        QTest::newRow("a family joined into one emoji") << u"👨\u200D👩\u200D👧"_s << 1 << u""_s;
        QTest::newRow("a flag of tags")
            << u"🏴\U000E0067\U000E0062\U000E0073\U000E0063\U000E0074\U000E007F"_s << 1 << u""_s;
        QTest::newRow("Persian with a non-joiner") << u"می\u200Cخواهم"_s << 7 << u""_s;
        QTest::newRow("half a surrogate pair")
            << u"R"_s + QChar(0xD800) << 2 << u"must be valid Unicode text"_s;
        QTest::newRow("TAB") << u"Ra\tin"_s << 5 << holds.arg(u"U+0009"_s);
        QTest::newRow("line separator") << u"Ra\u2028in"_s << 5 << holds.arg(u"U+2028"_s);
        QTest::newRow("paragraph separator") << u"Ra\u2029in"_s << 5 << holds.arg(u"U+2029"_s);
        QTest::newRow("right-to-left override")
            << u"\u202Etxt.exe"_s << 8 << holds.arg(u"U+202E"_s);
        // Just before the joiners that a name may hold.
        QTest::newRow("zero-width space") << u"Te\u200Bmp"_s << 5 << holds.arg(u"U+200B"_s);
        QTest::newRow("byte order mark") << u"\uFEFFTemp"_s << 5 << holds.arg(u"U+FEFF"_s);
    }
    void countsAndChecksNames()
    {
        const auto [name, count, fault] =
            testing::fetch<QString, int, QString>("name", "count", "fault");
        QCOMPARE(characterCount(name), count);
        QCOMPARE(nameFault(name).value_or(QString()), fault);
        QCOMPARE(paddedName(name).size(), name.size() + std::max(0, 10 - count));
    }

    void cutsAndShows()
    {
        QCOMPARE(firstCharacters(u"Cafe\u0301s au lait"_s, 4), u"Cafe\u0301"_s);
        QCOMPARE(firstCharacters(u"👨\u200D👩\u200D👧x"_s, 1), u"👨\u200D👩\u200D👧"_s);
        QCOMPARE(visibleText(u"a\u202Eb\tc\U0001F600"_s), u"a<U+202E>b<U+0009>c\U0001F600"_s);
    }
};

VADAZAZ_TEST_MAIN(NameRulesTest)
#include "name_rules_test.moc"
