// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line on Linux: a module with Qt Core, loaded by `lexorne` for
// any argument that is not one of Qt's window options. Loaded rather than
// execed, the command line starts as fast as a program of its own would.
#include "app/launcher.h"
#include "cli/cli.h"

#include <type_traits>

extern "C" __attribute__((visibility("default"))) int lexorne_command_line(int argc, char *argv[])
{
    return lexorne::cli::run(lexorne::cli::argumentList(argc, argv));
}

// The launcher calls the entry through this type.
static_assert(std::is_same_v<decltype(lexorne_command_line), LexorneCommandLine>);
