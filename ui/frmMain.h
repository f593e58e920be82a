#pragma once

#include "settings.h"

#include <QWidget>

namespace lexorne {

class frmMain : public QWidget
{
    Q_OBJECT
public:
    explicit frmMain(settings::Store &store, QWidget *parent = nullptr);

private:
    settings::Store &m_store;
};

} // namespace lexorne
