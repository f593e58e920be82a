// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/engine.h"
#include "engine/lettercount.h"
#include "engine/nfc.h"

#include <QRandomGenerator>
#include <QTest>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

Board withBox(Board b, int k)
{
    b.states[k] = LetterState::Ticked;
    return b;
}

// Positions where two renderings of one quotation differ.
qsizetype differences(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return -1;
    qsizetype n = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        n += a.at(i) != b.at(i);
    return n;
}

QString letters(const QList<int> &boxes)
{
    QString names;
    for (int k : boxes)
        names += QChar(char16_t(u'A' + k));
    return names;
}

// "E3 A1": the letters named with their counts; every other letter 0.
std::array<qsizetype, kLetterCount> parseCounts(const QString &named)
{
    std::array<qsizetype, kLetterCount> counts{};
    for (const QString &item : named.split(u' ', Qt::SkipEmptyParts))
        counts[item.at(0).unicode() - u'A'] = item.mid(1).toLongLong();
    return counts;
}

// Random text over what a quotation may hold: ASCII, the whole Latin-1 range,
// typographic punctuation, combining accents that NFC folds into the letter
// before them, surrogate pairs and lone surrogates.
QString randomText(QRandomGenerator &random, qsizetype size)
{
    static const QString pool = [] {
        QString p;
        for (char16_t c = 0; c < 256; ++c)
            p += QChar(c);
        p += u"AEIOUaeiouNnCc  \r\n"_s;
        p += u"\u0152\u0153\u2019\u00AB\u00BB\u2026\u0301\u0300\u0302\u0308\u0327\u0303"_s;
        return p;
    }();
    QString text;
    while (text.size() < size) {
        const int pick = random.bounded(int(pool.size()) + 3);
        if (pick == pool.size())
            text += u"\U0001D404"_s; // a letter outside the BMP
        else if (pick == pool.size() + 1)
            text += QChar(char16_t(0xD800 + random.bounded(0x400))); // lone high
        else if (pick == pool.size() + 2)
            text += QChar(char16_t(0xDC00 + random.bounded(0x400))); // lone low
        else
            text += pool.at(pick);
    }
    return text;
}

Board randomBoard(QRandomGenerator &random)
{
    Board b;
    for (auto &state : b.states)
        state = LetterState(random.bounded(3));
    return b;
}

} // namespace

class TestLetterCount : public QObject
{
    Q_OBJECT
private slots:
    void counts_data();
    void counts();
    void hiddenLetters_data();
    void hiddenLetters();
    void agreesWithMasking_data();
    void agreesWithMasking();
    void manyOfOneLetter_data();
    void manyOfOneLetter();
};

void TestLetterCount::counts_data()
{
    QTest::addColumn<QString>("quotation");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("both cases") << u"Le chat"_s << u"L1 E1 C1 H1 A1 T1"_s;
    QTest::newRow("accents follow their base") << u"Été à Noël"_s << u"E3 T1 A1 N1 O1 L1"_s;
    QTest::newRow("every accented form")
        << u"ÀÁÂÃÄÅàáâãäåÇçÈÉÊËèéêëÌÍÎÏìíîïÐðÑñÒÓÔÕÖòóôõöÙÚÛÜùúûü"_s
        << u"A12 C2 E8 I8 D2 N2 O10 U8"_s;
    QTest::newRow("Æ counts for A and for E") << u"Æsop, cæcum"_s << u"A2 E2 S1 O1 P1 C2 U1 M1"_s;
    QTest::newRow("Œ counts for O and for E") << u"cœur Œ"_s << u"C1 O2 E2 U1 R1"_s;
    QTest::newRow("Y, S, Z and O forms")
        << u"ÿ Ÿ Ý ý \u0160\u0161 ß \u017D\u017E Øø"_s << u"Y4 S3 Z2 O2"_s;
    QTest::newRow("letters no box shows, and signs") << u"×÷Þþ"_s << QString();
    QTest::newRow("characters the masking copies") << u"ª º µ ƒ"_s << QString();
    QTest::newRow("digits and punctuation") << u"12, [3]; {4}\r\n@_`~"_s << QString();
    QTest::newRow("decomposed é") << u"e\u0301te\u0301"_s << u"E2 T1"_s;
    QTest::newRow("decomposed Ç and ñ") << u"C\u0327a n\u0303"_s << u"C1 A1 N1"_s;
    QTest::newRow("decomposed Ý ÿ Ž Š") << u"Y\u0301 y\u0308 Z\u030C s\u030C"_s << u"Y2 Z1 S1"_s;
    QTest::newRow("composes into a letter the masking copies") << u"e\u0328 g\u0306"_s << QString();
    QTest::newRow("combining mark on a non-letter") << u"1\u0301 x"_s << u"X1"_s;
    QTest::newRow("typographic punctuation only") << u"l’été « oui » …"_s << u"L1 E2 T1 O1 U1 I1"_s;
    QTest::newRow("lone surrogates") << u"\xD800"
                                        "e\xDC00"
                                        "E"_s
                                     << u"E2"_s;
    QTest::newRow("letters outside the BMP") << u"\U0001D404\U0001D41E e"_s << u"E1"_s;
    QTest::newRow("long run past the unrolled loop")
        << u"eeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeeee"_s << u"E42"_s;
}

void TestLetterCount::counts()
{
    QFETCH(QString, quotation);
    QFETCH(QString, expected);
    const LetterTally tally = CountLetters(quotation);
    const auto want = parseCounts(expected);
    for (int k = 0; k < kLetterCount; ++k)
        QVERIFY2(tally.occurrences(k) == want[k],
                 qPrintable(u"%1: %2, expected %3"_s.arg(QChar(char16_t(u'A' + k)))
                                .arg(tally.occurrences(k))
                                .arg(want[k])));
    QCOMPARE(tally.hasLetters(), !expected.isEmpty());
    QCOMPARE(tally.occurrences(-1), 0);
    QCOMPARE(tally.occurrences(kLetterCount), 0);
}

void TestLetterCount::hiddenLetters_data()
{
    QTest::addColumn<QString>("quotation");
    QTest::addColumn<QString>("ticked");
    QTest::addColumn<QString>("greyed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QString() << QString() << QString() << QString();
    QTest::newRow("nothing ticked") << u"Le chat"_s << QString() << QString() << u"ACEHLT"_s;
    QTest::newRow("some ticked") << u"Le chat"_s << u"EHZ"_s << QString() << u"ACLT"_s;
    QTest::newRow("all found") << u"Le chat"_s << u"ACEHLT"_s << QString() << QString();
    QTest::newRow("accented form found through its base")
        << u"Noël"_s << u"NOL"_s << QString() << u"E"_s;
    QTest::newRow("greyed box is not ticked") << u"Été"_s << u"T"_s << u"E"_s << u"E"_s;
    QTest::newRow("Æ hides behind A and E") << u"Æ"_s << QString() << QString() << u"AE"_s;
    QTest::newRow("Æ shown by E") << u"Æ"_s << u"E"_s << QString() << QString();
    QTest::newRow("Æ shown by A") << u"æ"_s << u"A"_s << QString() << QString();
    QTest::newRow("Æ shown, another A still hidden") << u"Æa"_s << u"E"_s << QString() << u"A"_s;
    QTest::newRow("no box shows × nor Þ") << u"× Þ"_s << QString() << QString() << QString();
    QTest::newRow("Œ hides behind O and E") << u"œ"_s << QString() << QString() << u"EO"_s;
    QTest::newRow("ß shown by S") << u"ß ø"_s << u"S"_s << QString() << u"O"_s;
    QTest::newRow("decomposed letter") << u"E\u0308"_s << u"A"_s << QString() << u"E"_s;
}

void TestLetterCount::hiddenLetters()
{
    QFETCH(QString, quotation);
    QFETCH(QString, ticked);
    QFETCH(QString, greyed);
    QFETCH(QString, expected);
    QCOMPARE(letters(CountLetters(quotation).hiddenLetters(Board::fromLetters(ticked, greyed))),
             expected);
}

void TestLetterCount::agreesWithMasking_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("size");
    for (quint32 seed = 1; seed <= 12; ++seed)
        QTest::addRow("seed %u", seed) << seed << int(seed * 37 % 400);
}

// Box k's count is the number of characters that ticking k alone reveals;
// a box is still hidden exactly when ticking it would change the rendering.
void TestLetterCount::agreesWithMasking()
{
    QFETCH(quint32, seed);
    QFETCH(int, size);
    QRandomGenerator random(seed);
    const QString text = randomText(random, size);
    const LetterTally tally = CountLetters(text);

    const QString none = RenderQuotation(text, Board{});
    for (int k = 0; k < kLetterCount; ++k)
        QCOMPARE(tally.occurrences(k), differences(none, RenderQuotation(text, withBox({}, k))));

    for (int round = 0; round < 8; ++round) {
        const Board b = randomBoard(random);
        const QString now = RenderQuotation(text, b);
        QList<int> expected;
        for (int k = 0; k < kLetterCount; ++k)
            if (!b.isTicked(k) && differences(now, RenderQuotation(text, withBox(b, k))) > 0)
                expected.append(k);
        QCOMPARE(letters(tally.hiddenLetters(b)), letters(expected));
        // Every position the masking changed is a character the board hides.
        QCOMPARE(tally.hiddenCount(b), differences(now, toNfc(text)));
    }
}

// Long runs of one letter fill the counters that are summed block by block
// and table by table; none may wrap or drop a count.
void TestLetterCount::manyOfOneLetter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("expectedE");
    const qsizetype n = 1'000'003;
    QTest::newRow("e") << QString(n, u'e') << n;
    QTest::newRow("E then e") << QString(n, u'E') + QString(n, u'e') << 2 * n;
    QTest::newRow("é") << QString(n, u'é') << n;
    QTest::newRow("eé and a decomposed É")
        << QString(u"eé"_s).repeated(n) + u"E\u0301"_s << 2 * n + 1;
}

void TestLetterCount::manyOfOneLetter()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, expectedE);
    const LetterTally tally = CountLetters(text);
    QCOMPARE(tally.occurrences(4), expectedE);
    QCOMPARE(tally.hiddenLetters(Board{}), QList<int>{4});
}

QTEST_APPLESS_MAIN(TestLetterCount)
#include "tst_lettercount.moc"
