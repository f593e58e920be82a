// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// C library only: linking the C++ library would cost every start its
// loading.
#include "app/launcher.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include <unistd.h>

namespace lexorne::app {

namespace {

// Why exec failed, in the program's language.
const char *reason(int error, char *buffer, std::size_t size)
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
        std::snprintf(buffer, size, "erreur système %d", error);
        return buffer;
    }
}

} // namespace

int execBeside(const char *relative, const char *what, char *argv[])
{
    // This program's own file, as the kernel knows it: not argv[0], which
    // the caller chooses, nor PATH, which anyone may change.
    char path[PATH_MAX];
    const ssize_t size = readlink("/proc/self/exe", path, sizeof path);
    std::size_t folder = size > 0 && std::size_t(size) < sizeof path ? std::size_t(size) : 0;
    while (folder > 0 && path[folder - 1] != '/')
        --folder;
    if (folder == 0 || folder + std::strlen(relative) >= sizeof path) {
        std::fprintf(stderr, "lexorne : impossible de trouver le programme de %s\n", what);
        return 1;
    }
    std::memcpy(path + folder, relative, std::strlen(relative) + 1);
    execv(path, argv);
    char buffer[64];
    std::fprintf(stderr, "lexorne : impossible de lancer %s (%s) : %s\n", what, path,
                 reason(errno, buffer, sizeof buffer));
    return 1;
}

} // namespace lexorne::app
