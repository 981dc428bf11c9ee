#include "core/base/save_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vadazaz {

namespace {

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Retries a call that a signal interrupted.
template <typename Call> auto retried(Call call)
{
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

// "name.XXXXXX" beside the target, with six random letters and digits.
QString temporaryNameFor(const QString &target)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString name = target + QLatin1Char('.');
    for (int i = 0; i < 6; ++i)
        name += QLatin1Char(letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))]);
    return name;
}

} // namespace

SaveFile::SaveFile(const QString &path) : path_(path) {}

SaveFile::~SaveFile()
{
    if (isOpen())
        cancelWriting();
}

bool SaveFile::fail(const QString &reason)
{
    failed_ = true;
    setErrorString(reason);
    return false;
}

bool SaveFile::failWithSystemError()
{
    return fail(systemReason(errno));
}

bool SaveFile::open(OpenMode mode)
{
    if (isOpen() || (mode & ~QIODevice::Unbuffered) != QIODevice::WriteOnly)
        return fail(QStringLiteral("The file can only be opened once, for writing."));
    failed_ = false;
    const QFileInfo info(path_);
    if (info.isDir())
        return fail(QStringLiteral("It is a folder."));
    // A file whose owner may not write it is kept, even for a user such as the superuser whom
    // the system would let replace it: the mark is the owner's wish that it stay as it is.
    if (info.isFile() && !info.permission(QFileDevice::WriteOwner))
        return fail(QStringLiteral("The file is read-only."));

    if (info.exists() && !info.isFile()) {
        fd_ = retried([&] { return ::open(encoded(path_).constData(), O_WRONLY | O_CLOEXEC); });
        if (fd_ < 0)
            return failWithSystemError();
        direct_ = true;
        return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    target_ = info.isSymLink() ? info.canonicalFilePath() : path_;
    if (target_.isEmpty())
        target_ = info.symLinkTarget();
    struct stat existing = {};
    if (::stat(encoded(target_).constData(), &existing) == 0) {
        permissions_ = existing.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        permissions_ = 0666 & ~mask;
    }

    const QByteArray folder = encoded(QFileInfo(target_).absolutePath());
#ifdef O_TMPFILE
    fd_ =
        retried([&] { return ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600); });
    unnamed_ = fd_ >= 0;
#endif
    for (int attempt = 0; fd_ < 0 && attempt < 100; ++attempt) {
        temporary_ = temporaryNameFor(target_);
        fd_ = retried([&] {
            return ::open(encoded(temporary_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          0600);
        });
        if (fd_ < 0 && errno != EEXIST) {
            temporary_.clear();
            return failWithSystemError();
        }
    }
    if (fd_ < 0) {
        temporary_.clear();
        return failWithSystemError();
    }
    return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 SaveFile::readData(char *, qint64)
{
    return -1;
}

qint64 SaveFile::writeData(const char *data, qint64 size)
{
    if (failed_)
        return -1;
    qint64 written = 0;
    while (written < size) {
        const auto n =
            retried([&] { return ::write(fd_, data + written, size_t(size - written)); });
        if (n < 0) {
            failWithSystemError();
            return -1;
        }
        written += n;
    }
    return written;
}

void SaveFile::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    if (!temporary_.isEmpty())
        ::unlink(encoded(temporary_).constData());
    temporary_.clear();
    QIODevice::close();
}

void SaveFile::cancelWriting()
{
    discard();
}

bool SaveFile::commit()
{
    if (!isOpen())
        return fail(QStringLiteral("The file is not open."));
    if (failed_) {
        discard();
        return false;
    }
    if (direct_) {
        const bool closed = ::close(fd_) == 0;
        const int error = errno;
        fd_ = -1;
        QIODevice::close();
        return closed || fail(systemReason(error));
    }

    // The data reaches the disk before the new file takes the old one's place, so that a crash
    // leaves the old file or the complete new one, never an empty file under the old name.
    if (retried([&] { return ::fdatasync(fd_); }) != 0 ||
        retried([&] { return ::fchmod(fd_, mode_t(permissions_)); }) != 0) {
        failWithSystemError();
        discard();
        return false;
    }
    if (unnamed_) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
        for (int attempt = 0; temporary_.isEmpty() && attempt < 100; ++attempt) {
            const QString name = temporaryNameFor(target_);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, encoded(name).constData(),
                         AT_SYMLINK_FOLLOW) == 0)
                temporary_ = name;
            else if (errno != EEXIST)
                break;
        }
        if (temporary_.isEmpty()) {
            failWithSystemError();
            discard();
            return false;
        }
    }
    // Some file systems report a failed write only when the file is closed.
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 ||
        ::rename(encoded(temporary_).constData(), encoded(target_).constData()) != 0) {
        failWithSystemError();
        discard();
        return false;
    }
    temporary_.clear();
    QIODevice::close();
    // The new name reaches the disk too, where the system allows it.
    const int folder = ::open(encoded(QFileInfo(target_).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

Result<void> saveFile(const QString &path, const std::function<bool(QIODevice &)> &write,
                      const SaveFailure &failed)
{
    SaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && write(file) && file.commit())
        return {};
    return failed(path, file.errorString());
}

bool isSameFile(const QString &first, const QString &second)
{
    struct stat a = {};
    struct stat b = {};
    return ::stat(encoded(first).constData(), &a) == 0 &&
           ::stat(encoded(second).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

} // namespace vadazaz
