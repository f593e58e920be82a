// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: the quotation, the letter board, the options and the
// result, with the generate and highlight commands and the game's start and end.
#pragma once

#include "settings/settings.h"
#include "ui/frmAbout.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace lexorne {

// Every control carries its member name as objectName; the letter boxes are
// "chkLetter0" ("A") to "chkLetter25" ("Z").
//
// Ending the program: closing the window (close box, "&Quitter", or close()
// called by anyone) runs Form_Unload() once, which stores the quotation and
// tells the user through the problem reporter when that failed.
// - A quit driven by SIGTERM/SIGINT/SIGHUP should first install a reporter that
//   does not block (setProblemReporter with a line on stderr), then call close().
// - The session manager's commitDataRequest should call storeQuotation(): it
//   saves without closing and without any message, and says whether it worked.
class frmMain : public QWidget, private settings::GameView
{
    Q_OBJECT
public:
    // Builds the controls and runs Form_Load(), which restores the stored game.
    explicit frmMain(settings::Store &store, QWidget *parent = nullptr);
    ~frmMain() override;

    using ProblemReporter = std::function<void(const QString &message)>;

    // Mirror of the quotation box, updated at every change of its text.
    QString strOriginal;
    // The last rendering of the quotation (with the log when asked for).
    QString strRendu;
    // The last colour-highlighted text.
    QString strFinal;

    // "&On y va !": renders the quotation, shows it and, with "Copier dans le
    // presse-papier" ticked, puts it on the clipboard.
    void cmdGenerate_Click();
    // Opening tag of the colour selected in the colour list; empty if none.
    QString BBCode() const;
    // "Go !": highlights the chosen letter of strRendu in the chosen colour.
    void cmdBBCode_Click();

    // Stores the quotation and reports a failure; runs at most once.
    void Form_Unload();
    // Writes the quotation box's exact text to the store; false on failure.
    bool storeQuotation();

    // Who tells the user about a failed save (default: a message box).
    void setProblemReporter(ProblemReporter reporter);
    // What the about window is built from the next time it is created.
    void setAboutOptions(AboutOptions options);

    // Pixels per twip times 15: the one factor the whole layout is scaled by.
    double layoutScale() const { return m_scale; }

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

    // settings::GameView
    void setQuotation(const QString &text) override;
    void setLetterState(int index, LetterState state) override;
    void showRendering() override;
    void clearResult() override;

    QString quotationText() const;
    Board currentBoard() const;
    void showResult(const QString &text);
    static void putOnClipboard(const QString &text);
    void reportLetterWriteFailure();

    settings::Store &m_store;

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

    QPointer<frmAbout> m_about;
    AboutOptions m_aboutOptions;
    ProblemReporter m_report;

    // Exactly what the result box was last given (its carriage returns
    // included), for copies out of the box.
    QString m_shownResult;
    double m_scale = 1.0;
    bool m_firstShow = true;
    bool m_unloaded = false;
    bool m_letterWriteReported = false;
    bool m_letterWarningPending = false;
};

} // namespace lexorne
