// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/singleinstance.h"

#include "app/userplatform.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <memory>

namespace lexorne::app {

namespace {

using namespace std::chrono_literals;

// The request is a few short lines; anything longer is not from us.
constexpr QByteArrayView kHeader = "LEXORNE ACTIVATE";
constexpr QByteArrayView kEnd = "END";
constexpr QByteArrayView kReply = "OK\n";
constexpr QByteArrayView kXdgToken = "XDG_ACTIVATION_TOKEN";
constexpr QByteArrayView kStartupId = "DESKTOP_STARTUP_ID";
constexpr qint64 kMaxLine = 1024;
constexpr qint64 kMaxRequest = 4096;
constexpr auto kServerPatience = 2s;

// Tokens are opaque printable ASCII; anything else is dropped rather than
// put into the environment.
bool isPlausibleToken(QByteArrayView value)
{
    if (value.isEmpty() || value.size() > kMaxLine - 32)
        return false;
    for (char c : value) {
        if (c < 0x21 || c > 0x7E)
            return false;
    }
    return true;
}

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

ActivationTokens ActivationTokens::fromEnvironment()
{
    ActivationTokens tokens;
    const QByteArray xdg = qgetenv("XDG_ACTIVATION_TOKEN");
    const QByteArray startup = qgetenv("DESKTOP_STARTUP_ID");
    if (isPlausibleToken(xdg))
        tokens.xdgActivationToken = xdg;
    if (isPlausibleToken(startup))
        tokens.desktopStartupId = startup;
    return tokens;
}

void ActivationTokens::applyToEnvironment() const
{
    if (!xdgActivationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", xdgActivationToken);
    if (!desktopStartupId.isEmpty())
        qputenv("DESKTOP_STARTUP_ID", desktopStartupId);
}

QString SingleInstance::defaultDirectory()
{
    const QString folder = userplatform::privateFolder();
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

QString SingleInstance::defaultName()
{
    const QString login = userplatform::currentLogin();
    if (isPlainName(login))
        return QStringLiteral("lexorne-") + login;
    const QByteArray hash = QCryptographicHash::hash(login.toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("lexorne-") + QString::fromLatin1(hash.toHex().left(24));
}

SingleInstance::SingleInstance(const QString &directory, const QString &name, QObject *parent)
    : QObject(parent), m_lockPath(QDir(directory).filePath(name + QStringLiteral(".lock"))),
      m_lock(m_lockPath)
{
    const QString socketPath = QDir(directory).filePath(name + QStringLiteral(".socket"));
    // A full path keeps the socket in the user's own folder; a bare name
    // (Windows pipes, or a folder too deep for a socket) holds the login.
    m_serverName = userplatform::fitsSocketPath(socketPath) ? socketPath : name;
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
        if (m_lock.tryLock(0)) {
            listen();
            return Role::Primary;
        }
        const bool lockUsable = m_lock.error() == QLockFile::LockFailedError;
        if (lockUsable && !clearedUnreadableLock && isUnreadableLock(m_lock, m_lockPath)) {
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
        if (!lockUsable || deadline.hasExpired())
            break;
        QThread::msleep(50);
    }
    // Nobody answers: start as the only copy, without taking over a lock or
    // a socket that may still be someone's.
    return Role::Primary;
}

bool SingleInstance::sendRequest(const ActivationTokens &tokens, std::chrono::milliseconds wait)
{
    QLocalSocket socket;
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(int(wait.count())))
        return false;

    QByteArray request = kHeader.toByteArray() + '\n';
    if (!tokens.xdgActivationToken.isEmpty())
        request += kXdgToken.toByteArray() + '=' + tokens.xdgActivationToken + '\n';
    if (!tokens.desktopStartupId.isEmpty())
        request += kStartupId.toByteArray() + '=' + tokens.desktopStartupId + '\n';
    request += kEnd.toByteArray() + '\n';
    socket.write(request);
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
    // The lock is ours, so a socket left behind belongs to a copy that died.
    QLocalServer::removeServer(m_serverName);
    m_server.listen(m_serverName);
}

void SingleInstance::acceptConnection()
{
    while (QLocalSocket *socket = m_server.nextPendingConnection()) {
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

        struct Progress
        {
            bool header = false;
            qint64 received = 0;
            ActivationTokens tokens;
        };
        auto progress = std::make_shared<Progress>();
        const auto readRequest = [this, socket, progress, drop] {
            while (socket->canReadLine()) {
                QByteArray line = socket->readLine(kMaxLine + 1);
                progress->received += line.size();
                if (progress->received > kMaxRequest || !line.endsWith('\n'))
                    return drop();
                line.chop(1);
                if (!progress->header) {
                    if (line != kHeader)
                        return drop();
                    progress->header = true;
                    continue;
                }
                if (line == kEnd) {
                    socket->disconnect(this);
                    emit activationRequested(progress->tokens);
                    socket->write(kReply.data(), kReply.size());
                    socket->flush();
                    socket->disconnectFromServer();
                    return;
                }
                const qsizetype equals = line.indexOf('=');
                const QByteArray key = line.left(equals);
                const QByteArray value = equals < 0 ? QByteArray() : line.mid(equals + 1);
                if (!isPlausibleToken(value))
                    continue;
                if (key == kXdgToken)
                    progress->tokens.xdgActivationToken = value;
                else if (key == kStartupId)
                    progress->tokens.desktopStartupId = value;
            }
            if (socket->bytesAvailable() > kMaxLine)
                drop();
        };
        connect(socket, &QLocalSocket::readyRead, this, readRequest);
        if (socket->bytesAvailable() > 0)
            readRequest();
    }
}

} // namespace lexorne::app
