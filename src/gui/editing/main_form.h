#pragma once

#include <QMainWindow>

#include <memory>

namespace Ui {
class MainForm;
}

namespace vadazaz {

class FormChildState;
class FormParent;

// The start-up window: names the child, lists the parents and opens every other window.
class MainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainForm(QWidget *parent = nullptr);
    ~MainForm() override;

protected:
    void showEvent(QShowEvent *event) override;

private Q_SLOTS:
    void Form_Load();
    void Form_Activate();
    void CommandEnterChildName_Click();
    void ComboNoChildStates_Click(int index);
    void CommandEditChildStates_Click();
    void CommandAddParent_Click();
    void CommandDeleteParent_Click();
    void CommandEditParent_Click();
    void CommandEditEPT_Click();
    void CommandExit_Click();
    void MenuAbout_Click();

private:
    void setGridText(int row, int column, const QString &text);
    // Shows a dialog modally, creating it on first use and discarding it when closed by its frame.
    template <typename Dialog>
    void openEditingDialog(std::unique_ptr<Dialog> &dialog, int selectedParent = 0);

    std::unique_ptr<Ui::MainForm> ui;
    std::unique_ptr<FormChildState> formChildState_;
    std::unique_ptr<FormParent> formParent_;
    bool shown_ = false;
    int selectedParent_ = 1; // the parent the parent dialog edits, and whose row is refreshed
};

} // namespace vadazaz
