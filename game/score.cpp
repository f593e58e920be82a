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

// Calls take with each letter of text, as the letters of its boxes: "É" is
// "E", "Œ" "OE", "ß" "SS"; Þ, a letter without a box, is itself. Stops, and
// returns false, as soon as take does.
template <typename Take>
bool foldLetters(const QString &text, Take take)
{
    const QString nfc = mayNeedNfc(text) ? toNfc(text) : text;
    for (const QChar c : nfc) {
        const char16_t unit = c.unicode();
        if (!detail::isLetter(unit))
            continue;
        if (unit == u'ß') {
            if (!take(u'S') || !take(u'S'))
                return false;
            continue;
        }
        const detail::LetterBoxes boxes = detail::letterBoxes(unit);
        if (boxes.first < 0) {
            if (!take(c.toUpper().unicode()))
                return false;
            continue;
        }
        if (!take(char16_t(u'A' + boxes.first)))
            return false;
        if (boxes.second >= 0 && !take(char16_t(u'A' + boxes.second)))
            return false;
    }
    return true;
}

} // namespace

GuessChecker::GuessChecker(const QString &quotation)
{
    m_letters.reserve(quotation.size());
    foldLetters(quotation, [this](char16_t c) {
        m_letters += QChar(c);
        return true;
    });
}

bool GuessChecker::matches(const QString &guess) const
{
    // A quotation without letters leaves nothing to guess.
    if (m_letters.isEmpty())
        return false;
    qsizetype at = 0;
    const bool same = foldLetters(
        guess, [&](char16_t c) { return at < m_letters.size() && m_letters.at(at++) == QChar(c); });
    return same && at == m_letters.size();
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

    for (int k = 0; k < kLetterCount; ++k)
        if (game.board.isTicked(k) && letters.occurrences(k) == 0)
            ++outcome.misses;

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
