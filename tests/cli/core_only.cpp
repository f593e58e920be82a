// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line alone, as the program runs it: what this binary loads is
// what the command line needs.
#include "cli/cli.h"

int main(int argc, char *argv[])
{
    return lexorne::cli::run(lexorne::cli::argumentList(argc, argv));
}
