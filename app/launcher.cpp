// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/launcher.h"
#include "cli/windowoptions.h"

int main(int argc, char *argv[])
{
    using namespace lexorne;
    // LEXORNE_WINDOW_PROGRAM and LEXORNE_COMMAND_LINE_MODULE: paths relative
    // to this program's folder, the same in the build tree and once installed.
    if (argc < 1 || cli::opensWindow(argc - 1, argv + 1))
        return app::execWindow(LEXORNE_WINDOW_PROGRAM, argv);
    return app::runCommandLine(LEXORNE_COMMAND_LINE_MODULE, argc, argv);
}
