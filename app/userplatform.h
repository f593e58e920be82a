// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// What the single-instance check needs to know about the user and the
// platform's local sockets; one source file per platform.
#pragma once

#include <QString>
#include <QtGlobal>

namespace lexorne::app::userplatform {

// The login of the user running the program; empty when unknown.
QString currentLogin();

// A folder for the socket that only this user can enter: the session's
// runtime folder when it is the user's own, mode 0700, a real folder and
// writable; otherwise one the program makes (or finds, checked the same way)
// in the user's cache folder. Empty when neither can be had, and where the
// platform's channels are not files (Windows pipes).
QString privateRuntimeFolder();

// The name to listen on and connect to for name in folder: a full path
// where the channel is a file, or empty when that path cannot serve (no
// folder, or too long for a socket address). Never a bare name that would
// land in a folder other users can write.
QString channelName(const QString &folder, const QString &name);

// Whether the process at the other end of a connected local socket or pipe
// (its descriptor, either end) runs as the current user.
bool peerIsCurrentUser(qintptr descriptor);

// While one lives, files and folders this process makes are private to the
// user (mode 0600 and 0700) whatever the umask. Make one only where no other
// thread creates files.
class PrivateFileMode
{
public:
    PrivateFileMode();
    ~PrivateFileMode();
    PrivateFileMode(const PrivateFileMode &) = delete;
    PrivateFileMode &operator=(const PrivateFileMode &) = delete;

private:
    unsigned m_previous = 0;
};

} // namespace lexorne::app::userplatform
