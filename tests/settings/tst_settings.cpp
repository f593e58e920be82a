// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings.h"
#include "settings/storefile.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
#include <QTest>

#include <memory>

using namespace lexorne;
using namespace lexorne::settings;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(lexorne::LetterState)

namespace {

const QString kCitation = u"General Settings/Citation"_s;
// A stored game as text: the quotation, then one digit per letter, A to Z.
QString describe(const StoredGame &game)
{
    QString digits;
    for (LetterState state : game.letters)
        digits += QChar(u'0' + int(state));
    return game.quotation + u'|' + digits;
}

const QString kCleanGame = u"|"_s + QString(kLetterCount, u'0');

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TemporarySettings> m_settings;
    mutable int m_copies = 0;

    QString folder() const { return m_settings->folder(); }
    QString confPath() const { return m_settings->storePath(); }

    void writeFile(const QByteArray &bytes)
    {
        QDir().mkpath(folder());
        QFile f(confPath());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    static QByteArray fileBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // What a fresh process would read: QSettings keeps what it wrote in a
    // cache keyed by file name, so parse a copy under another name.
    QVariant diskValue(const QString &key) const
    {
        const QString copy = m_settings->filePath(u"copy-%1.ini"_s.arg(++m_copies));
        QFile::copy(confPath(), copy);
        return QSettings(copy, QSettings::IniFormat).value(key);
    }

private slots:
    void init()
    {
        m_settings = std::make_unique<testsupport::TemporarySettings>();
        QVERIFY(m_settings->isValid());
        // Still the file store once the previous test's folder is gone: the
        // native one is the user's registry on Windows.
        QCOMPARE(QSettings::defaultFormat(), QSettings::IniFormat);
    }

    void quotationRoundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("line breaks") << u"a\r\nb\nc\rd\r\n\r\n"_s;
        QTest::newRow("nbsp and accents") << u"Cœur\u00A0: «\u00A0été\u00A0»"_s;
        QTest::newRow("lone high surrogate") << u"x"_s + QChar(0xD83D) + u"y"_s;
        QTest::newRow("lone low surrogate") << QChar(0xDE00) + u"z"_s;
        QTest::newRow("swapped pair") << QString(QChar(0xDE00)) + QChar(0xD83D);
        QTest::newRow("high then pair") << QString(QChar(0xD83D)) + u"😀"_s + QChar(0xD83D);
        // Spaces, commas, quotes, backslashes, INI syntax and all the rest.
        QString all;
        for (char16_t c = 1; c < 0xD800; ++c)
            all += QChar(c);
        QTest::newRow("every BMP code below surrogates") << all;
    }
    void quotationRoundTrip()
    {
        QFETCH(QString, text);
        Store store;
        QVERIFY(store.writeQuotation(text));
        QCOMPARE(Store::decodeQuotation(diskValue(kCitation)), text);
        // Whatever was needed to keep it, the file stays valid UTF-8 and
        // readable, so the next run does not set it aside.
        QVERIFY(store.writeLetter(0, LetterState::Ticked));
        QVERIFY(Store().setAsidePath().isEmpty());
        if (text.isValidUtf16())
            QCOMPARE(diskValue(kCitation).typeId(), QMetaType::QString);
    }

    // Whatever is typed into the file by hand gives a clear result; only the
    // texts this program writes count as letters.
    void handWritten_data()
    {
        QTest::addColumn<QByteArray>("value"); // of the quotation and of "H"
        QTest::addColumn<QString>("quotation");
        QTest::addColumn<LetterState>("letter");
        const auto row = [](const char *value, const QString &quotation, LetterState letter) {
            QTest::newRow(value) << QByteArray(value) << quotation << letter;
        };
        constexpr LetterState no = LetterState::Unticked;
        row("1", u"1"_s, LetterState::Ticked);
        row("2", u"2"_s, LetterState::Greyed);
        for (const char *number : {"0", "7", "-1", "65537", "1.5", "01"})
            row(number, QString::fromLatin1(number), no);
        row("\" 1\"", u" 1"_s, no);
        row("1, 1", u"1, 1"_s, no); // a list
        row("@ByteArray(1)", u"1"_s, no);
        row("@ByteArray(a\\xff\\xc3z)", u"a\uFFFD\uFFFDz"_s, no);
        row("@@1", u"@1"_s, no);
        row("me@example.org", u"me@example.org"_s, no);
        // Overlong forms and code points past U+10FFFF are refused byte by
        // byte; a surrogate, as the store writes a lone one, is taken.
        row("@ByteArray(\\xc0\\xaf\\xe0\\x80\\xaf)", u"\uFFFD"_s.repeated(5), no);
        row("@ByteArray(\\xf4\\x90\\x80\\x80)", u"\uFFFD"_s.repeated(4), no);
        row("@ByteArray(\\xed\\xa0\\x80\\xf0\\x9f\\x98\\x80)", QChar(0xD800) + u"\U0001F600"_s, no);
    }
    void handWritten()
    {
        QFETCH(QByteArray, value);
        writeFile("[General%20Settings]\nCitation=" + value + "\n[Alpha]\n7=" + value + "\n");
        Store store;
        QTEST(store.readQuotation(), "quotation");
        QTEST(store.readLetter(7), "letter");
        QCOMPARE(store.readLetter(6), LetterState::Unticked);
    }

    void load_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("rendered");
        QTest::newRow("no file") << QByteArray() << kCleanGame;
        QTest::newRow("line breaks and greyed")
            << QByteArray("[General%20Settings]\nCitation=\"a\\r\\nb\\nc\"\n"
                          "[Alpha]\n0=1\n1=0\n2=2\n25=1\n")
            << u"a\r\nb\nc|10200000000000000000000001"_s;
        QTest::newRow("foreign keys")
            << QByteArray("[Alpha]\n-0=1\n00=1\n26=1\n4=1\nx=1\n\n"
                          "[General%20Settings]\nOther=no\n\n[Other]\nCitation=no\n")
            << u"|00001000000000000000000000"_s;
    }
    void load()
    {
        QFETCH(QByteArray, file);
        if (!file.isNull())
            writeFile(file);
        {
            Store store;
            QTEST(describe(LoadSettings(store)), "rendered");
        }
        // Reading writes nothing; an empty store is not even created.
        if (file.isNull())
            QVERIFY(!QFileInfo::exists(folder()));
        else
            QCOMPARE(fileBytes(confPath()), file);
    }

    void reset()
    {
        writeFile("[General%20Settings]\nCitation=Il pleut\nAutre=garde\n"
                  "[Alpha]\n1=1\n2=0\n26=1\nx=2\n[Other]\n2=1\n");
        Store store;
        QVERIFY(ResetSettings(store));
        QVERIFY(!diskValue(u"Alpha/1"_s).isValid());
        QVERIFY(!diskValue(u"Alpha/2"_s).isValid());
        QVERIFY(!diskValue(kCitation).isValid());
        // Keys that are not the game's stay as they were.
        QCOMPARE(diskValue(u"General Settings/Autre"_s), QVariant(u"garde"_s));
        QCOMPARE(diskValue(u"Alpha/26"_s), QVariant(u"1"_s));
        QCOMPARE(diskValue(u"Alpha/x"_s), QVariant(u"2"_s));
        QCOMPARE(diskValue(u"Other/2"_s), QVariant(u"1"_s));
        // Nothing left to clear is no failure.
        QVERIFY(ResetSettings(store));
    }

    void unreadableFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("unterminated section") << QByteArray("[Alpha\n4=1\n");
        // Only a full parse finds this one.
        QTest::newRow("line without value") << QByteArray("[Alpha]\n4=1\n[Gen]\n4\n");
        QTest::newRow("latin-1") << QByteArray("[General%20Settings]\nCitation=caf\xe9\n");
        QTest::newRow("latin-1 in a byte array")
            << QByteArray("[Alpha]\n4=1\n[General%20Settings]\nCitation=@ByteArray(caf\xe9)\n");
        QTest::newRow("latin-1 in a key") << QByteArray("[Alpha]\n4\xe9=1\n");
    }
    void unreadableFile()
    {
        QFETCH(QByteArray, bytes);
        writeFile(bytes);
        QString aside;
        {
            Store store;
            // A clean game, and the file kept byte for byte under another name.
            QCOMPARE(describe(LoadSettings(store)), kCleanGame);
            aside = store.setAsidePath();
            QCOMPARE(fileBytes(aside), bytes);
            QVERIFY(!QFileInfo::exists(confPath()));
            // Saving works again, and the next run reads what was saved.
            QVERIFY(store.writeQuotation(u"neuf"_s));
        }
        QCOMPARE(Store().readQuotation(), u"neuf"_s);

        // The same file again: no second copy, and the first one is named.
        writeFile(bytes);
        Store again;
        QCOMPARE(again.setAsidePath(), aside);
        QVERIFY(!QFileInfo::exists(confPath()));
        QCOMPARE(QDir(folder()).entryList(QDir::Files).filter(u".unreadable-"_s).size(), 1);
        // Another unreadable file gets a copy of its own.
        writeFile(bytes + "\xff");
        QVERIFY(Store().setAsidePath() != aside);
        QCOMPARE(QDir(folder()).entryList(QDir::Files).filter(u".unreadable-"_s).size(), 2);
    }

    // Values Qt would build types from (through QDataStream, and the image
    // and other decoders behind it), a file too big to parse: set aside
    // before Qt reads them, and never overwritten.
    void hostileFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const auto row = [](const char *name, const QByteArray &value) {
            QTest::newRow(name) << "[General%20Settings]\nCitation=" + value + "\n[Alpha]\n4=1\n";
        };
        // A string list claiming 2 G elements.
        row("list of 2 G strings", "@Variant(\\0\\0\\0\\xb\\x7f\\xff\\xff\\xff)");
        row("number", "@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)");
        row("image", "@Variant(\\0\\0\\0\\x46\\0\\0\\0\\x1\\x89PNG)");
        row("date", "@DateTime(\\0\\0\\0\\x10\\0)");
        row("rectangle", "@Rect(1 2 3 4)");
        row("size", "@Size(1 2)");
        row("quoted", "\"@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)\"");
        row("in a list", "a, b,@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)");
        row("escaped @", "\\x40Variant(\\0\\0\\0\\x2\\0\\0\\0\\x1)");
        row("escaped @ past 16 bits", "\\x10040Rect(1 2 3 4)");
        row("octal @", "\\0100Rect(1 2 3 4)");
        row("after a continued line", "a,\\\n @Rect(1 2 3 4)");
        QTest::newRow("in a letter") << QByteArray("[Alpha]\n4=@Point(1 2)\n");
    }
    void hostileFile()
    {
        QFETCH(QByteArray, bytes);
        writeFile(bytes);
        Store store;
        QCOMPARE(describe(LoadSettings(store)), kCleanGame);
        const QString aside = store.setAsidePath();
        QVERIFY(!aside.isEmpty());
        QVERIFY(store.writeQuotation(u"neuf"_s));
        QCOMPARE(fileBytes(aside), bytes);
        QCOMPARE(Store().readQuotation(), u"neuf"_s);
    }

    void oversizedFile()
    {
        // Valid, but for a value of zero bytes past the bound.
        writeFile("[Alpha]\n4=1\n[Pad]\nx=");
        QVERIFY(QFile::resize(confPath(), kMaxStoreBytes + 1));
        Store store;
        QCOMPARE(describe(LoadSettings(store)), kCleanGame);
        QCOMPARE(QFileInfo(store.setAsidePath()).size(), kMaxStoreBytes + 1);
        QVERIFY(!QFileInfo::exists(confPath()));
    }

#ifdef Q_OS_UNIX
    // The game is the user's alone, whatever the umask and whatever an
    // older version left, on every path that writes it.
    void storeIsPrivate_data()
    {
        QTest::addColumn<QByteArray>("before"); // the file an older run left
        QTest::addColumn<QString>("write");
        for (const QString &write : {u"letter"_s, u"quotation"_s, u"reset"_s}) {
            QTest::addRow("new store, %s", qPrintable(write)) << QByteArray() << write;
            QTest::addRow("older store, %s", qPrintable(write))
                << QByteArray("[Alpha]\n3=1\n") << write;
        }
        QTest::newRow("unreadable file set aside") << QByteArray("[Alpha\n") << u"letter"_s;
    }
    void storeIsPrivate()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, write);
        constexpr auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                              QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;
        if (!before.isNull()) {
            writeFile(before);
            QVERIFY(QFile::setPermissions(confPath(), open));
            QVERIFY(QFile::setPermissions(folder(), open | QFile::ExeOwner | QFile::ExeUser |
                                                        QFile::ExeGroup | QFile::ExeOther));
        }
        Store store;
        if (write == u"letter")
            QVERIFY(store.writeLetter(1, LetterState::Ticked));
        else if (write == u"quotation")
            QVERIFY(store.writeQuotation(u"secret"_s));
        else
            QVERIFY(ResetSettings(store) && store.writeLetter(1, LetterState::Ticked));
        const auto others = [](const QString &path) {
            return QFile::permissions(path) & 0x0077;
        };
        QVERIFY(QFileInfo::exists(confPath()));
        QCOMPARE(others(confPath()), QFileDevice::Permissions());
        QCOMPARE(others(folder()), QFileDevice::Permissions());
        if (!store.setAsidePath().isEmpty())
            QCOMPARE(others(store.setAsidePath()), QFileDevice::Permissions());
    }
#endif

    // A write the disk refused is not lost: the next one that succeeds
    // brings the file up to the board, the refused change included.
    void catchesUpWhenTheDiskComesBack()
    {
        writeFile("[Alpha]\n1=1\n");
        Store store;
        const QString here = folder();
        const QString away = here + u".away"_s;
        QVERIFY(QDir().rename(here, away));
        QFile blocker(here); // nobody, root included, writes through a file
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(!store.writeLetter(2, LetterState::Ticked));
        QVERIFY(!store.writeQuotation(u"perdue ?"_s));
        QVERIFY(QFile::remove(here));
        QVERIFY(QDir().rename(away, here));
        QVERIFY(store.writeLetter(3, LetterState::Ticked));
        QCOMPARE(describe(LoadSettings(*std::make_unique<Store>())),
                 u"perdue ?|01110000000000000000000000"_s);
    }

    // The save lock of a copy killed before it wrote its owner into it is
    // empty, and Qt would make every save wait until it is 30 s old; one
    // that names a running owner is that owner's.
    void leftoverLock_data()
    {
        QTest::addColumn<bool>("empty");
        QTest::newRow("empty, left by a killed copy") << true;
        QTest::newRow("held by a running owner") << false;
    }
    void leftoverLock()
    {
        QFETCH(bool, empty);
        writeFile("[Alpha]\n1=1\n");
        const QString lockPath = confPath() + u".lock"_s;
        QLockFile held(lockPath);
        if (empty) {
            QFile lock(lockPath);
            QVERIFY(lock.open(QIODevice::WriteOnly));
        } else {
            QVERIFY(held.tryLock(0));
        }
        const Store store;
        QCOMPARE(QFileInfo::exists(lockPath), !empty);
    }

    void unwritableStore_data()
    {
        // chmod does not stop root, hence also an obstacle nobody writes through.
        QTest::addColumn<bool>("readOnlyFolder");
        QTest::newRow("file where the folder goes") << false;
        QTest::newRow("read-only folder") << true;
    }
    void unwritableStore()
    {
        QFETCH(bool, readOnlyFolder);
        const QByteArray before = readOnlyFolder ? "[Alpha]\n1=1\n" : "";
        QFile blocker(folder());
        if (!readOnlyFolder) {
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        } else {
            writeFile(before);
            QVERIFY(QFile::setPermissions(folder(), QFile::ReadOwner | QFile::ExeOwner));
            // Root, and Windows (where the flag does not apply to folders),
            // write through a read-only folder.
            QFile probe(QDir(folder()).filePath(u"probe"_s));
            if (probe.open(QIODevice::WriteOnly)) {
                probe.remove();
                QFile::setPermissions(folder(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                QSKIP("this user writes through a read-only folder");
            }
        }

        Store store;
        QVERIFY(!store.writeLetter(2, LetterState::Ticked));
        QVERIFY(!store.writeQuotation(u"perdue ?"_s));
        // Removing a key that is not there is no failure.
        QCOMPARE(store.removeLetter(1), !readOnlyFolder);
        QCOMPARE(fileBytes(confPath()), before);
        if (readOnlyFolder)
            QFile::setPermissions(folder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
