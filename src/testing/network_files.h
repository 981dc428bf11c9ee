#pragma once

// Network files in the tests: a file as read, a table written back.

#include "core/network/network.h"

#include <QLocale>

namespace vadazaz::testing {

inline QByteArray withLineEnds(QByteArray text, const char *lineEnd)
{
    return text.replace("\n", lineEnd);
}

// "0.1 0.9|0.2 0.8": a row per configuration of the parents, the first parent slowest.
inline QList<QStringList> rowsOf(const QString &text)
{
    QList<QStringList> rows;
    for (const QString &row : text.split(u'|', Qt::SkipEmptyParts))
        rows.append(row.split(u' ', Qt::SkipEmptyParts));
    return rows;
}

// What the reader takes from the file: "network Name", then a line per variable,
//   Id "label" line N [states] (state labels) <parents> = table
// with "-" for "=" where the table has no place in the file, and with places, the text in its
// place in braces after "="; or the message of the refusal.
inline QString readAs(NetworkFormat format, QByteArrayView file, const QString &fileName,
                      bool places = false)
{
    const Result<Network> read = readNetwork(format, file, fileName);
    if (!read)
        return read.failure().text;
    QStringList lines{(QStringLiteral("network ") + read->name).trimmed()};
    for (const NetworkVariable &v : read->variables) {
        QStringList numbers;
        for (const double p : v.table)
            numbers.append(QString::number(p, 'g', QLocale::FloatingPointShortest));
        const bool placed = v.tableBegin >= 0 && v.tableBegin < v.tableEnd;
        if (placed && places)
            numbers.prepend(QStringLiteral("{%1}").arg(
                QString::fromUtf8(file.sliced(v.tableBegin, v.tableEnd - v.tableBegin))));
        lines.append(QStringLiteral("%1 \"%2\" line %3 [%4] (%5) <%6> %7 %8")
                         .arg(v.id, v.label, QString::number(v.line), v.states.join(u' '),
                              v.stateLabels.join(u','), v.parents.join(u' '),
                              placed ? QStringLiteral("=") : QStringLiteral("-"),
                              numbers.join(u' '))
                         .trimmed());
    }
    return lines.join(u'\n');
}

// The file with the rows written into the variable's table; or why it does not read back with
// those numbers there, every other table as it was and every parent in its place.
inline QByteArray writtenBack(NetworkFormat format, const QByteArray &file, const QString &id,
                              const QString &rowsText)
{
    const Result<Network> read = readNetwork(format, file, QStringLiteral("t"));
    if (!read)
        return "(not read) " + read.failure().text.toUtf8();
    const NetworkVariable *v = read->variable(id);
    if (v == nullptr || v->tableBegin < 0)
        return "(no table of " + id.toUtf8() + ")";
    const QList<QStringList> rows = rowsOf(rowsText);
    QByteArray written = file;
    written.replace(v->tableBegin, v->tableEnd - v->tableBegin,
                    tableTextFor(format, file, *read, *v, rows));
    const Result<Network> again = readNetwork(format, written, QStringLiteral("t"));
    if (!again)
        return "(not read back) " + again.failure().text.toUtf8() + "\n" + written;
    if (again->variables.size() != read->variables.size())
        return "(read back with other variables)\n" + written;
    std::vector<double> numbers;
    for (const QString &number :
         QString(rowsText).replace(u'|', u' ').split(u' ', Qt::SkipEmptyParts))
        numbers.push_back(number.toDouble());
    for (qsizetype k = 0; k < read->variables.size(); ++k) {
        const NetworkVariable &before = read->variables.at(k);
        const NetworkVariable &after = again->variables.at(k);
        if (after.parents != before.parents ||
            after.table != (before.id == id ? numbers : before.table))
            return "(read back wrong: " + before.id.toUtf8() + ")\n" + written;
    }
    return written;
}

} // namespace vadazaz::testing
