#pragma once

// The road of an EPT through the program, as "Calculate CPT" and the calculator take it: shape,
// validation, computation and the three layouts of the CPT file, with a check of every result.
// A finding prints what is wrong and aborts, so that libFuzzer keeps the input that caused it.

#include "core/ept/calculation.h"
#include "core/ept/ept_validation.h"
#include "core/output/cpt_file.h"
#include "core/store/problem.h"

#include <QBuffer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QVarLengthArray>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vadazaz::fuzz {

// Larger CPTs are left alone: they only slow the search down.
inline constexpr qint64 maxFuzzedCptRows = 1024;
// How far a computed percentage may stray from its exact value through rounding alone.
inline constexpr double noise = 1e-9;

// The machine-dependent parts pinned as in the tests: the C locale with UTF-8 as the system's
// code page, so that the 8-bit layouts are UTF-8.
inline void pinLocale()
{
    setenv("LC_ALL", "C.UTF-8", 1);
    std::setlocale(LC_ALL, "C.UTF-8");
}

[[noreturn]] inline void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "\nFINDING: %s\n%s\n", what, detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

inline void check(bool ok, const char *what)
{
    if (!ok)
        fail(what);
}

// detail() tells more; it is called only when the check fails, so checks cost little.
template <typename Detail> void check(bool ok, const char *what, const Detail &detail)
{
    if (!ok)
        fail(what, detail());
}

// With VADAZAZ_FUZZ_TRACE set, each input tells how far it went: for looking at seeds.
inline void trace(const QString &outcome)
{
    static const bool on = qEnvironmentVariableIsSet("VADAZAZ_FUZZ_TRACE");
    if (on)
        std::fprintf(stderr, "%s\n", withNewlines(outcome).toUtf8().constData());
}

inline QString num(double value)
{
    return QString::number(value, 'g', 17);
}

// The lines of a CPT file without their ends: every line ends with CR LF, and no CR or LF
// stands anywhere else. Views into the file, so that a large CPT is checked quickly.
inline QList<QByteArrayView> crlfLines(QByteArrayView file, const char *what)
{
    QList<QByteArrayView> lines;
    while (!file.isEmpty()) {
        const qsizetype end = file.indexOf('\n');
        check(end > 0 && file[end - 1] == '\r', what,
              [] { return QStringLiteral("a line without CR LF at its end"); });
        const QByteArrayView line = file.first(end - 1);
        check(!line.contains('\r'), what, [] { return QStringLiteral("a CR inside a line"); });
        lines.append(line);
        file = file.sliced(end + 1);
    }
    return lines;
}

using Fields = QVarLengthArray<QByteArrayView, 32>;

inline Fields fieldsOf(QByteArrayView line, QByteArrayView separator)
{
    Fields fields;
    for (;;) {
        const qsizetype at = line.indexOf(separator);
        if (at < 0)
            break;
        fields.append(line.first(at));
        line = line.sliced(at + separator.size());
    }
    fields.append(line);
    return fields;
}

// A written probability: an optional minus, digits, the decimal point, two digits, and the
// percentage divided by 100 and rounded to two decimals.
inline void checkProbability(QByteArrayView field, QByteArrayView point, double percent,
                             const char *what)
{
    const auto isDigit = [](char c) {
        return c >= '0' && c <= '9';
    };
    const QByteArrayView original = field;
    const bool negative = field.startsWith('-');
    if (negative)
        field = field.sliced(1);
    const qsizetype at = field.indexOf(point);
    bool ok = at > 0 && field.size() == at + point.size() + 2 && isDigit(field[field.size() - 2]) &&
              isDigit(field[field.size() - 1]);
    long double hundredths = 0;
    for (qsizetype i = 0; ok && i < at; ++i) {
        ok = isDigit(field[i]);
        hundredths = hundredths * 10 + (field[i] - '0');
    }
    const auto detail = [&] {
        return QStringLiteral("\"") + QString::fromUtf8(original) + QStringLiteral("\" for ") +
               num(percent);
    };
    if (!ok)
        fail(what, QStringLiteral("not a written probability: ") + detail());
    hundredths =
        hundredths * 100 + (field[field.size() - 2] - '0') * 10 + (field[field.size() - 1] - '0');
    const long double written = negative ? -hundredths : hundredths;
    check(std::fabs(double(written) - percent) <= 0.5 + std::fabs(percent) * 1e-12, what,
          [&] { return QStringLiteral("not the percentage rounded: ") + detail(); });
}

// The values that validation accepted are the numbers of the texts, in 0..100, and each column
// block of every row adds up to 100.
inline void checkValidatedValues(const QStringList &cells, const std::vector<double> &values,
                                 int noChildStates, QStringView decimalPoint)
{
    check(values.size() == std::size_t(cells.size()), "validated values: wrong count");
    double blockTotal = 0;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const double value = values[std::size_t(i)];
        check(std::isfinite(value) && value >= 0.0 && value <= 100.0,
              "validated EPT value outside 0..100",
              [&] { return cells.at(i) + QStringLiteral(" -> ") + num(value); });
        // The same text read by the C library.
        QString text = cells.at(i);
        while (text.startsWith(QLatin1Char(' ')) || text.startsWith(QLatin1Char('\t')))
            text.remove(0, 1);
        while (text.endsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char('\t')))
            text.chop(1);
        // The region's separator, a point, a comma and the Arabic separator all end the whole part.
        text.replace(decimalPoint.toString(), QStringLiteral("."));
        text.replace(QLatin1Char(','), QLatin1Char('.'));
        text.replace(QChar(0x066B), QLatin1Char('.'));
        const QByteArray bytes = text.toLatin1();
        char *end = nullptr;
        const double expected = std::strtod(bytes.constData(), &end);
        check(end == bytes.constData() + bytes.size() && expected == value,
              "validated EPT value differs from its text", [&] {
                  return QStringLiteral("\"") + cells.at(i) + QStringLiteral("\" -> ") + num(value);
              });
        blockTotal += value;
        if ((i + 1) % noChildStates == 0) {
            check(std::fabs(blockTotal - 100.0) <= noise, "validated block total is not 100",
                  [&] { return num(blockTotal); });
            blockTotal = 0;
        }
    }
}

// The CPT holds finite numbers, the EPT's rows 1 and 2 at both ends of every block, and child
// state 1 between them.
inline void checkCpt(const Problem &problem, const EptShape &shape,
                     const CellConfiguration &configuration, const std::vector<double> &eptValues,
                     const Cpt &cpt)
{
    const int n = problem.noChildStates;
    check(cpt.cptRows == cptRowCount(problem) && cpt.noChildStates == n &&
              cpt.values.size() == std::size_t(cpt.cptRows) * std::size_t(n),
          "CPT of the wrong size");
    for (const double value : cpt.values)
        check(std::isfinite(value), "NaN or infinity in the CPT", [&] { return num(value); });
    const int blockLength = configuration.noModInOrder > 0
                                ? cpt.positionStride(configuration.noModInOrder)
                                : cpt.cptRows;
    check(cpt.cptRows / blockLength == shape.eptCols / n, "CPT blocks do not match EPT blocks");
    const auto ept = [&](int r, int c) {
        return eptValues[std::size_t(r - 1) * std::size_t(shape.eptCols) + std::size_t(c - 1)];
    };
    int firstOutOfRange = 0;
    for (int first = 1; first <= cpt.cptRows; first += blockLength) {
        const int last = first + blockLength - 1;
        const int block = (first - 1) / blockLength + 1;
        for (int c = 1; c <= n; ++c) {
            check(cpt.at(first, c) == ept(1, (block - 1) * n + c),
                  "a block's first row is not EPT row 1", [&] { return QString::number(first); });
            check(cpt.at(last, c) == ept(2, (block - 1) * n + c),
                  "a block's last row is not EPT row 2", [&] { return QString::number(last); });
        }
        for (int r = first; r <= last; ++r) {
            check(cpt.at(r, 1) >= cpt.at(last, 1) - noise &&
                      cpt.at(r, 1) <= cpt.at(first, 1) + noise,
                  "child state 1 outside its block's range", [&] {
                      return QStringLiteral("row ") + QString::number(r) + QStringLiteral(": ") +
                             num(cpt.at(r, 1));
                  });
            for (int c = 1; c <= n && firstOutOfRange == 0; ++c) {
                if (cpt.at(r, c) < -noise || cpt.at(r, c) > 100.0 + noise)
                    firstOutOfRange = r;
            }
        }
    }
    check(n == 3 || firstOutOfRange == 0, "a two-state CPT outside 0..100");
    check(cpt.firstOutOfRangeRow == firstOutOfRange, "the warning names the wrong row", [&] {
        return QString::number(cpt.firstOutOfRangeRow) + QStringLiteral(" instead of ") +
               QString::number(firstOutOfRange);
    });
}

inline QByteArray written(CptLayout layout, const Problem &problem,
                          const CellConfiguration &configuration, const Cpt &cpt,
                          QStringView decimalPoint)
{
    QBuffer device;
    device.open(QIODevice::WriteOnly);
    check(configuration.parentOrder == cpt.parentOrder, "the CPT's parents in another order");
    check(writeCpt(device, layout, problem, cpt, decimalPoint), "writing the CPT to memory failed");
    return device.data();
}

inline void checkPlain(const QByteArray &file, const Cpt &cpt, QStringView decimalPoint)
{
    const QByteArray point = decimalPoint.toUtf8();
    const QList<QByteArrayView> lines = crlfLines(file, "plain layout");
    check(lines.size() == cpt.cptRows, "plain layout: wrong number of lines");
    for (int r = 1; r <= cpt.cptRows; ++r) {
        const Fields fields = fieldsOf(lines.at(r - 1), "\t\t");
        check(fields.size() == cpt.noChildStates, "plain layout: wrong number of fields",
              [&] { return QString::fromUtf8(lines.at(r - 1)); });
        for (int c = 1; c <= cpt.noChildStates; ++c)
            checkProbability(fields[c - 1], point, cpt.at(r, c), "plain layout");
    }
}

// A name in its field: the name, then spaces up to 10 characters as a reader counts them, not
// bytes.
inline QByteArray padded(const QString &name)
{
    return name.toUtf8() +
           QByteArray(std::max<qsizetype>(0, maxNameLength - characterCount(name)), ' ');
}

inline void checkLabelled(const QByteArray &file, const Problem &problem,
                          const CellConfiguration &configuration, const Cpt &cpt,
                          QStringView decimalPoint)
{
    check(QByteArrayView(file).isValidUtf8(), "labelled layout: not UTF-8");
    const QByteArray point = decimalPoint.toUtf8();
    const QList<QByteArrayView> lines = crlfLines(file, "labelled layout");
    check(lines.size() == cpt.cptRows + 2 && lines.at(1).isEmpty(),
          "labelled layout: wrong number of lines, or no empty second line");
    const int n = cpt.noChildStates;
    const int noParents = configuration.noParents;

    // Header: each parent's name in its field, each child state's cell, a TAB after each.
    const Fields header = fieldsOf(lines.at(0), "\t");
    const auto headerText = [&] {
        return QString::fromUtf8(lines.at(0));
    };
    check(header.size() == noParents + n + 1 && header[header.size() - 1].isEmpty(),
          "labelled layout: wrong number of header fields", headerText);
    for (int k = 1; k <= noParents; ++k)
        check(header[k - 1] == padded(problem.parentName(configuration.parentAt(k))),
              "labelled layout: header field of a parent", headerText);
    QList<qsizetype> valuePad;
    for (int c = 1; c <= n; ++c) {
        const QString cell = problem.childName + QLatin1Char('=') + problem.childStateName(c);
        check(header[noParents + c - 1] == cell.toUtf8(), "labelled layout: header cell of a state",
              headerText);
        // A probability and its spaces are as wide as the header cell with its TAB.
        valuePad.append(c < n ? std::max<qsizetype>(0, cell.size() + 1 - 4) : 0);
    }

    std::vector<std::vector<QByteArray>> stateFields;
    for (int k = 1; k <= noParents; ++k) {
        const int q = configuration.parentAt(k);
        stateFields.emplace_back();
        for (int s = 1; s <= problem.parentNoStates(q); ++s)
            stateFields.back().push_back(padded(problem.parentStateName(s, q)));
    }
    for (int r = 1; r <= cpt.cptRows; ++r) {
        const QByteArrayView line = lines.at(r + 1);
        const Fields fields = fieldsOf(line, "\t");
        check(fields.size() == noParents + n, "labelled layout: wrong number of row fields",
              [&] { return QString::fromUtf8(line); });
        for (int k = 1; k <= noParents; ++k) {
            const int state = cpt.rowState(r, k, problem.parentNoStates(configuration.parentAt(k)));
            check(fields[k - 1] == stateFields[std::size_t(k - 1)][std::size_t(state - 1)],
                  "labelled layout: state field", [&] { return QString::fromUtf8(line); });
        }
        for (int c = 1; c <= n; ++c) {
            QByteArrayView field = fields[noParents + c - 1];
            qsizetype pad = 0;
            while (field.endsWith(' ')) {
                field.chop(1);
                ++pad;
            }
            check(pad == valuePad.at(c - 1), "labelled layout: wrong padding after a probability",
                  [&] { return QString::fromUtf8(line); });
            checkProbability(field, point, cpt.at(r, c), "labelled layout");
        }
    }
}

inline void checkJson(const QByteArray &file, const Problem &problem,
                      const CellConfiguration &configuration, const Cpt &cpt)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file, &error);
    check(error.error == QJsonParseError::NoError && document.isObject(),
          "JSON layout does not parse", [&] { return error.errorString(); });
    check(document[QLatin1String("child")].toString() == problem.childName,
          "JSON layout: wrong child name");
    const QJsonArray childStates = document[QLatin1String("childStates")].toArray();
    check(childStates.size() == cpt.noChildStates, "JSON layout: wrong number of child states");
    for (int c = 1; c <= cpt.noChildStates; ++c)
        check(childStates.at(c - 1).toString() == problem.childStateName(c),
              "JSON layout: wrong child state name");
    const QJsonArray parents = document[QLatin1String("parents")].toArray();
    check(parents.size() == configuration.noParents, "JSON layout: wrong number of parents");
    for (int k = 1; k <= configuration.noParents; ++k)
        check(parents.at(k - 1).toString() == problem.parentName(configuration.parentAt(k)),
              "JSON layout: wrong parent name");
    const QJsonArray rows = document[QLatin1String("rows")].toArray();
    check(rows.size() == cpt.cptRows, "JSON layout: wrong number of rows");
    for (int r = 1; r <= cpt.cptRows; ++r) {
        const QJsonArray states = rows.at(r - 1)[QLatin1String("states")].toArray();
        const QJsonArray p = rows.at(r - 1)[QLatin1String("p")].toArray();
        check(states.size() == configuration.noParents && p.size() == cpt.noChildStates,
              "JSON layout: wrong row size");
        for (int k = 1; k <= configuration.noParents; ++k) {
            const int q = configuration.parentAt(k);
            check(states.at(k - 1).toString() ==
                      problem.parentStateName(cpt.rowState(r, k, problem.parentNoStates(q)), q),
                  "JSON layout: wrong state name");
        }
        for (int c = 1; c <= cpt.noChildStates; ++c)
            check(p.at(c - 1).toDouble() == cpt.at(r, c) / 100.0,
                  "JSON layout: a probability does not read back", [&] {
                      return num(p.at(c - 1).toDouble()) + QStringLiteral(" for ") +
                             num(cpt.at(r, c));
                  });
    }
}

// Takes the problem and its typed EPT (row-major, cells.size() == eptRows × eptCols of the
// problem's shape) the whole way and checks every step. A problem outside the EPT's limits, or
// with more than maxFuzzedCptRows CPT rows, is left after the shape.
inline void checkEpt(const Problem &problem, const QStringList &cells, QStringView decimalPoint)
{
    const Result<EptShape> shape = eptShapeFor(problem);
    if (!shape || cptRowCount(problem) > maxFuzzedCptRows) {
        trace(shape ? QStringLiteral("too large") : shape.failure().text);
        return;
    }
    check(cells.size() == qsizetype(shape->eptRows) * shape->eptCols, "the fuzz target's own EPT");

    const Result<Calculation> calculation = calculateCpt(problem, *shape, cells, decimalPoint);
    // The validation on its own, to check the values it accepts.
    const Result<std::vector<double>> values =
        validateEpt(cells, shape->eptRows, shape->eptCols, problem.noChildStates,
                    shape->noModParents(), decimalPoint);
    if (!calculation)
        trace(calculation.failure().text);
    check(calculation || calculation.failure().title == QStringLiteral("Calculate CPT"),
          "a refusal with a wrong title");
    if (!values) {
        check(!calculation && calculation.failure() == values.failure(),
              "the road and the validation disagree");
        return;
    }
    checkValidatedValues(cells, *values, problem.noChildStates, decimalPoint);
    if (!calculation) {
        // Only the weights of child state 3 are unbounded; those of state 1 never refuse.
        check(problem.noChildStates == 3 && calculation.failure().text.startsWith(
                                                QStringLiteral("The CPT cannot be calculated")),
              "a validated EPT refused", [&] { return calculation.failure().text; });
        return;
    }
    const Cpt &cpt = calculation->cpt;
    trace(QStringLiteral("CPT of %1 rows, first out of range %2")
              .arg(cpt.cptRows)
              .arg(cpt.firstOutOfRangeRow));
    check(calculation->warning.has_value() == (cpt.firstOutOfRangeRow != 0),
          "a warning without a row out of range, or none with one");
    const CellConfiguration configuration(problem, *shape);
    checkCpt(problem, *shape, configuration, *values, cpt);
    checkPlain(written(CptLayout::Plain, problem, configuration, cpt, decimalPoint), cpt,
               decimalPoint);
    checkLabelled(written(CptLayout::Labelled, problem, configuration, cpt, decimalPoint), problem,
                  configuration, cpt, decimalPoint);
    checkJson(written(CptLayout::Json, problem, configuration, cpt, decimalPoint), problem,
              configuration, cpt);
}

} // namespace vadazaz::fuzz
