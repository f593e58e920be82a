// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Internal to the engine and the highlight renderer: a set of Latin-1 codes
// tested sixteen UTF-16 code units at a time, so that masking and
// highlighting run near the speed of a plain copy. Code units above 255 are
// never members.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__))
#define LEXORNE_LATIN1SET_SSSE3 1
#include <immintrin.h>
#endif

namespace lexorne::detail {

class Latin1Set
{
public:
    constexpr Latin1Set() = default;

    // members[c] tells whether code c (0..255) belongs to the set.
    static constexpr Latin1Set fromMembers(const std::array<bool, 256> &members)
    {
        Latin1Set set;
        for (int code = 0; code < 256; ++code)
            if (members[code])
                set.m_rows[index(char16_t(code))] |= bit(char16_t(code));
        return set;
    }

    // The codes c for which predicate(c) holds.
    template <typename Predicate>
    static constexpr Latin1Set where(Predicate predicate)
    {
        std::array<bool, 256> members{};
        for (int code = 0; code < 256; ++code)
            members[code] = predicate(char16_t(code));
        return fromMembers(members);
    }

    constexpr Latin1Set operator|(const Latin1Set &other) const
    {
        Latin1Set set;
        for (std::size_t i = 0; i < set.m_rows.size(); ++i)
            set.m_rows[i] = std::uint8_t(m_rows[i] | other.m_rows[i]);
        return set;
    }

    // The members of this set that are not in `other`.
    constexpr Latin1Set minus(const Latin1Set &other) const
    {
        Latin1Set set;
        for (std::size_t i = 0; i < set.m_rows.size(); ++i)
            set.m_rows[i] = std::uint8_t(m_rows[i] & ~other.m_rows[i]);
        return set;
    }

    constexpr bool contains(char16_t c) const { return c < 256 && (m_rows[index(c)] & bit(c)); }

    // Which block test this processor runs: 32 units (AVX2), 16 (SSSE3) or
    // none, unit by unit.
    enum class Blocks
    {
        None,
        Ssse3,
        Avx2
    };

    // The path for a LEXORNE_BLOCKS value on a processor that runs AVX2
    // and/or SSSE3: "avx2", "ssse3" or "none" force that path or, when the
    // processor lacks it, the best narrower one; no value, the best path.
    // Any other value gives nothing. Lets the test suites cover every path
    // on any machine.
    static constexpr std::optional<Blocks> chooseBlocks(std::string_view forced, bool avx2,
                                                        bool ssse3)
    {
        const Blocks best = avx2 ? Blocks::Avx2 : ssse3 ? Blocks::Ssse3 : Blocks::None;
        if (forced.empty() || forced == "avx2")
            return best;
        if (forced == "ssse3")
            return ssse3 ? Blocks::Ssse3 : Blocks::None;
        if (forced == "none")
            return Blocks::None;
        return std::nullopt;
    }

    // The path this process runs: the processor's best, or the one
    // LEXORNE_BLOCKS names, chosen once (an unknown value is reported then
    // on standard error and ignored); never wider than limitBlocks() allows.
    static Blocks blocks()
    {
#ifdef LEXORNE_LATIN1SET_SSSE3
        static const Blocks have = [] {
            // NOLINTNEXTLINE(concurrency-mt-unsafe): read once; nothing sets it while we run
            const char *forced = std::getenv("LEXORNE_BLOCKS");
            const bool avx2 = __builtin_cpu_supports("avx2");
            const bool ssse3 = __builtin_cpu_supports("ssse3");
            if (const auto chosen = chooseBlocks(forced ? forced : "", avx2, ssse3))
                return *chosen;
            std::fprintf(stderr,
                         "LEXORNE_BLOCKS=%s is not a known path (avx2, ssse3, none); ignored\n",
                         forced);
            return chooseBlocks({}, avx2, ssse3).value_or(Blocks::None);
        }();
        const Blocks limit = s_limit.load(std::memory_order_relaxed);
        return int(have) < int(limit) ? have : limit;
#else
        return Blocks::None;
#endif
    }

    // Lets one process compare the paths (the fuzz targets do): from now on
    // no path wider than limit runs. The program itself never calls it.
    static void limitBlocks(Blocks limit)
    {
        s_limit.store(limit, std::memory_order_relaxed);
    }

#ifdef LEXORNE_LATIN1SET_SSSE3
    // Byte mask (0xFF per member) of the 16 code units in a, b. Units above
    // 255 saturate to 255 or 0, so a set holding either must not be tested
    // this way on text that may hold wide units; none of ours does.
    __attribute__((target("ssse3"))) __m128i members16(__m128i a, __m128i b) const
    {
        const __m128i bytes = _mm_packus_epi16(a, b);
        const __m128i nibble = _mm_set1_epi8(0x0F);
        const __m128i low = _mm_and_si128(bytes, nibble);
        const __m128i high = _mm_and_si128(_mm_srli_epi16(bytes, 4), nibble);
        const __m128i lowRows = _mm_shuffle_epi8(loadRows(0), low);
        const __m128i highRows = _mm_shuffle_epi8(loadRows(16), low);
        const __m128i isHigh = _mm_cmpgt_epi8(high, _mm_set1_epi8(7));
        const __m128i rows =
            _mm_or_si128(_mm_andnot_si128(isHigh, lowRows), _mm_and_si128(isHigh, highRows));
        const __m128i bits = _mm_shuffle_epi8(
            _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128), high);
        return _mm_cmpeq_epi8(_mm_and_si128(rows, bits), bits);
    }

    // The same for the 32 code units in a, b, in the byte order of
    // _mm256_packus_epi16(a, b): unpacking the result with itself per lane
    // gives back the masks of a (low halves) and b (high halves).
    __attribute__((target("avx2"))) __m256i members32(__m256i a, __m256i b) const
    {
        const __m256i bytes = _mm256_packus_epi16(a, b);
        const __m256i nibble = _mm256_set1_epi8(0x0F);
        const __m256i low = _mm256_and_si256(bytes, nibble);
        const __m256i high = _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble);
        const __m256i lowRows = _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(loadRows(0)), low);
        const __m256i highRows =
            _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(loadRows(16)), low);
        const __m256i isHigh = _mm256_cmpgt_epi8(high, _mm256_set1_epi8(7));
        const __m256i rows = _mm256_or_si256(_mm256_andnot_si256(isHigh, lowRows),
                                             _mm256_and_si256(isHigh, highRows));
        const __m256i bits = _mm256_shuffle_epi8(
            _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8,
                             16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128),
            high);
        return _mm256_cmpeq_epi8(_mm256_and_si256(rows, bits), bits);
    }

    static __m128i loadUnits(const char16_t *p)
    {
        return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    }
#endif

private:
    static inline std::atomic<Blocks> s_limit{Blocks::Avx2};

    // Code c lives in row (c & 15) of the low or high half, at bit (c >> 4) & 7:
    // the layout the 16-byte shuffle look-up wants.
    static constexpr std::size_t index(char16_t c)
    {
        return (c >> 7) * 16 + (c & 15);
    }
    static constexpr std::uint8_t bit(char16_t c)
    {
        return std::uint8_t(1u << ((c >> 4) & 7));
    }

#ifdef LEXORNE_LATIN1SET_SSSE3
    __m128i loadRows(std::size_t offset) const
    {
        return _mm_loadu_si128(reinterpret_cast<const __m128i *>(m_rows.data() + offset));
    }
#endif

    std::array<std::uint8_t, 32> m_rows{};
};

} // namespace lexorne::detail
