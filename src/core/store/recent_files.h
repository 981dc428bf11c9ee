#pragma once

#include <QString>
#include <QStringList>

namespace vadazaz {

// The problem files used last, newest first, kept between runs with the program's settings.
inline constexpr int maxRecentFiles = 8;

// The list with path put first, once, and cut to maxRecentFiles.
QStringList withRecentFile(QStringList recent, const QString &path);

QStringList recentFiles();
void rememberRecentFile(const QString &path);
void forgetRecentFile(const QString &path);

// The folder in which the program last opened or saved a problem file; empty at first.
QString lastProblemFolder();
void setLastProblemFolder(const QString &folder);

} // namespace vadazaz
