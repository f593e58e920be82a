// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gamelist.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QTimer>
#include <QUndoCommand>
#include <QUndoStack>

#include <utility>

using namespace Qt::StringLiterals;

namespace lexorne {

using settings::GameRecord;

// One change of the list: the list before and after it. Lists share their
// games until one of them changes, so keeping both costs little.
class GameList::Step : public QUndoCommand
{
public:
    Step(GameList &list, const QString &what, State before, State after)
        : QUndoCommand(what), m_list(list), m_before(std::move(before)), m_after(std::move(after))
    {}
    void undo() override { m_list.apply(m_before); }
    void redo() override { m_list.apply(m_after); }

private:
    GameList &m_list;
    State m_before;
    State m_after;
};

namespace {

qsizetype indexOf(const QList<GameRecord> &games, const QString &id)
{
    for (qsizetype i = 0; i < games.size(); ++i)
        if (games[i].id == id)
            return i;
    return -1;
}

QStringList namesOf(const QList<GameRecord> &games)
{
    QStringList names;
    names.reserve(games.size());
    for (const GameRecord &game : games)
        names << game.name;
    return names;
}

// The content of a game, its name and id left as they are.
void setContent(GameRecord &game, const GameRecord &content)
{
    game.quotation = content.quotation;
    game.textFile = content.textFile;
    game.letters = content.letters;
    game.ledger = content.ledger;
    game.profile = content.profile;
}

QByteArray readFile(const QString &path, qint64 limit, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = u"le fichier ne peut pas être ouvert (%1)"_s.arg(file.errorString());
        return {};
    }
    if (file.size() > limit) {
        error = u"le fichier dépasse %1 Mio"_s.arg(limit >> 20);
        return {};
    }
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit)
        error = u"le fichier dépasse %1 Mio"_s.arg(limit >> 20);
    return bytes;
}

} // namespace

GameList::GameList(settings::Store &store, settings::StoreWriter &writer, QUndoStack &undo,
                   Screen screen, QObject *parent)
    : QObject(parent), m_store(store), m_writer(writer), m_undo(undo), m_screen(std::move(screen)),
      m_path(settings::GamesFilePath(store.location()))
{
    connect(&m_writer, &settings::StoreWriter::screenGameChanging, this, &GameList::keepScreenGame);
}

GameList::~GameList()
{
    if (m_loader.joinable())
        m_loader.join();
}

void GameList::load()
{
    if (!m_games.isEmpty() || m_loaded)
        return;
    // Until the file is read, the list is the game on screen alone.
    GameRecord onScreen = m_screen.read();
    m_storedId = m_store.readGameId();
    onScreen.id = m_storedId;
    settings::AssembleGames(m_games, std::move(onScreen));
    m_currentId = m_games.front().id;
    // Read once the window is up: its first drawing waits for nothing of
    // the other games, not even the thread's start.
    QTimer::singleShot(0, this, &GameList::startLoader);
}

void GameList::startLoader()
{
    if (m_loader.joinable() || m_loaded)
        return;
    m_loader = std::thread([this, path = m_path] {
        settings::LoadedGames loaded = settings::LoadGamesFile(path);
        QMetaObject::invokeMethod(
            this, [this, loaded = std::move(loaded)]() mutable { finishLoad(std::move(loaded)); },
            Qt::QueuedConnection);
    });
}

void GameList::finishLoad(settings::LoadedGames read)
{
    if (m_loader.joinable())
        m_loader.join();
    m_unusable = read.unusable;
    if (!read.setAsidePath.isEmpty())
        emit message(u"La liste des parties n'a pas pu être lue (%1).\n"
                     u"Le fichier a été mis de côté sous :\n%2\n"
                     u"La partie à l'écran est gardée."_s.arg(read.error, read.setAsidePath));
    else if (m_unusable)
        emit message(u"La liste des parties n'a pas pu être lue (%1).\n"
                     u"Le fichier est laissé tel quel, et la liste ne sera pas enregistrée "
                     u"pendant cette session."_s.arg(read.error));
    // The store's id, not the one the list made up before: a game the file
    // does not know gets a fresh id, written with the first change.
    GameRecord onScreen = m_screen.read();
    onScreen.id = m_storedId;
    m_written = read.games;
    const qsizetype current = settings::AssembleGames(read.games, std::move(onScreen));
    m_games = std::move(read.games);
    m_currentId = m_games[current].id;
    m_loaded = true;
    emit loaded();
    emit listChanged();
}

qsizetype GameList::current() const
{
    return indexOf(m_games, m_currentId);
}

QString GameList::currentName() const
{
    const qsizetype i = current();
    return i >= 0 ? m_games[i].name : QString();
}

GameList::State GameList::now() const
{
    State state{m_games, m_currentId};
    if (const qsizetype i = current(); i >= 0)
        setContent(state.games[i], m_screen.read());
    return state;
}

void GameList::push(const QString &what, State after)
{
    if (!m_loaded)
        return;
    m_undo.push(new Step(*this, what, now(), std::move(after)));
}

void GameList::apply(const State &state)
{
    // A game changes only while on screen, so the list as it now is, with
    // what the screen holds, has the newest content of every game it
    // knows: typing is not a step of the stack, and must survive undo and
    // redo of any step. A game only the step knows (one deleted) keeps the
    // step's.
    const State fresh = now();
    QHash<QString, qsizetype> at;
    at.reserve(fresh.games.size());
    for (qsizetype i = 0; i < fresh.games.size(); ++i)
        at.insert(fresh.games[i].id, i);
    m_games = state.games;
    for (GameRecord &game : m_games) {
        const auto found = at.constFind(game.id);
        if (found != at.cend() && !(fresh.games[*found] == game))
            setContent(game, fresh.games[*found]);
    }
    // Saved before the next game is shown: showing it writes parts of it
    // to the store, which must by then hold it whole.
    const bool switched = state.currentId != m_currentId;
    m_currentId = state.currentId;
    if (switched)
        readQuotation(m_games[current()]);
    save();
    if (switched)
        m_screen.show(m_games[current()]);
    emit listChanged();
}

void GameList::save()
{
    if (m_unusable)
        return;
    // Only the game on screen keeps its quotation in memory; the others'
    // are in their files, which the list's file names.
    const qsizetype on = current();
    for (qsizetype i = 0; i < m_games.size(); ++i)
        if (i != on)
            stash(m_games[i]);
    // The quotations first, then the list that names them, then the store's
    // keys: a crash between two leaves the game that was on screen there and
    // in the files, and never a name without its file.
    QStringList texts = std::exchange(m_unwrittenTexts, {});
    const bool listChanged = m_games != m_written;
    if (listChanged || !texts.isEmpty()) {
        m_written = m_games;
        m_writer.writeGames(
            [path = m_path, texts = std::move(texts), listChanged,
             games = listChanged ? m_games : QList<GameRecord>()](settings::Store &) {
                const QString folder = settings::QuotationsFolder(path);
                for (const QString &text : texts)
                    if (!settings::WriteQuotationFile(folder, text))
                        return false;
                return !listChanged || settings::WriteGamesFile(path, games);
            });
    }
    if (m_currentId != m_storedId) {
        m_storedId = m_currentId;
        m_writer.writeGames([game = m_games[current()]](settings::Store &store) {
            return store.writeScreenGame(game.id, game.quotation, game.letters, game.ledger);
        });
    }
}

void GameList::stash(GameRecord &game)
{
    if (!game.textFile.isEmpty() && game.quotation.isEmpty())
        return;
    const QString name = settings::QuotationFileName(game.quotation);
    if (name != game.textFile)
        m_unwrittenTexts << game.quotation;
    game.textFile = name;
    game.quotation = QString();
}

QString GameList::readQuotation(GameRecord &game)
{
    if (game.textFile.isEmpty() || !game.quotation.isEmpty())
        return {};
    if (settings::LoadQuotation(m_path, game).isEmpty())
        return {};
    // Perhaps not written yet: the writing thread has it.
    m_writer.waitUntilWritten();
    QString error = settings::LoadQuotation(m_path, game);
    if (!error.isEmpty())
        emit message(u"La citation de la partie « %1 » n'a pas pu être lue (%2).\n"
                     u"La partie s'ouvre sans citation."_s.arg(game.name, error));
    return error;
}

void GameList::keepScreenGame()
{
    // The game on screen when the store held no id for it (a first start, a
    // store of an older version) was named when the list was read; from its
    // first change on, the list and the store keep it under that name and
    // id, so that the next start and the command line find it so. Nothing
    // is written for a start alone.
    if (!m_loaded || m_unusable || m_storedId == m_currentId)
        return;
    m_storedId = m_currentId;
    save();
    m_writer.writeGames(
        [id = m_currentId](settings::Store &store) { return store.writeGameId(id); });
}

QStringList GameList::namesExcept(qsizetype index) const
{
    QStringList names = namesOf(m_games);
    if (index >= 0 && index < names.size())
        names.removeAt(index);
    return names;
}

void GameList::switchTo(qsizetype index)
{
    if (index < 0 || index >= m_games.size() || index == current())
        return;
    State after = now();
    after.currentId = m_games[index].id;
    push(u"Passer à « %1 »"_s.arg(m_games[index].name), std::move(after));
}

void GameList::addNew()
{
    GameRecord game;
    game.id = settings::NewGameId();
    game.name = settings::UniqueGameName(u"Partie"_s, namesOf(m_games));
    State after = now();
    after.games.insert(current() + 1, game);
    after.currentId = game.id;
    push(u"Nouvelle partie"_s, std::move(after));
}

QString GameList::rename(qsizetype index, const QString &typed)
{
    if (index < 0 || index >= m_games.size())
        return {};
    const settings::CheckedName checked = settings::CheckGameName(typed);
    if (!checked.error.isEmpty())
        return checked.error;
    const QString name = settings::UniqueGameName(checked.name, namesExcept(index));
    if (name == m_games[index].name)
        return {};
    State after = now();
    after.games[index].name = name;
    push(u"Renommer « %1 »"_s.arg(m_games[index].name), std::move(after));
    return {};
}

void GameList::duplicate(qsizetype index)
{
    if (index < 0 || index >= m_games.size())
        return;
    State after = now();
    GameRecord copy = after.games[index];
    copy.id = settings::NewGameId();
    copy.name = settings::UniqueGameName(copy.name, namesOf(m_games));
    after.games.insert(index + 1, copy);
    push(u"Dupliquer « %1 »"_s.arg(m_games[index].name), std::move(after));
}

void GameList::remove(qsizetype index)
{
    if (index < 0 || index >= m_games.size() || m_games.size() < 2)
        return;
    State after = now();
    if (index == current())
        after.currentId = after.games[index + 1 < after.games.size() ? index + 1 : index - 1].id;
    after.games.removeAt(index);
    push(u"Supprimer « %1 »"_s.arg(m_games[index].name), std::move(after));
}

QString GameList::addGames(const QString &what, QList<GameRecord> games)
{
    if (!m_loaded)
        return u"la liste des parties n'est pas encore lue"_s;
    if (m_games.size() + games.size() > settings::kMaxGames)
        return u"la liste ne peut pas dépasser %1 parties"_s.arg(settings::kMaxGames);
    State after = now();
    QStringList names = namesOf(after.games);
    for (GameRecord &game : games) {
        game.id = settings::NewGameId();
        game.name = settings::UniqueGameName(game.name, names);
        names << game.name;
        // Into their files with the step, not kept in it.
        stash(game);
        after.games.append(std::move(game));
    }
    push(what, std::move(after));
    return {};
}

QString GameList::importQuotations(const QString &path)
{
    QString error;
    const QByteArray bytes = readFile(path, settings::kMaxQuotationsFileBytes, error);
    if (!error.isEmpty())
        return error;
    settings::SplitResult split = settings::SplitQuotations(bytes);
    if (!split.quotations)
        return split.error;
    QList<GameRecord> games;
    games.reserve(split.quotations->size());
    for (settings::ImportedQuotation &quotation : *split.quotations) {
        GameRecord game;
        game.name = settings::NameFromQuotation(quotation.text);
        game.quotation = std::move(quotation.text);
        games.append(std::move(game));
    }
    const QString what = u"Importer %1 citations"_s.arg(games.size());
    return addGames(what, std::move(games));
}

QString GameList::importGames(const QString &path)
{
    QString error;
    const QByteArray bytes = readFile(path, settings::kMaxGamesFileBytes, error);
    if (!error.isEmpty())
        return error;
    settings::ReadResult read = settings::ReadGames(bytes);
    if (!read.games)
        return read.error;
    if (read.games->isEmpty())
        return u"le fichier ne contient aucune partie"_s;
    const QString what = u"Importer %1 parties"_s.arg(read.games->size());
    return addGames(what, std::move(*read.games));
}

QString GameList::exportGames(const QString &path, bool all) const
{
    const State state = now();
    const qsizetype i = indexOf(state.games, state.currentId);
    QList<GameRecord> games = all ? state.games : QList<GameRecord>{state.games[i]};
    m_writer.waitUntilWritten();
    for (GameRecord &game : games)
        if (const QString error = settings::LoadQuotation(m_path, game); !error.isEmpty())
            return u"la citation de « %1 » n'a pas pu être lue (%2)"_s.arg(game.name, error);
    QSaveFile file(path);
    const QByteArray json = settings::WriteGames(games, false);
    if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit())
        return u"le fichier ne peut pas être écrit (%1)"_s.arg(file.errorString());
    return {};
}

} // namespace lexorne
