// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's games: the list shown in the game panel's "Parties",
// the switch from one game to the next by keyboard, and the name of the
// game on screen.
#include "ui/frmMain.h"

#include "ui/gamelist.h"
#include "ui/wholegame.h"

#include <QGroupBox>
#include <QKeySequence>
#include <QShortcut>

using namespace Qt::StringLiterals;

namespace lexorne {

void frmMain::setupGames()
{
    connect(&m_games, &GameList::message, this, &frmMain::tell);
    connect(&m_games, &GameList::listChanged, this, &frmMain::showGameName);

    const auto step = [this](const QKeySequence &keys, int by) {
        auto *shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, by] {
            const qsizetype next = m_games.current() + by;
            if (next >= 0 && next < m_games.games().size())
                m_games.switchTo(next);
        });
    };
    step(QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1);
    step(QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1);

    // The game on screen is shown first; the others come from their file
    // on a thread of their own.
    m_games.load();
    showGameName();
}

settings::GameRecord frmMain::screenGame() const
{
    settings::GameRecord game;
    game.quotation = strOriginal();
    game.letters = m_board.states();
    game.profile = forum::profileName(m_profile);
    if (!(m_game.state() == game::StoredLedger()))
        game.ledger = game::WriteLedger(m_game.state());
    return game;
}

void frmMain::showGame(const settings::GameRecord &game)
{
    // The list writes the game into the store's keys in one write.
    m_showingGame = true;
    m_board.setStates(game.letters);
    m_showingGame = false;
    m_game.setState(game::ReadLedger(game.ledger).value_or(game::StoredLedger()));
    // Each game is posted on its own forum; a game that names none, or one
    // this version does not know, keeps the forum chosen now.
    if (const std::optional<forum::Profile> profile = forum::profileFromName(game.profile))
        followProfile(*profile);
    setQuotation(game.quotation);
    showRendering();
}

void frmMain::showGameName()
{
    const QString tip = u"Partie : %1"_s.arg(m_games.currentName());
    fraOriginal->setToolTip(tip);
    fraAlpha->setToolTip(tip);
    setAccessibleDescription(tip);
}

} // namespace lexorne
