// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/board.h"

namespace lexorne {

namespace {

using detail::Latin1Set;

constexpr Latin1Set kLetters = Latin1Set::where(detail::isLetter);

// The units that box k shows when ticked.
constexpr std::array<Latin1Set, kLetterCount> kShownBy = [] {
    std::array<Latin1Set, kLetterCount> shown{};
    for (int k = 0; k < kLetterCount; ++k) {
        shown[k] = Latin1Set::where([k](char16_t c) {
            const detail::LetterBoxes boxes = detail::letterBoxes(c);
            return boxes.first == k || boxes.second == k;
        });
    }
    return shown;
}();

void setLetters(Board &board, QStringView letters, LetterState state)
{
    for (const QChar c : letters) {
        const char16_t u = c.unicode();
        if (u >= u'A' && u <= u'Z')
            board.states[u - u'A'] = state;
        else if (u >= u'a' && u <= u'z')
            board.states[u - u'a'] = state;
    }
}

} // namespace

Board Board::fromLetters(QStringView ticked, QStringView greyed)
{
    Board board;
    setLetters(board, greyed, LetterState::Greyed);
    setLetters(board, ticked, LetterState::Ticked);
    return board;
}

MaskedCodes::MaskedCodes(const Board &board)
{
    Latin1Set shown;
    for (int k = 0; k < kLetterCount; ++k)
        if (board.isTicked(k))
            shown = shown | kShownBy[k];
    m_set = kLetters.minus(shown);
}

} // namespace lexorne
