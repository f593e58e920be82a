#include "frmMain.h"

#include "version.h"

namespace lexorne {

frmMain::frmMain(settings::Store &store, QWidget *parent) : QWidget(parent), m_store(store)
{
    setWindowTitle(QString::fromLatin1(kMainWindowCaption));
}

} // namespace lexorne
