// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/gamepanel.h"

#include "forum/preview.h"
#include "ui/controlsize.h"
#include "ui/themecolours.h"

#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextBrowser>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace lexorne {

GamePanel::GamePanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(u"picPartie"_s);

    lblForum = new QLabel(u"&Forum :"_s, this);
    lblForum->setObjectName(u"lblForum"_s);
    cboForum = new QComboBox(this);
    cboForum->setObjectName(u"cboForum"_s);
    cboForum->setAccessibleName(u"Forum"_s);
    cboForum->setAccessibleDescription(u"Le forum où le résultat sera publié"_s);
    cboForum->setToolTip(u"Le résultat et l'aperçu suivent les règles de ce forum : BBCode, ou "
                         u"Markdown, où la lettre entourée passe en gras"_s);
    for (int i = 0; i < forum::kProfileCount; ++i)
        cboForum->addItem(forum::profileLabel(*forum::profileAt(i)));
    // The panel's width is the window's to give; the open list shows the
    // whole names.
    cboForum->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboForum->setMinimumContentsLength(12);
    lblForum->setBuddy(cboForum);
    connect(cboForum, &QComboBox::activated, this, [this](int index) {
        if (const std::optional<forum::Profile> chosen = forum::profileAt(index))
            emit profileChanged(*chosen);
    });

    fraApercu = new QGroupBox(u"Aperçu"_s, this);
    fraApercu->setObjectName(u"fraApercu"_s);
    txtApercu = new QTextBrowser(fraApercu);
    txtApercu->setObjectName(u"txtApercu"_s);
    txtApercu->setAccessibleName(u"Aperçu"_s);
    txtApercu->setAccessibleDescription(u"Le résultat tel que le forum l'affichera"_s);
    txtApercu->setToolTip(u"Le résultat tel que le forum choisi l'affichera"_s);
    txtApercu->setOpenLinks(false);
    // Read by keyboard too: the caret moves, the text can be selected.
    txtApercu->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse |
                                       Qt::LinksAccessibleByKeyboard);
    txtApercu->setFocusPolicy(Qt::StrongFocus);
    txtApercu->setTabChangesFocus(true);
    txtApercu->setMinimumHeight(heightForLines(txtApercu, 4));

    auto *forumRow = new QHBoxLayout;
    forumRow->addWidget(lblForum);
    forumRow->addWidget(cboForum, 1);
    auto *preview = new QVBoxLayout(fraApercu);
    preview->addWidget(txtApercu);
    m_sections = new QVBoxLayout;
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(forumRow);
    layout->addLayout(m_sections);
    layout->addWidget(fraApercu, 1);
    QWidget::setTabOrder(cboForum, txtApercu);
}

forum::Profile GamePanel::profile() const
{
    return forum::profileAt(cboForum->currentIndex()).value_or(forum::Profile::BBCode);
}

void GamePanel::setProfile(forum::Profile profile)
{
    cboForum->setCurrentIndex(int(profile));
}

void GamePanel::showPost(forum::Profile profile, const QString &post)
{
    m_shownProfile = profile;
    m_shownPost = post;
    QString shown = post;
    const bool cut = shown.size() > kPreviewLimit;
    if (cut) {
        // At a line break when there is one, so that no escape is cut in two.
        const qsizetype end = shown.lastIndexOf(u'\n', kPreviewLimit);
        shown.truncate(end > kPreviewLimit / 2 ? end : kPreviewLimit);
    }
    fraApercu->setTitle(cut ? u"Aperçu (début du message)"_s : u"Aperçu"_s);

    if (profile == forum::Profile::Markdown) {
        txtApercu->document()->setMarkdown(shown);
        return;
    }
    // A marked letter whose colour hardly shows on this background is
    // backed by the text colour or the background, whichever reads better.
    const QPalette colours = txtApercu->palette();
    const QColor base = colours.color(QPalette::Base);
    const QColor text = colours.color(QPalette::Text);
    const forum::Backing backing = [&](quint32 rgb) -> std::optional<quint32> {
        const QColor colour = QColor::fromRgb(QRgb(rgb));
        if (contrastRatio(colour, base) >= kReadableLink)
            return std::nullopt;
        const QColor under =
            contrastRatio(colour, text) > contrastRatio(colour, base) ? text : base;
        return under.rgb() & 0xFFFFFF;
    };
    txtApercu->setHtml(forum::PreviewHtml(profile, shown, backing));
}

void GamePanel::addSection(QWidget *section)
{
    section->setParent(this);
    m_sections->addWidget(section);
}

QWidget *GamePanel::firstControl() const
{
    return cboForum;
}

QWidget *GamePanel::lastControl() const
{
    return txtApercu;
}

void GamePanel::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // The backings were chosen on the old colours.
    if ((event->type() == QEvent::PaletteChange ||
         event->type() == QEvent::ApplicationPaletteChange) &&
        !m_shownPost.isEmpty())
        showPost(m_shownProfile, m_shownPost);
}

} // namespace lexorne
