#include "core/network/csv_format.h"

namespace vadazaz {

namespace {

QByteArray field(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\r') &&
        !bytes.contains('\n'))
        return bytes;
    return '"' + bytes.replace('"', "\"\"") + '"';
}

QString nameOf(const QString &label, const QString &id)
{
    return label.isEmpty() ? id : label;
}

QString stateName(const ExportVariable &variable, qsizetype state)
{
    return nameOf(variable.stateLabels.value(state), variable.states.value(state));
}

} // namespace

QByteArray writeCsv(const NetworkExport &network)
{
    if (network.variables.isEmpty())
        return {};
    const ExportVariable &child = network.variables.last();
    // The child's rows follow its own list of parents; each is one of the variables before it.
    QList<const ExportVariable *> parents;
    for (const QString &id : child.parents) {
        for (qsizetype k = 0; k + 1 < network.variables.size(); ++k) {
            if (network.variables.at(k).id == id)
                parents.append(&network.variables.at(k));
        }
    }
    if (parents.size() != child.parents.size()) {
        parents.clear();
        for (qsizetype k = 0; k + 1 < network.variables.size(); ++k)
            parents.append(&network.variables.at(k));
    }

    QList<QByteArray> heading;
    for (const ExportVariable *parent : parents)
        heading.append(field(nameOf(parent->label, parent->id)));
    for (qsizetype s = 0; s < child.states.size(); ++s)
        heading.append(
            field(nameOf(child.label, child.id) + QLatin1Char('=') + stateName(child, s)));
    QByteArray out = "\xEF\xBB\xBF" + heading.join(',') + "\r\n";

    // The parents' states of each row, the last parent fastest.
    QList<qsizetype> states(parents.size(), 0);
    for (const QStringList &row : child.rows) {
        QList<QByteArray> fields;
        for (qsizetype p = 0; p < parents.size(); ++p)
            fields.append(field(stateName(*parents.at(p), states.at(p))));
        for (const QString &probability : row)
            fields.append(field(probability));
        out += fields.join(',') + "\r\n";
        for (qsizetype p = parents.size(); p-- > 0;) {
            if (++states[p] < parents.at(p)->states.size())
                break;
            states[p] = 0;
        }
    }
    return out;
}

} // namespace vadazaz
