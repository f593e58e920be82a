#include "settings.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <unistd.h>

using namespace lexorne;
using namespace lexorne::settings;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(lexorne::LetterState)

namespace {

// Stands in for the main window: keeps the board and runs the letter write
// on a real change only, as the window's check boxes do; records every call.
class FakeView : public GameView
{
public:
    explicit FakeView(Store &store) : m_store(store) {}

    void setQuotation(const QString &text) override
    {
        calls << u"quotation:"_s + text;
        quotation = text;
    }
    void setLetterState(int index, LetterState state) override
    {
        calls << u"set %1=%2"_s.arg(index).arg(int(state));
        if (states[index] == state)
            return;
        states[index] = state;
        m_store.writeLetter(index, state);
        calls << u"write %1=%2"_s.arg(index).arg(int(state));
    }
    void showRendering() override { calls << u"render"_s; }
    void clearResult() override { calls << u"clear"_s; }

    std::array<LetterState, kLetterCount> states{};
    QString quotation;
    QStringList calls;

private:
    Store &m_store;
};

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString folder() const { return m_dir->filePath(u"Quillmoor"_s); }
    QString confPath() const { return m_dir->filePath(u"Quillmoor/Lexorne.conf"_s); }

    void writeFile(const QByteArray &bytes)
    {
        QDir().mkpath(folder());
        QFile f(confPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    QByteArray fileBytes(const QString &path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // What a fresh process would read: QSettings keeps what it wrote in a
    // cache keyed by file name, so parse a copy under another name.
    QVariant diskValue(const QString &key) const
    {
        const QString copy = m_dir->filePath(u"copy-%1.ini"_s.arg(++m_copies));
        QFile::copy(confPath(), copy);
        return QSettings(copy, QSettings::IniFormat).value(key);
    }
    mutable int m_copies = 0;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
    }

    void layoutOnDisk()
    {
        Store store;
        QCOMPARE(store.location(), confPath());
        QVERIFY(store.writeQuotation(u"Il pleut"_s));
        QVERIFY(store.writeLetter(4, LetterState::Ticked));
        QVERIFY(store.writeLetter(25, LetterState::Unticked));
        const QByteArray bytes = fileBytes(confPath());
        QVERIFY(bytes.contains("[General%20Settings]\nCitation=Il pleut\n"));
        QVERIFY(bytes.contains("[Alpha]\n25=0\n4=1\n"));

        // The same section written by hand with a plain space is read too.
        writeFile("[General Settings]\nCitation=Main\n[Alpha]\n2=1\n");
        Store again;
        QCOMPARE(again.readQuotation(), u"Main"_s);
        QCOMPARE(again.readLetter(2), LetterState::Ticked);
        QVERIFY(again.setAsidePath().isEmpty());
    }

    void quotationRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("line breaks") << u"a\r\nb\nc\rd\r\n\r\n"_s;
        QTest::newRow("nbsp and accents") << u"Cœur\u00A0: «\u00A0été\u00A0»"_s;
        QTest::newRow("nul") << u"a"_s + QChar(0) + u"b"_s;
        QTest::newRow("emoji") << u"😀 🇫🇷"_s;
        QTest::newRow("lone high surrogate") << u"x"_s + QChar(0xD83D) + u"y"_s;
        QTest::newRow("lone low surrogate") << QChar(0xDE00) + u"z"_s;
        QTest::newRow("swapped pair") << QString(QChar(0xDE00)) + QChar(0xD83D);
        QTest::newRow("high then pair") << QString(QChar(0xD83D)) + u"😀"_s + QChar(0xD83D);
        QTest::newRow("ini syntax") << u"k=v; #c [s] \"q\" \\n \\"_s;
        QTest::newRow("outer spaces") << u"  both  "_s;
        QTest::newRow("tabs") << u"\tt\t"_s;
        QTest::newRow("at sign") << u"@"_s;
        QTest::newRow("looks like a variant") << u"@Variant(\\0)"_s;
        QTest::newRow("looks like bytes") << u"@ByteArray(abc)"_s;
        QTest::newRow("commas") << u"a, b,c"_s;
        QTest::newRow("noncharacters") << u"\uFFFF\uFEFF\uFFFD"_s;
        QString all;
        for (char16_t c = 1; c < 0xD800; ++c)
            all += QChar(c);
        QTest::newRow("every BMP code below surrogates") << all;
        QString big;
        for (int i = 0; i < (1 << 20) / 8; ++i)
            big += u"Ab\r\n\u00E9 ;="_s;
        QTest::newRow("one megabyte") << big;
    }
    void quotationRoundTrip()
    {
        QFETCH(QString, text);
        Store store;
        QVERIFY(store.writeQuotation(text));
        QCOMPARE(Store::decodeQuotation(diskValue(u"General Settings/Citation"_s)), text);
        // Whatever was needed to keep it, the file stays valid UTF-8 and
        // readable, so the next run does not set it aside.
        QVERIFY(store.writeLetter(0, LetterState::Ticked));
        Store next;
        QVERIFY(next.setAsidePath().isEmpty());
        if (text.isValidUtf16())
            QCOMPARE(diskValue(u"General Settings/Citation"_s).typeId(), QMetaType::QString);
    }

    void decodeHandWritten_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QByteArray("Citation=abc") << u"abc"_s;
        QTest::newRow("list") << QByteArray("Citation=a, b") << u"a, b"_s;
        QTest::newRow("bad bytes")
            << QByteArray("Citation=@ByteArray(a\\xff\\xc3z)") << u"a\uFFFD\uFFFDz"_s;
        QTest::newRow("number") << QByteArray("Citation=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x7)")
                                << u"7"_s;
        QTest::newRow("rect") << QByteArray("Citation=@Rect(1 2 3 4)") << QString();
    }
    void decodeHandWritten()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, expected);
        writeFile("[General%20Settings]\n" + line + "\n");
        QCOMPARE(Store().readQuotation(), expected);
    }

    void letterValues_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<LetterState>("expected");
        QTest::newRow("1") << QByteArray("1") << LetterState::Ticked;
        QTest::newRow("2") << QByteArray("2") << LetterState::Greyed;
        QTest::newRow("0") << QByteArray("0") << LetterState::Unticked;
        QTest::newRow("empty") << QByteArray("") << LetterState::Unticked;
        QTest::newRow("abc") << QByteArray("abc") << LetterState::Unticked;
        QTest::newRow("7") << QByteArray("7") << LetterState::Unticked;
        QTest::newRow("-1") << QByteArray("-1") << LetterState::Unticked;
        QTest::newRow("99999") << QByteArray("99999") << LetterState::Unticked;
        QTest::newRow("65537") << QByteArray("65537") << LetterState::Unticked;
        QTest::newRow("1.5") << QByteArray("1.5") << LetterState::Unticked;
        QTest::newRow("01") << QByteArray("01") << LetterState::Unticked;
        QTest::newRow("quoted space") << QByteArray("\" 1\"") << LetterState::Unticked;
        QTest::newRow("list") << QByteArray("1, 1") << LetterState::Unticked;
        QTest::newRow("int variant")
            << QByteArray("@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)") << LetterState::Unticked;
        QTest::newRow("bytes") << QByteArray("@ByteArray(1)") << LetterState::Unticked;
        QTest::newRow("broken variant")
            << QByteArray("@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5QList") << LetterState::Unticked;
    }
    void letterValues()
    {
        QFETCH(QByteArray, value);
        QFETCH(LetterState, expected);
        writeFile("[Alpha]\n7=" + value + "\n");
        Store store;
        QCOMPARE(store.readLetter(7), expected);
        QCOMPARE(store.readLetter(6), LetterState::Unticked);
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("quotation");
        QTest::addColumn<QString>("board"); // one digit per box, A to Z
        QTest::newRow("no file") << QByteArray() << QString() << QString(26, u'0');
        QTest::newRow("E only") << QByteArray("[Alpha]\n4=1\n") << QString()
                                << u"00001000000000000000000000"_s;
        QTest::newRow("line breaks and greyed")
            << QByteArray("[General%20Settings]\nCitation=\"a\\r\\nb\\nc\"\n"
                          "[Alpha]\n0=1\n1=0\n2=2\n25=1\n")
            << u"a\r\nb\nc"_s << u"10200000000000000000000001"_s;
        QTest::newRow("foreign keys")
            << QByteArray("[Alpha]\n26=1\nx=1\n-0=1\n00=1\n[Other]\nCitation=no\n"
                          "[General%20Settings]\nOther=no\n")
            << QString() << QString(26, u'0');
    }
    void load()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, quotation);
        QFETCH(QString, board);
        if (!file.isNull())
            writeFile(file);
        Store store;
        FakeView view(store);
        LoadSettings(store, view);

        QStringList expected{u"quotation:"_s + quotation};
        for (int i = 0; i < kLetterCount; ++i) {
            expected << u"set %1=%2"_s.arg(i).arg(board.at(i));
            // Only a restored tick (or grey) is a change, written back at once.
            if (board.at(i) != u'0')
                expected << u"write %1=%2"_s.arg(i).arg(board.at(i));
        }
        expected << u"render"_s;
        QCOMPARE(view.calls, expected);

        // Writing back changes no byte; an empty store is not even created.
        if (file.isNull())
            QVERIFY(!QFileInfo::exists(folder()));
        else if (!file.contains("Citation=\"a"))
            QCOMPARE(fileBytes(confPath()), file);
    }

    void tickThenUntick()
    {
        Store store;
        FakeView view(store);
        view.setLetterState(0, LetterState::Ticked);
        QCOMPARE(diskValue(u"Alpha/0"_s), QVariant(u"1"_s));
        view.setLetterState(0, LetterState::Unticked);
        QCOMPARE(diskValue(u"Alpha/0"_s), QVariant(u"0"_s));
        QCOMPARE(Store().readLetter(0), LetterState::Unticked);
    }

    void reset_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::newRow("writable") << true;
        QTest::newRow("store gone") << false;
    }
    void reset()
    {
        QFETCH(bool, writable);
        writeFile("[General%20Settings]\nCitation=Il pleut\nAutre=garde\n"
                  "[Alpha]\n1=1\n26=1\nx=2\n[Other]\n2=1\n");
        Store store;
        FakeView view(store);
        LoadSettings(store, view);
        view.calls.clear();
        if (!writable) {
            // Every step fails; the reset must still clear the whole board.
            QVERIFY(QFile::remove(confPath()));
            QVERIFY(QDir().mkpath(confPath()));
        }

        ResetSettings(store, view);

        QStringList expected;
        for (int i = 0; i < kLetterCount; ++i) {
            expected << u"set %1=0"_s.arg(i);
            if (i == 1)
                expected << u"write 1=0"_s;
        }
        expected << u"quotation:"_s << u"clear"_s;
        QCOMPARE(view.calls, expected);
        QCOMPARE(view.quotation, QString());
        if (!writable)
            return;
        QCOMPARE(diskValue(u"Alpha/1"_s), QVariant(u"0"_s));
        QVERIFY(!diskValue(u"Alpha/2"_s).isValid());
        QVERIFY(!diskValue(u"General Settings/Citation"_s).isValid());
        // Keys that are not the game's stay as they were.
        QCOMPARE(diskValue(u"General Settings/Autre"_s), QVariant(u"garde"_s));
        QCOMPARE(diskValue(u"Alpha/26"_s), QVariant(u"1"_s));
        QCOMPARE(diskValue(u"Alpha/x"_s), QVariant(u"2"_s));
        QCOMPARE(diskValue(u"Other/2"_s), QVariant(u"1"_s));
    }

    void handEditWhileRunning()
    {
        // A change made to the file between two writes is kept: each write
        // starts from the file, not from what this process saw earlier.
        Store store;
        QVERIFY(store.writeQuotation(u"avant"_s));
        QVERIFY(store.writeLetter(3, LetterState::Ticked));
        writeFile("[Alpha]\n3=1\n[Marque]\nici=1\n");
        QVERIFY(store.writeLetter(5, LetterState::Ticked));
        QVERIFY(!diskValue(u"General Settings/Citation"_s).isValid());
        QCOMPARE(diskValue(u"Marque/ici"_s), QVariant(u"1"_s));
        QCOMPARE(store.readQuotation(), QString());
    }

    void unreadableFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray noise(4096, '\0');
        auto *random = QRandomGenerator::global();
        for (char &b : noise)
            b = char(random->bounded(256));
        QTest::newRow("random bytes") << noise;
        QTest::newRow("binary") << QByteArray("\x7f"
                                              "ELF\x02\x01\x01\0\0\0\xff\xfe",
                                              14);
        QTest::newRow("half a line") << QByteArray("[Alpha]\n4=1\n[Gen");
        QTest::newRow("unterminated section") << QByteArray("[Alpha\n4=1\n");
        QTest::newRow("line without value") << QByteArray("[Alpha]\n4\n");
        QTest::newRow("huge line") << QByteArray(8 << 20, 'a');
        QTest::newRow("latin-1") << QByteArray("[General%20Settings]\nCitation=caf\xe9\n");
        QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf[Alpha]\n4=1\n");
    }
    void unreadableFile()
    {
        QFETCH(QByteArray, bytes);
        writeFile(bytes);
        Store store;
        FakeView view(store);
        LoadSettings(store, view);

        // A clean game...
        QCOMPARE(view.quotation, QString());
        QCOMPARE(view.states, (std::array<LetterState, kLetterCount>{}));
        // ...and the file is kept, byte for byte, under another name.
        QVERIFY(!store.setAsidePath().isEmpty());
        QCOMPARE(fileBytes(store.setAsidePath()), bytes);
        QVERIFY(!QFileInfo::exists(confPath()));
        // Saving works again, and the next run reads what was saved.
        QVERIFY(store.writeLetter(4, LetterState::Ticked));
        QVERIFY(store.writeQuotation(u"neuf"_s));
        Store next;
        QVERIFY(next.setAsidePath().isEmpty());
        QCOMPARE(next.readQuotation(), u"neuf"_s);
        QCOMPARE(next.readLetter(4), LetterState::Ticked);
        QCOMPARE(QDir(folder()).entryList(QDir::Files).filter(u".unreadable-"_s).size(), 1);
    }

    void unwritableStore_data()
    {
        // chmod does not stop root, so the obstacles are ones no user can
        // write through.
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("folder where the file goes") << u"dir"_s;
        QTest::newRow("file where the folder goes") << u"file"_s;
        QTest::newRow("read-only folder") << u"chmod"_s;
    }
    void unwritableStore()
    {
        QFETCH(QString, obstacle);
        if (obstacle == u"dir") {
            QVERIFY(QDir().mkpath(confPath()));
        } else if (obstacle == u"file") {
            QFile f(folder());
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else {
            if (::geteuid() == 0)
                QSKIP("root writes through a read-only folder");
            writeFile("[Alpha]\n1=1\n");
            QVERIFY(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner));
        }

        {
            Store store;
            QVERIFY(!store.writeLetter(2, LetterState::Ticked));
            QVERIFY(!store.writeQuotation(u"perdue ?"_s));
            if (obstacle == u"chmod")
                QVERIFY(!store.removeLetter(1));
            else
                QCOMPARE(store.readQuotation(), QString());
        }
        // Nothing reached the disk.
        if (obstacle == u"chmod")
            QCOMPARE(fileBytes(confPath()), QByteArray("[Alpha]\n1=1\n"));
        else
            QVERIFY(!QFileInfo(confPath()).isFile());

        // Once the obstacle is gone the same kind of store saves again.
        if (obstacle == u"dir")
            QVERIFY(QDir(confPath()).removeRecursively());
        else if (obstacle == u"file")
            QVERIFY(QFile::remove(folder()));
        else
            QVERIFY(QFile::setPermissions(folder(),
                                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        Store store;
        QVERIFY(store.writeLetter(2, LetterState::Ticked));
        QCOMPARE(diskValue(u"Alpha/2"_s), QVariant(u"1"_s));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
