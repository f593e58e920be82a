// Settings store: keeps the game (the quotation and the 26 letter states)
// per user between runs, and restores or clears it through the window.
#pragma once

#include "engine.h"

#include <QSettings>
#include <QString>

namespace lexorne::settings {

// Per-user store, organization "Quillmoor", application "Lexorne".
// Sections "General Settings" (key "Citation") and "Alpha" (keys "0".."25").
// Every write is flushed at once; write functions return false when the
// store could not be written (read-only folder, full disk...).
class Store
{
public:
    Store();
    Store(const Store &) = delete;
    Store &operator=(const Store &) = delete;

    QString readQuotation() const;
    bool writeQuotation(const QString &text);
    bool removeQuotation();

    // Stored text "1" gives Ticked, "2" Greyed; "0", an absent key and any
    // other text give Unticked.
    LetterState readLetter(int index) const;
    bool writeLetter(int index, LetterState state);
    bool removeLetter(int index);

    // Where the store lives, for messages to the user.
    QString location() const;

private:
    mutable QSettings m_settings;
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
