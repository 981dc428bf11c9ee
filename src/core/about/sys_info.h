#pragma once

#include "core/base/message.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace vadazaz {

// What "System Info..." says when there is no system information program to start.
Message sysInfoUnavailable();

// Reads one registry value as GetKeyValue does.
using KeyValueReader = std::function<bool(quint32 keyRoot, const QString &keyName,
                                          const QString &subKeyRef, QString &keyVal)>;

// The system information program that the registry names: its own entry, or else the folder of
// the shared tools when the program is there. Empty when the registry names none.
QString sysInfoFromRegistry(const KeyValueReader &getKeyValue,
                            const std::function<bool(const QString &path)> &fileExists);

// The desktops' own system information programs, in the order they are looked for.
QStringList sysInfoProgramNames();

// The first of the system information programs found as an executable file in the folders of
// searchPath, with its full path; empty when there is none. Only absolute folders are searched,
// so that nothing is started from whatever the current folder happens to be.
QString sysInfoOnPath(const QStringList &searchPath);

// The folders of the PATH environment variable.
QStringList systemSearchPath();

// The system information program of this platform: from the registry on Windows, from searchPath
// elsewhere. Empty when there is none.
QString sysInfoProgram(const QStringList &searchPath);

} // namespace vadazaz
