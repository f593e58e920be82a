// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/launcher.h"
#include "cli/cli.h"

int main(int argc, char *argv[])
{
    using namespace lexorne;
    if (const QStringList arguments = cli::argumentList(argc, argv); !cli::opensWindow(arguments))
        return cli::run(arguments);
    return app::execWindowProgram(argv);
}
