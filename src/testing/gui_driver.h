#pragma once

// Driving the windows as a person does: typing into boxes, choosing from lists, clicking.

#include "gui/widgets/choice_combo_box.h"
#include "testing/widgets.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPushButton>

namespace vadazaz::testing {

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

inline void typeInto(QComboBox *box, const QString &text)
{
    box->setFocus();
    box->lineEdit()->selectAll();
    QTest::keyClick(box->lineEdit(), Qt::Key_Delete);
    QTest::keyClicks(box->lineEdit(), text);
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

// Clicks a button that opens a modal dialog, runs inside on that dialog while it is open, and
// answers whether the dialog came. inside must close the dialog.
inline bool clickAndHandle(QAbstractButton *button, const std::function<void(QWidget *)> &inside)
{
    bool came = false;
    const QPointer<QTimer> waiting = whenModalShown([&](QWidget *dialog) {
        came = true;
        inside(dialog);
    });
    click(button);
    delete waiting.data();
    return came;
}

} // namespace vadazaz::testing
