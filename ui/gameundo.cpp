// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gameundo.h"

#include <utility>

namespace lexorne {

GameStepCommand::GameStepCommand(const QString &text, BoardModel &board,
                                 std::function<void(const game::StoredLedger &)> setLedger,
                                 game::StoredLedger before, game::StoredLedger after, Letter letter)
    : QUndoCommand(text), m_board(board), m_setLedger(std::move(setLedger)),
      m_before(std::move(before)), m_after(std::move(after)), m_letter(letter)
{}

void GameStepCommand::undo()
{
    if (m_letter.index >= 0)
        m_board.setState(m_letter.index, m_letter.before);
    m_setLedger(m_before);
    if (shown)
        shown(false);
}

void GameStepCommand::redo()
{
    // The board first: whoever follows the ledger sees the letter as ticked.
    if (m_letter.index >= 0)
        m_board.setState(m_letter.index, m_letter.after);
    m_setLedger(m_after);
    if (shown)
        shown(true);
}

ResetCommand::ResetCommand(GameSnapshot before, std::function<void()> reset,
                           std::function<void(const GameSnapshot &)> restore)
    : QUndoCommand(QStringLiteral("Reset")), m_before(std::move(before)), m_reset(std::move(reset)),
      m_restore(std::move(restore))
{}

void ResetCommand::undo()
{
    m_restore(m_before);
}

void ResetCommand::redo()
{
    m_reset();
}

} // namespace lexorne
