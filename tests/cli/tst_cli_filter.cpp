// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's filter fed block by block, with every place a block can
// end, against the whole text rendered at once.
#include "cli/filter.h"
#include "forum/forum.h"

#include <QRandomGenerator>
#include <QTest>

#include <utility>

using namespace lexorne;
using namespace lexorne::cli;
using namespace Qt::StringLiterals;

namespace {

struct Fed
{
    QByteArray output;
    bool ok = true;
    QString error;
};

// bytes fed in blocks of `block` bytes (the last one shorter).
Fed feedInBlocks(Filter &filter, QByteArrayView bytes, qsizetype block)
{
    Fed fed;
    for (qsizetype from = 0; fed.ok && from < bytes.size(); from += block)
        fed.ok = filter.feed(bytes.sliced(from, qMin(block, bytes.size() - from)), fed.output);
    fed.ok = fed.ok && filter.finish(fed.output);
    fed.error = filter.error();
    return fed;
}

Request requestOf(const QStringList &arguments)
{
    const Parsed parsed = parseArguments(arguments);
    return parsed.request.value_or(Request());
}

// Texts whose characters, marks and line ends sit where blocks end.
const QStringList kTrickyTexts{
    u""_s,
    u"Été à Noël"_s,
    u"e\u0301te\u0301 A\u030A\u0301"_s, // decomposed, two marks on one letter
    u"\uFEFFLe chat\r\n"_s,             // byte order mark, CR LF
    u"l’été… « déjà »\u202F!"_s,        // typographic punctuation
    u"漢字😀e\u0301ÿ"_s,                 // three and four bytes, then a mark
    u"\u0301début"_s,                   // a mark with nothing before it
    u"\u1100\u1161\u11A8 한"_s,         // jamo that compose into a syllable
    u"ÆØß×÷œŒǄʼ\u02FF"_s,
    u"  - *a*\r\n1. www.x: \\\r\r"_s, // what Markdown forums escape or hold back
};

// Holds back a CR that ends a piece, to see whether a LF follows: the kind
// of state a step carries from one piece to the next.
class LineEnds : public TextStep
{
public:
    void feed(const QString &piece, QString &out) override
    {
        QString text = std::exchange(m_cr, QString()) + piece;
        if (text.endsWith(u'\r')) {
            text.chop(1);
            m_cr = u"\r"_s;
        }
        out += text.replace(u"\r\n"_s, u"\n"_s);
    }
    void finish(QString &out) override { out += std::exchange(m_cr, QString()); }

private:
    QString m_cr;
};

} // namespace

class TestCliFilter : public QObject
{
    Q_OBJECT

private slots:
    void blocksMatchWhole_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("mask") << QStringList{u"--lettres"_s, u"aenrst"_s};
        QTest::newRow("nothing ticked, log") << QStringList{u"--lettres"_s, u""_s, u"--log"_s};
        QTest::newRow("absent letters")
            << QStringList{u"--lettres"_s, u"aekwz"_s, u"--log"_s, u"--absentes"_s};
        QTest::newRow("highlight and log")
            << QStringList{u"--lettres"_s, u"aeo"_s,       u"--log"_s, u"--entourer"_s,
                           u"a"_s,         u"--couleur"_s, u"vert"_s};
        for (const QString &forum : forum::profileNames())
            QTest::newRow(qPrintable(u"forum "_s + forum)) << QStringList{
                u"--lettres"_s, u"aeo"_s,     u"--log"_s, u"--entourer"_s, u"e"_s, u"--couleur"_s,
                u"bleu"_s,      u"--forum"_s, forum};
        // Without the log, the text's own end: spaces and breaks held back.
        QTest::newRow("forum markdown, no log")
            << QStringList{u"--lettres"_s, u"aeo"_s, u"--forum"_s, u"markdown"_s};
    }

    // Every block size, so every byte of each text ends a block once, and
    // pieces of one to three bytes inside the blocks.
    void blocksMatchWhole()
    {
        QFETCH(QStringList, arguments);
        const Request request = requestOf(arguments);
        for (const QString &text : kTrickyTexts) {
            const QByteArray bytes = text.toUtf8();
            const QByteArray whole = render(request, text);
            for (qsizetype block = 1; block <= bytes.size() + 1; ++block) {
                Filter filter(request, 1 + block % 3);
                const Fed fed = feedInBlocks(filter, bytes, block);
                QVERIFY2(fed.ok, qPrintable(fed.error));
                QVERIFY2(fed.output == whole,
                         qPrintable(u"%1, blocks of %2"_s.arg(text).arg(block)));
            }
        }
    }

    // Random texts made of the same parts, in random blocks; the same text
    // with one bad byte is refused at that byte, wherever the blocks end.
    void randomBlocksMatchWhole()
    {
        static const QString parts[] = {
            u"Été "_s,   u"à Noël, "_s,      u"e\u0301"_s,  u"\u0301"_s,
            u"\r\n"_s,   u"œuvre"_s,         u"漢字漢字"_s, u"😀"_s,
            u"ÆØß×÷"_s,  u"\uFEFF"_s,        u"A\u030A"_s,  u"ÿ"_s,
            u"l’été…"_s, u"€\u20C0\u2010"_s, u"Ǆʼ\u02FF"_s, u"\u2060\u205F"_s};
        const Request request = requestOf({u"--lettres"_s, u"eks"_s, u"--log"_s, u"--absentes"_s});
        QRandomGenerator random(7);
        for (int round = 0; round < 400; ++round) {
            QString text;
            for (int i = random.bounded(0, 40); i > 0; --i)
                text += parts[random.bounded(int(std::size(parts)))];
            const QByteArray bytes = text.toUtf8();
            const qsizetype block = random.bounded(1, 40);
            Filter filter(request, random.bounded(1, 24));
            const Fed fed = feedInBlocks(filter, bytes, block);
            QVERIFY(fed.ok);
            QCOMPARE(fed.output, render(request, text));

            QByteArray broken = bytes;
            broken.insert(random.bounded(bytes.size() + 1), '\xFF');
            const qsizetype bad = firstInvalidUtf8(broken).value_or(-1);
            Filter refusing(request, random.bounded(1, 24));
            const Fed refused = feedInBlocks(refusing, broken, block);
            QVERIFY(!refused.ok);
            QVERIFY2(refused.error.contains(u"à la position %1 "_s.arg(bad)),
                     qPrintable(refused.error));
        }
    }

    // A step that carries state across pieces and a closing line of its own
    // plug in after the highlight and the log.
    void stepsAndClosingsFollowTheLog()
    {
        const QStringList arguments{u"--lettres"_s, u"e"_s,         u"--log"_s, u"--entourer"_s,
                                    u"e"_s,         u"--couleur"_s, u"rouge"_s};
        const Request request = requestOf(arguments);
        const QString text = u"Le\r\nchat\r\r\nété\r"_s;
        const QString expected =
            QString::fromUtf8(render(request, text) + "\r\nFin\r").replace(u"\r\n"_s, u"\n"_s);
        for (qsizetype block = 1; block <= 8; ++block) {
            Filter filter(request, 1);
            filter.addStep(std::make_unique<LineEnds>());
            filter.addClosing([](const Summary &) { return u"\r\nFin\r"_s; }, false);
            const Fed fed = feedInBlocks(filter, text.toUtf8(), block);
            QVERIFY(fed.ok);
            QCOMPARE(QString::fromUtf8(fed.output), expected);
        }
    }

    // Past the longest stretch held back, ideographs are cut between
    // themselves; marks alone cannot be, and are refused with a reason.
    void longStretchesWithoutCommonCuts_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("ideographs, kana and a voicing mark") << u"漢字か\u3099"_s << true;
        QTest::newRow("Hangul syllables") << u"한국"_s << true;
        QTest::newRow("marks only") << u"\u0301\u0300"_s << false;
    }
    void longStretchesWithoutCommonCuts()
    {
        QFETCH(QString, unit);
        QFETCH(bool, accepted);
        const Request request = requestOf({u"--lettres"_s, u"a"_s});
        const QString text = u"e"_s + unit.repeated(int(Filter::kLongestHeld / 4));
        Filter filter(request);
        const Fed fed = feedInBlocks(filter, text.toUtf8(), 65536);
        QCOMPARE(fed.ok, accepted);
        if (accepted)
            QVERIFY(fed.output == render(request, text));
        else
            QVERIFY2(fed.error.contains(u"signes combinants"_s), qPrintable(fed.error));
    }
};

QTEST_APPLESS_MAIN(TestCliFilter)
#include "tst_cli_filter.moc"
