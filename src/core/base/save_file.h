#pragma once

#include "core/base/result.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>

namespace vadazaz {

// A file written so that it replaces the file of the same name only when it is complete: the new
// contents go to a temporary file beside the target, every write is checked, and only after the
// last byte is on the disk does the temporary file take the target's place. Any failure on the way
// (a full disk, a file-size limit, a refused write) leaves an existing file exactly as it was and
// removes the temporary file. errorString() then gives the system's reason.
//
// The new file keeps what belonged to the old one: its owner and group, its permissions (the
// set-group-ID bit among them), its access-control list and its extended attributes; where the
// old file had no access-control list, the new one has none either, whatever its folder's default.
// A file that cannot be replaced so is left as it is, with the reason: a file whose owner or group
// the new file could not keep, and a file with other hard links, which would keep the old contents.
//
// A folder is never replaced, nor a file whose owner may not write it (whoever runs the program).
// A device or a pipe cannot be replaced by a file: it is written directly. A symbolic link leads
// to the file it names, except where the system itself would not follow it: a link in a folder that
// everyone may write to and that is sticky (like /tmp), unless the link belongs to whoever runs the
// program or to the folder's owner. A name holding U+FFFD, which stands for bytes that are not
// text, is refused, since it may not name the file that was meant.
class SaveFile : public QIODevice
{
    Q_OBJECT

public:
    explicit SaveFile(const QString &path);
    ~SaveFile() override;
    SaveFile(const SaveFile &) = delete;
    SaveFile &operator=(const SaveFile &) = delete;

    // Only QIODevice::WriteOnly is supported.
    bool open(OpenMode mode) override;
    // Puts the written file in the target's place; answers false, with the reason in
    // errorString(), when the file could not be completed. The device is closed afterwards.
    bool commit();
    // Drops what was written; an existing file stays as it was.
    void cancelWriting();

    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool fail(const QString &reason);
    bool failWithSystemError();
    bool findTarget();
    bool readWhatBelongsToTheFile();
    bool createTemporaryFile();
    bool keepOwner();
    bool keepAttributesAndPermissions();
    void discard();
    void sendToDisk();

    QString path_;         // as the caller named it
    QByteArray target_;    // the file that will be replaced: path_, or where its links lead
    QByteArray temporary_; // the temporary file's name, once it has one
    int slot_ = -1;        // where the temporary file's name is kept for the signal handler
    int fd_ = -1;
    bool direct_ = false;   // a device or a pipe, written in place
    bool unnamed_ = false;  // the temporary file has no name until it is complete
    bool existing_ = false; // a file is replaced
    bool failed_ = false;
    unsigned permissions_ = 0;
    unsigned owner_ = 0;
    unsigned group_ = 0;
    qint64 written_ = 0;    // bytes written so far
    qint64 sentToDisk_ = 0; // bytes before this have been handed to the disk
    QList<QPair<QByteArray, QByteArray>> attributes_; // the old file's extended attributes
};

// How a caller words a failed save, from the file's name and the system's reason.
using SaveFailure = std::function<Message(const QString &path, const QString &reason)>;

// Writes a file through a SaveFile: write puts the contents into the device and answers whether
// every write was taken.
Result<void> saveFile(const QString &path, const std::function<bool(QIODevice &)> &write,
                      const SaveFailure &failed);

// Whether the two paths name one and the same existing file (through links, too).
bool isSameFile(const QString &first, const QString &second);

// Writes all of data, going on after a write that took only part of it, so that a device that
// stops part way (a full disk, a file-size limit) fails a write of its own and says why in its
// errorString(). Answers whether all was written.
bool writeWhole(QIODevice &device, const char *data, qint64 size);

// For main(): a program ended by a signal that it can catch (Ctrl-C, SIGTERM, SIGHUP and the like)
// first removes the named temporary files of the saves under way, then ends as the signal would
// have ended it; a signal that was ignored stays ignored. A file-size limit (ulimit -f) fails the
// write that reaches it, "File too large", instead of ending the program.
void removeTemporaryFilesOnSignals();

} // namespace vadazaz
