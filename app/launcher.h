// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The program users start on Linux loads no Qt at all: it only looks at its
// arguments (cli/windowoptions.h) and execs the window program or the
// command-line program installed beside it, so that each start pays for the
// libraries it uses and no more. It needs only the C library.
#pragma once

namespace lexorne::app {

// Replaces this process with the program at `relative`, a path relative to
// this program's own folder (never found through PATH), with the same
// arguments and environment. Returns only when that failed, with the exit
// status, after a one-line message on standard error that names `what`.
int execBeside(const char *relative, const char *what, char *argv[]);

} // namespace lexorne::app
