// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/nfc.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lexorne {

namespace {

// Index of the first unit at or after `from` that is U+0300 or above, or n.
qsizetype nextWide(const char16_t *in, qsizetype from, qsizetype n)
{
#if defined(__SSE2__)
    const __m128i trivial = _mm_set1_epi16(kNfcSafeCutBelow - 1);
    for (; from + 8 <= n; from += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + from));
        const __m128i narrow = _mm_cmpeq_epi16(_mm_subs_epu16(units, trivial), _mm_setzero_si128());
        if (const int mask = _mm_movemask_epi8(narrow); mask != 0xFFFF)
            return from + std::countr_zero(unsigned(~mask & 0xFFFF)) / 2;
    }
#endif
    for (; from < n; ++from)
        if (!isNfcSafeCut(in[from]))
            return from;
    return n;
}

} // namespace

bool mayNeedNfc(QStringView text)
{
    const auto *in = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype n = text.size();
    for (qsizetype i = nextWide(in, 0, n); i < n; i = nextWide(in, i + 1, n))
        if (!isNfcInert(in[i]))
            return true;
    return false;
}

bool isNfcSafeCutAnyScript(char32_t c)
{
    if (c < kNfcSafeCutBelow || (c <= 0xFFFF && isNfcInert(char16_t(c))))
        return true;
    // Vowel and final jamo join the syllable before them.
    if ((c >= 0x1100 && c <= 0x11FF) || (c >= 0xA960 && c <= 0xA97F) ||
        (c >= 0xD7B0 && c <= 0xD7FF))
        return false;
    if (QChar::combiningClass(c) != 0)
        return false;
    switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Other:
        return true;
    default:
        return false;
    }
}

qsizetype nfcPieceEndUtf8(QByteArrayView bytes, qsizetype from, qsizetype size)
{
    const qsizetype n = bytes.size();
    if (n - from <= size)
        return n;
    const auto safe = [&](qsizetype at) {
        return startsNfcSafeCutUtf8(quint8(bytes[at]));
    };
    for (qsizetype cut = from + size; cut > from; --cut)
        if (safe(cut))
            return cut;
    for (qsizetype cut = from + size + 1; cut < n; ++cut)
        if (safe(cut))
            return cut;
    return n;
}

QString toNfc(const QString &text, qsizetype pieceSize)
{
    const qsizetype n = text.size();
    pieceSize = std::max<qsizetype>(pieceSize, 1);
    if (n <= pieceSize)
        return text.normalized(QString::NormalizationForm_C);

    QString result;
    result.reserve(n);
    qsizetype start = 0;
    while (start < n) {
        // The first safe cut at or after the piece's nominal end, in any
        // script (text in ideographs has few of the common ones); a long
        // stretch without one stays whole.
        qsizetype cut = std::min(start + pieceSize, n);
        while (cut < n && !isNfcSafeCut(text.at(cut).unicode()) &&
               (text.at(cut).isSurrogate() || !isNfcSafeCutAnyScript(text.at(cut).unicode())))
            ++cut;
        result += text.sliced(start, cut - start).normalized(QString::NormalizationForm_C);
        start = cut;
    }
    return result;
}

} // namespace lexorne
