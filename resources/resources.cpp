#include "resources.h"

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
    return QCursor(Qt::PointingHandCursor);
}

} // namespace lexorne::resources
