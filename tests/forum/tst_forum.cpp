// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The forum profiles as functions: the BBCode post stays the highlight's own
// bytes, the Markdown escaping gives the expected text, and a post written
// block by block equals the whole one wherever the blocks are cut. What the
// real renderers make of the posts is tst_renderers' business.
#include "forum/forum.h"
#include "highlight/highlight.h"

#include <QColor>
#include <QTest>

using namespace lexorne;
using namespace lexorne::forum;
using namespace Qt::StringLiterals;

class TestForum : public QObject
{
    Q_OBJECT
private slots:
    void names_data();
    void names();
    void hexIsTheCssValue();
    void bbcodeIsTheHighlight_data();
    void bbcodeIsTheHighlight();
    void escaped_data();
    void escaped();
    void blocksGiveTheWholePost_data();
    void blocksGiveTheWholePost();
    void markedRuns_data();
    void markedRuns();
};

void TestForum::names_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("profile"); // -1: no profile

    QTest::newRow("bbcode") << u"bbcode"_s << int(Profile::BBCode);
    QTest::newRow("hex, upper case, spaces") << u" BBCode-Hex "_s << int(Profile::BBCodeHex);
    QTest::newRow("markdown") << u"markdown"_s << int(Profile::Markdown);
    QTest::newRow("discord") << u"discord"_s << int(Profile::Discord);
    QTest::newRow("empty") << QString() << -1;
    QTest::newRow("prefix only") << u"bb"_s << -1;
    QTest::newRow("with more") << u"markdownx"_s << -1;
}

void TestForum::names()
{
    QFETCH(QString, name);
    QFETCH(int, profile);
    const std::optional<Profile> found = profileFromName(name);
    QCOMPARE(found ? int(*found) : -1, profile);
    if (found)
        QCOMPARE(profileFromName(profileName(*found)), found);
}

void TestForum::hexIsTheCssValue()
{
    // The tag's colour name, read by Qt as a CSS/SVG name, is the hex value.
    for (int i = 0; i < highlight::kColourCount; ++i) {
        const QString name = colourValue(Profile::BBCode, i);
        QCOMPARE(u"[color="_s + name + u']', highlight::openingTag(i));
        QCOMPARE(colourValue(Profile::BBCodeHex, i), QColor(name).name());
    }
    QVERIFY(colourHex(-1).isEmpty());
    QVERIFY(colourHex(highlight::kColourCount).isEmpty());
    QVERIFY(colourValue(Profile::Markdown, 1).isEmpty());
}

void TestForum::bbcodeIsTheHighlight_data()
{
    QTest::addColumn<QString>("rendered");
    QTest::addColumn<int>("letter");
    QTest::addColumn<int>("colour");

    const QString text = u"*** C*ci, Été ! ***\r\n- 1. # <b>&amp;\r\r\r   C - E"_s;
    QTest::newRow("nothing marked") << text << -1 << 1;
    QTest::newRow("C in cyan") << text << 2 << 7;
    QTest::newRow("E in dark red") << text << 4 << 0;
    QTest::newRow("empty") << QString() << 4 << 0;
}

void TestForum::bbcodeIsTheHighlight()
{
    QFETCH(QString, rendered);
    QFETCH(int, letter);
    QFETCH(int, colour);
    const QString expected =
        letter < 0 ? rendered : highlight::HighlightLetter(rendered, letter, colour);
    QCOMPARE(Post(Profile::BBCode, rendered, letter, Mark{colour}), expected);
    QString hex = expected;
    if (letter >= 0)
        hex.replace(highlight::openingTag(colour), u"[color="_s + colourHex(colour) + u']');
    QCOMPARE(Post(Profile::BBCodeHex, rendered, letter, Mark{colour}), hex);
}

void TestForum::escaped_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<QString>("rendered");
    QTest::addColumn<int>("letter");
    QTest::addColumn<QString>("post");

    const int md = int(Profile::Markdown);
    const int dc = int(Profile::Discord);
    QTest::newRow("stars") << md << u"*o**ou* * *"_s << -1 << u"\\*o\\*\\*ou\\* \\* \\*"_s;
    QTest::newRow("line starts")
        << md << u"- a\n+ b\n# c\n1. d\n12) e\n= f\n2024 g"_s << -1
        << u"\\- a\\\n\\+ b\\\n\\# c\\\n1\\. d\\\n12\\) e\\\n\\= f\\\n2024 g"_s;
    QTest::newRow("only at the start") << md << u"a - b # c 1. d"_s << -1 << u"a - b # c 1. d"_s;
    QTest::newRow("leading and trailing spaces")
        << md << u"    code\n\tx \n"_s << -1
        << u"&#160;&#160;&#160;&#160;code\\\n&#160;x&#160;\n"_s;
    QTest::newRow("bare addresses") << md << u"http://x.fr WWW.x.fr www x: a.b"_s << -1
                                    << u"http\\://x.fr WWW\\.x.fr www x\\: a.b"_s;
    QTest::newRow("crlf and cr breaks, trailing ones plain")
        << md << u"a\r\n\r\nb\r\r\r"_s << -1 << u"a\\\r\n\\\r\nb\r\r\r"_s;
    QTest::newRow("html, entities, links")
        << md << u"<b>&amp;[x](y) `z` ~~s~~ |t| \\"_s << -1
        << u"\\<b\\>\\&amp;\\[x\\](y) \\`z\\` \\~\\~s\\~\\~ \\|t\\| \\\\"_s;
    QTest::newRow("marked letters, one run each")
        << md << u"Ll *l* lA"_s << 11 << u"**Ll** \\***l**\\* **l**A"_s;
    QTest::newRow("discord keeps breaks and spaces")
        << dc << u"  - a\n\n> @everyone :x: ||s||"_s << -1
        << u"  \\- a\n\n\\> \\@everyone \\:x\\: \\|\\|s\\|\\|"_s;
    QTest::newRow("discord marked") << dc << u"ee*"_s << 4 << u"**ee**\\*"_s;
}

void TestForum::escaped()
{
    QFETCH(int, profile);
    QFETCH(QString, rendered);
    QFETCH(int, letter);
    QFETCH(QString, post);
    QCOMPARE(Post(Profile(profile), rendered, letter), post);
}

void TestForum::blocksGiveTheWholePost_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<QString>("rendered");
    QTest::addColumn<int>("letter");

    const QString text = u"  *e* Eé\r\n\r\n1. -x  \n\t12) #  \r\r\r   E - N  "_s;
    for (int p = 0; p < kProfileCount; ++p) {
        const QByteArray name = profileName(Profile(p)).toUtf8();
        QTest::newRow(name.constData()) << p << text << -1;
        QTest::newRow((name + ", E marked").constData()) << p << text << 4;
    }
}

void TestForum::blocksGiveTheWholePost()
{
    QFETCH(int, profile);
    QFETCH(QString, rendered);
    QFETCH(int, letter);
    const QString whole = Post(Profile(profile), rendered, letter, Mark{3});
    // Every pair of cuts: three blocks, each of any length, empty ones too.
    for (qsizetype i = 0; i <= rendered.size(); ++i) {
        for (qsizetype j = i; j <= rendered.size(); ++j) {
            PostWriter writer(Profile(profile), Mark{3});
            QString out;
            const QStringView view(rendered);
            writer.writeHighlighted(view.first(i), letter, out);
            PostWriter carried = writer; // a copy carries on the same
            carried.writeHighlighted(view.sliced(i, j - i), letter, out);
            carried.writeHighlighted(view.sliced(j), letter, out);
            carried.finish(out);
            if (out != whole)
                QFAIL(qPrintable(
                    u"cut at %1 and %2:\n%3\ninstead of\n%4"_s.arg(i).arg(j).arg(out, whole)));
        }
    }
}

void TestForum::markedRuns_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<int>("colour");
    QTest::addColumn<QString>("post");

    // "x " plain, then "ab, c" marked: letters only, the rest plain.
    QTest::newRow("bbcode colour") << int(Profile::BBCode) << 1
                                   << u"x [color=red]a[/color][color=red]b[/color], "
                                      u"[color=red]c[/color]"_s;
    QTest::newRow("bbcode-hex colour") << int(Profile::BBCodeHex) << 1
                                       << u"x [color=#ff0000]a[/color][color=#ff0000]b[/color], "
                                          u"[color=#ff0000]c[/color]"_s;
    QTest::newRow("bbcode bold") << int(Profile::BBCode) << -1 << u"x [b]a[/b][b]b[/b], [b]c[/b]"_s;
    QTest::newRow("markdown") << int(Profile::Markdown) << 1 << u"x **ab**, **c**"_s;
}

void TestForum::markedRuns()
{
    QFETCH(int, profile);
    QFETCH(int, colour);
    QFETCH(QString, post);
    PostWriter writer(Profile(profile), Mark{colour});
    QString out;
    writer.write(u"x ", out);
    writer.writeMarked(u"ab, c", out);
    writer.finish(out);
    QCOMPARE(out, post);
}

QTEST_GUILESS_MAIN(TestForum)
#include "tst_forum.moc"
