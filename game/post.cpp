// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// What the game adds to a post: the misses and results lines, and the
// reveal.
#include "game/game.h"

#include "engine/nfc.h"

using namespace Qt::StringLiterals;

namespace lexorne::game {

namespace {

// Laid out as the log lays out its lines.
constexpr QStringView kLineStart = u"\r   ";
// The log's three carriage returns before its first line.
constexpr qsizetype kLogSeparatorSize = 3;

QString points(qsizetype n)
{
    return QString::number(n) + (n > 1 ? u" pts"_s : u" pt"_s);
}

bool wantsGameLines(const RenderOptions &options)
{
    return options.log.letterLog && (options.lines.misses || options.lines.results);
}

// The log, then the game's lines, after text.
QString appendLog(QString text, const Game &game, const RenderOptions &options,
                  const LetterTally &letters)
{
    text = AppendLetterLog(std::move(text), game.board, letters, options.log);
    if (!wantsGameLines(options))
        return text;
    return AppendGameLines(std::move(text), game, ScoreGame(game, letters), options.lines,
                           options.escape);
}

} // namespace

QString EscapeNameBBCode(QStringView name)
{
    QString out;
    out.reserve(name.size() + 4);
    for (const QChar c : name) {
        out += c;
        if (c == u'[')
            out += QChar(0x200B);
    }
    return out;
}

QString MissesLine(int misses, int limit)
{
    if (limit > 0)
        return u"Erreurs : %1/%2"_s.arg(misses).arg(limit);
    return u"Erreurs : %1"_s.arg(misses);
}

QString ResultsLine(const QList<PlayerResult> &players, NameEscape escape)
{
    if (players.isEmpty())
        return {};
    QString line = u"Résultats : "_s;
    for (qsizetype i = 0; i < players.size(); ++i) {
        const PlayerResult &player = players[i];
        if (i > 0)
            line += u", "_s;
        line += escape ? escape(player.name) : player.name;
        line += u' ';
        line += points(player.points);
        if (player.misses > 0)
            line += u" (%1 %2)"_s.arg(player.misses)
                        .arg(player.misses > 1 ? u"erreurs"_s : u"erreur"_s);
    }
    return line;
}

QString AppendGameLines(QString text, const Game &game, const Outcome &outcome, GameLines lines,
                        NameEscape escape)
{
    if (lines.misses) {
        text += kLineStart;
        text += MissesLine(outcome.misses, game.missLimit);
    }
    if (lines.results) {
        const QString results = ResultsLine(outcome.players, escape);
        if (!results.isEmpty()) {
            text += kLineStart;
            text += results;
        }
    }
    return text;
}

QString RenderGame(const Game &game, const RenderOptions &options)
{
    if (!wantsGameLines(options))
        return RenderQuotation(game.quotation, game.board, options.log);
    const LetterTally letters = CountLetters(game.quotation);
    return appendLog(RenderQuotation(game.quotation, game.board), game, options, letters);
}

NameEscape NameEscapeFor(forum::Profile profile)
{
    return forum::isMarkdown(profile) ? nullptr : EscapeNameBBCode;
}

QString RevealGame(const Game &game, const RenderOptions &options, const RevealOptions &reveal)
{
    const QString quotation = mayNeedNfc(game.quotation) ? toNfc(game.quotation) : game.quotation;
    const MaskedCodes hidden(game.board);
    const forum::Profile profile = reveal.profile;
    const bool markdown = forum::isMarkdown(profile);

    QString text;
    text.reserve(quotation.size() * 2 + 64);
    if (reveal.spoiler)
        text += profile == forum::Profile::Discord ? u"||"_s
                : markdown                         ? u"<details>\n<summary>Réponse</summary>\n\n"_s
                                                   : u"[spoiler]"_s;

    // Runs of hidden and shown characters, each written as the profile needs.
    forum::PostWriter writer(profile, reveal.mark);
    qsizetype from = 0;
    while (from < quotation.size()) {
        const bool mark = hidden.hides(quotation.at(from).unicode());
        qsizetype to = from + 1;
        while (to < quotation.size() && hidden.hides(quotation.at(to).unicode()) == mark)
            ++to;
        const QStringView run = QStringView(quotation).sliced(from, to - from);
        mark ? writer.writeMarked(run, text) : writer.write(run, text);
        from = to;
    }

    const LetterTally letters =
        options.log.letterLog ? CountLetters(game.quotation) : LetterTally();
    const QString log =
        options.log.letterLog ? appendLog(QString(), game, options, letters) : QString();
    if (!reveal.spoiler) {
        // One post: the log follows the quotation as it follows the masked text.
        writer.write(log, text);
        writer.finish(text);
        return text;
    }
    writer.finish(text);
    text += profile == forum::Profile::Discord ? u"||"_s
            : markdown                         ? u"\n\n</details>"_s
                                               : u"[/spoiler]"_s;
    if (log.isEmpty())
        return text;
    if (profile == forum::Profile::Markdown) {
        // After the block, the log starts a paragraph of its own.
        text += u"\n\n"_s;
        forum::PostWriter after(profile, reveal.mark);
        after.write(QStringView(log).sliced(kLogSeparatorSize), text);
        after.finish(text);
        return text;
    }
    forum::PostWriter after(profile, reveal.mark);
    after.write(log, text);
    after.finish(text);
    return text;
}

} // namespace lexorne::game
