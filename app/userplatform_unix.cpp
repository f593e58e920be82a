// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/userplatform.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <array>

#include <pwd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace lexorne::app::userplatform {

QString currentLogin()
{
    // The reentrant form: a start may ask from a thread of its own.
    passwd entry{};
    passwd *pw = nullptr;
    std::array<char, 16384> buffer{};
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &pw) == 0 && pw &&
        pw->pw_name && *pw->pw_name)
        return QString::fromLocal8Bit(pw->pw_name);
    return QStringLiteral("uid") + QString::number(::geteuid());
}

QString privateFolder()
{
    // Mode 0700, unlike the shared temporary folder.
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && QDir().mkpath(runtime))
        return runtime;
    return {};
}

bool fitsSocketPath(const QString &path)
{
    // sun_path holds about a hundred bytes, its terminating zero included.
    return qsizetype(QFile::encodeName(path).size()) < qsizetype(sizeof(sockaddr_un::sun_path));
}

} // namespace lexorne::app::userplatform
