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

QPixmap aboutLogo()
{
    return QPixmap(QStringLiteral(":/lexorne/images/logo.png"));
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
