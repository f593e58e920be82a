// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Several games in the window: the "Parties" panel and its controls, the
// steps of the list on the undo stack, switching by keyboard, imports and
// exports, and what the store and the games file hold across restarts.
#include "settings/gamesfile.h"
#include "tests/support/mainwindow.h"
#include "ui/gamelist.h"
#include "ui/wholegame.h"

#include <QAccessible>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QUndoStack>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace

class TestGameList : public QObject
{
    Q_OBJECT

    testsupport::MainWindow m_main;

    GameList &list() const { return m_main.window().gameList(); }
    QString gamesPath() const { return settings::GamesFilePath(m_main.settings().storePath()); }

    // Opens the window and waits for its list.
    bool open()
    {
        m_main.open();
        // The list is in the game panel, made when first opened.
        if (auto *panel = m_main.get<QToolButton>(u"cmdPartie"_s); !panel->isChecked())
            panel->click();
        return QTest::qWaitFor([this] { return list().isLoaded(); });
    }
    QStringList names() const
    {
        QStringList names;
        for (const settings::GameRecord &game : list().games())
            names << game.name;
        return names;
    }
    // The names as the panel shows them, the game on screen in brackets.
    QString shown() const
    {
        auto *box = m_main.get<QListWidget>(u"lstParties"_s);
        QStringList rows;
        for (int i = 0; i < box->count(); ++i)
            rows << (box->item(i)->font().bold() ? u'[' + box->item(i)->text() + u']'
                                                 : box->item(i)->text());
        return rows.join(u", "_s);
    }
    void type(const QString &text) const { m_main.origin()->setPlainText(text); }
    // A game's quotation as the files hold it, once written.
    QString quotationOf(qsizetype index) const
    {
        m_main.window().waitUntilStored();
        settings::GameRecord game = list().games()[index];
        const QString error = settings::LoadQuotation(gamesPath(), game);
        return error.isEmpty() ? game.quotation : u"(unreadable: "_s + error + u')';
    }
    QString folder() const { return settings::QuotationsFolder(gamesPath()); }
    QStringList textFiles() const { return QDir(folder()).entryList(QDir::Files, QDir::Name); }
    // Ctrl+Z, or Ctrl+Maj+Z, with the focus on the board, as a user undoes.
    void undo(bool redo) const
    {
        QVERIFY(m_main.showActive());
        QWidget *box = m_main.letter(0);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Z,
                        redo ? Qt::ControlModifier | Qt::ShiftModifier : Qt::ControlModifier);
    }

private slots:
    void init() { QVERIFY(m_main.begin()); }
    void cleanup() { m_main.end(); }

    void olderStoreOpensAsOneGame()
    {
        testsupport::MainWindow::storeGame(u"Le cœur a ses raisons"_s, u"E");
        const QByteArray before = fileBytes(m_main.settings().storePath());
        m_main.open();
        QVERIFY(QTest::qWaitFor([this] { return list().isLoaded(); }));
        // Nothing written at start, and no games file made.
        m_main.window().waitUntilStored();
        QCOMPARE(fileBytes(m_main.settings().storePath()), before);
        QVERIFY(!QFile::exists(gamesPath()));
        QVERIFY(open());
        QCOMPARE(shown(), u"[Le cœur a ses raisons]"_s);
    }

    // The game on screen keeps the name the list gave it when the store
    // held no id for it, from its first change on, whatever its text
    // becomes: the next start and the command line find it under that name.
    void screenGameKeepsItsName_data()
    {
        QTest::addColumn<QString>("stored"); // the quotation of an older store
        QTest::addColumn<QString>("name");
        QTest::newRow("first start") << QString() << u"Partie"_s;
        QTest::newRow("older store") << u"Le cœur a ses raisons"_s << u"Le cœur a ses raisons"_s;
    }
    void screenGameKeepsItsName()
    {
        QFETCH(QString, stored);
        QFETCH(QString, name);
        if (!stored.isEmpty())
            testsupport::MainWindow::storeGame(stored, u"E");
        QVERIFY(open());
        QCOMPARE(shown(), u'[' + name + u']');
        type(u"Tout autre chose"_s);
        m_main.letter(QChar(u'T'))->click();
        m_main.window().waitUntilStored();
        QVERIFY(!m_main.stored(u"Partie/Identifiant"_s).toString().isEmpty());
        m_main.window().close();
        QVERIFY(open());
        QCOMPARE(shown(), u'[' + name + u']');
        QCOMPARE(m_main.origin()->toPlainText(), u"Tout autre chose"_s);
    }

    // Two games side by side across restarts; the game on screen stays where
    // an older Lexorne reads it.
    void twoGamesAcrossRestarts()
    {
        QVERIFY(open());
        type(u"Alpha"_s);
        m_main.letter(QChar(u'A'))->click();
        m_main.click(u"cmdNouvellePartie"_s);
        QCOMPARE(shown(), u"Partie, [Partie (2)]"_s);
        QVERIFY(m_main.origin()->toPlainText().isEmpty());
        QCOMPARE(m_main.letter(QChar(u'A'))->checkState(), Qt::Unchecked);
        type(u"Bravo"_s);
        m_main.letter(QChar(u'B'))->click();
        m_main.window().close();

        QVERIFY(open());
        QVERIFY(m_main.showActive());
        QCOMPARE(shown(), u"Partie, [Partie (2)]"_s);
        QCOMPARE(m_main.origin()->toPlainText(), u"Bravo"_s);
        QCOMPARE(m_main.letter(QChar(u'B'))->checkState(), Qt::Checked);
        QTest::keyClick(&m_main.window(), Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(shown(), u"[Partie], Partie (2)"_s);
        QCOMPARE(m_main.origin()->toPlainText(), u"Alpha"_s);
        QCOMPARE(m_main.letter(QChar(u'A'))->checkState(), Qt::Checked);
        QCOMPARE(m_main.letter(QChar(u'B'))->checkState(), Qt::Unchecked);
        QVERIFY(m_main.result()->toPlainText().startsWith(u"A***a"_s));
        QCOMPARE(m_main.stored(u"General Settings/Citation"_s).toString(), u"Alpha"_s);
        QCOMPARE(m_main.stored(u"Alpha/0"_s).toString(), u"1"_s);
        QCOMPARE(m_main.stored(u"Alpha/1"_s).toString(), u"0"_s);
        QCOMPARE(QFile::permissions(gamesPath()) & 0x0077, QFile::Permissions());
        QTest::keyClick(&m_main.window(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(m_main.origin()->toPlainText(), u"Bravo"_s);
    }

    void undoSteps_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("after");
        QTest::newRow("new") << u"new"_s << u"Un, [Partie], Deux"_s;
        QTest::newRow("rename") << u"rename"_s << u"[Trois], Deux"_s;
        QTest::newRow("rename to a taken name") << u"rename taken"_s << u"[deux (2)], Deux"_s;
        QTest::newRow("duplicate") << u"duplicate"_s << u"[Un], Un (2), Deux"_s;
        QTest::newRow("delete the one on screen") << u"delete"_s << u"[Deux]"_s;
        QTest::newRow("switch") << u"switch"_s << u"Un, [Deux]"_s;
    }
    void undoSteps()
    {
        QFETCH(QString, step);
        QFETCH(QString, after);
        QVERIFY(open());
        type(u"un"_s);
        QCOMPARE(list().rename(0, u"Un"_s), QString());
        list().addNew();
        QCOMPARE(list().rename(1, u"Deux"_s), QString());
        type(u"deux"_s);
        list().switchTo(0);
        const QString before = shown();
        QCOMPARE(before, u"[Un], Deux"_s);
        const QUndoStack &stack = m_main.window().undoStack();
        const int steps = stack.count();

        if (step == u"new")
            m_main.click(u"cmdNouvellePartie"_s);
        else if (step == u"rename")
            QCOMPARE(list().rename(0, u" Trois "_s), QString());
        else if (step == u"rename taken")
            QCOMPARE(list().rename(0, u"deux"_s), QString());
        else if (step == u"duplicate")
            m_main.click(u"cmdDupliquerPartie"_s);
        else if (step == u"delete")
            m_main.click(u"cmdSupprimerPartie"_s);
        else
            list().switchTo(1);
        QCOMPARE(shown(), after);
        QCOMPARE(stack.count(), steps + 1);
        undo(false);
        QCOMPARE(shown(), before);
        QCOMPARE(m_main.origin()->toPlainText(), u"un"_s);
        undo(true);
        QCOMPARE(shown(), after);

        // The list and the game on screen as the next start finds them.
        const QString onScreen = m_main.origin()->toPlainText();
        m_main.window().close();
        QVERIFY(open());
        QCOMPARE(shown(), after);
        QCOMPARE(m_main.origin()->toPlainText(), onScreen);
    }

    // Each game keeps its forum: switching games switches the choice, and
    // the next start finds the game on screen with its own.
    void forumFollowsTheGame()
    {
        QVERIFY(open());
        auto *forumList = m_main.get<QComboBox>(u"cboForum"_s);
        const auto choose = [forumList](forum::Profile profile) {
            forumList->setCurrentIndex(int(profile));
            emit forumList->activated(int(profile));
        };
        type(u"un"_s);
        choose(forum::Profile::Markdown);
        list().addNew();
        choose(forum::Profile::BBCode);
        list().switchTo(0);
        QCOMPARE(forumList->currentIndex(), int(forum::Profile::Markdown));
        list().switchTo(1);
        QCOMPARE(forumList->currentIndex(), int(forum::Profile::BBCode));
        list().switchTo(0);
        m_main.window().close();
        QVERIFY(open());
        QCOMPARE(m_main.get<QComboBox>(u"cboForum"_s)->currentIndex(),
                 int(forum::Profile::Markdown));
    }

    // Typing is no step of the stack: undo and redo of the steps around it
    // keep it.
    void typingSurvivesUndoAndRedo()
    {
        QVERIFY(open());
        type(u"un"_s);
        list().addNew();
        type(u"deux"_s);
        list().switchTo(0);
        list().switchTo(1);
        type(u"deux, tapé"_s);
        undo(false);
        QCOMPARE(m_main.origin()->toPlainText(), u"un"_s);
        undo(true);
        QCOMPARE(m_main.origin()->toPlainText(), u"deux, tapé"_s);
        undo(false);
        undo(false);
        QCOMPARE(m_main.origin()->toPlainText(), u"deux, tapé"_s);
    }

    // Each game keeps its own ledger, in the store's keys while on screen.
    void ledgerGoesWithItsGame()
    {
        QVERIFY(open());
        type(u"Alpha"_s);
        QCOMPARE(m_main.window().wholeGame().setPlayer(u"Alice"_s), QString());
        m_main.letter(QChar(u'A'))->click();
        const game::StoredLedger alpha = m_main.window().wholeGame().state();
        QCOMPARE(alpha.ledger.size(), 1);
        list().addNew();
        QCOMPARE(m_main.window().wholeGame().state(), game::StoredLedger());
        QCOMPARE(game::ReadLedger(m_main.stored(u"Partie/Journal"_s).toString()).value_or(alpha),
                 game::StoredLedger());
        m_main.window().close();
        QVERIFY(open());
        QCOMPARE(m_main.window().wholeGame().state(), game::StoredLedger());
        list().switchTo(0);
        QCOMPARE(m_main.window().wholeGame().state(), alpha);
        QCOMPARE(m_main.stored(u"Partie/Journal"_s).toString(), game::WriteLedger(alpha));
    }

    void badNames_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << u"  "_s;
        QTest::newRow("line break") << u"a\nb"_s;
        QTest::newRow("101 characters") << QString(101, u'x');
    }
    void badNames()
    {
        QFETCH(QString, typed);
        QVERIFY(open());
        const QStringList before = names();
        const int steps = m_main.window().undoStack().count();
        QVERIFY(!list().rename(0, typed).isEmpty());
        QCOMPARE(names(), before);
        QCOMPARE(m_main.window().undoStack().count(), steps);
    }

    // Quotations imported, all games exported, and read into a fresh home.
    void importAndMove()
    {
        QVERIFY(open());
        type(u"À l'écran"_s);
        QCOMPARE(list().rename(0, u"Écran"_s), QString());
        const QString quotations = m_main.settings().filePath(u"citations.txt"_s);
        QVERIFY(writeBytes(quotations, "\xEF\xBB\xBFPremi\xC3\xA8re\r\nligne\r\n\r\nSeconde\n"));
        QCOMPARE(list().importQuotations(quotations), QString());
        QCOMPARE(shown(), u"[Écran], Première ligne, Seconde"_s);
        QCOMPARE(quotationOf(1), u"Première\nligne"_s);

        // Kept apart: the first home goes away.
        const QTemporaryDir carried;
        const QString exported = carried.filePath(u"parties.json"_s);
        QCOMPARE(list().exportGames(exported, true), QString());
        const QString one = carried.filePath(u"une.json"_s);
        QCOMPARE(list().exportGames(one, false), QString());
        m_main.window().close();

        QVERIFY(m_main.begin()); // a fresh home
        QVERIFY(open());
        type(u"Ici"_s);
        QCOMPARE(list().importGames(exported), QString());
        QCOMPARE(list().importGames(one), QString());
        QCOMPARE(shown(), u"[Partie], Écran, Première ligne, Seconde, Écran (2)"_s);
        QCOMPARE(quotationOf(1), u"À l'écran"_s);
        list().switchTo(2);
        QCOMPARE(m_main.origin()->toPlainText(), u"Première\nligne"_s);
    }

    void refusedImports_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("quotations not UTF-8")
            << u"text"_s << QByteArray("Un\n\nNo\xEBl\n") << u"ligne 3"_s;
        QTest::newRow("games from a newer version")
            << u"json"_s
            << QByteArray(R"({"format": "lexorne-parties", "version": 9, "parties": []})")
            << u"version plus récente"_s;
        QTest::newRow("games with a bad letter")
            << u"json"_s
            << QByteArray(
                   R"({"format": "lexorne-parties", "version": 1, "parties": [)"
                   R"({"nom": "a", "citation": "b"}, {"nom": "c", "citation": "d", "cochees": "?"}]})")
            << u"partie n° 2"_s;
    }
    void refusedImports()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QVERIFY(open());
        const QString path = m_main.settings().filePath(u"import"_s);
        QVERIFY(writeBytes(path, bytes));
        const QStringList before = names();
        const int steps = m_main.window().undoStack().count();
        const QString error =
            kind == u"text" ? list().importQuotations(path) : list().importGames(path);
        QVERIFY2(error.contains(message), qPrintable(error));
        QCOMPARE(names(), before);
        QCOMPARE(m_main.window().undoStack().count(), steps);
    }

    // The games off screen keep their quotations in files of their own: a
    // change of one game writes that game's file alone, a file no game
    // names goes at the next start, and a damaged one is told, never shown.
    void quotationFiles()
    {
        QVERIFY(open());
        type(u"Écran"_s);
        const QString quotations = m_main.settings().filePath(u"citations.txt"_s);
        QVERIFY(writeBytes(quotations, "Un\n\nDeux\n\nTrois\n"));
        QCOMPARE(list().importQuotations(quotations), QString());
        m_main.window().waitUntilStored();
        const QStringList imported = textFiles();
        QCOMPARE(imported.size(), 3);
        QCOMPARE(fileBytes(gamesPath()).count("\"texte\""), 3);
        QCOMPARE(QFile::permissions(folder()) & 0x0077, QFile::Permissions());
        // Left untouched: their inodes and times stay as they are.
        QHash<QString, QDateTime> times;
        for (const QString &name : imported)
            times.insert(name, QFileInfo(QDir(folder()).filePath(name)).lastModified());

        list().switchTo(2);
        QCOMPARE(m_main.origin()->toPlainText(), u"Deux"_s);
        type(u"Deux, revue"_s);
        list().switchTo(0);
        QCOMPARE(quotationOf(2), u"Deux, revue"_s);
        for (const QString &name : imported)
            QCOMPARE(QFileInfo(QDir(folder()).filePath(name)).lastModified(), times[name]);
        QCOMPARE(textFiles().size(), 5); // "Écran" and "Deux, revue" added
        m_main.window().close();

        // "Deux" is no game's any more; "Trois" is damaged.
        const QString trois = settings::QuotationFileName(u"Trois"_s);
        QVERIFY(writeBytes(QDir(folder()).filePath(trois), "Troie"));
        QStringList told;
        frmMain &w = m_main.open();
        w.setProblemReporter([&told](const QString &message) { told << message; });
        QVERIFY(m_main.showActive());
        QVERIFY(QTest::qWaitFor([this] { return list().isLoaded(); }));
        QVERIFY(!textFiles().contains(settings::QuotationFileName(u"Deux"_s)));
        QVERIFY(textFiles().contains(trois));
        list().switchTo(3);
        QTRY_COMPARE(told.size(), 1);
        QVERIFY2(told[0].contains(u"abîmé"_s), qPrintable(told[0]));
        QVERIFY(m_main.origin()->toPlainText().isEmpty());
    }

    void unreadableGamesFile()
    {
        testsupport::MainWindow::storeGame(u"Gardée"_s, u"G");
        QVERIFY(QDir().mkpath(m_main.settings().folder()));
        QVERIFY(writeBytes(gamesPath(), "{\"format\": \"lexorne-parties\""));
        QStringList told;
        frmMain &w = m_main.open();
        w.setProblemReporter([&told](const QString &message) { told << message; });
        QVERIFY(m_main.showActive());
        QTRY_COMPARE(told.size(), 1);
        QVERIFY2(told[0].contains(u"mis de côté"_s), qPrintable(told[0]));
        QCOMPARE(m_main.origin()->toPlainText(), u"Gardée"_s);
        m_main.get<QToolButton>(u"cmdPartie"_s)->click();
        QCOMPARE(shown(), u"[Gardée]"_s);
        QVERIFY(!QFile::exists(gamesPath()));
    }
};

QTEST_MAIN(TestGameList)
#include "tst_gamelist.moc"
