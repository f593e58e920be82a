// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Settings store: keeps the game (the quotation and the 26 letter states)
// per user between runs. It only reads, writes and clears; the window
// decides when (see settings/storewriter.h for writes off its thread).
#pragma once

#include "engine/engine.h"

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <array>
#include <memory>
#include <mutex>
#include <optional>

class QSettings;

namespace lexorne::settings {

// The game as stored: what a start restores.
struct StoredGame
{
    QString quotation;
    std::array<LetterState, kLetterCount> letters{};
    std::optional<QString> ledger; // Store::readLedger()
};

// Per-user store, organization "Quillmoor", application "Lexorne".
// Sections "General Settings" (key "Citation"), "Alpha" (keys "0".."25")
// and "Partie" (key "Journal").
//
// The file is read once, when the store opens; every write is flushed at
// once, and write functions return false when the store could not be written
// (read-only folder, full disk...). QSettings keeps a change it could not
// save and saves it with the next write that succeeds, so the file catches up
// with the board once the disk allows it. A write starts from the file as it
// then is, so a key changed by hand while the program runs is kept, unless
// the program writes that very key.
//
// A file that cannot be parsed (or is not UTF-8) is set aside, never
// rewritten, and the game starts clean; see setAsidePath(). Should setting it
// aside fail, the store is left alone for the whole run: reads give the
// defaults and writes return false.
//
// Every function may be called from any thread; calls run one at a time.
class Store
{
public:
    Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;
    ~Store();

    QString readQuotation() const;
    bool writeQuotation(const QString &text);

    // Stored text "1" gives Ticked, "2" Greyed; "0", an absent key and any
    // other text give Unticked. An index outside 0..25 is never read or
    // written (Unticked, false).
    LetterState readLetter(int index) const;
    bool writeLetter(int index, LetterState state);
    bool removeLetter(int index);

    // The ledger of the whole game (who proposed what, the guesses), as
    // text the game reads (game/game.h), in a section of its own ("Partie",
    // key "Journal") that older versions never read; nothing when absent.
    // A value that is not text (a list, bytes, put there by hand) comes back
    // as a text that no ledger reads.
    std::optional<QString> readLedger() const;
    bool writeLedger(const QString &text);
    // Moves the stored ledger, exactly as stored, to a key of its own
    // beside it ("Partie/Journal illisible <date>"), which nothing reads or
    // deletes; returns that key, or nothing when the store could not be
    // written.
    std::optional<QString> setLedgerAside();

    // Removes the quotation, the 26 letter keys and the ledger in one write;
    // other keys stay.
    bool removeGame();

    // The window's own choices, kept apart from the game, which a reset
    // leaves alone: section "Options", key `key` ("Forum", "Panneau"). A
    // missing key, or a value that is not text, reads as empty; what a value
    // means is the reader's to check (settings/options.cpp).
    QString readOption(const QString &key) const;
    bool writeOption(const QString &key, const QString &value);

    // Where the store lives, for messages to the user.
    QString location() const { return m_location; }

    // Where the unreadable store file found at opening now is (set aside, or
    // an identical copy set aside by an earlier run); empty when the file
    // was readable.
    QString setAsidePath() const { return m_setAsidePath; }
    // The file could not be read, nor set aside: the store is left alone.
    bool isUnusable() const { return !m_settings; }

    // How the quotation is kept: plain text as QSettings writes it; a text
    // holding an unpaired surrogate (which QSettings would replace) as bytes
    // in UTF-8 extended to lone surrogates. Exposed for the tests.
    static QVariant encodeQuotation(const QString &text);
    static QString decodeQuotation(const QVariant &stored);
    // A stored letter value as readLetter() reads it.
    static LetterState decodeLetter(const QVariant &value);

    // Several games: the id of the game the keys above hold
    // ("Partie/Identifiant"; empty when a store of an older version holds
    // it), that id alone, and the whole game on screen replaced in one write.
    QString readGameId() const;
    bool writeGameId(const QString &id);
    // An empty ledger removes the stored one.
    bool writeScreenGame(const QString &id, const QString &quotation,
                         const std::array<LetterState, kLetterCount> &letters,
                         const QString &ledger);

private:
    bool openChecked();
    bool setAside(const QString &path);
    bool write(const QString &key, const QVariant &value);
    bool sync();
    void recover();

    mutable std::mutex m_mutex;
    std::unique_ptr<QSettings> m_settings;
    QString m_location;
    QString m_setAsidePath;
    bool m_failed = false; // the last save failed: see recover()
};

// The game the store's keys hold and its id, read without writing, moving
// or locking anything: for the command line, which may run while the window
// writes. Nothing when the store cannot be read, and then why, in French.
struct QuietRead
{
    std::optional<StoredGame> game;
    QString id;
    QString location;
    QString error;
};
QuietRead ReadStoreQuietly();

// The stored game, read in one pass from the store as opened.
StoredGame LoadSettings(Store &store);
// Deletes the stored game (quotation and letters); false when the store
// could not be written.
bool ResetSettings(Store &store);

} // namespace lexorne::settings
