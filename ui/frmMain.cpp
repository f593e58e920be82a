// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmMain.h"

#include "highlight/highlight.h"
#include "resources/resources.h"
#include "ui/accessibility.h"
#include "ui/gamepanel.h"
#include "ui/lettercounts.h"
#include "ui/qtcompat.h"
#include "ui/textbox.h"
#include "ui/wholegame.h"
#include "version/version.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcutEvent>
#include <QTimer>

#include <utility>

namespace lexorne {

namespace {

// Presses a button the moment its access key is typed. Qt's own handling
// shows the button pressed for 100 ms before it clicks, which would more
// than double the time from Alt+O to the result.
class ImmediateAccessKeys : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *button = qobject_cast<QAbstractButton *>(watched);
        if (!button || event->type() != QEvent::Shortcut ||
            static_cast<QShortcutEvent *>(event)->isAmbiguous())
            return false;
        // Like Qt's own handling, the focus stays where it was.
        button->click();
        return true;
    }
};

// An option box: ticked or not; the letter board's three states are not its.
bool isTicked(const QCheckBox *box)
{
    return box->checkState() == Qt::Checked;
}

} // namespace

frmMain::frmMain(settings::Store &store, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_store(store), m_writer(store)
{
    m_report = [this](const QString &message) {
        QMessageBox::warning(this, QString::fromLatin1(kApplicationTitle), message);
    };

    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(kMainWindowCaption));
    setWindowIcon(resources::applicationIcon());
    installAccessibility();

    createControls();
    createPanelControl();
    Form_Load();
    connectHandlers();
    connectPanel();
    chainTabOrder();
    if (LetterCountTips::enabled())
        new LetterCountTips(
            txtOrigin, [this] { return strOriginal(); }, chkLetter, m_board, txtRendu, this);
    // After the load: the lists' entries are part of what must fit.
    layoutControls();
    setupGames();
    restorePanel();

    cmdExit->setFocus(Qt::OtherFocusReason);
}

frmMain::~frmMain() = default;

void frmMain::createControls()
{
    const auto name = [](QObject *object, const QString &objectName) {
        object->setObjectName(objectName);
    };

    fraOriginal = new QGroupBox(QStringLiteral("Citation"), this);
    name(fraOriginal, QStringLiteral("fraOriginal"));
    fraAlpha = new QGroupBox(QStringLiteral("Lettres proposées"), this);
    name(fraAlpha, QStringLiteral("fraAlpha"));
    fraRendu = new QGroupBox(QStringLiteral("Résultat"), this);
    name(fraRendu, QStringLiteral("fraRendu"));
    fraOptions = new QGroupBox(QStringLiteral("Options"), this);
    name(fraOptions, QStringLiteral("fraOptions"));

    txtOrigin = new QPlainTextEdit(fraOriginal);
    name(txtOrigin, QStringLiteral("txtOrigin"));
    txtRendu = new QPlainTextEdit(fraRendu);
    name(txtRendu, QStringLiteral("txtRendu"));
    for (QPlainTextEdit *box : {txtOrigin, txtRendu}) {
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        // Tab belongs to the window's tab order; Enter still breaks the line.
        box->setTabChangesFocus(true);
    }
    // Named here, not only through their frames' captions.
    txtOrigin->setAccessibleName(QStringLiteral("Citation"));
    txtRendu->setAccessibleName(QStringLiteral("Résultat"));
    txtRendu->setReadOnly(true);
    txtRendu->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    txtRendu->setFocusPolicy(Qt::StrongFocus);
    applyWorkspaceColour();
    new TextBoxKeys(txtOrigin);
    new TextBoxKeys(txtRendu, [this] { return m_shownResult; });

    picLettres = new QWidget(fraAlpha);
    name(picLettres, QStringLiteral("picLettres"));
    for (int k = 0; k < kLetterCount; ++k) {
        chkLetter[k] = new QCheckBox(QString(QChar(u'A' + k)), picLettres);
        name(chkLetter[k], QStringLiteral("chkLetter%1").arg(k));
    }

    picOptions = new QWidget(fraOptions);
    name(picOptions, QStringLiteral("picOptions"));
    chkClip = new QCheckBox(QStringLiteral("Copier dans le presse-papier"), picOptions);
    name(chkClip, QStringLiteral("chkClip"));
    chkClip->setCheckState(Qt::Checked);
    chkBBCode = new QCheckBox(QStringLiteral("Entourer la lettre"), picOptions);
    name(chkBBCode, QStringLiteral("chkBBCode"));
    cboBBCode1 = new QComboBox(picOptions);
    name(cboBBCode1, QStringLiteral("cboBBCode1"));
    // Otherwise known by its current entry ("A/a"), which says nothing.
    cboBBCode1->setAccessibleName(QStringLiteral("Lettre à entourer"));
    lblBCode = new QLabel(QStringLiteral("en"), picOptions);
    name(lblBCode, QStringLiteral("lblBCode"));
    cboBBCode2 = new QComboBox(picOptions);
    name(cboBBCode2, QStringLiteral("cboBBCode2"));
    cboBBCode2->setAccessibleName(QStringLiteral("Couleur"));
    cmdBBCode = new QPushButton(QStringLiteral("Go !"), picOptions);
    name(cmdBBCode, QStringLiteral("cmdBBCode"));
    cmdBBCode->setAccessibleDescription(
        QStringLiteral("Entoure la lettre choisie de la couleur choisie dans le résultat"));
    chkRecap = new QCheckBox(QStringLiteral("Log des lettres demandées"), picOptions);
    name(chkRecap, QStringLiteral("chkRecap"));
    chkRecap->setCheckState(Qt::Checked);
    chkAbsent = new QCheckBox(QStringLiteral("&Lettres absentes"), picOptions);
    name(chkAbsent, QStringLiteral("chkAbsent"));
    chkAbsent->setToolTip(QStringLiteral("Ajoute au log des lettres demandées les lettres "
                                         "proposées que la citation ne contient pas, avec "
                                         "leur nombre"));

    cmdAbout = new QPushButton(QStringLiteral("À &propos de..."), this);
    name(cmdAbout, QStringLiteral("cmdAbout"));
    cmdReset = new QPushButton(QStringLiteral("Re&set"), this);
    name(cmdReset, QStringLiteral("cmdReset"));
    cmdReset->setAccessibleDescription(
        QStringLiteral("Efface la citation enregistrée et décoche toutes les lettres"));
    // Reset asks nothing; the tooltip says how to take it back.
    cmdReset->setToolTip(
        QStringLiteral("Efface la citation et décoche toutes les lettres, sans confirmation.\n"
                       "Ctrl+Z (hors des zones de texte) rétablit la partie effacée."));
    cmdGenerate = new QPushButton(QStringLiteral("&On y va !"), this);
    name(cmdGenerate, QStringLiteral("cmdGenerate"));
    cmdGenerate->setAccessibleDescription(
        QStringLiteral("Masque les lettres non proposées de la citation"));
    cmdExit = new QPushButton(QStringLiteral("&Quitter"), this);
    name(cmdExit, QStringLiteral("cmdExit"));

    // The window has no default button: Enter belongs to the focused control.
    for (QPushButton *button : {cmdBBCode, cmdAbout, cmdReset, cmdGenerate, cmdExit}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    auto *accessKeys = new ImmediateAccessKeys(this);
    for (QPushButton *button : {cmdAbout, cmdReset, cmdGenerate, cmdExit})
        button->installEventFilter(accessKeys);
}

void frmMain::connectHandlers()
{
    connect(txtOrigin, &QPlainTextEdit::textChanged, this, &frmMain::txtOrigin_Change);
    for (int k = 0; k < kLetterCount; ++k) {
        QCheckBox *box = chkLetter[k];
        // Any change of state, not only clicks: a change made by the program
        // reaches the board too.
        connect(box, qtcompat::checkBoxStateChanged, this, [this, box, k] {
            // A greyed box that leaves that state goes back to two states, so
            // clicking never greys it again.
            if (box->checkState() != Qt::PartiallyChecked)
                box->setTristate(false);
            chkLetter_Click(k);
        });
    }
    connect(&m_board, &BoardModel::letterChanged, this, &frmMain::showBoardState);
    connectGame();
    addUndoKeys();
    connect(chkBBCode, qtcompat::checkBoxStateChanged, this, &frmMain::chkBBCode_Click);
    connect(cmdGenerate, &QPushButton::clicked, this, &frmMain::cmdGenerate_Click);
    connect(cmdBBCode, &QPushButton::clicked, this, &frmMain::cmdBBCode_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmMain::cmdReset_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    connect(cmdAbout, &QPushButton::clicked, this, &frmMain::cmdAbout_Click);
}

void frmMain::Form_Load()
{
    cboBBCode1->addItems(highlight::letterEntries());
    cboBBCode1->setCurrentIndex(0);
    cboBBCode1->setEnabled(false);
    cboBBCode2->addItems(highlight::colourNames());
    cboBBCode2->setCurrentIndex(0);
    cboBBCode2->setEnabled(false);
    cmdBBCode->setEnabled(false);
    // The text boxes keep no key state between events (TextBoxKeys, in
    // ui/textbox.h, takes Ctrl+A and Ctrl+C whole), so nothing of theirs is
    // reset here. The game is restored before any handler is connected, so
    // restoring it writes nothing back.
    restoreGame(settings::LoadSettings(m_store));
}

QString frmMain::strOriginal() const
{
    return m_fill.text(txtOrigin);
}

void frmMain::chkBBCode_Click()
{
    switch (chkBBCode->checkState()) {
    case Qt::Checked:
        cboBBCode1->setEnabled(true);
        cboBBCode2->setEnabled(true);
        cmdBBCode->setEnabled(true);
        break;
    case Qt::Unchecked:
        cboBBCode1->setEnabled(false);
        cboBBCode2->setEnabled(false);
        cmdBBCode->setEnabled(false);
        break;
    case Qt::PartiallyChecked:
        break;
    }
}

void frmMain::cmdGenerate_Click()
{
    showRendering();
    // The post for the chosen forum: strRendu itself for BBCode.
    if (isTicked(chkClip))
        putOnClipboard(m_shownResult);
}

QString frmMain::BBCode() const
{
    return highlight::openingTag(cboBBCode2->currentIndex());
}

void frmMain::cmdBBCode_Click()
{
    // Always from the plain rendering: highlights never pile up.
    if (m_profile == forum::Profile::BBCode)
        m_final = highlight::HighlightLetter(m_rendu, cboBBCode1->currentIndex(), BBCode(),
                                             highlight::closingTag());
    else
        m_final = forum::Post(m_profile, m_rendu, cboBBCode1->currentIndex(),
                              forum::Mark{cboBBCode2->currentIndex()});
    showResult(m_final);
    if (isTicked(chkClip))
        putOnClipboard(m_final);
}

void frmMain::cmdExit_Click()
{
    close();
}

void frmMain::cmdAbout_Click()
{
    // Closing the about window through its title bar destroys it; the next
    // request builds it anew.
    if (!m_about)
        m_about = new frmAbout(this, m_aboutOptions);
    m_about->exec();
}

void frmMain::setProblemReporter(ProblemReporter reporter)
{
    m_report = std::move(reporter);
}

void frmMain::setAboutOptions(AboutOptions options)
{
    m_aboutOptions = std::move(options);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmMain::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_firstShow)
        return;
    m_firstShow = false;
    // What happened during the load is told once the window is there to
    // carry the message. A timer of the window's, not QTimer::singleShot(),
    // whose hand-over of the slot to Qt the static analyser cannot follow.
    if (!m_pendingMessages.isEmpty()) {
        auto *later = new QTimer(this);
        later->setSingleShot(true);
        connect(later, &QTimer::timeout, this, [this, later] {
            later->deleteLater();
            const QStringList messages = std::exchange(m_pendingMessages, {});
            for (const QString &message : messages)
                m_report(message);
        });
        later->start(0);
    }
}

void frmMain::showRendering(TextFill::Step step)
{
    m_rendu = game::RenderGame(m_game.game(strOriginal()), renderOptions());
    showResult(forumPost(m_rendu), step);
}

game::RenderOptions frmMain::renderOptions() const
{
    return {.log = {.letterLog = isTicked(chkRecap), .absentLetters = isTicked(chkAbsent)},
            .lines = m_game.lines(),
            .escape = game::NameEscapeFor(m_profile)};
}

void frmMain::cmdReveal_Click()
{
    const QString text = game::RevealGame(m_game.game(strOriginal()), renderOptions(),
                                          {m_profile, forum::Mark{cboBBCode2->currentIndex()},
                                           m_game.spoiler(), m_game.redditSpoiler()});
    const bool copy = isTicked(chkClip);
    m_game.reveal(text, m_shownResult, [this, copy, text](const QString &shown) {
        showResult(shown);
        if (copy && shown == text)
            putOnClipboard(text);
    });
}

void frmMain::showResult(const QString &text, TextFill::Step step)
{
    m_shownResult = text;
    m_fill.fill(txtRendu, text, step);
    if (m_panel && !m_panel->isHidden())
        m_panel->showPost(m_profile, text);
}

void frmMain::putOnClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

} // namespace lexorne
