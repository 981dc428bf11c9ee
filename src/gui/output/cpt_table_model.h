#pragma once

#include "core/output/cpt_table.h"

#include <QAbstractTableModel>
#include <QFont>

#include <vector>

namespace vadazaz {

// The CPT table for a view, which it holds: column 0 marks the rows taken from the EPT with the EPT
// row's number, then one column per parent in the order of the CPT file and one per child state.
// Every cell is read from the table when it is asked for; a filter keeps only the numbers of the
// CPT rows that match it. The row headings are the CPT rows' numbers.
class CptTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // A child-state cell's exact percentage, for its bar.
    static constexpr int PercentRole = Qt::UserRole + 1;

    explicit CptTableModel(CptTable table, QObject *parent = nullptr);

    const CptTable &table() const { return table_; }

    // Keeps the rows whose parent at each position is in the state wanted there (0 for any).
    void setFilter(const QList<int> &wanted);
    // The CPT row shown in model row row.
    int cptRow(int row) const { return filtered_ ? rows_[std::size_t(row)] : row + 1; }
    int firstChildColumn() const { return 1 + table_.noParents(); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const CptTable table_;
    bool filtered_ = false;
    std::vector<int> rows_;
    QFont bold_;
};

} // namespace vadazaz
