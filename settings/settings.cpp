// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings.h"

#include "version/version.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>

namespace lexorne::settings {

namespace {

const QString kQuotationKey = QStringLiteral("General Settings/Citation");

QString letterKey(int index)
{
    return QStringLiteral("Alpha/") + QString::number(index);
}

bool validIndex(int index)
{
    return index >= 0 && index < kLetterCount;
}

// Qt reads and writes its INI files as UTF-8 and replaces whatever is not;
// rewriting such a file would lose those bytes.
bool isUtf8File(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // Not ours to judge: QSettings reports the access error.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(file.readAll());
    Q_UNUSED(text);
    return !decoder.hasError();
}

// A free name next to path for keeping an unreadable file.
QString asideName(const QString &path)
{
    const QString base =
        path + QStringLiteral(".unreadable-") +
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString candidate = base;
    for (int n = 2; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink(); ++n)
        candidate = base + QLatin1Char('-') + QString::number(n);
    return candidate;
}

void appendUtf8(QByteArray &out, char32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

void appendCode(QString &out, char32_t code)
{
    if (code >= 0x10000) {
        out += QChar(QChar::highSurrogate(code));
        out += QChar(QChar::lowSurrogate(code));
    } else {
        out += QChar(char16_t(code));
    }
}

// The user's store. The default format is the native one; a test moves the
// store into a folder of its own by switching it to INI files, which works on
// every platform (the native store on Windows is the registry).
std::unique_ptr<QSettings> openStore()
{
    return std::make_unique<QSettings>(QSettings::defaultFormat(), QSettings::UserScope,
                                       QString::fromLatin1(kOrganization),
                                       QString::fromLatin1(kApplicationTitle));
}

} // namespace

Store::Store()
{
    // Opening checks the file once, so that an unreadable one is set aside
    // before anything reads the game.
    open();
}

Store::~Store() = default;

std::unique_ptr<QSettings> Store::open() const
{
    if (m_unusable)
        return nullptr;

    auto settings = openStore();
    // Only a file can be unreadable and set aside (not the registry).
    const QString path = settings->fileName();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return settings;

    // QSettings parses sections lazily; listing every key parses them all,
    // so that a format error shows now rather than during the next write
    // (which would rewrite the file without the lines it could not read).
    settings->allKeys();
    if (settings->status() != QSettings::FormatError && isUtf8File(path))
        return settings;

    settings.reset();
    const QString aside = asideName(path);
    if (!QFile::rename(path, aside)) {
        m_unusable = true;
        return nullptr;
    }
    m_setAsidePath = aside;
    return openStore();
}

bool Store::write(const QString &key, const QVariant &value)
{
    auto settings = open();
    if (!settings || settings->status() != QSettings::NoError)
        return false;
    settings->setValue(key, value);
    settings->sync();
    return settings->status() == QSettings::NoError;
}

bool Store::remove(const QString &key)
{
    auto settings = open();
    if (!settings || settings->status() != QSettings::NoError)
        return false;
    if (!settings->contains(key))
        return true;
    settings->remove(key);
    settings->sync();
    return settings->status() == QSettings::NoError;
}

QString Store::readQuotation() const
{
    auto settings = open();
    if (!settings)
        return QString();
    return decodeQuotation(settings->value(kQuotationKey));
}

bool Store::writeQuotation(const QString &text)
{
    return write(kQuotationKey, encodeQuotation(text));
}

bool Store::removeQuotation()
{
    return remove(kQuotationKey);
}

LetterState Store::readLetter(int index) const
{
    if (!validIndex(index))
        return LetterState::Unticked;
    auto settings = open();
    if (!settings)
        return LetterState::Unticked;
    const QVariant value = settings->value(letterKey(index));
    // Only the texts this program writes count; a number, a list or any other
    // text put there by hand leaves the box unticked.
    if (value.typeId() != QMetaType::QString)
        return LetterState::Unticked;
    const QString text = value.toString();
    if (text == u"1")
        return LetterState::Ticked;
    if (text == u"2")
        return LetterState::Greyed;
    return LetterState::Unticked;
}

bool Store::writeLetter(int index, LetterState state)
{
    if (!validIndex(index))
        return false;
    return write(letterKey(index), QString::number(static_cast<int>(state)));
}

bool Store::removeLetter(int index)
{
    if (!validIndex(index))
        return false;
    return remove(letterKey(index));
}

QString Store::location() const
{
    return openStore()->fileName();
}

QVariant Store::encodeQuotation(const QString &text)
{
    if (text.isValidUtf16())
        return text;
    QByteArray bytes;
    bytes.reserve(text.size() * 3);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            appendUtf8(bytes, QChar::surrogateToUcs4(c, text.at(i + 1)));
            ++i;
        } else {
            appendUtf8(bytes, c.unicode()); // a lone surrogate takes three bytes
        }
    }
    return bytes;
}

QString Store::decodeQuotation(const QVariant &stored)
{
    switch (stored.typeId()) {
    case QMetaType::QString:
        return stored.toString();
    case QMetaType::QStringList:
        // An unquoted text with commas, typed into the file by hand.
        return stored.toStringList().join(QStringLiteral(", "));
    case QMetaType::QByteArray:
        break;
    default:
        return stored.canConvert<QString>() ? stored.toString() : QString();
    }

    // UTF-8 that also accepts surrogates; a byte that starts no valid
    // sequence becomes U+FFFD and decoding goes on after it.
    const QByteArray bytes = stored.toByteArray();
    QString text;
    text.reserve(bytes.size());
    const auto byte = [&bytes](qsizetype i) {
        return static_cast<unsigned char>(bytes.at(i));
    };
    const auto isTail = [&](qsizetype i) {
        return i < bytes.size() && (byte(i) & 0xC0) == 0x80;
    };
    for (qsizetype i = 0; i < bytes.size();) {
        const unsigned char lead = byte(i);
        char32_t code = 0;
        int length = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            code = lead & 0x1F;
            length = 2;
            minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            code = lead & 0x0F;
            length = 3;
            minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            code = lead & 0x07;
            length = 4;
            minimum = 0x10000;
        }
        bool valid = length > 0;
        for (int k = 1; valid && k < length; ++k) {
            if (!isTail(i + k))
                valid = false;
            else
                code = (code << 6) | (byte(i + k) & 0x3F);
        }
        if (valid && (code < minimum || code > 0x10FFFF))
            valid = false;
        if (!valid) {
            text += QChar(QChar::ReplacementCharacter);
            ++i;
            continue;
        }
        appendCode(text, code);
        i += length;
    }
    return text;
}

void LoadSettings(Store &store, GameView &view)
{
    view.setQuotation(store.readQuotation());
    // Box by box: a box restored as ticked writes itself back at once.
    for (int i = 0; i < kLetterCount; ++i)
        view.setLetterState(i, store.readLetter(i));
    view.showRendering();
}

void ResetSettings(Store &store, GameView &view)
{
    // Every step runs whatever the previous one gave.
    for (int i = 0; i < kLetterCount; ++i) {
        store.removeLetter(i);
        view.setLetterState(i, LetterState::Unticked);
    }
    store.removeQuotation();
    view.setQuotation(QString());
    view.clearResult();
}

} // namespace lexorne::settings
