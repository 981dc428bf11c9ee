#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class FormChildState;
}

namespace vadazaz {

// Takes the names of the child's 2 or 3 states. Its boxes keep what was last typed into them
// from one opening to the next, confirmed or not.
class FormChildState : public QDialog
{
    Q_OBJECT
public:
    explicit FormChildState(QWidget *parent = nullptr);
    ~FormChildState() override;

    // Whether the dialog was last closed by its frame rather than by OK or Cancel.
    bool closedByFrame() const { return closedByFrame_; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private Q_SLOTS:
    void Form_Activate();
    void CommandOK_Click();
    void CommandCancel_Click();

private:
    std::unique_ptr<Ui::FormChildState> ui;
    bool closedByFrame_ = false;
};

} // namespace vadazaz
