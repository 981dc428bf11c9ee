#pragma once

#include "core/base/message.h"

#include <QMessageBox>
#include <QString>

class QWidget;

namespace vadazaz {

// Every message box and file dialog of the program goes through here. The real side shows
// the boxes; tests put a scripted side in its place that records what was shown and answers.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A modal message box with the message's title and text (each carriage return a line break),
    // the given buttons, no icon, and defaultButton as the default. Answers the button pressed;
    // closing the box answers its Cancel or No button, or else Ok.
    virtual QMessageBox::StandardButton
    message(QWidget *parent, const Message &message,
            QMessageBox::StandardButtons buttons = QMessageBox::Ok,
            QMessageBox::StandardButton defaultButton = QMessageBox::NoButton) = 0;

    // A modal file dialog with a filter written as "description|pattern" (for example
    // "Text files (*.TXT)|*.TXT"; patterns match either case), starting in folder when one is
    // given. Answers the chosen path, or an empty text when the user cancelled. The save dialog
    // asks before replacing a file and adds defaultSuffix to a name typed without one.
    virtual QString saveFileName(QWidget *parent, const QString &filter, const QString &folder = {},
                                 const QString &defaultSuffix = {}) = 0;
    virtual QString openFileName(QWidget *parent, const QString &filter,
                                 const QString &folder = {}) = 0;
};

// The program-wide dialogs: the real ones unless a test has put others in their place.
Dialogs &dialogs();
// Puts other dialogs in place (nullptr restores the real ones); the caller keeps ownership.
void setDialogs(Dialogs *replacement);

// Shorthand for the usual box with an OK button only.
inline void showMessage(QWidget *parent, const Message &message)
{
    dialogs().message(parent, message);
}

} // namespace vadazaz
