// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's geometry and look: where each control stands, in twips,
// the one scale that makes everything fit at the real font, the tab order,
// and the result box's background, which follows the palette.
#include "ui/frmMain.h"

#include "ui/themecolours.h"
#include "ui/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <map>
#include <vector>

namespace lexorne {

namespace {

using Twips = twips::Rect;
// The Options frame holds one row more than the original design ("Lettres
// absentes", 360 twips, the rows' pitch): it and everything below it grow or
// move down by that row.
constexpr int kExtraRow = 360;
constexpr QSize kClientTwips(5130, 5370 + kExtraRow);

constexpr Twips kFrameOriginal{120, 0, 4935, 975};
constexpr Twips kFrameAlpha{120, 1080, 4935, 1335};
constexpr Twips kFrameRendu{120, 2520, 4935, 855};
constexpr Twips kFrameOptions{120, 3480, 4935, 1335 + kExtraRow};
// Each frame's single child: a text box or a borderless panel.
constexpr Twips kOriginBox{120, 240, 4695, 615};
constexpr Twips kLettersPanel{120, 240, 4695, 975};
constexpr Twips kRenduBox{120, 240, 4695, 495};
constexpr Twips kOptionsPanel{120, 240, 4695, 1005 + kExtraRow};

constexpr int kButtonTop = 4920 + kExtraRow;
constexpr Twips kAboutButton{120, kButtonTop, 1215, 375};
constexpr Twips kResetButton{1440, kButtonTop, 1095, 375};
constexpr Twips kGenerateButton{2640, kButtonTop, 1095, 375};
constexpr Twips kExitButton{3840, kButtonTop, 1215, 375};

constexpr Twips kClipBox{0, 0, 4695, 255};
constexpr Twips kBBCodeBox{0, 360, 1455, 255};
constexpr Twips kLetterList{1560, 330, 735, 315};
constexpr Twips kEnLabel{2400, 360, 255, 255};
constexpr Twips kColourList{2760, 330, 1335, 315};
constexpr Twips kGoButton{4200, 330, 495, 315};
constexpr Twips kRecapBox{0, 720, 4695, 255};
constexpr Twips kAbsentBox{0, 720 + kExtraRow, 4695, 255};

// Box k of the board: 7 columns of 4, filled column by column; the last
// column is narrower and pulled left so that it ends at the panel's edge.
constexpr Twips letterTwips(int k)
{
    const int column = k / 4;
    const int row = k % 4;
    if (column == 6)
        return {4200, 240 * row, 495, 255};
    return {720 * column, 240 * row, 615, 255};
}

// Tab order of the board: Z, Y, D, C, B, A, E .. H, L .. I, P .. M, Q .. T, X .. U.
constexpr std::array<int, kLetterCount> kLetterTabOrder{
    25, 24, 3, 2, 1, 0, 4, 5, 6, 7, 11, 10, 9, 8, 15, 14, 13, 12, 16, 17, 18, 19, 23, 22, 21, 20};

// The size a control needs so that nothing it shows is cut.
QSize requiredSize(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QPushButton *>(widget)) {
        // Not sizeHint(): some styles give every captioned button a minimum
        // width (80 px in Fusion) that has nothing to do with its caption.
        const QStyle *style = button->style();
        const QString caption = QString(button->text()).remove(u'&');
        const int width = button->fontMetrics().horizontalAdvance(caption) +
                          style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                          2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        return {width, button->sizeHint().height()};
    }
    if (const auto *box = qobject_cast<const QPlainTextEdit *>(widget)) {
        // A scrolling box needs one whole line; its width only wraps the text.
        const int height = box->fontMetrics().lineSpacing() + 2 * box->frameWidth() +
                           2 * qCeil(box->document()->documentMargin());
        return {0, height};
    }
    if (const auto *frame = qobject_cast<const QGroupBox *>(widget))
        return frame->minimumSizeHint();
    return widget->sizeHint();
}

} // namespace

void frmMain::chainTabOrder()
{
    std::vector<QWidget *> chain{cmdExit, cmdAbout, cmdGenerate, cmdReset, txtRendu, txtOrigin};
    for (int k : kLetterTabOrder)
        chain.push_back(chkLetter[k]);
    chain.insert(chain.end(), {chkClip, chkBBCode, cboBBCode1, cboBBCode2, cmdBBCode, chkRecap,
                               chkAbsent, cmdPartie});
    for (std::size_t i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void frmMain::layoutControls()
{
    struct Spot
    {
        QWidget *widget;
        Twips twips;
    };
    std::vector<Spot> spots{
        {fraOriginal, kFrameOriginal}, {fraAlpha, kFrameAlpha},        {fraRendu, kFrameRendu},
        {fraOptions, kFrameOptions},   {txtOrigin, kOriginBox},        {picLettres, kLettersPanel},
        {txtRendu, kRenduBox},         {picOptions, kOptionsPanel},    {cmdAbout, kAboutButton},
        {cmdReset, kResetButton},      {cmdGenerate, kGenerateButton}, {cmdExit, kExitButton},
        {chkClip, kClipBox},           {chkBBCode, kBBCodeBox},        {cboBBCode1, kLetterList},
        {lblBCode, kEnLabel},          {cboBBCode2, kColourList},      {cmdBBCode, kGoButton},
        {chkRecap, kRecapBox},         {chkAbsent, kAbsentBox},
    };
    for (int k = 0; k < kLetterCount; ++k)
        spots.push_back({chkLetter[k], letterTwips(k)});

    // One factor for everything: the smallest that lets every control show
    // all of its content at the real font, and never below the design size.
    double scale = 1.0;
    for (const Spot &spot : spots) {
        const QSize need = requiredSize(spot.widget);
        scale = std::max({scale, twips::scaleToFit(need.width(), spot.twips.width),
                          twips::scaleToFit(need.height(), spot.twips.height)});
    }
    // A frame's child must clear the frame's caption and border.
    struct Framed
    {
        const QGroupBox *frame;
        Twips frameTwips, childTwips;
    };
    const std::array<Framed, 4> framed{{
        {fraOriginal, kFrameOriginal, kOriginBox},
        {fraAlpha, kFrameAlpha, kLettersPanel},
        {fraRendu, kFrameRendu, kRenduBox},
        {fraOptions, kFrameOptions, kOptionsPanel},
    }};
    for (const Framed &f : framed) {
        const QMargins margins = f.frame->contentsMargins();
        const Twips &c = f.childTwips;
        scale =
            std::max({scale, twips::scaleToFit(margins.left(), c.left),
                      twips::scaleToFit(margins.top(), c.top),
                      twips::scaleToFit(margins.right(), f.frameTwips.width - c.left - c.width),
                      twips::scaleToFit(margins.bottom(), f.frameTwips.height - c.top - c.height)});
    }

    // Edges are rounded in the parent's coordinates, so a child flush with
    // its panel's edge can end a pixel beyond it at some scales: such a child
    // gives up that pixel. Parents come before their children.
    m_scale = scale;
    std::map<const QWidget *, QSize> placed;
    for (const Spot &spot : spots) {
        QRect rect = twips::toPixels(spot.twips, scale);
        const auto parent = placed.find(spot.widget->parentWidget());
        if (parent != placed.end()) {
            rect.setRight(std::min(rect.right(), parent->second.width() - 1));
            rect.setBottom(std::min(rect.bottom(), parent->second.height() - 1));
        }
        placed[spot.widget] = rect.size();
        spot.widget->setGeometry(rect);
    }
    const QRect client =
        twips::toPixels({0, 0, kClientTwips.width(), kClientTwips.height()}, scale);
    m_clientSize = client.size();
    placePanel();

    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void frmMain::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // A theme switched at run time: the result box's background was chosen
    // on the old colours.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        applyWorkspaceColour();
}

void frmMain::applyWorkspaceColour()
{
    if (txtRendu)
        txtRendu->setPalette(workspacePalette(palette()));
}

} // namespace lexorne
