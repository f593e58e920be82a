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
#include <QSize>

namespace lexorne::resources {

// The tip of the index finger in the link cursor's 32 x 32 image.
inline constexpr QPoint kLinkCursorHotSpot{13, 4};
// The about window's logo, in device-independent pixels.
inline constexpr QSize kLogoSize{58, 37};

// The application icon (16, 32, 48 and 64 px images).
QIcon applicationIcon();
// The logo of the about window, 58 x 37 device-independent pixels, drawn
// for the given device pixel ratio from the sharpest image that has at
// least as many pixels.
QPixmap aboutLogo(qreal devicePixelRatio = 1.0);
// The pointing-hand cursor of the about window's links.
QCursor linkCursor();

} // namespace lexorne::resources
