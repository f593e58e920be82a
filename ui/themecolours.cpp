// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/themecolours.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lexorne {

namespace {

double linearChannel(double value)
{
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

} // namespace

double relativeLuminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linearChannel(rgb.redF()) + 0.7152 * linearChannel(rgb.greenF()) +
           0.0722 * linearChannel(rgb.blueF());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QPalette::ColorRole workspaceRole(const QPalette &palette, QPalette::ColorGroup group)
{
    const QColor base = palette.color(group, QPalette::Base);
    const QColor window = palette.color(group, QPalette::Window);
    const QColor text = palette.color(group, QPalette::Text);
    const auto readable = [&](QPalette::ColorRole role) {
        return contrastRatio(text, palette.color(group, role)) >= kReadableText;
    };
    const auto apart = [&](QPalette::ColorRole role) {
        const QColor colour = palette.color(group, role);
        return contrastRatio(colour, base) >= kDistinctBackgrounds &&
               contrastRatio(colour, window) >= kDistinctBackgrounds;
    };

    constexpr std::array candidates{QPalette::Mid,      QPalette::Dark,   QPalette::Light,
                                    QPalette::Midlight, QPalette::Button, QPalette::AlternateBase};
    for (QPalette::ColorRole role : candidates) {
        if (readable(role) && apart(role))
            return role;
    }
    // A flat theme: stand out from Base as far as readable text allows.
    QPalette::ColorRole best = QPalette::Base;
    double bestDistance = 1.0;
    for (QPalette::ColorRole role : candidates) {
        const double distance = contrastRatio(palette.color(group, role), base);
        if (readable(role) && distance > bestDistance) {
            best = role;
            bestDistance = distance;
        }
    }
    return best;
}

QPalette::ColorRole linkRole(const QPalette &palette, QPalette::ColorGroup group)
{
    const QColor window = palette.color(group, QPalette::Window);
    for (QPalette::ColorRole role : {QPalette::Link, QPalette::LinkVisited, QPalette::Highlight}) {
        if (contrastRatio(palette.color(group, role), window) >= kReadableLink)
            return role;
    }
    return QPalette::WindowText;
}

QPalette workspacePalette(const QPalette &source)
{
    // One role for every group, chosen on the active colours: disabled text
    // is faint on purpose and must not pick another tone.
    const QPalette::ColorRole role = workspaceRole(source, QPalette::Active);
    QPalette result;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        result.setBrush(group, QPalette::Base, source.brush(group, role));
    return result;
}

} // namespace lexorne
