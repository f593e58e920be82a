#include "frmAbout.h"

namespace lexorne {

frmAbout::frmAbout(QWidget *owner, AboutOptions options)
    : QDialog(owner), m_options(std::move(options))
{
}

} // namespace lexorne
