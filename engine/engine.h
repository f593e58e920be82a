// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Puzzle engine: turns a quotation and the letter board into the text the
// game master posts, with the optional log of proposed letters.
//
// Every function here is pure: the caller reads its widgets and passes the
// values in. Nothing is kept between calls.
#pragma once

#include <QChar>
#include <QString>

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

// The letter board: box i holds a state and a caption. Only a box whose
// state is Ticked counts as proposed.
struct Board
{
    std::array<LetterState, kLetterCount> states{};
    std::array<QString, kLetterCount> captions = standardCaptions();

    // "A" .. "Z", the captions the window's board always carries.
    static std::array<QString, kLetterCount> standardCaptions();

    bool isTicked(int index) const { return states[index] == LetterState::Ticked; }
};

// Output for one character that the engine classifies as a letter: the
// character itself when a ticked box's caption matches it (either case),
// otherwise RevealAccented(c, board).
QChar RevealCharacter(QChar c, const Board &board);

// The accent rule: an accented letter follows its base letter's box; a plain
// letter that reached here, and the signs and letters without a base, give '*'.
QChar RevealAccented(QChar c, const Board &board);

// Appends three carriage returns and the log line ("   E - N", empty when no
// box is ticked) to text, and returns the combined text.
QString AppendLetterLog(QString &text, const Board &board);

// Masks the whole quotation (brought to NFC first) and, when withLog is set,
// appends the proposed-letter log. The masked part has exactly the length of
// the NFC quotation. Any length works.
QString RenderQuotation(const QString &quotation, const Board &board, bool withLog);

} // namespace lexorne
