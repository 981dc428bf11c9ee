#pragma once

// Driving the windows as a person does: finding controls by name, typing into boxes, choosing
// from lists, clicking, and answering the message boxes that come.

#include "testing/files.h"

#include <QTest>
#include <QtWidgets>

#include <functional>
#include <optional>

namespace vadazaz::testing {

using namespace Qt::StringLiterals;

// The child of root named name, of type T. A missing or mistyped control stops the test
// executable with a message naming it, rather than crashing later on a null pointer.
template <typename T> T *child(const QObject *root, const QString &name)
{
    T *found = root->findChild<T *>(name);
    if (!found)
        qFatal("No %s named \"%s\" under \"%s\"", T::staticMetaObject.className(), qPrintable(name),
               qPrintable(root->objectName()));
    return found;
}

// Runs action on the next modal window that the program shows (a dialog, a real message box or
// file dialog) other than the one active now, polling for up to timeoutMs. Call it just before
// the call that opens the window. Delete the answered timer to stop waiting early.
inline QPointer<QTimer> whenModalShown(std::function<void(QWidget *)> action, int timeoutMs = 5000)
{
    auto *timer = new QTimer(qApp);
    const QPointer<QWidget> before = QApplication::activeModalWidget();
    const QDeadlineTimer deadline(timeoutMs);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action, before, deadline] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal != before && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        } else if (deadline.hasExpired()) {
            timer->stop();
            timer->deleteLater();
            qWarning("No modal window was shown in time");
        }
    });
    timer->start();
    return timer;
}

// Replaces the text of a box by typing. A letter beyond ASCII (é, Ω, 中) comes as a key that
// carries it, as a keyboard layout or an input method delivers it.
inline void typeInto(QLineEdit *box, const QString &text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x80) {
            QTest::keyClick(box, c.toLatin1());
            continue;
        }
        const qsizetype length = c.isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, text.mid(i, length),
                            Qt::NoModifier);
        i += length - 1;
    }
}

// Types the figures, blank-separated, into the cells of an EPT window row by row; "_" is none.
inline void typeCells(QWidget *window, const QString &figures)
{
    int n = 1;
    for (const QString &figure : figures.split(u' ', Qt::SkipEmptyParts))
        typeInto(child<QLineEdit>(window, QStringLiteral("Text") + QString::number(n++)),
                 figure == QLatin1String("_") ? QString() : figure);
}

// Opens the list and clicks the entry with this text.
inline bool chooseFromList(QComboBox *box, const QString &text)
{
    const int index = box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        return false;
    box->showPopup();
    QAbstractItemView *view = box->view();
    if (!QTest::qWaitForWindowExposed(view->window()))
        return false;
    const QRect entry = view->visualRect(view->model()->index(index, box->modelColumn()));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, entry.center());
    return !view->isVisible();
}

inline void click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// Opens the context menu of widget as a click of the right mouse button at point does, and
// clicks the entry of that caption (its shortcut aside); a menu without it is closed.
inline void chooseFromContextMenu(QWidget *widget, QPoint point, const QString &entry)
{
    QTimer::singleShot(50, widget, [entry] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction *action : menu->actions())
            if (action->text().section(u'\t', 0, 0) == entry && action->isEnabled())
                return QTest::mouseClick(menu, Qt::LeftButton, {},
                                         menu->actionGeometry(action).center());
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, widget->mapToGlobal(point));
    QApplication::sendEvent(widget, &event);
}

// A row of a table of steps and what a person sees after them (see act()).
inline void stepsRow(const char *name, const QString &steps, const QString &seen)
{
    QTest::newRow(name) << steps << seen;
}

// The rows of a table of steps kept in a file: a paragraph to a row, its name first, then a step
// to a line and last what they show, a part to a line after "seen". Text is written as in C (see
// unescaped()).
inline void stepsRowsFrom(const QString &file)
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("seen");
    for (const QByteArrayList &lines : paragraphsIn(file)) {
        QStringList steps, seen;
        for (const QByteArray &line : lines.mid(1)) {
            const bool shown = line == "seen" || line.startsWith("seen ");
            (shown ? seen : steps) << QString::fromUtf8(unescaped(shown ? line.mid(5) : line));
        }
        stepsRow(unescaped(lines.first()).constData(), steps.join(u"; "), seen.join(u" / "));
    }
}

// The parts of steps, split at each separator outside brackets.
inline QStringList stepsOf(const QString &steps, QStringView separator = u"; ")
{
    QStringList split;
    qsizetype from = 0;
    for (qsizetype i = 0, depth = 0; i <= steps.size(); ++i) {
        depth += i == steps.size() ? 0 : steps.at(i) == u'[' ? 1 : steps.at(i) == u']' ? -1 : 0;
        if (i == steps.size() || (depth == 0 && QStringView(steps).mid(i).startsWith(separator))) {
            if (i > from)
                split << steps.mid(from, i - from);
            from = i + separator.size();
        }
    }
    return split;
}

// A test's own steps: what the step shows, or nothing when it is not one of them.
using MoreSteps = std::function<std::optional<QString>(QWidget *root, const QString &step)>;

// Does the steps, separated by "; ", to the controls under root, and tells what they brought,
// each followed by " / ": a message box as "Title: text [its buttons]", the default one marked
// "*", answered by that one or by the button (or "Escape") named after the clicked control; any
// other window by its name, then what the steps in brackets after the clicked control brought
// in it ("click CommandEditParent [type TextName Wind; click CommandOK]"), and closed by its
// frame if they left it open. Several answers, blank-separated, answer the windows in turn. more
// takes the test's own steps first, in every window. A step is a verb, a control's name and the
// rest of the line:
//   type Box text   paste Box text   choose List entry   click Control   press Control Keys
//   menu Control Entry   cells FIGURES   close
// "press" presses keys in the control ("Return", "Ctrl+V"); "menu" chooses from its context menu;
// "cells" types into the cells of an EPT window (see typeCells()); "close" closes root by its
// frame.
inline QString act(QWidget *root, const QString &steps, const MoreSteps &more = {})
{
    const QMetaEnum names = QMetaEnum::fromType<QMessageBox::StandardButtons>();
    QString came;
    for (const QString &step : stepsOf(steps)) {
        if (const std::optional<QString> shown = more ? more(root, step) : std::nullopt) {
            came += *shown;
            continue;
        }
        const QString verb = step.section(u' ', 0, 0);
        const QString text = step.section(u' ', 2);
        const auto is = [&verb](const char *name) {
            return verb == QLatin1String(name);
        };
        if (is("cells")) {
            typeCells(root, step.section(u' ', 1));
            continue;
        }
        QObject *control = is("close") ? root : child<QObject>(root, step.section(u' ', 1, 1));
        auto *box = qobject_cast<QLineEdit *>(control);
        auto *list = qobject_cast<QComboBox *>(control);
        auto *spin = qobject_cast<QAbstractSpinBox *>(control);
        if (is("type") && spin) {
            spin->selectAll();
            QTest::keyClicks(spin, text);
        } else if (is("type")) {
            typeInto(list ? list->lineEdit() : box, text);
        } else if (is("paste")) {
            box->setFocus();
            box->clear();
            QGuiApplication::clipboard()->setText(text);
            QTest::keySequence(box, QKeySequence::Paste);
        } else if (is("choose") && !chooseFromList(list, text)) {
            came += QStringLiteral("no entry ") + text + QLatin1String(" / ");
        }
        if (is("type") || is("paste") || is("choose"))
            continue;
        QStringList answers = is("click") ? stepsOf(text, u" ") : QStringList();
        QPointer<QTimer> waiting;
        std::function<void(QWidget *)> handle = [&](QWidget *modal) {
            const QString answer = answers.isEmpty() ? QString() : answers.takeFirst();
            if (!answers.isEmpty())
                waiting = whenModalShown(handle);
            auto *message = qobject_cast<QMessageBox *>(modal);
            QStringList buttons;
            for (QAbstractButton *button :
                 message ? message->buttons() : QList<QAbstractButton *>())
                buttons << QLatin1String(names.valueToKey(message->standardButton(button))) +
                               QLatin1String(button == message->defaultButton() ? "*" : "");
            buttons.sort();
            came += (message ? message->windowTitle() + QLatin1String(": ") + message->text() +
                                   QLatin1String(" [") + buttons.join(u' ') + u']'
                             : modal->objectName()) +
                    QLatin1String(" / ");
            if (!message) {
                if (answer.startsWith(u'['))
                    came += act(modal, answer.mid(1).chopped(1), more);
                if (modal->isVisible())
                    modal->close();
            } else if (answer.isEmpty() || answer == QLatin1String("Escape"))
                QTest::keyClick(modal, answer.isEmpty() ? Qt::Key_Return : Qt::Key_Escape);
            else
                click(message->button(
                    QMessageBox::StandardButton(names.keyToValue(answer.toLatin1().constData()))));
        };
        waiting = whenModalShown(handle);
        if (is("close"))
            root->close();
        else if (is("press"))
            QTest::keySequence(qobject_cast<QWidget *>(control), QKeySequence(text));
        else if (is("menu"))
            chooseFromContextMenu(qobject_cast<QWidget *>(control), {2, 2}, text);
        else if (auto *action = qobject_cast<QAction *>(control); action && is("click"))
            action->trigger();
        else if (is("click"))
            QTest::mouseClick(qobject_cast<QWidget *>(control), Qt::LeftButton);
        else
            qFatal("No such step: \"%s\"", qPrintable(step));
        delete waiting.data();
    }
    return came;
}

} // namespace vadazaz::testing
