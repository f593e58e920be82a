// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// What screen readers are told about controls whose stock description falls
// short: a check box reports exactly one of its three states (Qt's own reports
// a greyed box as ticked and greyed at once), a drop-down list is known by
// the name the program gives it rather than by its current entry, and the
// about window's web link is a link that can be pressed.
#pragma once

namespace lexorne {

// Installs the descriptions for the whole application; later calls do
// nothing. Must run before the first control of the kinds concerned is shown
// to an assistive technology; both windows call it when they are built.
void installAccessibility();

} // namespace lexorne
