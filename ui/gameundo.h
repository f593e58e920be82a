// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window's undo stack holds: one step of the game (a tick of
// one letter box with its credit, a guess, a change of the miss limit, the
// reveal), and a reset of the whole game with what it cleared.
#pragma once

#include "game/game.h"
#include "ui/boardmodel.h"

#include <QString>
#include <QUndoCommand>

#include <functional>

namespace lexorne {

// One step: the ledger before and after and, for a tick, the letter's two
// states. `setLedger` puts a ledger in place; `shown`, when set, is told
// after each redo (true) and undo (false).
class GameStepCommand : public QUndoCommand
{
public:
    struct Letter
    {
        int index = -1; // no letter changes
        LetterState before = LetterState::Unticked;
        LetterState after = LetterState::Unticked;
    };

    GameStepCommand(const QString &text, BoardModel &board,
                    std::function<void(const game::StoredLedger &)> setLedger,
                    game::StoredLedger before, game::StoredLedger after, Letter letter);
    void undo() override;
    void redo() override;

    std::function<void(bool redo)> shown;

private:
    BoardModel &m_board;
    std::function<void(const game::StoredLedger &)> m_setLedger;
    game::StoredLedger m_before;
    game::StoredLedger m_after;
    Letter m_letter;
};

// The game as a reset finds it, to bring it back.
struct GameSnapshot
{
    QString quotation;
    BoardModel::States letters{};
    game::StoredLedger ledger;
    QString shownResult;
};

class ResetCommand : public QUndoCommand
{
public:
    // reset clears the game; restore brings back the snapshot taken before.
    ResetCommand(GameSnapshot before, std::function<void()> reset,
                 std::function<void(const GameSnapshot &)> restore);
    void undo() override;
    void redo() override;

private:
    GameSnapshot m_before;
    std::function<void()> m_reset;
    std::function<void(const GameSnapshot &)> m_restore;
};

} // namespace lexorne
