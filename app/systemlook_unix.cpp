// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// On Linux the platform theme hands over the desktop's palette, light or
// dark, and every style draws it.
#include "app/systemlook.h"

namespace lexorne::app {

void followSystemLook() {}

} // namespace lexorne::app
