// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The program users start on Linux: Qt Core only, so that the command line
// pays for nothing else. It answers the command line itself and hands the
// window over to the window program installed beside it.
#pragma once

namespace lexorne::app {

// Replaces this process with the window program, found relative to this
// program's own file (never through PATH), with the same arguments and
// environment. Returns only when that failed, with the exit status after
// a one-line message on standard error.
int execWindowProgram(char *argv[]);

} // namespace lexorne::app
