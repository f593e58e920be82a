// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Both windows under light and dark palettes: the light look keeps its exact
// colours, every text stays readable on what it is drawn on, and a theme
// switched while the windows are open repaints them.
#include "app/systemlook.h"
#include "ui/frmAbout.h"
#include "ui/themecolours.h"

#include "tests/support/mainwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QTest>

#include <memory>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

// Colours in QPalette::ColorRole order, WindowText to PlaceholderText.
QPalette paletteFrom(const QStringList &active, const QStringList &disabled)
{
    QPalette palette;
    for (int role = 0; role < active.size(); ++role) {
        const auto r = QPalette::ColorRole(role);
        const QColor colour = QColor::fromString(active.at(role));
        palette.setColor(QPalette::Active, r, colour);
        palette.setColor(QPalette::Inactive, r, colour);
        palette.setColor(QPalette::Disabled, r,
                         role < disabled.size() ? QColor::fromString(disabled.at(role)) : colour);
    }
    return palette;
}

// qt6ct's "darker" colour scheme.
QPalette qt6ctDarker()
{
    return paletteFrom(
        u"#ffffff #424245 #979797 #5e5c5b #302f2e #4a4947 #ffffff #ffffff #ffffff #3d3d3d "
        "#222020 #e7e4e0 #12608a #f9f9f9 #0986d3 #a70b06 #5c5b5a #ffffff #3f3f36 #ffffff "
        "#80ffffff"_s.split(u' '),
        u"#808080 #424245 #979797 #5e5c5b #302f2e #4a4947 #808080 #ffffff #808080 #3d3d3d "
        "#222020 #e7e4e0 #12608a #808080 #0986d3 #a70b06"_s.split(u' '));
}

// What Qt's GTK theme makes of Adwaita:dark.
QPalette adwaitaDark()
{
    return paletteFrom(
        u"#f0f0f0 #323232 #4b4b4b #2a2a2a #212121 #262626 #f0f0f0 #4b4b4b #f0f0f0 #242424 "
        "#323232 #191919 #308cc6 #f0f0f0 #308cc6 #ff00ff #2b2b2b #000000 #ffffdc #000000 "
        "#80f0f0f0"_s.split(u' '),
        u"#828282 #323232 #4b4b4b #2a2a2a #bebebe #262626 #828282 #4b4b4b #828282 #323232 "
        "#323232 #252525 #919191 #f0f0f0 #308cc6 #ff00ff"_s.split(u' '));
}

// Every colour role alike: no role stands apart from Base.
QPalette flat()
{
    QPalette palette(Qt::black, QColor(0x80, 0x80, 0x80), QColor(0x80, 0x80, 0x80),
                     QColor(0x80, 0x80, 0x80), QColor(0x80, 0x80, 0x80), Qt::black, Qt::black,
                     QColor(0x80, 0x80, 0x80), QColor(0x80, 0x80, 0x80));
    return palette;
}

QPalette byName(const QString &name, const QPalette &light)
{
    if (name == "darker"_L1)
        return qt6ctDarker();
    if (name == "adwaita-dark"_L1)
        return adwaitaDark();
    return light;
}

// Buttons and lists draw their text on a button panel of their own.
bool onPanel(const QWidget *widget)
{
    return qobject_cast<const QComboBox *>(widget) ||
           (qobject_cast<const QAbstractButton *>(widget) &&
            !qobject_cast<const QCheckBox *>(widget));
}

// What a widget's text is drawn on: its panel, or else the nearest ancestor
// that paints its background.
QColor backgroundOf(const QWidget *widget, QPalette::ColorGroup group)
{
    if (onPanel(widget))
        return widget->palette().color(group, QPalette::Button);
    const QWidget *painter = widget;
    while (!painter->autoFillBackground() && !painter->isWindow())
        painter = painter->parentWidget();
    return painter->palette().color(group, painter->backgroundRole());
}

QColor foregroundOf(const QWidget *widget, QPalette::ColorGroup group)
{
    const auto role = onPanel(widget) ? QPalette::ButtonText : widget->foregroundRole();
    return widget->palette().color(group, role);
}

// The widgets that show text: labels with text, buttons, check boxes, lists,
// frame captions and the text boxes' viewports.
QList<QWidget *> textWidgets(QWidget *window)
{
    QList<QWidget *> found;
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(window) || !widget->isEnabled())
            continue;
        if (auto *label = qobject_cast<QLabel *>(widget); label && label->text().isEmpty())
            continue;
        if (auto *box = qobject_cast<QPlainTextEdit *>(widget))
            found << box->viewport();
        else if (qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractButton *>(widget) ||
                 qobject_cast<QComboBox *>(widget) || qobject_cast<QGroupBox *>(widget))
            found << widget;
    }
    return found;
}

// Colours compared by value: a palette may hold them in another colour model.
QString hex(const QColor &colour)
{
    return colour.name(QColor::HexArgb);
}

QString nameOf(const QWidget *widget)
{
    // A text box's viewport goes by the box's name.
    const bool own = !widget->objectName().isEmpty() && !widget->objectName().startsWith(u"qt_"_s);
    const QWidget *named = own ? widget : widget->parentWidget();
    return named ? named->objectName() : QString();
}

} // namespace

class TestThemes : public QObject
{
    Q_OBJECT

private:
    QPalette m_light;
    testsupport::MainWindow m_fixture;
    std::unique_ptr<frmAbout> m_about;

    // Both windows, shown, with a result and the highlight controls enabled.
    void open()
    {
        m_fixture.open();
        testsupport::widget<QPlainTextEdit>(&m_fixture.window(), u"txtOrigin"_s)
            ->setPlainText(u"Le cœur"_s);
        testsupport::widget<QCheckBox>(&m_fixture.window(), u"chkBBCode"_s)->setChecked(true);
        m_fixture.window().cmdGenerate_Click();
        m_fixture.window().show();
        m_about = std::make_unique<frmAbout>(&m_fixture.window());
        // Side by side: the offscreen pointer goes to the first window under it.
        m_fixture.window().move(0, 0);
        m_about->move(m_fixture.window().frameGeometry().right() + 20, 0);
        m_about->show();
        // The pointer is followed only over the active window.
        m_about->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_about.get()));
    }
    QLabel *link() const { return testsupport::widget<QLabel>(m_about.get(), u"lblWeb"_s); }
    QWidget *resultViewport() const
    {
        return testsupport::widget<QPlainTextEdit>(&m_fixture.window(), u"txtRendu"_s)->viewport();
    }
    void hoverLink(bool over)
    {
        if (over) {
            QTest::mouseMove(link());
        } else
            QTest::mouseMove(m_about.get(), QPoint(m_about->width() - 2, m_about->height() - 2));
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        // As the program starts: on Windows the system's own palette, light
        // or dark, is the one the "light" cases then check.
        app::followSystemLook();
        m_light = QApplication::palette();
    }
    void init() { QVERIFY(m_fixture.begin()); }
    void cleanup()
    {
        m_about.reset();
        m_fixture.end();
        QApplication::setPalette(m_light);
    }

    void contrast_data()
    {
        QTest::addColumn<QColor>("a");
        QTest::addColumn<QColor>("b");
        QTest::addColumn<double>("ratio");
        QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white) << 21.0;
        QTest::newRow("white on black") << QColor(Qt::white) << QColor(Qt::black) << 21.0;
        QTest::newRow("the same grey")
            << QColor(0x77, 0x77, 0x77) << QColor(0x77, 0x77, 0x77) << 1.0;
        QTest::newRow("#777 on white") << QColor(0x77, 0x77, 0x77) << QColor(Qt::white) << 4.48;
        QTest::newRow("qt6ct darker link")
            << QColor(0x09, 0x86, 0xd3) << QColor(0x22, 0x20, 0x20) << 4.14;
        QTest::newRow("pure blue on white") << QColor(Qt::blue) << QColor(Qt::white) << 8.59;
    }
    void contrast()
    {
        QFETCH(QColor, a);
        QFETCH(QColor, b);
        QFETCH(double, ratio);
        QVERIFY2(qAbs(contrastRatio(a, b) - ratio) < 0.005,
                 qPrintable(QString::number(contrastRatio(a, b))));
    }

    void workspace_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<QPalette::ColorRole>("role");
        QTest::newRow("light") << m_light << QPalette::Mid;
        QTest::newRow("qt6ct darker") << qt6ctDarker() << QPalette::Mid;
        // Mid is #262626 on a #242424 Base there.
        QTest::newRow("Adwaita dark") << adwaitaDark() << QPalette::Light;
        QTest::newRow("flat: nothing stands apart") << flat() << QPalette::Base;
        QPalette lowMid = m_light;
        lowMid.setColor(QPalette::Mid, Qt::black);
        QTest::newRow("Mid too dark for black text") << lowMid << QPalette::Dark;
    }
    void workspace()
    {
        QFETCH(QPalette, palette);
        QTEST(workspaceRole(palette, QPalette::Active), "role");
    }

    void linkColour_data()
    {
        QTest::addColumn<QPalette>("palette");
        QTest::addColumn<QPalette::ColorRole>("role");
        QTest::newRow("light") << m_light << QPalette::Link;
        QTest::newRow("Adwaita dark") << adwaitaDark() << QPalette::Link;
        // Fusion's dark palette on a system whose accent colour it could
        // not read: a black link on a dark window.
        QPalette blackLink = adwaitaDark();
        blackLink.setColor(QPalette::Link, Qt::black);
        QTest::newRow("black link on dark") << blackLink << QPalette::LinkVisited;
        blackLink.setColor(QPalette::LinkVisited, Qt::black);
        QTest::newRow("every accent black") << blackLink << QPalette::Highlight;
        blackLink.setColor(QPalette::Highlight, blackLink.color(QPalette::Window));
        QTest::newRow("no accent at all") << blackLink << QPalette::WindowText;
    }
    void linkColour()
    {
        QFETCH(QPalette, palette);
        QTEST(linkRole(palette, QPalette::Active), "role");
        open();
        QApplication::setPalette(palette);
        hoverLink(true);
        const double ratio = contrastRatio(foregroundOf(link(), QPalette::Active),
                                           backgroundOf(link(), QPalette::Active));
        hoverLink(false); // the next test's first move must be a move
        QVERIFY2(ratio >= kReadableLink, qPrintable(QString::number(ratio)));
    }

    // On Windows the windows take the apps' light or dark setting: the
    // palette at start is dark exactly when the setting is, in a style that
    // draws it.
    void followsWindowsSetting()
    {
        if (QGuiApplication::platformName() != "windows"_L1)
            QSKIP("Windows' own setting, on Qt's windows platform");
        const QSettings personalize(
            u"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize"_s,
            QSettings::NativeFormat);
        const bool dark = personalize.value(u"AppsUseLightTheme"_s, 1).toInt() == 0;
        QCOMPARE(m_light.color(QPalette::Window).lightness() < 128, dark);
        QCOMPARE(m_light.color(QPalette::WindowText).lightness() >= 128, dark);
        qInfo("style %s", qPrintable(QApplication::style()->name()));
    }

    // The light look is exactly what it always was: black title and link,
    // blue link under the pointer, the result box in #b8b8b8.
    void lightLookUnchanged()
    {
        open();
        const auto active = QPalette::Active;
        QCOMPARE(hex(foregroundOf(testsupport::widget(m_about.get(), u"lblTitle"_s), active)),
                 u"#ff000000"_s);
        QCOMPARE(hex(foregroundOf(link(), active)), u"#ff000000"_s);
        hoverLink(true);
        QCOMPARE(hex(foregroundOf(link(), active)), u"#ff0000ff"_s);
        QVERIFY(link()->font().underline());
        hoverLink(false);
        QCOMPARE(hex(foregroundOf(link(), active)), u"#ff000000"_s);
        QCOMPARE(hex(backgroundOf(resultViewport(), active)), u"#ffb8b8b8"_s);
        QCOMPARE(hex(foregroundOf(resultViewport(), active)), u"#ff000000"_s);
    }

    void readable_data()
    {
        QTest::addColumn<QString>("theme");
        QTest::addColumn<bool>("switched"); // set while the windows are open
        for (const char *theme : {"light", "darker", "adwaita-dark"}) {
            for (bool switched : {false, true}) {
                QTest::addRow("%s, %s", theme, switched ? "switched to" : "at start")
                    << QString::fromLatin1(theme) << switched;
            }
        }
    }
    // Every text against what it is drawn on, as the widgets draw it.
    void readable()
    {
        QFETCH(QString, theme);
        QFETCH(bool, switched);
        const QPalette palette = byName(theme, m_light);
        if (switched) {
            open();
            QApplication::setPalette(palette);
        } else {
            QApplication::setPalette(palette);
            open();
        }

        for (auto group : {QPalette::Active, QPalette::Inactive}) {
            for (QWidget *window : {static_cast<QWidget *>(&m_fixture.window()),
                                    static_cast<QWidget *>(m_about.get())}) {
                for (QWidget *widget : textWidgets(window)) {
                    const double ratio =
                        contrastRatio(foregroundOf(widget, group), backgroundOf(widget, group));
                    QVERIFY2(ratio >= kReadableText,
                             qPrintable(u"%1: %2"_s.arg(nameOf(widget)).arg(ratio, 0, 'f', 2)));
                }
            }
            // Under the pointer the link shows the theme's own link colour
            // where it reads, underlined, which needs less.
            hoverLink(true);
            QCOMPARE(hex(foregroundOf(link(), group)),
                     hex(palette.color(group, linkRole(palette, QPalette::Active))));
            const double linkRatio =
                contrastRatio(foregroundOf(link(), group), backgroundOf(link(), group));
            QVERIFY2(linkRatio >= 3.0, qPrintable(QString::number(linkRatio)));
            hoverLink(false);

            // The result box stands apart from the quotation box.
            const QWidget *origin =
                testsupport::widget<QPlainTextEdit>(&m_fixture.window(), u"txtOrigin"_s)
                    ->viewport();
            const double apart =
                contrastRatio(backgroundOf(resultViewport(), group), backgroundOf(origin, group));
            QVERIFY2(apart >= kDistinctBackgrounds, qPrintable(QString::number(apart)));
        }

        // What is on the screen follows: the result box is painted in its
        // new background, not in one chosen under another theme.
        const QImage shot = resultViewport()->grab().toImage();
        const QColor corner = shot.pixelColor(shot.width() - 2, shot.height() - 2);
        QCOMPARE(hex(corner), hex(backgroundOf(resultViewport(), QPalette::Active)));
        QCOMPARE(hex(corner),
                 hex(palette.color(QPalette::Active, workspaceRole(palette, QPalette::Active))));
    }
};

QTEST_MAIN(TestThemes)
#include "tst_themes.moc"
