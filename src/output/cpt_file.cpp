#include "output/cpt_file.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QStringEncoder>

#include <cmath>
#include <cstdlib>

namespace vadazaz {

namespace {

constexpr qsizetype flushSize = 1 << 20;
constexpr int fieldWidth = 10;

// Appends a rounded percentage as a two-decimal fraction, in bytes.
void appendProbability(QByteArray &out, double percent, const QByteArray &point)
{
    const double rounded = std::round(percent);
    if (std::fabs(rounded) < 1e15) {
        const auto whole = static_cast<long long>(rounded);
        if (whole < 0)
            out.append('-');
        const long long magnitude = std::llabs(whole);
        out.append(QByteArray::number(magnitude / 100));
        out.append(point);
        out.append(char('0' + magnitude % 100 / 10));
        out.append(char('0' + magnitude % 10));
        return;
    }
    QByteArray digits = QByteArray::number(std::fabs(rounded), 'f', 0);
    if (rounded < 0)
        out.append('-');
    out.append(digits.left(digits.size() - 2));
    out.append(point);
    out.append(digits.right(2));
}

QByteArray jsonString(const QString &text)
{
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"':
            out.append("\\\"");
            break;
        case '\\':
            out.append("\\\\");
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20)
                out.append("\\u00").append(QByteArray::number(int(c), 16).rightJustified(2, '0'));
            else
                out.append(c);
        }
    }
    return out.append('"');
}

QByteArray jsonFraction(double percent)
{
    return QByteArray::number(percent / 100.0, 'g', QLocale::FloatingPointShortest);
}

class RowWriter
{
public:
    explicit RowWriter(QIODevice &device) : device_(device) { buffer_.reserve(flushSize + 4096); }

    QByteArray &buffer() { return buffer_; }
    bool endLine()
    {
        return buffer_.size() >= flushSize ? flush() : ok_;
    }
    bool flush()
    {
        if (ok_ && !buffer_.isEmpty())
            ok_ = device_.write(buffer_) == buffer_.size();
        buffer_.clear();
        return ok_;
    }

private:
    QIODevice &device_;
    QByteArray buffer_;
    bool ok_ = true;
};

// States of every position, advanced row by row like an odometer.
class RowStates
{
public:
    explicit RowStates(QList<int> counts) : counts_(std::move(counts)), states_(counts_.size(), 1) {}
    int state(qsizetype k) const { return states_.at(k); }
    void next()
    {
        for (auto k = states_.size(); k-- > 0;) {
            if (states_[k] < counts_.at(k)) {
                ++states_[k];
                return;
            }
            states_[k] = 1;
        }
    }

private:
    QList<int> counts_;
    QList<int> states_;
};

bool writeText(RowWriter &out, CptLayout layout, const Problem &problem,
               const QList<int> &parentOrder, const Cpt &cpt, QStringView decimalPoint)
{
    QStringEncoder encode(QStringConverter::System);
    const auto bytes = [&](const QString &text) { return QByteArray(encode(text)); };
    const QByteArray point = bytes(decimalPoint.toString());
    const int childStates = cpt.noChildStates;

    QList<int> counts;
    QList<QList<QByteArray>> stateCells; // [position][state - 1]: padded name and TAB
    for (const int q : parentOrder) {
        counts.append(problem.parentNoStates(q));
        QList<QByteArray> cells;
        for (int s = 1; s <= problem.parentNoStates(q); ++s)
            cells.append(bytes(problem.parentStateName(s, q).leftJustified(fieldWidth)) + '\t');
        stateCells.append(cells);
    }

    QList<QByteArray> valuePad(childStates);
    if (layout == CptLayout::Labelled) {
        QString header;
        for (const int q : parentOrder)
            header += problem.parentName(q).leftJustified(fieldWidth) + QLatin1Char('\t');
        for (int j = 1; j <= childStates; ++j) {
            const QString cell =
                problem.childName + QLatin1Char('=') + problem.childStateName(j);
            header += cell + QLatin1Char('\t');
            const auto width = cell.size() + 1;
            valuePad[j - 1] = QByteArray(width > 4 ? width - 4 : 0, ' ');
        }
        out.buffer().append(bytes(header)).append("\r\n\r\n");
    }

    RowStates states(counts);
    for (int r = 1; r <= cpt.cptRows; ++r) {
        QByteArray &line = out.buffer();
        if (layout == CptLayout::Labelled) {
            for (qsizetype k = 0; k < stateCells.size(); ++k)
                line.append(stateCells.at(k).at(states.state(k) - 1));
        }
        for (int c = 1; c <= childStates; ++c) {
            if (c > 1)
                line.append(layout == CptLayout::Labelled ? valuePad.at(c - 2) + '\t'
                                                          : QByteArray("\t\t"));
            appendProbability(line, cpt.at(r, c), point);
        }
        line.append("\r\n");
        if (!out.endLine())
            return false;
        states.next();
    }
    return out.flush();
}

bool writeJson(RowWriter &out, const Problem &problem, const QList<int> &parentOrder,
               const Cpt &cpt)
{
    QByteArray &head = out.buffer();
    head.append("{\"child\": ").append(jsonString(problem.childName));
    head.append(", \"childStates\": [");
    for (int j = 1; j <= cpt.noChildStates; ++j)
        head.append(j > 1 ? ", " : "").append(jsonString(problem.childStateName(j)));
    head.append("], \"parents\": [");
    QList<int> counts;
    QList<QList<QByteArray>> stateNames;
    for (qsizetype k = 0; k < parentOrder.size(); ++k) {
        const int q = parentOrder.at(k);
        head.append(k > 0 ? ", " : "").append(jsonString(problem.parentName(q)));
        counts.append(problem.parentNoStates(q));
        QList<QByteArray> names;
        for (int s = 1; s <= problem.parentNoStates(q); ++s)
            names.append(jsonString(problem.parentStateName(s, q)));
        stateNames.append(names);
    }
    head.append("], \"rows\": [\n");

    RowStates states(counts);
    for (int r = 1; r <= cpt.cptRows; ++r) {
        QByteArray &line = out.buffer();
        line.append("{\"states\": [");
        for (qsizetype k = 0; k < stateNames.size(); ++k)
            line.append(k > 0 ? ", " : "").append(stateNames.at(k).at(states.state(k) - 1));
        line.append("], \"p\": [");
        for (int c = 1; c <= cpt.noChildStates; ++c)
            line.append(c > 1 ? ", " : "").append(jsonFraction(cpt.at(r, c)));
        line.append(r < cpt.cptRows ? "]},\n" : "]}\n");
        if (!out.endLine())
            return false;
        states.next();
    }
    out.buffer().append("]}\n");
    return out.flush();
}

} // namespace

QString formatProbability(double percent, QStringView decimalPoint)
{
    QByteArray out;
    appendProbability(out, percent, decimalPoint.toUtf8());
    return QString::fromUtf8(out);
}

bool writeCpt(QIODevice &device, CptLayout layout, const Problem &problem,
              const QList<int> &parentOrder, const Cpt &cpt, QStringView decimalPoint)
{
    RowWriter out(device);
    if (layout == CptLayout::Json)
        return writeJson(out, problem, parentOrder, cpt);
    return writeText(out, layout, problem, parentOrder, cpt, decimalPoint);
}

bool saveCptFile(const QString &path, CptLayout layout, const Problem &problem,
                 const QList<int> &parentOrder, const Cpt &cpt, QStringView decimalPoint,
                 QString *errorText)
{
    const auto fail = [&](const QString &reason) {
        if (errorText)
            *errorText = reason;
        return false;
    };
    const QFileInfo info(path);
    if (info.isDir())
        return fail(QStringLiteral("It is a folder."));
    if (info.exists() && !info.isFile()) {
        // A device or a pipe cannot be replaced by a new file: write into it directly.
        QFile direct(path);
        if (!direct.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return fail(direct.errorString());
        if (!writeCpt(direct, layout, problem, parentOrder, cpt, decimalPoint) || !direct.flush())
            return fail(direct.errorString());
        return true;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    if (!writeCpt(file, layout, problem, parentOrder, cpt, decimalPoint)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return fail(reason);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

Message saveFailedMessage(const QString &path, const QString &reason)
{
    return {QStringLiteral("Save CPT"), QStringLiteral("The CPT could not be saved to ") + path +
                                            QStringLiteral(".\r") + reason};
}

} // namespace vadazaz
