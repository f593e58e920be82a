// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line program on Linux: Qt Core only, execed by `lexorne` for
// any argument that is not one of Qt's window options.
#include "cli/cli.h"

int main(int argc, char *argv[])
{
    return lexorne::cli::run(lexorne::cli::argumentList(argc, argv));
}
