// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/lettercount.h"

#include "engine/nfc.h"

#include <algorithm>
#include <cstdint>

namespace lexorne {

namespace {

constexpr int kUnits = detail::Latin1Set::kUnits;

struct RevealTable
{
    // reveals[k]: the units that ticking box k alone turns from "*" back
    // into themselves.
    std::array<detail::Latin1Set, kLetterCount> reveals{};
    // The boxes that reveal unit c, -1 for a free place: a plain or accented
    // letter has one box, Æ and æ two, every other unit none.
    std::array<std::array<int, 2>, kUnits> boxesOf{};
};

const RevealTable &revealTable()
{
    static const RevealTable table = [] {
        RevealTable t;
        for (auto &boxes : t.boxesOf)
            boxes.fill(-1);
        const MaskedCodes hiddenByDefault{Board{}};
        for (int k = 0; k < kLetterCount; ++k) {
            Board only;
            only.states[k] = LetterState::Ticked;
            const MaskedCodes hidden{only};
            t.reveals[k] = hiddenByDefault.set().minus(hidden.set());
            for (int c = 0; c < kUnits; ++c)
                if (t.reveals[k].contains(char16_t(c)))
                    (t.boxesOf[c][0] < 0 ? t.boxesOf[c][0] : t.boxesOf[c][1]) = k;
        }
        return t;
    }();
    return table;
}

// Slot of a code unit in the tally: its own below U+0200, then one slot for
// the rest of the units that are NFC safe cuts and one for the others.
constexpr unsigned kOtherSafe = kUnits;
constexpr unsigned kMayCompose = kUnits + 1;
constexpr unsigned slotOf(char16_t c)
{
    return c < kUnits ? c : isNfcSafeCut(c) ? kOtherSafe : kMayCompose;
}

// Occurrences per unit below U+0200.
using CodeCounts = std::array<qsizetype, kUnits>;

// Adds the units below U+0200 of n units to `codes`; returns whether any
// unit that may compose was seen.
bool tallyUnits(const char16_t *in, qsizetype n, CodeCounts &codes)
{
    // Four tables, one per unit of each group of four, so that a run of one
    // letter does not wait on its own increments. 32-bit counters stay in the
    // first-level cache; a chunk is small enough that none overflows.
    constexpr qsizetype kChunk = qsizetype(1) << 31;
    constexpr int kWays = 4;
    std::array<std::array<std::uint32_t, kUnits + 2>, kWays> part;
    bool wide = false;
    for (qsizetype start = 0; start < n; start += kChunk) {
        for (auto &table : part)
            table.fill(0);
        const qsizetype end = std::min(n, start + kChunk);
        qsizetype i = start;
        for (; i + kWays <= end; i += kWays) {
            ++part[0][slotOf(in[i])];
            ++part[1][slotOf(in[i + 1])];
            ++part[2][slotOf(in[i + 2])];
            ++part[3][slotOf(in[i + 3])];
        }
        for (; i < end; ++i)
            ++part[0][slotOf(in[i])];
        for (int c = 0; c < kUnits; ++c)
            codes[c] += qsizetype(part[0][c]) + part[1][c] + part[2][c] + part[3][c];
        for (const auto &table : part)
            wide |= table[kMayCompose] != 0;
    }
    return wide;
}

const char16_t *unitsOf(const QString &text)
{
    return reinterpret_cast<const char16_t *>(text.utf16());
}

} // namespace

qsizetype LetterTally::occurrences(int box) const
{
    return box >= 0 && box < kLetterCount ? m_boxes[box] : 0;
}

bool LetterTally::hasLetters() const
{
    return std::any_of(m_boxes.begin(), m_boxes.end(), [](qsizetype n) { return n > 0; });
}

QList<int> LetterTally::hiddenLetters(const Board &board) const
{
    QList<int> letters;
    if (!hasLetters())
        return letters;
    const auto &reveals = revealTable().reveals;
    const MaskedCodes hidden(board);
    for (int k = 0; k < kLetterCount; ++k) {
        if (board.isTicked(k) || m_boxes[k] == 0)
            continue;
        for (int c = 0; c < kUnits; ++c) {
            if (m_codes[c] > 0 && reveals[k].contains(char16_t(c)) && hidden.hides(char16_t(c))) {
                letters.append(k);
                break;
            }
        }
    }
    return letters;
}

qsizetype LetterTally::hiddenCount(const Board &board) const
{
    const MaskedCodes hidden(board);
    qsizetype count = 0;
    for (int c = 0; c < kUnits; ++c)
        if (m_codes[c] > 0 && hidden.hides(char16_t(c)))
            count += m_codes[c];
    return count;
}

LetterTally CountLetters(const QString &quotation)
{
    LetterTally tally;
    const char16_t *units = unitsOf(quotation);
    if (tallyUnits(units, quotation.size(), tally.m_codes) && mayNeedNfc(quotation)) {
        // Decomposed input (e + U+0301) counts as the precomposed letter.
        const QString nfc = toNfc(quotation);
        tally.m_codes.fill(0);
        tallyUnits(unitsOf(nfc), nfc.size(), tally.m_codes);
    }
    const auto &boxesOf = revealTable().boxesOf;
    for (int c = 0; c < kUnits; ++c)
        for (int k : boxesOf[c])
            if (k >= 0)
                tally.m_boxes[k] += tally.m_codes[c];
    return tally;
}

} // namespace lexorne
