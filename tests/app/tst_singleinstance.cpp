// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/lifecycle.h"
#include "app/singleinstance.h"
#include "app/userplatform.h"
#include "tests/support/testsupport.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QWidget>

#include <functional>

using namespace lexorne;
using namespace lexorne::app;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(lexorne::app::ActivationTokens)
Q_DECLARE_METATYPE(lexorne::app::SingleInstance::Role)

namespace {

// A later start runs in its own thread: its waits block, and the first copy
// must keep its event loop turning to answer.
SingleInstance::Role startElsewhere(const QString &dir, const ActivationTokens &tokens,
                                    std::chrono::milliseconds patience = 2s)
{
    auto role = SingleInstance::Role::Primary;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        SingleInstance later(dir, {dir});
        role = later.start(tokens, patience);
    }));
    thread->start();
    while (!thread->wait(10))
        QCoreApplication::processEvents();
    return role;
}

// A later start with these folders, in a thread of its own while this
// thread's event loop turns; tick runs between turns with the time spent so
// far. A start that becomes the running copy must also listen.
SingleInstance::Role startWhile(const QString &lockFolder, const QStringList &runtimeFolders,
                                std::chrono::milliseconds patience,
                                std::chrono::milliseconds exitPatience,
                                const std::function<void(qint64)> &tick = {})
{
    auto role = SingleInstance::Role::Primary;
    std::unique_ptr<QThread> thread(QThread::create([&] {
        SingleInstance later(lockFolder, runtimeFolders);
        role = later.start({}, patience, exitPatience);
        if (role == SingleInstance::Role::Primary && !later.isListening())
            role = SingleInstance::Role::Blocked;
    }));
    QElapsedTimer clock;
    clock.start();
    thread->start();
    while (!thread->wait(10)) {
        QCoreApplication::processEvents();
        if (tick)
            tick(clock.elapsed());
    }
    return role;
}

#ifdef Q_OS_UNIX
// The folders a start would use for its socket with these variables (a
// null runtime: none set), the first to listen in; the test's own come back
// after.
QStringList runtimeFoldersWith(const QString &runtime, const QString &cache)
{
    const auto set = [](const char *name, const QByteArray &value, bool present) {
        if (present)
            qputenv(name, value);
        else
            qunsetenv(name);
    };
    const bool hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const bool hadCache = qEnvironmentVariableIsSet("XDG_CACHE_HOME");
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray savedCache = qgetenv("XDG_CACHE_HOME");
    set("XDG_RUNTIME_DIR", QFile::encodeName(runtime), !runtime.isNull());
    set("XDG_CACHE_HOME", QFile::encodeName(cache), true);
    QStringList chosen = SingleInstance::defaultRuntimeFolders();
    set("XDG_RUNTIME_DIR", savedRuntime, hadRuntime);
    set("XDG_CACHE_HOME", savedCache, hadCache);
    return chosen;
}
#endif

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
        SingleInstance first(dir.path(), {dir.path()});
        QCOMPARE(first.start({}), SingleInstance::Role::Primary);
        QVERIFY(first.isListening());
        QSignalSpy spy(&first, &SingleInstance::activationRequested);

        QCOMPARE(startElsewhere(dir.path(), tokens), SingleInstance::Role::Secondary);
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).value<ActivationTokens>(), tokens);
    }

    void handOverNeedsTheReply_data()
    {
        // What the copy holding the lock does with the request.
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<SingleInstance::Role>("role");
        QTest::newRow("answers") << QByteArray("OK\n") << SingleInstance::Role::Secondary;
        QTest::newRow("hangs") << QByteArray() << SingleInstance::Role::Blocked;
        QTest::newRow("closes") << QByteArray("close") << SingleInstance::Role::Blocked;
        QTest::newRow("answers otherwise") << QByteArray("NO\n") << SingleInstance::Role::Blocked;
        QTest::newRow("answers more") << QByteArray("OK\nOK\n") << SingleInstance::Role::Blocked;
    }
    void handOverNeedsTheReply()
    {
        QFETCH(QByteArray, reply);
        QFETCH(SingleInstance::Role, role);
        testsupport::RuntimeFolder store;
        testsupport::RuntimeFolder runtime;
        SingleInstance holder(store.path(), {});
        QCOMPARE(holder.start({}), SingleInstance::Role::Primary);
        // The holder's socket, played here; a hung copy's kernel still takes
        // the connection and the request.
        QLocalServer server;
        QVERIFY(server.listen(SingleInstance(store.path(), {runtime.path()}).serverName()));
        connect(&server, &QLocalServer::newConnection, this, [&] {
            if (reply.isEmpty())
                return;
            QLocalSocket *socket = server.nextPendingConnection();
            connect(socket, &QLocalSocket::readyRead, socket, [socket, reply] {
                if (!socket->readAll().endsWith("END\n"))
                    return;
                if (reply == "close")
                    socket->abort();
                else
                    socket->write(reply);
            });
        });
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(startWhile(store.path(), {runtime.path()}, 1s, 8s), role);
        // A copy that listens and does not answer is not waited for as long
        // as one that is ending.
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    }

    void startDuringExitOpensWindow()
    {
        testsupport::RuntimeFolder dir;
        auto first = std::make_unique<SingleInstance>(dir.path(), QStringList{dir.path()});
        QCOMPARE(first->start({}), SingleInstance::Role::Primary);
        QObject window;
        first->stopListeningWhenClosed(&window);
        QEvent close(QEvent::Close);
        QCoreApplication::sendEvent(&window, &close);
        QVERIFY(!first->isListening());

        // The first copy saves for a while, then ends and lets go of the lock.
        QCOMPARE(startWhile(dir.path(), {dir.path()}, 1s, 10s,
                            [&](qint64 elapsed) {
                                if (elapsed > 1500)
                                    first.reset();
                            }),
                 SingleInstance::Role::Primary);
    }

    void noLockNoWindow()
    {
        // A folder where the lock cannot be made (a file in the way stops
        // root too): no second window, whatever else runs.
        testsupport::RuntimeFolder dir;
        QFile blocker(dir.filePath(u"config"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        SingleInstance start(dir.filePath(u"config/Quillmoor"_s), {dir.path()});
        QCOMPARE(start.start({}, 300ms, 300ms), SingleInstance::Role::Blocked);
        QVERIFY(!start.isListening());
    }

    void unreadableLock_data()
    {
        // What a crash while the lock was being written may leave.
        QTest::addColumn<QByteArray>("lock");
        QTest::addColumn<bool>("old");
        QTest::addColumn<bool>("guarded");
        QTest::newRow("empty, old") << QByteArray() << true << false;
        QTest::newRow("garbage, old") << QByteArray("\xff\x00zz", 4) << true << false;
        // May be a lock another start is writing at this very moment.
        QTest::newRow("empty, just made") << QByteArray() << false << false;
        // Another start is removing it, and may have made its own lock in
        // its place by the time this one would.
        QTest::newRow("empty, old, being removed") << QByteArray() << true << true;
    }
    void unreadableLock()
    {
        QFETCH(QByteArray, lock);
        QFETCH(bool, old);
        QFETCH(bool, guarded);
        testsupport::RuntimeFolder dir;
        SingleInstance next(dir.path(), {dir.path()});
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

        QLockFile guard(next.lockPath() + u".rmlock"_s);
        if (guarded)
            QVERIFY(guard.tryLock(0));

        // A young one may be another start's: this one does not take the
        // store from it.
        const bool taken = old && !guarded;
        QCOMPARE(next.start({}, 500ms, 500ms),
                 taken ? SingleInstance::Role::Primary : SingleInstance::Role::Blocked);
        QCOMPARE(next.isListening(), taken);
        if (taken)
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
        SingleInstance first(dir.path(), {dir.path()});
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
        SingleInstance first(dir.path(), {dir.path()});
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

    void silentHolderBlocks()
    {
        // A copy that holds the lock but cannot be reached (no private
        // folder for its socket): the later start neither opens a second
        // window nor waits for ever.
#ifdef Q_OS_WIN
        QSKIP("a named pipe needs no folder: a copy holding the lock always listens there");
#endif
        testsupport::RuntimeFolder store;
        testsupport::RuntimeFolder runtime;
        SingleInstance holder(store.path(), {});
        QCOMPARE(holder.start({}), SingleInstance::Role::Primary);
        QVERIFY(!holder.isListening());
        SingleInstance later(store.path(), {runtime.path()});
        QCOMPARE(later.start({}, 300ms, 300ms), SingleInstance::Role::Blocked);
        QVERIFY(!later.isListening());
    }

    void laterStartLooksInEveryFolder()
    {
        // The running copy listens in the session's folder; a start from su
        // or ssh knows only the cache's, first.
        testsupport::RuntimeFolder store;
        testsupport::RuntimeFolder session;
        testsupport::RuntimeFolder cache;
        SingleInstance first(store.path(), {session.path()});
        QCOMPARE(first.start({}), SingleInstance::Role::Primary);
        QCOMPARE(startWhile(store.path(), {cache.path(), session.path()}, 2s, 2s),
                 SingleInstance::Role::Secondary);
    }

    void channelNames_data()
    {
        // Who runs the program: a login, or on Windows a security
        // identifier and a logon session.
        QTest::addColumn<QString>("account");
        QTest::addColumn<QString>("session");
        QTest::addColumn<QString>("other"); // another account or session
        QTest::addColumn<QString>("otherSession");
        const QString sid = u"S-1-5-21-3623811015-3361044348-30300820-1013"_s;
        QTest::newRow("login") << u"alice"_s << QString() << u"alicia"_s << QString();
        QTest::newRow("long login")
            << QString(200, u'a') << QString() << QString(201, u'a') << QString();
        QTest::newRow("odd login") << u"a b/../c"_s << QString() << u"a b/../d"_s << QString();
        QTest::newRow("two sessions") << sid << u"1"_s << sid << u"2"_s;
        QTest::newRow("two accounts") << sid << u"1"_s << sid.chopped(1) + u'4' << u"1"_s;
        QTest::newRow("a domain's") << sid << u"1"_s << u"S-1-5-21-1-2-3-1013"_s << u"1"_s;
    }
    void channelNames()
    {
        QFETCH(QString, account);
        QFETCH(QString, session);
        QFETCH(QString, other);
        QFETCH(QString, otherSession);
        const QString name = SingleInstance::channelNameFor(account, session);
        QCOMPARE(SingleInstance::channelNameFor(account, session), name);
        QVERIFY(name != SingleInstance::channelNameFor(other, otherSession));
        // A pipe's or a file's name: short, no separator, nothing to quote.
        QVERIFY(name.startsWith(u"lexorne-"_s));
        QVERIFY(name.size() <= 100);
        for (QChar c : name)
            QVERIFY2(c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'.', qPrintable(name));
    }

#ifdef Q_OS_UNIX
    void channelNameFits_data()
    {
        QTest::addColumn<int>("folderLength");
        QTest::addColumn<int>("nameLength");
        QTest::addColumn<bool>("usable");
        QTest::newRow("short") << 20 << 12 << true;
        QTest::newRow("long home") << 70 << 30 << true;
        QTest::newRow("long name") << 30 << 90 << true;
        QTest::newRow("folder alone too long") << 100 << 12 << false;
    }
    void channelNameFits()
    {
        QFETCH(int, folderLength);
        QFETCH(int, nameLength);
        QFETCH(bool, usable);
        const QString folder = u'/' + QString(folderLength - 1, u'f');
        const QString channel = userplatform::channelName(folder, QString(nameLength, u'n'));
        QCOMPARE(!channel.isEmpty(), usable);
        if (!usable)
            return;
        QVERIFY(channel.startsWith(folder + u'/'));
        QVERIFY(QFile::encodeName(channel).size() < 108);
        QVERIFY(channel != userplatform::channelName(folder, QString(nameLength + 1, u'n')));
    }

    void lockIsPrivate()
    {
        // The lock names the process, the machine and its boot. The folder
        // is made by the start when missing.
        testsupport::RuntimeFolder dir;
        const QString folder = dir.filePath(u"config/Quillmoor"_s);
        SingleInstance first(folder, {dir.path()});
        QCOMPARE(first.start({}), SingleInstance::Role::Primary);
        QCOMPARE(QFile::permissions(first.lockPath()),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(QFile::permissions(folder) & 0x0077, QFileDevice::Permissions());
    }

    void runtimeFolderIsChecked_data()
    {
        // What XDG_RUNTIME_DIR holds, and whether it is taken; when it is
        // not, a folder of the user's cache serves.
        QTest::addColumn<QString>("runtime");
        QTest::addColumn<bool>("taken");
        QTest::newRow("private") << u"private"_s << true;
        QTest::newRow("unset") << QString() << false;
        QTest::newRow("relative") << u"relative"_s << false;
        QTest::newRow("missing") << u"missing"_s << false;
        QTest::newRow("mode 0755") << u"open"_s << false;
        QTest::newRow("mode 1777") << u"shared"_s << false;
        QTest::newRow("read-only 0500") << u"readonly"_s << false;
        QTest::newRow("link to a private folder") << u"link"_s << false;
        QTest::newRow("a file") << u"file"_s << false;
    }
    void runtimeFolderIsChecked()
    {
        QFETCH(QString, runtime);
        QFETCH(bool, taken);
        testsupport::RuntimeFolder dir;
        const QDir root(dir.path());
        const auto folder = [&](const QString &name, QFile::Permissions mode) {
            QVERIFY(root.mkdir(name));
            QVERIFY(QFile::setPermissions(root.filePath(name), mode));
        };
        const auto owner = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        const auto all =
            owner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
        folder(u"private"_s, owner);
        folder(u"open"_s, all);
        folder(u"shared"_s, all | QFile::WriteGroup | QFile::WriteOther);
        folder(u"readonly"_s, QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(QFile::link(root.filePath(u"private"_s), root.filePath(u"link"_s)));
        QFile file(root.filePath(u"file"_s));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        // Two levels the program makes itself.
        const QString chosen = runtimeFoldersWith(runtime.isNull() ? QString()
                                                                   : (runtime == u"relative"_s
                                                                          ? u"private"_s
                                                                          : root.filePath(runtime)),
                                                  root.filePath(u"cache/deep"_s))
                                   .value(0);
        QFile::setPermissions(root.filePath(u"readonly"_s), owner);

        const QString expected =
            taken ? root.filePath(runtime) : root.filePath(u"cache/deep/lexorne-runtime"_s);
        QCOMPARE(chosen, expected);
        for (const QString &made : {u"cache"_s, u"cache/deep"_s, u"cache/deep/lexorne-runtime"_s}) {
            if (!taken)
                QCOMPARE(QFile::permissions(root.filePath(made)) & 0x0777,
                         QFile::ExeUser | QFile::ReadUser | QFile::WriteUser);
        }
    }

    void laterStartKnowsEveryFolder()
    {
        // A start with the session's folder also asks in the cache's, where
        // a start without it (su, ssh) listens.
        testsupport::RuntimeFolder session;
        testsupport::RuntimeFolder cache;
        const QString fallback = cache.filePath(u"lexorne-runtime"_s);
        QCOMPARE(runtimeFoldersWith(QString(), cache.path()).value(0), fallback);
        const QStringList folders = runtimeFoldersWith(session.path(), cache.path());
        QCOMPARE(folders.value(0), session.path());
        QVERIFY(folders.contains(fallback));
    }

    void runtimeFolderOfOthersIsRefused_data()
    {
        // The folder the program would use in the cache is already there.
        QTest::addColumn<QString>("plant");
        QTest::addColumn<bool>("usable");
        QTest::newRow("own, too open: tightened") << u"open"_s << true;
        QTest::newRow("symbolic link") << u"link"_s << false;
        QTest::newRow("a file") << u"file"_s << false;
    }
    void runtimeFolderOfOthersIsRefused()
    {
        QFETCH(QString, plant);
        QFETCH(bool, usable);
        testsupport::RuntimeFolder dir;
        const QDir root(dir.path());
        const QString target = root.filePath(u"lexorne-runtime"_s);
        if (plant == u"open"_s) {
            QVERIFY(root.mkdir(u"lexorne-runtime"_s));
            QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ExeOwner | QFile::ReadOther |
                                                      QFile::WriteOther | QFile::ExeOther));
        } else if (plant == u"link"_s) {
            QVERIFY(root.mkdir(u"elsewhere"_s));
            QVERIFY(QFile::link(root.filePath(u"elsewhere"_s), target));
        } else {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QString chosen = runtimeFoldersWith(QString(), root.path()).value(0);

        QCOMPARE(chosen, usable ? target : QString());
        if (usable)
            QCOMPARE(QFile::permissions(target) & 0x0777,
                     QFile::ExeUser | QFile::ReadUser | QFile::WriteUser);
        // No channel without a folder: never a bare name that would land in
        // the shared temporary folder.
        QCOMPARE(SingleInstance(root.path(), {chosen}).serverName().isEmpty(), !usable);
    }
#endif

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
