// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Finding the first ill-formed UTF-8 sequence, for the message that names
// its offset. Runs only once the decoder has seen an error, so the valid
// text never pays for it; still, ASCII runs go eight bytes at a time.
#include "cli/cli.h"

#include <cstdint>
#include <cstring>

namespace lexorne::cli {

namespace {

// Second-byte range of a lead byte, and how many bytes follow it; the
// ranges of the first continuation byte are what rule out overlong forms,
// surrogates and code points past U+10FFFF.
struct Lead
{
    int follow;
    std::uint8_t low, high;
};

constexpr Lead leadOf(std::uint8_t b)
{
    if (b >= 0xC2 && b <= 0xDF)
        return {1, 0x80, 0xBF};
    if (b == 0xE0)
        return {2, 0xA0, 0xBF};
    if (b == 0xED)
        return {2, 0x80, 0x9F};
    if (b >= 0xE1 && b <= 0xEF)
        return {2, 0x80, 0xBF};
    if (b == 0xF0)
        return {3, 0x90, 0xBF};
    if (b >= 0xF1 && b <= 0xF3)
        return {3, 0x80, 0xBF};
    if (b == 0xF4)
        return {3, 0x80, 0x8F};
    return {-1, 0, 0}; // 0x80..0xC1, 0xF5..0xFF: never a lead byte
}

} // namespace

std::optional<qsizetype> firstInvalidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const std::uint8_t *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        if (i + 8 <= n) {
            std::uint64_t block;
            std::memcpy(&block, p + i, sizeof block);
            if ((block & 0x8080808080808080ull) == 0) {
                i += 8;
                continue;
            }
        }
        const std::uint8_t b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        const Lead lead = leadOf(b);
        if (lead.follow < 0)
            return i;
        if (i + lead.follow >= n)
            return i; // cut short by the end of the text
        if (p[i + 1] < lead.low || p[i + 1] > lead.high)
            return i;
        for (int k = 2; k <= lead.follow; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return i;
        i += 1 + lead.follow;
    }
    return std::nullopt;
}

} // namespace lexorne::cli
