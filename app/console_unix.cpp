// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// A program started from a terminal has its standard streams already.
#include "app/console.h"

namespace lexorne::app {

void attachParentConsole() {}

bool standardInputIsSharedConsole()
{
    return false;
}

} // namespace lexorne::app
