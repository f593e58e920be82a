// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// What a control needs so that nothing it shows is cut: the one rule the
// main window's layout scales by, and its tests check.
#pragma once

#include <QSize>

class QWidget;

namespace lexorne {

QSize requiredSize(const QWidget *widget);

} // namespace lexorne
