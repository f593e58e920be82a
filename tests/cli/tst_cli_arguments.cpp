// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line in process: which arguments open the window, what a
// request holds, colour names, the UTF-8 check, and the piecewise rendering
// against the whole text rendered at once.
#include "cli/cli.h"

#include "highlight/highlight.h"

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTest>

using namespace lexorne;
using namespace lexorne::cli;
using namespace Qt::StringLiterals;

namespace {

QString tickedLetters(const Board &board)
{
    QString letters;
    for (int i = 0; i < kLetterCount; ++i)
        if (board.states[i] == LetterState::Ticked)
            letters += QChar(u'A' + i);
        else if (board.states[i] != LetterState::Unticked)
            letters += u'?';
    return letters;
}

bool decoderAccepts(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

// Random bytes that are mostly well-formed UTF-8 around the edges of its
// ranges, with now and then a byte that may break it.
QByteArray nearlyUtf8(QRandomGenerator &random, int length)
{
    static const char32_t edges[] = {0x0,    0x41,    0x7F,    0x80,     0xE9,   0x7FF,
                                     0x800,  0x301,   0xD7FF,  0xE000,   0xFEFF, 0xFFFD,
                                     0xFFFF, 0x10000, 0x1F600, 0x10FFFF, 0x20,   0x0A};
    static const char breakers[] = {'\x80', '\xBF', '\xC0', '\xC1', '\xC2', '\xE0',
                                    '\xED', '\xEF', '\xF0', '\xF4', '\xF5', '\xFF'};
    QByteArray bytes;
    while (bytes.size() < length) {
        if (random.bounded(12) == 0) {
            bytes += breakers[random.bounded(int(std::size(breakers)))];
            continue;
        }
        const char32_t c = edges[random.bounded(int(std::size(edges)))];
        bytes += QString::fromUcs4(&c, 1).toUtf8();
    }
    return bytes;
}

QString randomText(QRandomGenerator &random, int pieces)
{
    // Without ASCII for long stretches too, and marks that compose with what
    // precedes them, so that the pieces' ends are tried at their limits.
    static const QString parts[] = {
        u"Été "_s,   u"à Noël, "_s,      u"e\u0301"_s,  u"\u0301"_s,
        u"\r\n"_s,   u"œuvre"_s,         u"漢字漢字"_s, u"😀"_s,
        u"ÆØß×÷"_s,  u"\uFEFF"_s,        u"A\u030A"_s,  u"ÿ"_s,
        u"l’été…"_s, u"€\u20C0\u2010"_s, u"Ǆʼ\u02FF"_s, u"\u2060\u205F"_s};
    QString text;
    for (int i = 0; i < pieces; ++i)
        text += parts[random.bounded(int(std::size(parts)))];
    return text;
}

} // namespace

class TestCliArguments : public QObject
{
    Q_OBJECT

private slots:
    void opensWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("window");
        QTest::newRow("none") << QStringList{} << true;
        QTest::newRow("platform") << QStringList{u"-platform"_s, u"offscreen"_s} << true;
        QTest::newRow("session restore")
            << QStringList{u"-session"_s, u"1234_5"_s, u"--style=fusion"_s, u"-reverse"_s} << true;
        QTest::newRow("value that looks like ours")
            << QStringList{u"-qwindowtitle"_s, u"--lettres"_s} << true;
        QTest::newRow("version") << QStringList{u"--version"_s} << false;
        QTest::newRow("help after a window option")
            << QStringList{u"-platform"_s, u"xcb"_s, u"--help"_s} << false;
        QTest::newRow("a file name") << QStringList{u"citation.txt"_s} << false;
        QTest::newRow("empty argument") << QStringList{QString()} << false;
        QTest::newRow("unknown dash word") << QStringList{u"-platforms"_s} << false;
    }

    void opensWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, window);
        QCOMPARE(cli::opensWindow(arguments), window);
    }

    void request_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("letters");
        QTest::addColumn<bool>("withLog");
        QTest::addColumn<int>("highlightLetter");
        QTest::addColumn<int>("colour");
        QTest::addColumn<QString>("file");

        const int mask = int(Request::Action::Mask);
        QTest::newRow("help") << QStringList{u"-h"_s, u"--version"_s} << int(Request::Action::Help)
                              << QString() << false << -1 << -1 << QString();
        QTest::newRow("version") << QStringList{u"--version"_s, u"--lettres"_s, u"x"_s}
                                 << int(Request::Action::Version) << QString() << false << -1 << -1
                                 << QString();
        QTest::newRow("letters") << QStringList{u"--lettres"_s, u"tsRNeaA"_s} << mask << u"AENRST"_s
                                 << false << -1 << -1 << QString();
        QTest::newRow("equals sign, log, file")
            << QStringList{u"--lettres=zA"_s, u"--log"_s, u"f.txt"_s} << mask << u"AZ"_s << true
            << -1 << -1 << u"f.txt"_s;
        QTest::newRow("absent letters")
            << QStringList{u"--absentes"_s, u"--lettres"_s, u"kw"_s, u"--log"_s} << mask << u"KW"_s
            << true << -1 << -1 << QString();
        QTest::newRow("single dash words") << QStringList{u"-lettres"_s, u"b"_s, u"-log"_s, u"-"_s}
                                           << mask << u"B"_s << true << -1 << -1 << u"-"_s;
        QTest::newRow("highlight") << QStringList{u"--entourer"_s, u"z"_s,         u"--couleur"_s,
                                                  u"NOIR"_s,       u"--lettres"_s, u""_s}
                                   << mask << QString() << false << 25 << 13 << QString();
        QTest::newRow("highlight, list entry")
            << QStringList{u"--lettres"_s, u"c"_s,         u"--entourer"_s,
                           u"C/c"_s,       u"--couleur"_s, u"cyan"_s}
            << mask << u"C"_s << false << 2 << 7 << QString();
        QTest::newRow("file after --") << QStringList{u"--lettres"_s, u"a"_s, u"--"_s, u"--log"_s}
                                       << mask << u"A"_s << false << -1 << -1 << u"--log"_s;
    }

    void request()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, letters);
        QFETCH(bool, withLog);
        QFETCH(int, highlightLetter);
        QFETCH(int, colour);
        QFETCH(QString, file);

        const Parsed parsed = parseArguments(arguments);
        QVERIFY2(parsed.request, qPrintable(parsed.error));
        QCOMPARE(parsed.error, QString());
        QCOMPARE(int(parsed.request->action), action);
        QCOMPARE(tickedLetters(parsed.request->board), letters);
        QCOMPARE(parsed.request->log.letterLog, withLog);
        QCOMPARE(parsed.request->log.absentLetters, arguments.contains(u"--absentes"_s));
        QCOMPARE(parsed.request->highlightLetter, highlightLetter);
        QCOMPARE(parsed.request->colour, colour);
        QCOMPARE(parsed.request->file, file);
    }

    void colourNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("index");
        const QStringList names = highlight::colourNames();
        for (int i = 0; i < names.size(); ++i) {
            QTest::addRow("%s", qPrintable(names[i])) << names[i] << i;
            QTest::addRow("%s, upper case", qPrintable(names[i])) << names[i].toUpper() << i;
        }
        QTest::newRow("no accent") << u"rouge fonce"_s << 0;
        QTest::newRow("dash and spaces around") << u"  Bleu-FONCE "_s << 9;
        QTest::newRow("decomposed accent") << u"Rouge fonce\u0301"_s << 0;
        QTest::newRow("underscore, doubled gap") << u"bleu__ foncé"_s << 9;
        QTest::newRow("empty") << QString() << -1;
        QTest::newRow("glued") << u"rougefoncé"_s << -1;
        QTest::newRow("tag name") << u"darkred"_s << -1;
        QTest::newRow("prefix") << u"Roug"_s << -1;
        QTest::newRow("longer") << u"Rouge foncé foncé"_s << -1;
    }

    void colourNames()
    {
        QFETCH(QString, name);
        QFETCH(int, index);
        QCOMPARE(colourIndex(name).value_or(-1), index);
    }

    void helpNamesEverything()
    {
        const QString help = helpText();
        for (const QString &word :
             {u"--help"_s, u"--version"_s, u"--lettres"_s, u"--log"_s, u"--entourer"_s,
              u"--couleur"_s, u"FICHIER"_s, u"--qui"_s, u"--essai"_s, u"--erreurs-max"_s,
              u"--erreurs "_s, u"--resultats"_s, u"--reveler"_s, u"--spoiler"_s})
            QVERIFY2(help.contains(word), qPrintable(word));
        for (const QString &name : highlight::colourNames())
            QVERIFY2(help.contains(name), qPrintable(name));
        QVERIFY(help.endsWith(u'\n'));
    }

    void invalidUtf8_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("offset");
        QTest::newRow("empty") << QByteArray() << -1;
        QTest::newRow("French") << QByteArray("Voilà, l'été « déjà » ! 😀") << -1;
        QTest::newRow("limits") << QByteArray("\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF"
                                              "\xEE\x80\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF")
                                << -1;
        QTest::newRow("Latin-1 after a long ASCII run")
            << QByteArray("abcdefghijklmnopqrstuvwxyz\xE9t\xE9") << 26;
        QTest::newRow("continuation first") << QByteArray("\x80") << 0;
        QTest::newRow("overlong two bytes") << QByteArray("ab\xC1\xBF") << 2;
        QTest::newRow("overlong three bytes") << QByteArray("\xE0\x9F\xBF") << 0;
        QTest::newRow("overlong four bytes") << QByteArray("\xF0\x8F\xBF\xBF") << 0;
        QTest::newRow("surrogate") << QByteArray("12345678\xED\xA0\x80") << 8;
        QTest::newRow("past U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << 0;
        QTest::newRow("never a lead byte") << QByteArray("abc\xF5\x80\x80\x80") << 3;
        QTest::newRow("broken in the middle") << QByteArray("\xC3\xA9\xE2\x82\x41") << 2;
        QTest::newRow("cut short at the end") << QByteArray("abcdefgh\xF0\x9F\x98") << 8;
    }

    void invalidUtf8()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, offset);
        QCOMPARE(firstInvalidUtf8(bytes).value_or(-1), qsizetype(offset));
        QCOMPARE(decoderAccepts(bytes), offset < 0);
    }

    // The check names an offset exactly when Qt's decoder refuses the text,
    // and the bytes before that offset are well formed.
    void invalidUtf8AgreesWithDecoder()
    {
        QRandomGenerator random(42);
        for (int round = 0; round < 3000; ++round) {
            const QByteArray bytes = nearlyUtf8(random, random.bounded(1, 40));
            const std::optional<qsizetype> offset = firstInvalidUtf8(bytes);
            QVERIFY2(offset.has_value() != decoderAccepts(bytes), bytes.toHex().constData());
            if (offset)
                QVERIFY2(decoderAccepts(bytes.first(*offset)), bytes.toHex().constData());
        }
    }

    // Worked through in pieces of any size, the text comes out as the whole
    // text rendered at once; ill-formed text gives nothing.
    void piecesMatchWhole_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("mask") << QStringList{u"--lettres"_s, u"aenrst"_s};
        QTest::newRow("nothing ticked, log") << QStringList{u"--lettres"_s, u""_s, u"--log"_s};
        QTest::newRow("absent letters")
            << QStringList{u"--lettres"_s, u"aekwz"_s, u"--log"_s, u"--absentes"_s};
        QTest::newRow("highlight and log")
            << QStringList{u"--lettres"_s, u"aeo"_s,       u"--log"_s, u"--entourer"_s,
                           u"a"_s,         u"--couleur"_s, u"vert"_s};
    }

    void piecesMatchWhole()
    {
        QFETCH(QStringList, arguments);
        const Parsed parsed = parseArguments(arguments);
        QVERIFY(parsed.request);
        QRandomGenerator random(7);
        for (int round = 0; round < 300; ++round) {
            const QString text = randomText(random, random.bounded(0, 40));
            const QByteArray bytes = text.toUtf8();
            const qsizetype piece = random.bounded(1, 24);
            const Rendered pieces = renderUtf8(*parsed.request, bytes, piece);
            QVERIFY(pieces.text);
            QCOMPARE(*pieces.text, render(*parsed.request, text));
            QCOMPARE(bytes, text.toUtf8()); // shared, so not written over

            // Inside a character, the 0xFF makes its first byte the bad one.
            QByteArray broken = bytes;
            broken.insert(random.bounded(bytes.size() + 1), '\xFF');
            const qsizetype bad = firstInvalidUtf8(broken).value_or(-1);
            QVERIFY(bad >= 0);
            const quint8 badByte = quint8(broken[bad]);
            broken.detach(); // bytes of its own, which it may write over
            const Rendered refused = renderUtf8(*parsed.request, std::move(broken), piece);
            QVERIFY(!refused.text);
            QCOMPARE(refused.invalidOffset, bad);
            QCOMPARE(refused.invalidByte, badByte);
        }
    }
};

QTEST_APPLESS_MAIN(TestCliArguments)
#include "tst_cli_arguments.moc"
