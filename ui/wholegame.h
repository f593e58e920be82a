// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The window's whole game: the ledger beside the board model (who proposed
// which letter, the guesses, the miss limit, the reveal), each change one
// step of the window's undo stack, the store following it. The rules are
// game/game.h's; this only keeps the state and the steps.
#pragma once

#include "game/game.h"
#include "settings/storewriter.h"
#include "ui/boardmodel.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QUndoCommand;
class QUndoStack;

namespace lexorne {

class WholeGame : public QObject
{
    Q_OBJECT
public:
    WholeGame(BoardModel &board, settings::StoreWriter &writer, QObject *parent = nullptr);
    // The stack the steps go on; until then (the restore at start) there are none.
    void attach(QUndoStack &undo) { m_undo = &undo; }

    // The stored ledger as read at start; nothing is written. A ledger that
    // does not read is moved aside in the store (never lost) and the game
    // goes on without it: the returned message says where it is.
    QString restore(const std::optional<QString> &stored, settings::Store &store);

    const game::StoredLedger &state() const { return m_state; }
    // Sets the whole state at once (a reset's undo); the store follows.
    void setState(const game::StoredLedger &state);
    // Empties it after a reset, which has cleared the store already.
    void clear();

    // Who the next ticks are credited to; empty for plain ticks. Returns the
    // message of a name that cannot be one (and then keeps no name).
    QString setPlayer(const QString &typed);
    QString player() const { return m_player; }
    // The names used so far, in the order they came.
    QStringList players() const;

    // A box asks for a new state: one undo step, which credits the letter
    // to the player when it ticks and drops the letter's credit when it
    // unticks.
    void tick(int index, LetterState after);
    // A guess of the whole quotation: one undo step. Returns the message of
    // a bad name or of a guess without a single letter, and then does nothing.
    QString guess(const QString &typedPlayer, const QString &text);
    // "Erreurs max.", 0 for none: one undo step.
    void setMissLimit(int limit);
    // The reveal: one undo step, showing `text` on redo; undo gives back
    // the text that showed before (through the same callback).
    void reveal(const QString &text, const QString &shownBefore,
                std::function<void(const QString &)> show);

    // The game as the rules see it.
    game::Game game(const QString &quotation) const;

    // Which game lines the log carries, and whether the reveal hides the
    // quotation behind a spoiler: options of the run, not stored.
    game::GameLines lines() const { return m_lines; }
    void setLines(game::GameLines lines);
    bool spoiler() const { return m_spoiler; }
    void setSpoiler(bool spoiler) { m_spoiler = spoiler; }

signals:
    // The ledger, the limit or the revealed state changed.
    void changed();

private:
    // Pushes the step, or only does it while there is no stack yet.
    void run(QUndoCommand *step);
    void push(const QString &what, game::StoredLedger after, int index = -1,
              LetterState letterAfter = LetterState::Unticked);

    BoardModel &m_board;
    QUndoStack *m_undo = nullptr;
    settings::StoreWriter &m_writer;
    game::StoredLedger m_state;
    QString m_player;
    game::GameLines m_lines;
    bool m_spoiler = false;
};

} // namespace lexorne
