// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Internal to the command line: the process's standard streams and the input
// file as raw bytes (no text-mode translation anywhere, file names as the
// bytes given), with every failure put into French words.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace lexorne::cli::detail {

// The input, read block by block: a file, or standard input when the file
// is empty or "-".
class Input
{
public:
    explicit Input(const QString &file);
    ~Input();
    Input(const Input &) = delete;
    Input &operator=(const Input &) = delete;

    // Up to size bytes into buffer, waiting for at least one: how many, 0
    // at the end, -1 on failure (then error()).
    qint64 read(char *buffer, qint64 size);
    // A French message once opening or reading failed, else empty.
    QString error() const { return m_error; }

private:
    int m_descriptor = -1;
    bool m_owned = false;
    QString m_name;
    QString m_error;
};

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
// Interrupted calls are retried. Reading returns 0 at the end.
qint64 readSome(int descriptor, char *buffer, qint64 size);
qint64 writeSome(int descriptor, const char *data, qint64 size);
} // namespace os

} // namespace lexorne::cli::detail
