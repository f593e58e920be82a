// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/userplatform.h"

#include <QCryptographicHash>
#include <QFile>

#include <array>
#include <cerrno>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace lexorne::app::userplatform {

namespace {

QByteArray homeFolder()
{
    QByteArray home = qgetenv("HOME");
    if (home.startsWith('/'))
        return home;
    passwd entry{};
    passwd *pw = nullptr;
    std::array<char, 16384> buffer{};
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &pw) == 0 && pw &&
        pw->pw_dir && pw->pw_dir[0] == '/')
        return pw->pw_dir;
    return {};
}

// Opens path as a folder, never through a symbolic link.
int openFolder(const QByteArray &path)
{
    return ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// A real folder (not a link to one) owned by this user, mode 0700 (made so
// when fix allows and the folder is the user's), which this user may write.
// Checked on the open folder itself, so nobody can swap it meanwhile.
bool isPrivateFolder(const QByteArray &path, bool fix)
{
    const int fd = openFolder(path);
    if (fd < 0)
        return false;
    struct stat info
    {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid();
    if (ok && (info.st_mode & 07777) != 0700)
        ok = fix && ::fchmod(fd, 0700) == 0;
    ::close(fd);
    return ok && ::access(path.constData(), W_OK | X_OK) == 0;
}

// Makes path and any missing folder above it, each mode 0700 and checked
// with lstat once made, then checks path itself. Folders the user already has
// may be links (a cache on another disk): only the last one must not be.
bool makePrivateFolder(const QByteArray &path)
{
    qsizetype slash = 0;
    do {
        slash = path.indexOf('/', slash + 1);
        const QByteArray component = slash < 0 ? path : path.left(slash);
        struct stat info
        {};
        if (::lstat(component.constData(), &info) == 0)
            continue;
        if (::mkdir(component.constData(), 0700) != 0 && errno != EEXIST)
            return false;
        if (::lstat(component.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
            info.st_uid != ::geteuid())
            return false;
    } while (slash >= 0);
    return isPrivateFolder(path, true);
}

} // namespace

QString currentAccount()
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

QString currentSession()
{
    // The socket's folder is the session's already.
    return {};
}

QStringList runtimeFolders()
{
    QStringList folders;
    // The session's folder is not changed, only judged: a wrong one is
    // someone else's business, or someone else's trap.
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && isPrivateFolder(runtime, false))
        folders << QFile::decodeName(runtime);
    // What the variable usually holds, for a start that lacks it (su, ssh)
    // while the desktop's copy listens there.
    const QByteArray system = "/run/user/" + QByteArray::number(::geteuid());
    if (system != runtime && isPrivateFolder(system, false))
        folders << QFile::decodeName(system);

    QByteArray cache = qgetenv("XDG_CACHE_HOME");
    if (!cache.startsWith('/')) {
        const QByteArray home = homeFolder();
        if (home.isEmpty())
            return folders;
        cache = home + "/.cache";
    }
    const QByteArray folder = cache + "/lexorne-runtime";
    if (folders.isEmpty() ? makePrivateFolder(folder) : isPrivateFolder(folder, true))
        folders << QFile::decodeName(folder);
    return folders;
}

QString channelName(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return {};
    // sun_path holds about a hundred bytes, its terminating zero included.
    const auto fits = [](const QString &path) {
        return qsizetype(QFile::encodeName(path).size()) < qsizetype(sizeof(sockaddr_un::sun_path));
    };
    QString path = folder + QLatin1Char('/') + name + QStringLiteral(".socket");
    if (fits(path))
        return path;
    // A long home folder or name: a short name, the same for every start.
    const QString shorter =
        folder + QStringLiteral("/lx-") +
        QString::fromLatin1(
            QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
    return fits(shorter) ? shorter : QString();
}

bool listenPrivately(QLocalServer &server, const QString &channel)
{
    // Only this user can make the socket in a private folder, and no copy of
    // theirs answered: whatever is left is a dead copy's. A folder that
    // refuses the socket leaves this copy unreachable, not blocked.
    QLocalServer::removeServer(channel);
    server.listen(channel);
    return true;
}

bool removeAbandonedLock(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    // A live lock holds a lock on its open file (Qt's do); and the name must
    // still be the file opened.
    struct stat opened
    {};
    struct stat named
    {};
    const bool same = ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 &&
                      ::lstat(name.constData(), &named) == 0 && opened.st_dev == named.st_dev &&
                      opened.st_ino == named.st_ino;
    const bool removed = same && ::unlink(name.constData()) == 0;
    ::close(fd);
    return removed;
}

bool peerIsCurrentUser(qintptr descriptor)
{
    const int fd = int(descriptor);
#if defined(SO_PEERCRED)
    ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 ||
        size != sizeof credentials)
        return false;
    return credentials.uid == ::geteuid();
#else
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(fd, &uid, &gid) == 0 && uid == ::geteuid();
#endif
}

PrivateFileMode::PrivateFileMode() : m_previous(::umask(077)) {}

PrivateFileMode::~PrivateFileMode()
{
    ::umask(mode_t(m_previous));
}

} // namespace lexorne::app::userplatform
