// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Several games: what one game of the list holds, how games are named, the
// versioned JSON that keeps them (the games file beside the store and the
// files that "Exporter la partie…" writes), and the reading of a text file
// of quotations into new games. Pure functions; the games file on disk is
// settings/gamesfile.h.
#pragma once

#include "engine/board.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>

namespace lexorne::settings {

// A name is a label in a list: one line, at most this long.
inline constexpr qsizetype kMaxGameNameLength = 100;
// The JSON's "version"; a file with a higher one comes from a newer Lexorne.
inline constexpr int kGamesFormatVersion = 1;
// A games or export file larger than this is not parsed at all.
inline constexpr qint64 kMaxGamesFileBytes = qint64{128} * 1024 * 1024;
// The most games a list or a file holds.
inline constexpr qsizetype kMaxGames = 20000;
// A file of quotations: at most this many quotations, this many bytes, and
// this many characters in one quotation.
inline constexpr qsizetype kMaxImportedQuotations = 10000;
inline constexpr qint64 kMaxQuotationsFileBytes = qint64{64} * 1024 * 1024;
inline constexpr qsizetype kMaxImportedQuotationLength = 1000000;

struct GameRecord
{
    // Never shown: ties the game held in the store's usual keys to its
    // entry in the list. Unique within the list.
    QString id;
    QString name;
    QString quotation;
    // A game of the games file that is not on screen keeps its quotation in
    // a file of its own (settings/gamesfile.h), named here; quotation is
    // then empty until read from it.
    QString textFile;
    std::array<LetterState, kLetterCount> letters{};
    // The whole game's ledger as the store keeps it (JSON text), and the
    // forum profile's name; empty when the game has none. Kept as they
    // came: their owners read them.
    QString ledger;
    QString profile;

    friend bool operator==(const GameRecord &, const GameRecord &) = default;
};

// A name as typed: the name to keep (spaces around it dropped), or the
// French message saying why it cannot be one.
struct CheckedName
{
    QString name;
    QString error; // empty when the name is good
};
CheckedName CheckGameName(QStringView typed);

// name, or "name (2)", "name (3)"… : the first that no name of taken holds
// (compared without regard to case), shortened if need be to stay within
// kMaxGameNameLength.
QString UniqueGameName(const QString &name, const QStringList &taken);

// A name for a game made from a quotation: its first words, on one line,
// "…" when cut; "Citation" for a quotation with no word.
QString NameFromQuotation(QStringView quotation);

// A new, random id.
QString NewGameId();

// A quotation as its file holds it (UTF-8, extended to lone surrogates as
// the store keeps them), and the file's name: the SHA-256 of those bytes in
// lower-case hex. A name says what its file holds, so such a file is written
// once and never changed, and two games with one quotation share it.
QByteArray QuotationBytes(const QString &quotation);
QString QuotationFileName(const QString &quotation);
bool IsQuotationFileName(QStringView name);

// The games as JSON (format in docs/store.md). The ids, and the names of
// quotation files in place of the quotations they hold, are written only for
// the games file: an export leaves ids out (an import makes new ones) and
// must be given every quotation.
QByteArray WriteGames(const QList<GameRecord> &games, bool forGamesFile);

// Games read from JSON, checked (version, types, lengths, letters); or the
// one-line French message saying what is wrong and where. A file of a newer
// format is refused (newer set), never half read. Names are checked but not
// made unique; a game without an id gets none. A game that names its
// quotation's file instead of holding it is read only from the games file
// (forGamesFile); elsewhere it has no quotation, which is a fault.
struct ReadResult
{
    std::optional<QList<GameRecord>> games;
    QString error;
    bool newer = false;
};
ReadResult ReadGames(QByteArrayView json, bool forGamesFile = false);

// A text file of quotations, as "Importer des citations…" reads it: UTF-8
// with or without a byte order mark, lines ended by LF or CR LF, quotations
// separated by blank lines. Each quotation comes with the line it starts on.
// A file that is not UTF-8, holds no quotation or too many, or a quotation
// too long, gives the French message naming the line instead.
struct ImportedQuotation
{
    QString text;
    qsizetype line = 0;
};
struct SplitResult
{
    std::optional<QList<ImportedQuotation>> quotations;
    QString error;
};
SplitResult SplitQuotations(QByteArrayView bytes);

} // namespace lexorne::settings
