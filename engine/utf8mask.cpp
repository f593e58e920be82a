// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/utf8mask.h"

#include "engine/nfc.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace lexorne {

namespace {

constexpr unsigned char kMask = '*';

constexpr bool isContinuation(std::uint8_t b)
{
    return (b & 0xC0) == 0x80;
}

// Where one character at in[i] (not ASCII) goes: its masked bytes are
// written at o. Returns the bytes read, or 0 for a character the piece may
// not hold.
inline int maskOne(const MaskedCodes &hidden, const std::uint8_t *in, qsizetype i, qsizetype n,
                   unsigned char *&o)
{
    const std::uint8_t b = in[i];
    if (b >= 0xC2 && b <= 0xCB && i + 1 < n && isContinuation(in[i + 1])) {
        // U+0080..U+02FF: never composes, and holds every letter.
        const std::uint8_t b1 = in[i + 1];
        if (hidden.hides(char16_t(((b & 0x1F) << 6) | (b1 & 0x3F)))) {
            *o++ = kMask;
        } else {
            *o++ = b;
            *o++ = b1;
        }
        return 2;
    }
    if (i + 2 < n && isNfcInertUtf8(b, in[i + 1], in[i + 2])) {
        std::memmove(o, in + i, 3);
        o += 3;
        return 3;
    }
    return 0;
}

#ifdef LEXORNE_LATIN1SET_SSSE3
// Runs of ASCII 32 bytes at a time (without AVX2, byte by byte): each block
// is masked and stored whole, and the output moves on past its ASCII prefix
// only; the character that ends the prefix goes through maskOne. The output
// never runs ahead of the input, so the stores stay within out's room.
__attribute__((target("avx2"))) qsizetype
maskAvx2(const MaskedCodes &hidden, const std::uint8_t *in, qsizetype n, unsigned char *&o)
{
    const detail::Latin1Set &set = hidden.set();
    const __m256i star = _mm256_set1_epi8(char(kMask));
    qsizetype i = 0;
    while (i + 32 <= n) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(in + i));
        const auto wide = std::uint32_t(_mm256_movemask_epi8(bytes));
        _mm256_storeu_si256(reinterpret_cast<__m256i *>(o),
                            _mm256_blendv_epi8(bytes, star, set.membersOfBytes32(bytes)));
        if (wide == 0) {
            i += 32;
            o += 32;
            continue;
        }
        const int ascii = std::countr_zero(wide);
        i += ascii;
        o += ascii;
        const int used = maskOne(hidden, in, i, n, o);
        if (used == 0)
            return -1;
        i += used;
    }
    return i;
}
#endif

} // namespace

Utf8Masker::Utf8Masker(const Board &board) : m_hidden(board)
{
    for (int code = 0; code < 128; ++code)
        m_ascii[code] = m_hidden.hides(char16_t(code)) ? kMask : static_cast<unsigned char>(code);
}

qsizetype Utf8Masker::mask(QByteArrayView piece, char *out) const
{
    const auto *in = reinterpret_cast<const std::uint8_t *>(piece.data());
    const qsizetype n = piece.size();
    auto *o = reinterpret_cast<unsigned char *>(out);
    qsizetype i = 0;
#ifdef LEXORNE_LATIN1SET_SSSE3
    if (detail::Latin1Set::blocks() == detail::Latin1Set::Blocks::Avx2) {
        i = maskAvx2(m_hidden, in, n, o);
        if (i < 0)
            return -1;
    }
#endif
    while (i < n) {
        const std::uint8_t b = in[i];
        if (b < 0x80) {
            *o++ = m_ascii[b];
            ++i;
            continue;
        }
        const int used = maskOne(m_hidden, in, i, n, o);
        if (used == 0)
            return -1;
        i += used;
    }
    return reinterpret_cast<char *>(o) - out;
}

} // namespace lexorne
