// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Lexorne.exe is built for the desktop, so Windows gives it no console and a
// start from a console leaves its standard streams without a handle: they
// borrow the parent's console, and the C runtime's descriptors 0, 1 and 2
// (which the command line reads and writes) follow.
#include "app/console.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <io.h>

namespace lexorne::app {

namespace {

struct StandardStream
{
    DWORD id;
    int descriptor;
    std::FILE *file;
    const char *device;
    const char *mode;
};

// A handle the parent gave: a file, a pipe or a console.
bool leadsSomewhere(HANDLE handle)
{
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

UINT savedOutputCodePage = 0;
UINT savedInputCodePage = 0;

void restoreCodePages()
{
    if (savedOutputCodePage != 0)
        SetConsoleOutputCP(savedOutputCodePage);
    if (savedInputCodePage != 0)
        SetConsoleCP(savedInputCodePage);
}

} // namespace

void attachParentConsole()
{
    const StandardStream streams[] = {
        {STD_INPUT_HANDLE, 0, stdin, "CONIN$", "r"},
        {STD_OUTPUT_HANDLE, 1, stdout, "CONOUT$", "w"},
        {STD_ERROR_HANDLE, 2, stderr, "CONOUT$", "w"},
    };
    // Read before attaching, which may hand out handles of its own.
    bool unconnected[3] = {};
    for (const StandardStream &stream : streams)
        unconnected[stream.descriptor] = !leadsSomewhere(GetStdHandle(stream.id));
    // Refused when the process has a console already (Wine hands its
    // parent's over): then only the code page below is needed.
    if (!AttachConsole(ATTACH_PARENT_PROCESS) && GetLastError() != ERROR_ACCESS_DENIED)
        return;

    for (const StandardStream &stream : streams) {
        if (!unconnected[stream.descriptor] ||
            !std::freopen(stream.device, stream.mode, stream.file))
            continue;
        // The stream may have landed on another descriptor than its own.
        if (const int landed = _fileno(stream.file); landed != stream.descriptor)
            _dup2(landed, stream.descriptor);
        SetStdHandle(stream.id, reinterpret_cast<HANDLE>(_get_osfhandle(stream.descriptor)));
    }
    // Input and output are UTF-8; the console goes back to its own code
    // pages when the program ends, for the programs that share it.
    DWORD mode = 0;
    const bool shown = GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) ||
                       GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) ||
                       GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode);
    if (!shown)
        return;
    if (GetConsoleOutputCP() != CP_UTF8) {
        const UINT previous = GetConsoleOutputCP();
        if (SetConsoleOutputCP(CP_UTF8))
            savedOutputCodePage = previous;
    }
    if (GetConsoleCP() != CP_UTF8) {
        const UINT previous = GetConsoleCP();
        if (SetConsoleCP(CP_UTF8))
            savedInputCodePage = previous;
    }
    if (savedOutputCodePage != 0 || savedInputCodePage != 0)
        std::atexit(restoreCodePages);
}

bool standardInputIsSharedConsole()
{
    // A console handle answers GetConsoleMode; a file or a pipe does not.
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

} // namespace lexorne::app
