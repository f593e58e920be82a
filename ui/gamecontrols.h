// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The whole game's section of the game panel: who is proposing ("Joueur"),
// a guess of the whole quotation ("Proposition"), "Erreurs max.", the two
// lines the log may carry, "Révéler" with its spoiler, and the ledger as a
// list a screen reader reads line by line ("E : Alice, 12").
#pragma once

#include "ui/wholegame.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace lexorne {

// Controls carry their member names as objectName: "fraPartie", "cboJoueur",
// "txtProposition", "cmdVerifier", "spnErreursMax", "chkErreurs",
// "chkResultats", "cmdReveler", "chkSpoiler", "chkReddit", "lstJournal", "lblMessage".
class GameControls : public QGroupBox
{
    Q_OBJECT
public:
    // `quotation` gives the quotation as the window holds it, for the
    // scores and the guess check.
    GameControls(WholeGame &game, std::function<QString()> quotation, QWidget *parent = nullptr);

    // Shows the ledger and the scores again (the quotation or a tick changed).
    void refresh();

    QWidget *firstControl() const;
    QWidget *lastControl() const;

signals:
    // "Révéler" was pressed.
    void revealRequested();

private:
    void playerEdited(const QString &text);
    void cmdVerifier_Click();
    void say(const QString &message);

    WholeGame &m_game;
    std::function<QString()> m_quotation;
    QComboBox *cboJoueur = nullptr;
    QLineEdit *txtProposition = nullptr;
    QPushButton *cmdVerifier = nullptr;
    QSpinBox *spnErreursMax = nullptr;
    QCheckBox *chkErreurs = nullptr;
    QCheckBox *chkResultats = nullptr;
    QPushButton *cmdReveler = nullptr;
    QCheckBox *chkSpoiler = nullptr;
    QCheckBox *chkReddit = nullptr;
    QListWidget *lstJournal = nullptr;
    QLabel *lblMessage = nullptr;
    // The misses have reached the limit.
    bool m_lost = false;
};

// The ledger as lines a screen reader reads one by one: "E : Alice, 12",
// "Proposition de Bob : fausse", then "Erreurs : 3/10" and the results.
QStringList LedgerLines(const game::Game &game);

} // namespace lexorne
