#pragma once

#include "core/base/result.h"

#include <QIODevice>
#include <QString>

#include <functional>

namespace vadazaz {

// A file written so that it replaces the file of the same name only when it is complete: the new
// contents go to a temporary file beside the target, every write is checked, and only after the
// last byte is on the disk does the temporary file take the target's place. Any failure on the way
// (a full disk, a file-size limit, a refused write) leaves an existing file exactly as it was and
// removes the temporary file. errorString() then gives the system's reason.
//
// A folder is never replaced, nor a file whose owner may not write it (whoever runs the program).
// A device or a pipe cannot be replaced by a file: it is written directly.
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
    void discard();

    QString path_;      // as the caller named it
    QString target_;    // the file that will be replaced: path_, or where its link points
    QString temporary_; // the temporary file's name, once it has one
    int fd_ = -1;
    bool direct_ = false;  // a device or a pipe, written in place
    bool unnamed_ = false; // the temporary file has no name until it is complete
    bool failed_ = false;
    unsigned permissions_ = 0;
};

// How a caller words a failed save, from the file's name and the system's reason.
using SaveFailure = std::function<Message(const QString &path, const QString &reason)>;

// Writes a file through a SaveFile: write puts the contents into the device and answers whether
// every write was taken.
Result<void> saveFile(const QString &path, const std::function<bool(QIODevice &)> &write,
                      const SaveFailure &failed);

// Whether the two paths name one and the same existing file (through links, too).
bool isSameFile(const QString &first, const QString &second);

} // namespace vadazaz
