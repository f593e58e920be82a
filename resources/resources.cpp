// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/resources.h"

namespace lexorne::resources {

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/lexorne/icons/lexorne-%1.png").arg(size), QSize(size, size));
    return icon;
}

QPixmap aboutLogo(qreal devicePixelRatio)
{
    // Nonsense ratios (zero, negative, NaN) fall back to plain pixels.
    const qreal ratio = devicePixelRatio >= 1.0 ? devicePixelRatio : 1.0;
    QString file = QStringLiteral(":/lexorne/images/logo@3x.png");
    if (ratio <= 1.0)
        file = QStringLiteral(":/lexorne/images/logo.png");
    else if (ratio <= 2.0)
        file = QStringLiteral(":/lexorne/images/logo@2x.png");
    QPixmap logo(file);
    if (logo.isNull())
        return logo;
    const QSize wanted(qRound(kLogoSize.width() * ratio), qRound(kLogoSize.height() * ratio));
    // Between the shipped densities (1.5, 2.5) or beyond them: scale down
    // from the next larger image, or up from the largest one.
    if (logo.size() != wanted)
        logo = logo.scaled(wanted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    logo.setDevicePixelRatio(ratio);
    return logo;
}

QCursor linkCursor()
{
    const QPixmap hand(QStringLiteral(":/lexorne/cursors/link.xpm"));
    // A build without the XPM reader still gets a pointing hand.
    if (hand.isNull())
        return QCursor(Qt::PointingHandCursor);
    return QCursor(hand, kLinkCursorHotSpot.x(), kLinkCursorHotSpot.y());
}

} // namespace lexorne::resources
