// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gamespanel.h"

#include "ui/controlsize.h"
#include "ui/gamelist.h"
#include "version/version.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lexorne {

namespace {

const QString kJsonFilter = u"Parties de Lexorne (*.json);;Tous les fichiers (*)"_s;
const QString kQuotationsFilter = u"Citations (*.txt);;Tous les fichiers (*)"_s;

} // namespace

GamesPanel::GamesPanel(GameList &games, QWidget *parent)
    : QGroupBox(u"Parties"_s, parent), m_games(games)
{
    setObjectName(u"fraParties"_s);
    m_report = [this](const QString &message) {
        QMessageBox::warning(window(), QString::fromLatin1(kApplicationTitle), message);
    };

    auto *label = new QLabel(u"Parties enre&gistrées :"_s, this);
    label->setObjectName(u"lblParties"_s);
    lstParties = new QListWidget(this);
    lstParties->setObjectName(u"lstParties"_s);
    label->setBuddy(lstParties);
    lstParties->setAccessibleName(u"Parties"_s);
    lstParties->setToolTip(u"Les parties enregistrées. Un clic ou Entrée met la partie à "
                           u"l'écran ; taper les premières lettres d'un nom le trouve.\n"
                           u"Ctrl+Pg.Préc. et Ctrl+Pg.Suiv. passent d'une partie à l'autre."_s);
    lstParties->setSelectionMode(QAbstractItemView::SingleSelection);
    lstParties->setMinimumHeight(heightForLines(lstParties, 4));

    cmdNouvellePartie = button(u"cmdNouvellePartie"_s, u"&Ajouter"_s, u"Ajouter une partie"_s,
                               u"Commence une nouvelle partie, vide, à côté des autres"_s);
    cmdRenommerPartie = button(u"cmdRenommerPartie"_s, u"Re&baptiser…"_s, u"Rebaptiser la partie"_s,
                               u"Change le nom de la partie choisie"_s);
    cmdDupliquerPartie = button(u"cmdDupliquerPartie"_s, u"&Dupliquer"_s, u"Dupliquer la partie"_s,
                                u"Fait une copie de la partie choisie, sous un autre nom"_s);
    cmdSupprimerPartie =
        button(u"cmdSupprimerPartie"_s, u"Ra&yer"_s, u"Rayer la partie de la liste"_s,
               u"Supprime la partie choisie (Ctrl+Z la rétablit)"_s);
    // Two imports, and no letter left for a second access key in the open
    // panel: one button, whose menu has keys of its own.
    cmdImporter = button(u"cmdImporter"_s, u"Importer un fic&hier"_s, u"Importer un fichier"_s,
                         u"Ajoute des parties prises dans un fichier : des citations à faire "
                         u"deviner, ou des parties exportées par Lexorne"_s);
    auto *imports = new QMenu(cmdImporter);
    imports->setObjectName(u"mnuImporter"_s);
    mnuImporterCitations = imports->addAction(u"Importer des &citations…"_s);
    mnuImporterCitations->setObjectName(u"mnuImporterCitations"_s);
    mnuImporterCitations->setToolTip(u"Un fichier texte en UTF-8, où une ligne vide sépare les "
                                     u"citations : chacune devient une nouvelle partie"_s);
    mnuImporterPartie = imports->addAction(u"Importer une &partie…"_s);
    mnuImporterPartie->setObjectName(u"mnuImporterPartie"_s);
    mnuImporterPartie->setToolTip(u"Un fichier .json exporté par Lexorne, sur cet ordinateur ou "
                                  u"un autre : ses parties s'ajoutent à la liste"_s);
    imports->setToolTipsVisible(true);
    cmdImporter->setMenu(imports);
    cmdExporterPartie =
        button(u"cmdExporterPartie"_s, u"E&xporter la partie…"_s, u"Exporter la partie"_s,
               u"Écrit la partie à l'écran, ou toutes, dans un fichier à "
               u"importer sur un autre ordinateur"_s);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(lstParties, 1);
    auto *grid = new QGridLayout;
    grid->addWidget(cmdNouvellePartie, 0, 0);
    grid->addWidget(cmdRenommerPartie, 0, 1);
    grid->addWidget(cmdDupliquerPartie, 1, 0);
    grid->addWidget(cmdSupprimerPartie, 1, 1);
    layout->addLayout(grid);
    layout->addWidget(cmdImporter);
    layout->addWidget(cmdExporterPartie);

    connect(lstParties, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { lstParties_Activated(lstParties->row(item)); });
    connect(lstParties, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { lstParties_Activated(lstParties->row(item)); });
    connect(cmdNouvellePartie, &QPushButton::clicked, this, &GamesPanel::cmdNouvellePartie_Click);
    connect(cmdRenommerPartie, &QPushButton::clicked, this, &GamesPanel::cmdRenommerPartie_Click);
    connect(cmdDupliquerPartie, &QPushButton::clicked, this, &GamesPanel::cmdDupliquerPartie_Click);
    connect(cmdSupprimerPartie, &QPushButton::clicked, this, &GamesPanel::cmdSupprimerPartie_Click);
    connect(mnuImporterCitations, &QAction::triggered, this,
            &GamesPanel::mnuImporterCitations_Click);
    connect(mnuImporterPartie, &QAction::triggered, this, &GamesPanel::mnuImporterPartie_Click);
    connect(cmdExporterPartie, &QPushButton::clicked, this, &GamesPanel::cmdExporterPartie_Click);
    connect(&m_games, &GameList::listChanged, this, &GamesPanel::fill);
    fill();
}

QPushButton *GamesPanel::button(const QString &name, const QString &caption, const QString &spoken,
                                const QString &tip)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(name);
    // The caption alone ("Nouvelle") would not say of what.
    button->setAccessibleName(spoken);
    button->setToolTip(tip);
    button->setAccessibleDescription(tip);
    button->setAutoDefault(false);
    return button;
}

void GamesPanel::fill()
{
    const QList<settings::GameRecord> &games = m_games.games();
    const qsizetype current = m_games.current();
    // Rebuilt only when the names changed: a switch only moves the mark.
    bool same = lstParties->count() == games.size();
    for (qsizetype i = 0; same && i < games.size(); ++i)
        same = lstParties->item(int(i))->text() == games[i].name;
    if (!same) {
        lstParties->clear();
        QStringList names;
        names.reserve(games.size());
        for (const settings::GameRecord &game : games)
            names << game.name;
        lstParties->addItems(names);
    }
    for (int i = 0; i < lstParties->count(); ++i) {
        QFont font = lstParties->font();
        font.setBold(i == current);
        lstParties->item(i)->setFont(font);
    }
    if (current >= 0)
        lstParties->setCurrentRow(int(current));
    const bool ready = m_games.isLoaded();
    for (QPushButton *b : {cmdNouvellePartie, cmdRenommerPartie, cmdDupliquerPartie, cmdImporter})
        b->setEnabled(ready);
    cmdSupprimerPartie->setEnabled(ready && games.size() > 1);
}

void GamesPanel::report(const QString &what, const QString &error)
{
    if (!error.isEmpty())
        m_report(u"%1 : %2."_s.arg(what, error));
}

void GamesPanel::lstParties_Activated(int row)
{
    m_games.switchTo(row);
}

void GamesPanel::cmdNouvellePartie_Click()
{
    m_games.addNew();
}

void GamesPanel::cmdRenommerPartie_Click()
{
    const int row = lstParties->currentRow();
    if (row < 0)
        return;
    bool ok = false;
    const QString typed =
        QInputDialog::getText(window(), u"Renommer la partie"_s, u"Nouveau nom :"_s,
                              QLineEdit::Normal, m_games.games()[row].name, &ok);
    if (ok)
        report(u"Nom refusé"_s, m_games.rename(row, typed));
}

void GamesPanel::cmdDupliquerPartie_Click()
{
    m_games.duplicate(lstParties->currentRow());
}

void GamesPanel::cmdSupprimerPartie_Click()
{
    m_games.remove(lstParties->currentRow());
}

void GamesPanel::mnuImporterCitations_Click()
{
    const QString path = QFileDialog::getOpenFileName(window(), u"Importer des citations"_s,
                                                      QString(), kQuotationsFilter);
    if (!path.isEmpty())
        report(u"Citations non importées"_s, m_games.importQuotations(path));
}

void GamesPanel::mnuImporterPartie_Click()
{
    const QString path =
        QFileDialog::getOpenFileName(window(), u"Importer une partie"_s, QString(), kJsonFilter);
    if (!path.isEmpty())
        report(u"Partie non importée"_s, m_games.importGames(path));
}

void GamesPanel::cmdExporterPartie_Click()
{
    bool all = false;
    if (m_games.games().size() > 1) {
        QMessageBox ask(QMessageBox::Question, u"Exporter"_s,
                        u"Exporter la partie à l'écran, ou toutes les parties ?"_s,
                        QMessageBox::Cancel, window());
        QPushButton *one = ask.addButton(u"Cette &partie"_s, QMessageBox::AcceptRole);
        QPushButton *every = ask.addButton(u"&Toutes"_s, QMessageBox::AcceptRole);
        ask.setDefaultButton(one);
        ask.exec();
        if (ask.clickedButton() != one && ask.clickedButton() != every)
            return;
        all = ask.clickedButton() == every;
    }
    // A name may hold a slash, which a file name cannot.
    QString suggested = (all ? u"parties"_s : m_games.currentName()) + u".json"_s;
    suggested.replace(u'/', u'-').replace(u'\\', u'-');
    const QString path =
        QFileDialog::getSaveFileName(window(), u"Exporter"_s, suggested, kJsonFilter);
    if (!path.isEmpty())
        report(u"Partie non exportée"_s, m_games.exportGames(path, all));
}

} // namespace lexorne
