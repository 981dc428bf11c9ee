#include "core/store/problem_file.h"

#include "core/base/json_keys.h"
#include "core/base/save_file.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <algorithm>
#include <cmath>

namespace vadazaz {

namespace {

Message wrong(const QString &text)
{
    return {appTitle(), text};
}

Result<QJsonValue> member(const QJsonObject &object, const QString &key, const QString &where)
{
    if (!object.contains(key))
        return wrong(QStringLiteral("%1 has no \"%2\"").arg(where, key));
    return object.value(key);
}

Result<QJsonObject> object(const QJsonValue &value, const QString &where)
{
    if (!value.isObject())
        return wrong(QStringLiteral("%1 must be an object").arg(where));
    return value.toObject();
}

Result<QJsonArray> array(const QJsonValue &value, const QString &what)
{
    if (!value.isArray())
        return wrong(what);
    return value.toArray();
}

Result<QString> name(const QJsonValue &value, const QString &where)
{
    if (!value.isString())
        return wrong(QStringLiteral("%1 must be a text").arg(where));
    const QString text = value.toString();
    if (const std::optional<QString> fault = nameFault(text))
        return wrong(QStringLiteral("%1 %2").arg(where, *fault));
    return text;
}

Result<QStringList> stateNames(const QJsonValue &value, const QString &where)
{
    const Result<QJsonArray> states =
        array(value, QStringLiteral("%1 must be a list of state names").arg(where));
    if (!states)
        return states.failure();
    if (states->size() < 2 || states->size() > 3)
        return wrong(QStringLiteral("%1 must list 2 or 3 state names, not %2")
                         .arg(where)
                         .arg(states->size()));
    QStringList names;
    for (qsizetype s = 0; s < states->size(); ++s) {
        const Result<QString> state =
            name(states->at(s), QStringLiteral("%1[%2]").arg(where).arg(s + 1));
        if (!state)
            return state.failure();
        names.append(*state);
    }
    return names;
}

Result<QString> cellText(const QJsonValue &value, const QString &where)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    return wrong(QStringLiteral("%1 must be a text or a number").arg(where));
}

// A variable's identifiers in the network the problem came from: {"id": …, "states": […]}, with
// as many states as the variable; or nothing when the problem did not come from a network.
Result<void> readNetworkIds(const QJsonObject &variable, int noStates, const QString &where,
                            QString &id, std::array<QString, 3> &stateIds)
{
    const QJsonValue value = variable.value(QStringLiteral("network"));
    if (value.isUndefined())
        return {};
    const QJsonObject network = value.toObject();
    const QJsonArray states = network.value(QStringLiteral("states")).toArray();
    if (!value.isObject() || !network.value(QStringLiteral("id")).isString() ||
        states.size() != noStates ||
        std::any_of(states.begin(), states.end(),
                    [](const QJsonValue &s) { return !s.isString(); }))
        return wrong(QStringLiteral("%1's \"network\" must hold its \"id\" and the \"states\" of "
                                    "its %2 states in the network")
                         .arg(where)
                         .arg(noStates));
    id = network.value(QStringLiteral("id")).toString();
    for (int s = 0; s < noStates; ++s)
        stateIds.at(s) = states.at(s).toString();
    return {};
}

QJsonObject withNetworkIds(QJsonObject variable, const QString &id,
                           const std::array<QString, 3> &stateIds, int noStates)
{
    if (id.isEmpty()) {
        variable.remove(QStringLiteral("network"));
        return variable;
    }
    QJsonArray states;
    for (int s = 0; s < noStates; ++s)
        states.append(stateIds.at(s));
    variable.insert(QStringLiteral("network"),
                    QJsonObject{{QStringLiteral("id"), id}, {QStringLiteral("states"), states}});
    return variable;
}

// The child's name and states into the problem.
Result<void> readChild(const QJsonObject &top, Problem &problem)
{
    const Result<QJsonValue> childValue =
        member(top, QStringLiteral("child"), QStringLiteral("the problem"));
    if (!childValue)
        return childValue.failure();
    const Result<QJsonObject> child = object(*childValue, QStringLiteral("\"child\""));
    if (!child)
        return child.failure();
    const Result<QJsonValue> nameValue =
        member(*child, QStringLiteral("name"), QStringLiteral("\"child\""));
    if (!nameValue)
        return nameValue.failure();
    const Result<QString> childName = name(*nameValue, QStringLiteral("the child's name"));
    if (!childName)
        return childName.failure();
    const Result<QJsonValue> statesValue =
        member(*child, QStringLiteral("states"), QStringLiteral("\"child\""));
    if (!statesValue)
        return statesValue.failure();
    const Result<QStringList> states =
        stateNames(*statesValue, QStringLiteral("the child's \"states\""));
    if (!states)
        return states.failure();
    problem.childName = *childName;
    problem.noChildStates = int(states->size());
    for (int s = 1; s <= problem.noChildStates; ++s)
        problem.childStateName(s) = states->at(s - 1);
    return readNetworkIds(*child, problem.noChildStates, QStringLiteral("the child"),
                          problem.childId, problem.childStateIds);
}

// Parent p's name, type and states into the problem.
Result<void> readParent(const QJsonValue &value, int p, Problem &problem)
{
    const QString where = QStringLiteral("parent %1").arg(p);
    const Result<QJsonObject> parent = object(value, where);
    if (!parent)
        return parent.failure();
    const Result<QJsonValue> nameValue = member(*parent, QStringLiteral("name"), where);
    if (!nameValue)
        return nameValue.failure();
    const Result<QString> parentName = name(*nameValue, QStringLiteral("%1's name").arg(where));
    if (!parentName)
        return parentName.failure();
    const Result<QJsonValue> typeValue = member(*parent, QStringLiteral("type"), where);
    if (!typeValue)
        return typeValue.failure();
    const std::optional<ParentType> type =
        typeValue->isString() ? parentTypeNamed(typeValue->toString()) : std::nullopt;
    if (!type)
        return wrong(QStringLiteral("%1's \"type\" must be \"%2\" or \"%3\"")
                         .arg(where, parentTypeName(ParentType::NonModifying),
                              parentTypeName(ParentType::Modifying)));
    const Result<QJsonValue> statesValue = member(*parent, QStringLiteral("states"), where);
    if (!statesValue)
        return statesValue.failure();
    const Result<QStringList> states =
        stateNames(*statesValue, QStringLiteral("%1's \"states\"").arg(where));
    if (!states)
        return states.failure();
    problem.parentName(p) = *parentName;
    problem.parentType(p) = *type;
    problem.parentNoStates(p) = int(states->size());
    for (int s = 1; s <= problem.parentNoStates(p); ++s)
        problem.parentStateName(s, p) = states->at(s - 1);
    std::array<QString, 3> stateIds;
    if (const Result<void> ids = readNetworkIds(*parent, problem.parentNoStates(p), where,
                                                problem.parentId(p), stateIds);
        !ids)
        return ids.failure();
    for (int s = 1; s <= 3; ++s)
        problem.parentStateId(s, p) = stateIds.at(s - 1);
    return {};
}

Result<QList<QStringList>> readEpt(const QJsonObject &top)
{
    if (!top.contains(QStringLiteral("ept")))
        return QList<QStringList>();
    const Result<QJsonArray> rows =
        array(top.value(QStringLiteral("ept")), QStringLiteral("\"ept\" must be a list of rows"));
    if (!rows)
        return rows.failure();
    QList<QStringList> ept;
    for (qsizetype r = 0; r < rows->size(); ++r) {
        const QString where = QStringLiteral("row %1 of \"ept\"").arg(r + 1);
        const Result<QJsonArray> cells =
            array(rows->at(r), QStringLiteral("%1 must be a list of cells").arg(where));
        if (!cells)
            return cells.failure();
        QStringList texts;
        for (qsizetype c = 0; c < cells->size(); ++c) {
            const Result<QString> text =
                cellText(cells->at(c), QStringLiteral("cell %1 of %2").arg(c + 1).arg(where));
            if (!text)
                return text.failure();
            texts.append(*text);
        }
        ept.append(texts);
    }
    return ept;
}

// Files of another program, or of a later version of this one, are not read.
Result<void> readFormat(const QJsonObject &top)
{
    const QJsonValue format = top.value(QStringLiteral("format"));
    if (format.isUndefined() && !top.contains(QStringLiteral("version")))
        return {};
    if (format.toString() != problemFileFormat())
        return wrong(QStringLiteral("its \"format\" is not \"%1\": it is not a problem file of "
                                    "this program")
                         .arg(problemFileFormat()));
    const QJsonValue version = top.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toDouble() != std::floor(version.toDouble()) ||
        version.toDouble() < 1)
        return wrong(QStringLiteral("its \"version\" must be a whole number from 1"));
    if (version.toDouble() > problemFileVersion)
        return wrong(QStringLiteral("it was written by a later version of the program (problem "
                                    "file version %1); this version reads version %2")
                         .arg(version.toDouble())
                         .arg(problemFileVersion));
    return {};
}

QString tooLargeReason()
{
    return QStringLiteral("It is larger than %1 bytes (4 MiB), the limit for a problem file.")
        .arg(problemFileLimit);
}

} // namespace

Result<ProblemFile> parseProblemFile(const QByteArray &json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return wrong(QStringLiteral("not valid JSON at character %1: %2")
                         .arg(parseError.offset)
                         .arg(parseError.errorString()));
    if (!document.isObject())
        return wrong(QStringLiteral("the problem must be a JSON object"));
    // The reader above keeps the last of a key named twice; which one was meant is not known.
    if (const std::optional<RepeatedKey> repeated = repeatedKey(json))
        return wrong(QStringLiteral("%1 is named twice in %2")
                         .arg(repeated->key, repeated->where.isEmpty()
                                                 ? QStringLiteral("the problem")
                                                 : repeated->where));
    const QJsonObject top = document.object();
    if (const Result<void> format = readFormat(top); !format)
        return format.failure();

    ProblemFile file;
    file.original = top;
    if (const Result<void> child = readChild(top, file.problem); !child)
        return child.failure();
    const Result<QJsonValue> parentsValue =
        member(top, QStringLiteral("parents"), QStringLiteral("the problem"));
    if (!parentsValue)
        return parentsValue.failure();
    const Result<QJsonArray> parents =
        array(*parentsValue, QStringLiteral("\"parents\" must be a list of parents"));
    if (!parents)
        return parents.failure();
    if (parents->size() < 2)
        return wrong(QStringLiteral("\"parents\" must list at least 2 parents, not %1")
                         .arg(parents->size()));
    while (file.problem.noParents() < parents->size())
        file.problem.appendParent();
    for (int p = 1; p <= file.problem.noParents(); ++p) {
        if (const Result<void> parent = readParent(parents->at(p - 1), p, file.problem); !parent)
            return parent.failure();
    }
    Result<QList<QStringList>> ept = readEpt(top);
    if (!ept)
        return ept.failure();
    file.problem.ept = std::move(ept).value();
    const QJsonValue notes = top.value(QStringLiteral("notes"));
    if (!notes.isUndefined() && !notes.isString())
        return wrong(QStringLiteral("\"notes\" must be a text"));
    file.problem.notes = notes.toString();
    const QJsonValue source = top.value(QStringLiteral("network"));
    if (!source.isUndefined()) {
        if (!source.toObject().value(QStringLiteral("file")).isString() ||
            !source.toObject().value(QStringLiteral("node")).isString())
            return wrong(QStringLiteral("\"network\" must name the \"file\" and the \"node\" the "
                                        "problem was taken from"));
        file.problem.networkFile = source.toObject().value(QStringLiteral("file")).toString();
        file.problem.networkNode = source.toObject().value(QStringLiteral("node")).toString();
    }
    return file;
}

Result<ProblemFile> readProblemFile(const QString &path)
{
    const auto failure = [&](const QString &reason) {
        return wrong(QStringLiteral("%1: cannot be read: %2").arg(path, reason));
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
    Result<ProblemFile> read = parseProblemFile(json);
    if (!read)
        return wrong(QStringLiteral("%1: %2").arg(path, read.failure().text));
    return read;
}

QString problemFileFormat()
{
    return QStringLiteral("vadazaz-problem");
}

QByteArray problemFileText(const Problem &problem, const QJsonObject &original)
{
    QJsonObject top = original;
    top.insert(QStringLiteral("format"), problemFileFormat());
    top.insert(QStringLiteral("version"), problemFileVersion);

    QJsonObject child = original.value(QStringLiteral("child")).toObject();
    QJsonArray childStates;
    for (int s = 1; s <= problem.noChildStates; ++s)
        childStates.append(problem.childStateName(s));
    child.insert(QStringLiteral("name"), problem.childName);
    child.insert(QStringLiteral("states"), childStates);
    top.insert(
        QStringLiteral("child"),
        withNetworkIds(child, problem.childId, problem.childStateIds, problem.noChildStates));

    const QJsonArray originalParents = original.value(QStringLiteral("parents")).toArray();
    QJsonArray parents;
    for (int p = 1; p <= problem.noParents(); ++p) {
        QJsonObject parent = originalParents.at(p - 1).toObject();
        QJsonArray states;
        for (int s = 1; s <= problem.parentNoStates(p); ++s)
            states.append(problem.parentStateName(s, p));
        parent.insert(QStringLiteral("name"), problem.parentName(p));
        parent.insert(QStringLiteral("type"), parentTypeName(problem.parentType(p)));
        parent.insert(QStringLiteral("states"), states);
        std::array<QString, 3> stateIds;
        for (int s = 1; s <= 3; ++s)
            stateIds.at(s - 1) = problem.parentStateId(s, p);
        parents.append(
            withNetworkIds(parent, problem.parentId(p), stateIds, problem.parentNoStates(p)));
    }
    top.insert(QStringLiteral("parents"), parents);

    QJsonArray rows;
    for (const QStringList &row : problem.ept)
        rows.append(QJsonArray::fromStringList(row));
    top.insert(QStringLiteral("ept"), rows);
    top.insert(QStringLiteral("notes"), problem.notes);
    if (problem.networkFile.isEmpty())
        top.remove(QStringLiteral("network"));
    else
        top.insert(QStringLiteral("network"),
                   QJsonObject{{QStringLiteral("file"), problem.networkFile},
                               {QStringLiteral("node"), problem.networkNode}});
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

Result<void> saveProblemFile(const QString &path, const Problem &problem,
                             const QJsonObject &original)
{
    const QByteArray text = problemFileText(problem, original);
    return saveFile(
        path, [&](QIODevice &file) { return file.write(text) == text.size(); },
        [](const QString &file, const QString &reason) {
            return Message{
                QStringLiteral("Save problem"),
                QStringLiteral("The problem could not be saved to %1.\r%2").arg(file, reason)};
        });
}

} // namespace vadazaz
