#include "core/output/viewer_text.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <exception>

namespace vadazaz {

namespace {

constexpr qint64 chunkSize = 1 << 20;

// How many bytes at the end start a UTF-8 sequence without finishing it. They are decoded with
// the next piece: a decoder left holding them drops the first byte of the next piece when that
// byte does not continue the sequence, so a broken character would take the CR after it, or the
// next letter, with it. In a code page of single bytes, holding them back changes nothing.
qsizetype unfinishedSequence(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    for (qsizetype back = 1; back <= std::min<qsizetype>(3, size); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[size - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // continues a sequence that starts further back
        const qsizetype length = byte < 0xC0   ? 1
                                 : byte < 0xE0 ? 2
                                 : byte < 0xF0 ? 3
                                 : byte < 0xF8 ? 4
                                               : 1;
        return length > back ? back : 0;
    }
    return 0;
}

} // namespace

QString &viewerText()
{
    static QString text;
    return text;
}

struct ViewerTextBuilder::Private
{
    QStringDecoder decoder{QStringDecoder::System};
    QString text;
    QByteArray lines;       // the piece being appended, with its line ends made CR LF
    bool pendingCr = false; // the last piece ended with a CR whose LF may start the next one
    bool lineOpen = false;  // characters have come since the last line end

    // Decodes the lines; an unfinished character at their end waits for the next piece unless
    // this is the last one.
    void decode(bool last)
    {
        const qsizetype waiting = last ? 0 : unfinishedSequence(lines);
        const QByteArrayView ready = QByteArrayView(lines).first(lines.size() - waiting);
        const qsizetype needed = text.size() + decoder.requiredSpace(ready.size());
        if (needed > text.capacity())
            text.reserve(std::max(needed, text.capacity() * 2));
        const qsizetype old = text.size();
        text.resize(needed);
        QChar *end = decoder.appendToBuffer(text.data() + old, ready);
        text.truncate(end - text.constData());
        lines.remove(0, ready.size());
    }
};

ViewerTextBuilder::ViewerTextBuilder() : d(new Private) {}

ViewerTextBuilder::~ViewerTextBuilder()
{
    delete d;
}

void ViewerTextBuilder::reserve(qint64 bytes)
{
    if (bytes > 0)
        d->text.reserve(qsizetype(bytes) + 2);
}

void ViewerTextBuilder::append(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    const char *data = bytes.data();
    const qsizetype size = bytes.size();
    d->lines.reserve(d->lines.size() + size + 2);
    qsizetype i = 0;
    if (d->pendingCr) {
        d->pendingCr = false;
        d->lines.append("\r\n");
        d->lineOpen = false;
        if (data[0] == '\n')
            i = 1;
    }
    while (i < size) {
        const void *found = std::memchr(data + i, '\r', std::size_t(size - i));
        const qsizetype cr = found ? static_cast<const char *>(found) - data : size;
        if (cr > i) {
            d->lines.append(data + i, cr - i);
            d->lineOpen = true;
        }
        if (cr == size)
            break;
        if (cr + 1 == size) {
            d->pendingCr = true; // a CR LF may be split between two pieces
            i = size;
            break;
        }
        d->lines.append("\r\n");
        d->lineOpen = false;
        i = data[cr + 1] == '\n' ? cr + 2 : cr + 1;
    }
    d->decode(false);
}

QString ViewerTextBuilder::finish()
{
    if (d->pendingCr || d->lineOpen)
        d->lines.append("\r\n");
    d->pendingCr = false;
    d->lineOpen = false;
    d->decode(true);
    QString text = std::move(d->text);
    d->text = QString();
    d->decoder.resetState();
    return text;
}

QString viewerTextOf(QByteArrayView bytes)
{
    ViewerTextBuilder builder;
    builder.append(bytes);
    return builder.finish();
}

ViewerRead readViewerText(QIODevice &device, qint64 limit)
{
    try {
        ViewerTextBuilder builder;
        if (!device.isSequential()) {
            const qint64 size = device.size() - device.pos();
            if (size > limit)
                return {{}, fileTooLargeMessage()};
            builder.reserve(size);
        }
        QByteArray chunk(chunkSize, Qt::Uninitialized);
        for (qint64 total = 0;;) {
            // Near the limit, one byte more than it allows shows whether the device holds more.
            const qint64 room = limit - total;
            const qint64 wanted = room < chunkSize ? room + 1 : chunkSize;
            const qint64 got = device.read(chunk.data(), wanted);
            if (got < 0)
                return {{}, fileTooLargeMessage()};
            if (got == 0)
                break;
            total += got;
            if (total > limit)
                return {{}, fileTooLargeMessage()};
            builder.append(QByteArrayView(chunk.constData(), got));
        }
        return {builder.finish(), std::nullopt};
    } catch (const std::exception &) {
        return {{}, fileTooLargeMessage()};
    }
}

ViewerRead readViewerFile(const QString &path, qint64 limit)
{
    // Opening a pipe waits for a writer, and a device may never end: only files are read.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir())
        return {
            {}, cannotOpenFileMessage(path, QStringLiteral("It is not a regular file.")), false};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, cannotOpenFileMessage(path, file.errorString()), false};
    return readViewerText(file, limit);
}

Message fileTooLargeMessage()
{
    return {appTitle(), QStringLiteral("The specified file is too large.")};
}

Message cannotOpenFileMessage(const QString &path, const QString &reason)
{
    return {QStringLiteral("View CPT file"), QStringLiteral("The file ") + path +
                                                 QStringLiteral(" could not be opened.\r") +
                                                 reason};
}

} // namespace vadazaz
