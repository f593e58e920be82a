#include "highlight.h"

#include "latin1set.h"

#include <array>
#include <bit>
#include <cstring>

namespace lexorne::highlight {

namespace {

struct Colour
{
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
struct AccentRange
{
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

constexpr bool belongs(char16_t letter, char16_t c)
{
    if (letter < u'A' || letter > u'Z')
        return false;
    if (c == letter || c == letter + 32)
        return true;
    for (const AccentRange &range : kAccents) {
        if (range.letter == letter)
            return (c >= range.first && c <= range.last) ||
                   (c >= range.first + 32 && c <= range.last + 32);
    }
    return false;
}

using lexorne::detail::Latin1Set;

constexpr std::array<Latin1Set, kLetterEntryCount> kSets = [] {
    std::array<Latin1Set, kLetterEntryCount> sets{};
    for (int i = 0; i < kLetterEntryCount; ++i)
        sets[i] = Latin1Set::where([i](char16_t c) { return belongs(char16_t(u'A' + i), c); });
    return sets;
}();

// Bit i of the result is set when unit i of the 32 at `in` is in the set.
#ifdef LEXORNE_LATIN1SET_SSSE3
__attribute__((target("avx2"))) std::uint32_t members32(const Latin1Set &set, const char16_t *in)
{
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(in));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(in + 16));
    // Packing interleaves the 64-bit quarters; put them back in text order.
    const __m256i members = _mm256_permute4x64_epi64(set.members32(a, b), 0xD8);
    return std::uint32_t(_mm256_movemask_epi8(members));
}
#endif

// Calls onBlock(position, mask) for each run of 32 units holding a member
// (mask: bit i for unit position + i), then returns where the blocks ended;
// the caller handles the remaining units one by one.
template <typename OnBlock>
qsizetype forEachMemberBlock(const Latin1Set &set, const char16_t *in, qsizetype n, OnBlock onBlock)
{
    qsizetype i = 0;
#ifdef LEXORNE_LATIN1SET_SSSE3
    if (Latin1Set::blocks() == Latin1Set::Blocks::Avx2) {
        for (; i + 32 <= n; i += 32)
            if (const std::uint32_t mask = members32(set, in + i))
                onBlock(i, mask);
    }
#else
    Q_UNUSED(set);
    Q_UNUSED(in);
    Q_UNUSED(n);
    Q_UNUSED(onBlock);
#endif
    return i;
}

char16_t *put(char16_t *out, const char16_t *from, qsizetype count)
{
    std::memcpy(out, from, std::size_t(count) * sizeof(char16_t));
    return out + count;
}

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
    return belongs(letter.unicode(), c.unicode());
}

QString HighlightLetter(const QString &rendered, int letterIndex, const QString &openTag,
                        const QString &closeTag)
{
    if (letterIndex < 0 || letterIndex >= kLetterEntryCount)
        return rendered;
    const Latin1Set &set = kSets[letterIndex];
    const auto *in = reinterpret_cast<const char16_t *>(rendered.utf16());
    const qsizetype n = rendered.size();

    qsizetype count = 0;
    qsizetype i = forEachMemberBlock(
        set, in, n, [&](qsizetype, std::uint32_t mask) { count += std::popcount(mask); });
    for (; i < n; ++i)
        count += set.contains(in[i]);
    if (count == 0)
        return rendered;

    // Each occurrence is wrapped on its own, so a tag never holds a letter
    // searched afterwards: the result equals wrapping the lower-case letter
    // first, then the upper case, then each accented form.
    QString result(n + count * (openTag.size() + closeTag.size()), Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(result.data());
    const auto *open = reinterpret_cast<const char16_t *>(openTag.utf16());
    const auto *close = reinterpret_cast<const char16_t *>(closeTag.utf16());
    qsizetype copied = 0; // units of `rendered` already written
    const auto wrapAt = [&](qsizetype at) {
        out = put(out, in + copied, at - copied);
        out = put(out, open, openTag.size());
        *out++ = in[at];
        out = put(out, close, closeTag.size());
        copied = at + 1;
    };
    i = forEachMemberBlock(set, in, n, [&](qsizetype position, std::uint32_t mask) {
        for (; mask; mask &= mask - 1)
            wrapAt(position + std::countr_zero(mask));
    });
    for (; i < n; ++i)
        if (set.contains(in[i]))
            wrapAt(i);
    put(out, in + copied, n - copied);
    return result;
}

QString HighlightLetter(const QString &rendered, int letterIndex, int colourIndex)
{
    return HighlightLetter(rendered, letterIndex, openingTag(colourIndex), closingTag());
}

} // namespace lexorne::highlight
