#pragma once

#include "core/output/viewer_text.h"

#include <QDialog>

#include <memory>

namespace Ui {
class FormViewCptFile;
}

namespace vadazaz {

// The CPT file viewer: shows a file in the read-only view TextViewCpt, in a fixed-pitch font
// without wrapping, so that what the user types changes nothing. OK or the window's frame closes
// the window, which then lets go of the file.
class FormViewCptFile : public QDialog
{
    Q_OBJECT

public:
    explicit FormViewCptFile(ViewerFile file, QWidget *parent = nullptr);
    ~FormViewCptFile() override;

    void done(int result) override;

private:
    void Form_Load(ViewerFile file);
    void CommandOK_Click();

    std::unique_ptr<Ui::FormViewCptFile> ui;
};

} // namespace vadazaz
