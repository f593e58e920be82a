// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/games.h"
#include "settings/gamesfile.h"
#include "settings/settings.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSettings>
#include <QTest>

#include <memory>

using namespace lexorne;
using namespace lexorne::settings;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(lexorne::settings::GameRecord)

namespace {

GameRecord game(const QString &name, const QString &quotation, QStringView ticked = {},
                QStringView greyed = {})
{
    GameRecord g;
    g.name = name;
    g.quotation = quotation;
    g.letters = Board::fromLetters(ticked, greyed).states;
    return g;
}

// A game as a line of text: name|quotation|26 digits.
QString describe(const GameRecord &g)
{
    QString digits;
    for (LetterState state : g.letters)
        digits += QChar(u'0' + int(state));
    return g.name + u'|' + g.quotation + u'|' + digits;
}

QByteArray wrap(const QByteArray &games, const QByteArray &version = "1")
{
    return R"({"format": "lexorne-parties", "version": )" + version + R"(, "parties": [)" + games +
           "]}";
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace

class TestGames : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<GameRecord>("original");
        QTest::newRow("plain") << game(u"Citations d'hiver #12"_s, u"Le chat"_s, u"AE");
        QTest::newRow("greyed, breaks") << game(u"Deux"_s, u"a\r\nb\nc\rd\n\n"_s, u"Z", u"BQ");
        QTest::newRow("empty quotation") << game(u"Vide"_s, QString());
        QTest::newRow("lone surrogate")
            << game(u"Cassé"_s, u"x"_s + QChar(0xD800) + u"y😀"_s + QChar(0xDC00), u"X");
        GameRecord whole = game(u"Entière"_s, u"Œuvre"_s, u"O");
        whole.id = u"0123-abcd"_s;
        whole.ledger = uR"({"entrees":[{"joueur":"Alice","lettre":"O"}],"version":1})"_s;
        whole.profile = u"markdown"_s;
        QTest::newRow("ledger and profile") << whole;
    }
    void roundTrip()
    {
        QFETCH(GameRecord, original);
        const ReadResult read = ReadGames(WriteGames({original, game(u"Autre"_s, u"b"_s)}, true));
        QVERIFY2(read.games, qPrintable(read.error));
        QCOMPARE(read.games->size(), 2);
        QCOMPARE(describe(read.games->at(0)), describe(original));
        QCOMPARE(read.games->at(0), original);

        // An export leaves the ids out.
        const ReadResult exported = ReadGames(WriteGames({original}, false));
        QVERIFY(exported.games);
        QVERIFY(exported.games->at(0).id.isEmpty());
    }

    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("newer");
        const auto bad = [](const char *row, const QByteArray &json, const QString &message,
                            bool newer = false) {
            QTest::newRow(row) << json << message << newer;
        };
        bad("not JSON", "{\n\"format\": ", u"ce n'est pas du JSON valide"_s);
        bad("cut", wrap(R"({"nom": "a", "citation": "b"})").chopped(3), u"ligne 1"_s);
        bad("another program's", R"({"format": "autre", "version": 1, "parties": []})",
            u"pas un fichier de parties"_s);
        bad("array", "[1, 2]", u"pas un fichier de parties"_s);
        bad("newer", wrap("", "2"), u"version plus récente de Lexorne (format 2)"_s, true);
        bad("version text", wrap("", "\"1\""), u"version du format n'est pas valide"_s);
        bad("version fraction", wrap("", "1.5"), u"version du format n'est pas valide"_s);
        bad("version zero", wrap("", "0"), u"version du format n'est pas valide"_s);
        bad("no list", R"({"format": "lexorne-parties", "version": 1})", u"liste des parties"_s);
        bad("game not object", wrap("3"), u"partie n° 1 : ce n'est pas un objet"_s);
        bad("no name", wrap(R"({"citation": "b"})"), u"partie n° 1 : le nom manque"_s);
        bad("name number", wrap(R"({"nom": 3, "citation": "b"})"), u"le nom manque"_s);
        bad("empty name", wrap(R"({"nom": "  ", "citation": "b"})"), u"le nom est vide"_s);
        bad("long name", wrap(R"({"nom": ")" + QByteArray(101, 'x') + R"(", "citation": "b"})"),
            u"dépasse 100 caractères"_s);
        bad("name break", wrap(R"({"nom": "a\nb", "citation": "b"})"), u"sur une ligne"_s);
        bad("no quotation", wrap(R"({"nom": "a"})"), u"partie n° 1 (« a ») : la citation"_s);
        bad("quotation list", wrap(R"({"nom": "a", "citation": ["b"]})"), u"la citation"_s);
        bad("both quotations", wrap(R"({"nom": "a", "citation": "b", "citation-octets": "YQ=="})"),
            u"la citation"_s);
        bad("bad base 64", wrap(R"({"nom": "a", "citation-octets": "%%%"})"), u"base 64"_s);
        // Only the games file names quotation files.
        bad("quotation file in an export",
            wrap(R"({"nom": "a", "texte": ")" + QByteArray(64, 'a') + R"("})"), u"la citation"_s);
        bad("letter lower", wrap(R"({"nom": "a", "citation": "b", "cochees": "Ae"})"),
            u"« e » n'est pas une lettre"_s);
        bad("letter accent", wrap(R"({"nom": "a", "citation": "b", "cochees": "É"})"),
            u"n'est pas une lettre"_s);
        bad("letter twice", wrap(R"({"nom": "a", "citation": "b", "cochees": "ABA"})"),
            u"la lettre A est donnée deux fois"_s);
        bad("letters number", wrap(R"({"nom": "a", "citation": "b", "cochees": 1})"),
            u"n'est pas un texte"_s);
        bad("ticked and greyed",
            wrap(R"({"nom": "a", "citation": "b", "cochees": "AB", "grisees": "B"})"),
            u"à la fois cochée et grisée"_s);
        bad("ledger text", wrap(R"({"nom": "a", "citation": "b", "journal": "x"})"), u"journal"_s);
        bad("profile markup", wrap(R"({"nom": "a", "citation": "b", "forum": "[b]"})"),
            u"profil de forum"_s);
        bad("second game bad",
            wrap(R"({"nom": "a", "citation": "b"}, {"nom": "c", "citation": "d", "cochees": "1"})"),
            u"partie n° 2 (« c »)"_s);
    }
    void badFiles()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, message);
        QFETCH(bool, newer);
        const ReadResult read = ReadGames(json);
        QVERIFY(!read.games);
        QVERIFY2(read.error.contains(message), qPrintable(read.error));
        QVERIFY(!read.error.contains(u'\n'));
        QCOMPARE(read.newer, newer);
    }

    void names_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("taken");
        QTest::addColumn<QString>("expected"); // "!" for a refused name
        QTest::newRow("trimmed") << u"  Topic 3 "_s << QStringList() << u"Topic 3"_s;
        QTest::newRow("100") << QString(100, u'n') << QStringList() << QString(100, u'n');
        QTest::newRow("101") << QString(101, u'n') << QStringList() << u"!"_s;
        QTest::newRow("tab") << u"a\tb"_s << QStringList() << u"!"_s;
        QTest::newRow("paragraph") << u"a\u2029b"_s << QStringList() << u"!"_s;
        QTest::newRow("taken") << u"Noël"_s << QStringList{u"noël"_s} << u"Noël (2)"_s;
        QTest::newRow("taken twice") << u"A"_s << QStringList{u"A"_s, u"A (2)"_s} << u"A (3)"_s;
        QTest::newRow("taken, full length") << QString(100, u'n') << QStringList{QString(100, u'n')}
                                            << QString(96, u'n') + u" (2)"_s;
    }
    void names()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, taken);
        QFETCH(QString, expected);
        const CheckedName checked = CheckGameName(typed);
        if (expected == u"!") {
            QVERIFY(checked.name.isEmpty());
            QVERIFY(!checked.error.isEmpty());
            return;
        }
        QVERIFY2(checked.error.isEmpty(), qPrintable(checked.error));
        const QString unique = UniqueGameName(checked.name, taken);
        QCOMPARE(unique, expected);
        QVERIFY(CheckGameName(unique).error.isEmpty());
    }

    void nameFromQuotation_data()
    {
        QTest::addColumn<QString>("quotation");
        QTest::addColumn<QString>("name");
        QTest::newRow("short") << u"Le chat"_s << u"Le chat"_s;
        QTest::newRow("lines") << u"  Le\n\tchat\r\ndort "_s << u"Le chat dort"_s;
        QTest::newRow("cut at a word") << u"Le cœur a ses raisons que la raison ne connaît point."_s
                                       << u"Le cœur a ses raisons que la raison ne…"_s;
        QTest::newRow("one long word") << QString(60, u'x') << QString(40, u'x') + u'…';
        QTest::newRow("no word") << u" \n\t"_s << u"Citation"_s;
    }
    void nameFromQuotation()
    {
        QFETCH(QString, quotation);
        QFETCH(QString, name);
        QCOMPARE(NameFromQuotation(quotation), name);
        QVERIFY(CheckGameName(name).error.isEmpty());
    }

    void splitQuotations_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("expected"); // "line:text", or one "!message"
        QTest::newRow("LF") << QByteArray("Un\ndeux\n\nTrois\n")
                            << QStringList{u"1:Un\ndeux"_s, u"4:Trois"_s};
        QTest::newRow("CR LF, BOM, blank runs")
            << QByteArray("\xEF\xBB\xBF\r\nUn\r\n  \r\n\r\nDeux\r\nfin")
            << QStringList{u"2:Un"_s, u"5:Deux\nfin"_s};
        QTest::newRow("accents") << QByteArray("No\xC3\xABl") << QStringList{u"1:Noël"_s};
        QTest::newRow("Latin-1 on line 3")
            << QByteArray("Un\n\nNo\xEBl\n") << QStringList{u"!ligne 3 : le texte n'est pas"_s};
        QTest::newRow("cut sequence at the end")
            << QByteArray("a\nb\n\xC3") << QStringList{u"!ligne 3"_s};
        QTest::newRow("empty") << QByteArray("\n \n\r\n") << QStringList{u"!aucune citation"_s};
    }
    void splitQuotations()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, expected);
        const SplitResult split = SplitQuotations(file);
        if (expected.size() == 1 && expected[0].startsWith(u'!')) {
            QVERIFY(!split.quotations);
            QVERIFY2(split.error.contains(expected[0].mid(1)), qPrintable(split.error));
            return;
        }
        QVERIFY2(split.quotations, qPrintable(split.error));
        QStringList got;
        for (const ImportedQuotation &q : *split.quotations)
            got << QString::number(q.line) + u':' + q.text;
        QCOMPARE(got, expected);
    }

    void splitLimits()
    {
        QByteArray file;
        for (qsizetype i = 0; i < kMaxImportedQuotations; ++i)
            file += "q\n\n";
        QCOMPARE(SplitQuotations(file).quotations->size(), kMaxImportedQuotations);
        file += "one too many\n";
        // The 10 001st starts on line 20 001.
        QCOMPARE(SplitQuotations(file).error,
                 u"ligne 20\u00A0001 : le fichier compte plus de 10\u00A0000 citations ; "
                 u"coupez-le en plusieurs"_s);

        const QByteArray line(1000, 'a');
        QByteArray longOne = "court\n\n";
        for (qsizetype i = 0; i <= kMaxImportedQuotationLength / line.size(); ++i)
            longOne += line + '\n';
        QVERIFY(SplitQuotations(longOne).error.startsWith(u"ligne 3 : la citation"_s));
    }

    void gamesFile()
    {
        const testsupport::TemporarySettings settings;
        const QString path = GamesFilePath(settings.storePath());
        QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(settings.storePath()).absolutePath());

        // Nothing yet: an empty list, and nothing made.
        LoadedGames loaded = LoadGamesFile(path);
        QVERIFY(loaded.games.isEmpty() && loaded.error.isEmpty());
        QVERIFY(!QFileInfo::exists(path));

        const QList<GameRecord> games{game(u"a"_s, u"b"_s, u"C")};
        QVERIFY(WriteGamesFile(path, games));
        QCOMPARE(QFile::permissions(path),
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
        QCOMPARE(LoadGamesFile(path).games, games);

        // Quotations in files of their own, named after what they hold; a
        // name that is no such name is refused before any file is opened.
        const QString folder = QuotationsFolder(path);
        QList<GameRecord> named{game(u"a"_s, {}, u"C"), game(u"b"_s, {})};
        const QString texts[] = {u"Le cœur\nmis à nu"_s, QString(u"x\xD800y"_s)};
        for (qsizetype i = 0; i < 2; ++i) {
            QVERIFY(WriteQuotationFile(folder, texts[i]));
            named[i].textFile = QuotationFileName(texts[i]);
        }
        QCOMPARE(QFile::permissions(folder) & 0x0077, QFile::Permissions());
        QVERIFY(WriteGamesFile(path, named));
        loaded = LoadGamesFile(path);
        QCOMPARE(loaded.games, named);
        for (qsizetype i = 0; i < 2; ++i) {
            QCOMPARE(LoadQuotation(path, loaded.games[i]), QString());
            QCOMPARE(loaded.games[i].quotation, texts[i]);
        }
        for (const char *name : {"../Lexorne.conf", "ABC", ""}) {
            const ReadResult read =
                ReadGames(wrap(R"({"nom": "a", "texte": ")" + QByteArray(name) + R"("})"), true);
            QVERIFY2(!read.games && read.error.contains(u"citation"_s), qPrintable(read.error));
        }

        // Unreadable: set aside as it was, the list empty, the reason told.
        const QByteArray broken = WriteGames(games, true).chopped(5);
        QVERIFY(writeBytes(path, broken));
        QCOMPARE(ReadGamesFile(path).games, std::nullopt); // the quiet read moves nothing
        QVERIFY(QFileInfo::exists(path));
        loaded = LoadGamesFile(path);
        QVERIFY(loaded.games.isEmpty());
        QVERIFY(!loaded.error.isEmpty());
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(fileBytes(loaded.setAsidePath), broken);
        QVERIFY(!loaded.unusable);

        // Too big: never parsed, set aside too.
        {
            QFile big(path);
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.resize(kMaxGamesFileBytes + 1));
        }
        loaded = LoadGamesFile(path);
        QVERIFY2(loaded.error.contains(u"dépasse"_s), qPrintable(loaded.error));
        QCOMPARE(QFileInfo(loaded.setAsidePath).size(), kMaxGamesFileBytes + 1);
        QFile::remove(loaded.setAsidePath);
    }

    void assemble_data()
    {
        QTest::addColumn<QList<GameRecord>>("file");
        QTest::addColumn<GameRecord>("screen");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<qsizetype>("current");
        const auto withId = [](GameRecord g, const QString &id) {
            g.id = id;
            return g;
        };
        const QList<GameRecord> two{withId(game(u"Un"_s, u"1"_s), u"id1"_s),
                                    withId(game(u"Deux"_s, u"2"_s), u"id2"_s)};
        QTest::newRow("older store") << QList<GameRecord>() << game({}, u"Le chat dort"_s, u"E")
                                     << QStringList{u"Le chat dort"_s} << qsizetype(0);
        QTest::newRow("first start")
            << QList<GameRecord>() << game({}, {}) << QStringList{u"Partie"_s} << qsizetype(0);
        QTest::newRow("on screen found") << two << withId(game({}, u"2 changé"_s), u"id2"_s)
                                         << QStringList{u"Un"_s, u"Deux"_s} << qsizetype(1);
        QTest::newRow("file lost its entry")
            << two << withId(game({}, u"Un"_s), u"id9"_s)
            << QStringList{u"Un"_s, u"Deux"_s, u"Un (2)"_s} << qsizetype(2);
        QTest::newRow("same names, same ids")
            << QList<GameRecord>{two[0], two[0], withId(game(u"un"_s, {}), {})}
            << withId(game({}, {}), u"id1"_s) << QStringList{u"Un"_s, u"Un (2)"_s, u"un (3)"_s}
            << qsizetype(0);
    }
    void assemble()
    {
        QFETCH(QList<GameRecord>, file);
        QFETCH(GameRecord, screen);
        QFETCH(QStringList, names);
        QFETCH(qsizetype, current);
        QList<GameRecord> games = file;
        QCOMPARE(AssembleGames(games, screen), current);
        QStringList got;
        QSet<QString> ids;
        for (const GameRecord &g : games) {
            got << g.name;
            QVERIFY(!g.id.isEmpty());
            ids.insert(g.id);
        }
        QCOMPARE(got, names);
        QCOMPARE(ids.size(), games.size());
        // The store's keys win over the file's entry.
        QCOMPARE(games[current].quotation, screen.quotation);
        QCOMPARE(games[current].letters, screen.letters);
        if (!screen.id.isEmpty() && current < file.size())
            QCOMPARE(games[current].id, screen.id);
    }

    void screenGameInStore()
    {
        const testsupport::TemporarySettings settings;
        {
            QSettings older = testsupport::TemporarySettings::open();
            older.setValue(u"General Settings/Citation"_s, u"Ancienne"_s);
            older.setValue(u"Alpha/4"_s, u"1"_s);
            older.setValue(u"Autre/clé"_s, u"gardée"_s);
        }
        QuietRead read = ReadStoreQuietly();
        QVERIFY2(read.game, qPrintable(read.error));
        QCOMPARE(read.game->quotation, u"Ancienne"_s);
        QCOMPARE(read.game->letters[4], LetterState::Ticked);
        QVERIFY(read.id.isEmpty());
        {
            Store store;
            QVERIFY(store.readGameId().isEmpty());
            const auto letters = Board::fromLetters(u"Z", u"Y").states;
            QVERIFY(store.writeScreenGame(u"id7"_s, u"Nouvelle\nligne"_s, letters, u"{}"_s));
            QCOMPARE(LoadSettings(store).ledger, u"{}"_s);
            QVERIFY(store.writeScreenGame(u"id7"_s, u"Nouvelle\nligne"_s, letters, QString()));
            QCOMPARE(LoadSettings(store).ledger, std::nullopt);
            QCOMPARE(store.readGameId(), u"id7"_s);
            const StoredGame back = LoadSettings(store);
            QCOMPARE(back.quotation, u"Nouvelle\nligne"_s);
            QCOMPARE(back.letters, letters);
        }
        // What an older version reads, and the keys it does not know, kept.
        const QString copy = settings.filePath(u"copy.ini"_s);
        QVERIFY(QFile::copy(settings.storePath(), copy));
        QSettings onDisk(copy, QSettings::IniFormat);
        QCOMPARE(onDisk.value(u"General Settings/Citation"_s).toString(), u"Nouvelle\nligne"_s);
        QCOMPARE(onDisk.value(u"Alpha/4"_s).toString(), u"0"_s);
        QCOMPARE(onDisk.value(u"Alpha/25"_s).toString(), u"1"_s);
        QCOMPARE(onDisk.value(u"Autre/clé"_s).toString(), u"gardée"_s);

        // An unreadable store is reported, not set aside.
        QVERIFY(writeBytes(settings.storePath(), "[General Settings]\nCitation=caf\xE9\n"));
        read = ReadStoreQuietly();
        QVERIFY(!read.game);
        QVERIFY(read.error.contains(u"n'a pas pu être lue"_s));
        QVERIFY(QFileInfo::exists(settings.storePath()));
    }
};

QTEST_GUILESS_MAIN(TestGames)
#include "tst_games.moc"
