#include "core/output/cpt_file.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringEncoder>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace vadazaz {

namespace {

constexpr qsizetype flushSize = 1 << 20;
constexpr int fieldWidth = 10;
// Room for one probability: sign, the digits of any double, the decimal separator.
constexpr qsizetype probabilityRoom = 400;

// Collects whole rows in a buffer of its own and hands them to the device a megabyte at a time.
class RowWriter
{
public:
    explicit RowWriter(QIODevice &device) : device_(device) {}

    // Makes room for a row of at most size bytes; answers false once the device failed.
    bool startRow(qsizetype size)
    {
        if (used_ + size > buffer_.size()) {
            if (!flush())
                return false;
            if (size > buffer_.size())
                buffer_.resize(std::max(flushSize, size));
        }
        return ok_;
    }
    void put(char c) { buffer_.data()[used_++] = c; }
    void put(const QByteArray &bytes)
    {
        std::memcpy(buffer_.data() + used_, bytes.constData(), std::size_t(bytes.size()));
        used_ += bytes.size();
    }
    template <std::size_t N> void put(const char (&text)[N]) { put(text, N - 1); }
    void put(const char *text, qsizetype size)
    {
        std::memcpy(buffer_.data() + used_, text, std::size_t(size));
        used_ += size;
    }
    // Appends a rounded percentage as a two-decimal fraction.
    void putProbability(double percent, const QByteArray &point)
    {
        const double rounded = std::round(percent);
        if (!(std::fabs(rounded) < 1e15)) {
            const QByteArray digits = QByteArray::number(std::fabs(rounded), 'f', 0);
            if (rounded < 0)
                put('-');
            put(digits.constData(), digits.size() - 2);
            put(point);
            put(digits.constData() + digits.size() - 2, 2);
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
            put('-');
        while (n > 2)
            put(digits[--n]);
        put(point);
        put(digits[1]);
        put(digits[0]);
    }
    bool flush()
    {
        if (ok_ && used_ > 0)
            ok_ = device_.write(buffer_.constData(), used_) == used_;
        used_ = 0;
        if (buffer_.isEmpty())
            buffer_.resize(flushSize);
        return ok_;
    }

private:
    QIODevice &device_;
    QByteArray buffer_;
    qsizetype used_ = 0;
    bool ok_ = true;
};

// States of every position, advanced row by row like an odometer: the last position fastest.
class RowStates
{
public:
    explicit RowStates(std::vector<int> counts)
        : counts_(std::move(counts)), states_(counts_.size(), 1)
    {}
    int state(std::size_t k) const { return states_[k]; }
    void next()
    {
        for (auto k = states_.size(); k-- > 0;) {
            if (states_[k] < counts_[k]) {
                ++states_[k];
                return;
            }
            states_[k] = 1;
        }
    }

private:
    std::vector<int> counts_;
    std::vector<int> states_;
};

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

// Per position, the text of each state, and the longest of them.
struct StateTexts
{
    std::vector<std::vector<QByteArray>> texts;
    std::vector<int> counts;
    qsizetype longest = 0; // all positions together

    StateTexts(const Problem &problem, const QList<int> &parentOrder,
               const std::function<QByteArray(const QString &)> &text)
    {
        for (const int q : parentOrder) {
            counts.push_back(problem.parentNoStates(q));
            std::vector<QByteArray> states;
            qsizetype widest = 0;
            for (int s = 1; s <= problem.parentNoStates(q); ++s) {
                states.push_back(text(problem.parentStateName(s, q)));
                widest = std::max(widest, states.back().size());
            }
            texts.push_back(std::move(states));
            longest += widest + 2;
        }
    }
};

bool writeText(RowWriter &out, CptLayout layout, const Problem &problem, const Cpt &cpt,
               QStringView decimalPoint)
{
    const QList<int> &parentOrder = cpt.parentOrder;
    QStringEncoder encode(QStringConverter::System);
    const auto bytes = [&](const QString &text) {
        return QByteArray(encode(text));
    };
    const QByteArray point = bytes(decimalPoint.toString());
    const int childStates = cpt.noChildStates;
    const bool labelled = layout == CptLayout::Labelled;
    const StateTexts cells(problem, parentOrder, [&](const QString &name) {
        return bytes(paddedName(name, fieldWidth)) + '\t';
    });

    // What stands between two probabilities of a row.
    std::vector<QByteArray> separator(std::size_t(childStates), QByteArray("\t\t"));
    if (labelled) {
        QString header;
        for (const int q : parentOrder)
            header += paddedName(problem.parentName(q), fieldWidth) + QLatin1Char('\t');
        for (int j = 1; j <= childStates; ++j) {
            const QString cell = problem.childName + QLatin1Char('=') + problem.childStateName(j);
            header += cell + QLatin1Char('\t');
            const auto width = cell.size() + 1;
            separator[std::size_t(j - 1)] = QByteArray(width > 4 ? width - 4 : 0, ' ') + '\t';
        }
        const QByteArray line = bytes(header) + "\r\n\r\n";
        if (!out.startRow(line.size()))
            return false;
        out.put(line);
    }
    qsizetype rowRoom = 2 + (labelled ? cells.longest : 0);
    for (const QByteArray &between : separator)
        rowRoom += probabilityRoom + point.size() + between.size();

    RowStates states(cells.counts);
    for (int r = 1; r <= cpt.cptRows; ++r) {
        if (!out.startRow(rowRoom))
            return false;
        if (labelled) {
            for (std::size_t k = 0; k < cells.texts.size(); ++k)
                out.put(cells.texts[k][std::size_t(states.state(k) - 1)]);
        }
        for (int c = 1; c <= childStates; ++c) {
            if (c > 1)
                out.put(separator[std::size_t(c - 2)]);
            out.putProbability(cpt.at(r, c), point);
        }
        out.put("\r\n");
        states.next();
    }
    return out.flush();
}

bool writeJson(RowWriter &out, const Problem &problem, const Cpt &cpt)
{
    const QList<int> &parentOrder = cpt.parentOrder;
    QByteArray head = "{\"child\": " + jsonString(problem.childName) + ", \"childStates\": [";
    for (int j = 1; j <= cpt.noChildStates; ++j)
        head.append(j > 1 ? ", " : "").append(jsonString(problem.childStateName(j)));
    head.append("], \"parents\": [");
    for (qsizetype k = 0; k < parentOrder.size(); ++k)
        head.append(k > 0 ? ", " : "").append(jsonString(problem.parentName(parentOrder.at(k))));
    head.append("], \"rows\": [\n");
    if (!out.startRow(head.size()))
        return false;
    out.put(head);

    const StateTexts names(problem, parentOrder, jsonString);
    const qsizetype rowRoom = 32 + names.longest + cpt.noChildStates * 40;
    RowStates states(names.counts);
    for (int r = 1; r <= cpt.cptRows; ++r) {
        if (!out.startRow(rowRoom))
            return false;
        out.put("{\"states\": [");
        for (std::size_t k = 0; k < names.texts.size(); ++k) {
            if (k > 0)
                out.put(", ");
            out.put(names.texts[k][std::size_t(states.state(k) - 1)]);
        }
        out.put("], \"p\": [");
        for (int c = 1; c <= cpt.noChildStates; ++c) {
            if (c > 1)
                out.put(", ");
            // The shortest text that reads back as the same fraction.
            char fraction[32];
            const auto end =
                std::to_chars(fraction, fraction + sizeof fraction, cpt.at(r, c) / 100.0);
            out.put(fraction, end.ptr - fraction);
        }
        if (r < cpt.cptRows)
            out.put("]},\n");
        else
            out.put("]}\n");
        states.next();
    }
    if (!out.startRow(3))
        return false;
    out.put("]}\n");
    return out.flush();
}

} // namespace

QString formatProbability(double percent, QStringView decimalPoint)
{
    QBuffer device;
    device.open(QIODevice::WriteOnly);
    RowWriter out(device);
    out.startRow(probabilityRoom + decimalPoint.toUtf8().size());
    out.putProbability(percent, decimalPoint.toUtf8());
    out.flush();
    return QString::fromUtf8(device.data());
}

bool writeCpt(QIODevice &device, CptLayout layout, const Problem &problem, const Cpt &cpt,
              QStringView decimalPoint)
{
    RowWriter out(device);
    if (layout == CptLayout::Json)
        return writeJson(out, problem, cpt);
    return writeText(out, layout, problem, cpt, decimalPoint);
}

Result<void> saveCptFile(const QString &path, CptLayout layout, const Problem &problem,
                         const Cpt &cpt, QStringView decimalPoint, const SaveFailure &failed)
{
    return saveFile(
        path, [&](QIODevice &file) { return writeCpt(file, layout, problem, cpt, decimalPoint); },
        failed);
}

QString saveCptTitle()
{
    return QStringLiteral("Save CPT");
}

Message saveFailedMessage(const QString &path, const QString &reason)
{
    return {saveCptTitle(),
            QStringLiteral("The CPT could not be saved to %1.\r%2").arg(path, reason)};
}

} // namespace vadazaz
