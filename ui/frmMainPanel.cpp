// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's side of the game panel: the small button in the board's
// empty corner that opens it, where the panel stands, the forum every post
// is written for, the preview that follows the game as it goes, and the
// list of games.
#include "ui/frmMain.h"

#include "ui/gamecontrols.h"
#include "ui/gamepanel.h"
#include "ui/gamespanel.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

#include "ui/qtcompat.h"

using namespace Qt::StringLiterals;

namespace lexorne {

namespace {

// The board's last column holds only Y and Z: the button takes the two
// empty cells below them.
constexpr twips::Rect kPanelButton{4200, 480, 495, 495};
// The panel is as wide as the window's frames.
constexpr int kPanelWidth = 4935;
constexpr int kPanelMargin = 120;

const QString kForumKey = u"Forum"_s;
const QString kOpenKey = u"Panneau"_s;

} // namespace

void frmMain::createPanelControl()
{
    cmdPartie = new QToolButton(picLettres);
    cmdPartie->setObjectName(u"cmdPartie"_s);
    cmdPartie->setCheckable(true);
    cmdPartie->setText(u"»"_s);
    cmdPartie->setShortcut(QKeySequence(Qt::ALT | Qt::Key_J));
    cmdPartie->setAccessibleName(u"Panneau de la partie"_s);
    cmdPartie->setAccessibleDescription(u"Ouvre ou ferme, à droite de la fenêtre, le panneau du "
                                        u"forum, de l'aperçu et des parties"_s);
    cmdPartie->setToolTip(u"Panneau de la partie : forum, aperçu et parties (Alt+J)"_s);

    // Read before the game is restored, so that its first rendering is
    // already the chosen forum's post. An unknown or edited value gives the
    // post as it always was.
    m_profile =
        forum::profileFromName(m_store.readOption(kForumKey)).value_or(forum::Profile::BBCode);
}

void frmMain::connectPanel()
{
    connect(cmdPartie, &QToolButton::clicked, this, &frmMain::cmdPartie_Click);
    // Many changes in one event (a reset, a paste) make one preview.
    m_previewTimer.setSingleShot(true);
    m_previewTimer.setInterval(0);
    connect(&m_previewTimer, &QTimer::timeout, this, &frmMain::refreshPreview);
    connect(&m_board, &BoardModel::letterChanged, this, &frmMain::schedulePreview);
    connect(txtOrigin, &QPlainTextEdit::textChanged, this, &frmMain::schedulePreview);
    for (QCheckBox *box : {chkRecap, chkAbsent})
        connect(box, qtcompat::checkBoxStateChanged, this, &frmMain::schedulePreview);
}

void frmMain::restorePanel()
{
    if (m_store.readOption(kOpenKey) == u"1"_s)
        cmdPartie->click();
}

void frmMain::cmdPartie_Click()
{
    const bool open = cmdPartie->isChecked();
    if (open && !m_panel) {
        m_panelArea = new QScrollArea(this);
        m_panelArea->setObjectName(u"scrPartie"_s);
        m_panelArea->setFrameShape(QFrame::NoFrame);
        m_panelArea->setWidgetResizable(true);
        m_panelArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // Tab goes through to the controls, and scrolls them into view.
        m_panelArea->setFocusPolicy(Qt::NoFocus);
        m_panel = new GamePanel;
        m_panel->setProfile(m_profile);
        connect(m_panel, &GamePanel::profileChanged, this, &frmMain::forumChanged);
        // The whole game's section: players, guesses, misses, the reveal.
        auto *game = new GameControls(m_game, [this] { return strOriginal(); });
        m_panel->addSection(game);
        connect(game, &GameControls::revealRequested, this, &frmMain::cmdReveal_Click);
        connect(&m_game, &WholeGame::changed, this, &frmMain::schedulePreview);
        // The list of games below it.
        auto *games = new GamesPanel(m_games);
        games->setReporter([this](const QString &message) { m_report(message); });
        m_panel->addSection(games);
        m_panelArea->setWidget(m_panel);
        QWidget::setTabOrder(cmdPartie, m_panel->firstControl());
    }
    cmdPartie->setText(open ? u"«"_s : u"»"_s);
    m_writer.writeOption(kOpenKey, open ? u"1"_s : u"0"_s);
    if (m_panel) {
        m_panel->setVisible(open);
        m_panelArea->setVisible(open);
    }
    placePanel();
    if (open)
        refreshPreview();
}

void frmMain::placePanel()
{
    // Flush with the board's corner: rounding may not take it a pixel past.
    cmdPartie->setGeometry(twips::toPixels(kPanelButton, m_scale).intersected(picLettres->rect()));
    const bool open = m_panel && cmdPartie->isChecked();
    if (!open) {
        setFixedSize(m_clientSize);
        return;
    }
    const QRect frame = twips::toPixels({0, 0, kPanelWidth + kPanelMargin, 0}, m_scale);
    const int margin = twips::toPixels({0, 0, kPanelMargin, kPanelMargin}, m_scale).width();
    // The window grows downward as far as the panel's controls need, and the
    // screen allows (its title bar counted, before the window manager has
    // framed it); past that, the panel scrolls.
    int height = m_clientSize.height();
    const int wanted = m_panel->minimumSizeHint().height() + 2 * margin;
    if (wanted > height) {
        int limit = wanted;
        if (const QScreen *screen = this->screen()) {
            const int title = isVisible() ? frameGeometry().height() - geometry().height()
                                          : style()->pixelMetric(QStyle::PM_TitleBarHeight);
            limit = screen->availableGeometry().height() - title;
        }
        height = std::max(height, std::min(wanted, limit));
    }
    m_panelArea->setGeometry(m_clientSize.width(), margin, frame.width() - margin,
                             height - 2 * margin);
    setFixedSize(m_clientSize.width() + frame.width(), height);
    // Grown past the screen's right or bottom edge, the window moves left or
    // up rather than let the window manager cut the panel off.
    if (const QScreen *screen = this->screen(); screen && isVisible()) {
        const QRect available = screen->availableGeometry();
        const int right = frameGeometry().right() - available.right();
        const int bottom = frameGeometry().bottom() - available.bottom();
        if (right > 0 || bottom > 0)
            move(std::max(available.left(), x() - std::max(right, 0)),
                 std::max(available.top(), y() - std::max(bottom, 0)));
    }
}

void frmMain::forumChanged(forum::Profile profile)
{
    m_profile = profile;
    m_writer.writeOption(kForumKey, forum::profileName(profile));
    // The result as the new forum reads it; the clipboard waits for a command.
    showResult(forumPost(m_rendu));
    refreshPreview();
}

void frmMain::followProfile(forum::Profile profile)
{
    if (profile == m_profile)
        return;
    m_profile = profile;
    m_writer.writeOption(kForumKey, forum::profileName(profile));
    if (m_panel)
        m_panel->setProfile(profile);
}

QString frmMain::forumPost(const QString &rendered) const
{
    return forum::Post(m_profile, rendered);
}

void frmMain::schedulePreview()
{
    if (m_panel && !m_panel->isHidden())
        m_previewTimer.start();
}

void frmMain::refreshPreview()
{
    if (!m_panel || m_panel->isHidden())
        return;
    // What "On y va !" would post now.
    const QString rendered =
        RenderQuotation(strOriginal(), m_board.board(),
                        {.letterLog = chkRecap->checkState() == Qt::Checked,
                         .absentLetters = chkAbsent->checkState() == Qt::Checked});
    m_panel->showPost(m_profile, forumPost(rendered));
}

} // namespace lexorne
