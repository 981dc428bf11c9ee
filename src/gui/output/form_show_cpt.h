#pragma once

#include "core/output/cpt_table.h"

#include <QDialog>
#include <QList>

#include <memory>

namespace Ui {
class FormShowCpt;
}

class QComboBox;

namespace vadazaz {

class CptTableModel;

// "Show CPT": the whole CPT as a table, rows in the order of the CPT file, the rows taken from
// the EPT in bold with their EPT row, and beside it the chart of how far each EPT row moves child
// state 1 from row 1. A drop-down per parent ("any" or one of its states) keeps the rows where
// the chosen parents are in the chosen states. Ctrl+C or the context menu copies the selected
// rows as TAB-separated text with a heading line, the numbers as the table shows them. The CPT
// must outlive the window.
class FormShowCpt : public QDialog
{
    Q_OBJECT

public:
    FormShowCpt(const Problem &problem, const Cpt &cpt, const QString &decimalPoint,
                QWidget *parent = nullptr);
    ~FormShowCpt() override;

    // Puts the selected rows on the clipboard; nothing when no row is selected.
    void copySelection() const;

private:
    void Form_Load();
    void ComboFilter_Change();
    void CommandOK_Click();

    std::unique_ptr<Ui::FormShowCpt> ui;
    CptTableModel *model_ = nullptr;
    QList<QComboBox *> filters_; // "ComboFilter1", … per position
};

} // namespace vadazaz
