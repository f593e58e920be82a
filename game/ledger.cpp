// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The ledger's entries, the players' names, and the ledger as stored.
#include "game/game.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace lexorne::game {

namespace {

// Characters that would break a line of a post or hide in it.
bool isControl(char32_t c)
{
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Control || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph || category == QChar::Other_Surrogate;
}

bool hasLoneSurrogate(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            return true;
    }
    return false;
}

QString withoutLoneSurrogates(QString text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

const QString kEntries = u"journal"_s;
const QString kLetter = u"lettre"_s;
const QString kPlayer = u"joueur"_s;
const QString kGuess = u"essai"_s;
const QString kMissLimit = u"erreursMax"_s;
const QString kRevealed = u"revele"_s;

std::optional<Entry> readEntry(const QJsonValue &value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject object = value.toObject();
    const QJsonValue player = object.value(kPlayer);
    if (!player.isString())
        return std::nullopt;
    const QString name = player.toString();
    // Only names this program could have written: checked and kept as checked.
    const bool named = !name.isEmpty();
    if (named) {
        const CheckedName checked = CheckName(name);
        if (!checked.error.isEmpty() || checked.name != name)
            return std::nullopt;
    }
    const QJsonValue letter = object.value(kLetter);
    const QJsonValue guess = object.value(kGuess);
    if (letter.isString() == guess.isString())
        return std::nullopt; // a credit or a guess, never both nor neither
    if (guess.isString())
        return Entry::guess(name, guess.toString());
    const QString text = letter.toString();
    if (!named || text.size() != 1 || text[0] < u'A' || text[0] > u'Z')
        return std::nullopt;
    return Entry::credit(text[0].unicode() - u'A', name);
}

} // namespace

CheckedName CheckName(QStringView typed)
{
    const QString name = typed.trimmed().toString().normalized(QString::NormalizationForm_C);
    if (name.isEmpty())
        return {{}, u"le nom du joueur est vide"_s};
    const QList<uint> characters = name.toUcs4();
    if (hasLoneSurrogate(typed) ||
        std::any_of(characters.cbegin(), characters.cend(), [](uint c) { return isControl(c); }))
        return {{},
                u"le nom du joueur ne peut contenir ni saut de ligne ni caractère de contrôle"_s};
    if (name.size() > kMaxNameLength) {
        // Say which name, without echoing all of it.
        qsizetype cut = 20;
        if (name.at(cut - 1).isHighSurrogate())
            --cut;
        return {{},
                u"un nom de joueur tient en %1 caractères au plus : « %2… » en a %3"_s.arg(
                    QString::number(kMaxNameLength), name.left(cut), QString::number(name.size()))};
    }
    return {name, {}};
}

Entry Entry::credit(int letter, QString player)
{
    return {Kind::Credit, letter, std::move(player), {}};
}

Entry Entry::guess(QString player, QString text)
{
    return {Kind::Guess, -1, std::move(player), withoutLoneSurrogates(std::move(text))};
}

QString WriteLedger(const StoredLedger &stored)
{
    QJsonArray entries;
    for (const Entry &entry : stored.ledger) {
        QJsonObject object{{kPlayer, entry.player}};
        if (entry.kind == Entry::Kind::Credit)
            object.insert(kLetter, QString(QChar(u'A' + entry.letter)));
        else
            object.insert(kGuess, entry.text);
        entries.append(object);
    }
    QJsonObject root{{kEntries, entries}};
    if (stored.missLimit > 0)
        root.insert(kMissLimit, stored.missLimit);
    if (stored.revealed)
        root.insert(kRevealed, true);
    return QString::fromUtf8(QJsonDocument(root).toJson(QJsonDocument::Compact));
}

std::optional<StoredLedger> ReadLedger(QStringView text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonObject root = document.object();
    StoredLedger stored;

    const QJsonValue entries = root.value(kEntries);
    if (!entries.isUndefined()) {
        if (!entries.isArray())
            return std::nullopt;
        for (const QJsonValue &value : entries.toArray()) {
            std::optional<Entry> entry = readEntry(value);
            if (!entry)
                return std::nullopt;
            stored.ledger.append(std::move(*entry));
        }
    }

    const QJsonValue limit = root.value(kMissLimit);
    if (!limit.isUndefined()) {
        const double value = limit.toDouble(-1);
        if (!limit.isDouble() || value < 0 || value > kMaxMissLimit || value != std::floor(value))
            return std::nullopt;
        stored.missLimit = int(value);
    }

    const QJsonValue revealed = root.value(kRevealed);
    if (!revealed.isUndefined()) {
        if (!revealed.isBool())
            return std::nullopt;
        stored.revealed = revealed.toBool();
    }
    return stored;
}

} // namespace lexorne::game
