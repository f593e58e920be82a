// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// One copy of the program per user. The first start takes a lock beside the
// store, so that two windows never write the same game, and listens on a
// local socket in a folder private to the user; a later start asks it to come
// to the front and ends. Both ends check that the other runs as this user.
#pragma once

#include "app/activationrequest.h"

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>

namespace lexorne::app {

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Role
    {
        // Holds the lock: opens the window.
        Primary,
        // Another copy answered that it took the request and comes to the
        // front.
        Secondary,
        // Another copy holds the lock but did not take the request, or no
        // lock can be made at all, or the channel is another user's: this
        // start must end without touching the store.
        Blocked
    };

    // The lock lives in lockFolder; the socket in the first of
    // runtimeFolders under name, and a later start looks in all of them. The
    // defaults are the store's folder and the folders private to the user.
    explicit SingleInstance(const QString &lockFolder = defaultLockFolder(),
                            const QStringList &runtimeFolders = defaultRuntimeFolders(),
                            const QString &name = defaultName(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // A copy that listens must answer within patience (a hung one does
    // not); a copy that holds the lock without listening (one that is
    // ending, or still starting) is given exitPatience to let go of it.
    Role start(const ActivationTokens &tokens,
               std::chrono::milliseconds patience = std::chrono::seconds(2),
               std::chrono::milliseconds exitPatience = std::chrono::seconds(10));

    // From the moment window gets its close event, later starts no longer
    // hand over to this copy (which is ending) but wait for its lock.
    void stopListeningWhenClosed(QObject *window);
    void stopListening();

    // The folder of the user's settings, where the store lives.
    static QString defaultLockFolder();
    // See userplatform::runtimeFolders().
    static QStringList defaultRuntimeFolders();
    // See channelNameFor(); for the user and session running the program.
    static QString defaultName();
    // "lexorne-" and the account (a login, or a Windows security
    // identifier), or a hash of it when long or unusual, then the session
    // when there is one: the same for every start of one user in one
    // session, and never the same for two.
    static QString channelNameFor(const QString &account, const QString &session);

    // Where this copy listens; empty when there is no usable channel: this
    // copy then cannot be reached, and a later start says so.
    QString serverName() const { return m_channels.value(0); }
    QString lockPath() const { return m_lockPath; }
    bool isListening() const { return m_server.isListening(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // A later start of this user asked this copy to come to the front.
    void activationRequested(const lexorne::app::ActivationTokens &tokens);

private:
    enum class Answer
    {
        Taken,  // the "OK" reply came
        Silent, // someone listens but did not take it (hung, or not ours)
        Nobody  // nobody listens
    };
    Answer sendRequest(const QString &channel, const ActivationTokens &tokens,
                       std::chrono::milliseconds wait);
    bool listen();
    bool removeAbandonedLock();
    void acceptConnection();

    QString m_lockFolder;
    QStringList m_channels;
    QString m_lockPath;
    QObject *m_window = nullptr;
    QLockFile m_lock;
    QLocalServer m_server;
};

} // namespace lexorne::app
