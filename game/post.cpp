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

RevealOptions BBCodeReveal(const QString &openTag, const QString &closeTag, bool spoiler)
{
    RevealOptions reveal{openTag, closeTag, {}, {}};
    if (spoiler) {
        reveal.spoilerOpen = u"[spoiler]"_s;
        reveal.spoilerClose = u"[/spoiler]"_s;
    }
    return reveal;
}

QString RevealGame(const Game &game, const RenderOptions &options, const RevealOptions &reveal)
{
    const QString quotation = mayNeedNfc(game.quotation) ? toNfc(game.quotation) : game.quotation;
    const MaskedCodes hidden(game.board);
    QString text = reveal.spoilerOpen;
    text.reserve(quotation.size() + reveal.spoilerOpen.size() + reveal.spoilerClose.size());
    bool inRun = false;
    for (const QChar c : quotation) {
        const bool mark = hidden.hides(c.unicode());
        if (mark != inRun)
            text += mark ? reveal.markOpen : reveal.markClose;
        inRun = mark;
        text += c;
    }
    if (inRun)
        text += reveal.markClose;
    text += reveal.spoilerClose;
    if (!options.log.letterLog)
        return text;
    return appendLog(std::move(text), game, options, CountLetters(game.quotation));
}

} // namespace lexorne::game
