#include "frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

const QString kBefore = u"avant"_s;

// Something on the clipboard in two formats, to see whether it was replaced.
void fillClipboard()
{
    auto *mime = new QMimeData;
    mime->setText(kBefore);
    mime->setHtml(u"<b>avant</b>"_s);
    QGuiApplication::clipboard()->setMimeData(mime);
}

QSettings storeFile()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, u"Quillmoor"_s, u"Lexorne"_s);
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void layout_data();
    void layout();
    void tabChain_data();
    void tabChain();
    void startsFromAnEmptyStore();
    void restoresTheStoredGame_data();
    void restoresTheStoredGame();
    void generate_data();
    void generate();
    void highlight_data();
    void highlight();
    void highlightStartsFromTheRendering();
    void highlightSwitch_data();
    void highlightSwitch();
    void lettersAreStoredAtEachChange();
    void resetClearsTheGame();
    void unloadStoresTheQuotationOnce();
    void failedSavesAreReported();
    void accessKeysFromTheQuotationBox_data();
    void accessKeysFromTheQuotationBox();
    void aboutWindowIsKeptUntilDestroyed();

private:
    frmMain &open();
    template <class T = QWidget>
    T *get(const QString &name) const
    {
        T *widget = m_window->findChild<T *>(name);
        if (!widget)
            qFatal("no control named %s", qPrintable(name));
        return widget;
    }
    QCheckBox *letter(int k) const { return get<QCheckBox>(u"chkLetter%1"_s.arg(k)); }
    void showActive();

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<settings::Store> m_store;
    std::unique_ptr<frmMain> m_window;
    QFont m_font;
};

void TestFrmMain::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    m_font = QApplication::font();
}

void TestFrmMain::init()
{
    // A fresh settings folder for every test, never the user's.
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir->path());
    fillClipboard();
}

void TestFrmMain::cleanup()
{
    m_window.reset();
    m_store.reset();
    QApplication::setFont(m_font);
}

frmMain &TestFrmMain::open()
{
    m_store = std::make_unique<settings::Store>();
    m_window = std::make_unique<frmMain>(*m_store);
    return *m_window;
}

void TestFrmMain::showActive()
{
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestFrmMain::layout_data()
{
    QTest::addColumn<int>("pointSize");
    QTest::newRow("default font") << 0;
    QTest::newRow("12 pt") << 12;
}

void TestFrmMain::layout()
{
    QFETCH(int, pointSize);
    if (pointSize > 0) {
        QFont font = QApplication::font();
        font.setPointSize(pointSize);
        QApplication::setFont(font);
    }
    frmMain &w = open();

    QCOMPARE(w.windowTitle(), u"Lexorama"_s);
    QVERIFY(!w.windowIcon().availableSizes().isEmpty());
    const std::pair<const char16_t *, const char16_t *> captions[] = {
        {u"fraOriginal", u"Citation"},
        {u"fraAlpha", u"Lettres proposées"},
        {u"fraRendu", u"Résultat"},
        {u"fraOptions", u"Options"},
        {u"chkClip", u"Copier dans le presse-papier"},
        {u"chkBBCode", u"Entourer la lettre"},
        {u"lblBCode", u"en"},
        {u"cmdBBCode", u"Go !"},
        {u"chkRecap", u"Log des lettres demandées"},
        {u"cmdAbout", u"À &propos de..."},
        {u"cmdReset", u"Re&set"},
        {u"cmdGenerate", u"&On y va !"},
        {u"cmdExit", u"&Quitter"},
    };
    for (const auto &[name, caption] : captions) {
        QWidget *widget = get(QString::fromUtf16(name));
        const QVariant text =
            widget->property(qobject_cast<QGroupBox *>(widget) ? "title" : "text");
        QCOMPARE(text.toString(), QString::fromUtf16(caption));
    }

    QVERIFY(w.minimumSize() == w.maximumSize());
    QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));

    // Column by column, 4 to a column; the last column narrower and flush
    // with the panel's right edge.
    for (int k = 0; k < 26; ++k) {
        QCOMPARE(letter(k)->text(), QString(QChar(u'A' + k)));
        QCOMPARE(letter(k)->x(), letter(k / 4 * 4)->x());
        QCOMPARE(letter(k)->y(), letter(k % 4)->y());
        if (k % 4 > 0)
            QVERIFY(letter(k)->y() > letter(k - 1)->y());
        if (k >= 4)
            QVERIFY(letter(k)->x() > letter(k - 4)->x());
    }
    QVERIFY(letter(24)->width() < letter(0)->width());
    QCOMPARE(letter(25)->geometry().right(), get(u"picLettres"_s)->width() - 1);

    // Nothing clipped, and every control inside its frame, panel or window.
    const QRegularExpression ours(u"^(fra|pic|txt|chk|cbo|lbl|cmd)"_s);
    for (QWidget *widget : w.findChildren<QWidget *>(ours)) {
        const QRect area = qobject_cast<QGroupBox *>(widget->parentWidget())
                               ? widget->parentWidget()->contentsRect()
                               : widget->parentWidget()->rect();
        QVERIFY2(area.contains(widget->geometry()), qPrintable(widget->objectName()));

        QSize need = widget->sizeHint();
        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin);
            need.setWidth(button->fontMetrics().horizontalAdvance(button->text().remove(u'&')) +
                          margin);
        } else if (auto *box = qobject_cast<QPlainTextEdit *>(widget)) {
            need = QSize(0, box->fontMetrics().lineSpacing() + 2 * box->frameWidth());
        } else if (auto *frame = qobject_cast<QGroupBox *>(widget)) {
            need = frame->minimumSizeHint();
        } else if (widget->objectName().startsWith(u"pic")) {
            continue;
        }
        QVERIFY2(need.width() <= widget->width() && need.height() <= widget->height(),
                 qPrintable(widget->objectName()));
    }
}

void TestFrmMain::tabChain_data()
{
    QTest::addColumn<bool>("highlight");
    QTest::newRow("highlight off: its controls are skipped") << false;
    QTest::newRow("highlight on") << true;
}

void TestFrmMain::tabChain()
{
    QFETCH(bool, highlight);
    open();
    showActive();
    QCOMPARE(QApplication::focusWidget(), get(u"cmdExit"_s));
    get<QCheckBox>(u"chkBBCode"_s)->setChecked(highlight);

    QStringList expected{u"cmdAbout"_s, u"cmdGenerate"_s, u"cmdReset"_s, u"txtRendu"_s,
                         u"txtOrigin"_s};
    for (char letterName : QByteArray("ZYDCBAEFGHLKJIPONMQRSTXWVU"))
        expected << u"chkLetter%1"_s.arg(letterName - 'A');
    expected << u"chkClip"_s << u"chkBBCode"_s;
    if (highlight)
        expected << u"cboBBCode1"_s << u"cboBBCode2"_s << u"cmdBBCode"_s;
    expected << u"chkRecap"_s << u"cmdExit"_s;

    QStringList visited;
    for (qsizetype i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, expected);
}

void TestFrmMain::startsFromAnEmptyStore()
{
    frmMain &w = open();
    auto *letters = get<QComboBox>(u"cboBBCode1"_s);
    auto *colours = get<QComboBox>(u"cboBBCode2"_s);
    QCOMPARE(letters->count(), 26);
    QCOMPARE(letters->currentText(), u"A/a"_s);
    QCOMPARE(colours->count(), 14);
    QCOMPARE(colours->currentText(), u"Rouge foncé"_s);
    QVERIFY(!letters->isEnabled() && !colours->isEnabled() && !get(u"cmdBBCode"_s)->isEnabled());
    QVERIFY(get<QCheckBox>(u"chkClip"_s)->isChecked());
    QVERIFY(get<QCheckBox>(u"chkRecap"_s)->isChecked());
    QVERIFY(!get<QCheckBox>(u"chkBBCode"_s)->isChecked());
    for (int k = 0; k < 26; ++k)
        QCOMPARE(letter(k)->checkState(), Qt::Unchecked);
    QVERIFY(get<QPlainTextEdit>(u"txtOrigin"_s)->document()->isEmpty());
    QCOMPARE(w.strRendu, u"\r\r\r"_s);
    QCOMPARE(get<QPlainTextEdit>(u"txtRendu"_s)->toPlainText(), u"\n\n\n"_s);
    QVERIFY(storeFile().allKeys().isEmpty());
    QCOMPARE(QGuiApplication::clipboard()->text(), kBefore);
}

void TestFrmMain::restoresTheStoredGame_data()
{
    QTest::addColumn<QString>("storedE");
    QTest::addColumn<Qt::CheckState>("stateE");
    QTest::addColumn<QString>("rendering");
    QTest::newRow("E ticked") << u"1"_s << Qt::Checked << u"**\u00eb*\n\u00c9*\u00e9\r\r\r   E"_s;
    // A greyed box reveals nothing and is not listed.
    QTest::newRow("E greyed") << u"2"_s << Qt::PartiallyChecked << u"****\n***\r\r\r"_s;
}

void TestFrmMain::restoresTheStoredGame()
{
    QFETCH(QString, storedE);
    const QString quotation = u"No\u00ebl\n\u00c9t\u00e9"_s;
    {
        QSettings s = storeFile();
        s.setValue(u"General Settings/Citation"_s, quotation);
        s.setValue(u"Alpha/4"_s, storedE);
    }
    frmMain &w = open();

    for (int k = 0; k < 26; ++k) {
        if (k != 4)
            QCOMPARE(letter(k)->checkState(), Qt::Unchecked);
    }
    QTEST(letter(4)->checkState(), "stateE");
    QCOMPARE(w.strOriginal, quotation);
    QTEST(w.strRendu, "rendering");
    QCOMPARE(QGuiApplication::clipboard()->text(), kBefore);
    QCOMPARE(storeFile().value(u"Alpha/4"_s).toString(), storedE);
}

void TestFrmMain::generate_data()
{
    QTest::addColumn<QString>("quotation");
    QTest::addColumn<bool>("clip");
    QTest::addColumn<bool>("recap");
    QTest::addColumn<QString>("expected");

    const QString noel = u"No\u00ebl"_s;
    QTest::newRow("copy, log") << noel << true << true << u"N*\u00eb*\r\r\r   E - N"_s;
    QTest::newRow("copy, no log") << noel << true << false << u"N*\u00eb*"_s;
    QTest::newRow("no copy, log") << noel << false << true << u"N*\u00eb*\r\r\r   E - N"_s;
    QTest::newRow("no copy, no log") << noel << false << false << u"N*\u00eb*"_s;
    QTest::newRow("non-breaking space kept")
        << u"Quoi\u00a0?"_s << true << false << u"****\u00a0?"_s;
    QTest::newRow("empty, copy") << QString() << true << false << QString();
}

void TestFrmMain::generate()
{
    QFETCH(QString, quotation);
    QFETCH(bool, clip);
    QFETCH(QString, expected);
    frmMain &w = open();
    get<QPlainTextEdit>(u"txtOrigin"_s)->setPlainText(quotation);
    QCOMPARE(w.strOriginal, quotation);
    letter(4)->setChecked(true);
    letter(13)->setChecked(true);
    get<QCheckBox>(u"chkClip"_s)->setChecked(clip);
    QFETCH(bool, recap);
    get<QCheckBox>(u"chkRecap"_s)->setChecked(recap);

    get<QPushButton>(u"cmdGenerate"_s)->click();
    QCOMPARE(w.strRendu, expected);
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (clip) {
        QCOMPARE(mime->formats(), QStringList{u"text/plain"_s});
        QCOMPARE(mime->data(u"text/plain"_s), expected.toUtf8());
    } else {
        QVERIFY(mime->hasHtml());
        QCOMPARE(mime->text(), kBefore);
    }
}

void TestFrmMain::highlight_data()
{
    QTest::addColumn<QString>("rendered");
    QTest::addColumn<int>("letterIndex");
    QTest::addColumn<int>("colourIndex");
    QTest::addColumn<QString>("expected");

    QTest::newRow("C/c Cyan") << u"Ceci"_s << 2 << 7
                              << u"[color=cyan]C[/color]e[color=cyan]c[/color]i"_s;
    QTest::newRow("E/e Rouge foncé")
        << u"\u00c9t\u00e9"_s << 4 << 0
        << u"[color=darkred]\u00c9[/color]t[color=darkred]\u00e9[/color]"_s;
    QTest::newRow("L/l Bleu") << u"Ll"_s << 11 << 8
                              << u"[color=blue]L[/color][color=blue]l[/color]"_s;
    QTest::newRow("O/o Noir") << u"c\u00f4te"_s << 14 << 13 << u"c[color=black]\u00f4[/color]te"_s;
    QTest::newRow("A/a Rouge") << u"\u00c6ther"_s << 0 << 1 << u"[color=red]\u00c6[/color]ther"_s;
    QTest::newRow("E/e Rouge") << u"\u00c6ther"_s << 4 << 1 << u"\u00c6th[color=red]e[/color]r"_s;
    QTest::newRow("B/b Vert") << u"ab*b"_s << 1 << 5
                              << u"a[color=green]b[/color]*[color=green]b[/color]"_s;
}

void TestFrmMain::highlight()
{
    QFETCH(QString, rendered);
    QFETCH(int, letterIndex);
    QFETCH(int, colourIndex);
    QFETCH(QString, expected);
    frmMain &w = open();
    for (int k = 0; k < 26; ++k)
        letter(k)->setChecked(true);
    get<QCheckBox>(u"chkRecap"_s)->setChecked(false);
    get<QPlainTextEdit>(u"txtOrigin"_s)->setPlainText(rendered);
    get<QPushButton>(u"cmdGenerate"_s)->click();
    QCOMPARE(w.strRendu, rendered);

    get<QCheckBox>(u"chkBBCode"_s)->setChecked(true);
    get<QComboBox>(u"cboBBCode1"_s)->setCurrentIndex(letterIndex);
    get<QComboBox>(u"cboBBCode2"_s)->setCurrentIndex(colourIndex);
    QTest::mouseClick(get(u"cmdBBCode"_s), Qt::LeftButton);
    QCOMPARE(w.strFinal, expected);
    QCOMPARE(w.strCloseTag, u"[/color]"_s);
    QCOMPARE(get<QPlainTextEdit>(u"txtRendu"_s)->toPlainText(), expected);
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    QCOMPARE(w.strRendu, rendered);
}

void TestFrmMain::highlightStartsFromTheRendering()
{
    frmMain &w = open();
    letter(2)->setChecked(true);
    letter(4)->setChecked(true);
    get<QPlainTextEdit>(u"txtOrigin"_s)->setPlainText(u"Ceci"_s);
    get<QPushButton>(u"cmdGenerate"_s)->click();
    get<QCheckBox>(u"chkBBCode"_s)->setChecked(true);
    auto *letters = get<QComboBox>(u"cboBBCode1"_s);
    auto *go = get<QPushButton>(u"cmdBBCode"_s);

    letters->setCurrentIndex(2);
    go->click();
    letters->setCurrentIndex(4);
    go->click();
    const QString second = u"C[color=darkred]e[/color]c*\r\r\r   C - [color=darkred]E[/color]"_s;
    QCOMPARE(w.strFinal, second);
    QCOMPARE(QGuiApplication::clipboard()->text(), second);

    fillClipboard();
    get<QCheckBox>(u"chkClip"_s)->setChecked(false);
    letters->setCurrentIndex(8);
    go->click();
    QCOMPARE(QGuiApplication::clipboard()->text(), kBefore);
    get<QPushButton>(u"cmdGenerate"_s)->click();
    QCOMPARE(get<QPlainTextEdit>(u"txtRendu"_s)->toPlainText(), u"Cec*\n\n\n   C - E"_s);
}

void TestFrmMain::highlightSwitch_data()
{
    QTest::addColumn<QList<Qt::CheckState>>("states");
    QTest::addColumn<bool>("enabled");
    using L = QList<Qt::CheckState>;
    QTest::newRow("ticked") << L{Qt::Checked} << true;
    QTest::newRow("ticked, unticked") << L{Qt::Checked, Qt::Unchecked} << false;
    QTest::newRow("ticked, greyed") << L{Qt::Checked, Qt::PartiallyChecked} << true;
    QTest::newRow("greyed") << L{Qt::PartiallyChecked} << false;
    QTest::newRow("unticked, ticked again") << L{Qt::Checked, Qt::Unchecked, Qt::Checked} << true;
}

void TestFrmMain::highlightSwitch()
{
    QFETCH(QList<Qt::CheckState>, states);
    open();
    auto *letters = get<QComboBox>(u"cboBBCode1"_s);
    auto *colours = get<QComboBox>(u"cboBBCode2"_s);
    letters->setCurrentIndex(5);
    colours->setCurrentIndex(9);
    for (Qt::CheckState state : states)
        get<QCheckBox>(u"chkBBCode"_s)->setCheckState(state);
    QTEST(letters->isEnabled(), "enabled");
    QTEST(colours->isEnabled(), "enabled");
    QTEST(get(u"cmdBBCode"_s)->isEnabled(), "enabled");
    QCOMPARE(letters->currentIndex(), 5);
    QCOMPARE(colours->currentIndex(), 9);
}

void TestFrmMain::lettersAreStoredAtEachChange()
{
    open();
    QTest::mouseClick(letter(0), Qt::LeftButton);
    QCOMPARE(storeFile().value(u"Alpha/0"_s).toString(), u"1"_s);
    QTest::mouseClick(letter(0), Qt::LeftButton);
    QCOMPARE(storeFile().value(u"Alpha/0"_s).toString(), u"0"_s);
    letter(25)->setChecked(true); // a change by the program is stored too
    QCOMPARE(storeFile().value(u"Alpha/25"_s).toString(), u"1"_s);

    // A greyed box goes back to two states once clicked.
    letter(3)->setCheckState(Qt::PartiallyChecked);
    QTest::mouseClick(letter(3), Qt::LeftButton);
    QTest::mouseClick(letter(3), Qt::LeftButton);
    QTest::mouseClick(letter(3), Qt::LeftButton);
    QCOMPARE(letter(3)->checkState(), Qt::Checked);
    QCOMPARE(storeFile().value(u"Alpha/3"_s).toString(), u"1"_s);
}

void TestFrmMain::resetClearsTheGame()
{
    storeFile().setValue(u"General Settings/Citation"_s, u"abc"_s);
    frmMain &w = open();
    letter(1)->setChecked(true);
    get<QPushButton>(u"cmdGenerate"_s)->click();
    const QString rendering = w.strRendu;

    get<QPushButton>(u"cmdReset"_s)->click();
    QSettings s = storeFile();
    QCOMPARE(s.value(u"Alpha/1"_s).toString(), u"0"_s);
    QVERIFY(!s.contains(u"Alpha/2"_s));
    QVERIFY(!s.contains(u"General Settings/Citation"_s));
    QVERIFY(!letter(1)->isChecked());
    QVERIFY(get<QPlainTextEdit>(u"txtOrigin"_s)->document()->isEmpty());
    QVERIFY(get<QPlainTextEdit>(u"txtRendu"_s)->document()->isEmpty());
    QVERIFY(w.strOriginal.isEmpty());
    QCOMPARE(w.strRendu, rendering);

    w.close();
    QCOMPARE(storeFile().value(u"General Settings/Citation"_s), QVariant(QString()));
}

void TestFrmMain::unloadStoresTheQuotationOnce()
{
    frmMain &w = open();
    const QString quotation = u"Ligne\u00a01\n\nLigne 2 "_s;
    get<QPlainTextEdit>(u"txtOrigin"_s)->setPlainText(quotation);
    QVERIFY(!storeFile().contains(u"General Settings/Citation"_s));

    get<QPushButton>(u"cmdExit"_s)->click();
    QVERIFY(!w.isVisible());
    QCOMPARE(storeFile().value(u"General Settings/Citation"_s).toString(), quotation);

    get<QPlainTextEdit>(u"txtOrigin"_s)->setPlainText(u"plus tard"_s);
    w.close();
    QCOMPARE(storeFile().value(u"General Settings/Citation"_s).toString(), quotation);
    QVERIFY(w.storeQuotation());
    QCOMPARE(storeFile().value(u"General Settings/Citation"_s).toString(), u"plus tard"_s);
}

void TestFrmMain::failedSavesAreReported()
{
    // A file where the store's folder should be: every write fails.
    QFile blocker(m_dir->filePath(u"Quillmoor"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    frmMain &w = open();
    QStringList messages;
    w.setProblemReporter([&messages](const QString &message) { messages << message; });

    letter(0)->setChecked(true); // before the window is shown: told once it is
    letter(1)->setChecked(true);
    QVERIFY(messages.isEmpty());
    showActive();
    QTRY_COMPARE(messages.size(), 1);
    letter(2)->setChecked(true);
    QVERIFY(messages.first().contains(u"lettres"_s));

    QVERIFY(!w.storeQuotation());
    QCOMPARE(messages.size(), 1);
    w.close();
    w.close();
    QCOMPARE(messages.size(), 2);
    QVERIFY(messages.last().contains(u"citation"_s));
}

void TestFrmMain::accessKeysFromTheQuotationBox_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Alt+O generates") << Qt::Key_O;
    QTest::newRow("Alt+S resets") << Qt::Key_S;
    QTest::newRow("Alt+P opens the about window") << Qt::Key_P;
    QTest::newRow("Alt+Q quits") << Qt::Key_Q;
}

void TestFrmMain::accessKeysFromTheQuotationBox()
{
    QFETCH(Qt::Key, key);
    frmMain &w = open();
    auto *origin = get<QPlainTextEdit>(u"txtOrigin"_s);
    origin->setPlainText(u"abc"_s);
    letter(0)->setChecked(true);
    showActive();
    origin->setFocus();

    // The about window is modal: note it and put it away as soon as it shows.
    QPointer<QWidget> modal;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&modal] {
        if (QWidget *active = QApplication::activeModalWidget()) {
            modal = active;
            active->hide();
        }
    });
    watch.start(10);
    // A button pressed by its access key clicks a moment later.
    QTest::keyClick(origin, key, Qt::AltModifier);

    switch (key) {
    case Qt::Key_O:
        QTRY_COMPARE(w.strRendu, u"a**\r\r\r   A"_s);
        break;
    case Qt::Key_S:
        QTRY_VERIFY(origin->document()->isEmpty());
        break;
    case Qt::Key_P:
        QTRY_VERIFY(qobject_cast<frmAbout *>(modal));
        break;
    default:
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(storeFile().value(u"General Settings/Citation"_s).toString(), u"abc"_s);
        return;
    }
    QVERIFY(w.isVisible());
    QVERIFY(key == Qt::Key_S || origin->toPlainText() == u"abc"_s);
}

void TestFrmMain::aboutWindowIsKeptUntilDestroyed()
{
    frmMain &w = open();
    AboutOptions options;
    options.title = u"Essai"_s;
    w.setAboutOptions(options);
    showActive();
    QList<QWidget *> shown;
    QPointer<QWidget> last;
    // "OK" only hides the window; the title bar's close destroys it.
    const auto pressAbout = [&](bool closeBox) {
        QTimer::singleShot(0, this, [&shown, &last, closeBox] {
            QWidget *about = QApplication::activeModalWidget();
            shown << about;
            last = about;
            if (closeBox)
                about->close();
            else
                about->hide();
        });
        get<QPushButton>(u"cmdAbout"_s)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };
    pressAbout(false);
    QVERIFY(qobject_cast<frmAbout *>(last));
    QVERIFY(last->windowTitle().contains(u"Essai"_s));
    pressAbout(true);
    QCOMPARE(shown.size(), 2);
    QCOMPARE(shown[0], shown[1]);
    QVERIFY(last.isNull());
    pressAbout(false);
    QVERIFY(qobject_cast<frmAbout *>(last));
    QCOMPARE(w.findChildren<frmAbout *>().size(), 1);
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
