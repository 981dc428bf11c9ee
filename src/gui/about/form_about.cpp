#include "gui/about/form_about.h"

#include "gui/about/program_icon.h"
#include "core/about/sys_info.h"
#include "gui/widgets/dialogs.h"
#include "gui/widgets/fonts.h"
#include "core/base/message.h"
#include "core/base/version.h"
#include "ui_form_about.h"

#include <QProcess>

namespace vadazaz {

FormAbout::FormAbout(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::FormAbout>())
{
    ui->setupUi(this);
    setFixedSize(size());
    setFont(controlFont());
    QFont titleFont = controlFont();
    titleFont.setPointSize(18);
    titleFont.setBold(true);
    ui->lblTitle->setFont(titleFont);
    ui->picIcon->setPixmap(programIcon().pixmap(ui->picIcon->size()));
    ui->Label1->setText(
        QStringLiteral("Made by the Vadazaz project, whose home is the Vadazaz source "
                       "repository. Its README.md, at the top of the repository, tells how to "
                       "reach the developers."));
    connect(ui->cmdOK, &QPushButton::clicked, this, &FormAbout::cmdOK_Click);
    connect(ui->cmdSysInfo, &QPushButton::clicked, this, &FormAbout::cmdSysInfo_Click);
    Form_Load();
}

FormAbout::~FormAbout() = default;

void FormAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About %1").arg(appTitle()));
    ui->lblTitle->setText(appTitle());
    ui->lblVersion->setText(QStringLiteral("Version %1.%2.%3")
                                .arg(versionMajor)
                                .arg(versionMinor)
                                .arg(versionRevision));
}

void FormAbout::cmdOK_Click()
{
    accept();
}

void FormAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void FormAbout::StartSysInfo()
{
    const QString program = sysInfoProgram(systemSearchPath());
    if (program.isEmpty() || !QProcess::startDetached(program, {}))
        showMessage(this, sysInfoUnavailable());
}

} // namespace vadazaz
