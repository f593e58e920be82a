// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/userplatform.h"

#include <windows.h>

#include <sddl.h>

#include <memory>
#include <vector>

namespace lexorne::app::userplatform {

namespace {

struct HandleCloser
{
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// The user a process's token names, as its security identifier's bytes.
std::vector<BYTE> tokenUser(HANDLE process)
{
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token))
        return {};
    const Handle owned(token);
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !::GetTokenInformation(token, TokenUser, buffer.data(), size, &size))
        return {};
    const PSID sid = reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid;
    if (!::IsValidSid(sid))
        return {};
    const auto *bytes = static_cast<const BYTE *>(sid);
    return {bytes, bytes + ::GetLengthSid(sid)};
}

} // namespace

QString currentAccount()
{
    // The security identifier, not USERNAME: the environment is the
    // caller's to set, and two accounts may share a name across domains.
    std::vector<BYTE> sid = tokenUser(::GetCurrentProcess());
    LPWSTR text = nullptr;
    if (sid.empty() || !::ConvertSidToStringSidW(sid.data(), &text))
        return {};
    const QString account = QString::fromWCharArray(text);
    ::LocalFree(text);
    return account;
}

QString currentSession()
{
    // One user may be logged on several times (fast user switching, remote
    // desktop): a copy per session.
    DWORD session = 0;
    if (!::ProcessIdToSessionId(::GetCurrentProcessId(), &session))
        return {};
    return QString::number(session);
}

QStringList runtimeFolders()
{
    // Pipes live in a namespace of their own, not in a folder.
    return {QString()};
}

QString channelName(const QString &, const QString &name)
{
    return name;
}

bool listenPrivately(QLocalServer &server, const QString &channel)
{
    // Qt makes its pipe without FILE_FLAG_FIRST_PIPE_INSTANCE, so whoever
    // made the name first would set its access list. The first instance is
    // made here, open to this user only; Qt's instances join it, and once
    // one of them exists this one may go. A name already taken is someone
    // else's: a copy of this user's holds the lock, and a dead one's pipe
    // went with it.
    const QString sid = currentAccount();
    if (sid.isEmpty())
        return false;
    const QString rules = QStringLiteral("D:P(A;;GA;;;") + sid + QStringLiteral(")");
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(
            reinterpret_cast<LPCWSTR>(rules.utf16()), SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    SECURITY_ATTRIBUTES attributes{sizeof(SECURITY_ATTRIBUTES), descriptor, FALSE};
    const QString path = QStringLiteral("\\\\.\\pipe\\") + channel;
    // The same kind of pipe as Qt's, which every instance must share.
    HANDLE first = ::CreateNamedPipeW(reinterpret_cast<LPCWSTR>(path.utf16()),
                                      PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED |
                                          FILE_FLAG_FIRST_PIPE_INSTANCE,
                                      PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT,
                                      PIPE_UNLIMITED_INSTANCES, 0, 0, 0, &attributes);
    const DWORD error = ::GetLastError();
    ::LocalFree(descriptor);
    if (first == INVALID_HANDLE_VALUE)
        return error != ERROR_ACCESS_DENIED && error != ERROR_PIPE_BUSY;
    // A pipe Qt cannot make leaves this copy unreachable, not blocked.
    server.listen(channel);
    ::CloseHandle(first);
    return true;
}

bool removeAbandonedLock(const QString &path)
{
    // A live lock is open without delete sharing: Windows refuses to
    // remove it, and the caller's guard keeps other starts out meanwhile.
    return ::DeleteFileW(reinterpret_cast<LPCWSTR>(path.utf16())) != 0;
}

bool peerIsCurrentUser(qintptr descriptor)
{
    const auto pipe = reinterpret_cast<HANDLE>(descriptor);
    DWORD flags = 0;
    ULONG pid = 0;
    if (!::GetNamedPipeInfo(pipe, &flags, nullptr, nullptr, nullptr))
        return false;
    const BOOL known = (flags & PIPE_SERVER_END) ? ::GetNamedPipeClientProcessId(pipe, &pid)
                                                 : ::GetNamedPipeServerProcessId(pipe, &pid);
    if (!known || pid == 0)
        return false;
    const Handle peer(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!peer)
        return false;
    const std::vector<BYTE> theirs = tokenUser(peer.get());
    return !theirs.empty() && theirs == tokenUser(::GetCurrentProcess());
}

PrivateFileMode::PrivateFileMode() = default;
PrivateFileMode::~PrivateFileMode() = default;

} // namespace lexorne::app::userplatform
