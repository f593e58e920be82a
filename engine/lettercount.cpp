// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/lettercount.h"

#include "engine/nfc.h"

#include <algorithm>
#include <cstdint>

namespace lexorne {

namespace {

using CodeFlags = std::array<bool, 256>;

// Every Latin-1 code once, in order. All of them lie below U+0300, so the
// masking keeps their positions and never normalizes them: rendering this
// text under a board says, at position c, what the masking makes of code c.
const QString &everyCode()
{
    static const QString text = [] {
        QString codes(256, Qt::Uninitialized);
        for (int c = 0; c < 256; ++c)
            codes[c] = QChar(char16_t(c));
        return codes;
    }();
    return text;
}

// The codes the masking turns into "*" under this board. The table comes
// from the masking itself, so the counts can never disagree with it.
CodeFlags hiddenUnder(const Board &board)
{
    const QString masked = RenderQuotation(everyCode(), board, false);
    CodeFlags hidden{};
    for (int c = 0; c < 256; ++c)
        hidden[c] = c != u'*' && masked.at(c) == u'*';
    return hidden;
}

struct RevealTable
{
    // reveals[k][c]: ticking box k alone turns code c from "*" into itself.
    std::array<CodeFlags, kLetterCount> reveals{};
    // The boxes that reveal code c, -1 for a free place: a plain or accented
    // letter has one box, Æ and æ two, every other code none.
    std::array<std::array<int, 2>, 256> boxesOf{};
};

const RevealTable &revealTable()
{
    static const RevealTable table = [] {
        RevealTable t;
        for (auto &boxes : t.boxesOf)
            boxes.fill(-1);
        const CodeFlags hiddenByDefault = hiddenUnder(Board{});
        for (int k = 0; k < kLetterCount; ++k) {
            Board only;
            only.states[k] = LetterState::Ticked;
            const CodeFlags hidden = hiddenUnder(only);
            for (int c = 0; c < 256; ++c) {
                t.reveals[k][c] = hiddenByDefault[c] && !hidden[c];
                if (t.reveals[k][c])
                    (t.boxesOf[c][0] < 0 ? t.boxesOf[c][0] : t.boxesOf[c][1]) = k;
            }
        }
        return t;
    }();
    return table;
}

// Below U+0300 no code unit is a combining mark or composes with what
// precedes it, so text made only of such units is already NFC.
constexpr char16_t kFirstNonTrivialNfc = 0x300;

// Typographic punctuation (’ “ ” — …) and currency signs: common in pasted
// French text, and left alone by NFC whatever precedes them.
constexpr bool isNfcInert(char16_t c)
{
    return (c >= 0x2010 && c <= 0x205E) || (c >= 0x20A0 && c <= 0x20C0);
}

bool mayNeedNfc(const char16_t *in, qsizetype n)
{
    return std::any_of(in, in + n,
                       [](char16_t c) { return c >= kFirstNonTrivialNfc && !isNfcInert(c); });
}

// Slot of a code unit in the tally: its own code below 256, then one slot
// for the rest of the units below U+0300 and one for those from there up.
constexpr unsigned kAboveLatin1 = 256;
constexpr unsigned kMayCompose = 257;
constexpr unsigned slotOf(char16_t c)
{
    return c < 256 ? c : c < kFirstNonTrivialNfc ? kAboveLatin1 : kMayCompose;
}

// Occurrences per Latin-1 code.
using CodeCounts = std::array<qsizetype, 256>;

// Adds the Latin-1 codes of n units to `codes`; returns whether any unit from
// U+0300 up was seen.
bool tallyUnits(const char16_t *in, qsizetype n, CodeCounts &codes)
{
    // Four tables, one per unit of each group of four, so that a run of one
    // letter does not wait on its own increments. 32-bit counters stay in the
    // first-level cache; a chunk is small enough that none overflows.
    constexpr qsizetype kChunk = qsizetype(1) << 31;
    constexpr int kWays = 4;
    std::array<std::array<std::uint32_t, 258>, kWays> part;
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
        for (int c = 0; c < 256; ++c)
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
    const CodeFlags hidden = hiddenUnder(board);
    for (int k = 0; k < kLetterCount; ++k) {
        if (board.isTicked(k) || m_boxes[k] == 0)
            continue;
        for (int c = 0; c < 256; ++c) {
            if (m_codes[c] > 0 && reveals[k][c] && hidden[c]) {
                letters.append(k);
                break;
            }
        }
    }
    return letters;
}

LetterTally CountLetters(const QString &quotation)
{
    LetterTally tally;
    const char16_t *units = unitsOf(quotation);
    if (tallyUnits(units, quotation.size(), tally.m_codes) && mayNeedNfc(units, quotation.size())) {
        // Decomposed input (e + U+0301) counts as the precomposed letter.
        const QString nfc = detail::toNfc(quotation);
        tally.m_codes.fill(0);
        tallyUnits(unitsOf(nfc), nfc.size(), tally.m_codes);
    }
    const auto &boxesOf = revealTable().boxesOf;
    for (int c = 0; c < 256; ++c)
        for (int k : boxesOf[c])
            if (k >= 0)
                tally.m_boxes[k] += tally.m_codes[c];
    return tally;
}

} // namespace lexorne
