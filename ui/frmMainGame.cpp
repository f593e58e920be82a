// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's game: restoring it at start, the board model that the
// boxes show and the store follows, the quotation stored when typing pauses
// and at close, reset, undo and redo, and what is told when the store fails.
#include "ui/frmMain.h"

#include "ui/boardkeys.h"
#include "ui/checkstate.h"
#include "ui/gameundo.h"
#include "ui/wholegame.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QUndoStack>

namespace lexorne {

namespace {

QString letterWriteMessage(const QString &location)
{
    return QStringLiteral("Les lettres cochées n'ont pas pu être enregistrées (%1).\n"
                          "Elles ne seront pas retrouvées au prochain lancement.")
        .arg(location);
}

QString quotationWriteMessage(const QString &location)
{
    return QStringLiteral("La citation n'a pas pu être enregistrée (%1).\n"
                          "Elle ne sera pas retrouvée au prochain lancement.")
        .arg(location);
}

QString gamesWriteMessage(const QString &location)
{
    return QStringLiteral("La liste des parties n'a pas pu être enregistrée (%1).\n"
                          "Les derniers changements de la liste ne seront pas retrouvés "
                          "au prochain lancement.")
        .arg(location);
}

QString setAsideMessage(const QString &copy)
{
    return QStringLiteral("La partie enregistrée n'a pas pu être lue.\n"
                          "Le fichier a été mis de côté sous :\n%1\n"
                          "Une nouvelle partie commence.")
        .arg(copy);
}

QString unusableMessage(const QString &location)
{
    return QStringLiteral("La partie enregistrée n'a pas pu être lue (%1).\n"
                          "Le fichier est laissé tel quel, et rien ne sera enregistré "
                          "pendant cette session.")
        .arg(location);
}

} // namespace

void frmMain::restoreGame(const settings::StoredGame &game)
{
    if (m_store.isUnusable())
        m_pendingMessages << unusableMessage(m_store.location());
    else if (!m_store.setAsidePath().isEmpty())
        m_pendingMessages << setAsideMessage(m_store.setAsidePath());
    // A long game shows its start first, and the window with it.
    m_fill.fill(txtOrigin, game.quotation, TextFill::Step::StartFirst);
    m_board.setStates(game.letters);
    // Nothing is connected yet: the boxes are told the board here.
    for (int k = 0; k < kLetterCount; ++k)
        showBoardState(k, m_board.state(k));
    if (const QString message = m_game.restore(game.ledger, m_store); !message.isEmpty())
        m_pendingMessages << message;
    showRendering(TextFill::Step::StartFirst);
}

void frmMain::connectGame()
{
    m_game.attach(m_undo);
    new BoardKeys(chkLetter, this);
    connect(&m_board, &BoardModel::letterChanged, this, [this](int index, LetterState state) {
        if (!m_showingGame)
            m_writer.writeLetter(index, state);
    });
    connect(&m_writer, &settings::StoreWriter::failed, this, &frmMain::storeFailed);

    m_autosave.setSingleShot(true);
    m_autosave.setInterval(kAutosaveMs);
    connect(&m_autosave, &QTimer::timeout, this, &frmMain::autosaveQuotation);
}

void frmMain::txtOrigin_Change()
{
    m_quotationTyped = true;
    m_autosave.start();
}

void frmMain::addUndoKeys()
{
    const auto add = [this](const QKeySequence &keys, bool redo) {
        auto *shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [this, redo] { undoKey(redo); });
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_Z), false);
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), true);
    add(QKeySequence(Qt::CTRL | Qt::Key_Y), true);
}

void frmMain::undoKey(bool redo)
{
    // In a text box the keys stay the text's own; the box takes those its
    // platform knows before they get here, and gets the others here.
    if (auto *box = qobject_cast<QPlainTextEdit *>(QApplication::focusWidget())) {
        if (!box->isReadOnly())
            redo ? box->redo() : box->undo();
        return;
    }
    redo ? m_undo.redo() : m_undo.undo();
}

void frmMain::chkLetter_Click(int Index)
{
    if (Index < 0 || Index >= kLetterCount)
        return;
    const LetterState shown = toLetterState(chkLetter[Index]->checkState());
    // The box only shows what the model already holds; a change is one
    // step, with its credit when a player is named.
    m_game.tick(Index, shown);
}

void frmMain::showBoardState(int index, LetterState state)
{
    const Qt::CheckState shown = toCheckState(state);
    if (chkLetter[index]->checkState() != shown)
        chkLetter[index]->setCheckState(shown);
}

void frmMain::cmdReset_Click()
{
    GameSnapshot before{strOriginal(), m_board.states(), m_game.state(), m_shownResult};
    m_undo.push(new ResetCommand(
        std::move(before), [this] { clearGame(); },
        [this](const GameSnapshot &game) {
            m_board.setStates(game.letters);
            m_game.setState(game.ledger);
            setQuotation(game.quotation);
            // The store follows at once, as it does for a tick.
            m_writer.writeQuotation(game.quotation);
            showResult(game.shownResult);
        }));
}

void frmMain::clearGame()
{
    // Cleared first, so that the untick of each ticked letter, written
    // after, leaves "0" under its key, as it always has.
    m_writer.resetGame();
    m_board.setStates({});
    m_game.clear();
    setQuotation(QString());
    showResult(QString());
}

void frmMain::setQuotation(const QString &text)
{
    m_fill.fill(txtOrigin, text);
    m_autosave.stop();
    m_quotationTyped = false;
}

void frmMain::autosaveQuotation()
{
    if (!std::exchange(m_quotationTyped, false))
        return;
    m_writer.writeQuotation(strOriginal());
}

void frmMain::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_autosave.stop();
    if (!storeQuotation())
        m_report(quotationWriteMessage(m_store.location()));
}

bool frmMain::storeQuotation()
{
    m_writer.waitUntilWritten();
    return m_store.writeQuotation(strOriginal());
}

void frmMain::storeFailed(settings::StoreWriter::Subject subject)
{
    switch (subject) {
    case settings::StoreWriter::Subject::Letter:
    case settings::StoreWriter::Subject::Game:
    case settings::StoreWriter::Subject::Ledger:
        if (!std::exchange(m_letterWriteReported, true))
            tell(letterWriteMessage(m_store.location()));
        break;
    case settings::StoreWriter::Subject::Quotation:
        if (!std::exchange(m_quotationWriteReported, true))
            tell(quotationWriteMessage(m_store.location()));
        break;
    case settings::StoreWriter::Subject::Option:
        // A choice of the window that did not reach the store costs nothing
        // typed; the game's next write tells about the store.
        break;
    case settings::StoreWriter::Subject::Games:
        if (!std::exchange(m_gamesWriteReported, true))
            tell(gamesWriteMessage(m_store.location()));
        break;
    }
}

void frmMain::tell(const QString &message)
{
    if (isVisible())
        m_report(message);
    else
        m_pendingMessages << message;
}

} // namespace lexorne
