// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the quotation, the letter board, the options and the
// result, with the generate and highlight commands and the game's start and end.
#pragma once

#include "forum/forum.h"
#include "game/game.h"
#include "settings/games.h"
#include "settings/settings.h"
#include "settings/storewriter.h"
#include "ui/boardmodel.h"
#include "ui/frmAbout.h"
#include "ui/gamelist.h"
#include "ui/textfill.h"
#include "ui/wholegame.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUndoStack>
#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace lexorne {

class GamePanel;

// Every control carries its member name as objectName; the letter boxes are
// "chkLetter0" ("A") to "chkLetter25" ("Z").
//
// The game: the check boxes show one board model, which the store follows
// (on a thread of its own, settings::StoreWriter). Every tick and every
// reset goes through an undo stack: Ctrl+Z undoes, Ctrl+Maj+Z and Ctrl+Y
// redo, while the focus is not in a text box (there they are the text's).
// The quotation is stored when typing pauses for kAutosaveMs, and at close.
//
// Ending the program: closing the window (close box, "&Quitter", or close()
// called by anyone) runs Form_Unload() once, which stores the quotation and
// tells the user through the problem reporter when that failed.
// - A quit driven by SIGTERM/SIGINT/SIGHUP should first install a reporter that
//   does not block (setProblemReporter with a line on stderr), then call close().
// - The session manager's commitDataRequest should call storeQuotation(): it
//   saves without closing and without any message, and says whether it worked.
class frmMain : public QWidget
{
    Q_OBJECT
public:
    // How long typing must pause before the quotation is stored.
    static constexpr int kAutosaveMs = 2000;

    // Builds the controls, restores the stored game (Form_Load) and only
    // then connects the handlers: none of them ever sees a half-built window.
    explicit frmMain(settings::Store &store, QWidget *parent = nullptr);
    ~frmMain() override;

    using ProblemReporter = std::function<void(const QString &message)>;

    // The quotation as the box holds it, a long game's rest still to come
    // included: the one way anything reads it.
    QString strOriginal() const;
    // The last rendering of the quotation (with the log when asked for).
    const QString &strRendu() const { return m_rendu; }
    // The last colour-highlighted text.
    const QString &strFinal() const { return m_final; }

    // "&On y va !": renders the quotation, shows it and, with "Copier dans le
    // presse-papier" ticked, puts it on the clipboard.
    void cmdGenerate_Click();
    // Opening tag of the colour selected in the colour list; empty if none.
    QString BBCode() const;
    // "Go !": highlights the chosen letter of strRendu in the chosen colour.
    void cmdBBCode_Click();

    // Stores the quotation and reports a failure; runs at most once.
    void Form_Unload();
    // Writes the quotation box's exact text to the store at once, after
    // every write already asked for; false on failure.
    bool storeQuotation();

    // Returns once every write asked for so far has reached the store.
    void waitUntilStored() { m_writer.waitUntilWritten(); }

    // The ticks and resets that Ctrl+Z undoes.
    const QUndoStack &undoStack() const { return m_undo; }
    // The whole game beside the board: credits, guesses, misses, reveal.
    WholeGame &wholeGame() { return m_game; }
    const WholeGame &wholeGame() const { return m_game; }
    // "Révéler": the whole quotation with the letters still hidden marked in
    // the colour list's colour, the log as ticked, in the result box and,
    // with "Copier dans le presse-papier" ticked, on the clipboard.
    void cmdReveal_Click();

    // Who tells the user about a failed save (default: a message box).
    void setProblemReporter(ProblemReporter reporter);
    // What the about window is built from the next time it is created.
    void setAboutOptions(AboutOptions options);

    // The list of games, shown in the game panel (frmMainGames.cpp).
    GameList &gameList() { return m_games; }

    // Pixels per twip times 15: the one factor the whole layout is scaled by.
    double layoutScale() const { return m_scale; }

    // The game panel beside the window (frmMainPanel.cpp): built the first
    // time it opens, null until then.
    GamePanel *gamePanel() const { return m_panel; }
    // The forum the result is written for ("Forum" in the panel, stored).
    forum::Profile forumProfile() const { return m_profile; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createControls();
    void connectHandlers();
    void chainTabOrder();
    void layoutControls();
    // Paints the result box in the palette's workspace tone.
    void applyWorkspaceColour();

    void Form_Load();
    void txtOrigin_Change();
    void chkLetter_Click(int Index);
    void chkBBCode_Click();
    void cmdReset_Click();
    void cmdExit_Click();
    void cmdAbout_Click();

    // The game's flow (frmMainGame.cpp).
    void restoreGame(const settings::StoredGame &game);
    void connectGame();
    void addUndoKeys();
    void undoKey(bool redo);
    void showBoardState(int index, LetterState state);
    void clearGame();
    // Puts text into the quotation box as already stored: no autosave.
    void setQuotation(const QString &text);
    void autosaveQuotation();
    void storeFailed(settings::StoreWriter::Subject subject);

    // Several games (frmMainGames.cpp).
    void setupGames();
    settings::GameRecord screenGame() const;
    void showGame(const settings::GameRecord &game);
    void showGameName();
    void tell(const QString &message);

    // The game panel and the forum (frmMainPanel.cpp).
    void createPanelControl();
    void connectPanel();
    void restorePanel();
    void cmdPartie_Click();
    void placePanel();
    void forumChanged(forum::Profile profile);
    // The forum of the game put on screen: chosen, stored, shown.
    void followProfile(forum::Profile profile);
    QString forumPost(const QString &rendered) const;
    void schedulePreview();
    void refreshPreview();

    void showRendering(TextFill::Step step = TextFill::Step::Whole);
    game::RenderOptions renderOptions() const;
    void showResult(const QString &text, TextFill::Step step = TextFill::Step::Whole);
    static void putOnClipboard(const QString &text);

    settings::Store &m_store;
    settings::StoreWriter m_writer;
    BoardModel m_board;
    // The ledger beside the board; its steps go on m_undo.
    WholeGame m_game{m_board, m_writer};
    // The games the window keeps beside the one on screen; it puts them there.
    GameList m_games{m_store,
                     m_writer,
                     m_undo,
                     {[this] { return screenGame(); },
                      [this](const settings::GameRecord &game) {
                          showGame(game);
                      }}};
    // After the board and the games: their commands act on them until they go.
    QUndoStack m_undo;
    QTimer m_autosave;
    // Everything that goes into the two text boxes goes through here.
    TextFill m_fill;
    QString m_rendu;
    QString m_final;

    QGroupBox *fraOriginal = nullptr;
    QGroupBox *fraAlpha = nullptr;
    QGroupBox *fraRendu = nullptr;
    QGroupBox *fraOptions = nullptr;
    QPlainTextEdit *txtOrigin = nullptr;
    QWidget *picLettres = nullptr;
    std::array<QCheckBox *, kLetterCount> chkLetter{};
    QPlainTextEdit *txtRendu = nullptr;
    QWidget *picOptions = nullptr;
    QCheckBox *chkClip = nullptr;
    QCheckBox *chkBBCode = nullptr;
    QComboBox *cboBBCode1 = nullptr;
    QLabel *lblBCode = nullptr;
    QComboBox *cboBBCode2 = nullptr;
    QPushButton *cmdBBCode = nullptr;
    QCheckBox *chkRecap = nullptr;
    QCheckBox *chkAbsent = nullptr;
    QPushButton *cmdAbout = nullptr;
    QPushButton *cmdReset = nullptr;
    QPushButton *cmdGenerate = nullptr;
    QPushButton *cmdExit = nullptr;
    QToolButton *cmdPartie = nullptr;
    GamePanel *m_panel = nullptr;
    // Holds the panel: scrolls it on a screen too short for it, rather than
    // squeeze its controls.
    QScrollArea *m_panelArea = nullptr;
    forum::Profile m_profile = forum::Profile::BBCode;
    QTimer m_previewTimer;
    // The window's size as its design draws it, the panel closed.
    QSize m_clientSize;

    // A game being put on screen is in the store already: its letters are
    // not written one by one.
    bool m_showingGame = false;

    QPointer<frmAbout> m_about;
    AboutOptions m_aboutOptions;
    ProblemReporter m_report;

    // Exactly what the result box was last given (its carriage returns
    // included), for copies out of the box.
    QString m_shownResult;
    double m_scale = 1.0;
    bool m_firstShow = true;
    bool m_unloaded = false;
    bool m_quotationTyped = false;
    // Each kind of failed write is told once a run.
    bool m_letterWriteReported = false;
    bool m_quotationWriteReported = false;
    bool m_gamesWriteReported = false;
    // What to tell once the window is there to carry it.
    QStringList m_pendingMessages;
};

} // namespace lexorne
