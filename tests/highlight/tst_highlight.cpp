// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "highlight/highlight.h"

#include <QRandomGenerator>
#include <QTest>

using namespace lexorne::highlight;
using namespace Qt::StringLiterals;

namespace {

// The wrapping done the long way, one replacement per character in the
// documented order: lower-case letter on the rendered text, then the upper
// case, then each accented upper-case form and each lower-case form.
QString stepwise(const QString &rendered, int letterIndex, const QString &open,
                 const QString &close)
{
    const QChar upper(u'A' + letterIndex);
    const QChar lower(u'a' + letterIndex);
    const auto wrap = [&](QString text, QChar c) {
        return text.replace(c, open + c + close);
    };
    QString result = wrap(rendered, lower);
    result = wrap(result, upper);
    struct Range
    {
        char letter;
        char16_t first, last;
    };
    const Range ranges[] = {{'A', 192, 198}, {'C', 199, 199}, {'D', 208, 208}, {'E', 200, 203},
                            {'I', 204, 207}, {'N', 209, 209}, {'O', 210, 214}, {'U', 217, 220}};
    for (const Range &r : ranges) {
        if (QChar(QLatin1Char(r.letter)) != upper)
            continue;
        for (char16_t c = r.first; c <= r.last; ++c)
            result = wrap(result, QChar(c));
        for (char16_t c = r.first + 32; c <= r.last + 32; ++c)
            result = wrap(result, QChar(c));
        break;
    }
    // The letters outside the ranges, each with its base letter.
    const QString others = u"ØøŒœÝýÿŸßŠšŽž"_s;
    const char bases[] = "OOOOYYYYSSSZZ";
    for (qsizetype i = 0; i < others.size(); ++i)
        if (QChar(QLatin1Char(bases[i])) == upper)
            result = wrap(result, others[i]);
    return result;
}

} // namespace

class TestHighlight : public QObject
{
    Q_OBJECT
private slots:
    void palette();
    void letterList();
    void openingTagOutOfRange_data();
    void openingTagOutOfRange();
    void examples_data();
    void examples();
    void highlightSets_data();
    void highlightSets();
    void matchesStepwiseWrapping();
    void unusualInput();
    void anyTags_data();
    void anyTags();
};

void TestHighlight::palette()
{
    const QStringList names{u"Rouge foncé"_s, u"Rouge"_s,      u"Orange"_s, u"Marron"_s,
                            u"Jaune"_s,       u"Vert"_s,       u"Olive"_s,  u"Cyan"_s,
                            u"Bleu"_s,        u"Bleu foncé"_s, u"Indigo"_s, u"Violet"_s,
                            u"Blanc"_s,       u"Noir"_s};
    const QStringList colours{u"darkred"_s, u"red"_s,    u"orange"_s, u"brown"_s, u"yellow"_s,
                              u"green"_s,   u"olive"_s,  u"cyan"_s,   u"blue"_s,  u"darkblue"_s,
                              u"indigo"_s,  u"violet"_s, u"white"_s,  u"black"_s};
    QCOMPARE(colourNames(), names);
    for (int i = 0; i < kColourCount; ++i)
        QCOMPARE(openingTag(i), u"[color="_s + colours[i] + u']');
    QCOMPARE(closingTag(), u"[/color]"_s);
}

void TestHighlight::letterList()
{
    const QStringList entries = letterEntries();
    QCOMPARE(entries.size(), 26);
    QCOMPARE(entries.first(), u"A/a"_s);
    QCOMPARE(entries.at(12), u"M/m"_s);
    QCOMPARE(entries.last(), u"Z/z"_s);
}

void TestHighlight::openingTagOutOfRange_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("no selection") << -1;
    QTest::newRow("one past the end") << 14;
    QTest::newRow("far negative") << -32768;
    QTest::newRow("far positive") << 32767;
}

void TestHighlight::openingTagOutOfRange()
{
    QFETCH(int, index);
    QCOMPARE(openingTag(index), QString());
    // Each occurrence still gets its closing tag.
    QCOMPARE(HighlightLetter(u"ba"_s, 0, index), u"ba[/color]"_s);
}

void TestHighlight::examples_data()
{
    QTest::addColumn<int>("letter");
    QTest::addColumn<int>("colour");
    QTest::addColumn<QString>("rendered");
    QTest::addColumn<QString>("expected");

    QTest::newRow("C cyan") << 2 << 7 << u"Ceci"_s
                            << u"[color=cyan]C[/color]e[color=cyan]c[/color]i"_s;
    QTest::newRow("E darkred") << 4 << 0 << u"Été"_s
                               << u"[color=darkred]É[/color]t[color=darkred]é[/color]"_s;
    QTest::newRow("L blue") << 11 << 8 << u"Ll"_s
                            << u"[color=blue]L[/color][color=blue]l[/color]"_s;
    QTest::newRow("O black") << 14 << 13 << u"côte"_s << u"c[color=black]ô[/color]te"_s;
    QTest::newRow("Æ with A") << 0 << 1 << u"Æther"_s << u"[color=red]Æ[/color]ther"_s;
    QTest::newRow("Æ not with E") << 4 << 1 << u"Æther"_s << u"Æth[color=red]e[/color]r"_s;
    QTest::newRow("œ with O") << 14 << 8 << u"cœur"_s << u"c[color=blue]œ[/color]ur"_s;
    QTest::newRow("œ not with E") << 4 << 8 << u"cœur"_s << u"cœur"_s;
    QTest::newRow("B green, masks stay")
        << 1 << 5 << u"ab*b"_s << u"a[color=green]b[/color]*[color=green]b[/color]"_s;
    QTest::newRow("log highlighted") << 4 << 1 << u"*e\r\r\r   E - N"_s
                                     << u"*[color=red]e[/color]\r\r\r   [color=red]E[/color] - N"_s;
    QTest::newRow("empty") << 4 << 1 << QString() << QString();
    QTest::newRow("no occurrence") << 25 << 1 << u"*** ?"_s << u"*** ?"_s;
}

void TestHighlight::examples()
{
    QFETCH(int, letter);
    QFETCH(int, colour);
    QFETCH(QString, rendered);
    QFETCH(QString, expected);
    QCOMPARE(HighlightLetter(rendered, letter, colour), expected);
}

void TestHighlight::highlightSets_data()
{
    QTest::addColumn<QChar>("letter");
    QTest::addColumn<QString>("members");

    QTest::newRow("A") << QChar(u'A') << u"AaÀÁÂÃÄÅÆàáâãäåæ"_s;
    QTest::newRow("C") << QChar(u'C') << u"CcÇç"_s;
    QTest::newRow("D") << QChar(u'D') << u"DdÐð"_s;
    QTest::newRow("E") << QChar(u'E') << u"EeÈÉÊËèéêë"_s;
    QTest::newRow("I") << QChar(u'I') << u"IiÌÍÎÏìíîï"_s;
    QTest::newRow("N") << QChar(u'N') << u"NnÑñ"_s;
    QTest::newRow("O, with Ø and Œ") << QChar(u'O') << u"OoÒÓÔÕÖØòóôõöøŒœ"_s;
    QTest::newRow("U") << QChar(u'U') << u"UuÙÚÛÜùúûü"_s;
    QTest::newRow("Y") << QChar(u'Y') << u"YyÝýÿŸ"_s;
    QTest::newRow("S") << QChar(u'S') << u"SsßŠš"_s;
    QTest::newRow("Z") << QChar(u'Z') << u"ZzŽž"_s;
    QTest::newRow("B: none") << QChar(u'B') << u"Bb"_s;
}

void TestHighlight::highlightSets()
{
    QFETCH(QChar, letter);
    QFETCH(QString, members);
    for (char16_t c = 0; c < 0x200; ++c)
        QVERIFY2(inHighlightSet(letter, QChar(c)) == members.contains(QChar(c)),
                 qPrintable(QStringLiteral("U+%1").arg(int(c), 4, 16, QLatin1Char('0'))));
}

void TestHighlight::matchesStepwiseWrapping()
{
    // Random rendered texts over an alphabet rich in letters, accents, masks
    // and tag characters, against every letter and a few colours.
    const QString alphabet = u"aAbBcCeElLoOÆæÀéÉÈôÔçÇñÑìÌðÐùÙøØýÿœŒŸšŽß×’ĕ*[]=/ \r"_s;
    QRandomGenerator random(20261207);
    for (int round = 0; round < 200; ++round) {
        QString rendered;
        const int length = random.bounded(200);
        for (int i = 0; i < length; ++i)
            rendered += alphabet[random.bounded(int(alphabet.size()))];
        for (int letter = 0; letter < 26; ++letter) {
            const int colour = random.bounded(-1, kColourCount + 1);
            const QString open = openingTag(colour);
            QCOMPARE(HighlightLetter(rendered, letter, colour),
                     stepwise(rendered, letter, open, closingTag()));
        }
    }
}

void TestHighlight::unusualInput()
{
    const QString text = QString::fromUtf16(u"e\0\xd800🎉e", 6);
    const QString wrapped = HighlightLetter(text, 4, 1);
    QCOMPARE(wrapped, u"[color=red]e[/color]"_s + QString::fromUtf16(u"\0\xd800🎉", 4) +
                          u"[color=red]e[/color]"_s);
    QCOMPARE(HighlightLetter(u"abc"_s, -1, 1), u"abc"_s);
    QCOMPARE(HighlightLetter(u"abc"_s, 26, 1), u"abc"_s);
}

void TestHighlight::anyTags_data()
{
    // Null and empty tags, and tags around the length the wide path copies
    // in one store, on a text long enough for the wide path.
    QTest::addColumn<QString>("open");
    QTest::addColumn<QString>("close");
    QTest::newRow("no opening tag") << QString() << u"[/color]"_s;
    QTest::newRow("no closing tag") << u"[color=red]"_s << QString();
    QTest::newRow("empty closing tag") << u"[color=red]"_s << u""_s;
    QTest::newRow("no tags") << QString() << QString();
    QTest::newRow("16 units") << u"[color=#123456]<"_s << u">[/color=#12345]"_s;
    QTest::newRow("17 units") << u"[color=#1234567]<"_s << u"[/color]"_s;
}

void TestHighlight::anyTags()
{
    QFETCH(QString, open);
    QFETCH(QString, close);
    const QString text = u"Été comme hiver, les élèves écrivent et rêvent; "
                         u"ensemble ils créent des scènes étonnantes."_s.repeated(3);
    QCOMPARE(HighlightLetter(text, 4, open, close), stepwise(text, 4, open, close));
}

QTEST_APPLESS_MAIN(TestHighlight)
#include "tst_highlight.moc"
