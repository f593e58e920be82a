// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/engine.h"

#include "engine/latin1set.h"
#include "engine/nfc.h"

#include <bit>

namespace lexorne {

namespace {

constexpr char16_t kMask = u'*';

// The engine's letters: A-Z, a-z and the Latin-1 block 192..254. Below 256 the
// Windows-1252 code of every such character equals its UTF-16 code unit;
// everything else (Œ, š, ÿ, symbols, other scripts, surrogates) is copied.
constexpr bool isEngineLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= 192 && c <= 254);
}

// Box of the base letter an accented letter follows, or -1 when it has none.
constexpr int accentBase(char16_t c)
{
    const char16_t upper = (c >= 224 && c <= 254) ? char16_t(c - 32) : c;
    if (upper >= 192 && upper <= 197)
        return 0; // À..Å
    if (upper == 199)
        return 2; // Ç
    if (upper >= 200 && upper <= 203)
        return 4; // È..Ë
    if (upper >= 204 && upper <= 207)
        return 8; // Ì..Ï
    if (upper == 208)
        return 3; // Ð
    if (upper == 209)
        return 13; // Ñ
    if (upper >= 210 && upper <= 214)
        return 14; // Ò..Ö
    if (upper >= 217 && upper <= 220)
        return 20; // Ù..Ü
    return -1;
}

// The codes that mask to '*' under this board, for any captions.
std::array<bool, 256> hiddenCodes(const Board &board)
{
    std::array<bool, 256> hidden{};
    for (int code = 0; code < 256; ++code) {
        const QChar c{char16_t(code)};
        hidden[code] = isEngineLetter(c.unicode()) && RevealCharacter(c, board) == QChar(kMask);
    }
    return hidden;
}

// The boxes' own captions "A".."Z" allow the sets below, fixed at compile time.
bool hasStandardCaptions(const Board &board)
{
    for (int i = 0; i < kLetterCount; ++i)
        if (board.captions[i].size() != 1 || board.captions[i][0] != QChar(u'A' + i))
            return false;
    return true;
}

constexpr detail::Latin1Set kEngineLetters = detail::Latin1Set::where(isEngineLetter);

// The codes that box k shows when ticked (with captions "A".."Z").
constexpr std::array<detail::Latin1Set, kLetterCount> kShownBy = [] {
    std::array<detail::Latin1Set, kLetterCount> shown{};
    for (int k = 0; k < kLetterCount; ++k) {
        shown[k] = detail::Latin1Set::where([k](char16_t c) {
            const bool ligature = (c == 198 || c == 230) && (k == 0 || k == 4);
            return c == u'A' + k || c == u'a' + k || accentBase(c) == k || ligature;
        });
    }
    return shown;
}();

detail::Latin1Set hiddenSet(const Board &board)
{
    if (!hasStandardCaptions(board))
        return detail::Latin1Set::fromMembers(hiddenCodes(board));
    detail::Latin1Set shown;
    for (int k = 0; k < kLetterCount; ++k)
        if (board.isTicked(k))
            shown = shown | kShownBy[k];
    return kEngineLetters.minus(shown);
}

// Below U+0300 no code unit is a combining mark or composes with what
// precedes it, so text made only of such units is already NFC.
constexpr char16_t kFirstNonTrivialNfc = 0x300;

bool maskUnitsScalar(const char16_t *in, char16_t *out, qsizetype n,
                     const detail::Latin1Set &hidden)
{
    bool wide = false;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        wide |= c >= kFirstNonTrivialNfc;
        out[i] = hidden.contains(c) ? kMask : c;
    }
    return wide;
}

#ifdef LEXORNE_LATIN1SET_SSSE3
__attribute__((target("ssse3"))) bool maskUnitsBlocks(const char16_t *in, char16_t *out,
                                                      qsizetype n, const detail::Latin1Set &hidden)
{
    const __m128i star = _mm_set1_epi16(kMask);
    const __m128i trivial = _mm_set1_epi16(kFirstNonTrivialNfc - 1);
    __m128i wide = _mm_setzero_si128();
    qsizetype i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m128i a = detail::Latin1Set::loadUnits(in + i);
        const __m128i b = detail::Latin1Set::loadUnits(in + i + 8);
        wide = _mm_or_si128(wide,
                            _mm_or_si128(_mm_subs_epu16(a, trivial), _mm_subs_epu16(b, trivial)));
        const __m128i hide = hidden.members16(a, b);
        const __m128i hideA = _mm_unpacklo_epi8(hide, hide);
        const __m128i hideB = _mm_unpackhi_epi8(hide, hide);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i),
                         _mm_or_si128(_mm_andnot_si128(hideA, a), _mm_and_si128(hideA, star)));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i + 8),
                         _mm_or_si128(_mm_andnot_si128(hideB, b), _mm_and_si128(hideB, star)));
    }
    const bool sawWide = _mm_movemask_epi8(_mm_cmpeq_epi8(wide, _mm_setzero_si128())) != 0xFFFF;
    return maskUnitsScalar(in + i, out + i, n - i, hidden) || sawWide;
}

__attribute__((target("avx2"))) bool maskUnitsAvx2(const char16_t *in, char16_t *out, qsizetype n,
                                                   const detail::Latin1Set &hidden)
{
    const __m256i star = _mm256_set1_epi16(kMask);
    const __m256i trivial = _mm256_set1_epi16(kFirstNonTrivialNfc - 1);
    __m256i wide = _mm256_setzero_si256();
    qsizetype i = 0;
    for (; i + 32 <= n; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(in + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(in + i + 16));
        wide = _mm256_or_si256(
            wide, _mm256_or_si256(_mm256_subs_epu16(a, trivial), _mm256_subs_epu16(b, trivial)));
        const __m256i hide = hidden.members32(a, b);
        const __m256i hideA = _mm256_unpacklo_epi8(hide, hide);
        const __m256i hideB = _mm256_unpackhi_epi8(hide, hide);
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + i),
                            _mm256_blendv_epi8(a, star, hideA));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(out + i + 16),
                            _mm256_blendv_epi8(b, star, hideB));
    }
    const bool sawWide = !_mm256_testz_si256(wide, wide);
    return maskUnitsBlocks(in + i, out + i, n - i, hidden) || sawWide;
}
#endif

// Writes the masked form of n code units to out; returns whether the text
// holds units from U+0300 up, which may need bringing to NFC.
bool maskUnits(const char16_t *in, char16_t *out, qsizetype n, const detail::Latin1Set &hidden)
{
#ifdef LEXORNE_LATIN1SET_SSSE3
    switch (detail::Latin1Set::blocks()) {
    case detail::Latin1Set::Blocks::Avx2:
        return maskUnitsAvx2(in, out, n, hidden);
    case detail::Latin1Set::Blocks::Ssse3:
        return maskUnitsBlocks(in, out, n, hidden);
    case detail::Latin1Set::Blocks::None:
        break;
    }
#endif
    return maskUnitsScalar(in, out, n, hidden);
}

// Wide code units that NFC leaves alone whatever precedes them: typographic
// punctuation (’ “ ” — …) and currency signs, common in pasted French text.
// Text whose wide units are all of these needs no normalization pass.
constexpr bool isNfcInert(char16_t c)
{
    return (c >= 0x2010 && c <= 0x205E) || (c >= 0x20A0 && c <= 0x20C0);
}

// Index of the first unit at or after `from` that is U+0300 or above, or n.
qsizetype nextWide(const char16_t *in, qsizetype from, qsizetype n)
{
#if defined(__SSE2__)
    const __m128i trivial = _mm_set1_epi16(kFirstNonTrivialNfc - 1);
    for (; from + 8 <= n; from += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + from));
        const __m128i narrow = _mm_cmpeq_epi16(_mm_subs_epu16(units, trivial), _mm_setzero_si128());
        if (const int mask = _mm_movemask_epi8(narrow); mask != 0xFFFF)
            return from + std::countr_zero(unsigned(~mask & 0xFFFF)) / 2;
    }
#endif
    for (; from < n; ++from)
        if (in[from] >= kFirstNonTrivialNfc)
            return from;
    return n;
}

bool mayNeedNfc(const char16_t *in, qsizetype n)
{
    for (qsizetype i = nextWide(in, 0, n); i < n; i = nextWide(in, i + 1, n))
        if (!isNfcInert(in[i]))
            return true;
    return false;
}

const char16_t *units(const QString &text)
{
    return reinterpret_cast<const char16_t *>(text.utf16());
}

constexpr QStringView kLogSeparator = u"\r\r\r";
constexpr QStringView kLogJoin = u" - ";
constexpr qsizetype kMaxLogSize = 3 + 4 * kLetterCount;

// The log line: "   " + the ticked captions joined by " - ", empty when none.
QString logLine(const Board &board)
{
    QString line;
    line.reserve(kMaxLogSize);
    for (int i = 0; i < kLetterCount; ++i) {
        if (!board.isTicked(i))
            continue;
        line += line.isEmpty() ? QStringView(u"   ") : kLogJoin;
        line += board.captions[i];
    }
    return line;
}

} // namespace

std::array<QString, kLetterCount> Board::standardCaptions()
{
    std::array<QString, kLetterCount> captions;
    for (int i = 0; i < kLetterCount; ++i)
        captions[i] = QChar(u'A' + i);
    return captions;
}

QChar RevealCharacter(QChar c, const Board &board)
{
    for (int i = 0; i < kLetterCount; ++i) {
        if (!board.isTicked(i))
            continue;
        // The caption is converted, not the character: the letter keeps its case.
        const QString &caption = board.captions[i];
        if (caption.toUpper() == c || caption.toLower() == c)
            return c;
    }
    return RevealAccented(c, board);
}

QChar RevealAccented(QChar c, const Board &board)
{
    const char16_t u = c.unicode();
    if (u == 198 || u == 230) // Æ æ show with A, else with E
        return board.isTicked(0) || board.isTicked(4) ? c : QChar(kMask);
    const int base = accentBase(u);
    return base >= 0 && board.isTicked(base) ? c : QChar(kMask);
}

QString AppendLetterLog(QString &text, const Board &board)
{
    const QString line = logLine(board);
    text.reserve(text.size() + kLogSeparator.size() + line.size());
    text += kLogSeparator;
    text += line;
    return text;
}

QString RenderQuotation(const QString &quotation, const Board &board, bool withLog)
{
    const detail::Latin1Set hidden = hiddenSet(board);

    // One allocation: room for the longest log ("   A - B - ... - Z") up front.
    QString result;
    result.reserve(quotation.size() + (withLog ? kMaxLogSize : 0));
    result.resize(quotation.size());
    auto *out = reinterpret_cast<char16_t *>(result.data());
    if (maskUnits(units(quotation), out, quotation.size(), hidden) &&
        mayNeedNfc(units(quotation), quotation.size())) {
        // Decomposed input (e + U+0301) masks like the precomposed letter.
        const QString nfc = detail::toNfc(quotation);
        if (nfc != quotation) {
            result.resize(nfc.size());
            maskUnits(units(nfc), reinterpret_cast<char16_t *>(result.data()), nfc.size(), hidden);
        }
    }

    if (withLog)
        AppendLetterLog(result, board);
    return result;
}

} // namespace lexorne
