// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// A Qt Core program that prints one line and ends: the floor for the
// command line's start-up.
#include "version/version.h"

#include <QByteArray>
#include <QString>

#include <cstdio>

int main()
{
    // As long as the program's own answer to --version.
    const QByteArray line = (QString::fromLatin1(lexorne::kApplicationTitle) + u' ' +
                             QString::fromLatin1(lexorne::kVersionString) + u'\n')
                                .toUtf8();
    return std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout) ==
                   std::size_t(line.size())
               ? 0
               : 1;
}
