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
        SingleInstance later(dir, dir);
        role = later.start(tokens, patience);
    }));
    thread->start();
    while (!thread->wait(10))
        QCoreApplication::processEvents();
    return role;
}

#ifdef Q_OS_UNIX
// The folder a start would choose for its socket with these variables (a
// null runtime: none set); the test's own come back after.
QString runtimeFolderWith(const QString &runtime, const QString &cache)
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
    QString chosen = SingleInstance::defaultRuntimeFolder();
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
        SingleInstance first(dir.path(), dir.path());
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
        SingleInstance next(dir.path(), dir.path());
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

        // A young one may be another start's: this one does not take the
        // store from it.
        QCOMPARE(next.start({}, 500ms),
                 old ? SingleInstance::Role::Primary : SingleInstance::Role::Blocked);
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
        SingleInstance first(dir.path(), dir.path());
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
        SingleInstance first(dir.path(), dir.path());
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
        SingleInstance holder(store.path(), QString());
        QCOMPARE(holder.start({}), SingleInstance::Role::Primary);
        QVERIFY(!holder.isListening());
        SingleInstance later(store.path(), runtime.path());
        QCOMPARE(later.start({}, 300ms), SingleInstance::Role::Blocked);
        QVERIFY(!later.isListening());
    }

#ifdef Q_OS_UNIX
    void lockIsPrivate()
    {
        // The lock names the process, the machine and its boot. The folder
        // is made by the start when missing.
        testsupport::RuntimeFolder dir;
        const QString folder = dir.filePath(u"config/Quillmoor"_s);
        SingleInstance first(folder, dir.path());
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
        const QString chosen = runtimeFolderWith(
            runtime.isNull() ? QString()
                             : (runtime == u"relative"_s ? u"private"_s : root.filePath(runtime)),
            root.filePath(u"cache/deep"_s));
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
        const QString chosen = runtimeFolderWith(QString(), root.path());

        QCOMPARE(chosen, usable ? target : QString());
        if (usable)
            QCOMPARE(QFile::permissions(target) & 0x0777,
                     QFile::ExeUser | QFile::ReadUser | QFile::WriteUser);
        // No channel without a folder: never a bare name that would land in
        // the shared temporary folder.
        QCOMPARE(SingleInstance(root.path(), chosen).serverName().isEmpty(), !usable);
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
