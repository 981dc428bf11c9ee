#pragma once

#include "core/network/network.h"

#include <QDialog>

#include <memory>

namespace Ui {
class FormExport;
}

namespace vadazaz {

// Asks for the format and the decimals of a CPT written as a network file. The last choice is the
// next one's start, kept between runs.
class FormExport : public QDialog
{
    Q_OBJECT
public:
    explicit FormExport(QWidget *parent = nullptr);
    ~FormExport() override;

    NetworkFormat format() const;
    int decimals() const;

    // The decimals last chosen, for writing a CPT into a network.
    static int lastDecimals();

private:
    void CommandOK_Click();

    std::unique_ptr<Ui::FormExport> ui;
};

} // namespace vadazaz
