// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/wholegame.h"

#include "ui/gameundo.h"

#include <QUndoStack>

#include <algorithm>
#include <functional>

using namespace Qt::StringLiterals;

namespace lexorne {

namespace {

QString letterName(int index)
{
    return QString(QChar(char16_t(u'A' + index)));
}

} // namespace

WholeGame::WholeGame(BoardModel &board, settings::StoreWriter &writer, QObject *parent)
    : QObject(parent), m_board(board), m_writer(writer)
{}

void WholeGame::setLines(game::GameLines lines)
{
    m_lines = lines;
    emit changed();
}

QString WholeGame::restore(const std::optional<QString> &stored, settings::Store &store)
{
    m_state = {};
    if (stored) {
        if (std::optional<game::StoredLedger> read = game::ReadLedger(*stored)) {
            m_state = std::move(*read);
        } else if (const std::optional<QString> key = store.setLedgerAside()) {
            emit changed();
            return u"Le journal de la partie enregistrée (qui a proposé quoi, les "
                   u"propositions) n'a pas pu être lu.\nIl est gardé tel quel sous la clé "
                   u"« %1 » de %2.\nLa citation et les lettres cochées sont reprises ; le "
                   u"journal repart de zéro."_s.arg(*key, store.location());
        } else {
            emit changed();
            return u"Le journal de la partie enregistrée n'a pas pu être lu, ni mis de côté "
                   u"(%1).\nIl est laissé tel quel ; la citation et les lettres cochées sont "
                   u"reprises."_s.arg(store.location());
        }
    }
    emit changed();
    return {};
}

void WholeGame::clear()
{
    m_state = {};
    emit changed();
}

void WholeGame::setState(const game::StoredLedger &state)
{
    m_state = state;
    m_writer.writeLedger(game::WriteLedger(m_state));
    emit changed();
}

QString WholeGame::setPlayer(const QString &typed)
{
    if (typed.trimmed().isEmpty()) {
        m_player.clear();
        return {};
    }
    const game::CheckedName checked = game::CheckName(typed);
    m_player = checked.name;
    return checked.error;
}

QStringList WholeGame::players() const
{
    QStringList names;
    for (const game::Entry &entry : m_state.ledger)
        if (!entry.player.isEmpty() && !names.contains(entry.player))
            names.append(entry.player);
    return names;
}

void WholeGame::tick(int index, LetterState after)
{
    if (index < 0 || index >= kLetterCount)
        return;
    const LetterState before = m_board.state(index);
    if (before == after)
        return;
    game::StoredLedger next = m_state;
    QString what;
    if (after == LetterState::Ticked && !m_player.isEmpty()) {
        next.ledger.append(game::Entry::credit(index, m_player));
        what = u"Cocher %1 pour %2"_s.arg(letterName(index), m_player);
    } else {
        // A letter no longer ticked keeps no credit.
        next.ledger.removeIf([index](const game::Entry &entry) {
            return entry.kind == game::Entry::Kind::Credit && entry.letter == index;
        });
        what = (after == LetterState::Ticked ? u"Cocher %1"_s : u"Décocher %1"_s)
                   .arg(letterName(index));
    }
    push(what, std::move(next), index, after);
}

QString WholeGame::guess(const QString &typedPlayer, const QString &text)
{
    QString player;
    if (!typedPlayer.trimmed().isEmpty()) {
        const game::CheckedName checked = game::CheckName(typedPlayer);
        if (!checked.error.isEmpty())
            return checked.error;
        player = checked.name;
    }
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLetter(); }))
        return u"la proposition ne contient aucune lettre"_s;
    game::StoredLedger next = m_state;
    next.ledger.append(game::Entry::guess(player, text));
    push(player.isEmpty() ? u"Proposition"_s : u"Proposition de %1"_s.arg(player), std::move(next));
    return {};
}

void WholeGame::setMissLimit(int limit)
{
    limit = std::clamp(limit, 0, game::kMaxMissLimit);
    if (limit == m_state.missLimit)
        return;
    game::StoredLedger next = m_state;
    next.missLimit = limit;
    push(u"Erreurs max. %1"_s.arg(limit), std::move(next));
}

void WholeGame::reveal(const QString &text, const QString &shownBefore,
                       std::function<void(const QString &)> show)
{
    game::StoredLedger next = m_state;
    next.revealed = true;
    auto *command = new GameStepCommand(
        u"Révéler"_s, m_board, [this](const game::StoredLedger &state) { setState(state); },
        m_state, std::move(next), GameStepCommand::Letter{});
    command->shown = [text, shownBefore, show = std::move(show)](bool redo) {
        show(redo ? text : shownBefore);
    };
    run(command);
}

game::Game WholeGame::game(const QString &quotation) const
{
    return {quotation, m_board.board(), m_state.ledger, m_state.missLimit};
}

void WholeGame::push(const QString &what, game::StoredLedger after, int index,
                     LetterState letterAfter)
{
    const bool ledgerChanges = !(after == m_state);
    const GameStepCommand::Letter letter{index, m_board.state(index), letterAfter};
    auto set = [this, ledgerChanges](const game::StoredLedger &state) {
        // A plain tick leaves the ledger, and its stored text, alone.
        if (ledgerChanges)
            setState(state);
    };
    run(new GameStepCommand(what, m_board, std::move(set), m_state, std::move(after), letter));
}

void WholeGame::run(QUndoCommand *step)
{
    if (m_undo) {
        m_undo->push(step);
        return;
    }
    step->redo();
    delete step;
}

} // namespace lexorne
