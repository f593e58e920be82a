// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The system's light or dark setting, followed in the style the platform
// picks wherever that style can draw it. One source file per platform.
#pragma once

namespace lexorne::app {

// Called once the application object exists: keeps the windows' style and
// palette in step with the system's light or dark setting, now and when it
// changes. A style asked for by the user (-style, QT_STYLE_OVERRIDE) stays.
void followSystemLook();

} // namespace lexorne::app
