#include "core/ept/ept_validation.h"

#include <QLocale>

#include <algorithm>

namespace vadazaz {

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// A point, a comma or the Arabic decimal separator: no number between 0 and 100 has a thousands
// separator, so each can only end the whole part. A problem file written in one region then reads
// the same in every other.
bool isDecimalSeparator(QChar c)
{
    return c == QLatin1Char('.') || c == QLatin1Char(',') || c == QChar(0x066B);
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The three ordering rules share their first lines.
const QString notLogical = QStringLiteral("The probabilities in the EPT are not logical!\r\r");

Message refusal(const QString &text)
{
    return {calculateCptTitle(), text};
}

} // namespace

void ExactDecimalSum::add(const EptNumber &number)
{
    // Callers add only numbers in 0..100.
    whole_ += number.wholeDigits.isEmpty() ? 0 : number.wholeDigits.toLongLong();
    const auto digits = number.fractionDigits;
    if (fraction_.size() < std::size_t(digits.size()))
        fraction_.resize(std::size_t(digits.size()), 0);
    int carry = 0;
    for (auto i = fraction_.size(); i-- > 0;) {
        const int add = i < std::size_t(digits.size()) ? digits.at(qsizetype(i)).digitValue() : 0;
        const int sum = fraction_[i] + add + carry;
        fraction_[i] = sum % 10;
        carry = sum / 10;
    }
    whole_ += carry;
}

bool ExactDecimalSum::equals(qint64 target) const
{
    return whole_ == target &&
           std::all_of(fraction_.begin(), fraction_.end(), [](int digit) { return digit == 0; });
}

QString ExactDecimalSum::text(QStringView decimalPoint) const
{
    QString fraction;
    for (const int digit : fraction_)
        fraction.append(QChar(u'0' + digit));
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString sum = QString::number(whole_);
    if (!fraction.isEmpty())
        sum.append(decimalPoint).append(fraction);
    return sum;
}

bool isInEptRange(const EptNumber &number)
{
    if (number.isZero())
        return true;
    if (number.negative)
        return false;
    if (number.wholeDigits.size() < 3)
        return true;
    if (number.wholeDigits.size() > 3)
        return false;
    const int whole = number.wholeDigits.toInt();
    return whole < 100 || (whole == 100 && number.fractionDigits.isEmpty());
}

std::optional<EptNumber> parseEptNumber(QStringView text, QStringView decimalPoint)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    const QStringView body = text.sliced(begin, end - begin);

    EptNumber number;
    qsizetype i = 0;
    if (i < body.size() && (body[i] == QLatin1Char('+') || body[i] == QLatin1Char('-'))) {
        number.negative = body[i] == QLatin1Char('-');
        ++i;
    }
    QString whole;
    QString fraction;
    bool seenPoint = false;
    while (i < body.size()) {
        if (isDigit(body[i])) {
            (seenPoint ? fraction : whole).append(body[i]);
            ++i;
        } else if (!seenPoint && !decimalPoint.isEmpty() &&
                   body.sliced(i).startsWith(decimalPoint)) {
            seenPoint = true;
            i += decimalPoint.size();
        } else if (!seenPoint && isDecimalSeparator(body[i])) {
            seenPoint = true;
            ++i;
        } else {
            return std::nullopt;
        }
    }
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;

    qsizetype firstNonZero = 0;
    while (firstNonZero < whole.size() && whole.at(firstNonZero) == QLatin1Char('0'))
        ++firstNonZero;
    number.wholeDigits = whole.mid(firstNonZero);
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    number.fractionDigits = fraction;

    const QString canonical =
        (number.negative ? QStringLiteral("-") : QString()) +
        (number.wholeDigits.isEmpty() ? QStringLiteral("0") : number.wholeDigits) +
        QLatin1Char('.') + number.fractionDigits + QLatin1Char('0');
    number.value = QLocale::c().toDouble(canonical);
    return number;
}

QString calculateCptTitle()
{
    return QStringLiteral("Calculate CPT");
}

Result<std::vector<double>> validateEpt(const QStringList &cells, int eptRows, int eptCols,
                                        int noChildStates, int noModParents,
                                        QStringView decimalPoint)
{
    const auto cell = [&](int r, int c) {
        return cells.at(qsizetype(r - 1) * eptCols + (c - 1));
    };
    std::vector<double> values(std::size_t(eptRows) * std::size_t(eptCols));
    const auto value = [&](int r, int c) {
        return values[std::size_t(r - 1) * eptCols + (c - 1)];
    };

    const int blocks = eptCols / noChildStates;
    for (int i = 1; i <= eptRows; ++i) {
        // Each block of a row is one distribution of the child: its cells total 100 on their own.
        std::vector<ExactDecimalSum> blockTotals(static_cast<std::size_t>(blocks));
        for (int j = 1; j <= eptCols; ++j) {
            const auto number = parseEptNumber(cell(i, j), decimalPoint);
            if (!number)
                return refusal(QStringLiteral("Non-numeric or missing entry in row %1.").arg(i));
            if (!isInEptRange(*number))
                return refusal(QStringLiteral("All numbers must be between 0 and 100 inclusive.\r"
                                              "See row %1.")
                                   .arg(i));
            blockTotals[std::size_t((j - 1) / noChildStates)].add(*number);
            values[std::size_t(i - 1) * eptCols + (j - 1)] = number->isZero() ? 0.0 : number->value;
        }
        if (!std::all_of(blockTotals.begin(), blockTotals.end(),
                         [](const ExactDecimalSum &total) { return total.equals(100); }))
            return refusal(
                QStringLiteral("Sum of child state probabilities is not 100 in row %1.").arg(i));
    }

    for (int j = 1; j <= eptCols; j += noChildStates) {
        if (!(value(1, j) > value(2, j)))
            return refusal(QStringLiteral("%1In column %2, the child probability in most positive "
                                          "row of the EPT (row 1)\rmust be greater than that in "
                                          "the least positive row (row 2).")
                               .arg(notLogical)
                               .arg(j));
        for (int r = 3; r <= eptRows; ++r) {
            if (value(1, j) < value(r, j))
                return refusal(QStringLiteral("%1In column %2, the child probability in the most "
                                              "positive row of the EPT (row 1)\rmust be greater "
                                              "than or equal to the child probability in row %3.")
                                   .arg(notLogical)
                                   .arg(j)
                                   .arg(r));
            if (value(2, j) > value(r, j))
                return refusal(QStringLiteral("%1In column %2, the child probability in the least "
                                              "positive row of the EPT (row 2)\rmust be less than "
                                              "or equal to the child probability in row %3.")
                                   .arg(notLogical)
                                   .arg(j)
                                   .arg(r));
        }
    }

    if (noModParents != 0) {
        for (int j = noChildStates + 1; j <= eptCols; j += noChildStates) {
            if (value(1, j) > value(1, j - noChildStates))
                return refusal(QStringLiteral("%1For the most positive row of the EPT (row 1), "
                                              "the child probability in column %2\rmust be less "
                                              "than or equal to that in column %3.")
                                   .arg(notLogical)
                                   .arg(j)
                                   .arg(j - noChildStates));
        }
    }
    return values;
}

} // namespace vadazaz
