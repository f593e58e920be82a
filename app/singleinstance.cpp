// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/singleinstance.h"

#include "app/userplatform.h"
#include "version/version.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <memory>

namespace lexorne::app {

namespace {

using namespace std::chrono_literals;

constexpr auto kServerPatience = 2s;

bool isPlainName(const QString &login)
{
    if (login.isEmpty() || login.size() > 32)
        return false;
    for (QChar c : login) {
        const char16_t u = c.unicode();
        const bool ok = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                        (u >= u'0' && u <= u'9') || u == u'.' || u == u'_' || u == u'-';
        if (!ok)
            return false;
    }
    return true;
}

// A lock file that names no process (cut short by a crash or a full disk)
// would otherwise never count as stale. A young one may be a lock being
// written right now.
bool isUnreadableLock(const QLockFile &lock, const QString &path)
{
    qint64 pid = 0;
    QString hostName;
    QString appName;
    if (lock.getLockInfo(&pid, &hostName, &appName))
        return false;
    const QFileInfo info(path);
    return info.exists() && qAbs(info.lastModified().msecsTo(QDateTime::currentDateTime())) > 5000;
}

} // namespace

QString SingleInstance::defaultLockFolder()
{
    // Where QSettings keeps the store file (on Windows, whose store is the
    // registry, the user's local application data).
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + QString::fromLatin1(kOrganization);
}

QString SingleInstance::defaultRuntimeFolder()
{
    return userplatform::privateRuntimeFolder();
}

QString SingleInstance::defaultName()
{
    const QString login = userplatform::currentLogin();
    if (isPlainName(login))
        return QStringLiteral("lexorne-") + login;
    const QByteArray hash = QCryptographicHash::hash(login.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("lexorne-") + QString::fromLatin1(hash.toHex().left(24));
}

SingleInstance::SingleInstance(const QString &lockFolder, const QString &runtimeFolder,
                               const QString &name, QObject *parent)
    : QObject(parent), m_lockFolder(lockFolder),
      m_serverName(userplatform::channelName(runtimeFolder, name)),
      m_lockPath(QDir(lockFolder)
                     .filePath(QString::fromLatin1(kApplicationTitle) + QStringLiteral(".lock"))),
      m_lock(m_lockPath)
{
    // The lock is stale only when its process is gone, never because of its
    // age: a copy may run for days.
    m_lock.setStaleLockTime(0);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::start(const ActivationTokens &tokens,
                                           std::chrono::milliseconds patience)
{
    QDeadlineTimer deadline(patience);
    bool clearedUnreadableLock = false;
    for (;;) {
        {
            // The lock names this process, its machine and boot: the user's
            // business only.
            const userplatform::PrivateFileMode privateFiles;
            QDir().mkpath(m_lockFolder);
            if (m_lock.tryLock(0)) {
                listen();
                return Role::Primary;
            }
        }
        const bool held = m_lock.error() == QLockFile::LockFailedError;
        if (held && !clearedUnreadableLock && isUnreadableLock(m_lock, m_lockPath)) {
            clearedUnreadableLock = true;
            if (m_lock.removeStaleLockFile())
                continue;
        }
        // The holder may still be on its way to listening: ask again until
        // the deadline.
        const auto wait = std::min<std::chrono::milliseconds>(
            std::chrono::milliseconds(std::max<qint64>(deadline.remainingTime(), 1)), 1000ms);
        if (sendRequest(tokens, wait))
            return Role::Secondary;
        if (!held) {
            // No lock can be made at all (a read-only or missing settings
            // folder), so nobody can write the store either: start, and be
            // reachable for later starts.
            listen();
            return Role::Primary;
        }
        if (deadline.hasExpired())
            return Role::Blocked;
        QThread::msleep(50);
    }
}

bool SingleInstance::sendRequest(const ActivationTokens &tokens, std::chrono::milliseconds wait)
{
    if (m_serverName.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(int(wait.count())))
        return false;
    // Not a word, tokens included, to a server of another user.
    if (!userplatform::peerIsCurrentUser(socket.socketDescriptor())) {
        socket.abort();
        return false;
    }
    socket.write(encodeActivationRequest(tokens));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(wait.count())))
            return socket.bytesToWrite() == 0;
    }
    // The reply only says the request was handled; a copy still starting
    // up handles it later, from its socket's queue.
    socket.waitForReadyRead(int(wait.count()));
    return true;
}

void SingleInstance::listen()
{
    if (m_serverName.isEmpty())
        return;
    // Only this user can make the socket here, and no copy of theirs
    // answered: whatever is left is a dead copy's.
    QLocalServer::removeServer(m_serverName);
    m_server.listen(m_serverName);
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
        // Another user's request is not read at all.
        if (!userplatform::peerIsCurrentUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const auto drop = [socket] {
            socket->abort();
            socket->deleteLater();
        };
        // A client that says nothing useful in time is dropped. The timer
        // dies with the socket. (Not QTimer::singleShot(): the static
        // analyser cannot see it hand the slot over to Qt.)
        auto *patience = new QTimer(socket);
        patience->setSingleShot(true);
        connect(patience, &QTimer::timeout, socket, drop);
        patience->start(kServerPatience);

        auto reader = std::make_shared<ActivationRequestReader>();
        const auto readRequest = [this, socket, reader, drop] {
            using State = ActivationRequestReader::State;
            State state = reader->state();
            while (state == State::Reading && socket->bytesAvailable() > 0)
                state = reader->feed(socket->read(1024));
            if (state == State::Rejected)
                return drop();
            if (state == State::Complete) {
                socket->disconnect(this);
                emit activationRequested(reader->tokens());
                const QByteArrayView reply = activationReply();
                socket->write(reply.data(), reply.size());
                socket->flush();
                socket->disconnectFromServer();
            }
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        if (socket->bytesAvailable() > 0)
            readRequest();
    }
}

} // namespace lexorne::app
