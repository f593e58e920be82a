// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/userplatform.h"

#include <windows.h>

#include <iterator>
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

QString currentLogin()
{
    // The logon sets USERNAME; the account's own name stands in without it.
    QString login = qEnvironmentVariable("USERNAME");
    if (!login.isEmpty())
        return login;
    wchar_t name[257] = {};
    DWORD size = DWORD(std::size(name));
    if (::GetUserNameW(name, &size) && size > 1)
        return QString::fromWCharArray(name, int(size) - 1);
    return {};
}

QString privateRuntimeFolder()
{
    // Pipes live in a namespace of their own, not in a folder.
    return {};
}

QString channelName(const QString &, const QString &name)
{
    // A pipe that only this user may open (the server sets its access list),
    // and whose server is checked by peerIsCurrentUser() before anything is
    // sent, since another user may have made the name first.
    return name;
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
