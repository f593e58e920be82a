// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The program users start on Linux loads no Qt at all: it only looks at its
// arguments (cli/windowoptions.h), then loads the command line (a module
// with Qt Core) into itself or execs the window program, both installed
// beside it, so that each start pays for the libraries it uses and no more.
// It needs only the C library.
#pragma once

// What the command-line module exports: runs the command line on the
// process's arguments and returns its exit status.
extern "C" using LexorneCommandLine = int(int argc, char *argv[]);
inline constexpr const char *kCommandLineEntry = "lexorne_command_line";

namespace lexorne::app {

// Replaces this process with the program at `relative`, a path relative to
// this program's own folder (never found through PATH), with the same
// arguments and environment. Returns only when that failed, with the exit
// status, after a one-line message on standard error.
int execWindow(const char *relative, char *argv[]);

// Loads the module at `relative` (the same way) and returns what its
// command line returns; on failure, 1 after a one-line message.
int runCommandLine(const char *relative, int argc, char *argv[]);

} // namespace lexorne::app
