// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line against what the system throws at it, through a shell as
// a user would: endless and huge inputs under a memory limit, file names that
// are not UTF-8, and the operating system's errors said in French.
#include "cli/cli.h"
#include "cli/stdio.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>

#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

// AddressSanitizer reserves terabytes of address space at start, so a memory
// limit stops the sanitized program before it reads a byte.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

class TestCliIo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // By the name's bytes: Qt would turn one that is not UTF-8 into
        // another name.
        const auto write = [this](const QByteArray &name, const QByteArray &bytes) {
            const QByteArray path = QFile::encodeName(m_dir.path()) + '/' + name;
            const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            QVERIFY(fd >= 0);
            QCOMPARE(::write(fd, bytes.constData(), size_t(bytes.size())), ssize_t(bytes.size()));
            ::close(fd);
        };
        write("caf\xe9.txt", "Le chat");
        write("locked.txt", "Le chat");
        QVERIFY(QFile::setPermissions(m_dir.filePath(u"locked.txt"_s), {}));
        write("large.txt", QByteArray("Le chat dort. ").repeated(100000));
        // Sparse: a quarter of a gigabyte that takes no room on the disk.
        QFile sparse(m_dir.filePath(u"sparse.txt"_s));
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(qint64{250} * 1024 * 1024));
    }

    void cleanupTestCase()
    {
        // A name Qt cannot give back, so the folder's removal would miss it.
        ::unlink((QFile::encodeName(m_dir.path()) + "/caf\xe9.txt").constData());
    }

    void outcomes_data()
    {
        // $L is the program. A message is checked to be one French line;
        // none means nothing at all on the error output.
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<bool>("needsNonRoot");

        QTest::newRow("file name not UTF-8")
            << QByteArray("\"$L\" --lettres e \"$(printf 'caf\\351.txt')\"") << 0
            << QByteArray("*e ****") << QByteArray() << false;
        // A filter: endless input flows through, in memory that does not
        // grow with it (the limit is far below the sparse file's size).
        QTest::newRow("endless input, limited memory")
            << QByteArray("ulimit -v 200000; \"$L\" --lettres E /dev/zero | head -c 3 | od -An -c")
            << 0 << QByteArray("  \\0  \\0  \\0\n") << QByteArray() << false;
        QTest::newRow("endless standard input")
            << QByteArray("\"$L\" --lettres E < /dev/zero | head -c 2 | wc -c") << 0
            << QByteArray("2\n") << QByteArray() << false;
        QTest::newRow("input far larger than the memory")
            << QByteArray("ulimit -v 200000; \"$L\" --lettres E sparse.txt | wc -c") << 0
            << QByteArray("262144000\n") << QByteArray() << false;
        QTest::newRow("missing file")
            << QByteArray("\"$L\" --lettres E absent.txt") << 1 << QByteArray()
            << QByteArray("fichier introuvable : absent.txt") << false;
        QTest::newRow("path through a file")
            << QByteArray("\"$L\" --lettres E large.txt/x") << 1 << QByteArray()
            << QByteArray("« large.txt/x » : un élément du chemin n'est pas un dossier") << false;
        QTest::newRow("no permission")
            << QByteArray("\"$L\" --lettres E locked.txt") << 1 << QByteArray()
            << QByteArray("« locked.txt » : permission refusée") << true;
        QTest::newRow("folder as standard input")
            << QByteArray("\"$L\" --lettres E < .") << 1 << QByteArray()
            << QByteArray("l'entrée standard est un dossier") << false;
        QTest::newRow("disk full")
            << QByteArray("\"$L\" --lettres E large.txt > /dev/full") << 1 << QByteArray()
            << QByteArray("sortie standard : plus de place sur le disque") << false;
        QTest::newRow("output closed")
            << QByteArray("\"$L\" --lettres E large.txt >&-") << 1 << QByteArray()
            << QByteArray("sortie standard : flux fermé") << false;
        // The reader has all it wanted: nothing to say, whether the signal
        // is ignored or not.
        QTest::newRow("reader gone") << QByteArray("\"$L\" --lettres E large.txt | head -c 3") << 0
                                     << QByteArray("*e ") << QByteArray() << false;
        QTest::newRow("reader gone, signal ignored")
            << QByteArray("trap '' PIPE; \"$L\" --lettres E large.txt | head -c 3") << 0
            << QByteArray("*e ") << QByteArray() << false;
        QTest::newRow("Qt option as written")
            << QByteArray("\"$L\" -platform offscreen --lettres E") << 2 << QByteArray()
            << QByteArray("option inconnue : -platform (") << false;
    }
    void outcomes()
    {
        QFETCH(QByteArray, command);
        QFETCH(int, status);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, message);
        QFETCH(bool, needsNonRoot);
        if (needsNonRoot && ::geteuid() == 0)
            QSKIP("root reads every file");
        if (kAddressSanitizer && command.contains("ulimit -v"))
            QSKIP("a memory limit stops AddressSanitizer itself");

        QProcess shell;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"L"_s, QStringLiteral(LEXORNE_BINARY));
        shell.setProcessEnvironment(env);
        shell.setWorkingDirectory(m_dir.path());
        shell.start(u"/bin/sh"_s, {u"-c"_s, QString::fromUtf8(command)});
        QVERIFY(shell.waitForFinished(60000));
        const QByteArray err = shell.readAllStandardError();
        QCOMPARE(shell.exitStatus(), QProcess::NormalExit);
        QCOMPARE(shell.exitCode(), status);
        QCOMPARE(shell.readAllStandardOutput(), output);
        if (message.isEmpty()) {
            QCOMPARE(err, QByteArray());
            return;
        }
        QVERIFY2(err.startsWith("lexorne : ") && err.endsWith('\n') && err.count('\n') == 1,
                 err.constData());
        QVERIFY2(err.contains(message), err.constData());
    }

    // A stream inherited non-blocking has nothing ready, then has: the
    // program waits for it rather than failing.
    void nonBlockingStreamsWait_data()
    {
        QTest::addColumn<bool>("reading");
        QTest::newRow("input with nothing yet") << true;
        QTest::newRow("output full for now") << false;
    }
    void nonBlockingStreamsWait()
    {
        QFETCH(bool, reading);
        namespace os = lexorne::cli::detail::os;
        int ends[2] = {-1, -1};
        QCOMPARE(::pipe2(ends, O_NONBLOCK | O_CLOEXEC), 0);
        const QByteArray chunk(4096, 'x');
        if (!reading) {
            while (::write(ends[1], chunk.constData(), size_t(chunk.size())) > 0) {
            }
        }
        // The other end acts a little later, from a thread of its own.
        std::unique_ptr<QThread> other(QThread::create([&] {
            QThread::msleep(200);
            if (reading) {
                QCOMPARE(::write(ends[1], "abc", 3), ssize_t(3));
            } else {
                char sink[65536];
                while (::read(ends[0], sink, sizeof sink) > 0) {
                }
            }
        }));
        other->start();
        char buffer[16];
        const qint64 moved = reading ? os::readSome(ends[0], buffer, sizeof buffer)
                                     : os::writeSome(ends[1], chunk.constData(), chunk.size());
        const int error = errno;
        other->wait();
        ::close(ends[0]);
        ::close(ends[1]);
        QVERIFY2(moved > 0, qPrintable(lexorne::cli::detail::systemError(error)));
        if (reading)
            QCOMPARE(QByteArray(buffer, int(moved)), QByteArray("abc"));
    }

    void argumentBytesComeBack_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ASCII") << QByteArray("citation.txt");
        QTest::newRow("UTF-8") << QByteArray("\xc3\xa9t\xc3\xa9 \xf0\x9f\x98\x80.txt");
        QTest::newRow("Latin-1") << QByteArray("caf\xe9.txt");
        QTest::newRow("cut short") << QByteArray("a\xc3");
        QTest::newRow("lone continuation") << QByteArray("\x80\xbf");
        QTest::newRow("encoded surrogates") << QByteArray("\xed\xa0\x80\xed\xb2\x80");
        QTest::newRow("overlong") << QByteArray("\xc0\xaf");
        QTest::newRow("every high byte") << [] {
            QByteArray all;
            for (int b = 0x80; b <= 0xff; ++b)
                all += char(b);
            return all;
        }();
    }
    void argumentBytesComeBack()
    {
        QFETCH(QByteArray, bytes);
        const QString text = lexorne::cli::detail::decodeArgument(bytes);
        QCOMPARE(lexorne::cli::detail::fileNameBytes(text), bytes);
        // Well-formed UTF-8 reads as itself.
        if (!lexorne::cli::firstInvalidUtf8(bytes))
            QCOMPARE(text, QString::fromUtf8(bytes));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCliIo)
#include "tst_cli_io.moc"
