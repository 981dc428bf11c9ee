#include "core/output/cpt_file.h"

#include "core/output/probability_text.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QStringEncoder>
#include <QThread>

#include <array>
#include <charconv>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vadazaz {

namespace {

constexpr int fieldWidth = 10;
// Room for one probability: sign, the digits of any double, the decimal separator.
constexpr qsizetype probabilityRoom = 400;
// Room for the shortest text of any double.
constexpr qsizetype fractionRoom = 32;

// A short text kept in a fixed room, so that it is copied in one move.
struct Piece
{
    std::array<char, 32> bytes{};
    qsizetype size = -1; // -1: the text does not fit

    explicit Piece(const QByteArray &text)
    {
        if (text.size() <= qsizetype(bytes.size())) {
            std::copy(text.begin(), text.end(), bytes.begin());
            size = text.size();
        }
    }
};

// Collects whole rows in a buffer of its own, which grows to hold whatever it is given. Each
// writer has a cache line of its own, so that threads filling writers side by side do not slow
// each other down.
class alignas(64) RowWriter
{
public:
    // Makes room for a row of at most size bytes.
    void startRow(qsizetype size)
    {
        if (used_ + size > capacity_)
            grow(used_ + size);
    }
    void put(char c) { buffer_[std::size_t(used_++)] = c; }
    void put(const QByteArray &bytes) { put(bytes.constData(), bytes.size()); }
    void put(const std::string &bytes) { put(bytes.data(), qsizetype(bytes.size())); }
    template <std::size_t N> void put(const char (&text)[N]) { put(text, N - 1); }
    // Copies a whole piece, more than its text, in one move; the room a row asks for covers it.
    void put(const Piece &piece)
    {
        std::memcpy(buffer_.get() + used_, piece.bytes.data(), piece.bytes.size());
        used_ += piece.size;
    }
    void put(const char *text, qsizetype size)
    {
        std::memcpy(buffer_.get() + used_, text, std::size_t(size));
        used_ += size;
    }
    // Appends the shortest text that reads back as the same number.
    void putFraction(double value)
    {
        char *at = buffer_.get() + used_;
        used_ += std::to_chars(at, at + fractionRoom, value).ptr - at;
    }
    // Appends a rounded percentage as a two-decimal fraction.
    void putProbability(double percent, const QByteArray &point)
    {
        putProbabilityText(
            percent, [this](char c) { put(c); }, [&] { put(point); });
    }
    const char *data() const { return buffer_.get(); }
    qsizetype size() const { return used_; }
    void clear() { used_ = 0; }

private:
    void grow(qsizetype needed)
    {
        const qsizetype capacity = std::max({needed, 2 * capacity_, qsizetype(64) << 10});
        auto larger = std::make_unique_for_overwrite<char[]>(std::size_t(capacity));
        if (used_ > 0)
            std::memcpy(larger.get(), buffer_.get(), std::size_t(used_));
        buffer_ = std::move(larger);
        capacity_ = capacity;
    }

    std::unique_ptr<char[]> buffer_; // no copy-on-write checks on every piece
    qsizetype capacity_ = 0;
    qsizetype used_ = 0;
};

// Formats the rows first to last, counted from 1, into a writer.
using FormatRows = std::function<void(RowWriter &, int first, int last)>;

// Writes rows 1 to rows, of about rowBytes bytes each, in slices: a sixty-fourth of the whole, at
// least 64 KiB and at most 1 MiB, so that the slices are few and their memory small beside the
// file. A large table is formatted by helper threads, a few slices ahead, while this thread hands
// the finished slices to the device in order; formatRows is then called from several threads at
// once and must only read what it shares. Answers false, with the formatting stopped, as soon as
// the device fails.
bool writeRows(QIODevice &device, int rows, qsizetype rowBytes, const FormatRows &formatRows)
{
    rowBytes = std::max(rowBytes, qsizetype(1));
    const qsizetype sliceBytes =
        std::clamp(rowBytes * rows / 64, qsizetype(64) << 10, qsizetype(1) << 20);
    const int sliceRows = int(std::max(sliceBytes / rowBytes, qsizetype(1)));
    const int slices = (rows + sliceRows - 1) / sliceRows;
    const int helpers = std::min(QThread::idealThreadCount(), 4);
    const auto format = [&](RowWriter &out, int slice) {
        const int first = slice * sliceRows + 1;
        formatRows(out, first, std::min(first + sliceRows - 1, rows));
    };
    if (slices < 2 || helpers < 2) {
        RowWriter out;
        for (int slice = 0; slice < slices; ++slice) {
            out.clear();
            format(out, slice);
            if (!writeWhole(device, out.data(), out.size()))
                return false;
        }
        return true;
    }

    // Slice s is formatted into ring[s % ring.size()] once the slice that used it before is
    // written.
    std::vector<RowWriter> ring(std::size_t(helpers) * 3);
    const int ahead = int(ring.size());
    std::vector<int> finished(ring.size(), -1); // the slice each place holds, once formatted
    std::mutex mutex;
    std::condition_variable changed;
    int nextToFormat = 0;
    int written = 0;
    bool stopped = false;
    const auto help = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] {
                return stopped || nextToFormat == slices || nextToFormat < written + ahead;
            });
            if (stopped || nextToFormat == slices)
                return;
            const int slice = nextToFormat++;
            RowWriter &out = ring[std::size_t(slice % ahead)];
            lock.unlock();
            out.clear();
            format(out, slice);
            lock.lock();
            finished[std::size_t(slice % ahead)] = slice;
            changed.notify_all();
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < helpers; ++i)
        threads.emplace_back(help);

    bool ok = true;
    for (int slice = 0; slice < slices && ok; ++slice) {
        const auto place = std::size_t(slice % ahead);
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return finished[place] == slice; });
        }
        ok = writeWhole(device, ring[place].data(), ring[place].size());
        const std::lock_guard lock(mutex);
        written = slice + 1;
        stopped = !ok;
        changed.notify_all();
    }
    for (std::thread &thread : threads)
        thread.join();
    return ok;
}

// The parent-state texts of a row, joined. Rows change like an odometer (the last position
// fastest), so each row keeps the texts of the row before up to the first position that moved.
class RowPrefix
{
public:
    RowPrefix(std::vector<std::vector<QByteArray>> texts, QByteArray between)
        : texts_(std::move(texts)), between_(std::move(between)), states_(texts_.size(), 0),
          starts_(texts_.size(), 0)
    {
        rebuildFrom(0);
    }
    const std::string &text() const { return text_; }
    // The most any row's text can take.
    qsizetype longest() const
    {
        qsizetype room = 0;
        for (const auto &states : texts_) {
            qsizetype widest = 0;
            for (const QByteArray &state : states)
                widest = std::max(widest, state.size());
            room += between_.size() + widest;
        }
        return room;
    }
    // Moves to row r, counted from 1 from the table's first row.
    void startAt(int r)
    {
        auto rest = std::size_t(r - 1);
        for (auto k = states_.size(); k-- > 0;) {
            states_[k] = rest % texts_[k].size();
            rest /= texts_[k].size();
        }
        rebuildFrom(0);
    }
    void next()
    {
        for (auto k = states_.size(); k-- > 0;) {
            if (states_[k] + 1 < texts_[k].size()) {
                ++states_[k];
                rebuildFrom(k);
                return;
            }
            states_[k] = 0;
        }
        rebuildFrom(0);
    }

private:
    void rebuildFrom(std::size_t first)
    {
        text_.resize(first < starts_.size() ? starts_[first] : text_.size());
        for (std::size_t k = first; k < texts_.size(); ++k) {
            starts_[k] = text_.size();
            if (k > 0)
                text_.append(between_.constData(), std::size_t(between_.size()));
            const QByteArray &state = texts_[k][states_[k]];
            text_.append(state.constData(), std::size_t(state.size()));
        }
    }

    std::vector<std::vector<QByteArray>> texts_; // per position, the text of each state
    QByteArray between_;
    std::vector<std::size_t> states_; // per position, its state counted from 0
    std::vector<std::size_t> starts_; // where each position's text begins
    std::string text_;
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

// Per position, the text of each of its parent's states.
std::vector<std::vector<QByteArray>>
stateTexts(const Problem &problem, const QList<int> &parentOrder,
           const std::function<QByteArray(const QString &)> &text)
{
    std::vector<std::vector<QByteArray>> texts;
    for (const int q : parentOrder) {
        std::vector<QByteArray> states;
        for (int s = 1; s <= problem.parentNoStates(q); ++s)
            states.push_back(text(problem.parentStateName(s, q)));
        texts.push_back(std::move(states));
    }
    return texts;
}

bool writeText(QIODevice &device, CptLayout layout, const Problem &problem, const Cpt &cpt,
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
    const RowPrefix prefix(labelled
                               ? stateTexts(problem, parentOrder,
                                            [&](const QString &name) {
                                                return bytes(paddedName(name, fieldWidth)) + '\t';
                                            })
                               : std::vector<std::vector<QByteArray>>{},
                           QByteArray());

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
        if (!writeWhole(device, line.constData(), line.size()))
            return false;
    }
    qsizetype rowRoom = 2 + prefix.longest();
    for (const QByteArray &between : separator)
        rowRoom += probabilityRoom + point.size() + between.size();

    // Each column's separator and the whole percents 0 to 100, as most probabilities are,
    // joined once.
    std::vector<std::vector<Piece>> percents(static_cast<std::size_t>(childStates));
    for (int c = 1; c <= childStates; ++c) {
        for (int whole = 0; whole <= 100; ++whole) {
            const QByteArray digits = QByteArray::number(100 + whole);
            percents[std::size_t(c - 1)].emplace_back(
                (c > 1 ? separator[std::size_t(c - 2)] : QByteArray()) +
                (whole == 100 ? '1' : '0') + point + digits.right(2));
        }
    }

    qsizetype rowBytes = 2 + prefix.longest();
    for (const std::vector<Piece> &column : percents)
        rowBytes += column.front().size;
    return writeRows(device, cpt.cptRows, rowBytes, [&](RowWriter &out, int first, int last) {
        RowPrefix names = prefix;
        names.startAt(first);
        for (int r = first; r <= last; ++r) {
            out.startRow(rowRoom);
            if (labelled)
                out.put(names.text());
            for (int c = 1; c <= childStates; ++c) {
                const double percent = cpt.at(r, c);
                if (percent >= 0.0 && percent < 100.5) {
                    // Rounded halves up, as std::round does for these, without a call; the
                    // fraction of such a percent is exact.
                    const int whole = int(percent);
                    const int rounded = whole + (percent - whole >= 0.5 ? 1 : 0);
                    const Piece &piece = percents[std::size_t(c - 1)][std::size_t(rounded)];
                    if (piece.size >= 0) {
                        out.put(piece);
                        continue;
                    }
                }
                if (c > 1)
                    out.put(separator[std::size_t(c - 2)]);
                out.putProbability(percent, point);
            }
            out.put("\r\n");
            if (labelled)
                names.next();
        }
    });
}

bool writeJson(QIODevice &device, const Problem &problem, const Cpt &cpt)
{
    const QList<int> &parentOrder = cpt.parentOrder;
    QByteArray head = "{\"child\": " + jsonString(problem.childName) + ", \"childStates\": [";
    for (int j = 1; j <= cpt.noChildStates; ++j)
        head.append(j > 1 ? ", " : "").append(jsonString(problem.childStateName(j)));
    head.append("], \"parents\": [");
    for (qsizetype k = 0; k < parentOrder.size(); ++k)
        head.append(k > 0 ? ", " : "").append(jsonString(problem.parentName(parentOrder.at(k))));
    head.append("], \"rows\": [\n");
    if (!writeWhole(device, head.constData(), head.size()))
        return false;

    const RowPrefix prefix(stateTexts(problem, parentOrder, jsonString), QByteArray(", "));
    const qsizetype rowRoom = 32 + prefix.longest() + cpt.noChildStates * (fractionRoom + 2);
    const bool rowsWritten =
        writeRows(device, cpt.cptRows, rowRoom, [&](RowWriter &out, int first, int last) {
            RowPrefix names = prefix;
            names.startAt(first);
            for (int r = first; r <= last; ++r) {
                out.startRow(rowRoom);
                out.put("{\"states\": [");
                out.put(names.text());
                out.put("], \"p\": [");
                for (int c = 1; c <= cpt.noChildStates; ++c) {
                    if (c > 1)
                        out.put(", ");
                    // The shortest text that reads back as the same fraction, written in place.
                    out.putFraction(cpt.at(r, c) / 100.0);
                }
                if (r < cpt.cptRows)
                    out.put("]},\n");
                else
                    out.put("]}\n");
                names.next();
            }
        });
    return rowsWritten && writeWhole(device, "]}\n", 3);
}

} // namespace

QString formatProbability(double percent, QStringView decimalPoint)
{
    RowWriter out;
    out.startRow(probabilityRoom + decimalPoint.toUtf8().size());
    out.putProbability(percent, decimalPoint.toUtf8());
    return QString::fromUtf8(out.data(), out.size());
}

bool writeCpt(QIODevice &device, CptLayout layout, const Problem &problem, const Cpt &cpt,
              QStringView decimalPoint)
{
    if (layout == CptLayout::Json)
        return writeJson(device, problem, cpt);
    return writeText(device, layout, problem, cpt, decimalPoint);
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
