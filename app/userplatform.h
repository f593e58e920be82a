// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// What the single-instance check needs to know about the user and the
// platform's local sockets; one source file per platform.
#pragma once

#include <QLocalServer>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace lexorne::app::userplatform {

// Who runs the program: the login (on Windows the account's security
// identifier, which no environment variable can change); empty when
// unknown.
QString currentAccount();
// The logon session on systems where one user may have several at once
// with a channel each (Windows); empty elsewhere.
QString currentSession();

// The folders for the socket that only this user can enter, the one to
// listen in first: the session's runtime folder (XDG_RUNTIME_DIR) when it
// is the user's own, mode 0700, a real folder and writable; the system's
// runtime folder for the user, checked the same way, for a start whose
// environment lacks the variable (su, ssh); and one the program makes (or
// finds, checked the same way) in the user's cache folder, made only when
// nothing comes before it. A later start looks in every one. On Windows,
// where pipes live in a namespace of their own, one empty folder.
QStringList runtimeFolders();

// The name to listen on and connect to for name in folder: a full path
// where the channel is a file, with a shorter name made from name when the
// path would not fit a socket address; empty when even that does not fit
// or there is no folder. Never a bare name that would land in a folder
// other users can write. On Windows the pipe's name.
QString channelName(const QString &folder, const QString &name);

// Listens on channel so that only this user may connect; false when the
// name is already another user's (a Windows pipe made first by someone
// else) or cannot be listened on.
bool listenPrivately(QLocalServer &server, const QString &channel);

// Removes the lock file at path, judged abandoned, only if it is still the
// file judged (no live lock holds it, and nobody put another in its
// place). Call it under the lock's ".rmlock" guard.
bool removeAbandonedLock(const QString &path);

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
