// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Random inputs the suites share. Header only: for suites that link the
// engine.
#pragma once

#include "engine/board.h"

#include <QRandomGenerator>

namespace lexorne::testsupport {

// Every box unticked, ticked or greyed at random.
inline Board randomBoard(QRandomGenerator &random)
{
    Board board;
    for (LetterState &state : board.states)
        state = LetterState(random.bounded(3));
    return board;
}

} // namespace lexorne::testsupport
