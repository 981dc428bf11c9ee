#include "gui/editing/form_child_state.h"

#include "gui/widgets/dialogs.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/name_box.h"
#include "ui_form_child_state.h"

namespace vadazaz {

FormChildState::FormChildState(Problem &problem, QWidget *parent)
    : EditingDialog(problem, parent), ui(std::make_unique<Ui::FormChildState>())
{
    ui->setupUi(this);
    setFixedSize(size());
    setFont(controlFont());
    for (QLineEdit *box : {ui->TextState1, ui->TextState2, ui->TextState3})
        makeNameBox(box);
    ui->LabelHeading->setFont(headingFont());
    ui->Label1->setFont(noteFont());
    for (QLabel *label : {ui->LabelState1, ui->LabelState2, ui->LabelState3})
        label->setFont(labelFont());
    connect(ui->CommandOK, &QPushButton::clicked, this, &FormChildState::CommandOK_Click);
    connect(ui->CommandCancel, &QPushButton::clicked, this, &FormChildState::CommandCancel_Click);
}

FormChildState::~FormChildState() = default;

void FormChildState::showStateNames()
{
    ui->TextState1->setText(problem_.childStateName(1));
    ui->TextState2->setText(problem_.childStateName(2));
    ui->TextState3->setText(problem_.childStateName(3));
}

void FormChildState::Form_Activate()
{
    ui->LabelHeading->setText(QStringLiteral("Edit states of %1").arg(problem_.childName));
    ui->LabelHeading->adjustSize();
    // The main window stores no other count.
    Q_ASSERT(problem_.noChildStates == 2 || problem_.noChildStates == 3);
    const bool three = problem_.noChildStates == 3;
    ui->LabelState2->setText(three ? QStringLiteral("Name of state 2")
                                   : QStringLiteral("Name of state 2 (most negative)"));
    ui->LabelState3->setText(QStringLiteral("Name of state 3 (most negative)"));
    ui->LabelState3->setVisible(three);
    ui->TextState3->setVisible(three);
}

void FormChildState::CommandOK_Click()
{
    const QStringList names{ui->TextState1->text(), ui->TextState2->text(), ui->TextState3->text()};
    const int count = problem_.noChildStates;
    for (int s = 1; s <= count; ++s) {
        if (names.at(s - 1).isEmpty()) {
            showMessage(this, {QStringLiteral("OK child states"), allStateNamesMissingText()});
            return;
        }
    }
    for (int s = 1; s <= 3; ++s)
        problem_.childStateName(s) = s <= count ? names.at(s - 1) : QString();
    accept();
}

void FormChildState::CommandCancel_Click()
{
    reject();
}

} // namespace vadazaz
