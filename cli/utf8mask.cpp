// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/utf8mask.h"

#include <cstdint>
#include <cstring>

namespace lexorne::cli::detail {

namespace {

constexpr unsigned char kMask = '*';

constexpr bool isContinuation(std::uint8_t b)
{
    return (b & 0xC0) == 0x80;
}

// U+2010..U+205E (E2 80 90 .. E2 81 9E) and U+20A0..U+20C0 (E2 82 A0 ..
// E2 83 80): dashes, quotes, ellipsis, currency signs; NFC never touches
// them nor what surrounds them.
constexpr bool isInertTriple(std::uint8_t b1, std::uint8_t b2)
{
    if (!isContinuation(b2))
        return false;
    switch (b1) {
    case 0x80:
        return b2 >= 0x90;
    case 0x81:
        return b2 <= 0x9E;
    case 0x82:
        return b2 >= 0xA0;
    case 0x83:
        return b2 == 0x80;
    default:
        return false;
    }
}

} // namespace

Utf8Masker::Utf8Masker(const Board &board)
{
    // Asked of the engine itself, so the two ways cannot disagree.
    QString latin1(256, Qt::Uninitialized);
    for (int code = 0; code < 256; ++code)
        latin1[code] = QChar(char16_t(code));
    const QString masked = RenderQuotation(latin1, board, false);
    for (int code = 0; code < 128; ++code)
        m_ascii[code] = (masked[code] == QChar(u'*')) ? kMask : static_cast<unsigned char>(code);
    for (int i = 0; i < 64; ++i)
        m_latin1Hidden[i] = masked[0xC0 + i] == QChar(u'*');
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
            // U+0080..U+02FF; the engine's letters are U+00C0..U+00FE.
            if (b == 0xC3 && m_latin1Hidden[in[i + 1] & 0x3F]) {
                *o++ = kMask;
            } else {
                *o++ = b;
                *o++ = in[i + 1];
            }
            i += 2;
            continue;
        }
        if (b == 0xE2 && i + 2 < n && isInertTriple(in[i + 1], in[i + 2])) {
            std::memcpy(o, in + i, 3);
            o += 3;
            i += 3;
            continue;
        }
        return -1;
    }
    return reinterpret_cast<char *>(o) - out;
}

} // namespace lexorne::cli::detail
