#include "gui/editing/form_notes.h"

#include "ui_form_notes.h"

namespace vadazaz {

FormNotes::FormNotes(const QString &notes, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::FormNotes>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    ui->TextNotes->setPlainText(notes);
    connect(ui->CommandOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->CommandCancel, &QPushButton::clicked, this, &QDialog::reject);
}

FormNotes::~FormNotes() = default;

QString FormNotes::notes() const
{
    return ui->TextNotes->toPlainText();
}

} // namespace vadazaz
