// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/gamesfile.h"
#include "settings/settings.h"
#include "settings/storefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

using namespace Qt::StringLiterals;

namespace lexorne::settings {

QString QuotationsFolder(const QString &gamesFile)
{
    const QFileInfo info(gamesFile);
    return info.absolutePath() + u'/' + info.completeBaseName();
}

bool WriteQuotationFile(const QString &folder, const QString &quotation)
{
    const QByteArray bytes = QuotationBytes(quotation);
    const QString path = folder + u'/' + QuotationFileName(quotation);
    // Its name says what it holds: a whole file of that name is this one.
    if (const QFileInfo there(path); there.isFile() && there.size() == bytes.size())
        return true;
    if (!QFileInfo::exists(folder) &&
        !QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner))
        return false;
    return file.write(bytes) == bytes.size() && file.commit();
}

ReadQuotation ReadQuotationFile(const QString &folder, const QString &name)
{
    if (!IsQuotationFileName(name))
        return {std::nullopt, u"le nom du fichier de la citation n'est pas valide"_s};
    QFile file(folder + u'/' + name);
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, u"le fichier de la citation ne peut pas être ouvert (%1)"_s.arg(
                                  file.errorString())};
    const QByteArray bytes = file.read(kMaxStoreBytes + 1);
    if (bytes.size() > kMaxStoreBytes)
        return {std::nullopt,
                u"le fichier de la citation dépasse %1 Mio"_s.arg(kMaxStoreBytes >> 20)};
    QString quotation = Store::decodeQuotation(bytes);
    if (QuotationFileName(quotation) != name)
        return {std::nullopt, u"le fichier de la citation a été abîmé (%1)"_s.arg(file.fileName())};
    return {std::move(quotation), {}};
}

QString LoadQuotation(const QString &gamesFile, GameRecord &game)
{
    if (game.textFile.isEmpty() || !game.quotation.isEmpty())
        return {};
    ReadQuotation read = ReadQuotationFile(QuotationsFolder(gamesFile), game.textFile);
    if (!read.quotation)
        return read.error;
    game.quotation = std::move(*read.quotation);
    return {};
}

void RemoveUnusedQuotationFiles(const QString &folder, const QList<GameRecord> &games)
{
    QSet<QString> used;
    used.reserve(games.size());
    for (const GameRecord &game : games)
        used.insert(game.textFile);
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        if (IsQuotationFileName(name) && !used.contains(name))
            QFile::remove(folder + u'/' + name);
}

} // namespace lexorne::settings
