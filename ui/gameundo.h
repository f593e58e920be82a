// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// What the main window's undo stack holds: a tick of one letter box, and a
// reset of the whole game with what it cleared.
#pragma once

#include "ui/boardmodel.h"

#include <QString>
#include <QUndoCommand>

#include <functional>

namespace lexorne {

class TickCommand : public QUndoCommand
{
public:
    TickCommand(BoardModel &board, int index, LetterState before, LetterState after);
    void undo() override;
    void redo() override;

private:
    BoardModel &m_board;
    int m_index;
    LetterState m_before;
    LetterState m_after;
};

// The game as a reset finds it, to bring it back.
struct GameSnapshot
{
    QString quotation;
    BoardModel::States letters{};
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
