#pragma once

#include "core/base/message.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QString>

#include <optional>

namespace vadazaz {

// The text of the file last read for the CPT file viewer: every line of the file followed by
// CR LF. Filled by the EPT window's "View CPT file", shown by the viewer window.
QString &viewerText();

// Turns 8-bit text, in the system's code page, into the viewer's text, piece by piece so that
// a large file need not be held twice. A line ends at CR LF or at a lone CR, neither of which is
// part of the line; a lone LF stays inside its line. Every line, the last one included, gets
// CR LF; an empty input gives an empty text. Bytes that are not valid in the code page become
// replacement characters.
class ViewerTextBuilder
{
public:
    ViewerTextBuilder();
    ~ViewerTextBuilder();
    ViewerTextBuilder(const ViewerTextBuilder &) = delete;
    ViewerTextBuilder &operator=(const ViewerTextBuilder &) = delete;

    // Room for a file of this many bytes, so that appending does not copy the text again.
    void reserve(qint64 bytes);
    void append(QByteArrayView bytes);
    // The text, with the last line's CR LF added; the builder is empty afterwards.
    QString finish();

private:
    struct Private;
    Private *d;
};

// The viewer's text of these bytes, in one go.
QString viewerTextOf(QByteArrayView bytes);

// What reading a file for the viewer gives: the text, or the message to show instead.
struct ViewerRead
{
    QString text;
    std::optional<Message> failure;
    bool opened = true; // false when the file could not be opened at all
};

// The largest file the viewer reads: 512 MiB (536870912 bytes). A larger file is refused with
// the "too large" message before any of it is read, so that a file of many gigabytes neither
// freezes the program nor runs it out of memory. The largest CPT file the program writes, with
// names in Latin letters, is about 285 MB.
inline constexpr qint64 viewerFileLimit = qint64(512) << 20;

// Reads an opened device to its end. A device that holds more than limit bytes is refused
// unread; one that turns out to hold more while it is read (a pipe, a growing file) is refused
// at the first byte past the limit. Every failure while reading (a refused read, too little
// memory) gives the "too large" message.
ViewerRead readViewerText(QIODevice &device, qint64 limit = viewerFileLimit);
// Opens the file and reads it. A file that cannot be opened gives a message naming it.
ViewerRead readViewerFile(const QString &path, qint64 limit = viewerFileLimit);

// "The specified file is too large.", the message for every failure after the file is open.
Message fileTooLargeMessage();
// The message for a file that cannot be opened for reading, naming it and the reason.
Message cannotOpenFileMessage(const QString &path, const QString &reason);

} // namespace vadazaz
