#pragma once

#include <QFont>
#include <QString>

namespace vadazaz {

// The faces the windows name, and the free faces that stand in for them where they are missing.
void registerFontSubstitutions();

// A font of the given face and size in points (fractions allowed, as in 15.75).
QFont namedFont(const QString &family, qreal points, int weight = QFont::Normal,
                bool italic = false, bool underline = false);

// The faces the editing windows use.
QFont headingFont(); // "Bookman Old Style" 15.75, semi-bold, underlined
QFont labelFont();   // "Garamond" 12
QFont noteFont();    // "Garamond" 11.25 italic
QFont controlFont(); // "MS Sans Serif" 8, for boxes, lists, buttons and tables

// Twips (1/1440 inch) to pixels at the program's 96 dots per inch: 15 twips a pixel.
constexpr int twips(int value)
{
    return (value + 7) / 15;
}

} // namespace vadazaz
