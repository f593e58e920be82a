// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmAbout.h"

#include "ui/accessibility.h"
#include "ui/hoverlabel.h"
#include "ui/themecolours.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace lexorne {

namespace {

using TwipsRect = twips::Rect;

constexpr int kClientWidth = 5250;
constexpr int kClientHeight = 1575;

constexpr TwipsRect kPicIcon{240, 240, 480, 480};
constexpr TwipsRect kTitle{960, 240, 3045, 240};
constexpr TwipsRect kAuthor{960, 480, 3045, 240};
constexpr TwipsRect kWeb{1425, 720, 2385, 195};
constexpr TwipsRect kLogo{4080, 240, 870, 555};
constexpr TwipsRect kMail{240, 1080, 3015, 345};
constexpr TwipsRect kOK{3720, 1080, 1260, 345};

// The smallest scale (at least 1) at which every widget's size hint fits in
// its design box, so that no caption is clipped whatever the font.
double scaleToFit(std::initializer_list<std::pair<const QWidget *, TwipsRect>> controls)
{
    double scale = 1.0;
    for (const auto &[widget, box] : controls) {
        const QSize hint = widget->sizeHint();
        scale = std::max({scale, twips::scaleToFit(hint.width(), box.width),
                          twips::scaleToFit(hint.height(), box.height)});
    }
    return scale;
}

} // namespace

frmAbout::frmAbout(QWidget *owner, AboutOptions options)
    : QDialog(owner), m_options(std::move(options))
{
    setObjectName(QStringLiteral("frmAbout"));
    // Fixed dialog frame: a title with system menu and close box, nothing to
    // resize, minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setMouseTracking(true);
    installAccessibility();

    createControls();
    Form_Load();
    layoutControls();

    setTabOrder(cmdOK, cmdMail);
    setTabOrder(cmdMail, lblWeb);
    cmdOK->setFocus();

    // Centred on the owner's screen rather than over the owner.
    QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
}

void frmAbout::createControls()
{
    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setAccessibleName(QStringLiteral("Icône de Lexorne"));

    lblTitle = new QLabel(this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setTextFormat(Qt::PlainText);

    lblAuthor = new HoverLabel(this);
    lblAuthor->setObjectName(QStringLiteral("lblAuthor"));
    lblAuthor->setTextFormat(Qt::PlainText);
    lblAuthor->setText(QString::fromUtf8(kAuthorName));
    connect(lblAuthor, &HoverLabel::mouseMoved, this, &frmAbout::lblAuthor_MouseMove);

    // Plain, the link is in the window-text colour; highlighted (under the
    // pointer or with the focus), in the theme's link colour, underlined.
    lblWeb = new LinkLabel(this);
    lblWeb->setObjectName(QStringLiteral("lblWeb"));
    lblWeb->setTextFormat(Qt::PlainText);
    lblWeb->setAlignment(Qt::AlignCenter);
    lblWeb->setText(QString::fromUtf8(kAuthorWebText));
    lblWeb->setCursor(resources::linkCursor());
    connect(lblWeb, &HoverLabel::mouseMoved, this, &frmAbout::lblWeb_MouseMove);
    connect(lblWeb, &HoverLabel::clicked, this, &frmAbout::lblWeb_Click);
    connect(lblWeb, &LinkLabel::focusChanged, this, &frmAbout::setLinkHighlighted);
    lblWeb->setAccessibleName(QStringLiteral("Page web de l'auteur, ") + lblWeb->text());
    lblWeb->setAccessibleDescription(
        QStringLiteral("Ouvre la page web de l'auteur dans le navigateur"));

    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAccessibleName(QStringLiteral("Logo de Lexorne"));

    cmdMail = new QPushButton(QStringLiteral("Envoyer un e-m@il au programmeur"), this);
    cmdMail->setObjectName(QStringLiteral("cmdMail"));
    cmdMail->setCursor(resources::linkCursor());
    // Auto-default: Enter presses the mail button while it has the focus.
    cmdMail->setAutoDefault(true);
    connect(cmdMail, &QPushButton::clicked, this, &frmAbout::cmdMail_Click);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
}

// Runs once per window object: showing the window again keeps these texts.
void frmAbout::Form_Load()
{
    QString version;
    if (m_options.versionMajor < 1) {
        version = QStringLiteral("Bêta ") + QString::number(m_options.versionMinor);
        cmdMail->setToolTip(QStringLiteral("C'est ici pour les rapports de bugs..."));
    } else {
        version = QString::number(m_options.versionMajor) + QLatin1Char('.') +
                  QString::number(m_options.versionMinor);
        cmdMail->setToolTip(QString());
    }
    lblTitle->setText(m_options.title + QLatin1Char(' ') + version);
    setWindowTitle(QStringLiteral("À propos de ") + lblTitle->text());

    // The owner's icon; drawn by layoutControls(), once the scale is known.
    m_icon = parentWidget() ? parentWidget()->window()->windowIcon() : QIcon();
    if (m_icon.isNull())
        m_icon = resources::applicationIcon();
}

void frmAbout::layoutControls()
{
    const double scale = scaleToFit(
        {{lblTitle, kTitle}, {lblAuthor, kAuthor}, {lblWeb, kWeb}, {cmdMail, kMail}, {cmdOK, kOK}});
    const auto px = [scale](double twips) {
        return qRound(twips * scale / twips::kPerPixel);
    };
    const auto place = [scale](QWidget *widget, const TwipsRect &box) {
        widget->setGeometry(twips::toPixels(box, scale));
    };

    setFixedSize(twips::toPixels({0, 0, kClientWidth, kClientHeight}, scale).size());
    place(lblTitle, kTitle);
    place(lblAuthor, kAuthor);
    place(cmdMail, kMail);
    place(cmdOK, kOK);

    // The link is as large as its text and centred on its design box, so
    // that only the text itself reacts to the pointer.
    const QSize webSize = lblWeb->sizeHint();
    lblWeb->setGeometry(px(kWeb.left + kWeb.width / 2.0) - webSize.width() / 2, px(kWeb.top),
                        webSize.width(), webSize.height());

    // The pictures are sized to their images: the icon at the window's scale,
    // the logo pixel for pixel.
    const int iconSide = px(kPicIcon.width);
    picIcon->setGeometry(px(kPicIcon.left), px(kPicIcon.top), iconSide, iconSide);
    Picture1->setGeometry(px(kLogo.left), px(kLogo.top), resources::kLogoSize.width(),
                          resources::kLogoSize.height());
    drawPictures();
}

void frmAbout::drawPictures()
{
    const qreal ratio = devicePixelRatio();
    picIcon->setPixmap(m_icon.pixmap(picIcon->size(), ratio));
    Picture1->setPixmap(resources::aboutLogo(ratio));
}

void frmAbout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Moved to a screen of another density: redraw rather than stretch.
    if (QWindow *window = windowHandle()) {
        connect(window, &QWindow::screenChanged, this, &frmAbout::drawPictures,
                Qt::UniqueConnection);
    }
    drawPictures();
}

frmAbout::~frmAbout()
{
    // QDialog's destructor hides the window, which moves the focus off the
    // link: its signal must not reach the part of this window already gone.
    disconnect(lblWeb, nullptr, this, nullptr);
}

void frmAbout::reject()
{
    cmdOK_Click();
}

void frmAbout::closeEvent(QCloseEvent *event)
{
    // Closed by the window manager or the title bar, not by "OK": the owner
    // builds a fresh window next time.
    event->accept();
    deleteLater();
}

void frmAbout::mouseMoveEvent(QMouseEvent *event)
{
    QDialog::mouseMoveEvent(event);
    Form_MouseMove();
}

void frmAbout::lblWeb_MouseMove()
{
    setLinkHighlighted(true);
}

// While the link has the keyboard focus it stays highlighted: that is how
// the focus shows.
void frmAbout::lblAuthor_MouseMove()
{
    setLinkHighlighted(lblWeb->hasFocus());
}

void frmAbout::Form_MouseMove()
{
    setLinkHighlighted(lblWeb->hasFocus());
}

void frmAbout::lblWeb_Click()
{
    openLink(QString::fromUtf8(kAuthorWebUrl));
}

void frmAbout::cmdMail_Click()
{
    // The title goes in unescaped: the address ends in "?Subject=" + title.
    openLink(QStringLiteral("mailto:") + QString::fromUtf8(kAuthorEmail) +
             QStringLiteral("?Subject=") + m_options.title);
}

void frmAbout::cmdOK_Click()
{
    accept();
}

void frmAbout::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && lblWeb != nullptr)
        setLinkHighlighted(m_linkHighlighted);
}

void frmAbout::setLinkHighlighted(bool highlighted)
{
    // A role, not a colour, so that a theme switched later repaints the link;
    // which role is chosen again then (changeEvent).
    m_linkHighlighted = highlighted;
    lblWeb->setForegroundRole(highlighted ? linkRole(lblWeb->palette(), QPalette::Active)
                                          : QPalette::WindowText);
    QFont font = lblWeb->font();
    font.setUnderline(highlighted);
    lblWeb->setFont(font);
}

void frmAbout::openLink(const QString &address)
{
    const QUrl url(address, QUrl::TolerantMode);
    const bool opened = m_options.openUrl && url.isValid() && m_options.openUrl(url);
    if (opened)
        return;
    QMessageBox box(QMessageBox::NoIcon, m_options.title,
                    QStringLiteral("Une erreur s'est produite"), QMessageBox::Ok, this);
    box.exec();
}

} // namespace lexorne
