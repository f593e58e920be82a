// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: `lexorne --lettres LETTRES [--log [--absentes]]
// [--entourer LETTRE --couleur COULEUR] [--forum PROFIL] [FICHIER]` masks a quotation without a
// window, for scripts and forum bots; `--qui`, `--essai` and `--reveler` play the whole
// game (game/game.h); `--parties` lists the stored games and `--partie NOM` posts one of
// them; `--help` and `--version` answer without one too.
//
// Qt Core only: no application object, no running copy, and the store only
// read, quietly. The program's main() asks opensWindow() first and hands
// everything else to run().
#pragma once

#include "engine/engine.h"
#include "engine/utf8.h"
#include "forum/forum.h"
#include "game/game.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace lexorne::cli {

// Exit statuses.
inline constexpr int kSuccess = 0;
inline constexpr int kBadInput = 1;
inline constexpr int kBadUsage = 2;

// Whether these arguments (program name excluded) start the window: none at
// all, or only Qt's own window options (-platform xcb, -style fusion,
// -session id, -reverse...). Anything else is the command line's.
bool opensWindow(const QStringList &arguments);

// What the command line was asked to do.
struct Request
{
    enum class Action
    {
        Help,
        Version,
        Mask,
        ListGames, // --parties
        PostGame,  // --partie NOM
    };
    Action action = Action::Help;
    Board board;              // the letters given to --lettres, ticked
    LogOptions log;           // --log, --absentes
    int highlightLetter = -1; // --entourer: 0 ('A') .. 25, or -1 for none
    int colour = -1;          // --couleur: palette index, -1 with no --entourer
    forum::Profile forum = forum::Profile::BBCode; // --forum
    QString file;                                  // empty or "-" for standard input
    QString game;                                  // --partie: the stored game's name
    // The whole game: --qui and --essai in the order given, --erreurs-max,
    // the lines --erreurs and --resultats, --reveler and --spoiler.
    game::Ledger ledger;
    int missLimit = 0;
    game::GameLines lines;
    bool reveal = false;
    bool spoiler = false;
    bool redditSpoiler = false; // --spoiler=reddit

    // Whether the game's functions make the post rather than the masking
    // alone, which can stream.
    bool playsGame() const { return reveal || lines.misses || lines.results; }
};

// A request, or the one-line French message of a usage error.
struct Parsed
{
    std::optional<Request> request;
    QString error;
};

// Reads the arguments (program name excluded) as QCommandLineParser does.
Parsed parseArguments(const QStringList &arguments);

// Palette index of a colour named as in the colour list, ignoring case,
// accents and the spelling of the gap ("rouge fonce", "ROUGE-FONCÉ").
std::optional<int> colourIndex(QStringView name);

// "Rouge foncé, Rouge, ..., Noir": the valid names, for messages and help.
QString colourList();

// Box index (0 for 'A') of a letter A-Z in either case.
std::optional<int> letterIndex(QChar c);

// Byte offset of the first byte that is not part of well-formed UTF-8
// (overlong forms, surrogates and code points past U+10FFFF are not), or
// nothing when all of bytes is well formed: the engine's.
using lexorne::firstInvalidUtf8;

// What the window would show for this quotation: the masked text (and log),
// then the highlight when one is asked for; UTF-8. The command line itself
// works block by block (cli/filter.h) and gives the same bytes.
QByteArray render(const Request &request, const QString &quotation);

// For a whole game (playsGame()), what the window makes of the quotation:
// the rendered text, which the forum and "Go !" then write as for a plain
// masking, or the reveal, already written for the forum. render() gives the
// finished post.
QString renderGame(const Request &request, const QString &quotation);

// What the stored games give (cli/storedgames.cpp): the names, one a line
// (--parties), or the game's post as "On y va !" would make it with its
// stored board and the request's options (--partie). Nothing, with the
// French line, when the store cannot be read or holds no such game.
struct StoredOutput
{
    std::optional<QByteArray> text;
    QString error;
};
StoredOutput listStoredGames();
StoredOutput postStoredGame(const Request &request);

// The French usage text of --help, and the line of --version.
QString helpText();
QString versionText();

// Runs the command line on the process's standard streams and returns the
// exit status.
int run(const QStringList &arguments);

// The arguments of main() as text, program name excluded.
QStringList argumentList(int argc, char *argv[]);

} // namespace lexorne::cli
