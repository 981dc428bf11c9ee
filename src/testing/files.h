#pragma once

// Whole files in the tests: what a file holds, and a file written in one go.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

namespace vadazaz::testing {

// The bytes of the file, or "(missing)" when it cannot be read.
inline QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// Writes the bytes as the whole file; answers whether it did.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The text with its first "from" replaced, or "(missing)" where it does not hold "from".
inline QByteArray with(QByteArray text, const char *from, const QByteArray &to)
{
    const auto at = text.indexOf(from);
    return at < 0 ? QByteArray("(missing)") : text.replace(at, qsizetype(qstrlen(from)), to);
}

// The names of the files in the folder, hidden ones too.
inline QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

// A line of a file in testdata with "\n", "\r", "\t", "\\" and "\xHH" read as in C.
inline QByteArray unescaped(const QByteArray &line)
{
    QByteArray bytes;
    for (qsizetype k = 0; k < line.size(); ++k) {
        const char c = line.at(k) == '\\' && k + 1 < line.size() ? line.at(++k) : '\0';
        if (c == 'x')
            bytes += char(line.mid(k + 1, 2).toInt(nullptr, 16)), k += 2;
        else
            bytes += c == 'n' ? '\n' : c == 'r' ? '\r' : c == 't' ? '\t' : c ? c : line.at(k);
    }
    return bytes;
}

// The paragraphs of a file in testdata, blank lines between them, each as its lines with "#"
// lines (what the cases after them are for) left out.
inline QList<QByteArrayList> paragraphsIn(const QString &path)
{
    QList<QByteArrayList> paragraphs(1);
    for (const QByteArray &line : contentsOf(path).split('\n')) {
        if (line.isEmpty() && !paragraphs.last().isEmpty())
            paragraphs.append(QByteArrayList());
        else if (!line.isEmpty() && !line.startsWith('#'))
            paragraphs.last().append(line);
    }
    if (paragraphs.last().isEmpty())
        paragraphs.removeLast();
    return paragraphs;
}

} // namespace vadazaz::testing
