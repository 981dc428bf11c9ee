#include "gui/editing/editing_dialog.h"

namespace vadazaz {

QString allStateNamesMissingText()
{
    return QStringLiteral("Please type in all state names.");
}

void EditingDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    closedByFrame_ = false;
    Form_Activate();
}

void EditingDialog::closeEvent(QCloseEvent *event)
{
    closedByFrame_ = true;
    QDialog::closeEvent(event);
}

} // namespace vadazaz
