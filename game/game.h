// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The whole game: who proposed which letter, the whole-quotation guesses,
// the misses, the points, the two lines they add below the log, and the
// final reveal. Pure functions of the game (quotation, board, ledger), for
// the window and the command line alike, so that the two cannot disagree.
//
// Letters and guesses are read with the engine's masking rule: what counts
// is exactly what the masking hides (engine/board.h). Posts are written for
// a forum through forum/forum.h.
#pragma once

#include "engine/engine.h"
#include "forum/forum.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace lexorne::game {

// Longest player name, in characters: a name is a label in a line of
// results, not a paragraph.
inline constexpr qsizetype kMaxNameLength = 40;
// Highest "Erreurs max.".
inline constexpr int kMaxMissLimit = 999;

// A name as typed, checked: the name to keep (spaces around it dropped,
// brought to NFC), or the one-line French message saying why it cannot be
// one (empty, too long, a line break or another control character).
struct CheckedName
{
    QString name;
    QString error; // empty when the name is good
};
CheckedName CheckName(QStringView typed);

// One line of the ledger: a letter credited to a player, or a guess of the
// whole quotation.
struct Entry
{
    enum class Kind : std::uint8_t
    {
        Credit,
        Guess,
    };
    Kind kind = Kind::Credit;
    int letter = -1; // Credit: the box, 0 = A .. 25 = Z
    QString player;  // never empty for a credit; empty for an unsigned guess
    QString text;    // Guess: as typed (a lone surrogate becomes U+FFFD)

    static Entry credit(int letter, QString player);
    static Entry guess(QString player, QString text);
    friend bool operator==(const Entry &, const Entry &) = default;
};
using Ledger = QList<Entry>;

struct Game
{
    QString quotation;
    Board board;
    Ledger ledger;     // in the order things happened
    int missLimit = 0; // "Erreurs max.": 0 for none
};

// What one ledger entry did.
struct EntryOutcome
{
    // A credit counts while its letter is ticked, and only the first credit
    // of a letter does; a guess always counts.
    bool counts = false;
    bool miss = false;  // a credited letter the quotation lacks, a wrong guess
    bool right = false; // a guess that matches the quotation
    qsizetype points = 0;
};

struct PlayerResult
{
    QString name;
    qsizetype points = 0;
    int misses = 0;
};

struct Outcome
{
    QList<EntryOutcome> entries; // one per ledger entry, in ledger order
    // The players with an entry that counts: by points, then fewer misses,
    // then whoever came first.
    QList<PlayerResult> players;
    // The game's misses: the wrong guesses and every ticked letter the
    // quotation lacks, credited or not.
    int misses = 0;
    bool won = false; // some guess was right
};

// Scores the game. A credited letter earns its occurrences in the quotation
// (engine/lettercount.h: Æ æ Œ œ count for both their letters); a right guess
// earns the characters still hidden at that moment (ticks without a credit
// count as made before the ledger began), nothing once the game is won.
Outcome ScoreGame(const Game &game);
// The same, with the quotation's letters already counted.
Outcome ScoreGame(const Game &game, const LetterTally &letters);

// Whether a guess is the quotation letter for letter, as the masking sees
// letters: case, accents and whatever the masking never hides (spaces,
// punctuation, digits) do not matter; œ is oe, æ is ae, ß is ss.
bool GuessMatches(const QString &quotation, const QString &guess);

// The quotation folded once, for checking many guesses against it.
class GuessChecker
{
public:
    explicit GuessChecker(const QString &quotation);
    bool matches(const QString &guess) const;

private:
    QString m_letters;
};

// Writes a player's name into a post so that no forum reads it as markup.
using NameEscape = QString (*)(QStringView name);
// For BBCode: a zero-width space after every "[", so that no name opens or
// closes a tag; the name reads the same.
QString EscapeNameBBCode(QStringView name);

// The lines a game adds after the log (each only when the log is on).
struct GameLines
{
    bool misses = false;  // "Erreurs : 3" or, with a limit, "Erreurs : 3/10"
    bool results = false; // "Résultats : Alice 12 pts, Bob 1 pt (2 erreurs)"
};

// "Erreurs : 3", "Erreurs : 3/10" with a limit.
QString MissesLine(int misses, int limit);
// "Résultats : Alice 12 pts, Bob 1 pt (2 erreurs), Chloé 0 pt"; empty when
// there is no player.
QString ResultsLine(const QList<PlayerResult> &players, NameEscape escape = EscapeNameBBCode);

// text followed by the lines asked for, each as the log lays out its lines:
// a carriage return, three spaces, the line.
QString AppendGameLines(QString text, const Game &game, const Outcome &outcome, GameLines lines,
                        NameEscape escape = EscapeNameBBCode);

struct RenderOptions
{
    LogOptions log;
    GameLines lines; // only with log.letterLog
    NameEscape escape = EscapeNameBBCode;
};

// What "On y va !" posts for the game: the masked quotation, the log, then
// the game's lines. With no game line asked for, exactly RenderQuotation.
QString RenderGame(const Game &game, const RenderOptions &options);

// How the reveal is written: for which forum, the hidden letters marked as
// "Go !" marks a letter there (its colour on BBCode forums, bold on
// Markdown ones), the quotation behind a spoiler when asked.
struct RevealOptions
{
    forum::Profile profile = forum::Profile::BBCode;
    forum::Mark mark;
    // BBCode "[spoiler]…[/spoiler]", Discord "||…||", and on other Markdown
    // forums a "<details>" block (Discourse, GitHub, GitLab).
    bool spoiler = false;
};

// The reveal, written for the forum: the whole quotation (in NFC, as the
// masking sees it) with every letter the board still hides marked, then the
// log and the game's lines as the render options ask.
QString RevealGame(const Game &game, const RenderOptions &options, const RevealOptions &reveal);

// How a profile needs names written in the lines: BBCode forums get
// EscapeNameBBCode, Markdown forums none, as their post escapes all text.
NameEscape NameEscapeFor(forum::Profile profile);

// The ledger as stored: JSON text, with the miss limit. Reading gives
// nothing for text that is not a ledger this program wrote (or could have):
// the caller keeps that text aside rather than lose it.
struct StoredLedger
{
    Ledger ledger;
    int missLimit = 0;
    bool revealed = false;
    friend bool operator==(const StoredLedger &, const StoredLedger &) = default;
};
QString WriteLedger(const StoredLedger &stored);
std::optional<StoredLedger> ReadLedger(QStringView text);

} // namespace lexorne::game
