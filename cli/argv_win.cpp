// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// main()'s argv on Windows is in the ANSI code page, which loses every
// character outside it (a file named "цитата.txt" on a French system): the
// arguments come from the wide command line instead, split by Windows' own
// rules.
#include "cli/cli.h"

#include <windows.h>

#include <shellapi.h>

namespace lexorne::cli {

QStringList argumentList(int, char *[])
{
    QStringList arguments;
    int count = 0;
    wchar_t **words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words == nullptr)
        return arguments;
    arguments.reserve(count);
    for (int i = 1; i < count; ++i)
        arguments.append(QString::fromWCharArray(words[i]));
    LocalFree(words);
    return arguments;
}

} // namespace lexorne::cli
