// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/frmAbout.h"

#include "tests/support/testsupport.h"

#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

using namespace lexorne;

namespace {

// The owner window, and the addresses handed to the opener.
struct Fixture
{
    QWidget owner;
    QStringList opened;
    bool opens = true;

    AboutOptions options(int major = 0, int minor = 10, QString title = QStringLiteral("Lexorne"))
    {
        return {std::move(title), major, minor, [this](const QUrl &url) {
                    opened.append(url.toString());
                    return opens;
                }};
    }
};

template <typename T = QWidget>
T *control(QWidget *window, const QByteArray &name)
{
    return testsupport::widget<T>(window, QString::fromLatin1(name));
}

bool showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

} // namespace

class tst_about : public QObject
{
    Q_OBJECT
private slots:
    void texts_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("toolTip");
        QTest::newRow("0.10") << 0 << 10 << QStringLiteral("Lexorne Bêta 10")
                              << QStringLiteral("C'est ici pour les rapports de bugs...");
        QTest::newRow("1.2") << 1 << 2 << QStringLiteral("Lexorne 1.2") << QString();
    }
    void texts()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(QString, title);
        Fixture f;
        frmAbout about(&f.owner, f.options(major, minor));
        QCOMPARE(control<QLabel>(&about, "lblTitle")->text(), title);
        QCOMPARE(about.windowTitle(), QStringLiteral("À propos de ") + title);
        QTEST(control(&about, "cmdMail")->toolTip(), "toolTip");
    }

    void dismissHides_data()
    {
        QTest::addColumn<int>("tabs"); // pressed first, from "OK", which has the focus
        QTest::addColumn<QByteArray>("focus");
        QTest::addColumn<int>("key"); // 0: a click with the mouse
        QTest::newRow("click OK") << 0 << QByteArray("cmdOK") << 0;
        // The two buttons and the web link take the focus.
        QTest::newRow("Enter on OK, after a round of Tab")
            << 3 << QByteArray("cmdOK") << int(Qt::Key_Return);
        QTest::newRow("Escape on mail") << 1 << QByteArray("cmdMail") << int(Qt::Key_Escape);
    }
    // Each way of saying "OK" hides the window and keeps it; none starts a mail.
    void dismissHides()
    {
        QFETCH(int, tabs);
        QFETCH(int, key);
        Fixture f;
        QPointer<frmAbout> about = new frmAbout(&f.owner, f.options());
        QVERIFY(showActive(about));
        for (int i = 0; i < tabs; ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *target = QApplication::focusWidget();
        QTEST(target->objectName().toLatin1(), "focus");
        if (key)
            QTest::keyClick(target, Qt::Key(key));
        else
            QTest::mouseClick(target, Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QVERIFY(about && about->isHidden());
        QCOMPARE(about->result(), int(QDialog::Accepted));
        QVERIFY(f.opened.isEmpty());
        delete about;
    }

    void linkLooks_data()
    {
        QTest::addColumn<QByteArrayList>("moves"); // "form": the bare window
        QTest::addColumn<bool>("link");            // the link look, else the plain one
        QTest::newRow("never hovered") << QByteArrayList() << false;
        QTest::newRow("bare window first") << QByteArrayList{"form"} << false;
        QTest::newRow("over the link") << QByteArrayList{"lblWeb"} << true;
        QTest::newRow("link then bare window") << QByteArrayList{"lblWeb", "form"} << false;
        QTest::newRow("link then author") << QByteArrayList{"lblWeb", "lblAuthor"} << false;
        QTest::newRow("link then title") << QByteArrayList{"lblWeb", "lblTitle"} << true;
        QTest::newRow("author then link") << QByteArrayList{"lblAuthor", "lblWeb"} << true;
    }
    void linkLooks()
    {
        QFETCH(QByteArrayList, moves);
        QFETCH(bool, link);
        Fixture f;
        frmAbout about(&f.owner, f.options());
        QVERIFY(showActive(&about));
        // Colours of the label's own, to see that the look follows the palette.
        auto *web = control<QLabel>(&about, "lblWeb");
        QPalette palette = web->palette();
        palette.setColor(QPalette::WindowText, Qt::darkGreen);
        palette.setColor(QPalette::Link, Qt::darkRed);
        web->setPalette(palette);

        const QPoint bare(about.width() - 2, about.height() - 2);
        QCOMPARE(about.childAt(bare), nullptr);
        for (const QByteArray &name : moves) {
            if (name == "form")
                QTest::mouseMove(&about, bare);
            else
                QTest::mouseMove(control(&about, name));
        }

        QCOMPARE(web->font().underline(), link);
        QCOMPARE(web->palette().color(web->foregroundRole()),
                 link ? QColor(Qt::darkRed) : QColor(Qt::darkGreen));
        // A move to where the pointer already is never arrives: end where no
        // row starts.
        QTest::mouseMove(&about, QPoint(1, 1));
    }

    // Tab reaches the link after the two buttons; while it has the focus it
    // looks as under the pointer, and it is plain again once the focus leaves.
    void linkFocus()
    {
        Fixture f;
        frmAbout about(&f.owner, f.options());
        QVERIFY(showActive(&about));
        auto *web = control<QLabel>(&about, "lblWeb");
        const auto look = [web] {
            return std::pair(web->foregroundRole(), web->font().underline());
        };
        QCOMPARE(look(), std::pair(QPalette::WindowText, false));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), web);
        QCOMPARE(look(), std::pair(QPalette::Link, true));
        // The pointer passing over the bare window does not hide the focus.
        QTest::mouseMove(&about, QPoint(about.width() - 2, about.height() - 2));
        QCOMPARE(look(), std::pair(QPalette::Link, true));
        QTest::keyClick(web, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), control(&about, "cmdOK"));
        QCOMPARE(look(), std::pair(QPalette::WindowText, false));
        // A click opens the link without taking the focus from the buttons.
        QTest::mouseClick(web, Qt::LeftButton, {}, web->rect().center());
        QCOMPARE(QApplication::focusWidget(), control(&about, "cmdOK"));
        QCOMPARE(f.opened.size(), 1);
        QTest::mouseMove(&about, QPoint(1, 1));
    }

    void links_data()
    {
        QTest::addColumn<QByteArray>("control");
        QTest::addColumn<int>("key"); // on the focused control; 0: a click
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("address");
        const QString web = QString::fromUtf8(kAuthorWebUrl);
        // The title goes into the subject as it is, space included.
        const QString mail = QStringLiteral("mailto:") + QString::fromUtf8(kAuthorEmail) +
                             QStringLiteral("?Subject=Lexorne Bêta");
        const int click = 0;
        QTest::newRow("web page") << QByteArray("lblWeb") << click << true << web;
        QTest::newRow("mail") << QByteArray("cmdMail") << click << true << mail;
        QTest::newRow("mail by Enter")
            << QByteArray("cmdMail") << int(Qt::Key_Return) << true << mail;
        QTest::newRow("web page fails") << QByteArray("lblWeb") << click << false << web;
        QTest::newRow("web page by Enter")
            << QByteArray("lblWeb") << int(Qt::Key_Return) << true << web;
        QTest::newRow("web page by Space")
            << QByteArray("lblWeb") << int(Qt::Key_Space) << true << web;
        QTest::newRow("web page fails by Enter")
            << QByteArray("lblWeb") << int(Qt::Key_Enter) << false << web;
    }
    // The opener gets the exact address; a failure shows a plain message box
    // titled with the application title; the window stays open.
    void links()
    {
        QFETCH(QByteArray, control);
        QFETCH(bool, opens);
        Fixture f;
        f.opens = opens;
        QPointer<frmAbout> about =
            new frmAbout(&f.owner, f.options(0, 10, QStringLiteral("Lexorne Bêta")));
        QVERIFY(showActive(about));
        QStringList boxes;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, this, [&boxes] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxes << QStringLiteral("%1|%2|%3|%4")
                             .arg(box->windowTitle(), box->text())
                             .arg(box->icon())
                             .arg(box->buttons().size());
                box->done(0);
            }
        });
        answerer.start(10);

        auto *target = ::control(about, control);
        QFETCH(int, key);
        if (key) {
            target->setFocus(Qt::TabFocusReason);
            QCOMPARE(QApplication::focusWidget(), target);
            QTest::keyClick(target, Qt::Key(key));
        } else {
            QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(about && about->isVisible());
        QTEST(f.opened.value(0), "address");
        QCOMPARE(f.opened.size(), 1);
        const QString failure = QStringLiteral("Lexorne Bêta|Une erreur s'est produite|0|1");
        QCOMPARE(boxes, opens ? QStringList() : QStringList{failure});
        delete about;
    }

    void fitsItsFont_data()
    {
        QTest::addColumn<int>("pointSize"); // 0: the default font
        QTest::newRow("default font") << 0;
        QTest::newRow("12 pt") << 12;
    }
    // Every caption gets at least the room it asks for, the link exactly its
    // text's, the logo its own size, and no control leaves the window or
    // covers another.
    void fitsItsFont()
    {
        QFETCH(int, pointSize);
        const QFont saved = QApplication::font();
        const auto restore = qScopeGuard([&] { QApplication::setFont(saved); });
        if (pointSize) {
            QFont font = saved;
            font.setPointSize(pointSize);
            QApplication::setFont(font);
        }
        Fixture f;
        frmAbout about(&f.owner, f.options());
        const auto controls = about.findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *widget : controls) {
            const QByteArray name = widget->objectName().toLatin1();
            QVERIFY2(about.rect().contains(widget->geometry()), name);
            QVERIFY2(widget->width() >= widget->sizeHint().width(), name);
            QVERIFY2(widget->height() >= widget->sizeHint().height(), name);
            for (QWidget *other : controls)
                QVERIFY2(other == widget || !widget->geometry().intersects(other->geometry()),
                         name);
        }
        QCOMPARE(control(&about, "lblWeb")->size(), control(&about, "lblWeb")->sizeHint());
        QCOMPARE(control(&about, "Picture1")->size(), QSize(58, 37));
    }

    void pictures_data()
    {
        QTest::addColumn<QColor>("ownerIcon"); // invalid: the owner has none
        QTest::newRow("owner's icon") << QColor(Qt::red);
        QTest::newRow("application icon") << QColor();
    }
    // picIcon shows the owner's icon, or the application icon when it has none.
    void pictures()
    {
        QFETCH(QColor, ownerIcon);
        Fixture f;
        if (ownerIcon.isValid()) {
            QPixmap pixmap(64, 64);
            pixmap.fill(ownerIcon);
            f.owner.setWindowIcon(QIcon(pixmap));
        }
        frmAbout about(&f.owner, f.options());
        const QImage shown = control<QLabel>(&about, "picIcon")->pixmap().toImage();
        QVERIFY(!shown.isNull());
        const QIcon expected =
            ownerIcon.isValid() ? f.owner.windowIcon() : resources::applicationIcon();
        QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32),
                 expected.pixmap(shown.size()).toImage().convertToFormat(QImage::Format_ARGB32));
    }
};

QTEST_MAIN(tst_about)
#include "tst_about.moc"
