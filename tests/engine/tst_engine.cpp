// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/engine.h"
#include "engine/latin1set.h"
#include "engine/nfc.h"
#include "engine/utf8mask.h"
#include "tests/support/generators.h"

#include <QRandomGenerator>
#include <QTest>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

// The masking rule written out per character, independently of the engine:
// which box (or pair of boxes) shows each letter.
QString expectedFor(char16_t c, const Board &b)
{
    QString self(QChar{c});
    QString star(QStringLiteral("*"));
    const auto shownBy = [&](char letter) {
        return b.isTicked(letter - 'A') ? self : star;
    };
    if (c >= u'A' && c <= u'Z')
        return shownBy(char(c));
    if (c >= u'a' && c <= u'z')
        return shownBy(char(c - 32));
    const QString accented = QString::fromUtf16(u"ÀÁÂÃÄÅàáâãäåÇçÈÉÊËèéêëÌÍÎÏìíîïÐðÑñÒÓÔÕÖØòóôõöø"
                                                u"ÙÚÛÜùúûüÝýÿŸŠšßŽž");
    const char bases[] = "AAAAAAAAAAAACCEEEEEEEEIIIIIIIIDDNNOOOOOOOOOOOOUUUUUUUUYYYYSSSZZ";
    if (const auto at = accented.indexOf(QChar{c}); at >= 0)
        return shownBy(bases[at]);
    if (c == u'Æ' || c == u'æ')
        return b.isTicked(0) || b.isTicked(4) ? self : star;
    if (c == u'Œ' || c == u'œ')
        return b.isTicked(14) || b.isTicked(4) ? self : star;
    if (c == u'Þ' || c == u'þ')
        return star;
    return self;
}

// The character of each Windows-1252 code; the five unassigned codes keep
// their C1 control character.
QChar windows1252(int code)
{
    static const char16_t high[32] = {u'€', 0x81, u'‚', u'ƒ', u'„', u'…', u'†', u'‡',
                                      u'ˆ', u'‰', u'Š', u'‹', u'Œ', 0x8D, u'Ž', 0x8F,
                                      0x90, u'‘', u'’', u'“', u'”', u'•', u'–', u'—',
                                      u'˜', u'™', u'š', u'›', u'œ', 0x9D, u'ž', u'Ÿ'};
    return QChar(code >= 128 && code < 160 ? high[code - 128] : char16_t(code));
}

} // namespace

class TestEngine : public QObject
{
    Q_OBJECT
private slots:
    void examples_data();
    void examples();
    void everyCode_data();
    void everyCode();
    void letterLog_data();
    void letterLog();
    void absentLetters_data();
    void absentLetters();
    void unusualText_data();
    void unusualText();
    void veryLongQuotation();
    void randomTextMatchesRule();
    void typographicPunctuationNeedsNoNormalization();
    void utf8MatchesUtf16();
    void nfcInPieces_data();
    void nfcInPieces();
    void blockPathChoice_data();
    void blockPathChoice();
};

void TestEngine::examples_data()
{
    QTest::addColumn<QString>("quotation");
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QString() << QString() << QString();
    QTest::newRow("nothing ticked") << u"Le chat"_s << QString() << u"** ****"_s;
    QTest::newRow("E keeps both cases") << u"Le chat"_s << u"E"_s << u"*e ****"_s;
    QTest::newRow("upper E and é") << u"Eté"_s << u"E"_s << u"E*é"_s;
    QTest::newRow("Été à Noël") << u"Été à Noël"_s << u"EN"_s << u"É*é * N*ë*"_s;
    QTest::newRow("Æ with A") << u"Æther æ"_s << u"A"_s << u"Æ**** æ"_s;
    QTest::newRow("Æ with E only") << u"Æther æ"_s << u"E"_s << u"Æ**e* æ"_s;
    QTest::newRow("Æ hidden") << u"Æther æ"_s << u"T"_s << u"*t*** *"_s;
    QTest::newRow("Þ hidden under full board")
        << u"ÞþØøÝýß"_s << u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s << u"**ØøÝýß"_s;
    QTest::newRow("signs and ordinals copied") << u"×÷ªºµ\u00a0"_s << QString() << u"×÷ªºµ\u00a0"_s;
    QTest::newRow("cœur hidden") << u"Le cœur, Œuvre"_s << QString() << u"** ****, *****"_s;
    QTest::newRow("Œ with E") << u"Œuvre, sœur"_s << u"E"_s << u"Œ***e, *œ**"_s;
    QTest::newRow("Œ with O") << u"Œuvre, sœur"_s << u"O"_s << u"Œ****, *œ**"_s;
    QTest::newRow("Y, S, Z letters") << u"ÿŸÝý ŠšßŽž Ø"_s << u"SYZ"_s << u"ÿŸÝý ŠšßŽž *"_s;
    QTest::newRow("Y, S, Z hidden") << u"ÿŸÝý ŠšßŽž Ø"_s << u"O"_s << u"**** ***** Ø"_s;
    QTest::newRow("line structure kept")
        << u"Un, deux :\r\n3 ?\r\n\tFin."_s << u"N"_s << u"*n, **** :\r\n3 ?\r\n\t**n."_s;
    QTest::newRow("brackets and digits") << u"[a]{b}\\^_`1@"_s << QString() << u"[*]{*}\\^_`1@"_s;
}

void TestEngine::examples()
{
    QFETCH(QString, quotation);
    QFETCH(QString, ticked);
    QFETCH(QString, expected);
    QCOMPARE(RenderQuotation(quotation, Board::fromLetters(ticked)), expected);
}

void TestEngine::everyCode_data()
{
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QString>("greyed");
    QTest::newRow("none") << QString() << QString();
    QTest::newRow("all") << u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s << QString();
    QTest::newRow("only E") << u"E"_s << QString();
    QTest::newRow("only A") << u"A"_s << QString();
    QTest::newRow("all greyed") << QString() << u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s;
    QTest::newRow("accent bases") << u"ACDEINOU"_s << u"BZ"_s;
    QTest::newRow("new bases") << u"OSYZ"_s << u"E"_s;
    QTest::newRow("only O") << u"O"_s << QString();
}

void TestEngine::everyCode()
{
    QFETCH(QString, ticked);
    QFETCH(QString, greyed);
    const Board b = Board::fromLetters(ticked, greyed);

    // Every Windows-1252 character, and each in its decomposed form
    // (Ÿ as Y + U+0308, Š as S + U+030C...), which masks like the composed.
    QString all;
    QString expected;
    for (int code = 0; code < 256; ++code) {
        all += windows1252(code);
        expected += expectedFor(windows1252(code).unicode(), b);
    }

    const QString rendered = RenderQuotation(all, b);
    QCOMPARE(rendered.size(), all.size());
    for (qsizetype i = 0; i < all.size(); ++i) {
        if (rendered[i] != expected[i])
            QFAIL(qPrintable(QStringLiteral("U+%1 gave '%2', expected '%3'")
                                 .arg(uint{all[i].unicode()}, 4, 16, QLatin1Char('0'))
                                 .arg(rendered[i], expected[i])));
    }
    const QString decomposed = all.normalized(QString::NormalizationForm_D);
    QVERIFY(decomposed.size() > all.size());
    QCOMPARE(RenderQuotation(decomposed, b), expected);
    // The per-character operation agrees with the whole rendering on the
    // letters, the characters an empty board hides.
    for (qsizetype i = 0; i < all.size(); ++i)
        if (expectedFor(all[i].unicode(), Board{}) == u"*"_s)
            QCOMPARE(RevealCharacter(all[i], b), expected[i]);
}

void TestEngine::letterLog_data()
{
    QTest::addColumn<QString>("quotation");
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QString>("greyed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Noël, E and N") << u"Noël"_s << u"NE"_s << QString() << u"N*ë*\r\r\r   E - N"_s;
    QTest::newRow("no letter") << u"Noël"_s << QString() << QString() << u"****\r\r\r"_s;
    QTest::newRow("empty quotation") << QString() << u"A"_s << QString() << u"\r\r\r   A"_s;
    QTest::newRow("only Z") << u"z"_s << u"Z"_s << QString() << u"z\r\r\r   Z"_s;
    QTest::newRow("greyed not listed") << u"ab"_s << u"B"_s << u"A"_s << u"*b\r\r\r   B"_s;

    QString all = u"\r\r\r   A"_s;
    for (char c = 'B'; c <= 'Z'; ++c)
        all += u" - "_s + QLatin1Char(c);
    QTest::newRow("all letters") << QString() << u"ZYXWVUTSRQPONMLKJIHGFEDCBA"_s << QString()
                                 << all;
}

void TestEngine::letterLog()
{
    QFETCH(QString, quotation);
    QFETCH(QString, ticked);
    QFETCH(QString, greyed);
    QFETCH(QString, expected);
    const QString rendered =
        RenderQuotation(quotation, Board::fromLetters(ticked, greyed), {.letterLog = true});
    QCOMPARE(rendered, expected);
    QVERIFY(!rendered.contains(QLatin1Char('\n')));
}

void TestEngine::absentLetters_data()
{
    QTest::addColumn<QString>("quotation");
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QString>("expected");

    QTest::newRow("K and W absent")
        << u"Le chat"_s << u"WEKH"_s << u"*e *h**\r\r\r   E - H - K - W\r   Absentes : K - W (2)"_s;
    QTest::newRow("none absent: no line") << u"Noël"_s << u"NE"_s << u"N*ë*\r\r\r   E - N"_s;
    // An accented letter holds its base letter; Æ both of its.
    QTest::newRow("accents count") << u"Été, æ"_s << u"EAT"_s << u"Été, æ\r\r\r   A - E - T"_s;
    QTest::newRow("decomposed counts")
        << u"e\u0301"_s << u"EZ"_s << u"é\r\r\r   E - Z\r   Absentes : Z (1)"_s;
    QTest::newRow("no letter ticked") << u"abc"_s << QString() << u"***\r\r\r"_s;
    QTest::newRow("empty quotation") << QString() << u"A"_s << u"\r\r\r   A\r   Absentes : A (1)"_s;
}

void TestEngine::absentLetters()
{
    QFETCH(QString, quotation);
    QFETCH(QString, ticked);
    QFETCH(QString, expected);
    const Board board = Board::fromLetters(ticked);
    QCOMPARE(RenderQuotation(quotation, board, {.letterLog = true, .absentLetters = true}),
             expected);
    // The same log for the masked text handed over apart, as the command
    // line does; and nothing at all without the log.
    const QString masked = RenderQuotation(quotation, board);
    QCOMPARE(AppendLetterLog(masked, board, CountLetters(quotation),
                             {.letterLog = true, .absentLetters = true}),
             expected);
    QCOMPARE(RenderQuotation(quotation, board, {.absentLetters = true}), masked);
}

void TestEngine::unusualText_data()
{
    QTest::addColumn<QString>("quotation");
    QTest::addColumn<QString>("expected");

    QTest::newRow("only line breaks") << u"\r\n\n\r"_s << u"\r\n\n\r"_s;
    QTest::newRow("NUL characters")
        << QString::fromUtf16(u"a\0b\0", 4) << QString::fromUtf16(u"*\0b\0", 4);
    QTest::newRow("lone surrogates") << QString::fromUtf16(u"\xd800x\xdc00") + u"e"_s
                                     << QString::fromUtf16(u"\xd800*\xdc00") + u"e"_s;
    QTest::newRow("emoji") << u"Bravo 🎉 !"_s << u"B**** 🎉 !"_s;
    QTest::newRow("other scripts") << u"Ωmega привет ĕ"_s << u"Ω*e** привет ĕ"_s;
    // e + combining acute composes to é, which follows box E.
    QTest::newRow("decomposed é") << u"cafe\u0301 e\u0301te\u0301"_s << u"***é é*é"_s;
    QTest::newRow("decomposed Ç") << u"C\u0327a"_s << u"**"_s;
}

void TestEngine::unusualText()
{
    QFETCH(QString, quotation);
    QFETCH(QString, expected);
    QCOMPARE(RenderQuotation(quotation, Board::fromLetters(u"BE")), expected);
}

void TestEngine::veryLongQuotation()
{
    // Far past the old 32766-character ceiling.
    const QString unit = u"Été à Noël, l'œil du bœuf ! "_s;
    const qsizetype repeats = 10'000'000 / unit.size() + 1;
    const QString quotation = unit.repeated(repeats);
    const QString rendered =
        RenderQuotation(quotation, Board::fromLetters(u"EN"), {.letterLog = true});

    const QString maskedUnit = RenderQuotation(unit, Board::fromLetters(u"EN"));
    QCOMPARE(rendered.size(), quotation.size() + 3 + 8);
    QCOMPARE(rendered.left(maskedUnit.size()), maskedUnit);
    QCOMPARE(rendered.mid(quotation.size() - unit.size(), unit.size()), maskedUnit);
    QVERIFY(rendered.endsWith(u"\r\r\r   E - N"_s));
}

void TestEngine::randomTextMatchesRule()
{
    // Long random texts cross every block boundary of the bulk paths.
    const QString alphabet = u"aAeEnNzZÆæÀéÉçÇ×÷ÿœŒŸšžØß’—*\r\n \u00a0€😀ĕ"_s;
    QRandomGenerator random(20261207);
    for (int round = 0; round < 300; ++round) {
        const Board b = testsupport::randomBoard(random);
        QString text;
        QString expected;
        for (int i = random.bounded(300); i > 0; --i) {
            const QChar c = alphabet[random.bounded(int(alphabet.size()))];
            text += c;
            expected += c.isSurrogate() ? QString(c) : expectedFor(c.unicode(), b);
        }
        QCOMPARE(RenderQuotation(text, b), expected);
    }
}

void TestEngine::typographicPunctuationNeedsNoNormalization()
{
    // The engine skips NFC for text whose only units from U+0300 up are
    // general punctuation (U+2010..U+205E) or currency signs (U+20A0..U+20C0);
    // that holds only if NFC leaves them alone after any narrower unit.
    for (char16_t wide = 0x2010; wide <= 0x20C0; ++wide) {
        if (wide > 0x205E && wide < 0x20A0)
            continue;
        for (char16_t before = 0; before < 0x300; ++before) {
            const QString pair = QString(QChar(before)) + QChar(wide);
            QVERIFY2(pair.normalized(QString::NormalizationForm_C) == pair,
                     qPrintable(QString::number(wide, 16)));
        }
    }
    QCOMPARE(RenderQuotation(u"l’e\u0301te\u0301"_s, Board::fromLetters(u"E")), u"*’é*é"_s);
}

void TestEngine::utf8MatchesUtf16()
{
    // Long runs of ASCII between the other characters cross the block
    // boundaries of every path; a character the UTF-8 path leaves to the
    // UTF-16 one (a combining mark, an emoji) must make it give up.
    const QString alphabet = u"AENRST,.'*\r\néèàçœŒŸÿšŽØß×’«\u00a0ĕ"_s;
    const QStringList refused{u"\u0301"_s, u"😀"_s, u"中"_s};
    QRandomGenerator random(20261207);
    for (int round = 0; round < 300; ++round) {
        const Board b = testsupport::randomBoard(random);
        QString text;
        for (int i = random.bounded(400); i > 0; --i)
            text += random.bounded(8) ? QChar(u'a' + random.bounded(26))
                                      : alphabet[random.bounded(int(alphabet.size()))];
        const bool giveUp = random.bounded(4) == 0;
        if (giveUp)
            text.insert(random.bounded(text.size() + 1),
                        refused[random.bounded(int(refused.size()))]);
        const QByteArray bytes = text.toUtf8();
        QByteArray out(bytes.size(), '\0');
        const qsizetype size = Utf8Masker(b).mask(bytes, out.data());
        if (giveUp) {
            QCOMPARE(size, -1);
            continue;
        }
        QVERIFY(size >= 0);
        QCOMPARE(QString::fromUtf8(out.first(size)), RenderQuotation(text, b));
    }
}

void TestEngine::nfcInPieces_data()
{
    QTest::addColumn<qsizetype>("pieceSize");
    for (qsizetype size : {1, 2, 3, 5, 17, 4096})
        QTest::addRow("pieces of %lld", qlonglong(size)) << size;
}

void TestEngine::nfcInPieces()
{
    // Cut anywhere but before a unit below U+0300, pieces would split a
    // letter from its accents, reorder marks apart or leave Hangul jamo
    // uncomposed: the pieces must give exactly Qt's whole-text NFC.
    QFETCH(qsizetype, pieceSize);
    const QString alphabet = u"eEaoAn \r\u0301\u0327\u0308\u0323\u0328\u1100\u1161\u11A8"
                             u"\u0915\u093C\u2126\u212B\u00C5\u3099\u304B😀"_s;
    QRandomGenerator random(7122026);
    for (int round = 0; round < 200; ++round) {
        QString text;
        for (int i = random.bounded(200); i > 0; --i) {
            const auto at = random.bounded(int(alphabet.size()));
            // Keep the emoji's surrogates together.
            text += alphabet[at].isHighSurrogate()  ? alphabet.mid(at, 2)
                    : alphabet[at].isLowSurrogate() ? alphabet.mid(at - 1, 2)
                                                    : QString(alphabet[at]);
        }
        QCOMPARE(toNfc(text, pieceSize), text.normalized(QString::NormalizationForm_C));
    }
    // Long decomposed text masks like the precomposed one, at any length.
    const QString decomposed = u"e\u0301t\u00e9 "_s.repeated(100'000);
    QCOMPARE(RenderQuotation(decomposed, Board::fromLetters(u"E")), u"é*é "_s.repeated(100'000));
}

using Blocks = detail::Latin1Set::Blocks;
Q_DECLARE_METATYPE(std::optional<Blocks>)

void TestEngine::blockPathChoice_data()
{
    QTest::addColumn<QByteArray>("forced");
    QTest::addColumn<bool>("avx2");
    QTest::addColumn<bool>("ssse3");
    QTest::addColumn<std::optional<Blocks>>("chosen");
    const std::optional<Blocks> unknown;
    QTest::newRow("unset, best") << QByteArray() << true << true << std::optional(Blocks::Avx2);
    QTest::newRow("unset, no AVX2")
        << QByteArray() << false << true << std::optional(Blocks::Ssse3);
    QTest::newRow("unset, neither")
        << QByteArray() << false << false << std::optional(Blocks::None);
    QTest::newRow("avx2") << QByteArray("avx2") << true << true << std::optional(Blocks::Avx2);
    QTest::newRow("avx2 without it")
        << QByteArray("avx2") << false << true << std::optional(Blocks::Ssse3);
    QTest::newRow("ssse3") << QByteArray("ssse3") << true << true << std::optional(Blocks::Ssse3);
    QTest::newRow("ssse3 without it")
        << QByteArray("ssse3") << false << false << std::optional(Blocks::None);
    QTest::newRow("none") << QByteArray("none") << true << true << std::optional(Blocks::None);
    QTest::newRow("capitals") << QByteArray("AVX2") << true << true << unknown;
    QTest::newRow("misspelt") << QByteArray("sse3") << true << true << unknown;
    QTest::newRow("trailing space") << QByteArray("none ") << true << true << unknown;
    QTest::newRow("other path") << QByteArray("avx512") << true << true << unknown;
}

void TestEngine::blockPathChoice()
{
    QFETCH(QByteArray, forced);
    QFETCH(bool, avx2);
    QFETCH(bool, ssse3);
    QFETCH(std::optional<Blocks>, chosen);
    QCOMPARE(detail::Latin1Set::chooseBlocks(forced.toStdString(), avx2, ssse3), chosen);
}

QTEST_APPLESS_MAIN(TestEngine)
#include "tst_engine.moc"
