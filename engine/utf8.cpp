// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/utf8.h"

#include <cstdint>
#include <cstring>

namespace lexorne {

Utf8Sequence decodeUtf8(QByteArrayView bytes, qsizetype at, Surrogates surrogates)
{
    const auto byte = [&bytes](qsizetype i) {
        return static_cast<std::uint8_t>(bytes[i]);
    };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80)
        return {lead, 1};
    char32_t code = 0;
    int length = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        code = lead & 0x1F;
        length = 2;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        code = lead & 0x0F;
        length = 3;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        code = lead & 0x07;
        length = 4;
        minimum = 0x10000;
    } else {
        return {}; // 0x80..0xC1, 0xF5..0xFF: never a lead byte
    }
    if (at + length > bytes.size())
        return {};
    for (int k = 1; k < length; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80)
            return {};
        code = (code << 6) | (byte(at + k) & 0x3F);
    }
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (code < minimum || code > 0x10FFFF || (surrogate && surrogates == Surrogates::Refused))
        return {};
    return {code, length};
}

std::optional<qsizetype> firstInvalidUtf8(QByteArrayView bytes)
{
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        // ASCII runs go eight bytes at a time.
        if (i + 8 <= n) {
            std::uint64_t block;
            std::memcpy(&block, bytes.data() + i, sizeof block);
            if ((block & 0x8080808080808080ull) == 0) {
                i += 8;
                continue;
            }
        }
        const int length = decodeUtf8(bytes, i).length;
        if (length == 0)
            return i;
        i += length;
    }
    return std::nullopt;
}

} // namespace lexorne
