// User interface: the main window frmMain and the about window frmAbout,
// plus the mapping between board values and Qt::CheckState.
#pragma once

#include "checkstate.h"
#include "frmAbout.h"
#include "frmMain.h"
