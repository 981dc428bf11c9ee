#include "gui/ept/form_export.h"

#include "core/network/probabilities.h"

#include "ui_form_export.h"

#include <QSettings>

namespace vadazaz {

namespace {

const QString formatKey = QStringLiteral("exportFormat");
const QString decimalsKey = QStringLiteral("networkDecimals");

} // namespace

FormExport::FormExport(QWidget *parent) : QDialog(parent), ui(std::make_unique<Ui::FormExport>())
{
    ui->setupUi(this);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    for (const NetworkFormatInfo &info : networkFormats())
        ui->ComboFormat->addItem(QStringLiteral("%1 (*.%2)").arg(info.description, info.suffix),
                                 info.option);
    const int last = ui->ComboFormat->findData(QSettings().value(formatKey));
    ui->ComboFormat->setCurrentIndex(std::max(last, 0));
    ui->SpinDecimals->setRange(minNetworkDecimals, maxNetworkDecimals);
    ui->SpinDecimals->setValue(lastDecimals());
    connect(ui->CommandOK, &QPushButton::clicked, this, &FormExport::CommandOK_Click);
    connect(ui->CommandCancel, &QPushButton::clicked, this, &QDialog::reject);
}

FormExport::~FormExport() = default;

NetworkFormat FormExport::format() const
{
    return networkFormats().at(ui->ComboFormat->currentIndex()).format;
}

int FormExport::decimals() const
{
    return ui->SpinDecimals->value();
}

int FormExport::lastDecimals()
{
    const int decimals = QSettings().value(decimalsKey, defaultNetworkDecimals).toInt();
    return std::clamp(decimals, minNetworkDecimals, maxNetworkDecimals);
}

void FormExport::CommandOK_Click()
{
    QSettings settings;
    settings.setValue(formatKey, ui->ComboFormat->currentData());
    settings.setValue(decimalsKey, decimals());
    accept();
}

} // namespace vadazaz
