// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/games.h"

#include "settings/settings.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStringDecoder>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace lexorne::settings {

namespace {

const QString kFormatKey = u"format"_s;
const QString kFormatName = u"lexorne-parties"_s;
const QString kVersionKey = u"version"_s;
const QString kGamesKey = u"parties"_s;
const QString kIdKey = u"id"_s;
const QString kNameKey = u"nom"_s;
const QString kQuotationKey = u"citation"_s;
// A quotation holding a lone surrogate, which JSON text cannot carry: its
// bytes as the store keeps them (UTF-8 extended to surrogates), in base 64.
const QString kQuotationBytesKey = u"citation-octets"_s;
// Games file only: the name of the file that holds the quotation.
const QString kTextFileKey = u"texte"_s;
const QString kTickedKey = u"cochees"_s;
const QString kGreyedKey = u"grisees"_s;
const QString kLedgerKey = u"journal"_s;
const QString kProfileKey = u"forum"_s;

constexpr qsizetype kMaxIdLength = 64;
constexpr qsizetype kMaxProfileLength = 32;
constexpr qsizetype kNameWords = 40;

// "10 000", as French writes it, with a no-break space whatever the
// locale data of the Qt at hand.
QString number(qint64 n)
{
    QString digits = QString::number(n);
    for (qsizetype at = digits.size() - 3; at > (n < 0 ? 1 : 0); at -= 3)
        digits.insert(at, QChar::Nbsp);
    return digits;
}

QString lettersOf(const std::array<LetterState, kLetterCount> &letters, LetterState wanted)
{
    QString out;
    for (int i = 0; i < kLetterCount; ++i)
        if (letters[i] == wanted)
            out += QChar(u'A' + i);
    return out;
}

// Only plain tokens: an id or a profile name is never shown as it stands,
// but it goes into keys and command lines.
bool isToken(const QString &text, qsizetype maxLength)
{
    if (text.isEmpty() || text.size() > maxLength)
        return false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool ok = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                        (u >= u'0' && u <= u'9') || u == u'-' || u == u'_';
        if (!ok)
            return false;
    }
    return true;
}

class GameReader
{
public:
    GameReader(const QJsonObject &object, qsizetype index, bool forGamesFile)
        : m_object(object), m_index(index), m_forGamesFile(forGamesFile)
    {}

    std::optional<GameRecord> read()
    {
        GameRecord game;
        const QJsonValue name = m_object.value(kNameKey);
        if (!name.isString()) {
            fail(u"le nom manque ou n'est pas un texte"_s);
            return std::nullopt;
        }
        const CheckedName checked = CheckGameName(name.toString());
        if (!checked.error.isEmpty()) {
            fail(checked.error);
            return std::nullopt;
        }
        game.name = checked.name;
        m_name = game.name;

        if (!readQuotation(game))
            return std::nullopt;
        if (!readLetters(game.letters))
            return std::nullopt;

        if (const QJsonValue id = m_object.value(kIdKey); !id.isUndefined()) {
            if (!isToken(id.toString(), kMaxIdLength)) {
                fail(u"l'identifiant n'est pas valide"_s);
                return std::nullopt;
            }
            game.id = id.toString();
        }
        if (const QJsonValue ledger = m_object.value(kLedgerKey); !ledger.isUndefined()) {
            if (!ledger.isObject()) {
                fail(u"le journal n'est pas un objet JSON"_s);
                return std::nullopt;
            }
            game.ledger =
                QString::fromUtf8(QJsonDocument(ledger.toObject()).toJson(QJsonDocument::Compact));
        }
        if (const QJsonValue profile = m_object.value(kProfileKey); !profile.isUndefined()) {
            if (!isToken(profile.toString(), kMaxProfileLength)) {
                fail(u"le profil de forum n'est pas valide"_s);
                return std::nullopt;
            }
            game.profile = profile.toString();
        }
        return game;
    }

    QString error() const { return m_error; }

private:
    bool fail(const QString &why)
    {
        m_error = m_name.isEmpty()
                      ? u"partie n° %1 : %2"_s.arg(number(m_index + 1), why)
                      : u"partie n° %1 (« %2 ») : %3"_s.arg(number(m_index + 1), m_name, why);
        return false;
    }

    bool readQuotation(GameRecord &game)
    {
        QString &out = game.quotation;
        const QJsonValue text = m_object.value(kQuotationKey);
        const QJsonValue bytes = m_object.value(kQuotationBytesKey);
        const QJsonValue file = m_object.value(kTextFileKey);
        if (!file.isUndefined()) {
            if (!m_forGamesFile || !text.isUndefined() || !bytes.isUndefined())
                return fail(u"la citation manque ou n'est pas un texte"_s);
            if (!IsQuotationFileName(file.toString()))
                return fail(u"le nom du fichier de la citation n'est pas valide"_s);
            game.textFile = file.toString();
            return true;
        }
        if (text.isString() && bytes.isUndefined()) {
            out = text.toString();
            return true;
        }
        if (bytes.isString() && text.isUndefined()) {
            const auto decoded = QByteArray::fromBase64Encoding(
                bytes.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded)
                return fail(u"la citation en octets n'est pas du base 64"_s);
            out = Store::decodeQuotation(*decoded);
            return true;
        }
        return fail(u"la citation manque ou n'est pas un texte"_s);
    }

    bool readLetterSet(const QString &key, QString &letters)
    {
        const QJsonValue value = m_object.value(key);
        if (value.isUndefined())
            return true;
        if (!value.isString())
            return fail(u"« %1 » n'est pas un texte"_s.arg(key));
        letters = value.toString();
        if (letters.size() > kLetterCount)
            return fail(u"« %1 » compte plus de 26 lettres"_s.arg(key));
        for (qsizetype i = 0; i < letters.size(); ++i) {
            const char16_t u = letters[i].unicode();
            if (u < u'A' || u > u'Z')
                return fail(u"« %1 » : « %2 » n'est pas une lettre de A à Z en majuscule"_s.arg(
                    key, letters.mid(i, 1)));
            if (letters.indexOf(letters[i]) != i)
                return fail(
                    u"« %1 » : la lettre %2 est donnée deux fois"_s.arg(key, letters.mid(i, 1)));
        }
        return true;
    }

    bool readLetters(std::array<LetterState, kLetterCount> &out)
    {
        QString ticked;
        QString greyed;
        if (!readLetterSet(kTickedKey, ticked) || !readLetterSet(kGreyedKey, greyed))
            return false;
        for (const QChar c : ticked)
            out[c.unicode() - u'A'] = LetterState::Ticked;
        for (const QChar c : greyed) {
            if (out[c.unicode() - u'A'] != LetterState::Unticked)
                return fail(u"la lettre %1 est à la fois cochée et grisée"_s.arg(c));
            out[c.unicode() - u'A'] = LetterState::Greyed;
        }
        return true;
    }

    const QJsonObject &m_object;
    qsizetype m_index;
    bool m_forGamesFile;
    QString m_name;
    QString m_error;
};

// The line (from 1) holding byte offset of bytes.
qsizetype lineAt(QByteArrayView bytes, qsizetype offset)
{
    return bytes.first(offset).count('\n') + 1;
}

// The line of the first byte that is not UTF-8. UTF-8 never uses the byte
// of a line feed inside a character, so each line can be checked alone.
qsizetype firstBadLine(QByteArrayView bytes)
{
    qsizetype line = 1;
    for (qsizetype from = 0; from <= bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', from);
        if (end < 0)
            end = bytes.size();
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(bytes.sliced(from, end - from));
        if (decoder.hasError())
            return line;
        from = end + 1;
    }
    return line;
}

bool isBlank(QStringView line)
{
    for (const QChar c : line)
        if (!c.isSpace())
            return false;
    return true;
}

} // namespace

CheckedName CheckGameName(QStringView typed)
{
    const QString name = typed.trimmed().toString();
    if (name.isEmpty())
        return {{}, u"le nom est vide"_s};
    if (name.size() > kMaxGameNameLength)
        return {{}, u"le nom dépasse %1 caractères"_s.arg(kMaxGameNameLength)};
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            return {{}, u"le nom tient sur une ligne, sans caractère de contrôle"_s};
    }
    if (!name.isValidUtf16())
        return {{}, u"le nom contient un caractère invalide"_s};
    return {name, {}};
}

QString UniqueGameName(const QString &name, const QStringList &taken)
{
    const auto isTaken = [&taken](const QString &candidate) {
        return taken.contains(candidate, Qt::CaseInsensitive);
    };
    if (!isTaken(name))
        return name;
    for (qsizetype n = 2;; ++n) {
        const QString suffix = u" (%1)"_s.arg(n);
        QString base = name.left(kMaxGameNameLength - suffix.size());
        // Never half a surrogate pair.
        if (!base.isEmpty() && base.back().isHighSurrogate())
            base.chop(1);
        QString candidate = base.trimmed() + suffix;
        if (!isTaken(candidate))
            return candidate;
    }
}

QString NameFromQuotation(QStringView quotation)
{
    QString flat;
    flat.reserve(std::min<qsizetype>(quotation.size(), 4 * kNameWords));
    // Only the start is needed; a long quotation is not flattened whole.
    for (const QChar c : quotation) {
        if (flat.size() > kNameWords)
            break;
        const bool gap = c.isSpace() || c.category() == QChar::Other_Control;
        if (gap) {
            if (!flat.isEmpty() && !flat.endsWith(u' '))
                flat += u' ';
        } else {
            flat += c;
        }
    }
    flat = flat.trimmed();
    if (flat.isEmpty())
        return u"Citation"_s;
    if (flat.size() <= kNameWords)
        return flat;
    qsizetype cut = flat.lastIndexOf(u' ', kNameWords);
    if (cut <= 0) {
        cut = kNameWords;
        if (flat.at(cut - 1).isHighSurrogate())
            --cut;
    }
    return flat.left(cut).trimmed() + u'…';
}

QString NewGameId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QByteArray QuotationBytes(const QString &quotation)
{
    const QVariant stored = Store::encodeQuotation(quotation);
    return stored.typeId() == QMetaType::QByteArray ? stored.toByteArray()
                                                    : stored.toString().toUtf8();
}

QString QuotationFileName(const QString &quotation)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(QuotationBytes(quotation), QCryptographicHash::Sha256).toHex());
}

bool IsQuotationFileName(QStringView name)
{
    constexpr qsizetype kHexDigits = 64;
    if (name.size() != kHexDigits)
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (!((u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f')))
            return false;
    }
    return true;
}

QByteArray WriteGames(const QList<GameRecord> &games, bool forGamesFile)
{
    QJsonArray list;
    for (const GameRecord &game : games) {
        QJsonObject object;
        if (forGamesFile && !game.id.isEmpty())
            object.insert(kIdKey, game.id);
        object.insert(kNameKey, game.name);
        if (forGamesFile && !game.textFile.isEmpty() && game.quotation.isEmpty())
            object.insert(kTextFileKey, game.textFile);
        else if (game.quotation.isValidUtf16())
            object.insert(kQuotationKey, game.quotation);
        else
            object.insert(kQuotationBytesKey,
                          QString::fromLatin1(
                              Store::encodeQuotation(game.quotation).toByteArray().toBase64()));
        object.insert(kTickedKey, lettersOf(game.letters, LetterState::Ticked));
        if (const QString greyed = lettersOf(game.letters, LetterState::Greyed); !greyed.isEmpty())
            object.insert(kGreyedKey, greyed);
        if (!game.ledger.isEmpty()) {
            const QJsonDocument ledger = QJsonDocument::fromJson(game.ledger.toUtf8());
            if (ledger.isObject())
                object.insert(kLedgerKey, ledger.object());
        }
        if (!game.profile.isEmpty())
            object.insert(kProfileKey, game.profile);
        list.append(object);
    }
    const QJsonObject root{
        {kFormatKey, kFormatName}, {kVersionKey, kGamesFormatVersion}, {kGamesKey, list}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ReadResult ReadGames(QByteArrayView json, bool forGamesFile)
{
    if (json.size() > kMaxGamesFileBytes)
        return {std::nullopt, u"le fichier dépasse %1 Mio"_s.arg(kMaxGamesFileBytes >> 20)};
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json.toByteArray(), &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return {
            std::nullopt,
            u"ce n'est pas du JSON valide (%1, ligne %2)"_s.arg(
                parseError.errorString(),
                number(lineAt(json, std::clamp<qsizetype>(parseError.offset, 0, json.size()))))};
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(kFormatKey).toString() != kFormatName)
        return {std::nullopt, u"ce n'est pas un fichier de parties de Lexorne"_s};
    const QJsonValue version = root.value(kVersionKey);
    const double given = version.toDouble(-1);
    if (!version.isDouble() || given != double(qint64(given)) || given < 1)
        return {std::nullopt, u"la version du format n'est pas valide"_s};
    if (given > kGamesFormatVersion)
        return {std::nullopt,
                u"ce fichier vient d'une version plus récente de Lexorne (format %1) ; "
                u"mettez Lexorne à jour pour l'ouvrir"_s.arg(qint64(given)),
                true};
    const QJsonValue list = root.value(kGamesKey);
    if (!list.isArray())
        return {std::nullopt, u"la liste des parties manque"_s};
    const QJsonArray array = list.toArray();
    if (array.size() > kMaxGames)
        return {std::nullopt, u"le fichier compte plus de %1 parties"_s.arg(number(kMaxGames))};
    QList<GameRecord> games;
    games.reserve(array.size());
    for (qsizetype i = 0; i < array.size(); ++i) {
        if (!array[i].isObject())
            return {std::nullopt,
                    u"partie n° %1 : ce n'est pas un objet JSON"_s.arg(number(i + 1))};
        const QJsonObject object = array[i].toObject();
        GameReader reader(object, i, forGamesFile);
        std::optional<GameRecord> game = reader.read();
        if (!game)
            return {std::nullopt, reader.error()};
        games.append(std::move(*game));
    }
    return {std::move(games), {}};
}

SplitResult SplitQuotations(QByteArrayView bytes)
{
    if (bytes.size() > kMaxQuotationsFileBytes)
        return {std::nullopt, u"le fichier dépasse %1 Mio"_s.arg(kMaxQuotationsFileBytes >> 20)};
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes); // drops a byte order mark
    if (decoder.hasError())
        return {std::nullopt,
                u"ligne %1 : le texte n'est pas de l'UTF-8 valide (enregistrez le fichier en "
                u"UTF-8)"_s.arg(number(firstBadLine(bytes)))};

    QList<ImportedQuotation> quotations;
    ImportedQuotation current;
    const auto finish = [&]() -> QString {
        if (current.line == 0)
            return {};
        while (current.text.endsWith(u'\n'))
            current.text.chop(1);
        if (quotations.size() == kMaxImportedQuotations)
            return u"ligne %1 : le fichier compte plus de %2 citations ; coupez-le en plusieurs"_s
                .arg(number(current.line), number(kMaxImportedQuotations));
        quotations.append(std::move(current));
        current = {};
        return {};
    };
    qsizetype line = 0;
    for (qsizetype from = 0; from < text.size();) {
        ++line;
        qsizetype end = text.indexOf(u'\n', from);
        if (end < 0)
            end = text.size();
        QStringView content = QStringView(text).sliced(from, end - from);
        if (content.endsWith(u'\r'))
            content.chop(1);
        from = end + 1;
        if (isBlank(content)) {
            if (QString error = finish(); !error.isEmpty())
                return {std::nullopt, error};
            continue;
        }
        if (current.line == 0)
            current.line = line;
        if (current.text.size() + content.size() > kMaxImportedQuotationLength)
            return {std::nullopt,
                    u"ligne %1 : la citation qui commence ici dépasse %2 caractères"_s.arg(
                        number(current.line), number(kMaxImportedQuotationLength))};
        current.text += content;
        current.text += u'\n';
    }
    if (QString error = finish(); !error.isEmpty())
        return {std::nullopt, error};
    if (quotations.isEmpty())
        return {std::nullopt, u"le fichier ne contient aucune citation"_s};
    return {std::move(quotations), {}};
}

} // namespace lexorne::settings
