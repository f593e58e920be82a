// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lexorne::app {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kSignalCount = int(sizeof(kSignals) / sizeof(kSignals[0]));

// [0] written by the handler, [1] read by the event loop.
int s_pair[2] = {-1, -1};
struct sigaction s_previous[kSignalCount];

extern "C" void onTerminationSignal(int signalNumber)
{
    // Only async-signal-safe calls here. The socket does not block: if it is
    // full, enough bytes are already waiting to end the program.
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::send(s_pair[0], &byte, 1, MSG_DONTWAIT);
    errno = savedErrno;
}

bool setFlags(int fd)
{
    return ::fcntl(fd, F_SETFD, FD_CLOEXEC) == 0 &&
           ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) == 0;
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent)
{
    if (s_pair[0] != -1)
        return; // another instance holds the signals
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, s_pair) != 0)
        return;
    if (!setFlags(s_pair[0]) || !setFlags(s_pair[1])) {
        ::close(s_pair[0]);
        ::close(s_pair[1]);
        s_pair[0] = s_pair[1] = -1;
        return;
    }
    m_notifier = new QSocketNotifier(s_pair[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::drain);

    for (int i = 0; i < kSignalCount; ++i) {
        struct sigaction action = {};
        action.sa_handler = onTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(kSignals[i], &action, &s_previous[i]);
    }
}

TerminationSignals::~TerminationSignals()
{
    if (!m_notifier)
        return;
    for (int i = 0; i < kSignalCount; ++i)
        ::sigaction(kSignals[i], &s_previous[i], nullptr);
    delete m_notifier;
    m_notifier = nullptr;
    ::close(s_pair[0]);
    ::close(s_pair[1]);
    s_pair[0] = s_pair[1] = -1;
}

void TerminationSignals::drain()
{
    unsigned char bytes[64];
    for (;;) {
        const ssize_t count = ::read(s_pair[1], bytes, sizeof bytes);
        if (count <= 0) {
            if (count < 0 && errno == EINTR)
                continue;
            return;
        }
        for (ssize_t i = 0; i < count; ++i)
            emit received(bytes[i]);
    }
}

} // namespace lexorne::app
