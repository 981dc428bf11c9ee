#include "ept/ept_validation.h"

#include "testing/sample_problems.h"
#include "testing/test_main.h"

#include <cmath>

using namespace vadazaz;
using namespace Qt::StringLiterals;

namespace {

// An EPT written as rows separated by "|" and cells separated by ";".
struct Table
{
    QStringList cells;
    int rows = 0;
    int cols = 0;
};

Table table(const QString &text)
{
    const QList<QStringList> rows = testing::tableOf(text);
    Table t{{}, int(rows.size()), int(rows.first().size())};
    for (const QStringList &row : rows)
        t.cells += row;
    return t;
}

QString nonNumeric(int row)
{
    return u"Non-numeric or missing entry in row %1."_s.arg(row);
}
QString outOfRange(int row)
{
    return u"All numbers must be between 0 and 100 inclusive.\rSee row %1."_s.arg(row);
}
QString badTotal(int row)
{
    return u"Sum of child state probabilities is not 100 in row %1."_s.arg(row);
}
const QString notLogical = u"The probabilities in the EPT are not logical!\r\r"_s;
QString m1(int column)
{
    return notLogical +
           u"In column %1, the child probability in most positive row of the EPT (row 1)\r"
           "must be greater than that in the least positive row (row 2)."_s.arg(column);
}
QString m2(int column, int row)
{
    return notLogical +
           u"In column %1, the child probability in the most positive row of the EPT (row 1)\r"
           "must be greater than or equal to the child probability in row %2."_s.arg(column)
               .arg(row);
}
QString m3(int column, int row)
{
    return notLogical +
           u"In column %1, the child probability in the least positive row of the EPT (row 2)\r"
           "must be less than or equal to the child probability in row %2."_s.arg(column)
               .arg(row);
}
QString m4(int column, int previous)
{
    return notLogical +
           u"For the most positive row of the EPT (row 1), the child probability in column %1\r"
           "must be less than or equal to that in column %2."_s.arg(column)
               .arg(previous);
}

} // namespace

class EptValidationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsNumbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("decimalPoint");
        QTest::addColumn<bool>("numeric");
        QTest::addColumn<double>("value");

        const struct
        {
            const char *tag, *text, *point;
            double value; // NaN: not numeric
        } cases[] = {
            {"whole", "12", ".", 12},
            {"blanks around", " \t12.5 \t", ".", 12.5},
            {"plus", "+7", ".", 7},
            {"minus zero", "-0", ".", 0},
            {"minus", "-0.5", ".", -0.5},
            {"trailing point", "12.", ".", 12},
            {"leading point", ".5", ".", 0.5},
            {"leading zeros", "0012.500", ".", 12.5},
            {"locale separator", "12,5", ",", 12.5},
            {"point with a comma locale", "12.5", ",", 12.5},
            {"many digits", "33.333333333333333333333", ".", 33.333333333333333},
            {"empty", "", ".", NAN},
            {"blanks only", "   ", ".", NAN},
            {"sign only", "-", ".", NAN},
            {"point only", ".", ".", NAN},
            {"comma with a point locale", "12,5", ".", NAN},
            {"thousands", "1,000", ".", NAN},
            {"thousands, comma locale", "1.000,5", ",", NAN},
            {"two points", "1.2.3", ".", NAN},
            {"exponent", "1e2", ".", NAN},
            {"capital exponent", "1E1", ".", NAN},
            {"hexadecimal", "0x10", ".", NAN},
            {"inf", "inf", ".", NAN},
            {"nan", "nan", ".", NAN},
            {"Infinity", "Infinity", ".", NAN},
            {"blank after sign", "- 5", ".", NAN},
            {"blank inside", "5 0", ".", NAN},
            {"two signs", "+-5", ".", NAN},
            {"percent sign", "50%", ".", NAN},
            {"other digits", "\u0665\u0660", ".", NAN},
            {"full-width digits", "\uFF15\uFF10", ".", NAN},
        };
        for (const auto &c : cases)
            QTest::newRow(c.tag) << QString::fromUtf8(c.text) << QString::fromUtf8(c.point)
                                 << !std::isnan(c.value) << c.value;
    }

    void readsNumbers()
    {
        QFETCH(QString, text);
        QFETCH(QString, decimalPoint);
        QFETCH(bool, numeric);
        QFETCH(double, value);

        const std::optional<EptNumber> number = parseEptNumber(text, decimalPoint);
        QCOMPARE(number.has_value(), numeric);
        if (numeric) {
            QCOMPARE(number->value, value);
            return;
        }
        // In the EPT, a text that is not a number is refused as such, before its row's total.
        const EptValidation validation =
            validateEpt({u"90"_s, text, u"10"_s, u"90"_s}, 2, 2, 2, 0, decimalPoint);
        QVERIFY(validation.refusal);
        QCOMPARE(validation.refusal->text, nonNumeric(1));
    }

    void refusesTheFirstFault_data()
    {
        QTest::addColumn<QString>("ept");
        QTest::addColumn<int>("childStates");
        QTest::addColumn<int>("noModParents");
        QTest::addColumn<QString>("refusal"); // empty: accepted

        const QString ok;
        // Entries, ranges and totals, row by row and cell by cell.
        QTest::newRow("range in row 1 before blank in row 2")
            << u"101;-1|;100"_s << 2 << 0 << outOfRange(1);
        QTest::newRow("non-numeric before out of range")
            << u"abc;200|10;90"_s << 2 << 0 << nonNumeric(1);
        QTest::newRow("out of range before non-numeric")
            << u"200;abc|10;90"_s << 2 << 0 << outOfRange(1);
        QTest::newRow("total before a blank in a later row")
            << u"60;30|;"_s << 2 << 0 << badTotal(1);
        QTest::newRow("0 and 100") << u"100;0|0;100"_s << 2 << 0 << ok;
        QTest::newRow("minus zero") << u"100;-0|-0.0;100"_s << 2 << 0 << ok;
        QTest::newRow("-0.5") << u"90;10|-0.5;100.5"_s << 2 << 0 << outOfRange(2);
        QTest::newRow("100.5") << u"90;10|10;100.5"_s << 2 << 0 << outOfRange(2);
        QTest::newRow("just above 100")
            << u"100.000000000000000001;0|0;100"_s << 2 << 0 << outOfRange(1);
        QTest::newRow("0.7 + 83.4 + 15.9") << u"83.4;0.7;15.9|0.7;83.4;15.9"_s << 3 << 0 << ok;
        QTest::newRow("33.33 three times")
            << u"33.34;33.33;33.33|33.33;33.33;33.33"_s << 3 << 0 << badTotal(2);
        QTest::newRow("exact beyond doubles") << u"50.00000000000000000001;49.99999999999999999999|"
                                                 "10;90"_s
                                              << 2 << 0 << ok;
        QTest::newRow("excess beyond doubles")
            << u"50.00000000000000000001;50|10;90"_s << 2 << 0 << badTotal(1);
        QTest::newRow("many small decimals") << u"0.1;0.2;99.7|0.01;0.02;99.97"_s << 3 << 0 << ok;
        QTest::newRow("two blocks total 200 together")
            << u"60;50;40;50|10;90;10;90"_s << 2 << 1 << ok;
        QTest::newRow("two blocks of 100 each needed")
            << u"50;50;0;0|10;90;10;90"_s << 2 << 1 << badTotal(1);
        // Child state 1 against rows 1 and 2, column by column.
        QTest::newRow("equal in the second block")
            << u"60;40;50;50|10;90;50;50"_s << 2 << 1 << m1(3);
        QTest::newRow("rows 1 and 2 before the blocks")
            << u"40;60;50;50|50;50;10;90"_s << 2 << 1 << m1(1);
        QTest::newRow("row 3 above row 1") << u"80;20|10;90|85;15|50;50"_s << 2 << 0 << m2(1, 3);
        QTest::newRow("row 4 below row 2") << u"80;20|10;90|50;50|5;95"_s << 2 << 0 << m3(1, 4);
        QTest::newRow("row by row within a column")
            << u"80;20|10;90|5;95|85;15"_s << 2 << 0 << m3(1, 3);
        QTest::newRow("equal to rows 1 and 2") << u"80;20|10;90|80;20|10;90"_s << 2 << 0 << ok;
        QTest::newRow("column by column")
            << u"80;20;70;30|10;90;10;90|50;50;75;25|5;95;20;80"_s << 2 << 1 << m3(1, 4);
        QTest::newRow("every column before the blocks")
            << u"80;20;90;10|10;90;10;90|50;50;95;5"_s << 2 << 1 << m2(3, 3);
        QTest::newRow("states 2 and 3 are not ordered")
            << u"50;10;40|10;50;40|30;0;70"_s << 3 << 0 << ok;
        // Row 1 across the blocks.
        QTest::newRow("rise to the second block")
            << u"60;40;70;30|10;90;10;90"_s << 2 << 1 << m4(3, 1);
        QTest::newRow("rise with three states")
            << u"50;30;20;60;20;20|10;30;60;10;30;60"_s << 3 << 1 << m4(4, 1);
        QTest::newRow("level blocks") << u"60;40;60;40|10;90;10;90"_s << 2 << 1 << ok;
        QTest::newRow("rise to the third block")
            << u"60;40;50;50;55;45|10;90;10;90;10;90"_s << 2 << 2 << m4(5, 3);
        QTest::newRow("other rows may rise") << u"60;40;50;50|10;90;20;80"_s << 2 << 1 << ok;
    }

    void refusesTheFirstFault()
    {
        QFETCH(QString, ept);
        QFETCH(int, childStates);
        QFETCH(int, noModParents);
        QFETCH(QString, refusal);

        const Table t = table(ept);
        const EptValidation validation =
            validateEpt(t.cells, t.rows, t.cols, childStates, noModParents, u".");
        if (refusal.isEmpty()) {
            QVERIFY2(!validation.refusal, qPrintable(withNewlines(validation.refusal->text)));
            QCOMPARE(validation.values.size(), std::size_t(t.rows * t.cols));
        } else {
            QVERIFY(validation.refusal);
            QCOMPARE(validation.refusal->title, u"Calculate CPT"_s);
            QCOMPARE(validation.refusal->text, refusal);
        }
    }

    void givesTheValuesOfAnAcceptedEpt()
    {
        const Table t = table(u"12,5;87.5| 0 ;+100"_s);
        const EptValidation validation = validateEpt(t.cells, 2, 2, 2, 0, u",");
        QVERIFY(!validation.refusal);
        QCOMPARE(validation.values, (std::vector<double>{12.5, 87.5, 0.0, 100.0}));
    }
};

VADAZAZ_TEST_MAIN(EptValidationTest)
#include "ept_validation_test.moc"
