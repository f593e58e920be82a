// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The stored games, read for --parties and --partie. The store is read
// before the games file: the window writes a game into the file before it
// replaces the game on screen in the store, so a store read first never
// meets a file older than itself, and each of the two files is replaced
// whole, so each read sees one state of it. A quotation file is read only
// for the game asked for.
#include "cli/cli.h"

#include "settings/gamesfile.h"
#include "settings/settings.h"

using namespace Qt::StringLiterals;

namespace lexorne::cli {

namespace {

struct Games
{
    std::optional<QList<settings::GameRecord>> games;
    QString error;
    QString path; // of the games file
};

Games readGames()
{
    settings::QuietRead screen = settings::ReadStoreQuietly();
    if (!screen.game)
        return {std::nullopt, screen.error, {}};
    const QString path = settings::GamesFilePath(screen.location);
    settings::ReadResult file = settings::ReadGamesFile(path);
    if (!file.games)
        return {
            std::nullopt,
            u"les parties enregistrées n'ont pas pu être lues (%1) : %2"_s.arg(path, file.error),
            {}};
    settings::GameRecord onScreen;
    onScreen.id = screen.id;
    onScreen.quotation = std::move(screen.game->quotation);
    onScreen.letters = screen.game->letters;
    onScreen.ledger = screen.game->ledger.value_or(QString());
    settings::AssembleGames(*file.games, std::move(onScreen));
    return {std::move(file.games), {}, path};
}

} // namespace

StoredOutput listStoredGames()
{
    const Games read = readGames();
    if (!read.games)
        return {std::nullopt, read.error};
    QString names;
    for (const settings::GameRecord &game : *read.games)
        names += game.name + u'\n';
    return {names.toUtf8(), {}};
}

StoredOutput postStoredGame(const Request &request)
{
    const Games read = readGames();
    if (!read.games)
        return {std::nullopt, read.error};
    // Names are unique without regard to case, as the window keeps them.
    const QString wanted = request.game.trimmed();
    for (settings::GameRecord game : *read.games) {
        if (game.name.compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        // A quotation file is written before the list that names it and
        // never changed: the one named is there, whole.
        if (const QString error = settings::LoadQuotation(read.path, game); !error.isEmpty())
            return {std::nullopt,
                    u"la partie « %1 » n'a pas pu être lue : %2"_s.arg(game.name, error)};
        Request stored = request;
        stored.board.states = game.letters;
        if (const std::optional<game::StoredLedger> ledger = game::ReadLedger(game.ledger)) {
            stored.ledger = ledger->ledger;
            stored.missLimit = ledger->missLimit;
        }
        return {render(stored, game.quotation), {}};
    }
    return {std::nullopt,
            u"aucune partie ne s'appelle « %1 » (voir lexorne --parties)"_s.arg(request.game)};
}

} // namespace lexorne::cli
