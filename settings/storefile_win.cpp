// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/storefile.h"

namespace lexorne::settings {

// The store is the user's registry, whose key is private to the user.
void makePrivate(const QString &, bool) {}

} // namespace lexorne::settings
