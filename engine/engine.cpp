// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/engine.h"

#include "engine/latin1set.h"
#include "engine/nfc.h"

#include <bit>

namespace lexorne {

namespace {

constexpr char16_t kMask = u'*';

// The accent rule: an accented letter follows its base letter's box (Æ æ
// either of two); a plain letter that reached here, and the letters without
// a base, give '*'.
QChar RevealAccented(QChar c, const Board &board)
{
    if (c.unicode() < 128) // the plain letters are the captions' own
        return QChar(kMask);
    const detail::LetterBoxes boxes = detail::letterBoxes(c.unicode());
    const bool shown = (boxes.first >= 0 && board.isTicked(boxes.first)) ||
                       (boxes.second >= 0 && board.isTicked(boxes.second));
    return shown ? c : QChar(kMask);
}

bool maskUnitsScalar(const char16_t *in, char16_t *out, qsizetype n,
                     const detail::Latin1Set &hidden)
{
    bool wide = false;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        wide |= c >= kNfcSafeCutBelow;
        out[i] = hidden.contains(c) ? kMask : c;
    }
    return wide;
}

#ifdef LEXORNE_LATIN1SET_SSSE3
__attribute__((target("ssse3"))) bool maskUnitsBlocks(const char16_t *in, char16_t *out,
                                                      qsizetype n, const detail::Latin1Set &hidden)
{
    const __m128i star = _mm_set1_epi16(kMask);
    const __m128i trivial = _mm_set1_epi16(kNfcSafeCutBelow - 1);
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
    const __m256i trivial = _mm256_set1_epi16(kNfcSafeCutBelow - 1);
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

const char16_t *units(const QString &text)
{
    return reinterpret_cast<const char16_t *>(text.utf16());
}

constexpr QStringView kLogSeparator = u"\r\r\r";
constexpr QStringView kLogLead = u"   ";
constexpr QStringView kLogJoin = u" - ";
constexpr QStringView kAbsentLabel = u"Absentes : ";
constexpr qsizetype kMaxLogSize = 3 + 4 * kLetterCount;

// The captions of the boxes that `listed` picks, in board order, joined by
// " - "; `count` receives how many.
template <typename Listed>
QString joinedCaptions(Listed listed, int &count)
{
    QString letters;
    count = 0;
    for (int i = 0; i < kLetterCount; ++i) {
        if (!listed(i))
            continue;
        if (count++ > 0)
            letters += kLogJoin;
        letters += Board::caption(i);
    }
    return letters;
}

} // namespace

QChar RevealCharacter(QChar c, const Board &board)
{
    for (int i = 0; i < kLetterCount; ++i) {
        if (!board.isTicked(i))
            continue;
        // The caption is converted, not the character: the letter keeps its case.
        const QChar caption = Board::caption(i);
        if (caption == c || caption.toLower() == c)
            return c;
    }
    return RevealAccented(c, board);
}

QString AppendLetterLog(QString text, const Board &board, const LetterTally &letters,
                        LogOptions options)
{
    if (!options.letterLog)
        return text;
    int proposed = 0;
    const QString line = joinedCaptions([&](int k) { return board.isTicked(k); }, proposed);
    text.reserve(text.size() + kMaxLogSize);
    text += kLogSeparator;
    if (proposed > 0) {
        text += kLogLead;
        text += line;
    }
    if (!options.absentLetters)
        return text;
    int absent = 0;
    const QString absentLine = joinedCaptions(
        [&](int k) { return board.isTicked(k) && letters.occurrences(k) == 0; }, absent);
    if (absent > 0) {
        // Laid out like the log line: "   Absentes : K - W (2)".
        text += u'\r';
        text += kLogLead;
        text += kAbsentLabel;
        text += absentLine;
        text += QStringView(u" (");
        text += QString::number(absent);
        text += u')';
    }
    return text;
}

QString RenderQuotation(const QString &quotation, const Board &board, LogOptions log)
{
    const MaskedCodes masked(board);
    const detail::Latin1Set &hidden = masked.set();

    // One allocation: room for the longest log ("   A - B - ... - Z") up front.
    QString result;
    result.reserve(quotation.size() + (log.letterLog ? kMaxLogSize : 0));
    result.resize(quotation.size());
    auto *out = reinterpret_cast<char16_t *>(result.data());
    if (maskUnits(units(quotation), out, quotation.size(), hidden) && mayNeedNfc(quotation)) {
        // Decomposed input (e + U+0301) masks like the precomposed letter.
        const QString nfc = toNfc(quotation);
        if (nfc != quotation) {
            result.resize(nfc.size());
            maskUnits(units(nfc), reinterpret_cast<char16_t *>(result.data()), nfc.size(), hidden);
        }
    }

    if (log.letterLog)
        result = AppendLetterLog(std::move(result), board,
                                 log.absentLetters ? CountLetters(quotation) : LetterTally(), log);
    return result;
}

} // namespace lexorne
