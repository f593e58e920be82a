// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/userplatform.h"

#include <windows.h>

#include <iterator>

namespace lexorne::app::userplatform {

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

QString privateFolder()
{
    // The temporary folder is already the user's own (%TEMP%).
    return {};
}

bool fitsSocketPath(const QString &)
{
    // A pipe name is not a path in the file system.
    return false;
}

} // namespace lexorne::app::userplatform
