#pragma once

#include "gui/editing/editing_dialog.h"

#include <memory>

namespace Ui {
class FormParent;
}

namespace vadazaz {

// Edits one parent of the problem: name, type, number of states and state names. The problem is
// written only when every entry is valid, and then whole.
class FormParent : public EditingDialog
{
    Q_OBJECT
public:
    explicit FormParent(Problem &problem, QWidget *parent = nullptr);
    ~FormParent() override;

    // The parent (1-based) that the next opening edits.
    void setSelectedParent(int p) { selectedParent_ = p; }

protected:
    void Form_Activate() override;

private Q_SLOTS:
    void ComboNoStates_Click(int index);
    void CommandOK_Click();
    void CommandCancel_Click();

private:
    void showLayout(int states);

    std::unique_ptr<Ui::FormParent> ui;
    int selectedParent_ = 1;
};

} // namespace vadazaz
