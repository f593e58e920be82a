// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Both windows at the scale factor this run was started with (CTest runs it
// at 1, 1.5 and 2) and at a large font: every control keeps the room its
// content needs inside its parent, none covers another, and the pictures
// are drawn for the screen's pixel density instead of being stretched.
#include "ui/frmAbout.h"

#include "tests/support/mainwindow.h"
#include "ui/controlsize.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QTest>
#include <QtMath>

#include <memory>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

// The named controls of a window (frames, panels, boxes, lists, labels,
// buttons, pictures), not the parts Qt builds inside them.
QList<QWidget *> controls(QWidget *window)
{
    static const QRegularExpression ours(u"^(fra|pic|Picture|txt|chk|cbo|lbl|cmd)"_s);
    return window->findChildren<QWidget *>(ours);
}

} // namespace

class TestScaling : public QObject
{
    Q_OBJECT

private:
    QFont m_font;
    double m_scale = 1.0;
    testsupport::MainWindow m_fixture;
    std::unique_ptr<frmAbout> m_about;

    QWidget *open(bool about)
    {
        m_fixture.open();
        if (!about)
            return &m_fixture.window();
        m_about = std::make_unique<frmAbout>(&m_fixture.window());
        return m_about.get();
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_font = QApplication::font();
        bool given = false;
        m_scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&given);
        if (!given)
            m_scale = 1.0;
        // Without this the run would not test what its name says.
        QVERIFY(QGuiApplication::primaryScreen());
        QCOMPARE(QGuiApplication::primaryScreen()->devicePixelRatio(), m_scale);
    }
    void init() { QVERIFY(m_fixture.begin()); }
    void cleanup()
    {
        m_about.reset();
        m_fixture.end();
        QApplication::setFont(m_font);
    }

    void fits_data()
    {
        QTest::addColumn<bool>("about");
        QTest::addColumn<int>("pointSize"); // 0: the default font
        for (bool about : {false, true}) {
            for (int size : {0, 10, 14}) {
                QTest::addRow("%s, %s", about ? "about window" : "main window",
                              size ? qPrintable(u"%1 pt"_s.arg(size)) : "default font")
                    << about << size;
            }
        }
    }
    void fits()
    {
        QFETCH(bool, about);
        QFETCH(int, pointSize);
        if (pointSize) {
            QFont font = m_font;
            font.setPointSize(pointSize);
            QApplication::setFont(font);
        }
        QWidget *window = open(about);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->minimumSize(), window->maximumSize());

        const int designPixel = about ? 0 : qCeil(m_fixture.window().layoutScale());
        const QList<QWidget *> all = controls(window);
        QVERIFY(all.size() >= (about ? 7 : 40));
        for (QWidget *widget : all) {
            const QByteArray name = widget->objectName().toLatin1();
            const QWidget *parent = widget->parentWidget();
            const QRect area =
                qobject_cast<const QGroupBox *>(parent) ? parent->contentsRect() : parent->rect();
            QVERIFY2(area.contains(widget->geometry()), name + " leaves its parent");
            const QSize needed = requiredSize(widget);
            QVERIFY2(widget->width() >= needed.width() && widget->height() >= needed.height(),
                     name + ' ' + QByteArray::number(widget->width()) + 'x' +
                         QByteArray::number(widget->height()) + " < " +
                         QByteArray::number(needed.width()) + 'x' +
                         QByteArray::number(needed.height()));
            for (QWidget *other : all) {
                if (other == widget || other->parentWidget() != parent)
                    continue;
                // The letter board's rows are drawn one design pixel into each
                // other (15 twips), in the boxes' blank margin.
                const QRect overlap = widget->geometry().intersected(other->geometry());
                QVERIFY2(overlap.isEmpty() ||
                             qMin(overlap.width(), overlap.height()) <= designPixel,
                         name + " covers " + other->objectName().toLatin1());
            }
        }
    }

    // The logo has as many device pixels as the screen shows for it, so it
    // is never stretched; the icon too, up to its largest image (64 px).
    void picturesAtScreenDensity()
    {
        open(true)->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_about.get()));
        QCOMPARE(m_about->screen()->devicePixelRatio(), m_scale);

        const auto *logo = testsupport::widget<QLabel>(m_about.get(), u"Picture1"_s);
        QCOMPARE(logo->size(), QSize(58, 37));
        QCOMPARE(logo->pixmap().devicePixelRatio(), m_scale);
        QCOMPARE(logo->pixmap().size(), QSize(qRound(58 * m_scale), qRound(37 * m_scale)));

        const auto *icon = testsupport::widget<QLabel>(m_about.get(), u"picIcon"_s);
        const int side = qMin(qRound(icon->width() * m_scale), 64);
        QCOMPARE(icon->pixmap().size(), QSize(side, side));
    }
};

QTEST_MAIN(TestScaling)
#include "tst_scaling.moc"
