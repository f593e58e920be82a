// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Settings store: keeps the game (the quotation and the 26 letter states)
// per user between runs, and restores or clears it through the window.
#pragma once

#include "engine/engine.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QVariant>

#include <memory>

namespace lexorne::settings {

// Per-user store, organization "Quillmoor", application "Lexorne".
// Sections "General Settings" (key "Citation") and "Alpha" (keys "0".."25").
// Every write is flushed at once; write functions return false when the
// store could not be written (read-only folder, full disk...). QSettings keeps
// a change it could not save and saves it with the next write that succeeds,
// so the file catches up with the board once the disk allows it.
//
// Nothing is cached here: every call opens the store afresh, so a change made
// to the file by hand while the program runs is seen, and never overwritten
// with older values.
//
// A file that cannot be parsed (or is not UTF-8) is renamed aside, never
// rewritten, and the game starts clean; see setAsidePath(). Should renaming
// fail, the store is left alone for the whole run: reads give the defaults and
// writes return false.
class Store
{
public:
    Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;
    ~Store();

    QString readQuotation() const;
    bool writeQuotation(const QString &text);
    // Removing an absent key changes nothing and is not a failure.
    bool removeQuotation();

    // Stored text "1" gives Ticked, "2" Greyed; "0", an absent key and any
    // other text give Unticked. An index outside 0..25 is never read or
    // written (Unticked, false).
    LetterState readLetter(int index) const;
    bool writeLetter(int index, LetterState state);
    bool removeLetter(int index);

    // Where the store lives, for messages to the user.
    QString location() const;

    // The name an unreadable store file was given when it was set aside
    // during this run, or an empty text.
    QString setAsidePath() const { return m_setAsidePath; }

    // How the quotation is kept: plain text as QSettings writes it; a text
    // holding an unpaired surrogate (which QSettings would replace) as bytes
    // in UTF-8 extended to lone surrogates. Exposed for the tests.
    static QVariant encodeQuotation(const QString &text);
    static QString decodeQuotation(const QVariant &stored);

private:
    std::unique_ptr<QSettings> open() const;
    bool write(const QString &key, const QVariant &value);
    bool remove(const QString &key);

    mutable QString m_setAsidePath;
    mutable bool m_unusable = false;
};

// What restoring and clearing the game needs from the main window.
class GameView
{
public:
    virtual ~GameView() = default;
    // Sets the quotation box; runs the window's change handling.
    virtual void setQuotation(const QString &text) = 0;
    // Sets letter box index; a real change runs the window's letter write.
    virtual void setLetterState(int index, LetterState state) = 0;
    // Renders the current quotation into strRendu and the result box,
    // without touching the clipboard.
    virtual void showRendering() = 0;
    // Empties the result box (strRendu stays).
    virtual void clearResult() = 0;
};

// Restores the quotation and the board from the store and shows the rendering.
void LoadSettings(Store &store, GameView &view);
// Deletes the stored game and clears the board and both text boxes.
void ResetSettings(Store &store, GameView &view);

} // namespace lexorne::settings
