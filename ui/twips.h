// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Design geometry in twips (1/1440 inch): 15 to a pixel at 96 dpi with the
// small font the windows were drawn for. Each window scales its whole design
// by one factor, chosen so that its controls fit at the real font.
#pragma once

#include <QRect>
#include <QtMath>

namespace lexorne::twips {

inline constexpr double kPerPixel = 15.0;

struct Rect
{
    int left, top, width, height;
};

// Edges are rounded, not sizes, so that neighbours keep their spacing.
inline QRect toPixels(const Rect &r, double scale)
{
    const auto px = [scale](double twips) {
        return qRound(twips * scale / kPerPixel);
    };
    const int left = px(r.left);
    const int top = px(r.top);
    return {left, top, px(r.left + r.width) - left, px(r.top + r.height) - top};
}

// The scale at which `pixels` fit into `twips`, one pixel spare for rounding.
inline double scaleToFit(int pixels, int twips)
{
    return twips > 0 ? (pixels + 1) * kPerPixel / twips : 0.0;
}

} // namespace lexorne::twips
