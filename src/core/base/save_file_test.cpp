#include "core/base/save_file.h"

#include "testing/file_size_limit.h"
#include "testing/files.h"
#include "testing/sample_problems.h"
#include "testing/test_main.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace vadazaz;
using namespace vadazaz::testing;
using namespace Qt::StringLiterals;

namespace {

const QString shim = QStringLiteral(VADAZAZ_NO_UNNAMED_TEMPORARY_FILES);
const QString cptProgram = QStringLiteral(VADAZAZ_CPT_PROGRAM);

// Whether this process runs with the shim that takes unnamed temporary files away.
bool runsWithoutUnnamedTemporaryFiles()
{
    return qEnvironmentVariable("LD_PRELOAD").contains(shim);
}

// A program's environment on a file system without unnamed temporary files.
QProcessEnvironment environmentWithoutUnnamedTemporaryFiles()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"LD_PRELOAD"_s, shim);
    // A program built with the address sanitizer wants its runtime loaded first.
    environment.insert(u"ASAN_OPTIONS"_s,
                       environment.value(u"ASAN_OPTIONS"_s) + u":verify_asan_link_order=0"_s);
    return environment;
}

QByteArray path(const QString &file)
{
    return QFile::encodeName(file);
}

struct Account
{
    uid_t uid = 0;
    gid_t gid = 0; // its own group
};

// The user (with a group of its own) or the group of that name, made with useradd or groupadd
// and kept for later runs; nothing where the tests do not run as the superuser.
std::optional<Account> userNamed(const char *name)
{
    if (::geteuid() == 0 && !::getpwnam(name))
        QProcess::execute(u"useradd"_s,
                          {u"--no-create-home"_s, u"--user-group"_s, QString::fromUtf8(name)});
    const passwd *entry = ::geteuid() == 0 ? ::getpwnam(name) : nullptr;
    return entry ? std::optional<Account>({entry->pw_uid, entry->pw_gid}) : std::nullopt;
}
std::optional<gid_t> groupNamed(const char *name)
{
    if (::geteuid() == 0 && !::getgrnam(name))
        QProcess::execute(u"groupadd"_s, {QString::fromUtf8(name)});
    const group *entry = ::geteuid() == 0 ? ::getgrnam(name) : nullptr;
    return entry ? std::optional<gid_t>(entry->gr_gid) : std::nullopt;
}

// What belongs to a file besides its contents: owner, group, permissions, names, and extended
// attributes (the access-control list among them).
QString belongings(const QString &file)
{
    struct stat info = {};
    if (::lstat(path(file), &info) != 0)
        return u"(missing)"_s;
    QString text = u"%1:%2 %3, %4 names"_s.arg(info.st_uid)
                       .arg(info.st_gid)
                       .arg(info.st_mode & 07777, 0, 8)
                       .arg(info.st_nlink);
    QByteArray names(65536, '\0');
    names.truncate(std::max<ssize_t>(0, ::llistxattr(path(file), names.data(), 65536)));
    QList<QByteArray> sorted = names.split('\0');
    std::sort(sorted.begin(), sorted.end());
    for (const QByteArray &name : std::as_const(sorted)) {
        QByteArray value(65536, '\0');
        value.truncate(std::max<ssize_t>(0, ::lgetxattr(path(file), name, value.data(), 65536)));
        text += u" %1=%2"_s.arg(QString::fromLatin1(name), QString::fromLatin1(value.toHex()));
    }
    return text;
}

// Lets other users through the folder and the folders above it that the superuser's tests made.
void openToEveryone(const QString &folder)
{
    for (QDir dir(folder); !dir.isRoot(); dir.cdUp()) {
        struct stat info = {};
        if (::stat(path(dir.path()), &info) == 0 && info.st_uid == 0 && !(info.st_mode & S_IXOTH))
            ::chmod(path(dir.path()), (info.st_mode & 07777) | 0711);
    }
}

} // namespace

class SaveFileTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A write that failed fails the commit too, even when the caller goes on to commit.
    void aFailedWriteFailsTheCommit()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"cpt.txt"_s);
        QVERIFY(writeFile(path, "old"));
        SaveFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        {
            const FileSizeLimit limit(10);
            QCOMPARE(file.write(QByteArray(100, 'x')), -1);
        }
        QCOMPARE(file.errorString(), u"File too large"_s);
        QVERIFY(file.write("more") < 0);
        QVERIFY(!file.commit());
        QCOMPARE(contentsOf(path), "old");
        QCOMPARE(filesIn(dir.path()), QStringList{u"cpt.txt"_s});
    }

    // The calculator saves its CPT over a file as the superuser or as vadazaz-a, a member of
    // vadazaz-team. What belonged to the old file belongs to the new one; a file that could not
    // keep it stays as it was. The owner as user:group; extra: setfacl's -m of the file ("d:…":
    // of its folder), an extended attribute, or a hard link; the reason empty where it is saved.
    void keepsWhatBelongsToTheFile_data()
    {
        addColumns<QString, QString, int, QString, QString>("saver", "owner", "mode", "extra",
                                                            "reason");
        const auto row = [](const char *tag, const char *saver, const char *owner, int mode,
                            const char *extra = "", const QString &reason = {}) {
            QTest::newRow(tag) << QString::fromUtf8(saver) << QString::fromUtf8(owner) << mode
                               << QString::fromUtf8(extra)
                               << (reason.isEmpty() ? reason
                                                    : reason + u", so it is left as it is."_s);
        };
        const char *a = "vadazaz-a", *team = "vadazaz-a:vadazaz-team";
        row("the superuser over another user's file", "root", "vadazaz-b:vadazaz-b", 0640);
        row("a user over a file of the team", a, team, 0664);
        row("an access-control list", a, team, 0640, "u:vadazaz-b:rw,g::r");
        row("an extended attribute and the set-group-ID bit", a, team, 02664, "user.origin");
        row("no access-control list where the folder has a default", "root", "root:root", 0644,
            "d:u:vadazaz-b:rw");
        row("another user's file", a, "vadazaz-b:vadazaz-team", 0664, "",
            u"It belongs to vadazaz-b, and a new file in its place would belong to vadazaz-a"_s);
        row("a group the user is not in", a, "vadazaz-a:vadazaz-b", 0664, "",
            u"It belongs to the group vadazaz-b, which a new file in its place could not have"_s);
        row("another hard link", "root", "root:root", 0644, "link",
            u"It is one file under 2 names (hard links), which a new file could not keep"_s);
    }
    void keepsWhatBelongsToTheFile()
    {
        const auto [saver, owner, mode, extra, reason] =
            fetch<QString, QString, int, QString, QString>("saver", "owner", "mode", "extra",
                                                           "reason");
        const std::optional<Account> a = userNamed("vadazaz-a");
        const std::optional<gid_t> team = groupNamed("vadazaz-team");
        if (!a || !userNamed("vadazaz-b") || !team)
            QSKIP("Other users and groups can be made only by the superuser, with useradd.");
        if (extra.contains(u':') && QStandardPaths::findExecutable(u"setfacl"_s).isEmpty())
            QSKIP("setfacl (Debian's acl) is not installed.");

        QTemporaryDir dir;
        openToEveryone(dir.path());
        QVERIFY(::chmod(path(dir.path()), 0777) == 0);
        const QString problem = dir.filePath(u"problem.json"_s);
        const QString cpt = dir.filePath(u"cpt.txt"_s);
        QVERIFY(writeFile(problem, rainProblemFile()) && ::chmod(path(problem), 0644) == 0);
        QVERIFY(writeFile(cpt, "old"));
        const QList<QByteArray> ids = owner.toUtf8().split(':');
        QVERIFY(::chown(path(cpt), getpwnam(ids[0])->pw_uid, getgrnam(ids[1])->gr_gid) == 0);
        QVERIFY(::chmod(path(cpt), mode_t(mode)) == 0);
        if (extra.contains(u':') &&
            QProcess::execute(u"setfacl"_s,
                              {u"-m"_s, extra, extra.startsWith(u"d:"_s) ? dir.path() : cpt}) != 0)
            QSKIP("The file system of the temporary folder holds no access-control lists.");
        if (extra == u"user.origin"_s && ::setxattr(path(cpt), "user.origin", "expert", 6, 0) != 0)
            QSKIP("The file system of the temporary folder holds no extended attributes.");
        if (extra == u"link"_s)
            QVERIFY(::link(path(cpt), path(dir.filePath(u"other.txt"_s))) == 0);
        const QString before = belongings(cpt);
        const QStringList files = filesIn(dir.path());

        QProcess program;
        if (saver != u"root"_s) {
            const Account user = *a;
            const gid_t groups[] = {*team};
            program.setChildProcessModifier([=] {
                if (::setgroups(1, groups) != 0 || ::setgid(user.gid) != 0 ||
                    ::setuid(user.uid) != 0)
                    ::_exit(127);
            });
        }
        program.start(cptProgram, {u"--layout"_s, u"plain"_s, u"--output"_s, cpt, problem});
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(QString::fromUtf8(program.readAllStandardError()),
                 reason.isEmpty() ? QString()
                                  : u"vadazaz-cpt: cannot write %1: %2\n"_s.arg(cpt, reason));
        QCOMPARE(contentsOf(cpt), reason.isEmpty() ? rainPlain : "old");
        QCOMPARE(belongings(cpt), before);
        QCOMPARE(filesIn(dir.path()), files);
    }

    // In a folder that everyone may write to and that is sticky, a link leads the superuser's
    // save to the file it names only where the superuser or vadazaz-b, the folder's owner, made it.
    void followsLinksOnlyWhereTheSystemWould_data()
    {
        addColumns<int, QString, bool>("folderMode", "linkOwner", "followed");
        QTest::newRow("shared, another user's link") << 01777 << u"vadazaz-a"_s << false;
        QTest::newRow("shared, the saver's own link") << 01777 << u"root"_s << true;
        QTest::newRow("shared, the folder owner's link") << 01777 << u"vadazaz-b"_s << true;
        QTest::newRow("everyone may write, not sticky") << 0777 << u"vadazaz-a"_s << true;
        QTest::newRow("sticky, only its group may write") << 01775 << u"vadazaz-a"_s << true;
    }
    void followsLinksOnlyWhereTheSystemWould()
    {
        const auto [folderMode, linkOwner, followed] =
            fetch<int, QString, bool>("folderMode", "linkOwner", "followed");
        const std::optional<Account> b = userNamed("vadazaz-b"),
                                     owner = userNamed(qPrintable(linkOwner));
        if (!b || !userNamed("vadazaz-a"))
            QSKIP("Other users can be made only by the superuser, with useradd.");
        QTemporaryDir dir;
        const QString shared = dir.filePath(u"shared"_s);
        const QString mine = dir.filePath(u"mine.txt"_s);
        const QString link = dir.filePath(u"shared/cpt.txt"_s);
        QVERIFY(QDir(dir.path()).mkdir(u"shared"_s) && writeFile(mine, "mine"));
        QVERIFY(::chown(path(shared), b->uid, b->gid) == 0);
        QVERIFY(::chmod(path(shared), mode_t(folderMode)) == 0);
        QVERIFY(QFile::link(u"../mine.txt"_s, link));
        QVERIFY(::lchown(path(link), owner->uid, owner->gid) == 0);

        const Result<void> saved = saveFile(
            link, [](QIODevice &file) { return file.write("new") == 3; },
            [](const QString &, const QString &reason) {
                return Message{{}, reason};
            });
        QCOMPARE(saved ? QString() : saved.failure().text,
                 followed ? QString()
                          : u"The link %1 belongs to another user in a folder that everyone may "
                            "write to, so it is not followed."_s.arg(link));
        QCOMPARE(contentsOf(mine), followed ? "new" : "mine");
        QVERIFY(QFileInfo(link).isSymLink());
    }

    // The calculator, saving the largest CPT with a named temporary file, is ended by a signal:
    // the temporary file goes, the old file stays whole.
    void removesTheTemporaryFileWhenEnded_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void removesTheTemporaryFileWhenEnded()
    {
        QFETCH(int, signal);
        if (runsWithoutUnnamedTemporaryFiles())
            QSKIP("Runs once, with the named temporary file of its own.");
        QTemporaryDir dir;
        const QString problem = dir.filePath(u"problem.json"_s);
        const QString cpt = dir.filePath(u"cpt.txt"_s);
        // The largest problem the program admits: 20 two-state parents, a CPT of 1048576 rows.
        QVERIFY(writeFile(problem, problemFileOf(2, QStringList(20, u"N2"_s).join(u' '),
                                                 u"95;5|5;95"_s + u"|50;50"_s.repeated(20))));
        QVERIFY(writeFile(cpt, "old"));

        QProcess program;
        program.setProcessEnvironment(environmentWithoutUnnamedTemporaryFiles());
        program.start(cptProgram, {u"--output"_s, cpt, problem});
        QVERIFY(program.waitForStarted());
        // Once the temporary file beside the old one holds a megabyte.
        for (const QDeadlineTimer deadline(60000); !deadline.hasExpired(); QThread::usleep(200)) {
            const QFileInfoList files = QDir(dir.path()).entryInfoList(QDir::Files | QDir::Hidden);
            if (std::any_of(files.begin(), files.end(),
                            [](const QFileInfo &file) { return file.size() >= (1 << 20); }))
                break;
        }
        QVERIFY2(::kill(pid_t(program.processId()), signal) == 0, "The save ended too soon");
        QVERIFY(program.waitForFinished(60000));
        QCOMPARE(program.exitStatus(), QProcess::CrashExit);
        QCOMPARE(program.exitCode(), signal);
        QCOMPARE(filesIn(dir.path()), (QStringList{u"cpt.txt"_s, u"problem.json"_s}));
        QCOMPARE(contentsOf(cpt), "old");
    }

    // Every test above again on a file system without unnamed temporary files, where the
    // temporary file has a name from the start.
    void withoutUnnamedTemporaryFiles()
    {
        if (runsWithoutUnnamedTemporaryFiles())
            QSKIP("This is that run.");
        QProcess again;
        again.setProcessEnvironment(environmentWithoutUnnamedTemporaryFiles());
        again.setProcessChannelMode(QProcess::MergedChannels);
        again.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(again.waitForFinished(240000));
        const QByteArray said = again.readAll();
        QVERIFY2(again.exitStatus() == QProcess::NormalExit && again.exitCode() == 0,
                 said.constData());
    }
};

VADAZAZ_TEST_MAIN(SaveFileTest)
#include "save_file_test.moc"
