#include "gui/widgets/choice_combo_box.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QScopedValueRollback>

namespace vadazaz {

ChoiceComboBox::ChoiceComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!typing_)
            Q_EMIT chosen(index);
    });
}

void ChoiceComboBox::choose(int index)
{
    setCurrentIndex(index);
    Q_EMIT chosen(index);
}

// Leaving the box or pressing Enter ends the typing; the toolkit would then pick the entry that
// the text spells and report it as activated.
void ChoiceComboBox::focusOutEvent(QFocusEvent *event)
{
    const QScopedValueRollback guard(typing_, true);
    QComboBox::focusOutEvent(event);
}

void ChoiceComboBox::keyPressEvent(QKeyEvent *event)
{
    const bool ends = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QScopedValueRollback guard(typing_, typing_ || ends);
    QComboBox::keyPressEvent(event);
}

} // namespace vadazaz
