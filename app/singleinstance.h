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

#include <chrono>

namespace lexorne::app {

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Role
    {
        // Holds the lock (or nobody can write the store at all): opens the
        // window.
        Primary,
        // Another copy took the request and comes to the front.
        Secondary,
        // Another copy holds the lock but did not take the request: this
        // start must end without touching the store.
        Blocked
    };

    // The lock lives in lockFolder, the socket in runtimeFolder under name.
    // The defaults are the store's folder and a folder private to the user.
    explicit SingleInstance(const QString &lockFolder = defaultLockFolder(),
                            const QString &runtimeFolder = defaultRuntimeFolder(),
                            const QString &name = defaultName(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // Never waits longer than patience for a copy that holds the lock to take
    // the request (it may still be starting).
    Role start(const ActivationTokens &tokens,
               std::chrono::milliseconds patience = std::chrono::seconds(2));

    // The folder of the user's settings, where the store lives.
    static QString defaultLockFolder();
    // See userplatform::privateRuntimeFolder().
    static QString defaultRuntimeFolder();
    // A name that holds the user's login (or a hash of it when long or
    // unusual).
    static QString defaultName();

    // Empty when there is no usable channel: this copy then cannot be
    // reached, and a later start says so.
    QString serverName() const { return m_serverName; }
    QString lockPath() const { return m_lockPath; }
    bool isListening() const { return m_server.isListening(); }

signals:
    // A later start of this user asked this copy to come to the front.
    void activationRequested(const lexorne::app::ActivationTokens &tokens);

private:
    bool sendRequest(const ActivationTokens &tokens, std::chrono::milliseconds wait);
    void listen();
    void acceptConnection();

    QString m_lockFolder;
    QString m_serverName;
    QString m_lockPath;
    QLockFile m_lock;
    QLocalServer m_server;
};

} // namespace lexorne::app
