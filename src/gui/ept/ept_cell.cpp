#include "gui/ept/ept_cell.h"

#include "core/ept/ept_window_layout.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include <memory>

namespace vadazaz {

EptCell::EptCell(QWidget *parent) : QLineEdit(parent) {}

void EptCell::replaceText(const QString &text)
{
    if (text == this->text())
        return;
    selectAll();
    insert(text);
}

bool EptCell::pastedBlock(QClipboard::Mode mode)
{
    const QString text = QGuiApplication::clipboard()->text(mode);
    if (!holdsSeveralCells(text))
        return false;
    Q_EMIT blockPasted(text);
    return true;
}

void EptCell::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Paste) && pastedBlock(QClipboard::Clipboard)) {
        event->accept();
        return;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    int rows = 0;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (modifiers == Qt::NoModifier)
            rows = 1;
        else if (modifiers == Qt::ShiftModifier)
            rows = -1;
        break;
    case Qt::Key_Down:
        rows = modifiers == Qt::NoModifier ? 1 : 0;
        break;
    case Qt::Key_Up:
        rows = modifiers == Qt::NoModifier ? -1 : 0;
        break;
    default:
        break;
    }
    if (rows == 0) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    Q_EMIT stepRequested(rows);
}

void EptCell::contextMenuEvent(QContextMenuEvent *event)
{
    const std::unique_ptr<QMenu> menu(createStandardContextMenu());
    // The menu's own Paste, found by its caption as the line edit words it.
    for (QAction *entry : menu->actions()) {
        if (entry->text().section(QLatin1Char('\t'), 0, 0) != QLineEdit::tr("&Paste"))
            continue;
        entry->disconnect(this);
        connect(entry, &QAction::triggered, this, [this] {
            if (!pastedBlock(QClipboard::Clipboard))
                QLineEdit::paste();
        });
    }
    // The window's own entries, such as copying the whole EPT.
    const QList<QAction *> own = actions();
    if (!own.isEmpty()) {
        menu->addSeparator();
        menu->addActions(own);
    }
    menu->exec(event->globalPos());
}

void EptCell::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection() &&
        pastedBlock(QClipboard::Selection)) {
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

} // namespace vadazaz
