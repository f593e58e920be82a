// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// C library only: linking the C++ library would cost every start its
// loading.
#include "app/launcher.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include <dlfcn.h>
#include <unistd.h>

namespace lexorne::app {

namespace {

// The file at `relative` from this program's own folder, as the kernel
// knows it: not argv[0], which the caller chooses, nor PATH, which anyone
// may change. False when the path does not fit.
bool beside(const char *relative, char (&path)[PATH_MAX])
{
    const ssize_t size = readlink("/proc/self/exe", path, sizeof path);
    std::size_t folder = size > 0 && std::size_t(size) < sizeof path ? std::size_t(size) : 0;
    while (folder > 0 && path[folder - 1] != '/')
        --folder;
    const std::size_t length = std::strlen(relative);
    if (folder == 0 || folder + length >= sizeof path)
        return false;
    std::memcpy(path + folder, relative, length + 1);
    return true;
}

// Why a file could not be run or loaded, in the program's language.
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

int failed(const char *what, const char *path, int error)
{
    char buffer[64];
    std::fprintf(stderr, "lexorne : impossible de lancer %s (%s) : %s\n", what, path,
                 reason(error, buffer, sizeof buffer));
    return 1;
}

} // namespace

int execWindow(const char *relative, char *argv[])
{
    char path[PATH_MAX];
    if (!beside(relative, path)) {
        std::fputs("lexorne : impossible de trouver le programme de la fenêtre\n", stderr);
        return 1;
    }
    execv(path, argv);
    return failed("la fenêtre", path, errno);
}

int runCommandLine(const char *relative, int argc, char *argv[])
{
    char path[PATH_MAX];
    if (!beside(relative, path)) {
        std::fputs("lexorne : impossible de trouver la ligne de commande\n", stderr);
        return 1;
    }
    // dlopen() says why only in English words: the usual reasons first.
    if (access(path, R_OK) != 0)
        return failed("la ligne de commande", path, errno);
    void *module = dlopen(path, RTLD_LAZY | RTLD_LOCAL);
    auto *entry = module != nullptr
                      ? reinterpret_cast<LexorneCommandLine *>(dlsym(module, kCommandLineEntry))
                      : nullptr;
    if (entry == nullptr)
        return failed("la ligne de commande", path, ENOEXEC);
    // Left loaded: its objects end with the process.
    return entry(argc, argv);
}

} // namespace lexorne::app
