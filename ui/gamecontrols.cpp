// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gamecontrols.h"

#include "ui/controlsize.h"

#include "ui/qtcompat.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lexorne {

namespace {

const QString kLost = u"la limite d'erreurs est atteinte : la partie est perdue. "
                      u"« Révéler » montre toute la citation."_s;

template <typename T>
T *named(T *widget, const QString &name, const QString &accessible, const QString &tip)
{
    widget->setObjectName(name);
    widget->setAccessibleName(accessible);
    widget->setToolTip(tip);
    return widget;
}

QString pointsText(qsizetype points)
{
    return QString::number(points) + (points > 1 ? u" pts"_s : u" pt"_s);
}

} // namespace

QStringList LedgerLines(const game::Game &game)
{
    const game::Outcome outcome = game::ScoreGame(game);
    QStringList lines;
    for (qsizetype i = 0; i < game.ledger.size(); ++i) {
        const game::Entry &entry = game.ledger[i];
        const game::EntryOutcome &result = outcome.entries[i];
        if (!result.counts)
            continue;
        if (entry.kind == game::Entry::Kind::Credit) {
            lines << u"%1 : %2, %3"_s.arg(QChar(u'A' + entry.letter), entry.player,
                                          result.miss ? u"absente"_s
                                                      : QString::number(result.points));
            continue;
        }
        const QString who = ProposalOf(entry.player);
        lines << (result.right ? u"%1 : juste, %2"_s.arg(who, pointsText(result.points))
                               : u"%1 : fausse"_s.arg(who));
    }
    lines << game::MissesLine(outcome.misses, game.missLimit);
    if (const QString results = game::ResultsLine(outcome.players, nullptr); !results.isEmpty())
        lines << results;
    return lines;
}

GameControls::GameControls(WholeGame &game, std::function<QString()> quotation, QWidget *parent)
    : QGroupBox(u"Partie"_s, parent), m_game(game), m_quotation(std::move(quotation))
{
    setObjectName(u"fraPartie"_s);

    cboJoueur = named(new QComboBox(this), u"cboJoueur"_s, u"Joueur"_s,
                      u"Le joueur qui propose : chaque lettre cochée lui est attribuée. "
                      u"Vide : les lettres sont cochées sans nom."_s);
    cboJoueur->setEditable(true);
    cboJoueur->setInsertPolicy(QComboBox::NoInsert);
    cboJoueur->lineEdit()->setMaxLength(int(game::kMaxNameLength) + 1);
    auto *lblJoueur = new QLabel(u"Jo&ueur :"_s, this);
    lblJoueur->setBuddy(cboJoueur);

    txtProposition = named(new QLineEdit(this), u"txtProposition"_s, u"Proposition"_s,
                           u"Toute la citation, telle que le joueur la propose ; majuscules, "
                           u"accents, espaces et ponctuation ne comptent pas."_s);
    auto *lblProposition = new QLabel(u"Propos&ition :"_s, this);
    lblProposition->setBuddy(txtProposition);
    cmdVerifier =
        named(new QPushButton(u"&Vérifier"_s, this), u"cmdVerifier"_s, u"Vérifier la proposition"_s,
              u"Juste : la partie est gagnée. Fausse : une erreur du joueur."_s);

    spnErreursMax = named(new QSpinBox(this), u"spnErreursMax"_s, u"Erreurs maximum"_s,
                          u"Le nombre d'erreurs permises ; « aucune » : pas de limite."_s);
    spnErreursMax->setRange(0, game::kMaxMissLimit);
    spnErreursMax->setSpecialValueText(u"aucune"_s);
    auto *lblErreursMax = new QLabel(u"Erreurs &max. :"_s, this);
    lblErreursMax->setBuddy(spnErreursMax);

    chkErreurs =
        named(new QCheckBox(u"Ligne « &Erreurs »"_s, this), u"chkErreurs"_s, u"Ligne des erreurs"_s,
              u"Ajoute au log « Erreurs : 3 », ou « Erreurs : 3/10 » avec une "
              u"limite. Une erreur : une lettre attribuée absente de la citation, ou "
              u"une proposition fausse."_s);
    chkResultats = named(new QCheckBox(u"Ligne « Résul&tats »"_s, this), u"chkResultats"_s,
                         u"Ligne des résultats"_s,
                         u"Ajoute au log les points de chaque joueur : « Résultats : Alice "
                         u"12 pts, Bob 1 pt (2 erreurs) »."_s);

    cmdReveler =
        named(new QPushButton(u"&Révéler"_s, this), u"cmdReveler"_s, u"Révéler la citation"_s,
              u"Toute la citation, les lettres encore cachées dans la couleur de "
              u"« Go ! », puis le log."_s);
    chkSpoiler = named(new QCheckBox(u"&Cacher sous un spoiler"_s, this), u"chkSpoiler"_s,
                       u"Révéler sous un spoiler"_s,
                       u"La citation révélée ne s'affiche qu'à qui clique dessus."_s);
    chkReddit =
        named(new QCheckBox(u"&À la Reddit"_s, this), u"chkReddit"_s, u"Spoiler à la Reddit"_s,
              u"Sur un forum Markdown, chaque ligne entre « >! » et « !< », comme "
              u"Reddit les lit, plutôt qu'un bloc <details>."_s);

    lstJournal = named(new QListWidget(this), u"lstJournal"_s, u"Journal de la partie"_s,
                       u"Qui a proposé quoi, et les points."_s);
    lstJournal->setMinimumHeight(heightForLines(lstJournal, 4));
    auto *lblJournal = new QLabel(u"Jour&nal :"_s, this);
    lblJournal->setBuddy(lstJournal);
    lblMessage = new QLabel(this);
    lblMessage->setObjectName(u"lblMessage"_s);
    lblMessage->setWordWrap(true);
    lblMessage->setTextFormat(Qt::PlainText); // a name is never markup
    lblMessage->setAccessibleName(u"Message de la partie"_s);

    auto *form = new QFormLayout;
    form->addRow(lblJoueur, cboJoueur);
    auto *guessRow = new QHBoxLayout;
    guessRow->addWidget(txtProposition, 1);
    guessRow->addWidget(cmdVerifier);
    form->addRow(lblProposition, guessRow);
    form->addRow(lblErreursMax, spnErreursMax);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(chkErreurs);
    layout->addWidget(chkResultats);
    auto *revealRow = new QHBoxLayout;
    revealRow->addWidget(cmdReveler);
    revealRow->addWidget(chkSpoiler);
    revealRow->addWidget(chkReddit, 1);
    layout->addLayout(revealRow);
    layout->addWidget(lblJournal);
    layout->addWidget(lstJournal, 1);
    layout->addWidget(lblMessage);

    setTabOrder(cboJoueur, txtProposition);
    setTabOrder(txtProposition, cmdVerifier);
    setTabOrder(cmdVerifier, spnErreursMax);
    setTabOrder(spnErreursMax, chkErreurs);
    setTabOrder(chkErreurs, chkResultats);
    setTabOrder(chkResultats, cmdReveler);
    setTabOrder(cmdReveler, chkSpoiler);
    setTabOrder(chkSpoiler, chkReddit);
    setTabOrder(chkReddit, lstJournal);

    connect(cboJoueur, &QComboBox::editTextChanged, this, &GameControls::playerEdited);
    connect(cmdVerifier, &QPushButton::clicked, this, &GameControls::cmdVerifier_Click);
    connect(txtProposition, &QLineEdit::returnPressed, this, &GameControls::cmdVerifier_Click);
    connect(spnErreursMax, &QSpinBox::valueChanged, this,
            [this](int limit) { m_game.setMissLimit(limit); });
    for (QCheckBox *box : {chkErreurs, chkResultats})
        connect(box, qtcompat::checkBoxStateChanged, this, [this] {
            m_game.setLines({chkErreurs->isChecked(), chkResultats->isChecked()});
        });
    connect(chkSpoiler, &QCheckBox::toggled, this, [this](bool on) {
        m_game.setSpoiler(on);
        chkReddit->setEnabled(on);
    });
    connect(chkReddit, &QCheckBox::toggled, this, [this](bool on) { m_game.setRedditSpoiler(on); });
    connect(cmdReveler, &QPushButton::clicked, this, &GameControls::revealRequested);
    connect(&m_game, &WholeGame::changed, this, &GameControls::refresh);

    const game::GameLines lines = m_game.lines();
    chkErreurs->setChecked(lines.misses);
    chkResultats->setChecked(lines.results);
    chkSpoiler->setChecked(m_game.spoiler());
    chkReddit->setChecked(m_game.redditSpoiler());
    chkReddit->setEnabled(m_game.spoiler());
    cboJoueur->setEditText(m_game.player());
    refresh();
}

QWidget *GameControls::firstControl() const
{
    return cboJoueur;
}

QWidget *GameControls::lastControl() const
{
    return lstJournal;
}

void GameControls::refresh()
{
    const game::Game played = m_game.game(m_quotation());
    // Said once, when the misses reach the limit (and taken back by an undo
    // below it), unless a guess won first; the game is scored for it only
    // when there is a limit.
    bool lost = false;
    if (played.missLimit > 0) {
        const game::Outcome outcome = game::ScoreGame(played);
        lost = !outcome.won && outcome.misses >= played.missLimit;
    }
    if (lost != m_lost) {
        m_lost = lost;
        say(lost ? kLost : QString());
    }
    {
        const QSignalBlocker blocker(spnErreursMax);
        spnErreursMax->setValue(played.missLimit);
    }
    const QStringList names = m_game.players();
    if (names.size() != cboJoueur->count()) {
        // The list changes under the typing: keep what is typed.
        const QString typed = cboJoueur->currentText();
        const QSignalBlocker blocker(cboJoueur);
        cboJoueur->clear();
        cboJoueur->addItems(names);
        cboJoueur->setEditText(typed);
    }
    const QStringList lines = LedgerLines(played);
    lstJournal->clear();
    lstJournal->addItems(lines);
}

void GameControls::playerEdited(const QString &text)
{
    say(m_game.setPlayer(text));
}

void GameControls::cmdVerifier_Click()
{
    const QString error = m_game.guess(cboJoueur->currentText(), txtProposition->text());
    if (!error.isEmpty()) {
        say(error);
        return;
    }
    txtProposition->clear();
    const game::Outcome outcome = game::ScoreGame(m_game.game(m_quotation()));
    if (!outcome.entries.isEmpty() && outcome.entries.last().right) {
        say(u"Juste : la partie est gagnée. « Révéler » montre toute la citation."_s);
        // The reveal is what comes next.
        cmdReveler->setFocus(Qt::OtherFocusReason);
    } else {
        say(m_lost ? u"Fausse : "_s + kLost : u"Fausse : une erreur de plus."_s);
    }
}

void GameControls::say(const QString &message)
{
    if (message.isEmpty()) {
        lblMessage->clear();
        return;
    }
    QString text = message;
    text[0] = text[0].toUpper();
    lblMessage->setText(text);
}

} // namespace lexorne
