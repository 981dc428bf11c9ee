#pragma once

#include <QPushButton>

namespace vadazaz {

// A push button whose caption wraps onto several lines when the button is too narrow for it.
class WrappingButton : public QPushButton
{
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace vadazaz
