#pragma once

#include "gui/editing/editing_dialog.h"

#include <memory>

namespace Ui {
class FormParent;
}

namespace vadazaz {

// Edits the parent at selectedParent: name, type, number of states and state names. The store
// is written only when every entry is valid, and then whole.
class FormParent : public EditingDialog
{
    Q_OBJECT
public:
    explicit FormParent(QWidget *parent = nullptr);
    ~FormParent() override;

protected:
    void Form_Activate() override;

private Q_SLOTS:
    void ComboNoStates_Click(int index);
    void CommandOK_Click();
    void CommandCancel_Click();

private:
    void showLayout(int states);

    std::unique_ptr<Ui::FormParent> ui;
};

} // namespace vadazaz
