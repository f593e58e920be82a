// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Internal to the engine and the highlight renderer: a set of UTF-16 code
// units below U+0200 (Latin-1 and Latin Extended-A, where Windows-1252 puts
// Œ œ Š š Ž ž Ÿ), tested sixteen units at a time, so that masking and
// highlighting run near the speed of a plain copy. Units from U+0200 up are
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

    // The units the set can hold: 0 .. kUnits - 1.
    static constexpr int kUnits = 0x200;

    // members[c] tells whether unit c belongs to the set.
    static constexpr Latin1Set fromMembers(const std::array<bool, kUnits> &members)
    {
        Latin1Set set;
        for (int code = 0; code < kUnits; ++code)
            if (members[code])
                set.m_rows[index(char16_t(code))] |= bit(char16_t(code));
        set.updateExtended();
        return set;
    }

    // The units c for which predicate(c) holds.
    template <typename Predicate>
    static constexpr Latin1Set where(Predicate predicate)
    {
        std::array<bool, kUnits> members{};
        for (int code = 0; code < kUnits; ++code)
            members[code] = predicate(char16_t(code));
        return fromMembers(members);
    }

    constexpr Latin1Set operator|(const Latin1Set &other) const
    {
        Latin1Set set;
        for (std::size_t i = 0; i < set.m_rows.size(); ++i)
            set.m_rows[i] = std::uint8_t(m_rows[i] | other.m_rows[i]);
        set.updateExtended();
        return set;
    }

    // The members of this set that are not in `other`.
    constexpr Latin1Set minus(const Latin1Set &other) const
    {
        Latin1Set set;
        for (std::size_t i = 0; i < set.m_rows.size(); ++i)
            set.m_rows[i] = std::uint8_t(m_rows[i] & ~other.m_rows[i]);
        set.updateExtended();
        return set;
    }

    constexpr bool contains(char16_t c) const { return c < kUnits && (m_rows[index(c)] & bit(c)); }

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
    // Byte mask (0xFF per member) of the 16 code units in a, b.
    __attribute__((target("ssse3"))) __m128i members16(__m128i a, __m128i b) const
    {
        const __m128i lowByte = _mm_set1_epi16(0xFF);
        const __m128i bytes =
            _mm_packus_epi16(_mm_and_si128(a, lowByte), _mm_and_si128(b, lowByte));
        // High bytes, saturated: 0 for Latin-1, 1 for U+0100..U+01FF.
        const __m128i highBytes = _mm_packus_epi16(_mm_srli_epi16(a, 8), _mm_srli_epi16(b, 8));
        __m128i members =
            _mm_and_si128(lookup16(bytes, 0), _mm_cmpeq_epi8(highBytes, _mm_setzero_si128()));
        if (m_extended)
            members =
                _mm_or_si128(members, _mm_and_si128(lookup16(bytes, 32),
                                                    _mm_cmpeq_epi8(highBytes, _mm_set1_epi8(1))));
        return members;
    }

    // The same for the 32 code units in a, b, in the byte order of
    // _mm256_packus_epi16(a, b): unpacking the result with itself per lane
    // gives back the masks of a (low halves) and b (high halves).
    __attribute__((target("avx2"))) __m256i members32(__m256i a, __m256i b) const
    {
        const __m256i lowByte = _mm256_set1_epi16(0xFF);
        const __m256i bytes =
            _mm256_packus_epi16(_mm256_and_si256(a, lowByte), _mm256_and_si256(b, lowByte));
        const __m256i highBytes =
            _mm256_packus_epi16(_mm256_srli_epi16(a, 8), _mm256_srli_epi16(b, 8));
        __m256i members = _mm256_and_si256(lookup32(bytes, 0),
                                           _mm256_cmpeq_epi8(highBytes, _mm256_setzero_si256()));
        if (m_extended)
            members = _mm256_or_si256(
                members, _mm256_and_si256(lookup32(bytes, 32),
                                          _mm256_cmpeq_epi8(highBytes, _mm256_set1_epi8(1))));
        return members;
    }

    // Byte mask of the members among 32 Latin-1 bytes (UTF-8 text's ASCII
    // bytes, say).
    __attribute__((target("avx2"))) __m256i membersOfBytes32(__m256i bytes) const
    {
        return lookup32(bytes, 0);
    }

    static __m128i loadUnits(const char16_t *p)
    {
        return _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
    }
#endif

private:
    static inline std::atomic<Blocks> s_limit{Blocks::Avx2};

    // Unit c lives in row (c & 15) of its half of 128 units, at bit
    // (c >> 4) & 7: the layout the 16-byte shuffle look-up wants.
    static constexpr std::size_t index(char16_t c)
    {
        return (c >> 7) * 16 + (c & 15);
    }
    static constexpr std::uint8_t bit(char16_t c)
    {
        return std::uint8_t(1u << ((c >> 4) & 7));
    }

    // Whether any unit from U+0100 up is a member, which the block tests
    // then look up too.
    constexpr void updateExtended()
    {
        m_extended = false;
        for (std::size_t i = 32; i < m_rows.size(); ++i)
            m_extended = m_extended || m_rows[i] != 0;
    }

#ifdef LEXORNE_LATIN1SET_SSSE3
    __m128i loadRows(std::size_t offset) const
    {
        return _mm_loadu_si128(reinterpret_cast<const __m128i *>(m_rows.data() + offset));
    }

    // Byte mask of the members among 16 low bytes, in the 256 units from
    // row `offset` on (0: Latin-1, 32: U+0100..U+01FF).
    __attribute__((target("ssse3"))) __m128i lookup16(__m128i bytes, std::size_t offset) const
    {
        const __m128i nibble = _mm_set1_epi8(0x0F);
        const __m128i low = _mm_and_si128(bytes, nibble);
        const __m128i high = _mm_and_si128(_mm_srli_epi16(bytes, 4), nibble);
        const __m128i lowRows = _mm_shuffle_epi8(loadRows(offset), low);
        const __m128i highRows = _mm_shuffle_epi8(loadRows(offset + 16), low);
        const __m128i isHigh = _mm_cmpgt_epi8(high, _mm_set1_epi8(7));
        const __m128i rows =
            _mm_or_si128(_mm_andnot_si128(isHigh, lowRows), _mm_and_si128(isHigh, highRows));
        const __m128i bits = _mm_shuffle_epi8(
            _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128), high);
        return _mm_cmpeq_epi8(_mm_and_si128(rows, bits), bits);
    }

    __attribute__((target("avx2"))) __m256i lookup32(__m256i bytes, std::size_t offset) const
    {
        const __m256i nibble = _mm256_set1_epi8(0x0F);
        const __m256i low = _mm256_and_si256(bytes, nibble);
        const __m256i high = _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble);
        const __m256i lowRows =
            _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(loadRows(offset)), low);
        const __m256i highRows =
            _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(loadRows(offset + 16)), low);
        const __m256i isHigh = _mm256_cmpgt_epi8(high, _mm256_set1_epi8(7));
        const __m256i rows = _mm256_or_si256(_mm256_andnot_si256(isHigh, lowRows),
                                             _mm256_and_si256(isHigh, highRows));
        const __m256i bits = _mm256_shuffle_epi8(
            _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8,
                             16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128),
            high);
        return _mm256_cmpeq_epi8(_mm256_and_si256(rows, bits), bits);
    }
#endif

    std::array<std::uint8_t, 64> m_rows{};
    bool m_extended = false;
};

// The letter rule, in one table: which boxes (0 = A .. 25 = Z) show the
// code unit c, -1 where there is none. A plain letter has its own box, an
// accented letter its base letter's; Æ æ show with A or E, Œ œ with O or E.
// The first box is also the letter the highlight wraps c with. Windows-1252
// puts Œ œ Š š Ž ž Ÿ outside Latin-1, at U+0152..U+017E.
struct LetterBoxes
{
    int first = -1;
    int second = -1;
};

constexpr LetterBoxes letterBoxes(char16_t c)
{
    constexpr int A = 0, C = 2, D = 3, E = 4, I = 8, N = 13, O = 14, S = 18, U = 20, Y = 24, Z = 25;
    if (c >= u'A' && c <= u'Z')
        return {c - u'A'};
    if (c >= u'a' && c <= u'z')
        return {c - u'a'};
    switch (c) {
    case u'ß': // no capital in Windows-1252
        return {S};
    case u'ÿ':
    case u'Ÿ':
        return {Y};
    case u'Œ':
    case u'œ':
        return {O, E};
    case u'Š':
    case u'š':
        return {S};
    case u'Ž':
    case u'ž':
        return {Z};
    default:
        break;
    }
    const char16_t upper = (c >= 224 && c <= 254) ? char16_t(c - 32) : c;
    if (upper >= 192 && upper <= 197)
        return {A}; // À..Å
    if (upper == 198)
        return {A, E}; // Æ
    if (upper == 199)
        return {C}; // Ç
    if (upper >= 200 && upper <= 203)
        return {E}; // È..Ë
    if (upper >= 204 && upper <= 207)
        return {I}; // Ì..Ï
    if (upper == 208)
        return {D}; // Ð
    if (upper == 209)
        return {N}; // Ñ
    if ((upper >= 210 && upper <= 214) || upper == 216)
        return {O}; // Ò..Ö, Ø
    if (upper >= 217 && upper <= 220)
        return {U}; // Ù..Ü
    if (upper == 221)
        return {Y}; // Ý
    return {};      // Þ, and the signs × ÷
}

// The letters the masking hides until a box shows them; everything else,
// the signs × and ÷ included, is copied. Þ and þ, letters without a box,
// always stay hidden.
constexpr bool isLetter(char16_t c)
{
    return letterBoxes(c).first >= 0 || c == u'Þ' || c == u'þ';
}

} // namespace lexorne::detail
