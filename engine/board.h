// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The letter board and what it hides: the one statement of which characters
// the masking turns into "*" for a given board, for the masking itself, the
// letter counts and the command line's UTF-8 path alike.
#pragma once

#include "engine/latin1set.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>

namespace lexorne {

inline constexpr int kLetterCount = 26;

// Values of a letter box as the board and the settings store number them.
// They are NOT Qt::CheckState values (which number greyed 1 and ticked 2):
// convert with the helpers in ui/, never by casting.
enum class LetterState : std::uint8_t
{
    Unticked = 0,
    Ticked = 1,
    Greyed = 2,
};

// The letter board: box i holds the state of letter i, captioned "A" for 0
// to "Z" for 25. Only a box whose state is Ticked counts as proposed.
struct Board
{
    std::array<LetterState, kLetterCount> states{};

    // The board with the letters of `ticked` ticked and those of `greyed`
    // greyed (A-Z in either case; any other character is ignored), the
    // rest unticked.
    static Board fromLetters(QStringView ticked, QStringView greyed = {});

    bool isTicked(int index) const { return states[index] == LetterState::Ticked; }
    // Box index's caption, the capital letter it stands for.
    static QChar caption(int index) { return QChar(char16_t(u'A' + index)); }
};

// The UTF-16 code units that a board turns into "*" in NFC text. Every unit
// from U+0200 up is copied, so a table of the units below says it all.
class MaskedCodes
{
public:
    explicit MaskedCodes(const Board &board);

    bool hides(char16_t unit) const { return m_set.contains(unit); }

    // For the engine's and the highlight's block paths.
    const detail::Latin1Set &set() const { return m_set; }

private:
    detail::Latin1Set m_set;
};

} // namespace lexorne
