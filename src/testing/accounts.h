#pragma once

// Users and groups of the machine, for the tests of who owns a file: made where the tests run as
// the superuser (useradd, groupadd) and kept for later runs; and programs run as one of them.

#include <QProcess>
#include <QStringList>

#include <optional>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace vadazaz::testing {

struct Account
{
    uid_t uid = 0;
    gid_t gid = 0; // its own group
};

// The user of that name, with a group of its own; nothing where it cannot be made.
inline std::optional<Account> userNamed(const char *name)
{
    if (::geteuid() != 0)
        return std::nullopt;
    if (!::getpwnam(name))
        QProcess::execute(QStringLiteral("useradd"),
                          {QStringLiteral("--no-create-home"), QStringLiteral("--user-group"),
                           QString::fromUtf8(name)});
    const passwd *entry = ::getpwnam(name);
    return entry ? std::optional<Account>({entry->pw_uid, entry->pw_gid}) : std::nullopt;
}

inline std::optional<gid_t> groupNamed(const char *name)
{
    if (::geteuid() != 0)
        return std::nullopt;
    if (!::getgrnam(name))
        QProcess::execute(QStringLiteral("groupadd"), {QString::fromUtf8(name)});
    const group *entry = ::getgrnam(name);
    return entry ? std::optional<gid_t>(entry->gr_gid) : std::nullopt;
}

// The process runs as the user, in its own group and the groups listed.
inline void runAs(QProcess &process, const Account &user, const QList<gid_t> &groups)
{
    process.setChildProcessModifier([user, groups] {
        if (::setgroups(size_t(groups.size()), groups.constData()) != 0 ||
            ::setgid(user.gid) != 0 || ::setuid(user.uid) != 0)
            ::_exit(127);
    });
}

} // namespace vadazaz::testing
