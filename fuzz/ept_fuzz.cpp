// Fuzzes the EPT as typed: a problem shape, names and cell texts from the input, then the whole
// road of "Calculate CPT" and the CPT file with the checks of cpt_checks.h.
//
// An input is text, so that seeds can be read and written by hand:
//   line 1  the shape. Its first byte is the child's state count ('2' or '3'; any even byte is 2,
//           any odd byte 3); each following pair of bytes is one parent, its type ('N'
//           Non-modifying or 'M' Modifying; even or odd) and its state count. Blanks and the
//           flags are skipped: '=' generates an EPT that passes the checks from the bytes after
//           line 2, instead of reading one; ',' makes the comma the decimal point; 'L' reads
//           names and cells as Latin-1 instead of UTF-8.
//   line 2  names, separated by '|': the child, its states, then each parent followed by its
//           states. A missing or empty name gets a plain one; a longer one is cut to 10.
//   line 3… the EPT's rows, cells separated by ';'. A missing cell is empty.
// The shape is kept within what the program opens, and small: a Modifying parent that would take
// the EPT past 12 columns becomes Non-modifying, parents that would take the CPT past 1024 rows
// are left out, at least two parents and one Non-modifying parent are always there.

#include "cpt_checks.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArrayView>

#include <exception>

using namespace vadazaz;

namespace {

struct Input
{
    Problem problem;
    QStringList cells;
    QString decimalPoint = QStringLiteral(".");
    bool generate = false;
    bool latin1 = false;
    QByteArrayView entropy; // the bytes after line 2, for a generated EPT
};

// A byte string as a name or a cell text. Names never hold a control character such as a TAB or
// a line break (a problem file refuses them), nor half of a surrogate pair.
QString textOf(QByteArrayView bytes, bool latin1)
{
    return latin1 ? QString::fromLatin1(bytes) : QString::fromUtf8(bytes);
}

QString nameOf(QByteArrayView bytes, bool latin1, const QString &fallback)
{
    QString name = textOf(bytes, latin1);
    for (QChar &c : name) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    }
    name.truncate(maxNameLength);
    if (!name.isEmpty() && name.back().isHighSurrogate())
        name.chop(1);
    return name.isEmpty() ? fallback : name;
}

QList<QByteArrayView> split(QByteArrayView bytes, char separator)
{
    QList<QByteArrayView> parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        if (i == bytes.size() || bytes[i] == separator) {
            parts.append(bytes.sliced(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// The problem from line 1, within the limits above.
void readShape(QByteArrayView line, Input &input)
{
    QByteArray codes;
    for (const char c : line) {
        if (c == '=')
            input.generate = true;
        else if (c == ',')
            input.decimalPoint = QStringLiteral(",");
        else if (c == 'L')
            input.latin1 = true;
        else if (c != ' ')
            codes.append(c);
    }
    Problem &problem = input.problem;
    problem.noChildStates = !codes.isEmpty() && (codes.at(0) & 1) ? 3 : 2;
    qint64 columns = problem.noChildStates;
    qint64 rows = 1;
    int parents = 0;
    for (qsizetype i = 1; i < codes.size(); i += 2) {
        const bool modifying = codes.at(i) & 1;
        const int states = i + 1 < codes.size() && (codes.at(i + 1) & 1) ? 3 : 2;
        if (rows * states > fuzz::maxFuzzedCptRows)
            break;
        rows *= states;
        if (++parents > problem.noParents())
            problem.appendParent();
        problem.parentNoStates(parents) = states;
        if (modifying && columns * states <= maxEptCols) {
            columns *= states;
            problem.parentType(parents) = ParentType::Modifying;
        } else {
            problem.parentType(parents) = ParentType::NonModifying;
        }
    }
    bool anyNonModifying = false;
    for (int p = 1; p <= problem.noParents(); ++p)
        anyNonModifying = anyNonModifying || problem.parentType(p) == ParentType::NonModifying;
    if (!anyNonModifying)
        problem.parentType(problem.noParents()) = ParentType::NonModifying;
}

void readNames(QByteArrayView line, Input &input)
{
    const QList<QByteArrayView> names = split(line, '|');
    qsizetype next = 0;
    const auto name = [&](const QString &fallback) {
        return nameOf(next < names.size() ? names.at(next++) : QByteArrayView(), input.latin1,
                      fallback);
    };
    Problem &problem = input.problem;
    problem.childName = name(QStringLiteral("Child"));
    for (int s = 1; s <= problem.noChildStates; ++s)
        problem.childStateName(s) = name(QStringLiteral("C%1").arg(s));
    for (int p = 1; p <= problem.noParents(); ++p) {
        problem.parentName(p) = name(QStringLiteral("P%1").arg(p));
        for (int s = 1; s <= problem.parentNoStates(p); ++s)
            problem.parentStateName(s, p) = name(QStringLiteral("P%1s%2").arg(p).arg(s));
    }
}

// A percentage held in units of 1 / scale, written the many ways a person may type it.
QString typed(int units, int scale, const QString &point, FuzzedDataProvider &data)
{
    QString whole = QString::number(units / scale);
    QString fraction;
    for (int digit = scale / 10, rest = units % scale; digit > 0; digit /= 10) {
        fraction.append(QChar(u'0' + rest / digit));
        rest %= digit;
    }
    const auto style = data.ConsumeIntegral<quint8>();
    if (style & 1)
        while (fraction.endsWith(QLatin1Char('0')))
            fraction.chop(1);
    if (style & 2)
        fraction.append(QString(data.ConsumeIntegralInRange(1, 30), QLatin1Char('0')));
    if (style & 4)
        whole.prepend(QString(data.ConsumeIntegralInRange(1, 30), QLatin1Char('0')));
    if ((style & 8) && whole == QLatin1String("0") && !fraction.isEmpty())
        whole.clear();
    QString text = whole;
    if (!fraction.isEmpty() || (style & 16))
        text += point + fraction;
    if (style & 32)
        text.prepend(units == 0 && (style & 128) ? QLatin1Char('-') : QLatin1Char('+'));
    if (style & 64)
        text = QStringLiteral(" \t").repeated(data.ConsumeIntegralInRange(0, 2)) + text +
               QStringLiteral(" ").repeated(data.ConsumeIntegralInRange(0, 3));
    return text;
}

// An EPT that passes every check: in each block child state 1 falls from row 1 to row 2 with the
// other rows between, row 1 never rises from one block to the next, and every block adds up to
// 100.
QStringList generatedEpt(Input &input, const EptShape &shape)
{
    FuzzedDataProvider data(reinterpret_cast<const uint8_t *>(input.entropy.data()),
                            std::size_t(input.entropy.size()));
    const int n = input.problem.noChildStates;
    const int scales[] = {1, 10, 100, 1000};
    const int scale = scales[data.ConsumeIntegralInRange(0, 3)];
    const int total = 100 * scale;
    if (input.decimalPoint == QLatin1String("."))
        input.decimalPoint = data.PickValueInArray(
            {QStringLiteral("."), QStringLiteral(","), QStringLiteral("\u066B")});
    const QString point = data.ConsumeBool() ? QStringLiteral(".") : input.decimalPoint;
    QStringList cells(qsizetype(shape.eptRows) * shape.eptCols);
    int previousTop = total;
    for (int block = 1; block <= shape.eptCols / n; ++block) {
        const int top = data.ConsumeIntegralInRange(1, previousTop);
        const int bottom = data.ConsumeIntegralInRange(0, top - 1);
        previousTop = top;
        for (int r = 1; r <= shape.eptRows; ++r) {
            const int first = r == 1   ? top
                              : r == 2 ? bottom
                                       : data.ConsumeIntegralInRange(bottom, top);
            const int third = n == 3 ? data.ConsumeIntegralInRange(0, total - first) : 0;
            const int values[] = {first, total - first - third, third};
            for (int c = 1; c <= n; ++c)
                cells[qsizetype(r - 1) * shape.eptCols + (block - 1) * n + c - 1] =
                    typed(values[c - 1], scale, point, data);
        }
    }
    // Then up to two changes that may make it fail: arbitrary text in a cell, another number, or
    // two cells of a row or two rows swapped, which keeps the totals but may break the order.
    const int columns = shape.eptCols;
    for (int k = data.ConsumeIntegralInRange(0, 2); k > 0; --k) {
        const auto at = data.ConsumeIntegralInRange<qsizetype>(0, cells.size() - 1);
        const auto other = data.ConsumeIntegralInRange<qsizetype>(0, cells.size() - 1);
        switch (data.ConsumeIntegralInRange(0, 3)) {
        case 0:
            cells[at] =
                textOf(QByteArray::fromStdString(data.ConsumeRandomLengthString(16)), input.latin1);
            break;
        case 1:
            cells[at] = typed(data.ConsumeIntegralInRange(0, 2 * total), scale, point, data);
            break;
        case 2:
            cells.swapItemsAt(at, at - at % columns + other % columns);
            break;
        default:
            for (qsizetype c = 0; c < columns; ++c)
                cells.swapItemsAt(at - at % columns + c, other - other % columns + c);
            break;
        }
    }
    return cells;
}

void run(QByteArrayView bytes)
{
    Input input;
    const qsizetype end1 = bytes.indexOf('\n');
    readShape(end1 < 0 ? bytes : bytes.first(end1), input);
    const QByteArrayView rest = end1 < 0 ? QByteArrayView() : bytes.sliced(end1 + 1);
    const qsizetype end2 = rest.indexOf('\n');
    readNames(end2 < 0 ? rest : rest.first(end2), input);
    const QByteArrayView table = end2 < 0 ? QByteArrayView() : rest.sliced(end2 + 1);

    const EptShape shape = deriveEptShape(input.problem);
    if (input.generate) {
        input.entropy = table;
        input.cells = generatedEpt(input, shape);
    } else {
        const QList<QByteArrayView> rows = split(table, '\n');
        for (int r = 1; r <= shape.eptRows; ++r) {
            const QList<QByteArrayView> row =
                r <= rows.size() ? split(rows.at(r - 1), ';') : QList<QByteArrayView>();
            for (int c = 1; c <= shape.eptCols; ++c)
                input.cells.append(c <= row.size() ? textOf(row.at(c - 1), input.latin1)
                                                   : QString());
        }
    }
    fuzz::checkEpt(input.problem, input.cells, input.decimalPoint);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::pinLocale();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        run(QByteArrayView(data, qsizetype(size)));
    } catch (const std::exception &exception) {
        fuzz::fail("an exception escaped", QString::fromUtf8(exception.what()));
    } catch (...) {
        fuzz::fail("an exception escaped");
    }
    return 0;
}
