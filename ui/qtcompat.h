// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Where the Qt versions the project builds on (6.4 to the newest) differ in
// API, the one version check that picks the call, so that callers write it
// once and build warning-free on each.
#pragma once

#include <QCheckBox>
#include <QtGlobal>

namespace lexorne::qtcompat {

// The signal a check box sends when its state changes, whoever changed it.
// Qt 6.7 added checkStateChanged and deprecated stateChanged.
#if QT_VERSION >= QT_VERSION_CHECK(6, 7, 0)
inline constexpr auto checkBoxStateChanged = &QCheckBox::checkStateChanged;
#else
inline constexpr auto checkBoxStateChanged = &QCheckBox::stateChanged;
#endif

} // namespace lexorne::qtcompat
