#include "core/base/name_rules.h"

#include <QTextBoundaryFinder>

namespace vadazaz {

namespace {

// Invisible formatting characters that a name may hold all the same: they join or shape what
// stands around them, or show as signs of their own.
struct Range
{
    char32_t first, last;
};
constexpr Range keptFormatCharacters[] = {
    {0x0600, 0x0605},   // Arabic number signs, shown before the digits they stand for
    {0x06DD, 0x06DD},   // Arabic end of ayah
    {0x070F, 0x070F},   // Syriac abbreviation mark
    {0x0890, 0x0891},   // Arabic pound and piastre marks above
    {0x08E2, 0x08E2},   // Arabic disputed end of ayah
    {0x200C, 0x200D},   // zero-width non-joiner and joiner: Persian, Indic scripts, joined emoji
    {0x110BD, 0x110BD}, // Kaithi number signs
    {0x110CD, 0x110CD}, {0x13430, 0x1343F}, // Egyptian hieroglyph format controls
    {0x1BCA0, 0x1BCA3},                     // shorthand format controls
    {0x1D173, 0x1D17A},                     // musical symbol format controls
    {0xE0020, 0xE007F},                     // tags: the flags of regions as emoji
};

// The character at i of text, a surrogate pair as one; advances i past it.
char32_t characterAt(QStringView text, qsizetype &i)
{
    const QChar c = text[i++];
    if (c.isHighSurrogate() && i < text.size() && text[i].isLowSurrogate())
        return QChar::surrogateToUcs4(c, text[i++]);
    return c.unicode();
}

QString codeOf(char32_t c)
{
    return QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

qsizetype characterCount(QStringView text)
{
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    qsizetype count = 0;
    while (boundaries.toNextBoundary() >= 0)
        ++count;
    return count;
}

QString firstCharacters(const QString &text, qsizetype count)
{
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    qsizetype end = 0;
    for (qsizetype n = 0; n < count && end >= 0 && end < text.size(); ++n)
        end = boundaries.toNextBoundary();
    return end < 0 ? text : text.left(end);
}

QString paddedName(const QString &name, qsizetype width)
{
    return name + QString(std::max<qsizetype>(0, width - characterCount(name)), u' ');
}

bool mayBeInName(char32_t c)
{
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return false;
    case QChar::Other_Format:
        for (const Range &kept : keptFormatCharacters) {
            if (c >= kept.first && c <= kept.last)
                return true;
        }
        return false;
    default:
        return true;
    }
}

std::optional<QString> nameFault(const QString &text)
{
    const qsizetype length = characterCount(text);
    if (length < 1 || length > maxNameLength)
        return QStringLiteral("must hold 1 to %1 characters, not %2")
            .arg(maxNameLength)
            .arg(length);
    // Half of a surrogate pair is no character: no CPT file could hold the name.
    if (!text.isValidUtf16())
        return QStringLiteral("must be valid Unicode text");
    for (qsizetype i = 0; i < text.size();) {
        const char32_t c = characterAt(text, i);
        if (!mayBeInName(c))
            return QStringLiteral("must not hold a TAB, a line break, a control character or an "
                                  "invisible formatting character (it holds %1)")
                .arg(codeOf(c));
    }
    return std::nullopt;
}

QString visibleText(const QString &text)
{
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype at = i;
        const char32_t c = characterAt(text, i);
        if (mayBeInName(c) && !QChar::isSurrogate(c))
            shown += QStringView(text).sliced(at, i - at);
        else
            shown += u'<' + codeOf(c) + u'>';
    }
    return shown;
}

} // namespace vadazaz
