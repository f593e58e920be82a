// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gameundo.h"

#include <utility>

namespace lexorne {

namespace {

QString letterName(int index)
{
    return QString(QChar(char16_t(u'A' + index)));
}

} // namespace

TickCommand::TickCommand(BoardModel &board, int index, LetterState before, LetterState after)
    : QUndoCommand(after == LetterState::Ticked
                       ? QStringLiteral("Cocher %1").arg(letterName(index))
                       : QStringLiteral("Décocher %1").arg(letterName(index))),
      m_board(board), m_index(index), m_before(before), m_after(after)
{}

void TickCommand::undo()
{
    m_board.setState(m_index, m_before);
}

void TickCommand::redo()
{
    m_board.setState(m_index, m_after);
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
