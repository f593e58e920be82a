// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Letter counts: how many characters of a quotation each box of the board
// would reveal, and which boxes still hide some, classified exactly as the
// masking classifies them.
//
// A character counts for box k when ticking k alone turns it from "*" back
// into itself: the plain letter in both cases and its accented forms. Æ æ
// show when A or E is ticked, Œ œ when O or E is, so each counts for both.
// Characters that no box ever shows count for no box.
#pragma once

#include "engine/board.h"

#include <QList>
#include <QString>

#include <array>

namespace lexorne {

class LetterTally
{
public:
    // Characters of the quotation that box `box` (0 = A .. 25 = Z) reveals
    // when ticked; 0 for an index outside the board.
    qsizetype occurrences(int box) const;

    // Whether any box reveals a character of the quotation.
    bool hasLetters() const;

    // The boxes, in alphabetical order, that are not ticked on `board` and
    // whose ticking would reveal a character the board still hides. Empty
    // once every letter of the quotation shows.
    QList<int> hiddenLetters(const Board &board) const;

    // Characters of the quotation that `board` turns into "*".
    qsizetype hiddenCount(const Board &board) const;

private:
    friend LetterTally CountLetters(const QString &quotation);

    // Occurrences per code unit below U+0200 in the NFC quotation.
    std::array<qsizetype, detail::Latin1Set::kUnits> m_codes{};
    std::array<qsizetype, kLetterCount> m_boxes{};
};

// Counts the letters of the quotation after bringing it to NFC, as the
// masking does: decomposed "e" + U+0301 counts as an é. One pass over the
// text; a second, and one copy, only for text that may not be in NFC.
LetterTally CountLetters(const QString &quotation);

} // namespace lexorne
