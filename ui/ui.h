// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// User interface: the main window frmMain and the about window frmAbout,
// the mapping between board values and Qt::CheckState, and the letter-count
// tooltips of the main window.
#pragma once

#include "ui/checkstate.h"
#include "ui/frmAbout.h"
#include "ui/frmMain.h"
#include "ui/lettercounts.h"
