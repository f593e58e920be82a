// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The game panel: opened and closed from the window, remembered, the forum
// choice applied to the result, the clipboard and "Go !", and the preview
// following the game, readable in a dark theme and by a screen reader.
#include "tests/support/mainwindow.h"
#include "ui/gamepanel.h"
#include "ui/themecolours.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolButton>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

QString clipboardBytes()
{
    return QString::fromUtf8(QGuiApplication::clipboard()->mimeData()->data(u"text/plain"_s));
}

// Text and colour of every run of the preview, a run a line.
QStringList runs(const QTextDocument *document)
{
    QStringList out;
    for (QTextBlock block = document->firstBlock(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            QString run = it.fragment().text();
            if (format.fontWeight() > QFont::Normal)
                run += u" bold"_s;
            if (format.foreground().style() != Qt::NoBrush)
                run += u" "_s + format.foreground().color().name();
            out << run;
        }
    return out;
}

// Every access key of the window's controls that can be seen: its buttons'
// own, and its labels' for their buddies.
QStringList accessKeys(const QWidget *window)
{
    QStringList keys;
    const auto add = [&keys](const QString &caption) {
        const QRegularExpressionMatch key = QRegularExpression(u"&(\\w)"_s).match(caption);
        if (key.hasMatch())
            keys << key.captured(1).toUpper();
    };
    for (const QAbstractButton *button : window->findChildren<QAbstractButton *>())
        if (button->isVisibleTo(window))
            add(button->text());
    for (const QLabel *label : window->findChildren<QLabel *>())
        if (label->buddy() && label->isVisibleTo(window))
            add(label->text());
    return keys;
}

} // namespace

class TestGamePanel : public QObject
{
    Q_OBJECT

private:
    testsupport::MainWindow m_main;

    QToolButton *button() const { return m_main.get<QToolButton>(u"cmdPartie"_s); }
    QComboBox *forumList() const { return m_main.get<QComboBox>(u"cboForum"_s); }
    QTextBrowser *preview() const { return m_main.get<QTextBrowser>(u"txtApercu"_s); }
    void chooseForum(forum::Profile profile) const
    {
        forumList()->setCurrentIndex(int(profile));
        emit forumList()->activated(int(profile));
    }

private slots:
    void init() { QVERIFY(m_main.begin()); }
    void cleanup() { m_main.end(); }

    void opensBesideTheWindowAndIsRemembered()
    {
        frmMain &w = m_main.open();
        const QSize designed = w.size();
        // Closed: nothing of the panel exists, the window is as designed.
        QVERIFY(!w.gamePanel());
        QVERIFY(w.findChildren<QComboBox *>(u"cboForum"_s).isEmpty());
        QVERIFY(m_main.showActive());

        QTest::keyClick(m_main.origin(), Qt::Key_J, Qt::AltModifier);
        QTRY_VERIFY(w.gamePanel() && w.gamePanel()->isVisible());
        QVERIFY(w.width() > designed.width());
        // Taller if the panel needs it, within the screen; its controls are
        // never squeezed below what they need: it scrolls rather.
        QVERIFY(w.height() >= designed.height());
        QVERIFY(w.frameGeometry().height() <= w.screen()->availableGeometry().height());
        QWidget *area = w.gamePanel()->parentWidget()->parentWidget();
        QVERIFY(area->geometry().left() >= designed.width());
        QVERIFY(w.rect().contains(area->geometry()));
        QVERIFY(w.gamePanel()->height() >= w.gamePanel()->minimumSizeHint().height());
        QCOMPARE(m_main.stored(u"Options/Panneau"_s).toString(), u"1"_s);

        // A restart opens it again; closing it gives the designed window back.
        w.close();
        frmMain &again = m_main.open();
        QVERIFY(again.gamePanel() && button()->isChecked());
        button()->click();
        QCOMPARE(again.size(), designed);
        QVERIFY(!again.gamePanel()->isVisible());
        QCOMPARE(m_main.stored(u"Options/Panneau"_s).toString(), u"0"_s);
    }

    void reachedByKeyboardAndNamed()
    {
        m_main.open();
        QVERIFY(m_main.showActive());
        button()->click();
        button()->setFocus();
        QStringList visited;
        for (int i = 0; i < 2; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, (QStringList{u"cboForum"_s, u"txtApercu"_s}));
        for (QWidget *control :
             {static_cast<QWidget *>(forumList()), static_cast<QWidget *>(preview()),
              static_cast<QWidget *>(button())}) {
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
            QVERIFY(face);
            QVERIFY2(!face->text(QAccessible::Name).isEmpty(), qPrintable(control->objectName()));
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(preview())->text(QAccessible::Name),
                 u"Aperçu"_s);
    }

    // The panel's lines of the shared tab order: each control is there once
    // the panel opens, named for a screen reader, explained by a tooltip,
    // and (but for the read-only preview) reached by an access key of its
    // own or of its label that no other control of the window uses.
    void panelControls_data()
    {
        QTest::addColumn<QString>("spoken");
        QFile file(u":/tests/taborder.txt"_s);
        QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
        int rows = 0;
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
            const QStringList fields = line.split(u'\t');
            if (line.startsWith(u'#') || fields.value(2) != u"panel"_s)
                continue;
            QTest::newRow(qPrintable(fields[0])) << fields[1];
            ++rows;
        }
        QVERIFY(rows > 0);
    }
    void panelControls()
    {
        QFETCH(QString, spoken);
        const QString name = QString::fromUtf8(QTest::currentDataTag());
        frmMain &w = m_main.open();
        QVERIFY(w.findChildren<QWidget *>(name).isEmpty());
        button()->click();
        QWidget *control = m_main.get(name);
        QVERIFY(control->isVisibleTo(&w));
        QVERIFY(w.gamePanel()->isAncestorOf(control));
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
        QVERIFY(face);
        QCOMPARE(face->text(QAccessible::Name), spoken);
        QVERIFY(!control->toolTip().isEmpty());
        if (name == u"txtApercu"_s)
            return;
        QString caption;
        if (const auto *own = qobject_cast<QAbstractButton *>(control))
            caption = own->text();
        for (const QLabel *label : w.findChildren<QLabel *>())
            if (label->buddy() == control)
                caption = label->text();
        const QRegularExpressionMatch key = QRegularExpression(u"&(\\w)"_s).match(caption);
        QVERIFY2(key.hasMatch(), qPrintable(caption));
        QCOMPARE(accessKeys(&w).count(key.captured(1).toUpper()), 1);
    }

    // What the result box and the clipboard get, by forum, and what the
    // next start reads back of the choice.
    void forumChoice_data()
    {
        QTest::addColumn<int>("profile");
        QTest::addColumn<QString>("generated");
        QTest::addColumn<QString>("highlighted"); // "Go !" on E in red
        QTest::addColumn<QString>("storedAs");

        QTest::newRow("bbcode") << int(forum::Profile::BBCode) << u"- *e\r\r\r   E"_s
                                << u"- *[color=red]e[/color]\r\r\r   [color=red]E[/color]"_s
                                << u"bbcode"_s;
        QTest::newRow("bbcode-hex")
            << int(forum::Profile::BBCodeHex) << u"- *e\r\r\r   E"_s
            << u"- *[color=#ff0000]e[/color]\r\r\r   [color=#ff0000]E[/color]"_s << u"bbcode-hex"_s;
        QTest::newRow("markdown") << int(forum::Profile::Markdown)
                                  << u"\\- \\*e\\\r\\\r\\\r&#160;&#160;&#160;E"_s
                                  << u"\\- \\***e**\\\r\\\r\\\r&#160;&#160;&#160;**E**"_s
                                  << u"markdown"_s;
    }
    void forumChoice()
    {
        QFETCH(int, profile);
        QFETCH(QString, generated);
        QFETCH(QString, highlighted);
        QFETCH(QString, storedAs);
        frmMain &w = m_main.open();
        button()->click();
        chooseForum(forum::Profile(profile));
        QCOMPARE(m_main.stored(u"Options/Forum"_s).toString(), storedAs);

        m_main.origin()->setPlainText(u"- Le"_s);
        m_main.letter(4)->setChecked(true);
        m_main.click(u"cmdGenerate"_s);
        QCOMPARE(w.strRendu(), u"- *e\r\r\r   E"_s);
        QCOMPARE(clipboardBytes(), generated);
        QCOMPARE(m_main.result()->toPlainText(), QString(generated).replace(u'\r', u'\n'));

        m_main.option(u"chkBBCode"_s)->setChecked(true);
        m_main.get<QComboBox>(u"cboBBCode1"_s)->setCurrentIndex(4);
        m_main.get<QComboBox>(u"cboBBCode2"_s)->setCurrentIndex(1);
        m_main.click(u"cmdBBCode"_s);
        QCOMPARE(w.strFinal(), highlighted);
        QCOMPARE(clipboardBytes(), highlighted);

        // The next start writes for the same forum, panel open or not.
        w.close();
        frmMain &again = m_main.open();
        QCOMPARE(int(again.forumProfile()), profile);
    }

    void unknownStoredForumIsBBCode_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("unknown name") << QVariant(u"phpbb"_s);
        QTest::newRow("empty") << QVariant(QString());
        QTest::newRow("a list") << QVariant(QStringList{u"markdown"_s, u"discord"_s});
        QTest::newRow("a number") << QVariant(3);
    }
    void unknownStoredForumIsBBCode()
    {
        QFETCH(QVariant, value);
        testsupport::MainWindow::storeFile().setValue(u"Options/Forum"_s, value);
        testsupport::MainWindow::storeGame(u"*a*"_s, u"A");
        frmMain &w = m_main.open();
        QCOMPARE(w.forumProfile(), forum::Profile::BBCode);
        QCOMPARE(m_main.result()->toPlainText(), u"*a*\n\n\n   A"_s);
    }

    // The preview shows what "On y va !" would post, tick by tick, as the
    // forum shows it; after "Go !", the marked letters.
    void previewFollowsTheGame()
    {
        frmMain &w = m_main.open();
        m_main.origin()->setPlainText(u"# Le\n* ce"_s);
        m_main.option(u"chkRecap"_s)->setChecked(false);
        button()->click();
        chooseForum(forum::Profile::Markdown);
        QCOMPARE(preview()->toPlainText(), u"# **\n* **"_s);

        m_main.letter(4)->click();
        QTRY_COMPARE(preview()->toPlainText(), u"# *e\n* *e"_s);
        QVERIFY(!m_main.result()->toPlainText().contains(u'e')); // no command yet

        m_main.click(u"cmdGenerate"_s);
        m_main.option(u"chkBBCode"_s)->setChecked(true);
        m_main.get<QComboBox>(u"cboBBCode1"_s)->setCurrentIndex(4);
        m_main.click(u"cmdBBCode"_s);
        QCOMPARE(runs(preview()->document()).join(u'|'), u"# *|e bold|* *|e bold"_s);
        QCOMPARE(w.strFinal(), u"\\# \\***e**\\\n\\* \\***e**"_s);
    }

    // Colours as the forum shows them; one that would hardly read on the
    // theme's background gets a backing.
    void previewColoursReadInEveryTheme_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<int>("colour");
        QTest::newRow("light, red") << false << 1;
        QTest::newRow("light, yellow") << false << 4;
        QTest::newRow("light, white") << false << 12;
        QTest::newRow("dark, black") << true << 13;
        QTest::newRow("dark, dark blue") << true << 9;
        QTest::newRow("dark, yellow") << true << 4;
    }
    void previewColoursReadInEveryTheme()
    {
        QFETCH(bool, dark);
        QFETCH(int, colour);
        QPalette palette = QApplication::palette();
        if (dark) {
            palette.setColor(QPalette::Base, QColor(u"#1e1e1e"_s));
            palette.setColor(QPalette::Text, QColor(u"#e0e0e0"_s));
        }
        m_main.open();
        button()->click();
        preview()->setPalette(palette);
        m_main.origin()->setPlainText(u"ee"_s);
        m_main.letter(4)->setChecked(true);
        m_main.option(u"chkRecap"_s)->setChecked(false);
        m_main.click(u"cmdGenerate"_s);
        m_main.option(u"chkBBCode"_s)->setChecked(true);
        m_main.get<QComboBox>(u"cboBBCode1"_s)->setCurrentIndex(4);
        m_main.get<QComboBox>(u"cboBBCode2"_s)->setCurrentIndex(colour);
        m_main.click(u"cmdBBCode"_s);

        const QColor base = preview()->palette().color(QPalette::Base);
        const QTextBlock block = preview()->document()->firstBlock();
        int marked = 0;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            QVERIFY(!it.fragment().text().isEmpty());
            QCOMPARE(it.fragment().text(), QString(it.fragment().text().size(), u'e'));
            const QColor letter = format.foreground().color();
            QCOMPARE(letter.name(), forum::colourHex(colour));
            const QColor under =
                format.background().style() != Qt::NoBrush ? format.background().color() : base;
            QVERIFY2(contrastRatio(letter, under) >= kReadableLink,
                     qPrintable(u"%1 on %2"_s.arg(letter.name(), under.name())));
            marked += int(it.fragment().text().size());
        }
        QCOMPARE(marked, 2);
    }
};

QTEST_MAIN(TestGamePanel)
#include "tst_gamepanel.moc"
