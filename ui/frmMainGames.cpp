// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's games: the list behind the "Parties" panel, the panel
// beside the window, the switch from one game to the next by keyboard, and
// the name of the game on screen.
#include "ui/frmMain.h"

#include "ui/gamelist.h"
#include "ui/gamespanel.h"
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
    auto *panel = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), this);
    connect(panel, &QShortcut::activated, this,
            [this] { setGamesPanelShown(!isGamesPanelShown()); });

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

bool frmMain::isGamesPanelShown() const
{
    return m_gamesPanel && !m_gamesPanel->isHidden();
}

void frmMain::setGamesPanelShown(bool shown)
{
    if (shown == isGamesPanelShown())
        return;
    // Beside the window as it is drawn, which keeps its size and place.
    if (shown) {
        // Made when first asked for: closed, the window is as it always was.
        if (!m_gamesPanel) {
            m_gamesPanel = new GamesPanel(m_games, this);
            m_gamesPanel->setReporter([this](const QString &message) { m_report(message); });
        }
        m_closedSize = size();
        const int width = m_gamesPanel->sizeHint().width();
        m_gamesPanel->setGeometry(m_closedSize.width(), 0, width, m_closedSize.height());
        setFixedSize(m_closedSize.width() + width, m_closedSize.height());
        m_gamesPanel->show();
    } else {
        m_gamesPanel->hide();
        setFixedSize(m_closedSize);
    }
}

} // namespace lexorne
