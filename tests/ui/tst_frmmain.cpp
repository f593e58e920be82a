// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/mainwindow.h"
#include "ui/controlsize.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

const QString kBefore = u"avant"_s;
const QString kCitation = u"General Settings/Citation"_s;

QString clipboard()
{
    return QGuiApplication::clipboard()->text();
}

// One line of tests/support/taborder.txt that the window has from the start
// (lines marked for a part built later, as "panel", are that part's to check).
struct TabStop
{
    QString objectName;
    QString accessibleName;
    bool offAtStart = false;
};

QList<TabStop> tabOrder()
{
    QFile file(u":/tests/taborder.txt"_s);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QList<TabStop> stops;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList fields = line.split(u'\t');
        const QString marker = fields.value(2);
        if (marker.isEmpty() || marker == u"off"_s)
            stops.append({fields.value(0), fields.value(1), marker == u"off"_s});
    }
    return stops;
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private:
    testsupport::MainWindow m_main;
    QFont m_font;

    frmMain &open() { return m_main.open(); }
    template <class T = QWidget>
    T *get(const QString &name) const
    {
        return m_main.get<T>(name);
    }
    QCheckBox *letter(int k) const { return m_main.letter(k); }
    QCheckBox *option(const QString &name) const { return m_main.option(name); }
    QPlainTextEdit *origin() const { return m_main.origin(); }
    QPlainTextEdit *result() const { return m_main.result(); }
    void click(const QString &name) const { m_main.click(name); }
    void showActive() { QVERIFY(m_main.showActive()); }
    static QSettings storeFile() { return testsupport::MainWindow::storeFile(); }
    QVariant stored(const QString &key) { return m_main.stored(key); }

private slots:
    void initTestCase() { m_font = QApplication::font(); }
    void init()
    {
        QVERIFY(m_main.begin());
        // Something on the clipboard, to see whether it was replaced.
        QGuiApplication::clipboard()->setText(kBefore);
    }
    void cleanup()
    {
        m_main.end();
        QApplication::setFont(m_font);
    }

    void layout_data()
    {
        QTest::addColumn<int>("pointSize");
        QTest::newRow("default font") << 0;
        QTest::newRow("12 pt") << 12;
    }
    void layout()
    {
        QFETCH(int, pointSize);
        if (pointSize > 0) {
            QFont font = QApplication::font();
            font.setPointSize(pointSize);
            QApplication::setFont(font);
        }
        frmMain &w = open();
        QVERIFY(!w.windowIcon().availableSizes().isEmpty());
        QVERIFY(w.minimumSize() == w.maximumSize());

        // Column by column, 4 to a column.
        for (int k = 0; k < 26; ++k) {
            QCOMPARE(letter(k)->text(), QString(QChar(u'A' + k)));
            QCOMPARE(letter(k)->pos(), QPoint(letter(k / 4 * 4)->x(), letter(k % 4)->y()));
        }
        QVERIFY(letter(1)->y() > letter(0)->y() && letter(4)->x() > letter(0)->x());

        // "Lettres absentes" is one row more under the options, at their
        // pitch: the Options frame is that much taller than the board's,
        // which had its height, and the buttons stay below it.
        const int pitch = option(u"chkRecap"_s)->y() - option(u"chkBBCode"_s)->y();
        QVERIFY(pitch > 0);
        QVERIFY(qAbs(option(u"chkAbsent"_s)->y() - option(u"chkRecap"_s)->y() - pitch) <= 1);
        const int grown = get(u"fraOptions"_s)->height() - get(u"fraAlpha"_s)->height();
        QVERIFY2(qAbs(grown - pitch) <= 1, qPrintable(u"%1 against %2"_s.arg(grown).arg(pitch)));
        const int gapAbove = get(u"fraOptions"_s)->y() - get(u"fraRendu"_s)->geometry().bottom();
        const int gapBelow = get(u"cmdGenerate"_s)->y() - get(u"fraOptions"_s)->geometry().bottom();
        QVERIFY(gapBelow > 0 && qAbs(gapBelow - gapAbove) <= 1);

        // Nothing clipped, and every control inside its frame, panel or window.
        const QRegularExpression ours(u"^(fra|pic|txt|chk|cbo|lbl|cmd)"_s);
        for (QWidget *widget : w.findChildren<QWidget *>(ours)) {
            // A closed panel beside the window takes no room in it.
            if (!widget->isVisibleTo(&w))
                continue;
            const QWidget *parent = widget->parentWidget();
            const QRect area =
                qobject_cast<const QGroupBox *>(parent) ? parent->contentsRect() : parent->rect();
            QVERIFY2(area.contains(widget->geometry()), qPrintable(widget->objectName()));

            const QSize need = requiredSize(widget);
            QVERIFY2(need.width() <= widget->width() && need.height() <= widget->height(),
                     qPrintable(widget->objectName()));
        }
    }

    // The highlight switch enables or disables its three controls, greyed
    // leaves them as they were, and Tab skips them while disabled.
    void highlightControls_data()
    {
        QTest::addColumn<QList<Qt::CheckState>>("states");
        QTest::addColumn<bool>("enabled");
        using L = QList<Qt::CheckState>;
        QTest::newRow("as started") << L{} << false;
        QTest::newRow("ticked") << L{Qt::Checked} << true;
        QTest::newRow("ticked, unticked") << L{Qt::Checked, Qt::Unchecked} << false;
        QTest::newRow("ticked, greyed") << L{Qt::Checked, Qt::PartiallyChecked} << true;
        QTest::newRow("greyed") << L{Qt::PartiallyChecked} << false;
    }
    void highlightControls()
    {
        QFETCH(QList<Qt::CheckState>, states);
        QFETCH(bool, enabled);
        open();
        showActive();
        QCOMPARE(QApplication::focusWidget(), get(u"cmdExit"_s));
        auto *letters = get<QComboBox>(u"cboBBCode1"_s);
        auto *colours = get<QComboBox>(u"cboBBCode2"_s);
        letters->setCurrentIndex(5);
        colours->setCurrentIndex(9);
        for (Qt::CheckState state : states)
            option(u"chkBBCode"_s)->setCheckState(state);
        QCOMPARE(letters->currentIndex(), 5);
        QCOMPARE(colours->currentIndex(), 9);

        // The first stop has the focus at start; Tab goes round to it again.
        const QList<TabStop> stops = tabOrder();
        QVERIFY(stops.size() > 1);
        QStringList expected;
        for (const TabStop &stop : stops.mid(1) + stops.first(1)) {
            if (enabled || !stop.offAtStart)
                expected << stop.objectName;
        }
        QStringList visited;
        while (visited.size() < expected.size()) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
    }

    // The names the end-to-end runs find the controls by, and that a screen
    // reader says.
    void accessibleNames()
    {
        frmMain &w = open();
        const QList<TabStop> stops = tabOrder();
        QVERIFY(!stops.isEmpty());
        for (const TabStop &stop : stops) {
            QAccessibleInterface *control =
                QAccessible::queryAccessibleInterface(get(stop.objectName));
            QVERIFY2(control, qPrintable(stop.objectName));
            QCOMPARE(control->text(QAccessible::Name), stop.accessibleName);
        }
        // Every control Tab reaches has its line.
        const QList<QWidget *> widgets = w.findChildren<QWidget *>();
        const auto reachable =
            std::count_if(widgets.cbegin(), widgets.cend(), [](const QWidget *c) {
                return (c->focusPolicy() & Qt::TabFocus) && !c->objectName().isEmpty() &&
                       !c->objectName().startsWith(u"qt_"_s);
            });
        QCOMPARE(qsizetype(reachable), stops.size());
    }

    void load_data()
    {
        QTest::addColumn<QString>("storedE"); // null: nothing stored at all
        QTest::addColumn<Qt::CheckState>("stateE");
        QTest::addColumn<QString>("rendering");
        QTest::newRow("empty store") << QString() << Qt::Unchecked << u"\r\r\r"_s;
        QTest::newRow("E ticked") << u"1"_s << Qt::Checked
                                  << u"**\u00eb*\n\u00c9*\u00e9\r\r\r   E"_s;
        // A greyed box reveals nothing and is not listed.
        QTest::newRow("E greyed") << u"2"_s << Qt::PartiallyChecked << u"****\n***\r\r\r"_s;
    }
    void load()
    {
        QFETCH(QString, storedE);
        QFETCH(Qt::CheckState, stateE);
        const QString quotation = storedE.isNull() ? QString() : u"No\u00ebl\n\u00c9t\u00e9"_s;
        if (!storedE.isNull()) {
            QSettings s = storeFile();
            s.setValue(kCitation, quotation);
            s.setValue(u"Alpha/4"_s, storedE);
        }
        frmMain &w = open();

        for (int k = 0; k < 26; ++k)
            QCOMPARE(letter(k)->checkState(), k == 4 ? stateE : Qt::Unchecked);
        QCOMPARE(w.strOriginal(), quotation);
        QTEST(w.strRendu(), "rendering");
        QCOMPARE(result()->toPlainText(), QString(w.strRendu()).replace(u'\r', u'\n'));
        QCOMPARE(clipboard(), kBefore);
        // Restoring rewrites nothing, and an empty store is not even created.
        QCOMPARE(stored(u"Alpha/4"_s).toString(), storedE);
        QCOMPARE(QFileInfo::exists(m_main.settings().storePath()), !storedE.isNull());

        // The options always start the same way (the highlight switch and its
        // controls: see highlightControls).
        QCOMPARE(get<QComboBox>(u"cboBBCode1"_s)->currentText(), u"A/a"_s);
        QCOMPARE(get<QComboBox>(u"cboBBCode2"_s)->currentText(), u"Rouge foncé"_s);
        QVERIFY(option(u"chkClip"_s)->isChecked() && option(u"chkRecap"_s)->isChecked());
        QVERIFY(!option(u"chkAbsent"_s)->isChecked());
    }

    void generate_data()
    {
        QTest::addColumn<QString>("quotation");
        QTest::addColumn<bool>("clip");
        QTest::addColumn<bool>("recap");
        QTest::addColumn<bool>("absent"); // "Lettres absentes", ticked by its access key
        QTest::addColumn<QString>("expected");
        const QString noel = u"No\u00ebl"_s;
        const QString logged = u"N*\u00eb*\r\r\r   E - N"_s;
        QTest::newRow("copy, log") << noel << true << true << false << logged;
        QTest::newRow("copy, no log") << noel << true << false << false << u"N*\u00eb*"_s;
        QTest::newRow("no copy, log") << noel << false << true << false << logged;
        QTest::newRow("no copy, no log") << noel << false << false << false << u"N*\u00eb*"_s;
        QTest::newRow("non-breaking space kept")
            << u"Quoi\u00a0?"_s << true << false << false << u"****\u00a0?"_s;
        // E and N proposed, N not in the quotation.
        const QString chat = u"Le chat"_s;
        QTest::newRow("absent N, unticked")
            << chat << true << true << false << u"*e ****\r\r\r   E - N"_s;
        QTest::newRow("absent N") << chat << true << true << true
                                  << u"*e ****\r\r\r   E - N\r   Absentes : N (1)"_s;
        QTest::newRow("absent N, no copy")
            << chat << false << true << true << u"*e ****\r\r\r   E - N\r   Absentes : N (1)"_s;
        QTest::newRow("absent N, no log") << chat << true << false << true << u"*e ****"_s;
        // The accented form counts for its letter: nothing absent, nothing added.
        QTest::newRow("none absent") << noel << true << true << true << logged;
    }
    void generate()
    {
        QFETCH(QString, quotation);
        QFETCH(bool, clip);
        QFETCH(bool, recap);
        QFETCH(bool, absent);
        QFETCH(QString, expected);
        frmMain &w = open();
        origin()->setPlainText(quotation);
        QCOMPARE(w.strOriginal(), quotation);
        letter(4)->setChecked(true);
        letter(13)->setChecked(true);
        option(u"chkClip"_s)->setChecked(clip);
        option(u"chkRecap"_s)->setChecked(recap);
        if (absent) {
            showActive();
            QTest::keyClick(origin(), Qt::Key_L, Qt::AltModifier);
            QTRY_VERIFY(option(u"chkAbsent"_s)->isChecked());
            QCOMPARE(origin()->toPlainText(), quotation);
        }

        click(u"cmdGenerate"_s);
        QCOMPARE(w.strRendu(), expected);
        // The very bytes computed, carriage returns included; or untouched.
        const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(mime->data(u"text/plain"_s), (clip ? expected : kBefore).toUtf8());
    }

    void highlight_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("letterIndex");
        QTest::addColumn<int>("colourIndex");
        QTest::addColumn<bool>("clip");
        QTest::addColumn<QString>("expected");
        QTest::newRow("C/c Cyan") << u"Ceci"_s << 2 << 7 << true
                                  << u"[color=cyan]C[/color]e[color=cyan]c[/color]i"_s;
        QTest::newRow("E/e Rouge foncé")
            << u"\u00c9t\u00e9"_s << 4 << 0 << true
            << u"[color=darkred]\u00c9[/color]t[color=darkred]\u00e9[/color]"_s;
        QTest::newRow("O/o Noir") << u"c\u00f4te"_s << 14 << 13 << true
                                  << u"c[color=black]\u00f4[/color]te"_s;
        QTest::newRow("A/a Rouge")
            << u"\u00c6ther"_s << 0 << 1 << true << u"[color=red]\u00c6[/color]ther"_s;
        QTest::newRow("B/b Vert, no copy")
            << u"ab*b"_s << 1 << 5 << false << u"a[color=green]b[/color]*[color=green]b[/color]"_s;
    }
    void highlight()
    {
        QFETCH(QString, text);
        QFETCH(int, colourIndex);
        QFETCH(bool, clip);
        QFETCH(QString, expected);
        frmMain &w = open();
        for (int k = 0; k < 26; ++k)
            letter(k)->setChecked(true);
        option(u"chkRecap"_s)->setChecked(false);
        option(u"chkClip"_s)->setChecked(clip);
        origin()->setPlainText(text);
        click(u"cmdGenerate"_s);

        option(u"chkBBCode"_s)->setChecked(true);
        QFETCH(int, letterIndex);
        get<QComboBox>(u"cboBBCode1"_s)->setCurrentIndex(letterIndex);
        auto *colours = get<QComboBox>(u"cboBBCode2"_s);
        // A first press in another colour: highlights never pile up.
        colours->setCurrentIndex((colourIndex + 1) % 14);
        click(u"cmdBBCode"_s);
        colours->setCurrentIndex(colourIndex);
        QTest::mouseClick(get(u"cmdBBCode"_s), Qt::LeftButton);
        QCOMPARE(w.strFinal(), expected);
        QCOMPARE(result()->toPlainText(), expected);
        QCOMPARE(clipboard(), clip ? expected : kBefore);
    }

    void lettersAreStoredAtEachChange()
    {
        open();
        QTest::mouseClick(letter(0), Qt::LeftButton);
        QCOMPARE(stored(u"Alpha/0"_s).toString(), u"1"_s);
        QTest::mouseClick(letter(0), Qt::LeftButton);
        QCOMPARE(stored(u"Alpha/0"_s).toString(), u"0"_s);
        letter(25)->setChecked(true); // a change by the program is stored too
        QCOMPARE(stored(u"Alpha/25"_s).toString(), u"1"_s);

        // A greyed box goes back to two states once clicked.
        letter(3)->setCheckState(Qt::PartiallyChecked);
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(letter(3), Qt::LeftButton);
        QCOMPARE(letter(3)->checkState(), Qt::Checked);
        QCOMPARE(stored(u"Alpha/3"_s).toString(), u"1"_s);
    }

    void resetThenUnload()
    {
        storeFile().setValue(kCitation, u"abc"_s);
        frmMain &w = open();
        letter(1)->setChecked(true);
        click(u"cmdGenerate"_s);
        const QString rendering = w.strRendu();

        click(u"cmdReset"_s);
        // "B" was ticked and is stored unticked; "C" never was and has no key.
        QCOMPARE(stored(u"Alpha/1"_s).toString(), u"0"_s);
        QVERIFY(!stored(u"Alpha/2"_s).isValid());
        QVERIFY(!stored(kCitation).isValid());
        QVERIFY(!letter(1)->isChecked());
        QVERIFY(origin()->document()->isEmpty() && w.strOriginal().isEmpty());
        QVERIFY(result()->document()->isEmpty());
        QCOMPARE(w.strRendu(), rendering);

        click(u"cmdExit"_s);
        QCOMPARE(stored(kCitation), QVariant(QString()));
        // The unload runs once; saving for the session manager takes the box
        // as it is, character for character.
        const QString quotation = u"Ligne\u00a01\n\nLigne 2 "_s;
        origin()->setPlainText(quotation);
        w.close();
        QCOMPARE(stored(kCitation), QVariant(QString()));
        QVERIFY(w.storeQuotation());
        QCOMPARE(stored(kCitation).toString(), quotation);
    }

    void failedSavesAreReported()
    {
        // A file where the store's folder should be: every write fails.
        QFile blocker(m_main.settings().folder());
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
        QVERIFY(messages.first().contains(u"lettres"_s));
        letter(2)->setChecked(true); // told once per run

        QVERIFY(!w.storeQuotation()); // silent: the caller reports
        w.close();
        QCOMPARE(messages.size(), 2);
        QVERIFY(messages.last().contains(u"citation"_s));
    }

    void accessKeysFromTheQuotationBox_data()
    {
        QTest::addColumn<Qt::Key>("key");
        // Rendering, quotation box, about window, main window, stored quotation.
        QTest::addColumn<QStringList>("after");
        const QString none = u"\r\r\r"_s;
        const QString abc = u"abc"_s;
        const QString shown = u"shown"_s;
        QTest::newRow("Alt+O generates")
            << Qt::Key_O << QStringList{u"a**\r\r\r   A"_s, abc, {}, shown, {}};
        QTest::newRow("Alt+S resets") << Qt::Key_S << QStringList{none, {}, {}, shown, {}};
        QTest::newRow("Alt+P opens the about window")
            << Qt::Key_P << QStringList{none, abc, u"about"_s, shown, {}};
        QTest::newRow("Alt+Q quits") << Qt::Key_Q << QStringList{none, abc, {}, {}, abc};
    }
    void accessKeysFromTheQuotationBox()
    {
        QFETCH(Qt::Key, key);
        frmMain &w = open();
        origin()->setPlainText(u"abc"_s);
        letter(0)->setChecked(true);
        showActive();
        origin()->setFocus();

        // The about window is modal: put it away as soon as it shows.
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [] {
            if (QWidget *modal = QApplication::activeModalWidget())
                modal->hide();
        });
        watch.start(10);
        // A button pressed by its access key clicks at once; no letter may
        // reach the box.
        QTest::keyClick(origin(), key, Qt::AltModifier);
        const QStringList state{w.strRendu(), origin()->toPlainText(),
                                w.findChild<frmAbout *>() ? u"about"_s : QString(),
                                w.isVisible() ? u"shown"_s : QString(),
                                stored(kCitation).toString()};
        QTEST(state, "after");
    }

    // "OK" only hides the about window, which the next press shows again;
    // its title bar's close destroys it.
    void aboutWindowIsKeptUntilDestroyed()
    {
        frmMain &w = open();
        AboutOptions options;
        options.title = u"Essai"_s;
        w.setAboutOptions(options);
        showActive();
        QList<QWidget *> shown;
        const auto pressAbout = [&](bool closeBox) {
            // A timer of the window's rather than QTimer::singleShot(), whose
            // slot ownership the static analyser cannot follow.
            auto *timer = new QTimer(&w);
            timer->setSingleShot(true);
            timer->callOnTimeout(&w, [&shown, closeBox] {
                shown << QApplication::activeModalWidget();
                if (closeBox)
                    shown.last()->close();
                else
                    shown.last()->hide();
            });
            timer->start(0);
            click(u"cmdAbout"_s);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return w.findChildren<frmAbout *>().size();
        };
        QCOMPARE(pressAbout(false), 1);
        QVERIFY(shown[0]->windowTitle().contains(u"Essai"_s));
        QCOMPARE(pressAbout(true), 0);
        QCOMPARE(shown[1], shown[0]);
        QCOMPARE(pressAbout(false), 1);
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
