// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "resources/resources.h"

#include <QImageReader>
#include <QtTest>

using namespace lexorne;

class tst_resources : public QObject
{
    Q_OBJECT
private slots:
    void iconImages();
    void logoIsOpaque58x37_data();
    void logoIsOpaque58x37();
    void logoDensitiesShowOnePicture();
    void linkCursor();
};

// Every size of the icon is in the program with alpha, and the program
// file's .ico holds the very same images: a stale one would show another
// picture in the Windows shell than in the window.
void tst_resources::iconImages()
{
    // The Windows build of Qt made for the program leaves image format
    // plugins out; the file is the same everywhere, so one check suffices.
    if (!QImageReader::supportedImageFormats().contains("ico"))
        QSKIP("no ICO reader in this Qt");
    QImageReader ico(QStringLiteral(LEXORNE_RESOURCES_SOURCE_DIR "/icons/lexorne.ico"));
    QVERIFY2(ico.canRead(), "no .ico, or not one");
    QCOMPARE(ico.imageCount(), 4);
    QList<int> sizes;
    for (int index = 0; index < ico.imageCount(); ++index) {
        QVERIFY(ico.jumpToImage(index));
        // Premultiplied, so that the colour of invisible pixels does not count.
        const QImage fromIco = ico.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        const int size = fromIco.width();
        sizes.append(size);
        const QImage png(QStringLiteral(":/lexorne/icons/lexorne-%1.png").arg(size));
        QVERIFY2(png.hasAlphaChannel(), qPrintable(QString::number(size)));
        QVERIFY2(fromIco == png.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 qPrintable(QStringLiteral("%1 px differs").arg(size)));
    }
    std::sort(sizes.begin(), sizes.end());
    QCOMPARE(sizes, (QList<int>{16, 32, 48, 64}));
    for (int size : sizes)
        QVERIFY(resources::applicationIcon().availableSizes().contains(QSize(size, size)));
}

void tst_resources::logoIsOpaque58x37_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QSize>("pixels");
    QTest::addColumn<qreal>("shownRatio");
    QTest::newRow("1") << 1.0 << QSize(58, 37) << 1.0;
    QTest::newRow("1.25") << 1.25 << QSize(73, 46) << 1.25;
    QTest::newRow("1.5") << 1.5 << QSize(87, 56) << 1.5;
    QTest::newRow("2") << 2.0 << QSize(116, 74) << 2.0;
    QTest::newRow("3") << 3.0 << QSize(174, 111) << 3.0;
    QTest::newRow("4, beyond the largest image") << 4.0 << QSize(232, 148) << 4.0;
    QTest::newRow("0") << 0.0 << QSize(58, 37) << 1.0;
    QTest::newRow("negative") << -2.0 << QSize(58, 37) << 1.0;
    QTest::newRow("NaN") << qQNaN() << QSize(58, 37) << 1.0;
}

// As many device pixels as the screen has for 58 x 37 pixels, so that the
// logo is never stretched, and the ratio that tells Qt so.
void tst_resources::logoIsOpaque58x37()
{
    QFETCH(qreal, ratio);
    const QPixmap logo = resources::aboutLogo(ratio);
    QTEST(logo.size(), "pixels");
    QTEST(logo.devicePixelRatio(), "shownRatio");
    QCOMPARE(logo.deviceIndependentSize().toSize(), QSize(58, 37));
    QVERIFY(!logo.hasAlphaChannel());
}

// The denser images are the same picture: one left behind after an edit of
// the SVG would show another logo on a high-density screen.
void tst_resources::logoDensitiesShowOnePicture()
{
    const QImage base =
        QImage(QStringLiteral(":/lexorne/images/logo.png")).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(base.size(), QSize(58, 37));
    for (int scale : {2, 3}) {
        const QImage dense = QImage(QStringLiteral(":/lexorne/images/logo@%1x.png").arg(scale));
        QCOMPARE(dense.size(), base.size() * scale);
        const QImage reduced =
            dense.scaled(base.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                .convertToFormat(QImage::Format_RGB32);
        qint64 difference = 0;
        for (int y = 0; y < base.height(); ++y) {
            for (int x = 0; x < base.width(); ++x) {
                const QRgb a = base.pixel(x, y);
                const QRgb b = reduced.pixel(x, y);
                difference += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) +
                              qAbs(qBlue(a) - qBlue(b));
            }
        }
        // Resampling blurs edges a little; another picture differs by far more.
        const double perChannel = double(difference) / (3.0 * base.width() * base.height());
        QVERIFY2(perChannel < 4.0,
                 qPrintable(
                     QStringLiteral("@%1x differs by %2 per channel").arg(scale).arg(perChannel)));
    }
}

// A black and white hand whose hot spot is the very tip of the index finger.
void tst_resources::linkCursor()
{
    const QCursor cursor = resources::linkCursor();
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QCOMPARE(cursor.hotSpot(), QPoint(13, 4));

    const QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0)
                colours.insert(image.pixel(x, y));
        }
    }
    QCOMPARE(colours, (QSet<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}));

    const QPoint tip = cursor.hotSpot();
    QCOMPARE(qAlpha(image.pixel(tip)), 255);
    for (int y = 0; y < tip.y(); ++y)
        QCOMPARE(qAlpha(image.pixel(tip.x(), y)), 0);
}

QTEST_MAIN(tst_resources)
#include "tst_resources.moc"
