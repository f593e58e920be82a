// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/game.h"

#include <QTest>

using namespace lexorne;
using namespace lexorne::game;
using namespace Qt::StringLiterals;

namespace {

// "E=Alice" credits E to Alice; "Bob:le chat" is Bob's guess; ":texte" an
// unsigned guess.
Ledger ledgerOf(const QStringList &lines)
{
    Ledger ledger;
    for (const QString &line : lines) {
        if (line.size() > 1 && line[1] == u'=')
            ledger.append(Entry::credit(line[0].unicode() - u'A', line.mid(2)));
        else
            ledger.append(Entry::guess(line.section(u':', 0, 0), line.section(u':', 1)));
    }
    return ledger;
}

Game gameOf(const QString &quotation, const QString &ticked, const QStringList &ledger,
            int limit = 0)
{
    return {quotation, Board::fromLetters(ticked), ledgerOf(ledger), limit};
}

} // namespace

class TestGameModel : public QObject
{
    Q_OBJECT

private slots:
    void guess_data();
    void guess();
    void names_data();
    void names();
    void score_data();
    void score();
    void lines_data();
    void lines();
    void reveal_data();
    void reveal();
    void storedLedger_data();
    void storedLedger();
};

void TestGameModel::guess_data()
{
    QTest::addColumn<QString>("quotation");
    QTest::addColumn<QString>("guess");
    QTest::addColumn<bool>("right");

    QTest::newRow("same text") << u"Le chat"_s << u"Le chat"_s << true;
    QTest::newRow("case, accents, spaces, punctuation")
        << u"Été à Noël !"_s << u"ETE A NOEL"_s << true;
    QTest::newRow("digits and line breaks")
        << u"Les 3\r\nmousquetaires"_s << u"les mousquetaires"_s << true;
    QTest::newRow("œ is oe") << u"Un cœur"_s << u"un coeur"_s << true;
    QTest::newRow("æ is ae, both ways") << u"Ex æquo"_s << u"ex Æquo"_s << true;
    QTest::newRow("ß is ss") << u"Straße"_s << u"strasse"_s << true;
    QTest::newRow("ø follows o") << u"Søren"_s << u"soren"_s << true;
    QTest::newRow("decomposed accent") << u"Été"_s << u"E\u0301te\u0301"_s << true;
    QTest::newRow("one letter missing") << u"Le chat"_s << u"Le cht"_s << false;
    QTest::newRow("one letter more") << u"Le chat"_s << u"Les chats"_s << false;
    QTest::newRow("another letter") << u"Le chat"_s << u"Le chaf"_s << false;
    QTest::newRow("a prefix is not enough") << u"Le chat"_s << u"Le"_s << false;
    QTest::newRow("oe is not o") << u"Un cœur"_s << u"un cour"_s << false;
    QTest::newRow("Þ must be there") << u"Þor"_s << u"or"_s << false;
    QTest::newRow("nothing to guess") << u"1, 2, 3"_s << u"123"_s << false;
    QTest::newRow("empty guess") << u"Le chat"_s << QString() << false;
}

void TestGameModel::guess()
{
    QFETCH(QString, quotation);
    QFETCH(QString, guess);
    QFETCH(bool, right);
    QCOMPARE(GuessMatches(quotation, guess), right);
}

void TestGameModel::names_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");  // kept, or empty when refused
    QTest::addColumn<QString>("error"); // a part of the message

    QTest::newRow("trimmed") << u"  Alice "_s << u"Alice"_s << QString();
    QTest::newRow("markup is a name like any") << u"[/color]"_s << u"[/color]"_s << QString();
    QTest::newRow("NFC") << u"Chloe\u0301"_s << u"Chloé"_s << QString();
    QTest::newRow("forty characters") << QString(40, u'x') << QString(40, u'x') << QString();
    QTest::newRow("empty") << u"   "_s << QString() << u"vide"_s;
    QTest::newRow("too long") << QString(500, u'x') << QString() << u"40 caractères"_s;
    QTest::newRow("line break") << u"Al\nice"_s << QString() << u"saut de ligne"_s;
    QTest::newRow("carriage return") << u"Al\rice"_s << QString() << u"saut de ligne"_s;
    QTest::newRow("lone surrogate")
        << u"Al"_s + QChar(0xD800) << QString() << u"caractère de contrôle"_s;
}

void TestGameModel::names()
{
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QFETCH(QString, error);
    const CheckedName checked = CheckName(typed);
    QCOMPARE(checked.name, name);
    QVERIFY2(error.isEmpty() ? checked.error.isEmpty() : checked.error.contains(error),
             qPrintable(checked.error));
}

void TestGameModel::score_data()
{
    QTest::addColumn<QString>("quotation");
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QStringList>("ledger");
    QTest::addColumn<QString>("results");
    QTest::addColumn<int>("misses");
    QTest::addColumn<bool>("won");

    const QString chat = u"Le chat et le chien"_s; // E 4, L 2, C 2, H 2, T 2
    QTest::newRow("no player") << chat << u"E"_s << QStringList() << QString() << 0 << false;
    QTest::newRow("letters earn their occurrences")
        << chat << u"ETL"_s << QStringList{u"E=Alice"_s, u"T=Bob"_s, u"L=Alice"_s}
        << u"Résultats : Alice 6 pts, Bob 2 pts"_s << 0 << false;
    QTest::newRow("accented forms and œ count")
        << u"Été, cœur"_s << u"EO"_s << QStringList{u"E=Alice"_s, u"O=Bob"_s}
        << u"Résultats : Alice 3 pts, Bob 1 pt"_s << 0 << false;
    QTest::newRow("absent letter is a miss, an unsigned one too")
        << chat << u"KWE"_s << QStringList{u"K=Bob"_s, u"E=Chloé"_s}
        << u"Résultats : Chloé 4 pts, Bob 0 pt (1 erreur)"_s << 2 << false;
    QTest::newRow("ties: fewer misses, then who came first")
        << chat << u"CHKWZ"_s << QStringList{u"K=Bob"_s, u"C=Bob"_s, u"H=Alice"_s,
                                             u"W=Dan"_s, u"Z=Dan"_s, u"Dan:le chien"_s}
        << u"Résultats : Alice 2 pts, Bob 2 pts (1 erreur), Dan 0 pt (3 erreurs)"_s << 4 << false;
    QTest::newRow("right guess earns what is still hidden")
        << chat << u"ET"_s << QStringList{u"E=Alice"_s, u"Bob:le chat et le chien"_s}
        << u"Résultats : Bob 9 pts, Alice 4 pts"_s << 0 << true;
    QTest::newRow("a credit after the guess was not hidden before it")
        << chat << u"EL"_s
        << QStringList{u"Bob:Le chat et le chien"_s, u"L=Alice"_s, u"Chloé:lechatetlechien"_s}
        << u"Résultats : Bob 11 pts, Alice 2 pts, Chloé 0 pt"_s << 0 << true;
    QTest::newRow("unticked letter loses its credit, first credit counts")
        << chat << u"T"_s << QStringList{u"E=Alice"_s, u"T=Bob"_s, u"T=Alice"_s}
        << u"Résultats : Bob 2 pts"_s << 0 << false;
    QTest::newRow("wrong and unsigned guesses")
        << chat << QString() << QStringList{u"Bob:le chat"_s, u":le chien"_s}
        << u"Résultats : Bob 0 pt (1 erreur)"_s << 2 << false;
}

void TestGameModel::score()
{
    QFETCH(QString, quotation);
    QFETCH(QString, ticked);
    QFETCH(QStringList, ledger);
    QFETCH(QString, results);
    QFETCH(int, misses);
    QFETCH(bool, won);
    const Outcome outcome = ScoreGame(gameOf(quotation, ticked, ledger));
    QCOMPARE(ResultsLine(outcome.players), results);
    QCOMPARE(outcome.misses, misses);
    QCOMPARE(outcome.won, won);
    QCOMPARE(outcome.entries.size(), ledger.size());
}

void TestGameModel::lines_data()
{
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QStringList>("ledger");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("log");
    QTest::addColumn<bool>("misses");
    QTest::addColumn<bool>("results");
    QTest::addColumn<QString>("expected");

    const QStringList ledger{u"E=[/color]"_s, u"K=*x*"_s};
    QTest::newRow("no line asked")
        << u"EK"_s << ledger << 3 << true << false << false << u"*e **\r\r\r   E - K"_s;
    QTest::newRow("lines need the log")
        << u"EK"_s << ledger << 3 << false << true << true << u"*e **"_s;
    QTest::newRow("no miss") << QString() << QStringList() << 0 << true << true << true
                             << u"** **\r\r\r\r   Erreurs : 0"_s;
    QTest::newRow("misses with a limit, names escaped")
        << u"EK"_s << ledger << 3 << true << true << true
        << u"*e **\r\r\r   E - K\r   Erreurs : 1/3\r   Résultats : [\u200B/color] 1 pt, *x* 0 pt "
           u"(1 erreur)"_s;
}

void TestGameModel::lines()
{
    QFETCH(QString, ticked);
    QFETCH(QStringList, ledger);
    QFETCH(int, limit);
    QFETCH(bool, log);
    QFETCH(bool, misses);
    QFETCH(bool, results);
    QFETCH(QString, expected);
    const Game game = gameOf(u"Le ch"_s, ticked, ledger, limit);
    RenderOptions options;
    options.log.letterLog = log;
    options.lines = {misses, results};
    QCOMPARE(RenderGame(game, options), expected);
    if (!misses && !results)
        QCOMPARE(RenderGame(game, options),
                 RenderQuotation(game.quotation, game.board, options.log));
}

void TestGameModel::reveal_data()
{
    QTest::addColumn<QString>("quotation");
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<int>("profile");
    QTest::addColumn<bool>("spoiler");
    QTest::addColumn<bool>("log");
    QTest::addColumn<QString>("expected");

    const int bbcode = int(forum::Profile::BBCode);
    const int markdown = int(forum::Profile::Markdown);
    const int discord = int(forum::Profile::Discord);
    QTest::newRow("hidden letters")
        << u"Le chat, l'été"_s << u"EA"_s << bbcode << false << false
        << u"[b]L[/b]e [b]c[/b][b]h[/b]a[b]t[/b], [b]l[/b]'é[b]t[/b]é"_s;
    QTest::newRow("nothing hidden")
        << u"Le 1er"_s << u"LER"_s << bbcode << false << false << u"Le 1er"_s;
    QTest::newRow("spoiler, then the log")
        << u"Oui\nnon"_s << u"O"_s << bbcode << true << true
        << u"[spoiler]O[b]u[/b][b]i[/b]\n[b]n[/b]o[b]n[/b][/spoiler]\r\r\r   O"_s;
    QTest::newRow("decomposed accent is one letter")
        << u"E\u0301t"_s << u"T"_s << bbcode << false << false << u"[b]É[/b]t"_s;
    QTest::newRow("empty") << QString() << QString() << bbcode << true << false
                           << u"[spoiler][/spoiler]"_s;
    QTest::newRow("Markdown: bold, the rest escaped")
        << u"*Oui*"_s << u"O"_s << markdown << false << false << u"\\*O**ui**\\*"_s;
    QTest::newRow("Markdown: details block, log after it")
        << u"Oui"_s << u"O"_s << markdown << true << true
        << u"<details>\n<summary>Réponse</summary>\n\nO**ui**\n\n</details>\n\n&#160;&#160;&#160;O"_s;
    QTest::newRow("Discord spoiler")
        << u"a|b"_s << u"A"_s << discord << true << false << u"||a\\|**b**||"_s;
}

void TestGameModel::reveal()
{
    QFETCH(QString, quotation);
    QFETCH(QString, ticked);
    QFETCH(int, profile);
    QFETCH(bool, spoiler);
    QFETCH(bool, log);
    QFETCH(QString, expected);
    RenderOptions options;
    options.log.letterLog = log;
    const Game game = gameOf(quotation, ticked, {});
    QCOMPARE(RevealGame(game, options, {forum::Profile(profile), forum::Mark{-1}, spoiler}),
             expected);
}

void TestGameModel::storedLedger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readable");

    QTest::newRow("empty object") << u"{}"_s << true;
    QTest::newRow("unknown keys") << u"{\"journal\":[],\"plus tard\":1}"_s << true;
    QTest::newRow("not JSON") << u"journal=E"_s << false;
    QTest::newRow("array") << u"[]"_s << false;
    QTest::newRow("credit to nobody")
        << u"{\"journal\":[{\"joueur\":\"\",\"lettre\":\"E\"}]}"_s << false;
    QTest::newRow("letter out of A-Z")
        << u"{\"journal\":[{\"joueur\":\"A\",\"lettre\":\"é\"}]}"_s << false;
    QTest::newRow("credit and guess at once")
        << u"{\"journal\":[{\"joueur\":\"A\",\"lettre\":\"E\",\"essai\":\"x\"}]}"_s << false;
    QTest::newRow("name too long")
        << u"{\"journal\":[{\"joueur\":\"%1\",\"essai\":\"x\"}]}"_s.arg(QString(41, u'x')) << false;
    QTest::newRow("name with a line break")
        << u"{\"journal\":[{\"joueur\":\"A\\nB\",\"essai\":\"x\"}]}"_s << false;
    QTest::newRow("limit too high") << u"{\"erreursMax\":1000}"_s << false;
    QTest::newRow("limit as text") << u"{\"erreursMax\":\"3\"}"_s << false;
    QTest::newRow("limit not whole") << u"{\"erreursMax\":2.5}"_s << false;
    QTest::newRow("huge limit") << u"{\"erreursMax\":1e300}"_s << false;
}

void TestGameModel::storedLedger()
{
    QFETCH(QString, text);
    QFETCH(bool, readable);
    QCOMPARE(ReadLedger(text).has_value(), readable);

    // What is written reads back the same, whatever the names and texts.
    StoredLedger stored{ledgerOf({u"E=[/color]"_s, u"Zoé:« \"Le\" chat »\r\n\\n"_s, u":"_s}), 12,
                        true};
    stored.ledger.append(Entry::guess(u"Bob"_s, u"a"_s + QChar(0xDC00)));
    const std::optional<StoredLedger> back = ReadLedger(WriteLedger(stored));
    QVERIFY(back);
    QCOMPARE(back->ledger.last().text, u"a\uFFFD"_s);
    QVERIFY(*back == stored);
}

QTEST_APPLESS_MAIN(TestGameModel)
#include "tst_gamemodel.moc"
