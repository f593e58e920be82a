// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "highlight/highlight.h"

#include "engine/latin1set.h"

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

// The letter in both cases, and the accented letters whose first box in the
// engine's letter table is this letter's: Æ æ go with A only, never with E.
constexpr bool belongs(char16_t letter, char16_t c)
{
    if (letter < u'A' || letter > u'Z')
        return false;
    if (c == letter || c == letter + 32)
        return true;
    return c >= 128 && detail::letterBoxes(c).first == letter - u'A';
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
__attribute__((target("avx2"))) inline std::uint32_t members32(const Latin1Set &set,
                                                               const char16_t *in)
{
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(in));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(in + 16));
    // Packing interleaves the 64-bit quarters; put them back in text order.
    const __m256i members = _mm256_permute4x64_epi64(set.members32(a, b), 0xD8);
    return std::uint32_t(_mm256_movemask_epi8(members));
}
#endif

#ifdef LEXORNE_LATIN1SET_SSSE3
// Members among the whole 32-unit blocks of `in`; `end` receives where the
// blocks ended.
__attribute__((target("avx2,popcnt"))) qsizetype
countBlocksAvx2(const Latin1Set &set, const char16_t *in, qsizetype n, qsizetype &end)
{
    qsizetype count = 0;
    qsizetype i = 0;
    for (; i + 32 <= n; i += 32)
        count += std::popcount(members32(set, in + i));
    end = i;
    return count;
}
#endif

qsizetype countMembers(const Latin1Set &set, const char16_t *in, qsizetype n)
{
    qsizetype count = 0;
    qsizetype i = 0;
#ifdef LEXORNE_LATIN1SET_SSSE3
    if (Latin1Set::blocks() == Latin1Set::Blocks::Avx2)
        count = countBlocksAvx2(set, in, n, i);
#endif
    for (; i < n; ++i)
        count += set.contains(in[i]);
    return count;
}

// An empty piece may come with a null pointer (a null tag), which memcpy
// must never see, even for no bytes.
char16_t *put(char16_t *out, const char16_t *from, qsizetype count)
{
    if (count > 0)
        std::memcpy(out, from, std::size_t(count) * sizeof(char16_t));
    return out + count;
}

// Where writing the result stands: the next unit to write, and how much of
// the rendered text is already written.
struct Cursor
{
    char16_t *out;
    qsizetype copied;
};

// Tags up to this many units are written with one wide store each.
constexpr qsizetype kShortTag = 16;
// Room the wide stores may write past the end of the result.
constexpr qsizetype kOvershoot = 32;

#ifdef LEXORNE_LATIN1SET_SSSE3
// Wraps the members of the whole 32-unit blocks of `in` with 32-byte
// stores, which may write up to kOvershoot units past the result; returns
// where the blocks ended.
__attribute__((target("avx2"))) qsizetype wrapBlocksAvx2(const Latin1Set &set, const char16_t *in,
                                                         qsizetype n, QStringView openTag,
                                                         QStringView closeTag, Cursor &cursor)
{
    char16_t tags[2][kShortTag] = {};
    put(tags[0], openTag.utf16(), openTag.size());
    put(tags[1], closeTag.utf16(), closeTag.size());
    const __m256i open = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(tags[0]));
    const __m256i close = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(tags[1]));

    qsizetype i = 0;
    for (; i + 32 <= n; i += 32) {
        for (std::uint32_t mask = members32(set, in + i); mask; mask &= mask - 1) {
            const qsizetype at = i + std::countr_zero(mask);
            if (at + kShortTag <= n) {
                for (qsizetype k = cursor.copied; k < at; k += kShortTag)
                    _mm256_storeu_si256(
                        reinterpret_cast<__m256i *>(cursor.out + (k - cursor.copied)),
                        _mm256_loadu_si256(reinterpret_cast<const __m256i *>(in + k)));
                cursor.out += at - cursor.copied;
            } else {
                cursor.out = put(cursor.out, in + cursor.copied, at - cursor.copied);
            }
            _mm256_storeu_si256(reinterpret_cast<__m256i *>(cursor.out), open);
            cursor.out += openTag.size();
            *cursor.out++ = in[at];
            _mm256_storeu_si256(reinterpret_cast<__m256i *>(cursor.out), close);
            cursor.out += closeTag.size();
            cursor.copied = at + 1;
        }
    }
    return i;
}
#endif

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

    const qsizetype count = countMembers(set, in, n);
    if (count == 0)
        return rendered;

    // Each occurrence is wrapped on its own, so a tag never holds a letter
    // searched afterwards: the result equals wrapping the lower-case letter
    // first, then the upper case, then each accented form.
    const qsizetype size = n + count * (openTag.size() + closeTag.size());
    QString result(size + kOvershoot, Qt::Uninitialized);
    Cursor cursor{reinterpret_cast<char16_t *>(result.data()), 0};
    const auto wrapAt = [&](qsizetype at) {
        cursor.out = put(cursor.out, in + cursor.copied, at - cursor.copied);
        cursor.out =
            put(cursor.out, reinterpret_cast<const char16_t *>(openTag.utf16()), openTag.size());
        *cursor.out++ = in[at];
        cursor.out =
            put(cursor.out, reinterpret_cast<const char16_t *>(closeTag.utf16()), closeTag.size());
        cursor.copied = at + 1;
    };
    qsizetype i = 0;
#ifdef LEXORNE_LATIN1SET_SSSE3
    if (Latin1Set::blocks() == Latin1Set::Blocks::Avx2 && openTag.size() <= kShortTag &&
        closeTag.size() <= kShortTag)
        i = wrapBlocksAvx2(set, in, n, openTag, closeTag, cursor);
#endif
    for (; i < n; ++i)
        if (set.contains(in[i]))
            wrapAt(i);
    put(cursor.out, in + cursor.copied, n - cursor.copied);
    result.truncate(size);
    return result;
}

QString HighlightLetter(const QString &rendered, int letterIndex, int colourIndex)
{
    return HighlightLetter(rendered, letterIndex, openingTag(colourIndex), closingTag());
}

} // namespace lexorne::highlight
