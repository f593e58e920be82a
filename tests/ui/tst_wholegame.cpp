// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The whole game in the window: credits, guesses, undo, the store and a
// restart, the keyboard on the board, the game's controls, and the window
// and the command line posting the same bytes.
#include "cli/cli.h"
#include "tests/support/mainwindow.h"
#include "ui/gamecontrols.h"
#include "ui/wholegame.h"

#include "forum/forum.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

using namespace lexorne;
using namespace Qt::StringLiterals;

class TestWholeGame : public QObject
{
    Q_OBJECT

private:
    testsupport::MainWindow m_main;

    // Ticks each letter of `letters` by clicking its box, credited to player.
    void tick(const QString &player, const QString &letters)
    {
        QCOMPARE(m_main.window().wholeGame().setPlayer(player), QString());
        for (const QChar c : letters)
            m_main.letter(c)->click();
    }
    // Ctrl+Z, or Ctrl+Maj+Z, with the focus on the board.
    void undo(bool redo = false)
    {
        QVERIFY(m_main.showActive());
        QWidget *box = m_main.letter(0);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Z,
                        redo ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
    }
    QStringList ledger() const
    {
        const frmMain &w = m_main.window();
        return LedgerLines(w.wholeGame().game(w.strOriginal()));
    }

private slots:
    void init() { QVERIFY(m_main.begin()); }
    void cleanup() { m_main.end(); }

    void creditsAndUndo()
    {
        frmMain &w = m_main.open();
        m_main.origin()->setPlainText(u"Le chat"_s);
        tick(u"Alice"_s, u"E"_s);
        tick(QString(), u"A"_s);
        tick(u"Bob"_s, u"TK"_s);
        const QStringList played{u"E : Alice, 1"_s, u"T : Bob, 1"_s, u"K : Bob, absente"_s,
                                 u"Erreurs : 1"_s,
                                 u"Résultats : Alice 1 pt, Bob 1 pt (1 erreur)"_s};
        QCOMPARE(ledger(), played);

        // Unticking drops the credit; undo brings both back, in its place.
        m_main.letter(QChar(u'E'))->click();
        QCOMPARE(ledger().first(), u"T : Bob, 1"_s);
        tick(u"Chloé"_s, u"E"_s);
        QCOMPARE(ledger().at(2), u"E : Chloé, 1"_s);
        undo();
        undo();
        QCOMPARE(m_main.letter(QChar(u'E'))->checkState(), Qt::Checked);
        QCOMPARE(ledger(), played);

        QCOMPARE(w.wholeGame().guess(u"Chloé"_s, u"le chat !"_s), QString());
        QCOMPARE(ledger().at(3), u"Proposition de Chloé : juste, 3 pts"_s);
        undo();
        QCOMPARE(ledger(), played);

        w.wholeGame().setMissLimit(3);
        QCOMPARE(ledger().at(3), u"Erreurs : 1/3"_s);
        undo();
        QCOMPARE(ledger().at(3), u"Erreurs : 1"_s);
        undo(true);

        // The store has it all: a restart finds the same game.
        w.close();
        m_main.open();
        QCOMPARE(ledger().at(3), u"Erreurs : 1/3"_s);
        QCOMPARE(ledger().first(), played.first());
    }

    void badLedgers_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("not JSON") << u"journal: E=Alice"_s;
        QTest::newRow("a letter out of A-Z")
            << u"{\"journal\":[{\"joueur\":\"A\",\"lettre\":\"9\"}]}"_s;
        QTest::newRow("a list, as an unquoted comma makes it") << u"a, b"_s;
    }

    // A ledger that does not read is kept aside, said, and the quotation and
    // ticks go on.
    void badLedgers()
    {
        QFETCH(QString, stored);
        testsupport::MainWindow::storeGame(u"Le chat"_s, u"E");
        {
            QSettings file = testsupport::MainWindow::storeFile();
            file.setValue(u"Partie/Journal"_s, stored);
        }
        QStringList told;
        frmMain &w = m_main.open();
        w.setProblemReporter([&](const QString &message) { told << message; });
        QVERIFY(m_main.showActive());
        QTRY_COMPARE(told.size(), 1);
        QVERIFY2(told.first().contains(u"Journal illisible"_s), qPrintable(told.first()));
        QCOMPARE(w.strOriginal(), u"Le chat"_s);
        QCOMPARE(m_main.letter(QChar(u'E'))->checkState(), Qt::Checked);
        QCOMPARE(ledger(), QStringList{u"Erreurs : 0"_s});

        QSettings file = testsupport::MainWindow::storeFile();
        file.sync();
        QStringList aside;
        for (const QString &key : file.allKeys())
            if (key.startsWith(u"Partie/Journal illisible"_s))
                aside << key;
        QCOMPARE(aside.size(), 1);
        QCOMPARE(
            file.value(aside.first()),
            QSettings(m_main.settings().storePath(), QSettings::IniFormat).value(aside.first()));
        QVERIFY(!file.contains(u"Partie/Journal"_s));
        if (!stored.contains(u", "_s))
            QCOMPARE(file.value(aside.first()).toString(), stored);
    }

    void typingOnTheBoard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("ticked");
        QTest::newRow("letter") << int(Qt::Key_E) << int(Qt::NoModifier) << u"E"_s;
        QTest::newRow("with Shift") << int(Qt::Key_Z) << int(Qt::ShiftModifier) << u"Z"_s;
        QTest::newRow("Ctrl is a shortcut's")
            << int(Qt::Key_E) << int(Qt::ControlModifier) << QString();
        QTest::newRow("not a letter") << int(Qt::Key_5) << int(Qt::NoModifier) << QString();
    }

    void typingOnTheBoard()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, ticked);
        frmMain &w = m_main.open();
        QVERIFY(m_main.showActive());
        w.wholeGame().setPlayer(u"Alice"_s);
        m_main.letter(0)->setFocus();
        QTest::keyClick(m_main.letter(0), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QString shown;
        for (int k = 0; k < kLetterCount; ++k)
            if (m_main.letter(k)->checkState() == Qt::Checked)
                shown += QChar(u'A' + k);
        QCOMPARE(shown, ticked);
        QCOMPARE(QApplication::focusWidget(), m_main.letter(0));
        QCOMPARE(w.wholeGame().state().ledger.size(), ticked.size());
    }

    void controls_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("accessible");
        QTest::addColumn<QString>("accessKey"); // the label's or its own
        QTest::newRow("player") << u"cboJoueur"_s << u"Joueur"_s << u"u"_s;
        QTest::newRow("guess") << u"txtProposition"_s << u"Proposition"_s << u"i"_s;
        QTest::newRow("check") << u"cmdVerifier"_s << u"Vérifier la proposition"_s << u"V"_s;
        QTest::newRow("limit") << u"spnErreursMax"_s << u"Erreurs maximum"_s << u"m"_s;
        QTest::newRow("misses line") << u"chkErreurs"_s << u"Ligne des erreurs"_s << u"E"_s;
        QTest::newRow("results line") << u"chkResultats"_s << u"Ligne des résultats"_s << u"t"_s;
        QTest::newRow("reveal") << u"cmdReveler"_s << u"Révéler la citation"_s << u"R"_s;
        QTest::newRow("spoiler") << u"chkSpoiler"_s << u"Révéler sous un spoiler"_s << u"C"_s;
        QTest::newRow("Reddit") << u"chkReddit"_s << u"Spoiler à la Reddit"_s << u"À"_s;
        QTest::newRow("ledger") << u"lstJournal"_s << u"Journal de la partie"_s << u"n"_s;
    }

    void controls()
    {
        QFETCH(QString, name);
        QFETCH(QString, accessible);
        QFETCH(QString, accessKey);
        frmMain &w = m_main.open();
        GameControls controls(w.wholeGame(), [&w] { return w.strOriginal(); });
        QWidget *control = testsupport::widget<QWidget>(&controls, name);
        QVERIFY(!control->toolTip().isEmpty());
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
        QVERIFY(face);
        QCOMPARE(face->text(QAccessible::Name), accessible);
        // Reached by Alt and a key: a caption's own, or its label's.
        QString caption;
        if (auto *button = qobject_cast<QAbstractButton *>(control))
            caption = button->text();
        for (QLabel *label : controls.findChildren<QLabel *>())
            if (label->buddy() == control)
                caption = label->text();
        QVERIFY2(caption.contains(u'&' + accessKey), qPrintable(caption));
    }

    // The controls drive the game; the ledger list reads as lines.
    void controlsPlay()
    {
        frmMain &w = m_main.open();
        m_main.origin()->setPlainText(u"Noël"_s);
        GameControls controls(w.wholeGame(), [&w] { return w.strOriginal(); });
        connect(&controls, &GameControls::revealRequested, &w, &frmMain::cmdReveal_Click);
        testsupport::widget<QComboBox>(&controls, u"cboJoueur"_s)->setEditText(u"Alice"_s);
        m_main.letter(QChar(u'N'))->click();
        auto *guess = testsupport::widget<QLineEdit>(&controls, u"txtProposition"_s);
        guess->setText(u"noel"_s);
        testsupport::widget<QPushButton>(&controls, u"cmdVerifier"_s)->click();
        auto *list = testsupport::widget<QListWidget>(&controls, u"lstJournal"_s);
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->item(0)->text(), u"N : Alice, 1"_s);
        QCOMPARE(list->item(1)->text(), u"Proposition d'Alice : juste, 3 pts"_s);
        QVERIFY(guess->text().isEmpty());

        testsupport::widget<QComboBox>(&controls, u"cboJoueur"_s)->setEditText(QString(41, u'x'));
        QVERIFY(testsupport::widget<QLabel>(&controls, u"lblMessage"_s)->text().contains(u"40"_s));

        testsupport::widget<QCheckBox>(&controls, u"chkSpoiler"_s)->setChecked(true);
        m_main.option(u"chkRecap"_s)->setChecked(false);
        const QString before = m_main.result()->toPlainText();
        testsupport::widget<QPushButton>(&controls, u"cmdReveler"_s)->click();
        QCOMPARE(m_main.result()->toPlainText(),
                 u"[spoiler]N[color=darkred]o[/color][color=darkred]ë[/color]"
                 u"[color=darkred]l[/color][/spoiler]"_s);
        undo();
        QCOMPARE(m_main.result()->toPlainText(), before);
    }

    // Reaching the miss limit is said once, and taken back by an undo; a won
    // game is never said lost.
    void missLimitSaid()
    {
        frmMain &w = m_main.open();
        m_main.origin()->setPlainText(u"Noël"_s);
        GameControls controls(w.wholeGame(), [&w] { return w.strOriginal(); });
        auto *message = testsupport::widget<QLabel>(&controls, u"lblMessage"_s);
        auto *guess = testsupport::widget<QLineEdit>(&controls, u"txtProposition"_s);
        auto *check = testsupport::widget<QPushButton>(&controls, u"cmdVerifier"_s);
        testsupport::widget<QSpinBox>(&controls, u"spnErreursMax"_s)->setValue(2);
        tick(u"Alice"_s, u"Z"_s);
        QVERIFY(message->text().isEmpty());
        tick(u"Bob"_s, u"K"_s);
        QVERIFY2(message->text().startsWith(u"La limite d'erreurs est atteinte"_s),
                 qPrintable(message->text()));
        undo();
        QVERIFY(message->text().isEmpty());
        guess->setText(u"nuel"_s);
        check->click();
        QVERIFY2(message->text().startsWith(u"Fausse : la limite d'erreurs est atteinte"_s),
                 qPrintable(message->text()));
        undo();
        guess->setText(u"noel"_s);
        check->click();
        tick(u"Bob"_s, u"W"_s);
        QVERIFY2(message->text().startsWith(u"Juste"_s), qPrintable(message->text()));
    }

    // The same game gives the same post in the window and on the command line,
    // the window's game section in its panel.
    void windowAndCommandLineAgree_data()
    {
        QTest::addColumn<bool>("reveal");
        QTest::addColumn<QString>("forum");
        QTest::addColumn<QString>("spoiler"); // --spoiler's style, empty for none
        QTest::newRow("post with the lines") << false << u"bbcode"_s << QString();
        QTest::newRow("reveal") << true << u"bbcode"_s << QString();
        QTest::newRow("post for Markdown") << false << u"markdown"_s << QString();
        QTest::newRow("reveal for Discord") << true << u"discord"_s << u"forum"_s;
        QTest::newRow("reveal for Reddit") << true << u"markdown"_s << u"reddit"_s;
    }

    void windowAndCommandLineAgree()
    {
        QFETCH(bool, reveal);
        QFETCH(QString, forum);
        QFETCH(QString, spoiler);
        frmMain &w = m_main.open();
        m_main.get<QToolButton>(u"cmdPartie"_s)->click();
        auto *forums = m_main.get<QComboBox>(u"cboForum"_s);
        const int profile = int(forum::profileFromName(forum).value());
        forums->setCurrentIndex(profile);
        emit forums->activated(profile);

        const QString quotation = u"Été à Noël,\r\nle cœur [b] *"_s;
        m_main.origin()->setPlainText(quotation);
        m_main.option(u"chkAbsent"_s)->setChecked(true);
        m_main.get<QComboBox>(u"cboJoueur"_s)->setEditText(u"[/color]"_s);
        m_main.letter(QChar(u'E'))->click();
        m_main.get<QComboBox>(u"cboJoueur"_s)->setEditText(u"*Bob*"_s);
        m_main.letter(QChar(u'K'))->click();
        m_main.letter(QChar(u'O'))->click();
        m_main.get<QLineEdit>(u"txtProposition"_s)->setText(u"ete a noel le coeur b"_s);
        m_main.click(u"cmdVerifier"_s);
        m_main.get<QSpinBox>(u"spnErreursMax"_s)->setValue(4);
        m_main.get<QCheckBox>(u"chkErreurs"_s)->setChecked(true);
        m_main.get<QCheckBox>(u"chkResultats"_s)->setChecked(true);

        QStringList arguments{
            u"--qui"_s,         u"e=[/color]"_s,  u"--qui"_s,   u"k=*Bob*"_s,
            u"--qui"_s,         u"o=*Bob*"_s,     u"--essai"_s, u"*Bob*=ete a noel le coeur b"_s,
            u"--erreurs-max"_s, u"4"_s,           u"--log"_s,   u"--absentes"_s,
            u"--erreurs"_s,     u"--resultats"_s, u"--forum"_s, forum};
        if (reveal) {
            if (!spoiler.isEmpty()) {
                m_main.get<QCheckBox>(u"chkSpoiler"_s)->setChecked(true);
                m_main.get<QCheckBox>(u"chkReddit"_s)->setChecked(spoiler == u"reddit"_s);
                arguments << u"--spoiler="_s + spoiler;
            }
            m_main.click(u"cmdReveler"_s);
            arguments << u"--reveler"_s;
        } else {
            w.cmdGenerate_Click();
        }
        const cli::Parsed parsed = cli::parseArguments(arguments);
        QVERIFY2(parsed.request, qPrintable(parsed.error));
        const QByteArray post = cli::render(*parsed.request, quotation);
        // The result box shows carriage returns as line breaks.
        QCOMPARE(QString::fromUtf8(post).replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n'),
                 m_main.result()->toPlainText());
        QVERIFY(post.contains(" 1/4"));
    }
};

QTEST_MAIN(TestWholeGame)
#include "tst_wholegame.moc"
