// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The "Parties" section of the game panel: the list of games (a click or Enter
// puts a game on screen, typing its first letters finds it), and the
// buttons that make, rename, duplicate, delete, import and export games.
// Everything it does goes through the GameList.
#pragma once

#include <QGroupBox>

#include <functional>

class QAction;
class QListWidget;
class QPushButton;

namespace lexorne {

class GameList;

class GamesPanel : public QGroupBox
{
    Q_OBJECT
public:
    explicit GamesPanel(GameList &games, QWidget *parent = nullptr);

    // Who tells the user what went wrong (default: a message box).
    using Reporter = std::function<void(const QString &message)>;
    void setReporter(Reporter reporter) { m_report = std::move(reporter); }

    void lstParties_Activated(int row);
    void cmdNouvellePartie_Click();
    void cmdRenommerPartie_Click();
    void cmdDupliquerPartie_Click();
    void cmdSupprimerPartie_Click();
    void mnuImporterCitations_Click();
    void mnuImporterPartie_Click();
    void cmdExporterPartie_Click();

private:
    void fill();
    QPushButton *button(const QString &name, const QString &caption, const QString &spoken,
                        const QString &tip);
    void report(const QString &what, const QString &error);

    GameList &m_games;
    Reporter m_report;
    QListWidget *lstParties = nullptr;
    QPushButton *cmdNouvellePartie = nullptr;
    QPushButton *cmdRenommerPartie = nullptr;
    QPushButton *cmdDupliquerPartie = nullptr;
    QPushButton *cmdSupprimerPartie = nullptr;
    QPushButton *cmdImporter = nullptr;
    QAction *mnuImporterCitations = nullptr;
    QAction *mnuImporterPartie = nullptr;
    QPushButton *cmdExporterPartie = nullptr;
};

} // namespace lexorne
