#pragma once

#include <QComboBox>

namespace vadazaz {

// An editable drop-down list that tells apart choosing an entry from typing. `chosen` comes when
// the user picks an entry from the list (or with the arrow keys), or the program selects one;
// text typed into the box raises nothing, even when it spells an entry and the box loses focus.
// Typed text is never added to the list, and nothing is completed while typing.
class ChoiceComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit ChoiceComboBox(QWidget *parent = nullptr);

    // Selects entry index as the program, raising `chosen` as a choice from the list does.
    void choose(int index);

Q_SIGNALS:
    void chosen(int index);

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    bool typing_ = false;
};

} // namespace vadazaz
