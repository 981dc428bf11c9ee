#pragma once

#include "core/base/result.h"
#include "core/store/problem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace vadazaz {

// A problem with its EPT as typed, as kept in a problem file (UTF-8 JSON):
// {"child": {"name": …, "states": […]},
//  "parents": [{"name": …, "type": "Non-modifying" | "Modifying", "states": […]}, …],
//  "ept": [[cell, …], …]}
struct ProblemFile
{
    Problem problem;
    QList<QStringList> ept; // rows of cell texts; a number in the file becomes its shortest text
};

// The largest problem file read: 4 MiB. The largest problem the program admits takes a few
// kilobytes; the rest leaves room for notes.
inline constexpr qint64 problemFileLimit = qint64(4) << 20;

// Reads a problem from JSON text. The names, state counts, parent count and types must be
// within the limits that the windows keep; the EPT's shape is checked by its user. The failure's
// text is one line that says what is wrong.
Result<ProblemFile> parseProblemFile(const QByteArray &json);
// The same from a file; the failure's text then starts with the file's name. Only a regular file of
// at most problemFileLimit bytes is read.
Result<ProblemFile> readProblemFile(const QString &path);

QByteArray problemFileText(const Problem &problem, const QList<QStringList> &ept);

} // namespace vadazaz
