#include "frmAbout.h"

#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

using namespace lexorne;

namespace {

// Answers every message box that opens while it lives, noting what it showed.
class BoxAnswerer : public QObject
{
public:
    QStringList seen;

    BoxAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            seen.append(QStringLiteral("%1|%2|%3|%4")
                            .arg(box->windowTitle(), box->text())
                            .arg(box->icon())
                            .arg(box->buttons().size()));
            box->done(0);
        });
        m_timer.start(10);
    }

private:
    QTimer m_timer;
};

// The owner window, and the addresses handed to the opener.
struct Fixture
{
    QWidget owner;
    QStringList opened;
    bool opens = true;

    AboutOptions options(int major = 0, int minor = 10,
                         QString title = QString::fromLatin1(kApplicationTitle))
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
    T *widget = window->findChild<T *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no control %s", name.constData());
    return widget;
}

bool showActive(QWidget *window)
{
    window->show();
    QApplication::setActiveWindow(window);
    return QTest::qWaitForWindowActive(window);
}

QString mailAddress(const QString &title)
{
    return QStringLiteral("mailto:") + QString::fromUtf8(kAuthorEmail) +
           QStringLiteral("?Subject=") + title;
}

} // namespace

class tst_about : public QObject
{
    Q_OBJECT
private slots:
    void texts_data();
    void texts();
    void dismissHides_data();
    void dismissHides();
    void reopenKeepsWindowUntilClosed();
    void linkLooks_data();
    void linkLooks();
    void links_data();
    void links();
    void fitsItsFont_data();
    void fitsItsFont();
    void frameAndFocus();
    void pictures_data();
    void pictures();
};

void tst_about::texts_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("toolTip");
    const QString bugs = QStringLiteral("C'est ici pour les rapports de bugs...");
    QTest::newRow("0.10") << 0 << 10 << QStringLiteral("Lexorne Bêta 10") << bugs;
    QTest::newRow("0.0") << 0 << 0 << QStringLiteral("Lexorne Bêta 0") << bugs;
    QTest::newRow("1.2") << 1 << 2 << QStringLiteral("Lexorne 1.2") << QString();
    QTest::newRow("12.05") << 12 << 5 << QStringLiteral("Lexorne 12.5") << QString();
}

void tst_about::texts()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, title);
    QFETCH(QString, toolTip);
    Fixture f;
    frmAbout about(&f.owner, f.options(major, minor));
    QCOMPARE(control<QLabel>(&about, "lblTitle")->text(), title);
    QCOMPARE(about.windowTitle(), QStringLiteral("À propos de ") + title);
    QCOMPARE(control(&about, "cmdMail")->toolTip(), toolTip);
    QCOMPARE(control(&about, "lblTitle")->palette().color(QPalette::WindowText), QColor(Qt::black));

    // The program's own title and version give the released texts.
    frmAbout released(&f.owner);
    QCOMPARE(released.windowTitle(), QStringLiteral("À propos de Lexorne Bêta 10"));
}

void tst_about::dismissHides_data()
{
    QTest::addColumn<QByteArray>("focus");
    QTest::addColumn<int>("key"); // 0: click "OK" with the mouse
    QTest::newRow("click OK") << QByteArray("cmdOK") << 0;
    QTest::newRow("Enter on OK") << QByteArray("cmdOK") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter on OK") << QByteArray("cmdOK") << int(Qt::Key_Enter);
    QTest::newRow("Escape on OK") << QByteArray("cmdOK") << int(Qt::Key_Escape);
    QTest::newRow("Escape on mail") << QByteArray("cmdMail") << int(Qt::Key_Escape);
}

// Each way of saying "OK" hides the window and keeps it; none starts a mail.
void tst_about::dismissHides()
{
    QFETCH(QByteArray, focus);
    QFETCH(int, key);
    Fixture f;
    QPointer<frmAbout> about = new frmAbout(&f.owner, f.options());
    QVERIFY(showActive(about));
    auto *target = control(about, focus);
    target->setFocus();
    if (key)
        QTest::keyClick(target, Qt::Key(key));
    else
        QTest::mouseClick(control(about, "cmdOK"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY(about);
    QVERIFY(about->isHidden());
    QCOMPARE(about->result(), int(QDialog::Accepted));
    QVERIFY(f.opened.isEmpty());
    delete about;
}

// The owner keeps the window in a guarded pointer and builds it when it is
// gone, as the main window does.
void tst_about::reopenKeepsWindowUntilClosed()
{
    Fixture f;
    QPointer<frmAbout> about;
    QList<frmAbout *> shown;
    const auto open = [&](std::function<void(frmAbout *)> whileShown) {
        if (!about)
            about = new frmAbout(&f.owner, f.options());
        shown.append(about);
        QTimer::singleShot(0, about, [&, whileShown] {
            const bool modal = about->isModal();
            whileShown(about);
            // Never leave the test waiting in exec() after a failed check.
            if (about && about->isVisible())
                about->hide();
            QVERIFY(modal);
        });
        about->exec();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !QTest::currentTestFailed();
    };

    QVERIFY(open([](frmAbout *w) {
        QTest::mouseMove(control(w, "lblWeb"));
        QTest::mouseClick(control(w, "cmdOK"), Qt::LeftButton);
    }));
    QVERIFY(open([](frmAbout *w) {
        auto *web = control<QLabel>(w, "lblWeb");
        QCOMPARE(web->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        QVERIFY(web->font().underline());
        QTest::keyClick(w, Qt::Key_Escape);
    }));
    QVERIFY(about);
    QCOMPARE(shown.at(1), shown.at(0));

    QVERIFY(open([](frmAbout *w) { w->close(); }));
    QVERIFY(!about);
    QVERIFY(open([](frmAbout *w) {
        QVERIFY(!control<QLabel>(w, "lblWeb")->font().underline()); // built anew
        w->accept();
    }));
    QVERIFY(about);
    delete about;
}

void tst_about::linkLooks_data()
{
    QTest::addColumn<QByteArrayList>("moves"); // "form": the bare window
    QTest::addColumn<QString>("look");         // design, link or plain
    QTest::newRow("never hovered") << QByteArrayList() << "design";
    QTest::newRow("bare window first") << QByteArrayList{"form"} << "plain";
    QTest::newRow("over the link") << QByteArrayList{"lblWeb"} << "link";
    QTest::newRow("link then bare window") << QByteArrayList{"lblWeb", "form"} << "plain";
    QTest::newRow("link then author") << QByteArrayList{"lblWeb", "lblAuthor"} << "plain";
    for (const char *other : {"cmdOK", "cmdMail", "lblTitle", "picIcon", "Picture1"})
        QTest::addRow("link then %s", other) << QByteArrayList{"lblWeb", other} << "link";
    QTest::newRow("link, OK, bare window") << QByteArrayList{"lblWeb", "cmdOK", "form"} << "plain";
    QTest::newRow("author then link") << QByteArrayList{"lblAuthor", "lblWeb"} << "link";
}

void tst_about::linkLooks()
{
    QFETCH(QByteArrayList, moves);
    QFETCH(QString, look);
    Fixture f;
    frmAbout about(&f.owner, f.options());
    QVERIFY(showActive(&about));
    auto *web = control<QLabel>(&about, "lblWeb");
    const QColor designColour = QApplication::palette(web).color(QPalette::WindowText);

    const QPoint bare(about.width() - 2, about.height() - 2);
    QCOMPARE(about.childAt(bare), nullptr);
    for (const QByteArray &name : moves) {
        if (name == "form")
            QTest::mouseMove(&about, bare);
        else
            QTest::mouseMove(control(&about, name));
    }

    const QColor colour = web->palette().color(QPalette::WindowText);
    QCOMPARE(web->font().underline(), look == QLatin1String("link"));
    if (look == QLatin1String("link"))
        QCOMPARE(colour, QColor(0, 0, 255));
    else
        QCOMPARE(colour, look == QLatin1String("plain") ? QColor(0, 0, 0) : designColour);
}

void tst_about::links_data()
{
    QTest::addColumn<QByteArray>("control");
    QTest::addColumn<bool>("byEnter"); // Enter on the focused control instead of a click
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("address");
    const QString web = QString::fromUtf8(kAuthorWebUrl);
    const QString plain = QStringLiteral("Lexorne");
    const QString spaced = QStringLiteral("Lexorne Bêta");
    QTest::newRow("web page") << QByteArray("lblWeb") << false << plain << true << web;
    QTest::newRow("mail") << QByteArray("cmdMail") << false << plain << true << mailAddress(plain);
    QTest::newRow("mail by Enter")
        << QByteArray("cmdMail") << true << plain << true << mailAddress(plain);
    QTest::newRow("mail, title with a space")
        << QByteArray("cmdMail") << false << spaced << true << mailAddress(spaced);
    QTest::newRow("web page fails") << QByteArray("lblWeb") << false << plain << false << web;
    QTest::newRow("mail fails") << QByteArray("cmdMail") << false << spaced << false
                                << mailAddress(spaced);
}

// Each try hands the exact address to the opener; a failure shows a plain
// message box titled with the application title; the window stays open.
void tst_about::links()
{
    QFETCH(QByteArray, control);
    QFETCH(bool, byEnter);
    QFETCH(QString, title);
    QFETCH(bool, opens);
    QFETCH(QString, address);
    Fixture f;
    f.opens = opens;
    QPointer<frmAbout> about = new frmAbout(&f.owner, f.options(0, 10, title));
    QVERIFY(showActive(about));
    auto *target = ::control(about, control);
    const BoxAnswerer answerer;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (byEnter) {
            target->setFocus();
            QTest::keyClick(target, Qt::Key_Return);
        } else {
            QTest::mouseClick(target, Qt::LeftButton, {}, target->rect().center());
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(about && about->isVisible());
    }
    QCOMPARE(f.opened, QStringList(2, address));
    const QString box = title + QStringLiteral("|Une erreur s'est produite|0|1");
    QCOMPARE(answerer.seen, opens ? QStringList() : QStringList(2, box));
    delete about;
}

void tst_about::fitsItsFont_data()
{
    QTest::addColumn<int>("pointSize"); // 0: the default font
    QTest::newRow("default font") << 0;
    QTest::newRow("12 pt") << 12;
    QTest::newRow("20 pt") << 20;
}

// Every caption gets at least the room it asks for, the link exactly its
// text's, and no control leaves the window or covers another.
void tst_about::fitsItsFont()
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
    QCOMPARE(controls.size(), 7);
    for (QWidget *widget : controls) {
        const QByteArray name = widget->objectName().toLatin1();
        QVERIFY2(about.rect().contains(widget->geometry()), name);
        QVERIFY2(widget->width() >= widget->sizeHint().width(), name);
        QVERIFY2(widget->height() >= widget->sizeHint().height(), name);
        for (QWidget *other : controls)
            QVERIFY2(other == widget || !widget->geometry().intersects(other->geometry()), name);
    }
    QCOMPARE(control(&about, "lblWeb")->size(), control(&about, "lblWeb")->sizeHint());
    QCOMPARE(control(&about, "Picture1")->size(), QSize(58, 37));
}

void tst_about::frameAndFocus()
{
    Fixture f;
    frmAbout about(&f.owner, f.options());
    QCOMPARE(about.minimumSize(), about.maximumSize());
    const Qt::WindowFlags flags = about.windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(about.width() >= 350 && about.height() >= 105);

    QVERIFY(showActive(&about));
    // Placed before its frame is known: off the screen's centre by no more
    // than the frame.
    const QSize frame = about.frameGeometry().size() - about.size();
    const QPoint offset =
        about.frameGeometry().center() - about.screen()->availableGeometry().center();
    QVERIFY(qAbs(offset.x()) <= frame.width() && qAbs(offset.y()) <= frame.height());

    // Only the two buttons take the focus, "OK" first.
    QCOMPARE(QApplication::focusWidget(), control(&about, "cmdOK"));
    QTest::keyClick(control(&about, "cmdOK"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), control(&about, "cmdMail"));
    QTest::keyClick(control(&about, "cmdMail"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), control(&about, "cmdOK"));
}

void tst_about::pictures_data()
{
    QTest::addColumn<QColor>("ownerIcon"); // invalid: the owner has none
    QTest::newRow("owner's icon") << QColor(Qt::red);
    QTest::newRow("application icon") << QColor();
}

// picIcon shows the owner's icon, or the application icon when it has none;
// both link controls carry the hand cursor.
void tst_about::pictures()
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

    for (const char *name : {"lblWeb", "cmdMail"}) {
        const QCursor cursor = control(&about, name)->cursor();
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), QPoint(13, 4));
    }
}

QTEST_MAIN(tst_about)
#include "tst_about.moc"
