#include "gui/widgets/name_box.h"

#include "core/base/name_rules.h"

#include <QLineEdit>
#include <QTextBoundaryFinder>
#include <QValidator>

namespace vadazaz {

namespace {

class NameValidator final : public QValidator
{
public:
    using QValidator::QValidator;

    // The box asks with the text as it would be after an edit and the cursor after what was typed
    // or pasted. Too long a text loses characters just before the cursor, which are the typed
    // ones, until it fits.
    State validate(QString &input, int &cursor) const override
    {
        const QList<uint> characters = input.toUcs4();
        for (const uint c : characters) {
            if (!mayBeInName(char32_t(c)))
                return Invalid;
        }
        qsizetype excess = characterCount(input) - maxNameLength;
        if (excess <= 0)
            return Acceptable;
        QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, input);
        boundaries.setPosition(cursor);
        qsizetype from = cursor;
        while (excess-- > 0 && from > 0)
            from = boundaries.toPreviousBoundary();
        if (from < 0)
            return Invalid;
        input.remove(from, cursor - from);
        cursor = int(from);
        return characterCount(input) <= maxNameLength ? Acceptable : Invalid;
    }
};

} // namespace

void makeNameBox(QLineEdit *box)
{
    box->setValidator(new NameValidator(box));
}

} // namespace vadazaz
