// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/launcher.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace lexorne::app {

namespace {

// This program's own file, as the kernel knows it: not argv[0], which the
// caller chooses, nor PATH, which anyone may change.
std::string ownFile()
{
    std::string path(4096, '\0');
    const ssize_t size = readlink("/proc/self/exe", path.data(), path.size());
    if (size <= 0 || std::size_t(size) >= path.size())
        return {};
    path.resize(std::size_t(size));
    return path;
}

// Why exec failed, in the program's language.
std::string reason(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "introuvable";
    case EACCES:
    case EPERM:
        return "accès refusé";
    case ENOEXEC:
        return "ce n'est pas un programme";
    default:
        return "erreur système " + std::to_string(error);
    }
}

} // namespace

int execWindowProgram(char *argv[])
{
    const std::string self = ownFile();
    const std::size_t slash = self.rfind('/');
    if (slash == std::string::npos) {
        std::fputs("lexorne : impossible de trouver le programme de la fenêtre\n", stderr);
        return 1;
    }
    // LEXORNE_WINDOW_PROGRAM: the window program's path relative to this
    // program's folder, the same in the build tree and once installed.
    const std::string window = self.substr(0, slash + 1) + LEXORNE_WINDOW_PROGRAM;
    execv(window.c_str(), argv);
    const int error = errno;
    std::fprintf(stderr, "lexorne : impossible de lancer la fenêtre (%s) : %s\n", window.c_str(),
                 reason(error).c_str());
    return 1;
}

} // namespace lexorne::app
