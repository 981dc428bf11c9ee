#include "core/base/save_file.h"

#include <QFile>
#include <QRandomGenerator>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <iterator>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <grp.h>
#include <pthread.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace vadazaz {

namespace {

// As many links in a row as the system follows.
constexpr int maxLinks = 40;
const char accessAclAttribute[] = "system.posix_acl_access";

QByteArray encoded(const QString &path)
{
    return QFile::encodeName(path);
}

QString decoded(const QByteArray &path)
{
    return QFile::decodeName(path);
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

// The folder of the file that path names, as path names it: "a/b" of "a/b/c", "." of "c".
QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// "name.XXXXXX" beside the target, with six random letters and digits.
QByteArray temporaryNameFor(const QByteArray &target)
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray name = target + '.';
    for (int i = 0; i < 6; ++i)
        name += letters[QRandomGenerator::global()->bounded(int(sizeof letters - 1))];
    return name;
}

QString userName(uid_t uid)
{
    passwd entry = {};
    passwd *found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QString::number(uid);
}

QString groupName(gid_t gid)
{
    group entry = {};
    group *found = nullptr;
    char buffer[4096];
    if (::getgrgid_r(gid, &entry, buffer, sizeof buffer, &found) == 0 && found)
        return QString::fromLocal8Bit(found->gr_name);
    return QString::number(gid);
}

// What a call that fills a buffer of a size it tells (the extended attribute calls) gives, asked
// again while it grows in between; nothing when it fails, with the reason in errno.
template <typename Call> std::optional<QByteArray> sizedAnswer(Call call)
{
    for (;;) {
        const ssize_t size = call(nullptr, 0);
        if (size < 0)
            return std::nullopt;
        QByteArray answer(qsizetype(size), '\0');
        const ssize_t got = call(answer.data(), size_t(size));
        if (got >= 0) {
            answer.truncate(got);
            return answer;
        }
        if (errno != ERANGE)
            return std::nullopt;
    }
}

// The names of the temporary files that exist, for the signal handler. A slot is free (0), being
// filled (1), or holds the name of a file this process made and has not yet removed or renamed (2).
struct TemporaryName
{
    std::atomic<int> state{0};
    char name[PATH_MAX];
};
static_assert(std::atomic<int>::is_always_lock_free);
TemporaryName temporaryNames[8];

// The signals that end a program by default and that a program can catch.
constexpr int endingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGXCPU};

sigset_t endingSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : endingSignals)
        sigaddset(&set, signal);
    return set;
}

// Holds back the ending signals in this thread while a temporary file comes or goes, so that the
// handler finds its name exactly while it exists.
class SignalsHeld
{
public:
    SignalsHeld()
    {
        const sigset_t set = endingSignalSet();
        ::pthread_sigmask(SIG_BLOCK, &set, &old_);
    }
    ~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
    SignalsHeld(const SignalsHeld &) = delete;
    SignalsHeld &operator=(const SignalsHeld &) = delete;

private:
    sigset_t old_;
};

// A slot with the name, not yet marked as a file's; -1 when none is free or the name too long,
// and the file then stays if a signal ends the program.
int reserveName(const QByteArray &name)
{
    if (name.size() >= PATH_MAX)
        return -1;
    for (int slot = 0; slot < int(std::size(temporaryNames)); ++slot) {
        int free = 0;
        if (temporaryNames[slot].state.compare_exchange_strong(free, 1)) {
            std::memcpy(temporaryNames[slot].name, name.constData(), size_t(name.size()) + 1);
            return slot;
        }
    }
    return -1;
}

void markMade(int slot)
{
    if (slot >= 0)
        temporaryNames[slot].state.store(2);
}

void releaseName(int slot)
{
    if (slot >= 0)
        temporaryNames[slot].state.store(0);
}

// Only calls that are safe in a signal handler: the files go, and the signal, whose handler the
// system has reset to the default, ends the program once this returns.
void removeTemporaryFilesAndEnd(int signal)
{
    for (TemporaryName &temporary : temporaryNames) {
        if (temporary.state.load() == 2)
            ::unlink(temporary.name);
    }
    ::raise(signal);
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
    // Bytes of a name that are not text were read as U+FFFD; written back, they would name
    // another file.
    if (path_.contains(QChar::ReplacementCharacter))
        return fail(QStringLiteral("Its name holds U+FFFD, which stands for bytes that are not "
                                   "text, so it may not name the file that was meant."));
    if (!findTarget())
        return false;

    struct stat existing = {};
    existing_ = ::lstat(target_.constData(), &existing) == 0;
    if (existing_ && S_ISDIR(existing.st_mode))
        return fail(QStringLiteral("It is a folder."));
    if (existing_ && !S_ISREG(existing.st_mode)) {
        fd_ = retried([&] { return ::open(target_.constData(), O_WRONLY | O_CLOEXEC); });
        if (fd_ < 0)
            return failWithSystemError();
        direct_ = true;
        return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }
    if (existing_) {
        // A file whose owner may not write it is kept, even for a user such as the superuser
        // whom the system would let replace it: the mark is the owner's wish that it stay as it
        // is.
        if (!(existing.st_mode & S_IWUSR))
            return fail(QStringLiteral("The file is read-only."));
        // A new file would take the place of this name only; the others would keep the old
        // contents.
        if (existing.st_nlink > 1)
            return fail(QStringLiteral("It is one file under %1 names (hard links), which a new "
                                       "file could not keep, so it is left as it is.")
                            .arg(existing.st_nlink));
        permissions_ = existing.st_mode & 07777;
        owner_ = existing.st_uid;
        group_ = existing.st_gid;
        if (!readWhatBelongsToTheFile())
            return false;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        permissions_ = 0666 & ~mask;
    }
    if (!createTemporaryFile())
        return false;
    if (existing_ && !keepOwner()) {
        const QString reason = errorString();
        discard();
        return fail(reason);
    }
    return QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

// Follows the links from the path to the file that they lead to, as the system would: one in a
// sticky folder that everyone may write to only where it belongs to whoever runs the program or to
// the folder's owner, so that no other user's link there can send a save elsewhere. The folders
// on the way are left to the system.
bool SaveFile::findTarget()
{
    QByteArray current = encoded(path_);
    for (int links = 0;; ++links) {
        struct stat link = {};
        if (::lstat(current.constData(), &link) != 0 || !S_ISLNK(link.st_mode)) {
            target_ = current;
            return true;
        }
        if (links == maxLinks) {
            errno = ELOOP;
            return failWithSystemError();
        }
        const QByteArray folder = folderOf(current);
        struct stat shared = {};
        if (::stat(folder.constData(), &shared) == 0 &&
            (shared.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH) &&
            link.st_uid != ::geteuid() && link.st_uid != shared.st_uid)
            return fail(QStringLiteral("The link %1 belongs to another user in a folder that "
                                       "everyone may write to, so it is not followed.")
                            .arg(decoded(current)));
        QByteArray to(PATH_MAX, '\0');
        const ssize_t size = ::readlink(current.constData(), to.data(), size_t(to.size()));
        if (size < 0)
            return failWithSystemError();
        to.truncate(size);
        current = to.startsWith('/') ? to : folder + '/' + to;
    }
}

// The old file's extended attributes, its access-control list among them.
bool SaveFile::readWhatBelongsToTheFile()
{
    const auto unreadable = [this] {
        return fail(QStringLiteral("Its extended attributes could not be read: %1")
                        .arg(systemReason(errno)));
    };
    const char *file = target_.constData();
    const std::optional<QByteArray> names =
        sizedAnswer([&](char *to, size_t size) { return ::llistxattr(file, to, size); });
    if (!names)
        return errno == ENOTSUP || unreadable();
    for (const QByteArray &name : names->split('\0')) {
        if (name.isEmpty())
            continue;
        const std::optional<QByteArray> value = sizedAnswer(
            [&](char *to, size_t size) { return ::lgetxattr(file, name.constData(), to, size); });
        if (value)
            attributes_.append({name, *value});
        else if (errno != ENODATA)
            return unreadable();
    }
    return true;
}

bool SaveFile::createTemporaryFile()
{
    const QByteArray folder = folderOf(target_);
#ifdef O_TMPFILE
    fd_ =
        retried([&] { return ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600); });
    unnamed_ = fd_ >= 0;
#endif
    for (int attempt = 0; fd_ < 0 && attempt < 100; ++attempt) {
        const QByteArray name = temporaryNameFor(target_);
        const SignalsHeld held;
        slot_ = reserveName(name);
        fd_ = retried([&] {
            return ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        });
        const int error = errno;
        if (fd_ >= 0) {
            temporary_ = name;
            markMade(slot_);
            return true;
        }
        releaseName(slot_);
        slot_ = -1;
        if (error != EEXIST) {
            errno = error;
            return failWithSystemError();
        }
    }
    return fd_ >= 0 || failWithSystemError();
}

// The new file gets the old one's owner and group, or the old file stays.
bool SaveFile::keepOwner()
{
    struct stat made = {};
    if (::fstat(fd_, &made) != 0)
        return failWithSystemError();
    const uid_t owner = made.st_uid == owner_ ? uid_t(-1) : uid_t(owner_);
    const gid_t group = made.st_gid == group_ ? gid_t(-1) : gid_t(group_);
    if ((owner == uid_t(-1) && group == gid_t(-1)) || ::fchown(fd_, owner, group) == 0)
        return true;
    if (errno != EPERM)
        return failWithSystemError();
    if (owner != uid_t(-1))
        return fail(QStringLiteral("It belongs to %1, and a new file in its place would belong to "
                                   "%2, so it is left as it is.")
                        .arg(userName(owner_), userName(made.st_uid)));
    return fail(QStringLiteral("It belongs to the group %1, which a new file in its place could "
                               "not have, so it is left as it is.")
                    .arg(groupName(group_)));
}

// Once every byte is written, which clears some of them: the old file's extended attributes, no
// access-control list where it had none, and its permissions.
bool SaveFile::keepAttributesAndPermissions()
{
    if (existing_) {
        bool hadAcl = false;
        for (const auto &attribute : std::as_const(attributes_)) {
            const QByteArray &name = attribute.first;
            const QByteArray &value = attribute.second;
            hadAcl = hadAcl || name == accessAclAttribute;
            if (::fsetxattr(fd_, name.constData(), value.constData(), size_t(value.size()), 0) == 0)
                continue;
            // An attribute the system gives every file, such as a security label, may be
            // there already.
            const int error = errno;
            if (sizedAnswer([&](char *to, size_t size) {
                    return ::fgetxattr(fd_, name.constData(), to, size);
                }) != value)
                return fail(QStringLiteral("Its extended attribute %1 could not be kept: %2")
                                .arg(decoded(name), systemReason(error)));
        }
        // What the folder's default access-control list gave the new file, the old one did not
        // give.
        if (!hadAcl && ::fremovexattr(fd_, accessAclAttribute) != 0 && errno != ENODATA &&
            errno != ENOTSUP)
            return failWithSystemError();
    }
    if (retried([&] { return ::fchmod(fd_, mode_t(permissions_)); }) != 0)
        return failWithSystemError();
    struct stat made = {};
    if (existing_ && (::fstat(fd_, &made) != 0 || (made.st_mode & 07777) != permissions_))
        return fail(QStringLiteral("Its permissions (%1) could not be kept.")
                        .arg(permissions_, 4, 8, QLatin1Char('0')));
    return true;
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
    written_ += written;
    sendToDisk();
    return written;
}

// A large file is handed to the disk while it is being written, a few megabytes behind, so that
// little is left for the final sync and little of it is held in memory: the save then costs
// hardly more than writing the bytes.
void SaveFile::sendToDisk()
{
    constexpr qint64 stretch = qint64(8) << 20;
    if (direct_ || written_ - sentToDisk_ < stretch)
        return;
    // Waits for what was handed over before, then hands over what came since. Only a hint:
    // where the system cannot, the final sync does it all.
    if (sentToDisk_ > 0)
        ::sync_file_range(fd_, 0, sentToDisk_,
                          SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE |
                              SYNC_FILE_RANGE_WAIT_AFTER);
    ::sync_file_range(fd_, sentToDisk_, written_ - sentToDisk_, SYNC_FILE_RANGE_WRITE);
    sentToDisk_ = written_;
}

void SaveFile::discard()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    {
        const SignalsHeld held;
        if (!temporary_.isEmpty())
            ::unlink(temporary_.constData());
        releaseName(slot_);
        slot_ = -1;
    }
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

    const auto failAndDiscard = [this](bool failed) {
        if (!failed)
            failWithSystemError();
        const QString reason = errorString();
        discard();
        return fail(reason);
    };
    // The data and what belongs to the file reach the disk before the new file takes the old
    // one's place, so that a crash leaves the old file or the complete new one, never an empty
    // file under the old name.
    if (!keepAttributesAndPermissions())
        return failAndDiscard(true);
    if (retried([&] { return ::fsync(fd_); }) != 0)
        return failAndDiscard(false);
    if (unnamed_) {
        const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_);
        for (int attempt = 0; temporary_.isEmpty() && attempt < 100; ++attempt) {
            const QByteArray name = temporaryNameFor(target_);
            const SignalsHeld held;
            slot_ = reserveName(name);
            if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, name.constData(),
                         AT_SYMLINK_FOLLOW) == 0) {
                temporary_ = name;
                markMade(slot_);
                break;
            }
            const int error = errno;
            releaseName(slot_);
            slot_ = -1;
            errno = error;
            if (error != EEXIST)
                break;
        }
        if (temporary_.isEmpty())
            return failAndDiscard(false);
    }
    // Some file systems report a failed write only when the file is closed.
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0)
        return failAndDiscard(false);
    {
        const SignalsHeld held;
        if (::rename(temporary_.constData(), target_.constData()) != 0)
            return failAndDiscard(false);
        releaseName(slot_);
        slot_ = -1;
    }
    temporary_.clear();
    QIODevice::close();
    // The new name reaches the disk too, where the system allows it.
    const int folder = ::open(folderOf(target_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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

bool writeWhole(QIODevice &device, const char *data, qint64 size)
{
    qint64 written = 0;
    while (written < size) {
        const qint64 n = device.write(data + written, size - written);
        if (n <= 0)
            return false;
        written += n;
    }
    return true;
}

bool isSameFile(const QString &first, const QString &second)
{
    struct stat a = {};
    struct stat b = {};
    return ::stat(encoded(first).constData(), &a) == 0 &&
           ::stat(encoded(second).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

void removeTemporaryFilesOnSignals()
{
    struct sigaction action = {};
    action.sa_handler = removeTemporaryFilesAndEnd;
    action.sa_mask = endingSignalSet();
    // Back to the default at once, so that the handler's own signal ends the program.
    action.sa_flags = SA_RESETHAND;
    for (const int signal : endingSignals) {
        struct sigaction old = {};
        if (::sigaction(signal, nullptr, &old) == 0 && !(old.sa_flags & SA_SIGINFO) &&
            old.sa_handler == SIG_DFL)
            ::sigaction(signal, &action, nullptr);
    }
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace vadazaz
