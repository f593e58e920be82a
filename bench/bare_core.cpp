// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// A Qt Core program that prints one line and ends: the floor for the
// command line's start-up.
#include <QByteArray>
#include <QString>

#include <cstdio>

int main()
{
    const QByteArray line = QStringLiteral("Lexorne 0.10\n").toUtf8();
    return std::fwrite(line.constData(), 1, std::size_t(line.size()), stdout) ==
                   std::size_t(line.size())
               ? 0
               : 1;
}
