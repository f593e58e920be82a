// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/lifecycle.h"
#include "app/singleinstance.h"
#include "tests/support/testsupport.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QWidget>

using namespace lexorne;
using namespace lexorne::app;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(lexorne::app::ActivationTokens)

namespace {

// A later start runs in its own thread: its waits block, and the first copy
// must keep its event loop turning to answer.
SingleInstance::Role startElsewhere(const QString &dir, const ActivationTokens &tokens,
                                    std::chrono::milliseconds patience = 2s)
{
    auto role = SingleInstance::Role::Primary;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        SingleInstance later(dir);
        role = later.start(tokens, patience);
    }));
    thread->start();
    while (!thread->wait(10))
        QCoreApplication::processEvents();
    return role;
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qRegisterMetaType<ActivationTokens>(); }

    void laterStartHandsOver_data()
    {
        QTest::addColumn<ActivationTokens>("tokens");
        QTest::newRow("no token") << ActivationTokens{};
        QTest::newRow("both") << ActivationTokens{"a.b/c+d=", "x_TIME0"};
    }
    void laterStartHandsOver()
    {
        QFETCH(ActivationTokens, tokens);
        testsupport::RuntimeFolder dir;
        SingleInstance first(dir.path());
        QCOMPARE(first.start({}), SingleInstance::Role::Primary);
        QVERIFY(first.isListening());
        QSignalSpy spy(&first, &SingleInstance::activationRequested);

        QCOMPARE(startElsewhere(dir.path(), tokens), SingleInstance::Role::Secondary);
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).value<ActivationTokens>(), tokens);
    }

    void unreadableLock_data()
    {
        // What a crash while the lock was being written may leave.
        QTest::addColumn<QByteArray>("lock");
        QTest::addColumn<bool>("old");
        QTest::newRow("empty, old") << QByteArray() << true;
        QTest::newRow("garbage, old") << QByteArray("\xff\x00zz", 4) << true;
        // May be a lock another start is writing at this very moment.
        QTest::newRow("empty, just made") << QByteArray() << false;
    }
    void unreadableLock()
    {
        QFETCH(QByteArray, lock);
        QFETCH(bool, old);
        testsupport::RuntimeFolder dir;
        SingleInstance next(dir.path());
        QFile file(next.lockPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(lock);
        file.flush();
        if (old)
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                     QFileDevice::FileModificationTime));
        file.close();
        // A socket file left behind too, where the channel is a file (on
        // Windows it is a named pipe, and a file of that name would land in
        // the working folder).
        if (QFileInfo(next.serverName()).isAbsolute()) {
            QFile socket(next.serverName());
            QVERIFY(socket.open(QIODevice::WriteOnly));
            socket.close();
        }

        QCOMPARE(next.start({}, 500ms), SingleInstance::Role::Primary);
        QCOMPARE(next.isListening(), old);
        if (old)
            QCOMPARE(startElsewhere(dir.path(), {}), SingleInstance::Role::Secondary);
    }

    void badRequestsAreDropped_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::newRow("wrong header") << QByteArray("HELLO\nEND\n");
        QTest::newRow("huge line") << QByteArray("LEXORNE ACTIVATE\n") + QByteArray(5000, 'x');
        QTest::newRow("endless lines")
            << QByteArray("LEXORNE ACTIVATE\n") + QByteArray("X=1\n").repeated(2000) + "END\n";
    }
    void badRequestsAreDropped()
    {
        QFETCH(QByteArray, request);
        testsupport::RuntimeFolder dir;
        SingleInstance first(dir.path());
        QCOMPARE(first.start({}), SingleInstance::Role::Primary);
        QSignalSpy spy(&first, &SingleInstance::activationRequested);

        QLocalSocket client;
        client.connectToServer(first.serverName());
        QVERIFY(client.waitForConnected(1000));
        client.write(request);
        client.flush();
        // Answered by closing, at the latest when the client's time is up.
        QTRY_COMPARE_WITH_TIMEOUT(client.state(), QLocalSocket::UnconnectedState, 5000);
        QCOMPARE(spy.size(), 0);
        // And the next good request still gets through.
        QCOMPARE(startElsewhere(dir.path(), {}), SingleInstance::Role::Secondary);
        QTRY_COMPARE(spy.size(), 1);
    }

    void onlyPlausibleTokensPass_data()
    {
        // Tokens go into the environment of the running copy: printable
        // ASCII only, and short enough to fit a request line.
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<bool>("kept");
        QTest::newRow("printable") << QByteArray("a.b/c+d=_~!") << true;
        QTest::newRow("longest") << QByteArray(992, 'x') << true;
        QTest::newRow("too long") << QByteArray(993, 'x') << false;
        QTest::newRow("space inside") << QByteArray("ab cd") << false;
        QTest::newRow("space first") << QByteArray(" abcd") << false;
        QTest::newRow("tab") << QByteArray("ab\tcd") << false;
        QTest::newRow("escape sequence") << QByteArray("\x1b[2Jab") << false;
        QTest::newRow("control A") << QByteArray("ab\x01") << false;
        QTest::newRow("carriage return") << QByteArray("ab\r") << false;
        QTest::newRow("delete") << QByteArray("ab\x7f") << false;
        QTest::newRow("non-ASCII") << QByteArray("caf\xc3\xa9") << false;
    }
    void onlyPlausibleTokensPass()
    {
        QFETCH(QByteArray, token);
        QFETCH(bool, kept);
        const ActivationTokens expected{kept ? token : QByteArray(), kept ? token : QByteArray()};

        // From this start's environment...
        qputenv("XDG_ACTIVATION_TOKEN", token);
        qputenv("DESKTOP_STARTUP_ID", token);
        const ActivationTokens fromEnvironment = ActivationTokens::fromEnvironment();
        qunsetenv("XDG_ACTIVATION_TOKEN");
        qunsetenv("DESKTOP_STARTUP_ID");
        QCOMPARE(fromEnvironment, expected);

        // ...and from a later start's request.
        testsupport::RuntimeFolder dir;
        SingleInstance first(dir.path());
        QCOMPARE(first.start({}), SingleInstance::Role::Primary);
        QSignalSpy spy(&first, &SingleInstance::activationRequested);
        QLocalSocket client;
        client.connectToServer(first.serverName());
        QVERIFY(client.waitForConnected(1000));
        client.write("LEXORNE ACTIVATE\nXDG_ACTIVATION_TOKEN=" + token +
                     "\nDESKTOP_STARTUP_ID=" + token + "\nEND\n");
        client.flush();
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).value<ActivationTokens>(), expected);
    }

    void bringToFrontRestores()
    {
        QWidget window;
        window.showMinimized();
        QVERIFY(window.windowState() & Qt::WindowMinimized);
        bringToFront(&window);
        QVERIFY(!(window.windowState() & Qt::WindowMinimized));
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
