// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// One copy of the program per user: the first start owns a lock and listens
// on a local socket; a later start asks it to come to the front and ends.
#pragma once

#include <QByteArray>
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <chrono>

namespace lexorne::app {

// What the desktop gave a start so that the window it raises may take the
// focus (Wayland's activation token, the X11 startup id). Passed on to the
// running copy, which puts them into its environment before activating.
struct ActivationTokens
{
    QByteArray xdgActivationToken;
    QByteArray desktopStartupId;

    // Read before the application object exists, which may consume them.
    static ActivationTokens fromEnvironment();
    void applyToEnvironment() const;
    bool operator==(const ActivationTokens &) const = default;
};

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Role
    {
        Primary,
        Secondary
    };

    // The lock and the socket live in directory under name. The defaults
    // are private to the current user.
    explicit SingleInstance(const QString &directory = defaultDirectory(),
                            const QString &name = defaultName(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // Secondary when another copy runs and took the request (the tokens go
    // with it); Primary otherwise, listening for later starts. Never waits
    // longer than patience: a copy that holds the lock but does not answer
    // in time is taken for gone, as if none ran.
    Role start(const ActivationTokens &tokens,
               std::chrono::milliseconds patience = std::chrono::seconds(2));

    // The user's runtime folder (or the temporary folder), and a name that
    // holds the user's login (or a hash of it when long or unusual).
    static QString defaultDirectory();
    static QString defaultName();

    QString serverName() const { return m_serverName; }
    QString lockPath() const { return m_lockPath; }
    bool isListening() const { return m_server.isListening(); }

signals:
    // A later start asked this copy to come to the front.
    void activationRequested(const lexorne::app::ActivationTokens &tokens);

private:
    bool sendRequest(const ActivationTokens &tokens, std::chrono::milliseconds wait);
    void listen();
    void acceptConnection();

    QString m_serverName;
    QString m_lockPath;
    QLockFile m_lock;
    QLocalServer m_server;
};

} // namespace lexorne::app
