#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class FormAbout;
}

namespace vadazaz {

// Names the program and its version, and starts the system's own information program.
// OK closes it, and so do Enter and Esc.
class FormAbout : public QDialog
{
    Q_OBJECT
public:
    explicit FormAbout(QWidget *parent = nullptr);
    ~FormAbout() override;

private Q_SLOTS:
    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    void Form_Load();
    // Starts the system information program, or says that there is none; the box stays open.
    void StartSysInfo();

    std::unique_ptr<Ui::FormAbout> ui;
};

} // namespace vadazaz
