#include "core/store/recent_files.h"

#include <QSettings>

namespace vadazaz {

namespace {

const QString recentKey = QStringLiteral("recentFiles");
const QString folderKey = QStringLiteral("lastProblemFolder");

} // namespace

QStringList withRecentFile(QStringList recent, const QString &path)
{
    recent.removeAll(path);
    recent.prepend(path);
    return recent.mid(0, maxRecentFiles);
}

QStringList recentFiles()
{
    return QSettings().value(recentKey).toStringList().mid(0, maxRecentFiles);
}

void rememberRecentFile(const QString &path)
{
    QSettings().setValue(recentKey, withRecentFile(recentFiles(), path));
}

void forgetRecentFile(const QString &path)
{
    QStringList recent = recentFiles();
    recent.removeAll(path);
    QSettings().setValue(recentKey, recent);
}

QString lastProblemFolder()
{
    return QSettings().value(folderKey).toString();
}

void setLastProblemFolder(const QString &folder)
{
    QSettings().setValue(folderKey, folder);
}

} // namespace vadazaz
