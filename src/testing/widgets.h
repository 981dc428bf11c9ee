#pragma once

// Finding the program's controls by their names, as a person finds them by their captions.

#include <QApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace vadazaz::testing {

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

} // namespace vadazaz::testing
