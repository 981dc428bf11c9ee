#include "core/network/cpt_network.h"

#include "core/ept/ept_shape.h"
#include "core/network/probabilities.h"

#include <QHash>

#include <functional>

namespace vadazaz {

namespace {

constexpr int maxIdentifierLength = 30;

Message writeBackFault(const QString &text)
{
    return {writeBackTitle(), text};
}

// Names of at most maxLength characters, different from each other: a longer or repeated name is
// cut and numbered, "Temperatu~2".
QStringList uniqueNames(const QStringList &wanted, int maxLength, QSet<QString> taken = {})
{
    QStringList names;
    for (const QString &name : wanted) {
        QString candidate = firstCharacters(name, maxLength);
        for (int n = 2; taken.contains(candidate); ++n) {
            const QString suffix = QStringLiteral("~%1").arg(n);
            candidate = firstCharacters(name, maxLength - suffix.size()) + suffix;
        }
        taken.insert(candidate);
        names << candidate;
    }
    return names;
}

// The configurations of some variables' states (each from 0), the first variable slowest.
void forEachConfiguration(const QList<int> &counts,
                          const std::function<void(const QList<int> &)> &visit)
{
    QList<int> states(counts.size(), 0);
    for (;;) {
        visit(states);
        qsizetype k = counts.size();
        while (k > 0) {
            --k;
            if (++states[k] < counts.at(k))
                break;
            states[k] = 0;
            if (k == 0)
                return;
        }
        if (counts.isEmpty())
            return;
    }
}

// The CPT row (from 1) of the configuration in which parent p (1-based, the problem's own order)
// is in state states[p - 1] (from 1).
int cptRow(const Cpt &cpt, const QList<int> &states)
{
    int row = 1;
    for (qsizetype k = 0; k < cpt.parentOrder.size(); ++k)
        row += (states.at(cpt.parentOrder.at(k) - 1) - 1) * cpt.positionStride(int(k) + 1);
    return row;
}

QStringList distributionOf(const Cpt &cpt, int row, const QList<int> &childStates, int decimals)
{
    std::vector<double> fractions;
    for (const int c : childStates)
        fractions.push_back(cpt.at(row, c) / 100.0);
    return roundedDistribution(fractions, decimals);
}

} // namespace

QString writeBackTitle()
{
    return QStringLiteral("Write CPT into network");
}

QString identifierFor(const QString &name)
{
    QString id;
    for (const QChar c : name.normalized(QString::NormalizationForm_KD)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue; // the accent of a decomposed letter
        const bool ascii = c.unicode() < 0x80;
        id += ascii && (c.isLetterOrNumber() || c == QLatin1Char('_')) ? c : QLatin1Char('_');
    }
    if (id.isEmpty() || !(id.at(0).unicode() < 0x80 && id.at(0).isLetter()))
        id.prepend(QLatin1Char('x'));
    return id.left(maxIdentifierLength);
}

QStringList uniqueIdentifiers(const QStringList &names, QSet<QString> taken)
{
    QStringList ids;
    for (const QString &name : names) {
        const QString base = identifierFor(name);
        QString candidate = base;
        for (int n = 2; taken.contains(candidate); ++n) {
            const QString suffix = QStringLiteral("_%1").arg(n);
            candidate = base.left(maxIdentifierLength - int(suffix.size())) + suffix;
        }
        taken.insert(candidate);
        ids << candidate;
    }
    return ids;
}

Result<NetworkExport> networkExportOf(const Problem &problem, const Cpt &cpt, int decimals)
{
    if (const Result<void> exportable = checkExportable(cpt); !exportable)
        return exportable.failure();
    const int n = problem.noParents();
    // The identifiers: the network's own where the problem came from one, else made from names.
    QStringList names{problem.childName};
    for (int p = 1; p <= n; ++p)
        names << problem.parentName(p);
    QStringList ids = uniqueIdentifiers(names);
    if (!problem.childId.isEmpty()) {
        ids[0] = problem.childId;
        for (int p = 1; p <= n; ++p)
            ids[p] = problem.parentId(p);
    }
    const auto stateIdsOf = [](const QStringList &stateNames, const QStringList &given) {
        return given.contains(QString()) ? uniqueIdentifiers(stateNames) : given;
    };

    NetworkExport network;
    network.name = ids.at(0);
    QList<int> counts;
    for (int p = 1; p <= n; ++p) {
        ExportVariable parent;
        parent.id = ids.at(p);
        parent.label = problem.parentName(p);
        QStringList given;
        for (int s = 1; s <= problem.parentNoStates(p); ++s) {
            parent.stateLabels << problem.parentStateName(s, p);
            given << problem.parentStateId(s, p);
        }
        parent.states = stateIdsOf(parent.stateLabels, given);
        const std::vector<double> uniform(std::size_t(problem.parentNoStates(p)),
                                          1.0 / problem.parentNoStates(p));
        parent.rows = {roundedDistribution(uniform, decimals)};
        network.variables << parent;
        counts << problem.parentNoStates(p);
    }

    ExportVariable child;
    child.id = ids.at(0);
    child.label = problem.childName;
    QStringList given;
    QList<int> childStates;
    for (int c = 1; c <= problem.noChildStates; ++c) {
        child.stateLabels << problem.childStateName(c);
        given << problem.childStateIds.at(c - 1);
        childStates << c;
    }
    child.states = stateIdsOf(child.stateLabels, given);
    child.parents = ids.mid(1);
    forEachConfiguration(counts, [&](const QList<int> &states) {
        QList<int> fromOne;
        for (const int s : states)
            fromOne << s + 1;
        child.rows << distributionOf(cpt, cptRow(cpt, fromOne), childStates, decimals);
    });
    network.variables << child;
    return network;
}

Result<QByteArray> cptNetworkFile(NetworkFormat format, const Problem &problem, const Cpt &cpt,
                                  int decimals)
{
    const Result<NetworkExport> network = networkExportOf(problem, cpt, decimals);
    if (!network)
        return network.failure();
    return writeNetwork(format, *network);
}

Result<QByteArray> cptWrittenInto(QByteArrayView file, NetworkFormat format,
                                  const QString &fileName, const Problem &problem, const Cpt &cpt,
                                  int decimals)
{
    if (const Result<void> exportable = checkExportable(cpt); !exportable)
        return exportable.failure();
    const Result<Network> network = readNetwork(format, file, fileName);
    if (!network)
        return network.failure();
    const NetworkVariable *node = network->variable(problem.networkNode);
    if (problem.networkNode.isEmpty() || !node || node->tableBegin < 0)
        return writeBackFault(QStringLiteral("%1 has no node \"%2\" with a probability table.")
                                  .arg(fileName, problem.networkNode));

    // The states of a variable in the network, found by their identifiers in the problem.
    const auto mapStates = [&](const QString &variable, const QStringList &inNetwork,
                               const QStringList &inProblem) -> Result<QList<int>> {
        QList<int> map;
        for (const QString &state : inNetwork) {
            const qsizetype at = inProblem.indexOf(state);
            if (at < 0)
                return writeBackFault(QStringLiteral("In %1, %2 has the state \"%3\", which the "
                                                     "problem does not have.")
                                          .arg(fileName, variable, state));
            map << int(at) + 1;
        }
        for (const QString &state : inProblem) {
            if (!inNetwork.contains(state))
                return writeBackFault(QStringLiteral("In %1, %2 no longer has the state \"%3\".")
                                          .arg(fileName, variable, state));
        }
        return map;
    };

    QStringList childStates;
    for (int c = 1; c <= problem.noChildStates; ++c)
        childStates << problem.childStateIds.at(c - 1);
    const Result<QList<int>> childMap = mapStates(node->id, node->states, childStates);
    if (!childMap)
        return childMap.failure();

    // The network's parents, each as the problem's parent and its states.
    QList<int> parentOf;         // problem parent index of each network parent
    QList<QList<int>> stateMaps; // problem state (from 1) of each network state
    QList<int> counts;
    for (const QString &id : node->parents) {
        int p = 1;
        while (p <= problem.noParents() && problem.parentId(p) != id)
            ++p;
        if (p > problem.noParents())
            return writeBackFault(QStringLiteral("In %1, %2 has the parent \"%3\", which the "
                                                 "problem does not have.")
                                      .arg(fileName, node->id, id));
        const NetworkVariable *parent = network->variable(id);
        QStringList problemStates;
        for (int s = 1; s <= problem.parentNoStates(p); ++s)
            problemStates << problem.parentStateId(s, p);
        const Result<QList<int>> map = mapStates(id, parent->states, problemStates);
        if (!map)
            return map.failure();
        parentOf << p;
        stateMaps << *map;
        counts << int(parent->states.size());
    }
    for (int p = 1; p <= problem.noParents(); ++p) {
        if (!node->parents.contains(problem.parentId(p)))
            return writeBackFault(QStringLiteral("In %1, %2 no longer has the parent \"%3\".")
                                      .arg(fileName, node->id, problem.parentId(p)));
    }

    QList<QStringList> rows;
    forEachConfiguration(counts, [&](const QList<int> &states) {
        QList<int> fromOne(problem.noParents(), 1);
        for (qsizetype k = 0; k < states.size(); ++k)
            fromOne[parentOf.at(k) - 1] = stateMaps.at(k).at(states.at(k));
        rows << distributionOf(cpt, cptRow(cpt, fromOne), *childMap, decimals);
    });
    QByteArray written = file.toByteArray();
    written.replace(node->tableBegin, node->tableEnd - node->tableBegin,
                    tableTextFor(format, file, *network, *node, rows));
    return written;
}

QList<NodeChoice> nodeChoices(const Network &network)
{
    QList<NodeChoice> choices;
    for (const NetworkVariable &v : network.variables) {
        QString whyNot;
        qint64 rows = 1;
        if (v.table.empty() && v.tableBegin < 0)
            whyNot = QStringLiteral("it has no probability table");
        else if (v.states.size() < 2 || v.states.size() > 3)
            whyNot = QStringLiteral("a child needs 2 or 3 states; it has %1").arg(v.states.size());
        else if (v.parents.size() < 2)
            whyNot =
                QStringLiteral("a child needs 2 parents or more; it has %1").arg(v.parents.size());
        for (const QString &id : v.parents) {
            const NetworkVariable *parent = network.variable(id);
            const qsizetype states = parent ? parent->states.size() : 0;
            if (whyNot.isEmpty() && (states < 2 || states > 3))
                whyNot = QStringLiteral("its parent %1 has %2 states; a parent needs 2 or 3")
                             .arg(id)
                             .arg(states);
            rows = std::min(rows * std::max<qsizetype>(states, 1), maxCptRows + 1);
        }
        if (whyNot.isEmpty() && rows > maxCptRows)
            whyNot = QStringLiteral("its CPT would have more than %1 rows").arg(maxCptRows);
        choices << NodeChoice{v.id, v.label, whyNot};
    }
    return choices;
}

Result<Problem> problemFromNode(const Network &network, const QString &networkFile,
                                const QString &node, const QSet<QString> &reversed)
{
    const Message cannot{QStringLiteral("Import node"), QString()};
    const NetworkVariable *child = network.variable(node);
    if (!child)
        return Message{cannot.title,
                       QStringLiteral("%1 has no node \"%2\".").arg(networkFile, node)};
    for (const NodeChoice &choice : nodeChoices(network)) {
        if (choice.id == node && !choice.whyNot.isEmpty())
            return Message{
                cannot.title,
                QStringLiteral("The node %1 cannot be taken: %2.").arg(node, choice.whyNot)};
    }
    const auto statesOf = [&](const NetworkVariable &v) {
        QStringList states = v.states;
        if (reversed.contains(v.id))
            std::reverse(states.begin(), states.end());
        return states;
    };

    Problem problem;
    problem.networkFile = networkFile;
    problem.networkNode = node;
    QStringList ids{child->id};
    ids += child->parents;
    const QStringList names = uniqueNames(ids, maxNameLength);
    problem.childName = names.at(0);
    problem.childId = child->id;
    const QStringList childStates = statesOf(*child);
    const QStringList childNames = uniqueNames(childStates, maxNameLength);
    problem.noChildStates = int(childStates.size());
    for (int c = 1; c <= problem.noChildStates; ++c) {
        problem.childStateName(c) = childNames.at(c - 1);
        problem.childStateIds.at(c - 1) = childStates.at(c - 1);
    }
    while (problem.noParents() < child->parents.size())
        problem.appendParent();
    for (int p = 1; p <= problem.noParents(); ++p) {
        const NetworkVariable &parent = *network.variable(child->parents.at(p - 1));
        problem.parentName(p) = names.at(p);
        problem.parentId(p) = parent.id;
        const QStringList states = statesOf(parent);
        const QStringList stateNames = uniqueNames(states, maxNameLength);
        problem.parentNoStates(p) = int(states.size());
        for (int s = 1; s <= problem.parentNoStates(p); ++s) {
            problem.parentStateName(s, p) = stateNames.at(s - 1);
            problem.parentStateId(s, p) = states.at(s - 1);
        }
    }
    // Names come from the network's identifiers, which may hold what a name may not.
    QStringList given{problem.childName};
    for (int c = 1; c <= problem.noChildStates; ++c)
        given << problem.childStateName(c);
    for (int p = 1; p <= problem.noParents(); ++p) {
        given << problem.parentName(p);
        for (int s = 1; s <= problem.parentNoStates(p); ++s)
            given << problem.parentStateName(s, p);
    }
    for (const QString &name : std::as_const(given)) {
        if (const std::optional<QString> fault = nameFault(name))
            return Message{cannot.title,
                           QStringLiteral("The node %1 cannot be taken: the name \"%2\" %3.")
                               .arg(visibleText(node), visibleText(name), *fault)};
    }
    return problem;
}

} // namespace vadazaz
