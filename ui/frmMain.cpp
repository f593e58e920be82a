// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmMain.h"

#include "highlight/highlight.h"
#include "resources/resources.h"
#include "ui/checkstate.h"
#include "ui/textbox.h"
#include "ui/twips.h"
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
#include <QScreen>
#include <QShortcutEvent>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace lexorne {

namespace {

using Twips = twips::Rect;
constexpr QSize kClientTwips(5130, 5370);

constexpr Twips kFrameOriginal{120, 0, 4935, 975};
constexpr Twips kFrameAlpha{120, 1080, 4935, 1335};
constexpr Twips kFrameRendu{120, 2520, 4935, 855};
constexpr Twips kFrameOptions{120, 3480, 4935, 1335};
// Each frame's single child: a text box or a borderless panel.
constexpr Twips kOriginBox{120, 240, 4695, 615};
constexpr Twips kLettersPanel{120, 240, 4695, 975};
constexpr Twips kRenduBox{120, 240, 4695, 495};
constexpr Twips kOptionsPanel{120, 240, 4695, 1005};

constexpr Twips kAboutButton{120, 4920, 1215, 375};
constexpr Twips kResetButton{1440, 4920, 1095, 375};
constexpr Twips kGenerateButton{2640, 4920, 1095, 375};
constexpr Twips kExitButton{3840, 4920, 1215, 375};

constexpr Twips kClipBox{0, 0, 4695, 255};
constexpr Twips kBBCodeBox{0, 360, 1455, 255};
constexpr Twips kLetterList{1560, 330, 735, 315};
constexpr Twips kEnLabel{2400, 360, 255, 255};
constexpr Twips kColourList{2760, 330, 1335, 315};
constexpr Twips kGoButton{4200, 330, 495, 315};
constexpr Twips kRecapBox{0, 720, 4695, 255};

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

bool isTicked(const QCheckBox *box)
{
    return toLetterState(box->checkState()) == LetterState::Ticked;
}

} // namespace

frmMain::frmMain(settings::Store &store, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_store(store)
{
    m_report = [this](const QString &message) {
        QMessageBox::warning(this, QString::fromLatin1(kApplicationTitle), message);
    };

    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(kMainWindowCaption));
    setWindowIcon(resources::applicationIcon());

    createControls();
    connectHandlers();
    chainTabOrder();
    Form_Load();
    // After the load: the lists' entries are part of what must fit.
    layoutControls();

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
    txtRendu->setReadOnly(true);
    txtRendu->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    txtRendu->setFocusPolicy(Qt::StrongFocus);
    // Mid is the palette's neutral grey between the window and shadow tones,
    // the nearest thing to a workspace background that every style defines.
    QPalette grey = txtRendu->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        grey.setBrush(group, QPalette::Base, grey.brush(group, QPalette::Mid));
    txtRendu->setPalette(grey);
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
    lblBCode = new QLabel(QStringLiteral("en"), picOptions);
    name(lblBCode, QStringLiteral("lblBCode"));
    cboBBCode2 = new QComboBox(picOptions);
    name(cboBBCode2, QStringLiteral("cboBBCode2"));
    cmdBBCode = new QPushButton(QStringLiteral("Go !"), picOptions);
    name(cmdBBCode, QStringLiteral("cmdBBCode"));
    chkRecap = new QCheckBox(QStringLiteral("Log des lettres demandées"), picOptions);
    name(chkRecap, QStringLiteral("chkRecap"));
    chkRecap->setCheckState(Qt::Checked);

    cmdAbout = new QPushButton(QStringLiteral("À &propos de..."), this);
    name(cmdAbout, QStringLiteral("cmdAbout"));
    cmdReset = new QPushButton(QStringLiteral("Re&set"), this);
    name(cmdReset, QStringLiteral("cmdReset"));
    cmdGenerate = new QPushButton(QStringLiteral("&On y va !"), this);
    name(cmdGenerate, QStringLiteral("cmdGenerate"));
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
        // stateChanged, not clicked: a change made by the program is stored too.
        connect(box, &QCheckBox::stateChanged, this, [this, box, k] {
            // A greyed box that leaves that state goes back to two states, so
            // clicking never greys it again.
            if (box->checkState() != Qt::PartiallyChecked)
                box->setTristate(false);
            chkLetter_Click(k);
        });
    }
    connect(chkBBCode, &QCheckBox::stateChanged, this, &frmMain::chkBBCode_Click);
    connect(cmdGenerate, &QPushButton::clicked, this, &frmMain::cmdGenerate_Click);
    connect(cmdBBCode, &QPushButton::clicked, this, &frmMain::cmdBBCode_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmMain::cmdReset_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmMain::cmdExit_Click);
    connect(cmdAbout, &QPushButton::clicked, this, &frmMain::cmdAbout_Click);
}

void frmMain::chainTabOrder()
{
    std::vector<QWidget *> chain{cmdExit, cmdAbout, cmdGenerate, cmdReset, txtRendu, txtOrigin};
    for (int k : kLetterTabOrder)
        chain.push_back(chkLetter[k]);
    chain.insert(chain.end(), {chkClip, chkBBCode, cboBBCode1, cboBBCode2, cmdBBCode, chkRecap});
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
        {chkRecap, kRecapBox},
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

    m_scale = scale;
    for (const Spot &spot : spots)
        spot.widget->setGeometry(twips::toPixels(spot.twips, scale));
    const QRect client =
        twips::toPixels({0, 0, kClientTwips.width(), kClientTwips.height()}, scale);
    setFixedSize(client.size());

    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
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
    // The text boxes keep no key state to clear: Ctrl+A and Ctrl+C consume
    // their own key event instead of waiting for a character to drop.
    settings::LoadSettings(m_store, *this);
}

void frmMain::txtOrigin_Change()
{
    strOriginal = quotationText();
}

void frmMain::chkLetter_Click(int Index)
{
    if (Index < 0 || Index >= kLetterCount)
        return;
    if (!m_store.writeLetter(Index, toLetterState(chkLetter[Index]->checkState())))
        reportLetterWriteFailure();
}

void frmMain::chkBBCode_Click()
{
    switch (toLetterState(chkBBCode->checkState())) {
    case LetterState::Ticked:
        cboBBCode1->setEnabled(true);
        cboBBCode2->setEnabled(true);
        cmdBBCode->setEnabled(true);
        break;
    case LetterState::Unticked:
        cboBBCode1->setEnabled(false);
        cboBBCode2->setEnabled(false);
        cmdBBCode->setEnabled(false);
        break;
    case LetterState::Greyed:
        break;
    }
}

void frmMain::cmdGenerate_Click()
{
    showRendering();
    if (isTicked(chkClip))
        putOnClipboard(strRendu);
}

QString frmMain::BBCode() const
{
    return highlight::openingTag(cboBBCode2->currentIndex());
}

void frmMain::cmdBBCode_Click()
{
    strCloseTag = highlight::closingTag();
    // Always from the plain rendering: highlights never pile up.
    strFinal =
        highlight::HighlightLetter(strRendu, cboBBCode1->currentIndex(), BBCode(), strCloseTag);
    showResult(strFinal);
    if (isTicked(chkClip))
        putOnClipboard(strFinal);
}

void frmMain::cmdReset_Click()
{
    settings::ResetSettings(m_store, *this);
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

void frmMain::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (!storeQuotation())
        m_report(quotationWriteMessage(m_store.location()));
}

bool frmMain::storeQuotation()
{
    return m_store.writeQuotation(quotationText());
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
    // A letter that could not be stored during the load is told once the
    // window is there to carry the message.
    if (m_letterWarningPending) {
        m_letterWarningPending = false;
        // A timer of the window's, not QTimer::singleShot(), whose hand-over
        // of the slot to Qt the static analyser cannot follow.
        auto *later = new QTimer(this);
        later->setSingleShot(true);
        connect(later, &QTimer::timeout, this, [this, later] {
            later->deleteLater();
            m_report(letterWriteMessage(m_store.location()));
        });
        later->start(0);
    }
}

void frmMain::setQuotation(const QString &text)
{
    txtOrigin->setPlainText(text);
}

void frmMain::setLetterState(int index, LetterState state)
{
    if (index >= 0 && index < kLetterCount)
        chkLetter[index]->setCheckState(toCheckState(state));
}

void frmMain::showRendering()
{
    strRendu = RenderQuotation(quotationText(), currentBoard(), isTicked(chkRecap));
    showResult(strRendu);
}

void frmMain::clearResult()
{
    showResult(QString());
}

QString frmMain::quotationText() const
{
    return documentText(*txtOrigin->document());
}

Board frmMain::currentBoard() const
{
    Board board;
    for (int k = 0; k < kLetterCount; ++k) {
        board.states[k] = toLetterState(chkLetter[k]->checkState());
        // The caption is what the masking compares with; an accelerator
        // marker a desktop theme may have slipped in is not part of it.
        board.captions[k] = chkLetter[k]->text().remove(u'&');
    }
    return board;
}

void frmMain::showResult(const QString &text)
{
    m_shownResult = text;
    txtRendu->setPlainText(text);
}

void frmMain::putOnClipboard(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

void frmMain::reportLetterWriteFailure()
{
    if (m_letterWriteReported)
        return;
    m_letterWriteReported = true;
    if (isVisible())
        m_report(letterWriteMessage(m_store.location()));
    else
        m_letterWarningPending = true;
}

} // namespace lexorne
