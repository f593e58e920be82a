// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stdio.h"

#include <windows.h>

#include <shellapi.h>

#include <cerrno>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

namespace lexorne::cli::detail::os {

namespace {

// The C runtime's calls take an unsigned int.
constexpr qint64 kMaxPiece = qint64{1} << 30;

} // namespace

QStringList arguments(int, char *[])
{
    // Split by Windows' own rules; a file named "цитата.txt" on a French
    // system keeps its name.
    QStringList list;
    int count = 0;
    wchar_t **words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words == nullptr)
        return list;
    list.reserve(count);
    for (int i = 1; i < count; ++i)
        list.append(QString::fromWCharArray(words[i]));
    LocalFree(words);
    return list;
}

void prepareStreams()
{
    // Text mode would turn the quotation's CR LF into CR CR LF.
    _setmode(0, _O_BINARY);
    _setmode(1, _O_BINARY);
}

int openForReading(const QString &name)
{
    // Windows names are UTF-16 already, lone surrogates included.
    const int descriptor =
        _wopen(reinterpret_cast<const wchar_t *>(name.utf16()), _O_RDONLY | _O_BINARY);
    // A folder cannot be opened here; say so rather than "permission".
    if (descriptor < 0 && errno == EACCES) {
        struct _stat64 info
        {};
        if (_wstat64(reinterpret_cast<const wchar_t *>(name.utf16()), &info) == 0 &&
            (info.st_mode & _S_IFDIR))
            errno = EISDIR;
    }
    return descriptor;
}

void closeFile(int descriptor)
{
    _close(descriptor);
}

bool isFolder(int descriptor)
{
    struct _stat64 info
    {};
    return _fstat64(descriptor, &info) == 0 && (info.st_mode & _S_IFDIR);
}

qint64 readSome(int descriptor, char *buffer, qint64 size)
{
    return _read(descriptor, buffer, unsigned(qMin(size, kMaxPiece)));
}

qint64 writeSome(int descriptor, const char *data, qint64 size)
{
    return _write(descriptor, data, unsigned(qMin(size, kMaxPiece)));
}

} // namespace lexorne::cli::detail::os
