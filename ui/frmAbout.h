// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "resources/resources.h"

#include <QDesktopServices>
#include <QDialog>
#include <QIcon>
#include <QString>
#include <QUrl>

#include <functional>

class QLabel;
class QPushButton;

namespace lexorne {

class HoverLabel;
class LinkLabel;

// What the about window is built from; tests inject their own.
struct AboutOptions
{
    QString title = QString::fromLatin1(kApplicationTitle);
    int versionMajor = kVersionMajor;
    int versionMinor = kVersionMinor;
    // Opens an address with the user's default application; false on failure.
    std::function<bool(const QUrl &)> openUrl = [](const QUrl &url) {
        return QDesktopServices::openUrl(url);
    };
};

// The about window: title, version, author, a link to the author's web page
// and a button that starts a mail to the author. "OK", Enter and Escape only
// hide it, so that the owner can show the same window again; closing it
// through the title bar destroys it.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *owner, AboutOptions options = {});
    ~frmAbout() override;

    // Escape, and anything else that cancels the dialog, presses "OK".
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void createControls();
    void layoutControls();
    void Form_Load();
    void lblWeb_MouseMove();
    void lblAuthor_MouseMove();
    void Form_MouseMove();
    void lblWeb_Click();
    void cmdMail_Click();
    void cmdOK_Click();

    void setLinkHighlighted(bool highlighted);
    // Draws the icon and the logo for the screen's pixel density.
    void drawPictures();
    void openLink(const QString &address);

    AboutOptions m_options;
    bool m_linkHighlighted = false;
    QIcon m_icon;
    QLabel *picIcon = nullptr;
    QLabel *lblTitle = nullptr;
    HoverLabel *lblAuthor = nullptr;
    LinkLabel *lblWeb = nullptr;
    QLabel *Picture1 = nullptr;
    QPushButton *cmdMail = nullptr;
    QPushButton *cmdOK = nullptr;
};

} // namespace lexorne
