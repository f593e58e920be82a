// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The game panel, beside the main window when "Panneau de la partie" opens
// it: the "Forum" the posts are written for and the "Aperçu" that shows a
// post as that forum would. Built with layouts; each part of the game adds
// its own section with addSection(): the whole game's, then the list of
// games.
#pragma once

#include "forum/forum.h"

#include <QWidget>

class QComboBox;
class QGroupBox;
class QLabel;
class QTextBrowser;
class QVBoxLayout;

namespace lexorne {

// Controls carry their member names as objectName: "lblForum", "cboForum",
// "fraApercu", "txtApercu".
class GamePanel : public QWidget
{
    Q_OBJECT
public:
    // Posts longer than this are previewed up to here: past it Qt's text
    // layout would take longer than the tick that asked for it.
    static constexpr qsizetype kPreviewLimit = 20000;

    explicit GamePanel(QWidget *parent = nullptr);

    forum::Profile profile() const;
    // Selects the profile; says so through profileChanged() only when the
    // user picks it.
    void setProfile(forum::Profile profile);

    // Shows `post`, written for `profile`, as that forum would.
    void showPost(forum::Profile profile, const QString &post);

    // Adds a section (a group box, say) below the forum choice and above
    // the preview, in the order of the calls; the panel takes it over.
    void addSection(QWidget *section);

    // The first control of the panel and the last, for the window's tab order.
    QWidget *firstControl() const;
    QWidget *lastControl() const;

signals:
    void profileChanged(lexorne::forum::Profile profile);

protected:
    void changeEvent(QEvent *event) override;

private:
    QLabel *lblForum = nullptr;
    QComboBox *cboForum = nullptr;
    QGroupBox *fraApercu = nullptr;
    QTextBrowser *txtApercu = nullptr;
    QVBoxLayout *m_sections = nullptr;
    // What is shown, to show it again in a new theme's colours.
    forum::Profile m_shownProfile = forum::Profile::BBCode;
    QString m_shownPost;
};

} // namespace lexorne
