// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/utf8mask.h"

#include "engine/nfc.h"

#include <cstdint>
#include <cstring>

namespace lexorne {

namespace {

constexpr unsigned char kMask = '*';

constexpr bool isContinuation(std::uint8_t b)
{
    return (b & 0xC0) == 0x80;
}

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
    while (i < n) {
        const std::uint8_t b = in[i];
        if (b < 0x80) {
            *o++ = m_ascii[b];
            ++i;
            continue;
        }
        if (b >= 0xC2 && b <= 0xCB && i + 1 < n && isContinuation(in[i + 1])) {
            // U+0080..U+02FF: never composes, and holds every letter.
            const std::uint8_t b1 = in[i + 1];
            if (m_hidden.hides(char16_t(((b & 0x1F) << 6) | (b1 & 0x3F)))) {
                *o++ = kMask;
            } else {
                *o++ = b;
                *o++ = b1;
            }
            i += 2;
            continue;
        }
        if (i + 2 < n && isNfcInertUtf8(b, in[i + 1], in[i + 2])) {
            std::memmove(o, in + i, 3);
            o += 3;
            i += 3;
            continue;
        }
        return -1;
    }
    return reinterpret_cast<char *>(o) - out;
}

} // namespace lexorne
