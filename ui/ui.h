// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// User interface: the main window frmMain and the about window frmAbout,
// plus the mapping between board values and Qt::CheckState, the palette
// roles and contrast measure the windows' colours rest on, and what screen
// readers are told about the controls, and the letter counts their tooltips
// show.
#pragma once

#include "ui/accessibility.h"
#include "ui/checkstate.h"
#include "ui/frmAbout.h"
#include "ui/frmMain.h"
#include "ui/lettercounts.h"
#include "ui/themecolours.h"
