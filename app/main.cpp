#include "frmMain.h"

#include "version.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(lexorne::kOrganization));
    QApplication::setApplicationName(QString::fromLatin1(lexorne::kApplicationTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(lexorne::kVersionString));

    lexorne::settings::Store store;
    lexorne::frmMain window(store);
    window.show();
    return QApplication::exec();
}
