// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The games file: every game of the list, beside the store
// ("Lexorne-parties.json"), replaced whole and atomically, private to the
// user. The game on screen lives in the store's usual keys, which an older
// Lexorne reads; its entry in the file may be older and is overridden by
// them. Only the running copy, which holds the lock beside the store,
// writes it; the command line reads it quietly.
#pragma once

#include "settings/games.h"

#include <QList>
#include <QString>

namespace lexorne::settings {

// The games file for a store at storeLocation (its file, or on Windows its
// registry key, whose games go to the user's local application data).
QString GamesFilePath(const QString &storeLocation);

// The file as the window reads it at start. A missing file is an empty
// list. A file that does not parse, or is too big to be read, is renamed
// "…unreadable-DATE" and never rewritten (setAsidePath, error); when even
// that fails the file is left alone and must not be written (unusable).
struct LoadedGames
{
    QList<GameRecord> games;
    QString setAsidePath;
    QString error;
    bool unusable = false;
};
LoadedGames LoadGamesFile(const QString &path);

// The same without moving anything, for the command line: the games, or
// why they cannot be read.
ReadResult ReadGamesFile(const QString &path);

// Replaces the file with these games (QSaveFile: a reader sees the old file
// or the new one, never a part), mode 0600 in a folder made 0700.
bool WriteGamesFile(const QString &path, const QList<GameRecord> &games);

// The list a start shows: the file's games, with duplicated or missing ids
// replaced and duplicated names made unique, and the game on screen (screen,
// as the store holds it) in its place: over its entry when the file has its
// id, otherwise added at the end with a name of its own (a store of an older
// version, or a file lost). Returns the index of the game on screen.
qsizetype AssembleGames(QList<GameRecord> &games, GameRecord screen);

} // namespace lexorne::settings
