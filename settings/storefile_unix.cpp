// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/storefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lexorne::settings {

namespace {

// Judged and changed on the open file itself, so that nothing put in its
// place meanwhile is changed instead.
void tighten(const QByteArray &path, mode_t type, mode_t mode)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info
    {};
    if (::fstat(fd, &info) == 0 && (info.st_mode & S_IFMT) == type && info.st_uid == ::geteuid() &&
        (info.st_mode & 077) != 0)
        ::fchmod(fd, mode);
    ::close(fd);
}

} // namespace

void makePrivate(const QString &path, bool makeFolder)
{
    const QString folder = QFileInfo(path).absolutePath();
    const QByteArray folderName = QFile::encodeName(folder);
    if (makeFolder && !QFileInfo::exists(folder)) {
        QDir().mkpath(QFileInfo(folder).absolutePath());
        ::mkdir(folderName.constData(), 0700);
    }
    tighten(folderName, S_IFDIR, 0700);
    tighten(QFile::encodeName(path), S_IFREG, 0600);
}

} // namespace lexorne::settings
