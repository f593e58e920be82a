// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The games file: every game of the list, beside the store
// ("Lexorne-parties.json"), replaced whole and atomically, private to the
// user. It names the file of each game's quotation, in a folder beside it
// ("Lexorne-parties"), rather than holding the quotation: the list stays
// small to read and to rewrite, and a change of one game writes that game's
// quotation alone. The game on screen lives in the store's usual keys, which
// an older Lexorne reads; its entry in the file may be older and is
// overridden by them. Only the running copy, which holds the lock beside the
// store, writes them; the command line reads them quietly.
#pragma once

#include "settings/games.h"

#include <QList>
#include <QString>

#include <optional>

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

// The folder of the quotation files that belong to the games file at path.
QString QuotationsFolder(const QString &gamesFile);

// Writes quotation into its file (QuotationFileName) in folder, unless the
// file is there already: mode 0600, in a folder made 0700.
bool WriteQuotationFile(const QString &folder, const QString &quotation);

// The quotation of the file named name in folder, if the file is there,
// within bounds, and holds what its name says; otherwise the one-line French
// reason.
struct ReadQuotation
{
    std::optional<QString> quotation;
    QString error;
};
ReadQuotation ReadQuotationFile(const QString &folder, const QString &name);

// Gives game its quotation from its file when it holds only the file's name;
// the reason it could not otherwise (the quotation is left empty).
QString LoadQuotation(const QString &gamesFile, GameRecord &game);

// Removes the quotation files of folder that no game of games names: those
// of games deleted, or of texts since changed. Only at start, before the
// list changes, when the games file was read.
void RemoveUnusedQuotationFiles(const QString &folder, const QList<GameRecord> &games);

// The list a start shows: the file's games, with duplicated or missing ids
// replaced and duplicated names made unique, and the game on screen (screen,
// as the store holds it) in its place: over its entry when the file has its
// id, otherwise added at the end with a name of its own (a store of an older
// version, or a file lost). Returns the index of the game on screen.
qsizetype AssembleGames(QList<GameRecord> &games, GameRecord screen);

} // namespace lexorne::settings
