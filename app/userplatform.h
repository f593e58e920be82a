// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// What the single-instance check needs to know about the user and the
// platform's local sockets; one source file per platform.
#pragma once

#include <QString>

namespace lexorne::app::userplatform {

// The login of the user running the program; empty when unknown.
QString currentLogin();

// A folder for the lock file that only this user may write into; empty when
// the platform gives none (the temporary folder is used then).
QString privateFolder();

// Whether path may name the local socket itself. Otherwise the socket takes
// a bare name (Windows pipes always do).
bool fitsSocketPath(const QString &path);

} // namespace lexorne::app::userplatform
