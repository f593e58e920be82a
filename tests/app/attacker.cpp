// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Plays another local user against the program (tests/app/attack.sh):
//   attacker listen SOCKET LOG   listens on SOCKET, open to every user, and
//                                appends to LOG whatever anyone sends it,
//                                answering as a running copy would
//   attacker request SOCKET      sends an activation request to SOCKET;
//                                status 0 when it was answered
#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>

#include <cstdio>

namespace {

int listen(const QString &socketPath, const QString &logPath)
{
    QLocalServer server;
    server.setSocketOptions(QLocalServer::WorldAccessOption);
    QLocalServer::removeServer(socketPath);
    if (!server.listen(socketPath)) {
        std::fprintf(stderr, "attacker: cannot listen: %s\n", qPrintable(server.errorString()));
        return 2;
    }
    QFile log(logPath);
    if (!log.open(QIODevice::Append | QIODevice::Unbuffered))
        return 2;
    QObject::connect(&server, &QLocalServer::newConnection, [&] {
        while (QLocalSocket *socket = server.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [socket, &log] {
                log.write(socket->readAll());
                socket->write("OK\n");
                socket->flush();
            });
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
    std::printf("listening\n");
    std::fflush(stdout);
    return QCoreApplication::exec();
}

int request(const QString &socketPath)
{
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(2000))
        return 3;
    socket.write("LEXORNE ACTIVATE\nEND\n");
    socket.flush();
    QByteArray reply;
    while (!reply.contains('\n') && socket.waitForReadyRead(3000))
        reply += socket.readAll();
    return reply == "OK\n" ? 0 : 3;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 4 && arguments[1] == u"listen")
        return listen(arguments[2], arguments[3]);
    if (arguments.size() == 3 && arguments[1] == u"request")
        return request(arguments[2]);
    std::fprintf(stderr, "usage: attacker listen SOCKET LOG | attacker request SOCKET\n");
    return 2;
}
