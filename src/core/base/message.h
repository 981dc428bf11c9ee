#pragma once

#include <QString>

namespace vadazaz {

// The program's name, shown as the title of every box that has none of its own.
inline QString appTitle()
{
    return QStringLiteral("Vadazaz");
}

// What a message box shows. Lines of a message are separated by carriage returns (character 13),
// as the program has always built them; the windows show each as a line break.
struct Message
{
    QString title;
    QString text;

    friend bool operator==(const Message &, const Message &) = default;
};

// The text with its carriage returns turned into newlines, for a terminal or a label.
inline QString withNewlines(QString text)
{
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

} // namespace vadazaz
