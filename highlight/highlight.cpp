#include "highlight.h"

#include <array>

namespace lexorne::highlight {

namespace {

struct Colour {
    const char16_t *name;
    QLatin1StringView tag;
};

constexpr std::array<Colour, kColourCount> kPalette{{
    {u"Rouge foncé", QLatin1StringView("[color=darkred]")},
    {u"Rouge", QLatin1StringView("[color=red]")},
    {u"Orange", QLatin1StringView("[color=orange]")},
    {u"Marron", QLatin1StringView("[color=brown]")},
    {u"Jaune", QLatin1StringView("[color=yellow]")},
    {u"Vert", QLatin1StringView("[color=green]")},
    {u"Olive", QLatin1StringView("[color=olive]")},
    {u"Cyan", QLatin1StringView("[color=cyan]")},
    {u"Bleu", QLatin1StringView("[color=blue]")},
    {u"Bleu foncé", QLatin1StringView("[color=darkblue]")},
    {u"Indigo", QLatin1StringView("[color=indigo]")},
    {u"Violet", QLatin1StringView("[color=violet]")},
    {u"Blanc", QLatin1StringView("[color=white]")},
    {u"Noir", QLatin1StringView("[color=black]")},
}};

// Accented upper-case forms of a letter as a code range (lower case is +32).
// These sets are the highlight's own: Æ goes with A only, and Ø, Ý, ÿ with none.
struct AccentRange {
    char16_t letter, first, last;
};

constexpr std::array<AccentRange, 8> kAccents{{
    {u'A', 192, 198},
    {u'C', 199, 199},
    {u'D', 208, 208},
    {u'E', 200, 203},
    {u'I', 204, 207},
    {u'N', 209, 209},
    {u'O', 210, 214},
    {u'U', 217, 220},
}};

} // namespace

QString closingTag()
{
    return QStringLiteral("[/color]");
}

QStringList colourNames()
{
    QStringList names;
    names.reserve(kColourCount);
    for (const Colour &colour : kPalette)
        names.append(QString::fromUtf16(colour.name));
    return names;
}

QString openingTag(int colourIndex)
{
    if (colourIndex < 0 || colourIndex >= kColourCount)
        return {};
    return QString(kPalette[colourIndex].tag);
}

QStringList letterEntries()
{
    QStringList entries;
    entries.reserve(kLetterEntryCount);
    for (int i = 0; i < kLetterEntryCount; ++i)
        entries.append(QString(QChar(u'A' + i)) + u'/' + QChar(u'a' + i));
    return entries;
}

bool inHighlightSet(QChar letter, QChar c)
{
    const char16_t l = letter.unicode();
    const char16_t u = c.unicode();
    if (l < u'A' || l > u'Z')
        return false;
    if (u == l || u == l + 32)
        return true;
    for (const AccentRange &range : kAccents) {
        if (range.letter != l)
            continue;
        return (u >= range.first && u <= range.last) ||
               (u >= range.first + 32 && u <= range.last + 32);
    }
    return false;
}

QString HighlightLetter(const QString &rendered, int letterIndex, const QString &openTag,
                        const QString &closeTag)
{
    if (letterIndex < 0 || letterIndex >= kLetterEntryCount)
        return rendered;

    // Membership of every code unit below 256, so the scan is one look-up each.
    const QChar letter(u'A' + letterIndex);
    std::array<bool, 256> wrap{};
    qsizetype count = 0;
    for (int code = 0; code < 256; ++code)
        wrap[code] = inHighlightSet(letter, QChar(char16_t(code)));
    for (const QChar c : rendered)
        count += c.unicode() < 256 && wrap[c.unicode()];
    if (count == 0)
        return rendered;

    // Each occurrence is wrapped on its own, so a tag never contains a letter
    // that is searched afterwards: the result equals wrapping the lower-case
    // letter first, then the upper-case letter, then each accented form.
    QString result;
    result.reserve(rendered.size() + count * (openTag.size() + closeTag.size()));
    const QChar *begin = rendered.constData();
    const QChar *const end = begin + rendered.size();
    const QChar *run = begin;
    for (const QChar *p = begin; p != end; ++p) {
        if (p->unicode() >= 256 || !wrap[p->unicode()])
            continue;
        result.append(run, p - run);
        result.append(openTag);
        result.append(*p);
        result.append(closeTag);
        run = p + 1;
    }
    result.append(run, end - run);
    return result;
}

QString HighlightLetter(const QString &rendered, int letterIndex, int colourIndex)
{
    return HighlightLetter(rendered, letterIndex, openingTag(colourIndex), closingTag());
}

} // namespace lexorne::highlight
