// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The list of games behind the "Parties" panel: which game is on screen,
// the others, and every change of the list (a switch, new, rename,
// duplicate, delete, an import) as one step of the window's undo stack. A
// switch is a step too, so that the ticks below it on the stack are undone
// in the game they were made in.
//
// The games file follows on the store's writing thread, in order with the
// store's own writes: the game leaving the screen goes into the file before
// the next one replaces it in the store's keys (docs/store.md).
#pragma once

#include "settings/games.h"
#include "settings/gamesfile.h"
#include "settings/storewriter.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <thread>

class QUndoStack;

namespace lexorne {

class GameList : public QObject
{
    Q_OBJECT
public:
    // What the list needs of the window: the game on screen as it now is
    // (quotation, letters, ledger, profile; name and id are the list's), and
    // a way to put another game there.
    struct Screen
    {
        std::function<settings::GameRecord()> read;
        std::function<void(const settings::GameRecord &)> show;
    };

    GameList(settings::Store &store, settings::StoreWriter &writer, QUndoStack &undo, Screen screen,
             QObject *parent = nullptr);
    ~GameList() override;
    GameList(const GameList &) = delete;
    GameList &operator=(const GameList &) = delete;

    // Takes the game on screen (which must be restored by then), reads the
    // games file on a thread of its own, then places the game on screen
    // among its games and sends loaded(). Until then the list holds the game
    // on screen alone and takes no change; before load() it is empty.
    void load();
    bool isLoaded() const { return m_loaded; }

    // The games in the list's order; the entry of the game on screen holds
    // what it held when it was last put there or left. The others hold
    // their quotation's file name, not the quotation (settings::LoadQuotation
    // reads it).
    const QList<settings::GameRecord> &games() const { return m_games; }
    qsizetype current() const;
    QString currentName() const;

    // Each is one undo step. The functions that take a name or a file give
    // back the one-line French message of what went wrong, and change
    // nothing then; an empty text means done.
    void switchTo(qsizetype index);
    void addNew();
    QString rename(qsizetype index, const QString &typed);
    void duplicate(qsizetype index);
    // The last game is never deleted; deleting the game on screen puts its
    // neighbour there.
    void remove(qsizetype index);
    QString importQuotations(const QString &path);
    QString importGames(const QString &path);
    // Writes the game on screen, or all of them.
    QString exportGames(const QString &path, bool all) const;

signals:
    void loaded();
    // The names, their order or the game on screen changed.
    void listChanged();
    // What the user should be told (an unreadable games file set aside).
    void message(const QString &text);

private:
    struct State
    {
        QList<settings::GameRecord> games;
        QString currentId;
    };
    class Step;

    void startLoader();
    void keepScreenGame();
    void finishLoad(settings::LoadedGames loaded);
    // The list with the game on screen's entry brought up to date.
    State now() const;
    void push(const QString &what, State after);
    void apply(const State &state);
    void save();
    // Moves a game's quotation out to its file (written by the next save()),
    // keeping only the file's name.
    void stash(settings::GameRecord &game);
    // Reads back the quotation of a game that holds only its file's name;
    // the reason it could not, told to the user too.
    QString readQuotation(settings::GameRecord &game);
    QStringList namesExcept(qsizetype index) const;
    QString addGames(const QString &what, QList<settings::GameRecord> games);

    settings::Store &m_store;
    settings::StoreWriter &m_writer;
    QUndoStack &m_undo;
    Screen m_screen;
    QString m_path;
    QList<settings::GameRecord> m_games;
    QString m_currentId;
    // What the file and the store's keys hold, so that a switch with
    // nothing changed writes nothing.
    QList<settings::GameRecord> m_written;
    QString m_storedId;
    // Quotations stashed since the last save(), which writes them.
    QStringList m_unwrittenTexts;
    bool m_loaded = false;
    bool m_unusable = false;
    std::thread m_loader;
};

} // namespace lexorne
