#pragma once

#include "core/store/problem.h"

#include <QDialog>

namespace vadazaz {

// What OK says when a state name is missing, in either dialog.
QString allStateNamesMissingText();

// A dialog of the main window that OK and Cancel only hide, so that its boxes keep what was typed
// until the next opening. Closing it by its frame instead tells its owner to discard it, so
// that the next opening starts afresh. Each showing refreshes it through Form_Activate.
class EditingDialog : public QDialog
{
    Q_OBJECT
public:
    EditingDialog(Problem &problem, QWidget *parent) : QDialog(parent), problem_(problem) {}

    // Whether the dialog was last closed by its frame rather than by OK or Cancel.
    bool closedByFrame() const { return closedByFrame_; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    virtual void Form_Activate() = 0;

    // The problem the dialog edits.
    Problem &problem_;

private:
    bool closedByFrame_ = false;
};

} // namespace vadazaz
