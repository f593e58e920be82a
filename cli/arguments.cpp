// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the command line: which mode, which request, and the French texts
// of help, version and usage errors.
#include "cli/cli.h"
#include "cli/stdio.h"
#include "cli/windowoptions.h"

#include "forum/forum.h"
#include "highlight/highlight.h"
#include "version/version.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <vector>

using namespace Qt::StringLiterals;

namespace lexorne::cli {

namespace {

// "-style", "--style" or "-style=fusion" as "style", "style=fusion".
QStringView optionWord(QStringView argument)
{
    if (argument.startsWith(u"--"))
        return argument.mid(2);
    if (argument.startsWith(u'-'))
        return argument.mid(1);
    return {};
}

const QString kLetters = u"lettres"_s;
const QString kLog = u"log"_s;
const QString kAbsent = u"absentes"_s;
const QString kSurround = u"entourer"_s;
const QString kColour = u"couleur"_s;
const QString kForum = u"forum"_s;
const QString kWho = u"qui"_s;
const QString kGuess = u"essai"_s;
const QString kMissLimit = u"erreurs-max"_s;
const QString kMisses = u"erreurs"_s;
const QString kResults = u"resultats"_s;
const QString kReveal = u"reveler"_s;
const QString kSpoiler = u"spoiler"_s;
const QString kGames = u"parties"_s;
const QString kGame = u"partie"_s;
const QString kHelp = u"help"_s;
const QString kVersion = u"version"_s;

QString option(const QString &name)
{
    return (name.size() == 1 ? u"-"_s : u"--"_s) + name;
}

// The quoted name in QCommandLineParser's own (English) error text, which
// has no other way to say which option lacks its value.
QString quotedName(const QString &errorText)
{
    static const QRegularExpression quoted(u"'([^']*)'"_s);
    return quoted.match(errorText).captured(1);
}

// An option as the user wrote it ("-platform" stays "-platform").
QString asWritten(const QStringList &arguments, const QString &name)
{
    for (const QString &argument : arguments) {
        const QStringView word = optionWord(argument);
        if (word == name || word.startsWith(name + u'='))
            return argument.left(argument.size() - word.size()) + name;
        if (argument == u"--"_s)
            break;
    }
    return option(name);
}

QString parserError(const QCommandLineParser &parser, const QStringList &arguments)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return u"option inconnue : %1 (voir lexorne --help)"_s.arg(
            asWritten(arguments, unknown.first()));
    const QString text = parser.errorText();
    const QString name = quotedName(text);
    if (text.startsWith(u"Missing"_s))
        return u"l'option %1 demande une valeur (voir lexorne --help)"_s.arg(name);
    if (text.startsWith(u"Unexpected"_s))
        return u"l'option %1 ne prend pas de valeur"_s.arg(name);
    return u"ligne de commande invalide : %1"_s.arg(text);
}

// Folds what a user may type differently: case, accents, and a gap written
// as spaces, '-' or '_'.
QString folded(QStringView name)
{
    const QString decomposed = name.trimmed().toString().normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    bool gap = false;
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c.isSpace() || c == u'-' || c == u'_') {
            gap = true;
            continue;
        }
        if (gap && !out.isEmpty())
            out += u' ';
        gap = false;
        out += c.toCaseFolded();
    }
    return out;
}

// --qui and --essai, in the order given: the ledger, and the letters it
// ticks. Returns the usage error, or nothing.
QString readLedger(const QCommandLineParser &parser, Request &request)
{
    const QStringList credits = parser.values(kWho);
    const QStringList guesses = parser.values(kGuess);
    qsizetype nextCredit = 0;
    qsizetype nextGuess = 0;
    std::array<bool, kLetterCount> credited{};
    for (const QString &name : parser.optionNames()) {
        if (name == kWho) {
            const QString &value = credits[nextCredit++];
            const std::optional<int> letter =
                value.size() >= 2 && value[1] == u'=' ? letterIndex(value[0]) : std::nullopt;
            if (!letter)
                return u"--qui : « %1 » n'a pas la forme LETTRE=JOUEUR (E=Alice)"_s.arg(value);
            if (credited[*letter])
                return u"--qui : la lettre %1 est déjà attribuée"_s.arg(QChar(u'A' + *letter));
            const game::CheckedName player = game::CheckName(QStringView(value).mid(2));
            if (!player.error.isEmpty())
                return u"--qui : "_s + player.error;
            credited[*letter] = true;
            request.board.states[*letter] = LetterState::Ticked;
            request.ledger.append(game::Entry::credit(*letter, player.name));
        } else if (name == kGuess) {
            const QString &value = guesses[nextGuess++];
            const qsizetype equals = value.indexOf(u'=');
            if (equals < 0)
                return u"--essai : « %1 » n'a pas la forme JOUEUR=TEXTE"_s.arg(value);
            const game::CheckedName player = game::CheckName(QStringView(value).left(equals));
            if (!player.error.isEmpty())
                return u"--essai : "_s + player.error;
            request.ledger.append(game::Entry::guess(player.name, value.mid(equals + 1)));
        }
    }
    return {};
}

QString describe(QChar c)
{
    if (c.isPrint() && !c.isSpace())
        return u"« %1 »"_s.arg(c);
    return u"U+%1"_s.arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'));
}

// Words laid out in lines of at most `width` columns, the first line starting
// at column `first`, the others indented by `indent`; a colour's name is
// never cut ("Rouge foncé").
QString wrapped(const QString &text, int first, int width, int indent)
{
    QString out;
    int column = first;
    const QStringList items = text.split(u", "_s);
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString item = items[i] + (i + 1 < items.size() ? u","_s : QString());
        const int size = int(item.size());
        if (i > 0 && column + 1 + size > width) {
            out += u'\n' + QString(indent, u' ');
            column = indent;
        } else if (i > 0) {
            out += u' ';
            ++column;
        }
        out += item;
        column += size;
    }
    return out;
}

} // namespace

bool opensWindow(const QStringList &arguments)
{
    // As bytes, the way the program users start decides it.
    std::vector<QByteArray> bytes;
    bytes.reserve(std::size_t(arguments.size()));
    std::vector<const char *> pointers;
    pointers.reserve(std::size_t(arguments.size()));
    for (const QString &argument : arguments)
        pointers.push_back(bytes.emplace_back(detail::fileNameBytes(argument)).constData());
    return opensWindow(int(pointers.size()), pointers.data());
}

std::optional<int> letterIndex(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'A' && u <= u'Z')
        return u - u'A';
    if (u >= u'a' && u <= u'z')
        return u - u'a';
    return std::nullopt;
}

std::optional<int> colourIndex(QStringView name)
{
    const QString wanted = folded(name);
    const QStringList names = highlight::colourNames();
    for (int i = 0; i < names.size(); ++i)
        if (folded(names[i]) == wanted)
            return i;
    return std::nullopt;
}

QString colourList()
{
    return highlight::colourNames().join(u", "_s);
}

Parsed parseArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-lettres" reads as "--lettres", and an unknown "-xyz" is named whole.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({
        {{u"h"_s, kHelp}, {}},
        {{u"v"_s, kVersion}, {}},
        {kLetters, {}, u"LETTRES"_s},
        {kLog, {}},
        {kAbsent, {}},
        {kSurround, {}, u"LETTRE"_s},
        {kColour, {}, u"COULEUR"_s},
        {kForum, {}, u"PROFIL"_s},
        {kWho, {}, u"LETTRE=JOUEUR"_s},
        {kGuess, {}, u"JOUEUR=TEXTE"_s},
        {kMissLimit, {}, u"N"_s},
        {kMisses, {}},
        {kResults, {}},
        {kReveal, {}},
        {kSpoiler, {}},
        {kGames, {}},
        {kGame, {}, u"NOM"_s},
    });
    // QCommandLineParser has no option with an optional value: "--spoiler=STYLE"
    // is read here as "--spoiler" and its style.
    QStringList given{u"lexorne"_s};
    std::optional<QString> spoilerStyle;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString argument = arguments[i];
        if (argument == u"--"_s) {
            given += arguments.sliced(i);
            break;
        }
        for (const QString &prefix : {u"--"_s + kSpoiler + u'=', u"-"_s + kSpoiler + u'='}) {
            if (argument.startsWith(prefix)) {
                spoilerStyle = argument.sliced(prefix.size());
                argument = u"--"_s + kSpoiler;
                break;
            }
        }
        given += argument;
    }
    if (!parser.parse(given))
        return {std::nullopt, parserError(parser, arguments)};

    Request request;
    if (parser.isSet(kHelp))
        return {request, {}};
    if (parser.isSet(kVersion)) {
        request.action = Request::Action::Version;
        return {request, {}};
    }

    for (const QString &name : {kLetters, kLog, kAbsent, kSurround, kColour, kForum, kMissLimit,
                                kMisses, kResults, kReveal, kSpoiler, kGames, kGame})
        if (parser.optionNames().count(name) > 1)
            return {std::nullopt, u"l'option %1 est donnée plusieurs fois"_s.arg(option(name))};

    const QStringList files = parser.positionalArguments();
    if (parser.isSet(kGames)) {
        for (const QString &name : parser.optionNames())
            if (name != kGames)
                return {std::nullopt,
                        u"l'option --parties ne se combine pas avec %1"_s.arg(option(name))};
        if (!files.isEmpty())
            return {std::nullopt,
                    u"l'option --parties ne lit pas de fichier : « %1 » est de trop"_s.arg(
                        files.first())};
        request.action = Request::Action::ListGames;
        return {request, {}};
    }
    if (parser.isSet(kGame)) {
        // The stored game brings its quotation and its board.
        for (const QString &name : {kLetters, kWho, kGuess})
            if (parser.isSet(name))
                return {std::nullopt, u"--partie et %1 s'excluent : la citation et les lettres "
                                      u"sont celles de la partie"_s.arg(option(name))};
        if (!files.isEmpty())
            return {std::nullopt,
                    u"--partie ne lit pas de fichier : « %1 » est de trop"_s.arg(files.first())};
        request.game = parser.value(kGame);
    } else if (!parser.isSet(kLetters) && !parser.isSet(kWho)) {
        // Letters credited with --qui are ticked as by --lettres.
        // Highlighting the bare quotation would show the whole answer.
        for (const QString &name : {kLog, kAbsent, kSurround, kColour, kForum, kGuess, kMissLimit,
                                    kMisses, kResults, kReveal, kSpoiler})
            if (parser.isSet(name)) {
                // The whole game's options may take their letters from --qui.
                const bool ofTheGame = name == kGuess || name == kMissLimit || name == kMisses ||
                                       name == kResults || name == kReveal || name == kSpoiler;
                return {std::nullopt, u"l'option %1 demande --lettres%2"_s.arg(
                                          option(name), ofTheGame ? u" ou --qui"_s : QString())};
            }
        if (!files.isEmpty())
            return {std::nullopt, u"que faire de « %1 » ? Indiquez --lettres LETTRES "
                                  u"(voir lexorne --help)"_s.arg(files.first())};
        return {std::nullopt, u"rien à faire : indiquez --lettres LETTRES (voir lexorne --help)"_s};
    }

    request.action = parser.isSet(kGame) ? Request::Action::PostGame : Request::Action::Mask;
    const QString letters = parser.value(kLetters);
    for (const QChar c : letters)
        if (!letterIndex(c))
            return {std::nullopt,
                    u"--lettres : %1 n'est pas une lettre de A à Z"_s.arg(describe(c))};
    request.board = Board::fromLetters(letters);
    if (const QString error = readLedger(parser, request); !error.isEmpty())
        return {std::nullopt, error};
    // The absent letters, the misses and the results are lines of the log, as
    // in the window.
    for (const QString &name : {kAbsent, kMisses, kResults})
        if (parser.isSet(name) && !parser.isSet(kLog))
            return {std::nullopt, u"l'option %1 demande --log"_s.arg(option(name))};
    request.log = {.letterLog = parser.isSet(kLog), .absentLetters = parser.isSet(kAbsent)};
    request.lines = {.misses = parser.isSet(kMisses), .results = parser.isSet(kResults)};
    if (parser.isSet(kMissLimit)) {
        const QString value = parser.value(kMissLimit);
        bool number = false;
        const int limit = value.toInt(&number);
        if (!number || limit < 0 || limit > game::kMaxMissLimit)
            return {std::nullopt, u"--erreurs-max : « %1 » n'est pas un nombre de 0 à %2 "
                                  u"(0 : pas de limite)"_s.arg(value)
                                      .arg(game::kMaxMissLimit)};
        request.missLimit = limit;
    }
    request.reveal = parser.isSet(kReveal);
    request.spoiler = parser.isSet(kSpoiler);
    if (request.spoiler && !request.reveal)
        return {std::nullopt, u"l'option --spoiler demande --reveler"_s};
    if (request.reveal && parser.isSet(kSurround))
        return {std::nullopt, u"--reveler et --entourer ne vont pas ensemble : la révélation "
                              u"marque déjà les lettres cachées"_s};

    if (parser.isSet(kForum)) {
        const std::optional<forum::Profile> profile = forum::profileFromName(parser.value(kForum));
        if (!profile)
            return {std::nullopt, u"--forum : profil inconnu « %1 » ; profils possibles : %2"_s.arg(
                                      parser.value(kForum), forum::profileNames().join(u", "_s))};
        request.forum = *profile;
    }
    if (spoilerStyle) {
        const QString style = spoilerStyle->trimmed().toLower();
        if (style == u"reddit"_s && request.forum == forum::Profile::Markdown)
            request.redditSpoiler = true;
        else if (style == u"reddit"_s)
            return {std::nullopt, u"--spoiler=reddit demande --forum markdown"_s};
        else if (style != u"forum"_s)
            return {std::nullopt, u"--spoiler : style inconnu « %1 » ; styles possibles : "
                                  u"forum, reddit"_s.arg(*spoilerStyle)};
    }

    if (files.size() > 1)
        return {std::nullopt, u"un seul fichier à la fois : « %1 » est de trop"_s.arg(files[1])};
    if (!files.isEmpty())
        request.file = files.first();

    if (request.reveal) {
        // --couleur alone picks the colour of the reveal.
        if (parser.isSet(kColour)) {
            const std::optional<int> colour = colourIndex(parser.value(kColour));
            if (!colour)
                return {std::nullopt,
                        u"--couleur : couleur inconnue « %1 » ; couleurs possibles : %2"_s.arg(
                            parser.value(kColour), colourList())};
            request.colour = *colour;
        }
        return {request, {}};
    }
    // Markdown has no colour: there the letter goes in bold, --couleur or not.
    const bool colourless = forum::isMarkdown(request.forum);
    if (parser.isSet(kSurround) != parser.isSet(kColour) &&
        !(colourless && parser.isSet(kSurround))) {
        return {std::nullopt, parser.isSet(kSurround)
                                  ? u"--entourer demande --couleur (%1)"_s.arg(colourList())
                                  : u"--couleur demande --entourer LETTRE ou --reveler"_s};
    }
    if (parser.isSet(kSurround)) {
        // One letter, or its entry as the window's list shows it ("E/e").
        const QString letter = parser.value(kSurround);
        const bool entry =
            letter.size() == 3 && letter[1] == u'/' && letter[0].toLower() == letter[2].toLower();
        const std::optional<int> index =
            (letter.size() == 1 || entry) ? letterIndex(letter[0]) : std::nullopt;
        if (!index)
            return {std::nullopt,
                    u"--entourer : « %1 » n'est pas une lettre de A à Z"_s.arg(letter)};
        const std::optional<int> colour =
            parser.isSet(kColour) ? colourIndex(parser.value(kColour)) : std::optional<int>(-1);
        if (!colour)
            return {std::nullopt,
                    u"--couleur : couleur inconnue « %1 » ; couleurs possibles : %2"_s.arg(
                        parser.value(kColour), colourList())};
        request.highlightLetter = *index;
        request.colour = *colour;
    }
    return {request, {}};
}

QString versionText()
{
    return QString::fromLatin1(kApplicationTitle) + u' ' + QString::fromLatin1(kVersionString) +
           u'\n';
}

QString helpText()
{
    return uR"(Utilisation : lexorne [--lettres LETTRES [--log [--absentes]]
                       [--entourer LETTRE --couleur COULEUR] [--forum PROFIL]
                       [FICHIER]]
       lexorne --lettres LETTRES|--qui LETTRE=JOUEUR...
               [--essai JOUEUR=TEXTE]... [--erreurs-max N]
               [--log [--erreurs] [--resultats]]
               [--reveler [--spoiler[=STYLE]] [--couleur COULEUR]]
               [--forum PROFIL]
               [FICHIER]
       lexorne --partie NOM [--log [--absentes] [--erreurs] [--resultats]]
               [--entourer LETTRE --couleur COULEUR] [--reveler [--spoiler]]
               [--forum PROFIL]
       lexorne --parties

Sans argument, lexorne ouvre la fenêtre du jeu. Avec --lettres, il masque la
citation lue dans FICHIER (ou sur l'entrée standard, si FICHIER est absent ou
vaut « - ») et écrit le résultat sur la sortie standard, sans fenêtre : chaque
lettre non proposée devient « * », comme avec « On y va ! ». Entrée et sortie
sont en UTF-8 ; rien n'est ajouté au résultat, pas même un saut de ligne.

Options :
  -h, --help             Affiche cette aide et quitte.
  -v, --version          Affiche la version et quitte.
  --lettres LETTRES      Les lettres proposées, de A à Z, en majuscules ou en
                         minuscules, dans n'importe quel ordre (« aenrst »).
                         Les lettres accentuées suivent leur lettre de base.
                         « --lettres "" » masque toutes les lettres.
  --log                  Ajoute le log des lettres demandées : trois retours
                         chariot, puis les lettres proposées (« E - N »).
  --absentes             Ajoute au log les lettres proposées que la citation
                         ne contient pas, après un retour chariot
                         (« Absentes : K - W (2) ») ; rien quand il n'y en a
                         aucune. Demande --log.
  --entourer LETTRE      Entoure chaque LETTRE du résultat (et ses formes
                         accentuées) d'une balise de couleur, comme « Go ! ».
                         Demande --couleur.
  --couleur COULEUR      La couleur de --entourer, nommée comme dans la liste
                         de la fenêtre, sans tenir compte des majuscules ni des
                         accents : %1.
  --forum PROFIL         Écrit le résultat pour le forum où il sera publié :
                         « bbcode » (par défaut) : tel quel, couleurs nommées
                         ([color=red]) ; « bbcode-hex » : couleurs en
                         #rrggbb (MyBB) ; « markdown » (Discourse, Reddit,
                         GitHub, GitLab) et « discord » : chaque caractère que
                         le forum lirait comme une mise en forme est échappé,
                         chaque saut de ligne est gardé, et --entourer met la
                         lettre en gras (--couleur y est facultatif). Vaut
                         pour --log, --absentes et --entourer.
  --parties              Liste les parties enregistrées, un nom par ligne.
  --partie NOM           Prend la citation et les lettres cochées de la partie
                         enregistrée NOM (majuscules indifférentes) au lieu de
                         --lettres et de FICHIER. Lit la partie sans jamais
                         l'écrire, même quand la fenêtre est ouverte.

Toute une partie :
  --qui LETTRE=JOUEUR    Coche LETTRE et l'attribue à JOUEUR (« E=Alice ») ;
                         à répéter, dans l'ordre de la partie. Une lettre
                         rapporte autant de points que la citation en compte.
  --essai JOUEUR=TEXTE   Une proposition de toute la citation par JOUEUR, à
                         sa place dans l'ordre de la partie : juste (lettre
                         pour lettre, sans tenir compte des majuscules, des
                         accents, des espaces, de la ponctuation ni des
                         chiffres ; œ vaut oe, æ ae), elle rapporte les
                         lettres encore cachées ; fausse, c'est une erreur.
  --erreurs-max N        La limite d'erreurs, de 1 à 999 (0 : aucune).
  --erreurs              Ajoute au log « Erreurs : 3 », ou « Erreurs : 3/10 »
                         avec une limite. Une erreur est une lettre
                         attribuée (--qui) absente de la citation, ou une
                         proposition fausse. Demande --log.
  --resultats            Ajoute au log « Résultats : Alice 12 pts, Bob 1 pt
                         (2 erreurs) », par points, puis par erreurs, puis
                         par ordre d'arrivée. Demande --log.
  --reveler              Écrit toute la citation, chaque lettre encore cachée
                         en couleur (--couleur, Rouge foncé sinon ; en gras
                         en Markdown), puis le log demandé.
  --spoiler[=STYLE]      Cache la citation révélée sous un spoiler du forum
                         (style « forum ») : [spoiler]...[/spoiler] en
                         BBCode, ||...|| sur Discord, un bloc <details> en
                         Markdown ; « reddit » : >!...!< sur chaque ligne
                         (--forum markdown). Demande --reveler.

Arguments :
  FICHIER                La citation, en UTF-8 ; « - » pour l'entrée standard.

Codes de retour :
  0  succès ;
  1  entrée invalide : fichier introuvable ou illisible, texte qui n'est
     pas de l'UTF-8 (le message donne la position de l'octet fautif), partie
     inconnue ou parties illisibles, ou sortie impossible à écrire (une
     sortie fermée par son lecteur, comme avec « | head », finit sans
     message) ;
  2  mauvaise utilisation : option inconnue, lettre hors de A à Z, couleur
     inconnue, --entourer sans --couleur, nom de joueur vide, de plus de
     40 caractères ou sur plusieurs lignes...
Les messages d'erreur tiennent sur une ligne, sur la sortie d'erreur.
Le texte est lu et écrit par blocs, sans limite de taille : une erreur
trouvée après le premier Mio de sortie laisse écrit ce qui la précède.

Exemples :
  lexorne --lettres aenrst --log citation.txt
  printf '%s' "Le chat" |
    lexorne --lettres e --entourer e --couleur "rouge fonce" --forum bbcode-hex
  lexorne --lettres aenrst --log --forum markdown citation.txt
  lexorne --partie "Citations d'hiver #12" --log
  lexorne --qui e=Alice --essai "Chloé=Le chat" --log --resultats citation.txt
)"_s.arg(wrapped(colourList(), 35, 80, 25));
}

QStringList argumentList(int argc, char *argv[])
{
    return detail::os::arguments(argc, argv);
}

} // namespace lexorne::cli
