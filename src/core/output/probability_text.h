#pragma once

#include <QByteArray>

#include <cmath>
#include <cstdlib>

namespace vadazaz {

// Writes a percentage as the CPT file shows it: rounded to a whole percent (halves away from
// zero), then as a fraction with two decimals, "0.13" for 12.5 and "-0.04" for -3.5. putChar takes
// each character, putPoint writes the decimal separator.
template <typename PutChar, typename PutPoint>
void putProbabilityText(double percent, PutChar putChar, PutPoint putPoint)
{
    const double rounded = std::round(percent);
    if (!(std::fabs(rounded) < 1e15)) {
        const QByteArray digits = QByteArray::number(std::fabs(rounded), 'f', 0);
        if (rounded < 0)
            putChar('-');
        for (qsizetype i = 0; i < digits.size() - 2; ++i)
            putChar(digits[i]);
        putPoint();
        putChar(digits[digits.size() - 2]);
        putChar(digits[digits.size() - 1]);
        return;
    }
    const auto whole = static_cast<long long>(rounded);
    long long magnitude = std::llabs(whole);
    char digits[24];
    int n = 0;
    do {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0 || n < 3);
    if (whole < 0)
        putChar('-');
    while (n > 2)
        putChar(digits[--n]);
    putPoint();
    putChar(digits[1]);
    putChar(digits[0]);
}

} // namespace vadazaz
