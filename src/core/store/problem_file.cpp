#include "core/store/problem_file.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace vadazaz {

namespace {

const QString nonModifyingName = QStringLiteral("Non-modifying");
const QString modifyingName = QStringLiteral("Modifying");

struct Failure
{
    QString what;
};

QJsonValue member(const QJsonObject &object, const QString &key, const QString &where)
{
    if (!object.contains(key))
        throw Failure{where + QStringLiteral(" has no \"") + key + QStringLiteral("\"")};
    return object.value(key);
}

QString name(const QJsonValue &value, const QString &where)
{
    if (!value.isString())
        throw Failure{where + QStringLiteral(" must be a text")};
    const QString text = value.toString();
    if (text.isEmpty() || text.size() > maxNameLength)
        throw Failure{where + QStringLiteral(" must hold 1 to 10 characters, not ") +
                      QString::number(text.size())};
    // Half of a surrogate pair is no character: no CPT file could hold the name as read.
    if (!text.isValidUtf16())
        throw Failure{where + QStringLiteral(" must be valid Unicode text")};
    // A TAB or a line break in a name would break the columns and lines of the labelled CPT.
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            throw Failure{where + QStringLiteral(" must not hold a TAB, a line break or another "
                                                 "control character")};
    }
    return text;
}

QStringList stateNames(const QJsonValue &value, const QString &where)
{
    if (!value.isArray())
        throw Failure{where + QStringLiteral(" must be a list of state names")};
    const QJsonArray array = value.toArray();
    if (array.size() < 2 || array.size() > 3)
        throw Failure{where + QStringLiteral(" must list 2 or 3 state names, not ") +
                      QString::number(array.size())};
    QStringList names;
    for (qsizetype s = 0; s < array.size(); ++s)
        names.append(name(array.at(s), where + QStringLiteral("[") + QString::number(s + 1) +
                                           QStringLiteral("]")));
    return names;
}

QJsonObject object(const QJsonValue &value, const QString &where)
{
    if (!value.isObject())
        throw Failure{where + QStringLiteral(" must be an object")};
    return value.toObject();
}

QString cellText(const QJsonValue &value, const QString &where)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    throw Failure{where + QStringLiteral(" must be a text or a number")};
}

ProblemFile parse(const QByteArray &json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        throw Failure{QStringLiteral("not valid JSON at character ") +
                      QString::number(parseError.offset) + QStringLiteral(": ") +
                      parseError.errorString()};
    if (!document.isObject())
        throw Failure{QStringLiteral("the problem must be a JSON object")};
    const QJsonObject top = document.object();

    ProblemFile file;
    Problem &problem = file.problem;
    const QJsonObject child =
        object(member(top, QStringLiteral("child"), QStringLiteral("the problem")),
               QStringLiteral("\"child\""));
    problem.childName = name(member(child, QStringLiteral("name"), QStringLiteral("\"child\"")),
                             QStringLiteral("the child's name"));
    const QStringList childStates =
        stateNames(member(child, QStringLiteral("states"), QStringLiteral("\"child\"")),
                   QStringLiteral("the child's \"states\""));
    problem.noChildStates = int(childStates.size());
    for (int s = 1; s <= problem.noChildStates; ++s)
        problem.childStateName(s) = childStates.at(s - 1);

    const QJsonValue parentsValue =
        member(top, QStringLiteral("parents"), QStringLiteral("the problem"));
    if (!parentsValue.isArray())
        throw Failure{QStringLiteral("\"parents\" must be a list of parents")};
    const QJsonArray parents = parentsValue.toArray();
    if (parents.size() < 2)
        throw Failure{QStringLiteral("\"parents\" must list at least 2 parents, not ") +
                      QString::number(parents.size())};
    while (problem.noParents() < parents.size())
        problem.appendParent();
    for (int p = 1; p <= problem.noParents(); ++p) {
        const QString where = QStringLiteral("parent ") + QString::number(p);
        const QJsonObject parent = object(parents.at(p - 1), where);
        problem.parentName(p) =
            name(member(parent, QStringLiteral("name"), where), where + QStringLiteral("'s name"));
        const QJsonValue type = member(parent, QStringLiteral("type"), where);
        if (type.toString() == nonModifyingName && type.isString())
            problem.parentType(p) = nonModifyingType;
        else if (type.toString() == modifyingName && type.isString())
            problem.parentType(p) = modifyingType;
        else
            throw Failure{where + QStringLiteral("'s \"type\" must be \"Non-modifying\" or "
                                                 "\"Modifying\"")};
        const QStringList states = stateNames(member(parent, QStringLiteral("states"), where),
                                              where + QStringLiteral("'s \"states\""));
        problem.parentNoStates(p) = int(states.size());
        for (int s = 1; s <= problem.parentNoStates(p); ++s)
            problem.parentStateName(s, p) = states.at(s - 1);
    }

    const QJsonValue eptValue = member(top, QStringLiteral("ept"), QStringLiteral("the problem"));
    if (!eptValue.isArray())
        throw Failure{QStringLiteral("\"ept\" must be a list of rows")};
    const QJsonArray rows = eptValue.toArray();
    for (qsizetype r = 0; r < rows.size(); ++r) {
        const QString where =
            QStringLiteral("row ") + QString::number(r + 1) + QStringLiteral(" of \"ept\"");
        if (!rows.at(r).isArray())
            throw Failure{where + QStringLiteral(" must be a list of cells")};
        const QJsonArray cells = rows.at(r).toArray();
        QStringList texts;
        for (qsizetype c = 0; c < cells.size(); ++c)
            texts.append(cellText(cells.at(c), QStringLiteral("cell ") + QString::number(c + 1) +
                                                   QStringLiteral(" of ") + where));
        file.ept.append(texts);
    }
    return file;
}

QString tooLargeReason()
{
    return QStringLiteral("It is larger than %1 bytes (4 MiB), the limit for a problem file.")
        .arg(problemFileLimit);
}

} // namespace

ProblemFileRead parseProblemFile(const QByteArray &json)
{
    try {
        return {parse(json), {}};
    } catch (const Failure &failure) {
        return {std::nullopt, failure.what};
    }
}

ProblemFileRead readProblemFile(const QString &path)
{
    const auto failure = [&](const QString &reason) {
        return ProblemFileRead{std::nullopt, path + QStringLiteral(": cannot be read: ") + reason};
    };
    // A pipe may wait for a writer for ever and a device may never end: only files are read.
    const QFileInfo info(path);
    if (info.exists() && !info.isFile() && !info.isDir())
        return failure(QStringLiteral("It is not a regular file."));
    if (info.isFile() && info.size() > problemFileLimit)
        return failure(tooLargeReason());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(file.errorString());
    // One byte past the limit tells a file that grew since it was looked at.
    const QByteArray json = file.read(problemFileLimit + 1);
    if (file.error() != QFileDevice::NoError)
        return failure(file.errorString());
    if (json.size() > problemFileLimit)
        return failure(tooLargeReason());
    ProblemFileRead read = parseProblemFile(json);
    if (!read.file)
        read.error = path + QStringLiteral(": ") + read.error;
    return read;
}

QByteArray problemFileText(const Problem &problem, const QList<QStringList> &ept)
{
    QJsonArray childStates;
    for (int s = 1; s <= problem.noChildStates; ++s)
        childStates.append(problem.childStateName(s));
    QJsonArray parents;
    for (int p = 1; p <= problem.noParents(); ++p) {
        QJsonArray states;
        for (int s = 1; s <= problem.parentNoStates(p); ++s)
            states.append(problem.parentStateName(s, p));
        parents.append(
            QJsonObject{{QStringLiteral("name"), problem.parentName(p)},
                        {QStringLiteral("type"),
                         problem.parentType(p) == modifyingType ? modifyingName : nonModifyingName},
                        {QStringLiteral("states"), states}});
    }
    QJsonArray rows;
    for (const QStringList &row : ept)
        rows.append(QJsonArray::fromStringList(row));
    const QJsonObject top{
        {QStringLiteral("child"), QJsonObject{{QStringLiteral("name"), problem.childName},
                                              {QStringLiteral("states"), childStates}}},
        {QStringLiteral("parents"), parents},
        {QStringLiteral("ept"), rows}};
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

} // namespace vadazaz
