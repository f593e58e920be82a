// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the Windows clipboard's Unicode text to a file as UTF-8, byte for
// byte (carriage returns and line feeds as the clipboard holds them), so that
// a script can compare what the program copied.
//   lexorne_clipdump FILE     exit 0, 1 when there is no text, 2 bad usage
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fputs("usage: lexorne_clipdump FILE\n", stderr);
        return 2;
    }
    // Whoever copied last may still hold the clipboard open for a moment.
    bool opened = false;
    for (int attempt = 0; attempt < 50 && !opened; ++attempt) {
        opened = ::OpenClipboard(nullptr);
        if (!opened)
            ::Sleep(20);
    }
    if (!opened)
        return 1;
    std::string utf8;
    bool found = false;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto *text = static_cast<const wchar_t *>(::GlobalLock(data))) {
            const int size =
                ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
            if (size > 0) {
                utf8.resize(std::size_t(size));
                ::WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
                utf8.resize(std::size_t(size) - 1); // the terminating zero
                found = true;
            }
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    if (!found)
        return 1;
    std::FILE *out = std::fopen(argv[1], "wb");
    if (!out)
        return 1;
    const bool written = std::fwrite(utf8.data(), 1, utf8.size(), out) == utf8.size();
    return std::fclose(out) == 0 && written ? 0 : 1;
}
