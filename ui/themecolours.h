// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The windows take every colour from the palette; these pick the palette
// role for the result box and measure how readable text is on a background.
#pragma once

#include <QColor>
#include <QPalette>

namespace lexorne {

// Relative luminance in the WCAG sense: 0 for black, 1 for white. Alpha is
// ignored.
double relativeLuminance(const QColor &colour);

// WCAG contrast ratio of two colours, from 1 (the same) to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);

// The smallest contrast at which two background tones still read as two
// different areas.
inline constexpr double kDistinctBackgrounds = 1.15;
// Text needs this much contrast with its background (WCAG AA, normal text).
inline constexpr double kReadableText = 4.5;
// An underlined link under the pointer needs this much.
inline constexpr double kReadableLink = 3.0;

// The role that paints the result box's background in `group`: a neutral grey
// set apart from the editable boxes' Base and from the window, that keeps the
// palette's Text readable. Mid when it qualifies, as it does on the usual
// light palettes; otherwise the first of Dark, Light, Midlight, Button and
// AlternateBase that does; failing all, the readable role furthest from
// Base, and Base itself when no other is readable.
QPalette::ColorRole workspaceRole(const QPalette &palette, QPalette::ColorGroup group);

// The role that draws a link under the pointer in `group`: Link when it reads
// on the window, as on every usual palette; otherwise the first of
// LinkVisited and Highlight that does (a theme that derives its link colour
// from an accent colour it could not read gives a black link on a dark
// window); failing both, WindowText, which the underline still marks.
QPalette::ColorRole linkRole(const QPalette &palette, QPalette::ColorGroup group);

// A palette that sets only Base, in every group, to the colour of the
// workspace role chosen on `source`'s active colours: the result box given it
// takes every other colour from its parent as usual.
QPalette workspacePalette(const QPalette &source);

} // namespace lexorne
