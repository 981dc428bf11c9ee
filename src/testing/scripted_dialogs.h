#pragma once

// The test side of the program's dialogs: records every box and file dialog that the program
// shows and answers from a script, so that a test can check exact titles, texts and buttons.

#include "gui/widgets/dialogs.h"

#include <QDir>
#include <QList>
#include <QMetaEnum>
#include <QTest>

#include <optional>
#include <utility>

namespace vadazaz::testing {

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

    // Takes the steps "answer Yes No…" (the next boxes) and "file NAME" (the next file dialog,
    // NAME in folder) for act(); nothing for any other step.
    std::optional<QString> step(const QString &step, const QDir &folder)
    {
        const QString verb = step.section(u' ', 0, 0);
        if (verb == QLatin1String("answer"))
            for (const QString &name : step.section(u' ', 1).split(u' '))
                answer(QMessageBox::StandardButton(
                    QMetaEnum::fromType<QMessageBox::StandardButtons>().keyToValue(
                        name.toLatin1().constData())));
        else if (verb == QLatin1String("file"))
            answerFile(folder.filePath(step.section(u' ', 1)));
        else
            return std::nullopt;
        return QString();
    }

    // What was shown since last asked, in turn: each box as "Title: text [its buttons]" (the text
    // with its carriage returns), each file dialog as "save" or "open" and its filter.
    QStringList takeShown() { return std::exchange(shown_, {}); }

    QMessageBox::StandardButton message(QWidget *, const Message &message,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton) override
    {
        QStringList names;
        QMessageBox::StandardButton first = QMessageBox::NoButton;
        for (const auto button :
             {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
            if (buttons.testFlag(button)) {
                names << QMetaEnum::fromType<QMessageBox::StandardButtons>().valueToKey(button);
                first = first == QMessageBox::NoButton ? button : first;
            }
        shown_ << message.title + QStringLiteral(": ") + message.text + QStringLiteral(" [") +
                      names.join(u' ') + u']';
        return buttons_.isEmpty() ? first : buttons_.takeFirst();
    }
    QString saveFileName(QWidget *, const QString &filter, const QString &,
                         const QString &) override
    {
        shown_ << QStringLiteral("save ") + filter;
        return files_.isEmpty() ? QString() : files_.takeFirst();
    }
    QString openFileName(QWidget *, const QString &filter, const QString &) override
    {
        shown_ << QStringLiteral("open ") + filter;
        return files_.isEmpty() ? QString() : files_.takeFirst();
    }

private:
    QStringList shown_;
    QList<QMessageBox::StandardButton> buttons_;
    QStringList files_;
};

} // namespace vadazaz::testing
