// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// What real forum renderers make of our posts. Each post, for hand-picked
// quotations and thousands of generated ones, goes through Debian's cmark and
// cmark-gfm, markdown-it (as Discourse sets it up), Qt's Markdown reader and
// Parse::BBCode, and the text they show must be exactly the rendered text,
// line for line, with exactly the marked letters in bold or in colour.
// Discord has no renderer to run: its documented rules are read by a strict
// reader below instead.
#include "engine/engine.h"
#include "engine/nfc.h"
#include "forum/forum.h"
#include "forum/preview.h"
#include "game/game.h"
#include "highlight/highlight.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

using namespace lexorne;
using namespace lexorne::forum;
using namespace Qt::StringLiterals;

namespace {

// Where a marked run starts and ends in a read-back text.
constexpr QChar kOpen(0xE000);
constexpr QChar kClose(0xE001);

struct Case
{
    QString rendered; // the masked quotation and its log
    int letter;       // the "Go !" letter, or -1
    int colour;
};

// The Windows-1252 characters from 0x80 to 0x9F (five of them unassigned).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Every character of Windows-1252 but NUL (which CommonMark replaces), the
// line breaks apart.
QString windows1252()
{
    QString all;
    for (int code = 1; code < 256; ++code) {
        const char16_t c = code >= 0x80 && code < 0xA0 ? kCp1252High[code - 0x80] : char16_t(code);
        if (c != 0 && c != u'\r' && c != u'\n')
            all += QChar(c);
    }
    return all;
}

QStringList handPicked()
{
    QStringList quotations = {
        u"Bonjour à tous\nOui, non\n— Anonyme"_s,
        u"*** Bonjour ***"_s,
        u"*\n**\n***\n****\n* * *\n- - -\n_ _ _"_s,
        u"* Oui\n- Oui\n+ Oui\n1. Non\n1) Non\n# titre\n## titre\n> cité\n>> cité"_s,
        u"    quatre espaces\n\tune tabulation\n  \t  mélange\n        huit"_s,
        u"Titre\n===\nSous-titre\n---\n= égal"_s,
        u"a\\b\\\\c\\\nfin\\"_s,
        u"&amp; &copy; &#42; &#x2A; &nbsp;& &;"_s,
        u"<b>gras</b> <i>x</i> <div>bloc</div>\n<div>\nbloc\n</div>\n<!-- commentaire -->"_s,
        u"http://exemple.fr/a_b*c www.exemple.fr <http://exemple.fr> moi@exemple.fr"_s,
        u"[lien](http://x.fr) ![image](x.png) [ref]\n[ref]: http://x.fr"_s,
        u"`code` ``deux`` ```\ntrois\n```\n~~~\ntildes\n~~~"_s,
        u"~~barré~~ ~simple~ __souligné__ _italique_ **gras**"_s,
        u"| a | b |\n|---|---|\n| c | d |"_s,
        u"- [ ] tâche\n- [x] faite\n[^1]\n[^1]: note"_s,
        u"@everyone @here <@123> <#456> :smile: ||caché||"_s,
        u"Fin de ligne  \nsuivante\n\n\nAprès trois\r\nWindows\r\rMac\r"_s,
        u"\n\nDébut vide"_s,
        u"2024. Année\n123456789. Long\n1234567890. Trop long"_s,
        u"   E - N\n   Absentes : K - W (2)"_s,
        windows1252(),
    };
    // Each character alone at a line start, and before and after letters.
    QString starts;
    for (const QChar c : windows1252())
        starts += c + u" x"_s + c + u"y\n"_s;
    quotations.append(starts);
    return quotations;
}

// A random quotation leaning on what Markdown reads as markup.
QString generated(QRandomGenerator &random)
{
    static const QString alphabet =
        u"abcdeEéÉèçÇœŒæÆilnoOstuU  \t\r\n*_-+#>=~|`[]()<>!&;:.1234567890\\"
        u"'\"@/«» \u00A0…"_s;
    static const QStringList pieces = {
        u"    "_s,     u"\r\n"_s,  u"1. "_s,      u"- "_s,
        u"***"_s,      u"&amp;"_s, u"<b>"_s,      u"http://x.fr/a_b"_s,
        u"www.x.fr"_s, u"\n\n"_s,  u"   E - N"_s, u"```"_s};
    QString text;
    const int length = random.bounded(0, 60);
    for (int i = 0; i < length; ++i) {
        if (random.bounded(8) == 0)
            text += pieces[random.bounded(pieces.size())];
        else
            text += alphabet[random.bounded(alphabet.size())];
    }
    return text;
}

Case masked(const QString &quotation, QRandomGenerator &random, bool allShown = false)
{
    Board board;
    for (int i = 0; i < kLetterCount; ++i)
        if (allShown || random.bounded(2) == 0)
            board.states[i] = LetterState::Ticked;
    const LogOptions log{.letterLog = random.bounded(2) == 0,
                         .absentLetters = random.bounded(2) == 0};
    return {RenderQuotation(quotation, board, log), random.bounded(-1, kLetterCount),
            random.bounded(highlight::kColourCount)};
}

QList<Case> cases(bool bbcode)
{
    // A fixed start value: a failure names a case that the next run repeats.
    QRandomGenerator random(20261208);
    QList<Case> all;
    const auto usable = [bbcode](const QString &text) {
        // BBCode has no escape: a bracket in the quotation is the forum's to read.
        return !bbcode || (!text.contains(u'[') && !text.contains(u']'));
    };
    for (const QString &quotation : handPicked()) {
        QString text = quotation;
        if (bbcode)
            text.remove(u'[').remove(u']');
        for (bool allShown : {true, false}) {
            Case c = masked(text, random, allShown);
            for (int letter : {-1, 4, 0, 14})
                all.append({c.rendered, letter, c.colour});
        }
    }
    while (all.size() < 4000) {
        const QString text = generated(random);
        if (usable(text))
            all.append(masked(text, random, random.bounded(3) == 0));
    }
    return all;
}

bool isEdgeSpace(QChar c)
{
    return (c.isSpace() && c != u'\n') || c.unicode() == 0xFEFF;
}

// The rendered text as a forum should show it: line breaks as "\n", the
// marked runs between kOpen and kClose (each character apart in BBCode). On
// Markdown forums the breaks that end the text show nothing, and the spaces
// that open or end a line show as no-break spaces.
QString expected(const Case &c, bool bbcode, bool markdown, const QList<bool> *marks = nullptr)
{
    QString text = c.rendered;
    text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n');
    if (markdown) {
        while (text.endsWith(u'\n'))
            text.chop(1);
        qsizetype lineStart = 0;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            if (i < text.size() && text[i] != u'\n')
                continue;
            qsizetype from = lineStart;
            while (from < i && isEdgeSpace(text[from]))
                text[from++] = QChar(0xA0);
            for (qsizetype to = i; to > from && isEdgeSpace(text[to - 1]); --to)
                text[to - 1] = QChar(0xA0);
            lineStart = i + 1;
        }
    }
    if (c.letter < 0 && !marks)
        return text;
    const QChar letter(u'A' + c.letter);
    QString out;
    bool open = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        const bool marked = marks ? marks->value(i) : highlight::inHighlightSet(letter, ch);
        if (open && (!marked || bbcode)) {
            out += kClose;
            open = false;
        }
        if (marked && !open) {
            out += kOpen;
            open = true;
        }
        out += ch;
    }
    if (open)
        out += kClose;
    return out;
}

QString decodeEntity(QStringView entity)
{
    if (entity == u"amp")
        return u"&"_s;
    if (entity == u"lt")
        return u"<"_s;
    if (entity == u"gt")
        return u">"_s;
    if (entity == u"quot")
        return u"\""_s;
    bool ok = false;
    uint code = 0;
    if (entity.startsWith(u"#x") || entity.startsWith(u"#X"))
        code = entity.mid(2).toUInt(&ok, 16);
    else if (entity.startsWith(u'#'))
        code = entity.mid(1).toUInt(&ok, 10);
    if (!ok)
        return {};
    const char32_t c = code;
    return QString::fromUcs4(&c, 1);
}

// The text an HTML renderer's output shows, or an error naming what does not
// belong in a post of plain text. `tags` are the allowed ones and what they
// read as; any other tag is an error.
struct ReadBack
{
    QString text;
    QString error;
};

ReadBack readHtml(QString html, const QList<std::pair<QString, QString>> &tags,
                  const QString &wrapper)
{
    ReadBack read;
    while (html.endsWith(u'\n'))
        html.chop(1);
    if (!wrapper.isEmpty() && !html.isEmpty()) {
        if (!html.startsWith(u'<' + wrapper + u'>') || !html.endsWith(u"</"_s + wrapper + u'>')) {
            read.error = u"not one paragraph: "_s + html;
            return read;
        }
        html = html.mid(wrapper.size() + 2, html.size() - 2 * wrapper.size() - 5);
    }
    for (qsizetype i = 0; i < html.size();) {
        if (html[i] == u'<') {
            bool known = false;
            for (const auto &[tag, meaning] : tags) {
                if (html.mid(i).startsWith(tag)) {
                    read.text += meaning;
                    i += tag.size();
                    known = true;
                    break;
                }
            }
            // A link made of a bare address keeps the address as its text.
            if (!known &&
                (html.mid(i).startsWith(u"<a href=\""_s) || html.mid(i).startsWith(u"</a>"_s))) {
                i = html.indexOf(u'>', i) + 1;
                known = true;
            }
            if (!known) {
                read.error = u"markup: "_s + html.mid(i, 40);
                return read;
            }
        } else if (html[i] == u'&') {
            const qsizetype end = html.indexOf(u';', i);
            const QString decoded =
                end < 0 ? QString() : decodeEntity(html.mid(i + 1, end - i - 1));
            if (decoded.isEmpty()) {
                read.error = u"bad entity: "_s + html.mid(i, 12);
                return read;
            }
            read.text += decoded;
            i = end + 1;
        } else {
            read.text += html[i++];
        }
    }
    return read;
}

QString visible(QString text)
{
    return text.replace(kOpen, u"⟦"_s).replace(kClose, u"⟧"_s).replace(u'\n', u"⏎"_s);
}

// Where two texts part, with a little of each from there.
QString difference(const QString &read, const QString &want)
{
    qsizetype at = 0;
    while (at < read.size() && at < want.size() && read[at] == want[at])
        ++at;
    return u"\nfrom %1: read «%2» want «%3» (U+%4 / U+%5)"_s.arg(at).arg(
        visible(read.mid(at, 20)), visible(want.mid(at, 20)),
        QString::number(at < read.size() ? read[at].unicode() : 0, 16),
        QString::number(at < want.size() ? want[at].unicode() : 0, 16));
}

// Parse::BBCode drops the line breaks that open or end a post, as forums
// drop the blank lines there.
QString withoutEdgeBreaks(QString text)
{
    while (text.startsWith(u'\n'))
        text.remove(0, 1);
    while (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

// What a case that a renderer read back wrong says of itself.
QString misread(qsizetype i, const QString &post, const QString &html, const QString &read,
                const QString &want, const QString &error)
{
    return u"case %1\npost: %2\nhtml: %3\nread: %4\nwant: %5 %6"_s.arg(i).arg(
               post, html, visible(read), visible(want), error) +
           difference(read, want);
}

// Runs a renderer on every document at once.
struct Renderer
{
    QString program;
    QStringList arguments;
    // Documents joined by NUL (markdown-it, Parse::BBCode), or by numbered
    // paragraphs that the output splits on (cmark, cmark-gfm).
    bool nulSeparated;
};

QString separator(qsizetype i)
{
    return u"LEXORNESEPARATOR%1"_s.arg(i);
}

std::optional<QStringList> renderAll(const Renderer &renderer, const QStringList &documents,
                                     QString &error)
{
    QByteArray input;
    for (qsizetype i = 0; i < documents.size(); ++i) {
        if (renderer.nulSeparated) {
            if (i > 0)
                input += '\0';
            input += documents[i].toUtf8();
        } else {
            input += documents[i].toUtf8() + "\n\n\n" + separator(i).toUtf8() + "\n\n\n";
        }
    }
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Debian keeps its Node.js modules here.
    environment.insert(u"NODE_PATH"_s, u"/usr/share/nodejs"_s);
    process.setProcessEnvironment(environment);
    process.start(renderer.program, renderer.arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(300000) || process.exitCode() != 0) {
        error =
            renderer.program + u" failed: "_s + QString::fromUtf8(process.readAllStandardError());
        return std::nullopt;
    }
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    QStringList results;
    if (renderer.nulSeparated) {
        results = output.split(QChar(0));
    } else {
        qsizetype from = 0;
        for (qsizetype i = 0; i < documents.size(); ++i) {
            const QString mark = u"<p>"_s + separator(i) + u"</p>\n"_s;
            const qsizetype at = output.indexOf(mark, from);
            if (at < 0) {
                error = u"document %1 swallowed what follows it: %2"_s.arg(i).arg(documents[i]);
                return std::nullopt;
            }
            results.append(output.mid(from, at - from));
            from = at + mark.size();
        }
    }
    if (results.size() != documents.size()) {
        error = u"%1 results for %2 documents"_s.arg(results.size()).arg(documents.size());
        return std::nullopt;
    }
    return results;
}

// What Qt's Markdown reader shows: hard breaks as line separators or (Qt
// 6.4) as new blocks, which look like paragraphs there; the paragraphs
// themselves are proven by the other renderers. Bold as a heavier weight.
QString readQt(const QString &post)
{
    QTextDocument document;
    document.setMarkdown(post);
    QString text;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        if (block != document.firstBlock())
            text += u'\n';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const bool bold = fragment.charFormat().fontWeight() > QFont::Normal;
            if (bold)
                text += kOpen;
            text += fragment.text();
            if (bold)
                text += kClose;
        }
    }
    return text.replace(QChar::LineSeparator, u'\n').replace(QString(kClose) + kOpen, QString());
}

// What Qt shows of a piece of HTML: its text, each marked run (bold, or in
// a colour) between kOpen and kClose with the colour after kOpen.
QString readRichText(const QString &html)
{
    QTextDocument document;
    document.setHtml(html);
    QString text;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        if (block != document.firstBlock())
            text += u'\n';
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const bool coloured = format.foreground().style() != Qt::NoBrush;
            const bool bold = format.fontWeight() > QFont::Normal;
            if (coloured || bold)
                text += kOpen + (coloured ? format.foreground().color().name() : u"bold"_s);
            text += it.fragment().text();
            if (coloured || bold)
                text += kClose;
        }
    }
    return text.replace(QChar::LineSeparator, u'\n');
}

// Discord's documented Markdown: "\" before any character that is not a
// letter, digit or space shows that character; "**" opens and closes bold;
// "*", "_", "~~", "||", "`", "<", ">", "[", "@", ":" are markup anywhere,
// "#", "-", "+", ">" and "1." at the start of a line (after spaces). Every
// line break shows. The reader refuses any markup it is not given escaped.
QString readDiscord(const QString &post, QString &error)
{
    static const QString anywhere = u"*_~|`<>[]@:\\"_s;
    static const QString lineStart = u"#-+>"_s;
    QString text;
    bool lineBegins = true;
    int digits = 0;
    for (qsizetype i = 0; i < post.size(); ++i) {
        const QChar c = post[i];
        if (c == u'\n' || c == u'\r') {
            text += c == u'\r' && i + 1 < post.size() && post[i + 1] == u'\n' ? QString() : u"\n"_s;
            lineBegins = true;
            digits = 0;
            continue;
        }
        if (c == u' ' || c == u'\t') {
            text += c;
            continue;
        }
        if (c == u'\\' && i + 1 < post.size() && !post[i + 1].isLetterOrNumber() &&
            !post[i + 1].isSpace()) {
            text += post[++i];
        } else if (post.mid(i, 2) == u"**"_s) {
            text += text.count(kOpen) > text.count(kClose) ? kClose : kOpen;
            ++i;
            continue;
        } else if (anywhere.contains(c) || (lineBegins && lineStart.contains(c)) ||
                   (digits > 0 && (c == u'.' || c == u')'))) {
            error = u"unescaped %1 at %2"_s.arg(c).arg(i);
            return {};
        } else {
            text += c;
        }
        digits = c.isDigit() && (lineBegins || digits > 0) ? digits + 1 : 0;
        lineBegins = false;
    }
    return text;
}

// What Parse::BBCode makes of a colour: #rrggbb and HTML 4's sixteen names
// pass, anything else (darkred, orange, brown, cyan, darkblue, indigo,
// violet: half our palette) becomes "inherit", as on strict forums.
QString accepted(const QString &colour)
{
    static const QStringList html4 = {u"aqua"_s,  u"black"_s,  u"blue"_s, u"fuchsia"_s, u"gray"_s,
                                      u"grey"_s,  u"green"_s,  u"lime"_s, u"maroon"_s,  u"navy"_s,
                                      u"olive"_s, u"purple"_s, u"red"_s,  u"silver"_s,  u"teal"_s,
                                      u"white"_s, u"yellow"_s};
    return colour.startsWith(u'#') || html4.contains(colour) ? colour : u"inherit"_s;
}

// A whole game's reveal: the quotation with its hidden letters marked, its
// log and the game's lines, with players whose names look like markup.
struct RevealCase
{
    game::Game game;
    game::RenderOptions options;
    QString text;      // what the forum must show: the NFC quotation, then the log
    QList<bool> marks; // which characters of text are marked
};

// With `reddit`, the quotations have no break at either end and no log:
// those spoilers hold lines of text only.
QList<RevealCase> revealCases(bool bbcode, bool reddit = false)
{
    QRandomGenerator random(20261209);
    const QStringList names{u"[/color]"_s, u"*x*"_s,           u"||"_s,         u"<b>"_s,
                            u"Zoé"_s,      u"_a_ `b` ~~c~~"_s, u"[b]Bob[/b]"_s, u"&amp;"_s};
    QList<RevealCase> all;
    QStringList quotations = handPicked();
    while (quotations.size() < 400)
        quotations.append(generated(random));
    for (QString quotation : std::as_const(quotations)) {
        if (bbcode)
            quotation.remove(u'[').remove(u']');
        while (reddit && (quotation.startsWith(u'\n') || quotation.startsWith(u'\r')))
            quotation.remove(0, 1);
        while (reddit && (quotation.endsWith(u'\n') || quotation.endsWith(u'\r')))
            quotation.chop(1);
        RevealCase c;
        c.game.quotation = quotation;
        for (int k = 0; k < kLetterCount; ++k) {
            if (random.bounded(2) != 0)
                continue;
            c.game.board.states[k] = LetterState::Ticked;
            if (random.bounded(2) == 0)
                c.game.ledger.append(game::Entry::credit(k, names[random.bounded(names.size())]));
        }
        c.game.ledger.append(game::Entry::guess(names[random.bounded(names.size())], quotation));
        c.options.log = {.letterLog = !reddit && random.bounded(2) == 0,
                         .absentLetters = random.bounded(2) == 0};
        c.options.lines = {true, true};
        c.options.escape = bbcode ? game::EscapeNameBBCode : nullptr;

        const QString nfc = toNfc(quotation);
        const MaskedCodes hidden(c.game.board);
        c.text = nfc;
        for (const QChar ch : nfc)
            c.marks.append(hidden.hides(ch.unicode()));
        if (c.options.log.letterLog) {
            c.text += game::AppendGameLines(
                AppendLetterLog(QString(), c.game.board, CountLetters(quotation), c.options.log),
                c.game, game::ScoreGame(c.game), c.options.lines, c.options.escape);
        }
        // Marks as expected() counts places: a CR LF pair is one break.
        QList<bool> joined;
        for (qsizetype i = 0; i < c.text.size(); ++i)
            if (!(c.text[i] == u'\r' && i + 1 < c.text.size() && c.text[i + 1] == u'\n'))
                joined.append(c.marks.value(i));
        c.marks = joined;
        all.append(c);
    }
    return all;
}

} // namespace

class TestRenderers : public QObject
{
    Q_OBJECT
private slots:
    void markdown_data();
    void markdown();
    void qtMarkdown();
    void discord();
    void bbcode_data();
    void bbcode();
    void reveal_data();
    void reveal();
};

void TestRenderers::markdown_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("nulSeparated");

    const QString here = QFINDTESTDATA("markdown-it.js");
    QTest::newRow("cmark") << u"cmark"_s << QStringList() << false;
    QTest::newRow("cmark-gfm, GitHub's extensions")
        << u"cmark-gfm"_s << QStringList{u"-e"_s, u"table"_s,    u"-e"_s, u"strikethrough"_s,
                                         u"-e"_s, u"autolink"_s, u"-e"_s, u"tagfilter"_s,
                                         u"-e"_s, u"tasklist"_s, u"-e"_s, u"footnotes"_s}
        << false;
    QTest::newRow("markdown-it, as Discourse") << u"node"_s << QStringList{here} << true;
}

void TestRenderers::markdown()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(bool, nulSeparated);
    if (QStandardPaths::findExecutable(program).isEmpty())
        QSKIP(qPrintable(program + u" is not installed (scripts/lib.sh installs it)"_s));

    const QList<Case> all = cases(false);
    QStringList posts;
    for (const Case &c : all)
        posts.append(Post(Profile::Markdown, c.rendered, c.letter));
    QString error;
    const std::optional<QStringList> html =
        renderAll({program, arguments, nulSeparated}, posts, error);
    QVERIFY2(html, qPrintable(error));
    const QList<std::pair<QString, QString>> tags = {{u"<br />\n"_s, u"\n"_s},
                                                     {u"<br>\n"_s, u"\n"_s},
                                                     {u"<strong>"_s, QString(kOpen)},
                                                     {u"</strong>"_s, QString(kClose)}};
    for (qsizetype i = 0; i < all.size(); ++i) {
        const ReadBack read = readHtml((*html)[i], tags, u"p"_s);
        const QString want = expected(all[i], false, true);
        if (!read.error.isEmpty() || read.text != want)
            QFAIL(qPrintable(misread(i, posts[i], (*html)[i], read.text, want, read.error)));
    }
}

void TestRenderers::qtMarkdown()
{
    const QList<Case> all = cases(false);
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QString post = Post(Profile::Markdown, all[i].rendered, all[i].letter);
        const QString read = readQt(post);
        const QString want = expected(all[i], false, true);
        if (read != want)
            QFAIL(qPrintable(u"case %1\npost: %2\nread: %3\nwant: %4"_s.arg(i).arg(
                                 post, visible(read), visible(want)) +
                             difference(read, want)));
    }
}

void TestRenderers::discord()
{
    const QList<Case> all = cases(false);
    for (qsizetype i = 0; i < all.size(); ++i) {
        const QString post = Post(Profile::Discord, all[i].rendered, all[i].letter);
        QString error;
        const QString read = readDiscord(post, error);
        const QString want = expected(all[i], false, false);
        if (!error.isEmpty() || read != want)
            QFAIL(qPrintable(u"case %1\npost: %2\nread: %3\nwant: %4 %5"_s.arg(i).arg(
                                 post, visible(read), visible(want), error) +
                             difference(read, want)));
        // The window's preview shows it the same, bold and all.
        const QString shown = readRichText(PreviewHtml(Profile::Discord, post))
                                  .replace(QString(kOpen) + u"bold"_s, QString(kOpen));
        if (shown != want)
            QFAIL(qPrintable(u"preview of case %1\npost: %2"_s.arg(i).arg(post) +
                             difference(shown, want)));
    }
}

void TestRenderers::bbcode_data()
{
    QTest::addColumn<int>("profile");
    QTest::newRow("bbcode") << int(Profile::BBCode);
    QTest::newRow("bbcode-hex") << int(Profile::BBCodeHex);
}

void TestRenderers::bbcode()
{
    QFETCH(int, profile);
    QProcess probe;
    probe.start(u"perl"_s, {u"-MParse::BBCode"_s, u"-e1"_s});
    if (!probe.waitForFinished() || probe.exitCode() != 0)
        QSKIP("Parse::BBCode is not installed (libparse-bbcode-perl; scripts/lib.sh installs it)");

    const QList<Case> all = cases(true);
    QStringList posts;
    for (const Case &c : all)
        posts.append(Post(Profile(profile), c.rendered, c.letter, Mark{c.colour}));
    QString error;
    const std::optional<QStringList> html =
        renderAll({u"perl"_s, {QFINDTESTDATA("bbcode.pl")}, true}, posts, error);
    QVERIFY2(html, qPrintable(error));
    for (qsizetype i = 0; i < all.size(); ++i) {
        // Parse::BBCode turns a colour it does not accept into "inherit": the
        // span must carry the colour as written.
        const QString span = u"<span style=\"color: %1\">"_s.arg(
            accepted(colourValue(Profile(profile), all[i].colour)));
        const QList<std::pair<QString, QString>> tags = {{u"<br>\n"_s, u"\n"_s},
                                                         {u"<br>"_s, u"\n"_s},
                                                         {span, QString(kOpen)},
                                                         {u"</span>"_s, QString(kClose)}};
        ReadBack read = readHtml((*html)[i], tags, QString());
        QString want = expected(all[i], true, false);
        read.text = withoutEdgeBreaks(read.text);
        want = withoutEdgeBreaks(want);
        if (!read.error.isEmpty() || read.text != want)
            QFAIL(qPrintable(misread(i, posts[i], (*html)[i], read.text, want, read.error)));
        // The window's preview shows what Parse::BBCode's HTML shows, where
        // Parse::BBCode accepts the colour.
        if (!(*html)[i].contains(u"inherit"_s)) {
            const QString forum = withoutEdgeBreaks(readRichText((*html)[i]));
            const QString shown =
                withoutEdgeBreaks(readRichText(PreviewHtml(Profile(profile), posts[i])));
            if (shown != forum)
                QFAIL(qPrintable(u"preview of case %1\npost: %2"_s.arg(i).arg(posts[i]) +
                                 difference(shown, forum)));
        }
    }
}

void TestRenderers::reveal_data()
{
    QTest::addColumn<int>("profile");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("reddit");
    const QStringList markdownIt{QFINDTESTDATA("markdown-it.js")};
    QTest::newRow("markdown, cmark")
        << int(Profile::Markdown) << u"cmark"_s << QStringList() << false;
    QTest::newRow("markdown, markdown-it")
        << int(Profile::Markdown) << u"node"_s << markdownIt << false;
    // CommonMark reads ">!" as a quote, then the text: the text between the
    // markers must come through whole.
    QTest::newRow("Reddit spoiler, cmark")
        << int(Profile::Markdown) << u"cmark"_s << QStringList() << true;
    QTest::newRow("Reddit spoiler, markdown-it")
        << int(Profile::Markdown) << u"node"_s << markdownIt << true;
    QTest::newRow("bbcode, Parse::BBCode")
        << int(Profile::BBCode) << u"perl"_s << QStringList{QFINDTESTDATA("bbcode.pl")} << false;
}

// The reveal reads back as the whole quotation and its log, exactly the
// letters still hidden marked, whatever the players are called.
void TestRenderers::reveal()
{
    QFETCH(int, profile);
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(bool, reddit);
    if (QStandardPaths::findExecutable(program).isEmpty())
        QSKIP(qPrintable(program + u" is not installed (scripts/lib.sh installs it)"_s));
    const bool bbcode = Profile(profile) == Profile::BBCode;
    if (bbcode) {
        QProcess probe;
        probe.start(u"perl"_s, {u"-MParse::BBCode"_s, u"-e1"_s});
        if (!probe.waitForFinished() || probe.exitCode() != 0)
            QSKIP("Parse::BBCode is not installed (libparse-bbcode-perl)");
    }
    const int colour = 5;
    const QList<RevealCase> all = revealCases(bbcode, reddit);
    QStringList posts;
    for (const RevealCase &c : all)
        posts.append(
            game::RevealGame(c.game, c.options, {Profile(profile), Mark{colour}, reddit, reddit}));
    QString error;
    std::optional<QStringList> html =
        renderAll({program, arguments, program != u"cmark"_s}, posts, error);
    QVERIFY2(html, qPrintable(error));
    if (reddit) {
        // One quote of one paragraph, each line between "!" and "!<".
        for (QString &page : *html) {
            if (page.isEmpty())
                continue;
            if (!page.startsWith(u"<blockquote>\n<p>!"_s) ||
                !page.endsWith(u"!&lt;</p>\n</blockquote>\n"_s))
                QFAIL(qPrintable(u"not a spoiler: "_s + page));
            const qsizetype open = qsizetype(std::size(u"<blockquote>\n")) - 1;
            const qsizetype close = qsizetype(std::size(u"\n</blockquote>\n")) - 1;
            page = page.sliced(open, page.size() - open - close);
            page.replace(u"<p>!"_s, u"<p>"_s)
                .replace(u"\n!"_s, u"\n"_s)
                .replace(u"!&lt;<br />"_s, u"<br />"_s)
                .replace(u"!&lt;<br>"_s, u"<br>"_s)
                .replace(u"!&lt;</p>"_s, u"</p>"_s);
        }
    }
    const QList<std::pair<QString, QString>> tags =
        bbcode ? QList<std::pair<QString, QString>>{{u"<br>\n"_s, u"\n"_s},
                                                    {u"<br>"_s, u"\n"_s},
                                                    {u"<span style=\"color: green\">"_s,
                                                     QString(kOpen)},
                                                    {u"</span>"_s, QString(kClose)}}
               : QList<std::pair<QString, QString>>{{u"<br />\n"_s, u"\n"_s},
                                                    {u"<br>\n"_s, u"\n"_s},
                                                    {u"<strong>"_s, QString(kOpen)},
                                                    {u"</strong>"_s, QString(kClose)}};
    for (qsizetype i = 0; i < all.size(); ++i) {
        ReadBack read = readHtml((*html)[i], tags, bbcode ? QString() : u"p"_s);
        QString want = expected({all[i].text, -1, colour}, bbcode, !bbcode, &all[i].marks);
        // The zero-width space that keeps a name's "[" from opening a tag.
        read.text.remove(QChar(0x200B));
        want.remove(QChar(0x200B));
        if (bbcode) {
            read.text = withoutEdgeBreaks(read.text);
            want = withoutEdgeBreaks(want);
        }
        if (!read.error.isEmpty() || read.text != want)
            QFAIL(qPrintable(misread(i, posts[i], (*html)[i], read.text, want, read.error)));
    }
}

QTEST_MAIN(TestRenderers)
#include "tst_renderers.moc"
