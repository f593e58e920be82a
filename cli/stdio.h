// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Internal to the command line: the process's standard streams as raw bytes
// (no text-mode translation anywhere), with every failure put into words.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lexorne::cli::detail {

struct Input
{
    QByteArray bytes;
    QString error; // a French message when the input could not be read
};

// The whole of file, or of standard input when file is empty or "-".
Input readInput(const QString &file);

// Writes all of bytes to standard output; a French message when it could
// not, empty on success.
QString writeOutput(QByteArrayView bytes);

// "lexorne : message" and a line feed on standard error.
void writeError(const QString &message);

} // namespace lexorne::cli::detail
