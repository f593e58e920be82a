// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Program resources: version facts (version.h), the application icon and the
// about window's images, compiled into the program.
#pragma once

#include "version/version.h"

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QPoint>

namespace lexorne::resources {

// The tip of the index finger in the link cursor's 32 x 32 image.
inline constexpr QPoint kLinkCursorHotSpot{13, 4};

// The application icon (16, 32, 48 and 64 px images).
QIcon applicationIcon();
// The 58 x 37 logo of the about window.
QPixmap aboutLogo();
// The pointing-hand cursor of the about window's links.
QCursor linkCursor();

} // namespace lexorne::resources
