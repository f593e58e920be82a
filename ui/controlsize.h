// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// What a control needs so that nothing it shows is cut: the one rule the
// main window's layout scales by, and its tests check.
#pragma once

#include <QSize>

class QWidget;

namespace lexorne {

QSize requiredSize(const QWidget *widget);

// The height at which a list or a text box (a scroll area) shows `lines`
// lines of its font, frame and item spacing included: what the game panel's
// boxes are given at least, so that the panel never squeezes them to a
// sliver.
int heightForLines(const QWidget *box, int lines);

} // namespace lexorne
