#include "gui/widgets/fonts.h"

#include <QStringList>

namespace vadazaz {

void registerFontSubstitutions()
{
    QFont::insertSubstitutions(QStringLiteral("Bookman Old Style"),
                               QStringList()
                                   << QStringLiteral("URW Bookman") << QStringLiteral("Bookman"));
    QFont::insertSubstitutions(QStringLiteral("Garamond"),
                               QStringList() << QStringLiteral("EB Garamond")
                                             << QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Lucida Console"), QStringLiteral("DejaVu Sans Mono"));
}

QFont namedFont(const QString &family, qreal points, int weight, bool italic, bool underline)
{
    QFont font(family);
    font.setPointSizeF(points);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

QFont headingFont()
{
    return namedFont(QStringLiteral("Bookman Old Style"), 15.75, QFont::DemiBold, false, true);
}

QFont labelFont()
{
    return namedFont(QStringLiteral("Garamond"), 12);
}

QFont noteFont()
{
    return namedFont(QStringLiteral("Garamond"), 11.25, QFont::Normal, true);
}

QFont controlFont()
{
    return namedFont(QStringLiteral("MS Sans Serif"), 8);
}

} // namespace vadazaz
