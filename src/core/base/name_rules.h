#pragma once

// The one rule for the name of a variable or a state, wherever a name is typed, read or written:
// what it may hold and how its length is counted.

#include <QString>
#include <QStringView>

#include <optional>

namespace vadazaz {

// Longest name the program accepts for a variable or a state, in characters as a reader sees them.
inline constexpr int maxNameLength = 10;

// How many characters a reader sees in the text: a letter with its accents, a flag, or emoji
// joined into one picture each count once (Unicode's grapheme clusters).
qsizetype characterCount(QStringView text);
// The text's first count characters, counted as characterCount counts them.
QString firstCharacters(const QString &text, qsizetype count);
// The name followed by spaces up to width characters; a longer name as it is.
QString paddedName(const QString &name, qsizetype width = maxNameLength);

// Whether a name may hold the character. It may not hold a TAB, a line break or another control
// character, which would break the lines and columns of a CPT file, nor an invisible character
// that changes how the text around it is shown (a right-to-left override, a zero-width space).
// The joiners that shape letters and emoji and the tags of a flag's emoji stay.
bool mayBeInName(char32_t c);
// What is wrong with the text as a name, as the end of a sentence that starts with what the name
// is ("the child's name must hold 1 to 10 characters, not 12"); nothing when it can be one.
std::optional<QString> nameFault(const QString &text);
// The text with every character that a name may not hold written as its code, "<U+202E>", so
// that a message shows it on one line and as it is.
QString visibleText(const QString &text);

} // namespace vadazaz
