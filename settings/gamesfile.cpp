// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/gamesfile.h"

#include "version/version.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace lexorne::settings {

namespace {

const QString kFileName = u"Lexorne-parties.json"_s;

struct Bytes
{
    QByteArray data;
    QString error; // empty when read
    bool missing = false;
};

// The whole file, its size checked before a byte is parsed.
Bytes readBounded(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {{}, {}, true};
    if (!file.open(QIODevice::ReadOnly))
        return {{},
                u"le fichier des parties ne peut pas être ouvert (%1)"_s.arg(file.errorString())};
    if (file.size() > kMaxGamesFileBytes)
        return {{}, u"le fichier des parties dépasse %1 Mio"_s.arg(kMaxGamesFileBytes >> 20)};
    Bytes bytes;
    bytes.data = file.read(kMaxGamesFileBytes + 1);
    if (bytes.data.size() > kMaxGamesFileBytes)
        return {{}, u"le fichier des parties dépasse %1 Mio"_s.arg(kMaxGamesFileBytes >> 20)};
    return bytes;
}

QString asideName(const QString &path)
{
    const QString base =
        path + u".unreadable-"_s + QDateTime::currentDateTimeUtc().toString(u"yyyyMMdd-hhmmss"_s);
    QString candidate = base;
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = base + u'-' + QString::number(n);
    return candidate;
}

} // namespace

QString GamesFilePath(const QString &storeLocation)
{
    const QFileInfo store(storeLocation);
    if (!storeLocation.isEmpty() && store.isAbsolute() && !storeLocation.startsWith(u'\\'))
        return store.absolutePath() + u'/' + kFileName;
    // The registry: where the lock beside the store lives too.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' +
           QString::fromLatin1(kOrganization) + u'/' + kFileName;
}

ReadResult ReadGamesFile(const QString &path)
{
    const Bytes bytes = readBounded(path);
    if (bytes.missing)
        return {QList<GameRecord>(), {}};
    if (!bytes.error.isEmpty())
        return {std::nullopt, bytes.error};
    return ReadGames(bytes.data, true);
}

LoadedGames LoadGamesFile(const QString &path)
{
    LoadedGames loaded;
    ReadResult read = ReadGamesFile(path);
    if (read.games) {
        loaded.games = std::move(*read.games);
        RemoveUnusedQuotationFiles(QuotationsFolder(path), loaded.games);
        return loaded;
    }
    loaded.error = read.error;
    const QString aside = asideName(path);
    if (QFile::rename(path, aside))
        loaded.setAsidePath = aside;
    else
        loaded.unusable = true;
    return loaded;
}

bool WriteGamesFile(const QString &path, const QList<GameRecord> &games)
{
    const QFileInfo info(path);
    if (!info.dir().exists() &&
        !QDir().mkdir(info.absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!file.setPermissions(QFile::ReadOwner | QFile::WriteOwner))
        return false;
    const QByteArray json = WriteGames(games, true);
    if (file.write(json) != json.size())
        return false;
    return file.commit();
}

qsizetype AssembleGames(QList<GameRecord> &games, GameRecord screen)
{
    QSet<QString> ids;
    QStringList names;
    for (GameRecord &game : games) {
        if (game.id.isEmpty() || ids.contains(game.id))
            game.id = NewGameId();
        ids.insert(game.id);
        game.name = UniqueGameName(game.name, names);
        names << game.name;
    }
    if (!screen.id.isEmpty()) {
        for (qsizetype i = 0; i < games.size(); ++i) {
            if (games[i].id != screen.id)
                continue;
            screen.name = games[i].name;
            games[i] = std::move(screen);
            return i;
        }
    }
    if (screen.id.isEmpty() || ids.contains(screen.id))
        screen.id = NewGameId();
    const QString name =
        screen.quotation.trimmed().isEmpty() ? u"Partie"_s : NameFromQuotation(screen.quotation);
    screen.name = UniqueGameName(name, names);
    games.append(std::move(screen));
    return games.size() - 1;
}

} // namespace lexorne::settings
