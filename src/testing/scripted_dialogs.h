#pragma once

// The test side of the program's dialogs: records every box and file dialog that the program
// shows and answers from a script, so that a test can check exact titles, texts and buttons.

#include "gui/widgets/dialogs.h"

#include <QList>
#include <QTest>

namespace vadazaz::testing {

struct ShownDialog
{
    enum Kind { MessageBox, SaveDialog, OpenDialog };
    Kind kind = MessageBox;
    QString title; // message boxes
    QString text;  // message boxes: the text with its carriage returns
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString filter; // file dialogs
    QString folder; // file dialogs: where it started
};

class ScriptedDialogs final : public Dialogs
{
public:
    ScriptedDialogs() { setDialogs(this); }
    ~ScriptedDialogs() override { setDialogs(nullptr); }
    ScriptedDialogs(const ScriptedDialogs &) = delete;
    ScriptedDialogs &operator=(const ScriptedDialogs &) = delete;

    // The next answers, in order. A box with nothing scripted is answered with OK (or the first of
    // its buttons), a file dialog with cancel.
    void answer(QMessageBox::StandardButton button) { buttons_.append(button); }
    void answerFile(const QString &path) { files_.append(path); }

    QList<ShownDialog> shown;

    QMessageBox::StandardButton message(QWidget *, const Message &message,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override
    {
        shown.append(
            {ShownDialog::MessageBox, message.title, message.text, buttons, defaultButton, {}, {}});
        if (!buttons_.isEmpty())
            return buttons_.takeFirst();
        for (const auto button :
             {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
            if (buttons.testFlag(button))
                return button;
        return QMessageBox::NoButton;
    }
    QString saveFileName(QWidget *, const QString &filter, const QString &folder,
                         const QString &) override
    {
        shown.append({ShownDialog::SaveDialog, {}, {}, {}, QMessageBox::NoButton, filter, folder});
        return files_.isEmpty() ? QString() : files_.takeFirst();
    }
    QString openFileName(QWidget *, const QString &filter, const QString &folder) override
    {
        shown.append({ShownDialog::OpenDialog, {}, {}, {}, QMessageBox::NoButton, filter, folder});
        return files_.isEmpty() ? QString() : files_.takeFirst();
    }

private:
    QList<QMessageBox::StandardButton> buttons_;
    QStringList files_;
};

} // namespace vadazaz::testing
