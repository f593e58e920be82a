// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built program as the user would: one copy at a time, and every
// orderly end saving the quotation.
#include "app/singleinstance.h"
#include "app/userplatform.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <signal.h>
#endif

using namespace lexorne::app;
using namespace Qt::StringLiterals;

namespace {

// A user of their own: home, settings and runtime folders in a temporary
// folder, so no test meets the real user's settings or running copy. On
// Windows the lock goes to the temporary folder, but the pipe is named after
// the account and session, which no test can change, and the store is the
// registry, which no folder can stand in for: the program meets a running
// copy of the user running the suite, and reads (and on closing rewrites)
// their game.
class Sandbox
{
public:
    Sandbox()
    {
        for (const QString &folder : {u"home"_s, u"config/Quillmoor"_s})
            QDir(m_root.path()).mkpath(folder);
    }

    QString runtime() const { return m_runtime.path(); }
    QString store() const { return m_root.filePath(u"config/Quillmoor/Lexorne.conf"_s); }

    std::unique_ptr<QProcess>
    launch(QProcess::ProcessChannelMode channels = QProcess::ForwardedErrorChannel) const
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        env.insert(u"HOME"_s, m_root.filePath(u"home"_s));
        env.insert(u"XDG_CONFIG_HOME"_s, m_root.filePath(u"config"_s));
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime());
        env.remove(u"XDG_ACTIVATION_TOKEN"_s);
        env.remove(u"DESKTOP_STARTUP_ID"_s);
#ifdef Q_OS_WIN
        env.insert(u"TEMP"_s, QDir::toNativeSeparators(runtime()));
        env.insert(u"TMP"_s, QDir::toNativeSeparators(runtime()));
#endif
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(channels);
        // Wine hands no QT_* variable on, so the platform also goes here.
        process->start(QStringLiteral(LEXORNE_BINARY), {u"-platform"_s, u"offscreen"_s});
        return process;
    }

    // True once process answers as the running copy; its answer comes from
    // its event loop, so by then the window has loaded the game.
    bool answers(QProcess &process) const
    {
        const QString server = userplatform::channelName(runtime(), instanceName());
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (process.state() == QProcess::NotRunning)
                return false;
            QLocalSocket socket;
            socket.connectToServer(server);
            if (socket.waitForConnected(200)) {
                socket.write("LEXORNE ACTIVATE\nEND\n");
                if (socket.waitForReadyRead(2000) && socket.readAll() == "OK\n")
                    return true;
            }
            QTest::qWait(100);
        }
        return false;
    }

    // The lock's and the socket's name in the runtime folder.
    QString instanceName() const
    {
        return SingleInstance::defaultName();
    }

    // Every file of the settings folder with its bytes and time (and on
    // Windows, every value of the registry store).
    QStringList snapshot() const
    {
        QStringList files;
#ifdef Q_OS_WIN
        QSettings registry(QSettings::NativeFormat, QSettings::UserScope, u"Quillmoor"_s,
                           u"Lexorne"_s);
        for (const QString &key : registry.allKeys())
            files << key + u'=' + registry.value(key).toString();
#endif
        QDirIterator it(m_root.filePath(u"config"_s), QDir::AllEntries | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : "";
            files << path + u' ' + it.fileInfo().lastModified().toString(Qt::ISODateWithMs) + u' ' +
                         QString::fromLatin1(bytes.toHex());
        }
        files.sort();
        return files;
    }

    void writeStore(const QByteArray &bytes) const
    {
        QFile file(store());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QVariant stored(const QString &key) const
    {
        const QString copy = m_root.filePath(u"copy-%1.ini"_s.arg(++m_copies));
        QFile::copy(store(), copy);
        return QSettings(copy, QSettings::IniFormat).value(key);
    }

private:
    QTemporaryDir m_root;
    lexorne::testsupport::RuntimeFolder m_runtime;
    mutable int m_copies = 0;
};

bool endsWithin(QProcess &process, int ms)
{
    return process.state() == QProcess::NotRunning || process.waitForFinished(ms);
}

void stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
#ifdef Q_OS_WIN
    // terminate() asks the program's windows to close, and offscreen there
    // are none to ask.
    process.kill();
#else
    process.terminate();
    if (!process.waitForFinished(10000))
        process.kill();
#endif
    process.waitForFinished();
}

} // namespace

class TestLexorne : public QObject
{
    Q_OBJECT

private slots:
    void secondStartTouchesNothing()
    {
        // A stored ticked letter: a second window loading the game would
        // write it back and change the file's time.
        Sandbox sandbox;
        sandbox.writeStore("[General%20Settings]\nCitation=Il pleut\n[Alpha]\n4=1\n12=0\n");
        auto first = sandbox.launch();
        QVERIFY(sandbox.answers(*first));
        const QStringList before = sandbox.snapshot();
        QTest::qWait(20); // so that a rewrite would show in the file times

        auto second = sandbox.launch();
        QVERIFY(endsWithin(*second, 10000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(sandbox.snapshot(), before);
        QCOMPARE(first->state(), QProcess::Running);
        stop(*first);
    }

    void simultaneousStartsLeaveOneCopy()
    {
        for (int round = 0; round < 3; ++round) {
            Sandbox sandbox;
            auto a = sandbox.launch();
            auto b = sandbox.launch();
            QTRY_VERIFY_WITH_TIMEOUT(
                a->state() == QProcess::NotRunning || b->state() == QProcess::NotRunning, 10000);
            QProcess &gone = a->state() == QProcess::NotRunning ? *a : *b;
            QProcess &kept = &gone == a.get() ? *b : *a;
            QCOMPARE(gone.exitCode(), 0);
            QVERIFY(sandbox.answers(kept));
            stop(kept);
        }
    }

    void restartAfterKill()
    {
        Sandbox sandbox;
        auto first = sandbox.launch();
        QVERIFY(sandbox.answers(*first));
        first->kill();
        QVERIFY(first->waitForFinished());
#ifdef Q_OS_UNIX
        // The dead copy's lock beside the store and its socket are still
        // there (on Windows the lock is in the user's own application data
        // and a pipe goes with its process)...
        QVERIFY(QFile::exists(QFileInfo(sandbox.store()).dir().filePath(u"Lexorne.lock"_s)));
        QVERIFY(
            QFile::exists(userplatform::channelName(sandbox.runtime(), sandbox.instanceName())));
#endif

        // ...and do not stop the next start from becoming the running copy.
        auto next = sandbox.launch();
        QVERIFY(sandbox.answers(*next));
        stop(*next);
    }

#ifdef Q_OS_UNIX
    void hungCopySaysSo()
    {
        // A copy that no longer runs its event loop: its socket still takes
        // the request, and nothing answers. The later start says so, soon.
        Sandbox sandbox;
        auto first = sandbox.launch();
        QVERIFY(sandbox.answers(*first));
        QVERIFY(::kill(pid_t(first->processId()), SIGSTOP) == 0);
        auto second = sandbox.launch(QProcess::MergedChannels);
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += second->readAll()).contains("déjà ouvert") ||
                                     second->state() == QProcess::NotRunning,
                                 8000);
        // Its message box waits for a user; the line before it is enough.
        QVERIFY2(said.contains("déjà ouvert"), said.constData());
        second->kill();
        second->waitForFinished();
        ::kill(pid_t(first->processId()), SIGCONT);
        stop(*first);
    }

    void orderlyEndStoresQuotation_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("writable");
        QTest::newRow("SIGTERM") << SIGTERM << true;
        QTest::newRow("SIGINT") << SIGINT << true;
        QTest::newRow("SIGHUP") << SIGHUP << true;
        QTest::newRow("SIGTERM, store unwritable") << SIGTERM << false;
    }
    void orderlyEndStoresQuotation()
    {
        QFETCH(int, signalNumber);
        QFETCH(bool, writable);
        const QString quotation = u"Il pleut,\nil mouille : « c'est la fête » 😀"_s;
        Sandbox sandbox;
        {
            QSettings initial(sandbox.store(), QSettings::IniFormat);
            initial.setValue(u"General Settings/Citation"_s, quotation);
            initial.setValue(u"Alpha/4"_s, u"1"_s);
        }
        auto lexorne = sandbox.launch();
        QVERIFY(sandbox.answers(*lexorne));

        // Only the quotation write at the end can bring "Citation" back; the
        // key added meanwhile shows that the file is read again, not
        // overwritten from what the program read at start.
        if (writable) {
            sandbox.writeStore("[Alpha]\n4=1\n[Marque]\nici=1\n");
        } else {
            QVERIFY(QFile::remove(sandbox.store()));
            QVERIFY(QDir().mkpath(sandbox.store()));
        }
        QVERIFY(::kill(pid_t(lexorne->processId()), signalNumber) == 0);

        // A failed save must not wait on a message box nobody will close.
        QVERIFY(endsWithin(*lexorne, 10000));
        QCOMPARE(lexorne->exitStatus(), QProcess::NormalExit);
        QCOMPARE(lexorne->exitCode(), 0);
        if (!writable)
            return;
        QCOMPARE(sandbox.stored(u"General Settings/Citation"_s).toString(), quotation);
        QCOMPARE(sandbox.stored(u"Marque/ici"_s), QVariant(u"1"_s));
        QCOMPARE(sandbox.stored(u"Alpha/4"_s), QVariant(u"1"_s));
    }
#endif
};

QTEST_GUILESS_MAIN(TestLexorne)
#include "tst_lexorne.moc"
