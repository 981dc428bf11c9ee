#pragma once

#include "gui/editing/editing_dialog.h"

#include <memory>

namespace Ui {
class FormChildState;
}

namespace vadazaz {

// Takes the names of the child's 2 or 3 states into the problem. Its boxes keep what was last typed
// into them from one opening to the next, confirmed or not.
class FormChildState : public EditingDialog
{
    Q_OBJECT
public:
    explicit FormChildState(Problem &problem, QWidget *parent = nullptr);
    ~FormChildState() override;

    // Puts the problem's state names into the boxes, as if the user had typed them.
    void showStateNames();

protected:
    void Form_Activate() override;

private Q_SLOTS:
    void CommandOK_Click();
    void CommandCancel_Click();

private:
    std::unique_ptr<Ui::FormChildState> ui;
};

} // namespace vadazaz
