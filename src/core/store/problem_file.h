#pragma once

#include "core/base/result.h"
#include "core/store/problem.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace vadazaz {

// A problem as a problem file keeps it (UTF-8 JSON):
// {"format": "vadazaz-problem", "version": 1,
//  "child": {"name": …, "states": […]},
//  "parents": [{"name": …, "type": "Non-modifying" | "Modifying", "states": […]}, …],
//  "ept": [[cell, …], …], "notes": "…"}
// Files of the calculator's first version have no "format" and "version"; "ept" and "notes" may be
// missing. A cell is a text, kept as typed; a number in its place becomes its shortest text.
struct ProblemFile
{
    Problem problem; // with its EPT and notes
    // The file as read: what the program does not know of it is written back when it is saved.
    QJsonObject original;
};

QString problemFileFormat(); // "vadazaz-problem"
inline constexpr int problemFileVersion = 1;

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

// The problem as a file, with the fields of original that the program does not know.
QByteArray problemFileText(const Problem &problem, const QJsonObject &original = {});

// Writes the problem to a file, replaced only by a complete new one (see SaveFile).
Result<void> saveProblemFile(const QString &path, const Problem &problem,
                             const QJsonObject &original = {});

} // namespace vadazaz
