#pragma once

#include "core/store/problem.h"

#include <QJsonObject>
#include <QMainWindow>

#include <memory>

namespace Ui {
class MainForm;
}

namespace vadazaz {

class FormChildState;
class FormParent;

// The start-up window: names the child, lists the parents and opens every other window. It keeps
// the problem in a problem file and asks before unsaved changes would be lost.
class MainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainForm(QWidget *parent = nullptr);
    ~MainForm() override;

    // Opens a problem file in place of the problem, as "Open..." does; answers whether it did.
    bool openProblemFile(const QString &path);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

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
    void MenuNew_Click();
    void MenuOpen_Click();
    void MenuSave_Click();
    void MenuSaveAs_Click();
    void MenuNotes_Click();
    void MenuImportNode_Click();
    void MenuRecent_Click(const QString &path);

private:
    bool isModified() const { return problem() != saved_; }
    // Asks whether to save unsaved changes; answers false when the user cancels or the save
    // failed, so that nothing is lost.
    bool changesSetAside();
    bool saveTo(const QString &path);
    // Shows the whole problem: the child, the parent table and the lists.
    void showProblem();
    void refreshTitle();
    void refreshRecentFiles();
    QString documentName() const;
    QString problemFolder() const;

    void setGridText(int row, int column, const QString &text);
    // Shows a dialog modally, creating it on first use and discarding it when closed by its frame.
    template <typename Dialog>
    void openEditingDialog(std::unique_ptr<Dialog> &dialog, int selectedParent = 0);

    std::unique_ptr<Ui::MainForm> ui;
    std::unique_ptr<FormChildState> formChildState_;
    std::unique_ptr<FormParent> formParent_;
    bool shown_ = false;
    int selectedParent_ = 1; // the parent the parent dialog edits, and whose row is refreshed
    QString filePath_;       // the problem file, or empty before the problem is saved
    QJsonObject original_;   // the problem file as it was read
    Problem saved_;          // the problem as it was last opened or saved
    bool exiting_ = false;   // the user has answered every question about exiting
};

} // namespace vadazaz
