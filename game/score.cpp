// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Guesses, misses and points.
#include "game/game.h"

#include "engine/latin1set.h"
#include "engine/nfc.h"

#include <QHash>

#include <algorithm>
#include <array>

namespace lexorne::game {

namespace {

// What each code unit below U+0200 reads as in a guess: the letters of its
// boxes ("É" is "E", "Œ" "OE", "ß" "SS"), Þ itself (a letter without a
// box), nothing for whatever the masking never hides. Units from U+0200 up
// are never letters.
struct FoldTable
{
    std::array<std::array<char16_t, 2>, detail::Latin1Set::kUnits> letters{};
};

constexpr FoldTable kFold = [] {
    FoldTable t;
    for (int unit = 0; unit < detail::Latin1Set::kUnits; ++unit) {
        const auto c = char16_t(unit);
        if (!detail::isLetter(c))
            continue;
        const detail::LetterBoxes boxes = detail::letterBoxes(c);
        if (c == u'ß')
            t.letters[unit] = {u'S', u'S'};
        else if (boxes.first < 0)
            t.letters[unit] = {u'Þ', 0}; // þ too
        else
            t.letters[unit] = {char16_t(u'A' + boxes.first),
                               boxes.second < 0 ? char16_t(0) : char16_t(u'A' + boxes.second)};
    }
    return t;
}();

enum class Folded
{
    Whole,
    Stopped,
    NeedsNfc,
};

// Calls take with each letter of text, folded as above, until take returns
// false. With checkNfc, stops at the first unit that may change under NFC
// (engine/nfc.h), so that one pass serves text that is NFC already.
template <typename Take>
Folded foldUnits(QStringView text, Take &take, bool checkNfc)
{
    const auto *unit = reinterpret_cast<const char16_t *>(text.utf16());
    const char16_t *const end = unit + text.size();
    for (; unit != end; ++unit) {
        if (*unit >= detail::Latin1Set::kUnits) {
            if (checkNfc && !isNfcSafeCut(*unit) && !isNfcInert(*unit))
                return Folded::NeedsNfc;
            continue;
        }
        const std::array<char16_t, 2> &letters = kFold.letters[*unit];
        if (letters[0] == 0)
            continue;
        if (!take(letters[0]) || (letters[1] != 0 && !take(letters[1])))
            return Folded::Stopped;
    }
    return Folded::Whole;
}

// The letters of text as the masking sees them, after NFC: decomposed "e" +
// U+0301 is an é. restart is called before a second pass on the NFC text.
// Returns false when take stopped the fold.
template <typename Take, typename Restart>
bool foldLetters(const QString &text, Take take, Restart restart)
{
    const Folded first = foldUnits(text, take, true);
    if (first != Folded::NeedsNfc)
        return first == Folded::Whole;
    restart();
    return foldUnits(toNfc(text), take, false) == Folded::Whole;
}

} // namespace

GuessChecker::GuessChecker(const QString &quotation)
{
    m_letters.reserve(quotation.size());
    foldLetters(
        quotation,
        [this](char16_t c) {
            m_letters += QChar(c);
            return true;
        },
        [this] { m_letters.clear(); });
}

bool GuessChecker::matches(const QString &guess) const
{
    // A quotation without letters leaves nothing to guess.
    if (m_letters.isEmpty())
        return false;
    const auto *const begin = reinterpret_cast<const char16_t *>(m_letters.utf16());
    const char16_t *const end = begin + m_letters.size();
    const char16_t *next = begin;
    const bool same = foldLetters(
        guess, [&](char16_t c) { return next != end && *next++ == c; }, [&] { next = begin; });
    return same && next == end;
}

bool GuessMatches(const QString &quotation, const QString &guess)
{
    return GuessChecker(quotation).matches(guess);
}

Outcome ScoreGame(const Game &game)
{
    return ScoreGame(game, CountLetters(game.quotation));
}

Outcome ScoreGame(const Game &game, const LetterTally &letters)
{
    const Ledger &ledger = game.ledger;
    Outcome outcome;
    outcome.entries.resize(ledger.size());

    // The credit that counts for each letter: the first one, while ticked.
    std::array<qsizetype, kLetterCount> creditOf{};
    creditOf.fill(-1);
    bool anyGuess = false;
    for (qsizetype i = 0; i < ledger.size(); ++i) {
        const Entry &entry = ledger[i];
        if (entry.kind == Entry::Kind::Guess) {
            anyGuess = true;
            continue;
        }
        const int k = entry.letter;
        if (k >= 0 && k < kLetterCount && !entry.player.isEmpty() && game.board.isTicked(k) &&
            creditOf[k] < 0)
            creditOf[k] = i;
    }

    // The board as the ledger began: the ticks nobody was credited with.
    Board board = game.board;
    for (int k = 0; k < kLetterCount; ++k)
        if (creditOf[k] >= 0)
            board.states[k] = LetterState::Unticked;

    std::optional<GuessChecker> checker;
    if (anyGuess)
        checker.emplace(game.quotation);

    QHash<QString, qsizetype> playerAt;
    for (qsizetype i = 0; i < ledger.size(); ++i) {
        const Entry &entry = ledger[i];
        EntryOutcome &result = outcome.entries[i];
        if (entry.kind == Entry::Kind::Credit) {
            if (entry.letter < 0 || entry.letter >= kLetterCount || creditOf[entry.letter] != i)
                continue;
            board.states[entry.letter] = LetterState::Ticked;
            result.points = letters.occurrences(entry.letter);
            result.miss = result.points == 0;
            outcome.misses += result.miss ? 1 : 0;
        } else {
            result.right = checker->matches(entry.text);
            result.miss = !result.right;
            if (result.right && !outcome.won)
                result.points = letters.hiddenCount(board);
            outcome.won = outcome.won || result.right;
            outcome.misses += result.miss ? 1 : 0;
        }
        result.counts = true;
        if (entry.player.isEmpty())
            continue;
        auto found = playerAt.constFind(entry.player);
        if (found == playerAt.cend()) {
            found = playerAt.insert(entry.player, outcome.players.size());
            outcome.players.append({entry.player, 0, 0});
        }
        PlayerResult &player = outcome.players[*found];
        player.points += result.points;
        player.misses += result.miss ? 1 : 0;
    }

    // Ties keep the order in which players first came.
    std::stable_sort(outcome.players.begin(), outcome.players.end(),
                     [](const PlayerResult &a, const PlayerResult &b) {
                         if (a.points != b.points)
                             return a.points > b.points;
                         return a.misses < b.misses;
                     });
    return outcome;
}

} // namespace lexorne::game
