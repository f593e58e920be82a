// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The arguments as the system hands them to main(), in the locale's encoding.
#include "cli/cli.h"

namespace lexorne::cli {

QStringList argumentList(int argc, char *argv[])
{
    QStringList arguments;
    arguments.reserve(argc);
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

} // namespace lexorne::cli
