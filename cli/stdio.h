// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Internal to the command line: the process's standard streams and the input
// file as raw bytes (no text-mode translation anywhere, file names as the
// bytes given), bounded, with every failure put into French words.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace lexorne::cli::detail {

// The most the command line reads: far beyond any quotation, and what it
// holds in memory a few times over while masking.
inline constexpr qsizetype kMaxInputBytes = qsizetype{256} * 1024 * 1024;

struct Input
{
    QByteArray bytes;
    QString error; // a French message when the input could not be read
};

// The whole of file, or of standard input when file is empty or "-"; an
// error past kMaxInputBytes.
Input readInput(const QString &file);

// Writes all of bytes to standard output. Nothing on success; otherwise the
// French message, empty when the reader went away (a closed pipe): nobody
// needs to hear about that.
std::optional<QString> writeOutput(QByteArrayView bytes);

// "lexorne : message" and a line feed on standard error.
void writeError(const QString &message);

// The operating system's error number (errno) in French words.
QString systemError(int error);

// An argument as the parser reads it: UTF-8, with each byte that is not part
// of well-formed UTF-8 kept as the lone surrogate U+DC80 + byte, so that
// fileNameBytes() gives a file name's bytes back whole.
QString decodeArgument(QByteArrayView bytes);
QByteArray fileNameBytes(const QString &name);

// One file per platform (stdio_unix.cpp, stdio_win.cpp). On failure: -1 and
// errno set.
namespace os {
// The arguments (program name excluded) as text: main()'s, through
// decodeArgument(), where names are bytes; on Windows the wide command line's,
// since main()'s lose what the ANSI code page cannot hold.
QStringList arguments(int argc, char *argv[]);
// Binary streams; a closed output pipe reported as EPIPE, not a signal.
void prepareStreams();
int openForReading(const QString &name);
void closeFile(int descriptor);
bool isFolder(int descriptor);
// The size of a regular file, or -1 for anything else (pipes, devices).
qint64 regularFileSize(int descriptor);
// Interrupted calls are retried. Reading returns 0 at the end.
qint64 readSome(int descriptor, char *buffer, qint64 size);
qint64 writeSome(int descriptor, const char *data, qint64 size);
} // namespace os

} // namespace lexorne::cli::detail
