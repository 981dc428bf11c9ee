#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class FormParent;
}

namespace vadazaz {

// Edits the parent at selectedParent: name, type, number of states and state names. The store
// is written only when every entry is valid, and then whole.
class FormParent : public QDialog
{
    Q_OBJECT
public:
    explicit FormParent(QWidget *parent = nullptr);
    ~FormParent() override;

    // Whether the dialog was last closed by its frame rather than by OK or Cancel.
    bool closedByFrame() const { return closedByFrame_; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private Q_SLOTS:
    void Form_Activate();
    void ComboNoStates_Click(int index);
    void CommandOK_Click();
    void CommandCancel_Click();

private:
    void showLayout(int states);

    std::unique_ptr<Ui::FormParent> ui;
    bool closedByFrame_ = false;
};

} // namespace vadazaz
