// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings.h"

#include "settings/games.h"
#include "settings/storefile.h"
#include "version/version.h"

#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace lexorne::settings {

namespace {

const QString kQuotationKey = QStringLiteral("General Settings/Citation");
const QString kGameIdKey = QStringLiteral("Partie/Identifiant");
const QString kLedgerKey = QStringLiteral("Partie/Journal");

QString letterKey(int index)
{
    return QStringLiteral("Alpha/") + QString::number(index);
}

bool validIndex(int index)
{
    return index >= 0 && index < kLetterCount;
}

// QSettings saves its changes later on its own, on the thread it belongs to;
// here every change is saved at once, under the store's lock, from whichever
// thread writes. The deferred save would race with that, so it is dropped.
class StoreSettings : public QSettings
{
public:
    using QSettings::QSettings;

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::UpdateRequest)
            return true;
        return QSettings::event(event);
    }
};

// The user's store. The default format is the native one; a test moves the
// store into a folder of its own by switching it to INI files, which works on
// every platform (the native store on Windows is the registry).
std::unique_ptr<QSettings> openStore()
{
    auto settings = std::make_unique<StoreSettings>(
        QSettings::defaultFormat(), QSettings::UserScope, QString::fromLatin1(kOrganization),
        QString::fromLatin1(kApplicationTitle));
    // The game is read from the user's own file only, never from the
    // organisation's or the system's files beside it.
    settings->setFallbacksEnabled(false);
    return settings;
}

// Where the store's file is, found without reading it: QSettings reads its
// file as soon as it is made, and the file must be judged first. A name of
// the same folder and format that holds nothing tells.
QString storeFilePath()
{
    const QSettings probe(QSettings::defaultFormat(), QSettings::UserScope,
                          QString::fromLatin1(kOrganization),
                          QString::fromLatin1(kApplicationTitle) + QStringLiteral(".path"));
    const QFileInfo info(probe.fileName());
    QString path = info.path() + QLatin1Char('/') + QString::fromLatin1(kApplicationTitle);
    if (!info.suffix().isEmpty() && info.suffix() != u"path")
        path += QLatin1Char('.') + info.suffix();
    return path;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

// A copy set aside earlier holding exactly the bytes of path, if any.
QString identicalCopy(const QString &path)
{
    const QFileInfo info(path);
    const QFileInfoList copies =
        info.dir().entryInfoList({info.fileName() + QStringLiteral(".unreadable-*")},
                                 QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    QByteArray bytes;
    bool read = false;
    // A file past the bound is never read whole.
    if (info.size() > kMaxStoreBytes)
        return QString();
    for (const QFileInfo &copy : copies) {
        if (copy.size() != info.size())
            continue;
        if (!read) {
            bytes = fileBytes(path);
            read = true;
            if (bytes.size() != info.size())
                return QString();
        }
        if (fileBytes(copy.filePath()) == bytes)
            return copy.filePath();
    }
    return QString();
}

// QSettings guards each save with a lock file beside the store. A copy of
// the program killed between making that file and writing its owner into it
// leaves it empty, and Qt cannot tell its owner is gone: every save would wait
// until the file is 30 s old, and the window with it. Only one copy of the
// program writes the store, and it makes its Store before any save, so an
// empty lock found then is such a leftover. A lock that names its owner is
// left to Qt, which knows whether that owner still runs.
void removeEmptyLock(const QString &store)
{
    const QString lock = store + QStringLiteral(".lock");
    const QFileInfo info(lock);
    if (info.isFile() && !info.isSymLink() && info.size() == 0)
        QFile::remove(lock);
}

} // namespace

Store::Store()
{
    // A file too big, not UTF-8, or holding values Qt would build types from
    // is set aside before QSettings reads a byte of it.
    const QString path = storeFilePath();
    m_location = path;
    if (QFileInfo(path).isFile() && !isAcceptableStoreFile(path) && !setAside(path))
        return;
    m_settings = openStore();
    m_location = m_settings->fileName();
    removeEmptyLock(m_location);
    if (!openChecked())
        m_settings.reset();
    else
        makePrivate(m_location, false);
}

Store::~Store() = default;

bool Store::openChecked()
{
    // Only a file can be unreadable and set aside (not the registry).
    const QString path = m_location;
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return true;

    // QSettings parses sections lazily; listing every key parses them all,
    // so that a format error shows now rather than during the next write
    // (which would rewrite the file without the lines it could not read).
    m_settings->allKeys();
    if (m_settings->status() != QSettings::FormatError)
        return true;

    m_settings.reset();
    if (!setAside(path))
        return false;
    m_settings = openStore();
    return true;
}

bool Store::setAside(const QString &path)
{
    // The same unreadable file met again (the program started twice on it,
    // or it was copied back): one copy is enough.
    const QString earlier = identicalCopy(path);
    if (!earlier.isEmpty()) {
        if (!QFile::remove(path))
            return false;
        m_setAsidePath = earlier;
        return true;
    }
    const QString aside = asideName(path);
    if (!QFile::rename(path, aside))
        return false;
    m_setAsidePath = aside;
    // Still the user's game, kept as privately as the store.
    makePrivate(aside, false);
    return true;
}

bool Store::sync()
{
    // The folder is made private before the file goes in, the file (made
    // under the umask when new) right after.
    makePrivate(m_location, true);
    m_settings->sync();
    makePrivate(m_location, false);
    if (m_settings->status() == QSettings::NoError)
        return true;
    // A QSettings reports only its first error, even once the disk is
    // back: the next change starts from a fresh one.
    m_failed = true;
    return false;
}

void Store::recover()
{
    if (!m_failed)
        return;
    m_failed = false;
    // A failed save is not forgotten: the fresh QSettings, opened on the
    // file as it now is, gets every change the old one still holds, and the
    // next save writes them all.
    const QStringList keys = m_settings->allKeys();
    QMap<QString, QVariant> wanted;
    for (const QString &key : keys)
        wanted.insert(key, m_settings->value(key));
    m_settings = openStore();
    const QStringList onDisk = m_settings->allKeys();
    for (const QString &key : onDisk) {
        if (!wanted.contains(key))
            m_settings->remove(key);
    }
    for (auto it = wanted.cbegin(); it != wanted.cend(); ++it) {
        if (m_settings->value(it.key()) != it.value())
            m_settings->setValue(it.key(), it.value());
    }
}

bool Store::write(const QString &key, const QVariant &value)
{
    const std::lock_guard lock(m_mutex);
    if (!m_settings)
        return false;
    recover();
    m_settings->setValue(key, value);
    return sync();
}

QString Store::readQuotation() const
{
    const std::lock_guard lock(m_mutex);
    if (!m_settings)
        return QString();
    return decodeQuotation(m_settings->value(kQuotationKey));
}

bool Store::writeQuotation(const QString &text)
{
    return write(kQuotationKey, encodeQuotation(text));
}

LetterState Store::readLetter(int index) const
{
    if (!validIndex(index))
        return LetterState::Unticked;
    const std::lock_guard lock(m_mutex);
    if (!m_settings)
        return LetterState::Unticked;
    return decodeLetter(m_settings->value(letterKey(index)));
}

LetterState Store::decodeLetter(const QVariant &value)
{
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

QString Store::readGameId() const
{
    const std::lock_guard lock(m_mutex);
    if (!m_settings)
        return QString();
    const QVariant value = m_settings->value(kGameIdKey);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

bool Store::writeGameId(const QString &id)
{
    return write(kGameIdKey, id);
}

bool Store::writeScreenGame(const QString &id, const QString &quotation,
                            const std::array<LetterState, kLetterCount> &letters,
                            const QString &ledger)
{
    const std::lock_guard lock(m_mutex);
    if (!m_settings)
        return false;
    // One sync, so that the file on disk holds either game whole, never a
    // mix of the two; the id goes with them.
    m_settings->setValue(kQuotationKey, encodeQuotation(quotation));
    for (int i = 0; i < kLetterCount; ++i)
        m_settings->setValue(letterKey(i), QString::number(static_cast<int>(letters[i])));
    if (ledger.isEmpty())
        m_settings->remove(kLedgerKey);
    else
        m_settings->setValue(kLedgerKey, ledger);
    m_settings->setValue(kGameIdKey, id);
    return sync();
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
    const std::lock_guard lock(m_mutex);
    if (!m_settings)
        return false;
    recover();
    const QString key = letterKey(index);
    if (!m_settings->contains(key))
        return true;
    m_settings->remove(key);
    return sync();
}

std::optional<QString> Store::readLedger() const
{
    const std::lock_guard lock(m_mutex);
    if (!m_settings || !m_settings->contains(kLedgerKey))
        return std::nullopt;
    const QVariant value = m_settings->value(kLedgerKey);
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    // An unquoted comma makes a list of the value: never a ledger we wrote.
    return QStringLiteral("\x01");
}

bool Store::writeLedger(const QString &text)
{
    return write(kLedgerKey, text);
}

std::optional<QString> Store::setLedgerAside()
{
    const std::lock_guard lock(m_mutex);
    if (!m_settings || !m_settings->contains(kLedgerKey))
        return std::nullopt;
    const QString stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString key = kLedgerKey + QStringLiteral(" illisible ") + stamp;
    for (int n = 2; m_settings->contains(key); ++n)
        key = kLedgerKey + QStringLiteral(" illisible ") + stamp + QLatin1Char('-') +
              QString::number(n);
    m_settings->setValue(key, m_settings->value(kLedgerKey));
    m_settings->remove(kLedgerKey);
    if (!sync())
        return std::nullopt;
    return key;
}

bool Store::removeGame()
{
    const std::lock_guard lock(m_mutex);
    if (!m_settings)
        return false;
    recover();
    bool changed = false;
    const auto drop = [&](const QString &key) {
        if (m_settings->contains(key)) {
            m_settings->remove(key);
            changed = true;
        }
    };
    for (int i = 0; i < kLetterCount; ++i)
        drop(letterKey(i));
    drop(kQuotationKey);
    drop(kLedgerKey);
    return !changed || sync();
}

QuietRead ReadStoreQuietly()
{
    QuietRead read;
    // Judged before QSettings reads a byte of it, as the window's store is;
    // but only read here: setting it aside is the window's to do.
    const QString path = storeFilePath();
    read.location = path;
    if (QFileInfo(path).isFile() && !isAcceptableStoreFile(path)) {
        read.error =
            QStringLiteral("la partie enregistrée n'a pas pu être lue (%1)").arg(read.location);
        return read;
    }
    const std::unique_ptr<QSettings> settings = openStore();
    read.location = settings->fileName();
    settings->allKeys(); // parses every section now, see openChecked()
    if (settings->status() != QSettings::NoError) {
        read.error =
            QStringLiteral("la partie enregistrée n'a pas pu être lue (%1)").arg(read.location);
        return read;
    }
    StoredGame game;
    game.quotation = Store::decodeQuotation(settings->value(kQuotationKey));
    for (int i = 0; i < kLetterCount; ++i)
        game.letters[i] = Store::decodeLetter(settings->value(letterKey(i)));
    if (const QVariant ledger = settings->value(kLedgerKey); ledger.typeId() == QMetaType::QString)
        game.ledger = ledger.toString();
    const QVariant id = settings->value(kGameIdKey);
    read.id = id.typeId() == QMetaType::QString ? id.toString() : QString();
    read.game = std::move(game);
    return read;
}

StoredGame LoadSettings(Store &store)
{
    StoredGame game;
    game.quotation = store.readQuotation();
    for (int i = 0; i < kLetterCount; ++i)
        game.letters[i] = store.readLetter(i);
    game.ledger = store.readLedger();
    return game;
}

bool ResetSettings(Store &store)
{
    return store.removeGame();
}

} // namespace lexorne::settings
