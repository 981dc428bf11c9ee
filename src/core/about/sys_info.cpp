#include "core/about/sys_info.h"

#include "core/about/registry.h"

#include <QDir>
#include <QFileInfo>

namespace vadazaz {

Message sysInfoUnavailable()
{
    return {appTitle(), QStringLiteral("System Information Is Unavailable At This Time")};
}

QString sysInfoFromRegistry(const KeyValueReader &getKeyValue,
                            const std::function<bool(const QString &path)> &fileExists)
{
    QString keyVal;
    if (getKeyValue(hkeyLocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), keyVal))
        return keyVal;
    if (getKeyValue(hkeyLocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                    QStringLiteral("MSINFO"), keyVal)) {
        const QString program = keyVal + QStringLiteral("\\MSINFO32.EXE");
        if (fileExists(program))
            return program;
    }
    return {};
}

QStringList sysInfoProgramNames()
{
    // The information centres first, then the system monitors that show the machine too.
    return {QStringLiteral("kinfocenter"), QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("mate-system-monitor")};
}

QString sysInfoOnPath(const QStringList &searchPath)
{
    for (const QString &name : sysInfoProgramNames()) {
        for (const QString &folder : searchPath) {
            if (folder.isEmpty() || QDir::isRelativePath(folder))
                continue;
            const QFileInfo candidate(QDir(folder).filePath(name));
            if (candidate.isFile() && candidate.isExecutable())
                return candidate.absoluteFilePath();
        }
    }
    return {};
}

QStringList systemSearchPath()
{
    return qEnvironmentVariable("PATH").split(QDir::listSeparator(), Qt::SkipEmptyParts);
}

QString sysInfoProgram(const QStringList &searchPath)
{
    // Off Windows the registry has no keys, and the desktop's own program is looked for instead.
    const QString fromRegistry = sysInfoFromRegistry(
        GetKeyValue, [](const QString &path) { return QFileInfo::exists(path); });
#ifdef Q_OS_WIN
    Q_UNUSED(searchPath)
    return fromRegistry;
#else
    return fromRegistry.isEmpty() ? sysInfoOnPath(searchPath) : fromRegistry;
#endif
}

} // namespace vadazaz
