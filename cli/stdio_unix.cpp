// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stdio.h"

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lexorne::cli::detail::os {

namespace {

// The largest piece one call moves: Linux moves at most about 2 GiB anyway.
constexpr qint64 kMaxPiece = qint64{1} << 30;

// Whether a call that failed with errno is worth making again: interrupted,
// or on a stream inherited non-blocking (a Node.js parent's, say) that had
// nothing ready, once it has.
bool retry(int descriptor, short events)
{
    if (errno == EINTR)
        return true;
    if (errno != EAGAIN && errno != EWOULDBLOCK)
        return false;
    pollfd ready{descriptor, events, 0};
    int n = 0;
    do {
        n = ::poll(&ready, 1, -1);
    } while (n < 0 && errno == EINTR);
    if (n > 0)
        return true;
    errno = EAGAIN;
    return false;
}

} // namespace

QStringList arguments(int argc, char *argv[])
{
    QStringList list;
    list.reserve(argc);
    for (int i = 1; i < argc; ++i)
        list.append(decodeArgument(argv[i]));
    return list;
}

void prepareStreams()
{
    // NOLINTNEXTLINE(concurrency-mt-unsafe): the command line has no threads
    std::signal(SIGPIPE, SIG_IGN);
}

int openForReading(const QString &name)
{
    int descriptor = -1;
    do {
        descriptor = ::open(fileNameBytes(name).constData(), O_RDONLY | O_CLOEXEC);
    } while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

void closeFile(int descriptor)
{
    ::close(descriptor);
}

bool isFolder(int descriptor)
{
    struct stat info
    {};
    return ::fstat(descriptor, &info) == 0 && S_ISDIR(info.st_mode);
}

qint64 readSome(int descriptor, char *buffer, qint64 size)
{
    ssize_t n = 0;
    do {
        n = ::read(descriptor, buffer, size_t(qMin(size, kMaxPiece)));
    } while (n < 0 && retry(descriptor, POLLIN));
    return qint64(n);
}

qint64 writeSome(int descriptor, const char *data, qint64 size)
{
    ssize_t n = 0;
    do {
        n = ::write(descriptor, data, size_t(qMin(size, kMaxPiece)));
    } while (n < 0 && retry(descriptor, POLLOUT));
    return qint64(n);
}

} // namespace lexorne::cli::detail::os
