// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/board.h"

#include "engine/engine.h"

namespace lexorne {

namespace {

using detail::Latin1Set;

constexpr Latin1Set kLetters = Latin1Set::where(detail::isLetter);

// The units that box k shows when ticked (with captions "A".."Z").
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

// The boxes' own captions "A".."Z" allow the sets above, fixed at compile time.
bool hasStandardCaptions(const Board &board)
{
    for (int i = 0; i < kLetterCount; ++i)
        if (board.captions[i].size() != 1 || board.captions[i][0] != QChar(u'A' + i))
            return false;
    return true;
}

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

std::array<QString, kLetterCount> Board::standardCaptions()
{
    std::array<QString, kLetterCount> captions;
    for (int i = 0; i < kLetterCount; ++i)
        captions[i] = QChar(u'A' + i);
    return captions;
}

Board Board::fromLetters(QStringView ticked, QStringView greyed)
{
    Board board;
    setLetters(board, greyed, LetterState::Greyed);
    setLetters(board, ticked, LetterState::Ticked);
    return board;
}

MaskedCodes::MaskedCodes(const Board &board)
{
    if (hasStandardCaptions(board)) {
        Latin1Set shown;
        for (int k = 0; k < kLetterCount; ++k)
            if (board.isTicked(k))
                shown = shown | kShownBy[k];
        m_set = kLetters.minus(shown);
        return;
    }
    // Other captions: ask the character rule, unit by unit.
    std::array<bool, Latin1Set::kUnits> hidden{};
    for (int unit = 0; unit < Latin1Set::kUnits; ++unit) {
        const QChar c{char16_t(unit)};
        hidden[unit] = detail::isLetter(c.unicode()) && RevealCharacter(c, board) == u'*';
    }
    m_set = Latin1Set::fromMembers(hidden);
}

} // namespace lexorne
