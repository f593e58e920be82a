// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// User interface: the main window frmMain and the about window frmAbout,
// plus the mapping between board values and Qt::CheckState.
#pragma once

#include "ui/checkstate.h"
#include "ui/frmAbout.h"
#include "ui/frmMain.h"
