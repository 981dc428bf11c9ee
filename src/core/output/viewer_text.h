#pragma once

#include "core/base/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>

#include <vector>

namespace vadazaz {

// A file as the viewer shows it: its bytes, read once, and an index of where its rows start.
//
// The viewer shows a file in rows. A row ends at CR LF or at a lone CR, which end a line of the
// file and are not part of it, or at a lone LF, which stays inside its line and breaks it on the
// screen. The last row needs no end, and after an LF at the very end comes one more, empty,
// row. An empty file has no rows. The bytes are kept as they are, NUL bytes included.
//
// The index holds the start of every 64th row, and of every row that starts 4096 bytes or more
// past the last one it holds: whatever the file, it takes at most an eighth of the file's size
// (a file of nothing but line ends), and finding a row looks at fewer than 4096 bytes.
class ViewerFile
{
public:
    ViewerFile() = default;
    // Indexes the bytes, of which there may be at most 4 GiB - 1.
    explicit ViewerFile(QByteArray bytes);

    qsizetype rowCount() const { return rows_; }
    // The bytes of row n (counted from 0), without its line end.
    QByteArrayView row(qsizetype n) const;
    // The memory the index takes, in bytes.
    qsizetype indexBytes() const { return qsizetype(marks_.capacity() * sizeof(Mark)); }

private:
    struct Mark
    {
        quint32 row;
        quint32 start;
    };
    qsizetype rowStart(qsizetype n) const;

    QByteArray bytes_;
    std::vector<Mark> marks_;
    qsizetype rows_ = 0;
    qsizetype lastEnd_ = 0; // where the last row ends
};

// One character of a row: its code point, U+FFFD for a byte that does not belong to a valid
// UTF-8 character (the system's code page), and how many bytes it takes.
struct RowChar
{
    char32_t code;
    int length;
};

// The character that starts at byte at of the row.
RowChar charAt(QByteArrayView row, qsizetype at);
// The start of the character that holds byte at: a row can be cut anywhere without splitting a
// character, and every byte outside a valid character is a character of its own.
qsizetype charStart(QByteArrayView row, qsizetype at);
// The text of bytes that start and end between characters.
QString textOf(QByteArrayView bytes);

// The column after a character that starts at column, in the fixed-pitch font: a TAB runs to
// the next tab stop (every 8 columns), an East Asian wide character takes two columns, a
// combining mark or format character none, every other character one.
qint64 columnAfter(char32_t code, qint64 column);

// A place on the screen: a byte of a row at which a character starts, and its column.
struct RowPlace
{
    qsizetype byte = 0;
    qint64 column = 0;
};

// Where the characters of one row stand. A long row keeps the place of a character every
// 4096 bytes, so that finding a place looks at about 4096 bytes at most, however long the row.
class RowColumns
{
public:
    explicit RowColumns(QByteArrayView row);

    // The columns the whole row takes.
    qint64 width() const { return width_; }
    // The column at which the character at byte at (or the row's end) starts.
    qint64 columnOf(QByteArrayView row, qsizetype at) const;
    // The character that covers the column, or the row's end when the column is past the row.
    RowPlace placeAt(QByteArrayView row, qint64 column) const;

    static constexpr qsizetype stride = 4096;

private:
    std::vector<RowPlace> marks_;
    qint64 width_ = 0;
};

// The largest file the viewer reads: 512 MiB (536870912 bytes). A larger file is refused with
// the "too large" message before any of it is read, so that a file of many gigabytes neither
// freezes the program nor runs it out of memory. The largest CPT file the program writes, with
// names in Latin letters, is about 285 MB.
inline constexpr qint64 viewerFileLimit = qint64(512) << 20;

// What reading a file for the viewer gives: the file, or the message to show instead.
using ViewerRead = Result<ViewerFile>;

// Reads an opened device to its end. A device that holds more than limit bytes is refused
// unread; one that turns out to hold more while it is read (a pipe, a growing file) is refused
// at the first byte past the limit. Every failure while reading (a refused read, too little
// memory) gives the "too large" message.
ViewerRead readViewerDevice(QIODevice &device, qint64 limit = viewerFileLimit);
// Opens the file and reads it. Only regular files are read: opening a pipe waits for a writer,
// and a device may never end. A file that cannot be opened gives a message naming it.
ViewerRead readViewerFile(const QString &path, qint64 limit = viewerFileLimit);

// "The specified file is too large.", the message for every failure after the file is open.
Message fileTooLargeMessage();
// The message for a file that cannot be opened for reading, naming it and the reason.
Message cannotOpenFileMessage(const QString &path, const QString &reason);

} // namespace vadazaz
