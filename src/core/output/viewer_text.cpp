#include "core/output/viewer_text.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <bit>
#include <cstring>
#include <exception>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vadazaz {

namespace {

constexpr qint64 chunkSize = 1 << 20;
constexpr qsizetype rowsPerMark = 64;
constexpr qsizetype bytesPerMark = 4096;

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// The CRs and LFs among the 64 bytes from at (fewer at the end), as bits from the lowest.
quint64 lineEndsAt(const char *data, qsizetype at, qsizetype size)
{
    quint64 ends = 0;
#if defined(__SSE2__)
    if (at + 64 <= size) {
        const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
        for (int i = 0; i < 4; ++i) {
            const __m128i bytes =
                _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + at + 16 * i));
            const int found = _mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
            ends |= quint64(quint16(found)) << (16 * i);
        }
        return ends;
    }
#endif
    for (qsizetype i = at; i < std::min(at + 64, size); ++i)
        if (isLineEnd(data[i]))
            ends |= quint64(1) << (i - at);
    return ends;
}

// Where the row after the one holding byte at starts, for a row that has a line end.
qsizetype nextRowStart(const char *data, qsizetype at, qsizetype size)
{
    while (!isLineEnd(data[at]))
        ++at;
    return data[at] == '\r' && at + 1 < size && data[at + 1] == '\n' ? at + 2 : at + 1;
}

// East Asian wide and full-width characters, which take two columns.
constexpr std::pair<char32_t, char32_t> wideRanges[] = {
    {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},  {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3},  {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},  {0x1F300, 0x1F64F},
    {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD}};

int widthOf(char32_t code)
{
    if (code < 0x300)
        return 1;
    switch (QChar::category(code)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_Enclosing:
    case QChar::Other_Format:
        return 0;
    default:
        break;
    }
    for (const auto &[first, last] : wideRanges)
        if (code >= first && code <= last)
            return 2;
    return 1;
}

} // namespace

ViewerFile::ViewerFile(QByteArray bytes) : bytes_(std::move(bytes))
{
    const char *data = bytes_.constData();
    const qsizetype size = bytes_.size();
    if (size == 0)
        return;
    marks_.push_back({0, 0});
    // Each CR, and each LF that does not end a CR LF, starts a row.
    qsizetype row = 0, next = 0;
    for (qsizetype block = 0; block < size; block += 64) {
        for (quint64 ends = lineEndsAt(data, block, size); ends != 0; ends &= ends - 1) {
            const qsizetype at = block + std::countr_zero(ends);
            if (data[at] == '\n' && at > 0 && data[at - 1] == '\r')
                continue;
            next = data[at] == '\r' && at + 1 < size && data[at + 1] == '\n' ? at + 2 : at + 1;
            ++row;
            const Mark &last = marks_.back();
            if (row - last.row >= rowsPerMark || next - last.start >= bytesPerMark)
                marks_.push_back({quint32(row), quint32(next)});
        }
    }
    // After a CR or a CR LF at the very end no row starts; after an LF an empty one does.
    const bool crAtEnd =
        data[size - 1] == '\r' || (size >= 2 && data[size - 2] == '\r' && data[size - 1] == '\n');
    if (next == size && crAtEnd) {
        rows_ = row;
        lastEnd_ = data[size - 1] == '\r' ? size - 1 : size - 2;
    } else {
        rows_ = row + 1;
        lastEnd_ = size;
    }
    if (marks_.back().row == rows_)
        marks_.pop_back();
    marks_.shrink_to_fit();
}

qsizetype ViewerFile::rowStart(qsizetype n) const
{
    auto mark = std::upper_bound(marks_.begin(), marks_.end(), n,
                                 [](qsizetype row, const Mark &m) { return row < m.row; });
    --mark; // the first mark is row 0
    qsizetype at = mark->start;
    for (qsizetype r = mark->row; r < n; ++r)
        at = nextRowStart(bytes_.constData(), at, bytes_.size());
    return at;
}

QByteArrayView ViewerFile::row(qsizetype n) const
{
    if (n < 0 || n >= rows_)
        return {};
    const qsizetype start = rowStart(n);
    qsizetype end = lastEnd_;
    if (n + 1 < rows_) {
        // A CR before an LF always ends a line together with it.
        end = rowStart(n + 1);
        end -= end >= 2 && bytes_.at(end - 2) == '\r' && bytes_.at(end - 1) == '\n' ? 2 : 1;
    }
    return QByteArrayView(bytes_).sliced(start, end - start);
}

RowChar charAt(QByteArrayView row, qsizetype at)
{
    const auto byte = [row](qsizetype i) {
        return i < row.size() ? static_cast<unsigned char>(row[i]) : 0u;
    };
    const unsigned lead = byte(at);
    if (lead < 0x80)
        return {lead, 1};
    // The second byte's range rules out overlong forms, surrogates and code points past U+10FFFF.
    int length = 0;
    char32_t code = 0;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {QChar::ReplacementCharacter, 1};
    }
    for (int i = 1; i < length; ++i) {
        const unsigned next = byte(at + i);
        if (next < low || next > high)
            return {QChar::ReplacementCharacter, 1};
        code = (code << 6) | (next & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return {code, length};
}

qsizetype charStart(QByteArrayView row, qsizetype at)
{
    for (qsizetype back = 1; back <= 3 && back <= at; ++back) {
        if ((static_cast<unsigned char>(row[at - back + 1]) & 0xC0) != 0x80)
            return at; // byte at, or one between it and the candidate, starts a character
        if ((static_cast<unsigned char>(row[at - back]) & 0xC0) != 0x80)
            return charAt(row, at - back).length > back ? at - back : at;
    }
    return at;
}

QString textOf(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        qsizetype ascii = at;
        while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80)
            ++ascii;
        if (ascii > at) {
            text.append(QLatin1StringView(bytes.sliced(at, ascii - at)));
            at = ascii;
            continue;
        }
        const RowChar c = charAt(bytes, at);
        if (QChar::requiresSurrogates(c.code)) {
            text.append(QChar(QChar::highSurrogate(c.code)));
            text.append(QChar(QChar::lowSurrogate(c.code)));
        } else {
            text.append(QChar(char16_t(c.code)));
        }
        at += c.length;
    }
    return text;
}

qint64 columnAfter(char32_t code, qint64 column)
{
    return code == U'\t' ? (column / 8 + 1) * 8 : column + widthOf(code);
}

RowColumns::RowColumns(QByteArrayView row)
{
    qint64 column = 0;
    qsizetype nextMark = stride;
    for (qsizetype at = 0; at < row.size();) {
        if (at >= nextMark) {
            marks_.push_back({at, column});
            nextMark = (at / stride + 1) * stride;
        }
        const auto byte = static_cast<unsigned char>(row[at]);
        if (byte < 0x80) {
            column = byte == '\t' ? (column / 8 + 1) * 8 : column + 1;
            ++at;
            continue;
        }
        const RowChar c = charAt(row, at);
        column = columnAfter(c.code, column);
        at += c.length;
    }
    width_ = column;
}

qint64 RowColumns::columnOf(QByteArrayView row, qsizetype at) const
{
    auto mark = std::upper_bound(marks_.begin(), marks_.end(), at,
                                 [](qsizetype byte, const RowPlace &m) { return byte < m.byte; });
    RowPlace place = mark == marks_.begin() ? RowPlace() : *(mark - 1);
    while (place.byte < at) {
        const RowChar c = charAt(row, place.byte);
        place.column = columnAfter(c.code, place.column);
        place.byte += c.length;
    }
    return place.column;
}

RowPlace RowColumns::placeAt(QByteArrayView row, qint64 column) const
{
    auto mark =
        std::upper_bound(marks_.begin(), marks_.end(), column,
                         [](qint64 wanted, const RowPlace &m) { return wanted < m.column; });
    RowPlace place = mark == marks_.begin() ? RowPlace() : *(mark - 1);
    while (place.byte < row.size()) {
        const RowChar c = charAt(row, place.byte);
        const qint64 after = columnAfter(c.code, place.column);
        if (after > column)
            break;
        place = {place.byte + c.length, after};
    }
    return place;
}

ViewerRead readViewerDevice(QIODevice &device, qint64 limit)
{
    // The index counts bytes in 32 bits.
    limit = std::min<qint64>(limit, std::numeric_limits<quint32>::max() - 1);
    try {
        // A file is read into room for its size and one byte more, which shows whether it grew.
        qint64 room = std::min(chunkSize, limit + 1);
        if (!device.isSequential()) {
            const qint64 size = device.size() - device.pos();
            if (size > limit)
                return fileTooLargeMessage();
            room = size + 1;
        }
        QByteArray bytes(qsizetype(room), Qt::Uninitialized);
        qint64 total = 0;
        for (;;) {
            if (total == bytes.size())
                bytes.resize(
                    qsizetype(std::min(limit + 1, total + std::max(total / 2, chunkSize))));
            const qint64 got = device.read(bytes.data() + total, bytes.size() - total);
            if (got < 0)
                return fileTooLargeMessage();
            if (got == 0)
                break;
            total += got;
            if (total > limit)
                return fileTooLargeMessage();
        }
        bytes.truncate(qsizetype(total));
        return ViewerFile(std::move(bytes));
    } catch (const std::exception &) {
        return fileTooLargeMessage();
    }
}

ViewerRead readViewerFile(const QString &path, qint64 limit)
{
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir())
        return cannotOpenFileMessage(path, QStringLiteral("It is not a regular file."));
    // The bytes are read, not mapped: a mapped file that another program cuts short would
    // bring the program down.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return cannotOpenFileMessage(path, file.errorString());
    return readViewerDevice(file, limit);
}

Message fileTooLargeMessage()
{
    return {appTitle(), QStringLiteral("The specified file is too large.")};
}

Message cannotOpenFileMessage(const QString &path, const QString &reason)
{
    return {QStringLiteral("View CPT file"),
            QStringLiteral("The file %1 could not be opened.\r%2").arg(path, reason)};
}

} // namespace vadazaz
