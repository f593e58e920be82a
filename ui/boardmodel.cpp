// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/boardmodel.h"

namespace lexorne {

LetterState BoardModel::state(int index) const
{
    if (index < 0 || index >= kLetterCount)
        return LetterState::Unticked;
    return m_states[index];
}

Board BoardModel::board() const
{
    Board board;
    board.states = m_states;
    return board;
}

void BoardModel::setState(int index, LetterState state)
{
    if (index < 0 || index >= kLetterCount || m_states[index] == state)
        return;
    m_states[index] = state;
    emit letterChanged(index, state);
}

void BoardModel::setStates(const States &states)
{
    for (int k = 0; k < kLetterCount; ++k)
        setState(k, states[k]);
}

} // namespace lexorne
