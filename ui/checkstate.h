// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Board values (0 unticked, 1 ticked, 2 greyed) against Qt::CheckState, which
// numbers greyed 1 and ticked 2. Always convert through these, never by cast.
#pragma once

#include "engine/engine.h"

#include <Qt>

namespace lexorne {

constexpr Qt::CheckState toCheckState(LetterState state)
{
    switch (state) {
    case LetterState::Ticked:
        return Qt::Checked;
    case LetterState::Greyed:
        return Qt::PartiallyChecked;
    case LetterState::Unticked:
        break;
    }
    return Qt::Unchecked;
}

constexpr LetterState toLetterState(Qt::CheckState state)
{
    switch (state) {
    case Qt::Checked:
        return LetterState::Ticked;
    case Qt::PartiallyChecked:
        return LetterState::Greyed;
    case Qt::Unchecked:
        break;
    }
    return LetterState::Unticked;
}

} // namespace lexorne
