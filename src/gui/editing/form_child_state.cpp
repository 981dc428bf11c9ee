#include "gui/editing/form_child_state.h"

#include "gui/widgets/dialogs.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/name_box.h"
#include "core/store/problem.h"
#include "ui_form_child_state.h"

namespace vadazaz {

FormChildState::FormChildState(QWidget *parent)
    : EditingDialog(parent), ui(std::make_unique<Ui::FormChildState>())
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

void FormChildState::Form_Activate()
{
    const Problem &store = problem();
    ui->LabelHeading->setText(QStringLiteral("Edit states of ") + store.childName);
    ui->LabelHeading->adjustSize();
    switch (store.noChildStates) {
    case 2:
        ui->LabelState2->setText(QStringLiteral("Name of state 2 (most negative)"));
        ui->LabelState3->hide();
        ui->TextState3->hide();
        break;
    case 3:
        ui->LabelState2->setText(QStringLiteral("Name of state 2"));
        ui->LabelState3->setText(QStringLiteral("Name of state 3 (most negative)"));
        ui->LabelState3->show();
        ui->TextState3->show();
        break;
    default:
        showMessage(this, {appTitle(), QStringLiteral("Wrong number of child states!")});
        break;
    }
}

void FormChildState::CommandOK_Click()
{
    Problem &store = problem();
    const QStringList names{ui->TextState1->text(), ui->TextState2->text(), ui->TextState3->text()};
    const int count = store.noChildStates == 3 ? 3 : 2;
    for (int s = 1; s <= count; ++s) {
        if (names.at(s - 1).isEmpty()) {
            showMessage(this, {QStringLiteral("OK child states"),
                               QStringLiteral("Please type in all state names.")});
            return;
        }
    }
    for (int s = 1; s <= 3; ++s)
        store.childStateName(s) = s <= count ? names.at(s - 1) : QString();
    accept();
}

void FormChildState::CommandCancel_Click()
{
    reject();
}

} // namespace vadazaz
