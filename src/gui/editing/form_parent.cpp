#include "gui/editing/form_parent.h"

#include "gui/widgets/dialogs.h"
#include "gui/widgets/fonts.h"
#include "gui/widgets/name_box.h"
#include "ui_form_parent.h"

namespace vadazaz {

namespace {

Message editParentMessage(const QString &text)
{
    return {QStringLiteral("Edit parent"), text};
}

} // namespace

FormParent::FormParent(Problem &problem, QWidget *parent)
    : EditingDialog(problem, parent), ui(std::make_unique<Ui::FormParent>())
{
    ui->setupUi(this);
    setFixedSize(size());
    setFont(controlFont());
    for (QLineEdit *box : {ui->TextName, ui->TextState1, ui->TextState2, ui->TextState3})
        makeNameBox(box);
    for (QLabel *label :
         {ui->Label1, ui->Label4, ui->Label2, ui->Label3, ui->LabelState2, ui->LabelState3})
        label->setFont(labelFont());
    ui->Label7->setFont(noteFont());
    connect(ui->ComboNoStates, &ChoiceComboBox::chosen, this, &FormParent::ComboNoStates_Click);
    connect(ui->CommandOK, &QPushButton::clicked, this, &FormParent::CommandOK_Click);
    connect(ui->CommandCancel, &QPushButton::clicked, this, &FormParent::CommandCancel_Click);
}

FormParent::~FormParent() = default;

void FormParent::showLayout(int states)
{
    if (states == 2) {
        ui->LabelState2->setText(QStringLiteral("Name of state 2 (most negative)"));
        ui->LabelState3->hide();
        ui->TextState3->hide();
    } else {
        ui->LabelState2->setText(QStringLiteral("Name of state 2"));
        ui->LabelState3->setText(QStringLiteral("Name of state 3 (most negative)"));
        ui->LabelState3->show();
        ui->TextState3->show();
    }
}

void FormParent::Form_Activate()
{
    const int p = selectedParent_;
    const int states = problem_.parentNoStates(p);
    showLayout(states);
    ui->TextName->setText(problem_.parentName(p));
    const ParentType type = problem_.parentType(p);
    ui->ComboType->setCurrentIndex(int(type));
    ui->ComboType->setEditText(parentTypeName(type));
    ui->ComboNoStates->setCurrentIndex(states == 3 ? 1 : 0);
    ui->ComboNoStates->setEditText(QString::number(states));
    ui->TextState1->setText(problem_.parentStateName(1, p));
    ui->TextState2->setText(problem_.parentStateName(2, p));
    if (states == 3)
        ui->TextState3->setText(problem_.parentStateName(3, p));
}

void FormParent::ComboNoStates_Click(int index)
{
    if (ui->ComboNoStates->itemText(index) == QStringLiteral("3")) {
        showLayout(3);
        ui->TextState3->clear();
    } else {
        showLayout(2);
    }
}

void FormParent::CommandOK_Click()
{
    const QString name = ui->TextName->text();
    const QString typeText = ui->ComboType->currentText();
    const QString statesText = ui->ComboNoStates->currentText();
    if (name.isEmpty()) {
        showMessage(this, editParentMessage(QStringLiteral("Please enter a name for the parent.")));
        return;
    }
    const std::optional<ParentType> type = parentTypeNamed(typeText);
    if (!type) {
        showMessage(this, editParentMessage(QStringLiteral(
                              "Type must either be 'Non-modifying' or 'Modifying'.")));
        return;
    }
    if (statesText != QStringLiteral("3") && statesText != QStringLiteral("2")) {
        showMessage(this,
                    editParentMessage(QStringLiteral("Number of states must be either 2 or 3.")));
        return;
    }
    const int states = statesText.toInt();
    const QStringList stateNames{ui->TextState1->text(), ui->TextState2->text(),
                                 ui->TextState3->text()};
    for (int s = 1; s <= states; ++s) {
        if (stateNames.at(s - 1).isEmpty()) {
            showMessage(this, editParentMessage(allStateNamesMissingText()));
            return;
        }
    }

    const int p = selectedParent_;
    problem_.parentName(p) = name;
    problem_.parentType(p) = *type;
    problem_.parentNoStates(p) = states;
    for (int s = 1; s <= 3; ++s)
        problem_.parentStateName(s, p) = s <= states ? stateNames.at(s - 1) : QString();
    accept();
}

void FormParent::CommandCancel_Click()
{
    reject();
}

} // namespace vadazaz
