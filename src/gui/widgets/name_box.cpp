#include "gui/widgets/name_box.h"

#include "core/store/problem.h"

#include <QLineEdit>
#include <QValidator>

namespace vadazaz {

namespace {

class NameValidator final : public QValidator
{
public:
    using QValidator::QValidator;

    State validate(QString &input, int &) const override
    {
        for (const QChar c : std::as_const(input)) {
            if (c.category() == QChar::Other_Control)
                return Invalid;
        }
        return Acceptable;
    }
};

} // namespace

void makeNameBox(QLineEdit *box)
{
    box->setMaxLength(maxNameLength);
    box->setValidator(new NameValidator(box));
}

} // namespace vadazaz
