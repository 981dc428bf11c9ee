#pragma once

#include "core/base/result.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vadazaz {

// A cell text read as a number. Numeric is: optional blanks around it, an optional sign, and
// digits with at most one decimal separator (the locale's, a point, a comma or the Arabic decimal
// separator), at least one digit.
// The digits are kept as typed so that sums and bounds can be decided exactly.
struct EptNumber
{
    bool negative = false;
    QString wholeDigits;    // without leading zeros; empty for zero
    QString fractionDigits; // without trailing zeros
    double value = 0.0;     // the nearest double, for the ordering checks and the computation

    bool isZero() const { return wholeDigits.isEmpty() && fractionDigits.isEmpty(); }
};

std::optional<EptNumber> parseEptNumber(QStringView text, QStringView decimalPoint);

// Whether the number lies in 0..100, the range of every cell.
bool isInEptRange(const EptNumber &number);

// A sum of numbers in 0..100, held digit for digit so that no binary rounding enters it:
// 0.7 + 83.4 + 15.9 is exactly 100.
class ExactDecimalSum
{
public:
    void add(const EptNumber &number);
    bool equals(qint64 target) const;
    // The sum without trailing zeros, "100" or "99.95", with the given decimal separator.
    QString text(QStringView decimalPoint) const;

private:
    qint64 whole_ = 0;
    std::vector<int> fraction_;
};

// The title of the messages of "Calculate CPT".
QString calculateCptTitle();

// Checks the typed EPT (cell texts row-major, eptRows × eptCols): entries, ranges and the total of
// each column block (exactly 100), row by row; then child state 1 of every block against rows 1
// and 2; then, with Modifying parents, row 1 across the blocks. Answers the cell values
// (row-major) when every check passes, else the first refusal.
Result<std::vector<double>> validateEpt(const QStringList &cells, int eptRows, int eptCols,
                                        int noChildStates, int noModParents,
                                        QStringView decimalPoint);

} // namespace vadazaz
