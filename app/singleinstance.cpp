// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/singleinstance.h"

#include "app/userplatform.h"
#include "version/version.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QEvent>
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
    if (login.isEmpty() || login.size() > 64)
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

std::chrono::milliseconds remaining(const QDeadlineTimer &deadline)
{
    return std::chrono::milliseconds(std::max<qint64>(deadline.remainingTime(), 1));
}

} // namespace

QString SingleInstance::defaultLockFolder()
{
    // Where QSettings keeps the store file (on Windows, whose store is the
    // registry, the user's local application data).
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') + QString::fromLatin1(kOrganization);
}

QStringList SingleInstance::defaultRuntimeFolders()
{
    return userplatform::runtimeFolders();
}

QString SingleInstance::defaultName()
{
    return channelNameFor(userplatform::currentAccount(), userplatform::currentSession());
}

QString SingleInstance::channelNameFor(const QString &account, const QString &session)
{
    // As it is when short and plain, else a hash: a name for a pipe or a
    // file, with nothing to quote.
    const auto part = [](const QString &text) {
        if (isPlainName(text))
            return text;
        return QString::fromLatin1(
            QCryptographicHash::hash(text.toUtf8(), QCryptographicHash::Sha256).toHex().left(24));
    };
    QString name = QStringLiteral("lexorne-") + part(account);
    if (!session.isEmpty())
        name += QStringLiteral("-s") + part(session);
    return name;
}

SingleInstance::SingleInstance(const QString &lockFolder, const QStringList &runtimeFolders,
                               const QString &name, QObject *parent)
    : QObject(parent), m_lockFolder(lockFolder),
      m_lockPath(QDir(lockFolder)
                     .filePath(QString::fromLatin1(kApplicationTitle) + QStringLiteral(".lock"))),
      m_lock(m_lockPath)
{
    for (const QString &folder : runtimeFolders) {
        const QString channel = userplatform::channelName(folder, name);
        if (!channel.isEmpty() && !m_channels.contains(channel))
            m_channels.append(channel);
    }
    // The lock is stale only when its process is gone, never because of its
    // age: a copy may run for days.
    m_lock.setStaleLockTime(0);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnection);
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::start(const ActivationTokens &tokens,
                                           std::chrono::milliseconds patience,
                                           std::chrono::milliseconds exitPatience)
{
    const QDeadlineTimer answerDeadline(patience);
    const QDeadlineTimer lockDeadline(std::max(patience, exitPatience));
    bool clearedUnreadableLock = false;
    bool silent = false;
    for (;;) {
        {
            // The lock names this process, its machine and boot: the user's
            // business only.
            const userplatform::PrivateFileMode privateFiles;
            QDir().mkpath(m_lockFolder);
            if (m_lock.tryLock(0)) {
                if (listen())
                    return Role::Primary;
                // The channel is someone else's: this copy could never be
                // reached, and a later start would wait for it in vain.
                m_lock.unlock();
                return Role::Blocked;
            }
        }
        const bool held = m_lock.error() == QLockFile::LockFailedError;
        if (held && !clearedUnreadableLock && isUnreadableLock(m_lock, m_lockPath)) {
            clearedUnreadableLock = true;
            if (removeAbandonedLock())
                continue;
        }
        // The holder may still be on its way to listening: ask again until
        // the deadline.
        for (const QString &channel : std::as_const(m_channels)) {
            const auto wait =
                std::min<std::chrono::milliseconds>(remaining(answerDeadline), 1000ms);
            switch (sendRequest(channel, tokens, wait)) {
            case Answer::Taken:
                return Role::Secondary;
            case Answer::Silent:
                silent = true;
                break;
            case Answer::Nobody:
                break;
            }
        }
        // No lock can be made (a full disk, a read-only or missing settings
        // folder): another start may be in the same state, and two windows
        // on one store is what the lock is for.
        if (!held)
            return Role::Blocked;
        // A copy that listens and does not answer hangs, or is not ours;
        // one that holds the lock without listening is ending.
        if ((silent && answerDeadline.hasExpired()) || lockDeadline.hasExpired())
            return Role::Blocked;
        QThread::msleep(50);
    }
}

void SingleInstance::stopListeningWhenClosed(QObject *window)
{
    m_window = window;
    window->installEventFilter(this);
}

void SingleInstance::stopListening()
{
    m_server.close();
}

bool SingleInstance::eventFilter(QObject *watched, QEvent *event)
{
    // Seen before the window's own handler, which stores the game: a start
    // from now on waits for the lock instead of handing over to a copy that
    // is about to end.
    if (watched == m_window && event->type() == QEvent::Close)
        stopListening();
    return QObject::eventFilter(watched, event);
}

bool SingleInstance::removeAbandonedLock()
{
    // Qt's own guard against two starts removing one lock, so that neither
    // removes the lock the other has just made in its place.
    QLockFile guard(m_lockPath + QStringLiteral(".rmlock"));
    if (!guard.tryLock(0))
        return false;
    return isUnreadableLock(m_lock, m_lockPath) && userplatform::removeAbandonedLock(m_lockPath);
}

SingleInstance::Answer SingleInstance::sendRequest(const QString &channel,
                                                   const ActivationTokens &tokens,
                                                   std::chrono::milliseconds wait)
{
    QLocalSocket socket;
    socket.connectToServer(channel);
    if (!socket.waitForConnected(int(wait.count())))
        return Answer::Nobody;
    // Not a word, tokens included, to a server of another user.
    if (!userplatform::peerIsCurrentUser(socket.socketDescriptor())) {
        socket.abort();
        return Answer::Silent;
    }
    const QDeadlineTimer deadline(wait);
    socket.write(encodeActivationRequest(tokens));
    while (socket.bytesToWrite() > 0) {
        if (!socket.waitForBytesWritten(int(remaining(deadline).count())))
            return Answer::Silent;
    }
    // Only the reply says the request was taken: a copy that hangs, or is
    // ending, may have let the request in and never read it.
    QByteArray reply;
    for (;;) {
        switch (judgeActivationReply(reply)) {
        case ReplyVerdict::Accepted:
            return Answer::Taken;
        case ReplyVerdict::Refused:
            return Answer::Silent;
        case ReplyVerdict::Waiting:
            break;
        }
        if (socket.bytesAvailable() == 0 &&
            !socket.waitForReadyRead(int(remaining(deadline).count())))
            return Answer::Silent;
        reply += socket.read(64);
    }
}

bool SingleInstance::listen()
{
    if (m_channels.isEmpty())
        return true; // unreachable, but the window opens; see serverName()
    return userplatform::listenPrivately(m_server, m_channels.first());
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
