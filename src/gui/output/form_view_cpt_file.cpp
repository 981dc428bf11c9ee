#include "gui/output/form_view_cpt_file.h"

#include "gui/widgets/fonts.h"

#include "ui_form_view_cpt_file.h"

namespace vadazaz {

FormViewCptFile::FormViewCptFile(ViewerFile file, QWidget *parent)
    : QDialog(parent), ui(std::make_unique<Ui::FormViewCptFile>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    QFont fixed = namedFont(QStringLiteral("Lucida Console"), 9.75);
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    ui->TextViewCpt->setFont(fixed);

    ui->CommandOK->setFont(namedFont(QStringLiteral("Times New Roman"), 12));

    connect(ui->CommandOK, &QPushButton::clicked, this, &FormViewCptFile::CommandOK_Click);

    Form_Load(std::move(file));
}

FormViewCptFile::~FormViewCptFile() = default;

void FormViewCptFile::Form_Load(ViewerFile file)
{
    ui->TextViewCpt->setFile(std::move(file));
}

void FormViewCptFile::done(int result)
{
    ui->TextViewCpt->setFile({});
    QDialog::done(result);
}

void FormViewCptFile::CommandOK_Click()
{
    accept();
}

} // namespace vadazaz
