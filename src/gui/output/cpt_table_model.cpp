#include "gui/output/cpt_table_model.h"

#include <algorithm>

namespace vadazaz {

CptTableModel::CptTableModel(CptTable table, QObject *parent)
    : QAbstractTableModel(parent), table_(std::move(table))
{
    bold_.setBold(true);
}

void CptTableModel::setFilter(const QList<int> &wanted)
{
    beginResetModel();
    filtered_ = std::any_of(wanted.begin(), wanted.end(), [](int s) { return s > 0; });
    rows_ = filtered_ ? table_.matchingRows(wanted) : std::vector<int>();
    endResetModel();
}

int CptTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return filtered_ ? int(rows_.size()) : table_.noRows();
}

int CptTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : firstChildColumn() + table_.noChildStates();
}

QVariant CptTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    Q_ASSERT(checkIndex(index));
    const int r = cptRow(index.row());
    const int column = index.column();
    const bool child = column >= firstChildColumn();
    switch (role) {
    case Qt::DisplayRole:
        if (column == 0) {
            const int eptRow = table_.eptRow(r);
            return eptRow > 0 ? QString::number(eptRow) : QString();
        }
        if (child)
            return table_.probabilityText(r, column - firstChildColumn() + 1);
        return table_.stateName(column, table_.state(r, column));
    case PercentRole:
        return child ? QVariant(table_.percent(r, column - firstChildColumn() + 1)) : QVariant();
    case Qt::ToolTipRole:
        if (const int eptRow = table_.eptRow(r); eptRow > 0)
            return QStringLiteral("from EPT row %1").arg(eptRow);
        return {};
    case Qt::FontRole:
        return table_.eptRow(r) > 0 ? QVariant(bold_) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(child || column == 0 ? Qt::AlignRight | Qt::AlignVCenter
                                                        : Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant CptTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Vertical)
        return QString::number(cptRow(section));
    if (section == 0)
        return QStringLiteral("EPT");
    if (section >= firstChildColumn())
        return table_.childHeading(section - firstChildColumn() + 1);
    return table_.parentHeading(section);
}

} // namespace vadazaz
