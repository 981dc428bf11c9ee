#include "core/ept/ept_validation.h"

#include "testing/sample_problems.h"
#include "testing/test_main.h"

#include <cmath>

using namespace vadazaz;
using namespace Qt::StringLiterals;

namespace {

// Validates an EPT written as rows separated by "|" and cells separated by ";".
Result<std::vector<double>> validate(const QString &ept, int childStates, int noModParents,
                                     QStringView decimalPoint = u".")
{
    const QList<QStringList> rows = testing::tableOf(ept);
    QStringList cells;
    for (const QStringList &row : rows)
        cells += row;
    return validateEpt(cells, int(rows.size()), int(rows.first().size()), childStates, noModParents,
                       decimalPoint);
}

// The refusals, their row or column numbers as %1 and %2.
const QString nonNumeric = u"Non-numeric or missing entry in row %1."_s;
const QString outOfRange = u"All numbers must be between 0 and 100 inclusive.\rSee row %1."_s;
const QString badTotal = u"Sum of child state probabilities is not 100 in row %1."_s;
const QString notLogical = u"The probabilities in the EPT are not logical!\r\r"_s;
const QString m1 = notLogical + u"In column %1, the child probability in most positive row of "
                                "the EPT (row 1)\rmust be greater than that in the least positive "
                                "row (row 2)."_s;
const QString m2 = notLogical + u"In column %1, the child probability in the most positive row of "
                                "the EPT (row 1)\rmust be greater than or equal to the child "
                                "probability in row %2."_s;
const QString m3 = notLogical + u"In column %1, the child probability in the least positive row "
                                "of the EPT (row 2)\rmust be less than or equal to the child "
                                "probability in row %2."_s;
const QString m4 = notLogical + u"For the most positive row of the EPT (row 1), the child "
                                "probability in column %1\rmust be less than or equal to that in "
                                "column %2."_s;

} // namespace

class EptValidationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsNumbers_data()
    {
        // value NaN: not numeric
        testing::addColumns<QString, QString, double>("text", "point", "value");
        const auto row = [](const char *tag, const char *text, const char *point, double value) {
            QTest::newRow(tag) << QString::fromUtf8(text) << QString::fromUtf8(point) << value;
        };
        row("blanks around", " \t12.5 \t", ".", 12.5);
        row("plus", "+7", ".", 7);
        row("minus", "-0.5", ".", -0.5);
        row("trailing point", "12.", ".", 12);
        row("leading point", ".5", ".", 0.5);
        row("locale separator", "12,5", ",", 12.5);
        row("point with a comma locale", "12.5", ",", 12.5);
        row("many digits", "33.333333333333333333333", ".", 33.333333333333333);
        row("empty", "", ".", NAN);
        row("point only", ".", ".", NAN);
        row("comma with a point locale", "12,5", ".", 12.5);
        row("Arabic separator with a point locale", "12\u066B5", ".", 12.5);
        row("point and comma", "1.000,5", ",", NAN);
        row("two points", "1.2.3", ".", NAN);
        row("exponent", "1e2", ".", NAN);
        row("blank inside", "5 0", ".", NAN);
        row("two signs", "+-5", ".", NAN);
        row("percent sign", "50%", ".", NAN);
        row("other digits", "\u0665\u0660", ".", NAN);
    }
    void readsNumbers()
    {
        const auto [text, point, value] =
            testing::fetch<QString, QString, double>("text", "point", "value");
        const std::optional<EptNumber> number = parseEptNumber(text, point);
        QCOMPARE(number.has_value(), !std::isnan(value));
        if (number) {
            QCOMPARE(number->value, value);
            return;
        }
        // In the EPT, a text that is not a number is refused as such, before its row's total.
        const auto validation = validate(u"90;"_s + text + u"|10;90"_s, 2, 0, point);
        QCOMPARE(validation ? QString() : validation.failure().text, nonNumeric.arg(1));
    }

    void refusesTheFirstFault_data()
    {
        // refusal empty: accepted
        testing::addColumns<QString, int, int, QString>("ept", "childStates", "noModParents",
                                                        "refusal");
        const auto row = [](const char *tag, const char *ept, int childStates, int noModParents,
                            const QString &refusal) {
            QTest::newRow(tag) << QString::fromUtf8(ept) << childStates << noModParents << refusal;
        };
        // Entries, ranges and totals, row by row and cell by cell.
        row("range in row 1 before blank in row 2", "101;-1|;100", 2, 0, outOfRange.arg(1));
        row("non-numeric before out of range", "abc;200|10;90", 2, 0, nonNumeric.arg(1));
        row("out of range before non-numeric", "200;abc|10;90", 2, 0, outOfRange.arg(1));
        row("total before a blank in a later row", "60;30|;", 2, 0, badTotal.arg(1));
        row("0 and 100, zeros around", "100.00;0|000;0100", 2, 0, {});
        row("minus zero", "100;-0|-0.0;100", 2, 0, {});
        row("-0.5", "90;10|-0.5;99.5", 2, 0, outOfRange.arg(2));
        row("just above 100", "100.000000000000000001;0|0;100", 2, 0, outOfRange.arg(1));
        row("0.7 + 83.4 + 15.9", "83.4;0.7;15.9|0.7;83.4;15.9", 3, 0, {});
        row("33.33 three times", "33.34;33.33;33.33|33.33;33.33;33.33", 3, 0, badTotal.arg(2));
        row("exact beyond doubles", "50.00000000000000000001;49.99999999999999999999|10;90", 2, 0,
            {});
        row("excess beyond doubles", "50.00000000000000000001;50|10;90", 2, 0, badTotal.arg(1));
        row("many small decimals", "0.1;0.2;99.7|0.01;0.02;99.97", 3, 0, {});
        // Each block is one distribution of the child: 200 over two blocks is not enough.
        row("two blocks total 200 together", "60;50;40;50|10;90;10;90", 2, 1, badTotal.arg(1));
        row("two blocks of 100 each needed", "50;50;0;0|10;90;10;90", 2, 1, badTotal.arg(1));
        row("the last block of row 2, before a blank in row 3",
            "60;40;60;40;60;40|10;90;10;90;10;89|;;;;;", 2, 2, badTotal.arg(2));
        row("three blocks of 100", "60;40;60;40;55;45|10;90;10;90;10;90", 2, 2, {});
        // Child state 1 against rows 1 and 2, column by column.
        row("equal in the second block", "60;40;50;50|10;90;50;50", 2, 1, m1.arg(3));
        row("rows 1 and 2 before the blocks", "40;60;50;50|50;50;10;90", 2, 1, m1.arg(1));
        row("row 3 above row 1", "80;20|10;90|85;15|50;50", 2, 0, m2.arg(1).arg(3));
        row("row 4 below row 2", "80;20|10;90|50;50|5;95", 2, 0, m3.arg(1).arg(4));
        row("row by row within a column", "80;20|10;90|5;95|85;15", 2, 0, m3.arg(1).arg(3));
        row("equal to rows 1 and 2", "80;20|10;90|80;20|10;90", 2, 0, {});
        row("column by column", "80;20;70;30|10;90;10;90|50;50;75;25|5;95;20;80", 2, 1,
            m3.arg(1).arg(4));
        row("every column before the blocks", "80;20;90;10|10;90;10;90|50;50;95;5", 2, 1,
            m2.arg(3).arg(3));
        row("states 2 and 3 are not ordered", "50;10;40|10;50;40|30;0;70", 3, 0, {});
        // Row 1 across the blocks.
        row("rise to the second block", "60;40;70;30|10;90;10;90", 2, 1, m4.arg(3).arg(1));
        row("rise with three states", "50;30;20;60;20;20|10;30;60;10;30;60", 3, 1,
            m4.arg(4).arg(1));
        row("level blocks", "60;40;60;40|10;90;10;90", 2, 1, {});
        row("rise to the third block", "60;40;50;50;55;45|10;90;10;90;10;90", 2, 2,
            m4.arg(5).arg(3));
        row("other rows may rise", "60;40;50;50|10;90;20;80", 2, 1, {});
    }
    void refusesTheFirstFault()
    {
        const auto [ept, childStates, noModParents, refusal] =
            testing::fetch<QString, int, int, QString>("ept", "childStates", "noModParents",
                                                       "refusal");
        const auto validation = validate(ept, childStates, noModParents);
        QCOMPARE(validation ? QString()
                            : validation.failure().title + u": "_s + validation.failure().text,
                 refusal.isEmpty() ? refusal : u"Calculate CPT: "_s + refusal);
    }

    void givesTheValuesOfAnAcceptedEpt()
    {
        const auto validation = validate(u"12,5;87.5| 0 ;+100"_s, 2, 0, u",");
        QVERIFY(validation);
        QCOMPARE(*validation, (std::vector<double>{12.5, 87.5, 0.0, 100.0}));
    }
};

VADAZAZ_TEST_MAIN(EptValidationTest)
#include "ept_validation_test.moc"
