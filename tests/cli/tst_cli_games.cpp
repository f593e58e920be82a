// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The stored games on the command line: --parties and --partie, run as a
// script would, on a store written as the window writes it, and while the
// window writes it.
#include "settings/games.h"
#include "settings/gamesfile.h"
#include "settings/settings.h"
#include "tests/support/testsupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>

#include <atomic>
#include <memory>
#include <thread>

using namespace lexorne;
using namespace lexorne::settings;
using namespace Qt::StringLiterals;

namespace {

struct Outcome
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

GameRecord record(const QString &id, const QString &name, const QString &quotation,
                  QStringView ticked = {})
{
    GameRecord game;
    game.id = id;
    game.name = name;
    game.quotation = quotation;
    game.letters = Board::fromLetters(ticked).states;
    return game;
}

} // namespace

class TestCliGames : public QObject
{
    Q_OBJECT

    std::unique_ptr<testsupport::TemporarySettings> m_settings;

    // The store as the program opens it, here and in the child: the native
    // file under the sandbox's XDG_CONFIG_HOME.
    QString storePath() const { return m_settings->filePath(u"Quillmoor/Lexorne.conf"_s); }
    QString gamesPath() const { return GamesFilePath(storePath()); }

    Outcome run(const QStringList &arguments) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString &name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
            env.remove(name);
        env.insert(u"HOME"_s, m_settings->filePath(u"home"_s));
        env.insert(u"XDG_CONFIG_HOME"_s, m_settings->path());
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(LEXORNE_BINARY), arguments);
        Outcome outcome;
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
            return outcome;
        outcome.status = process.exitCode();
        outcome.out = process.readAllStandardOutput();
        outcome.err = process.readAllStandardError();
        return outcome;
    }

    // Every file of the sandbox with its bytes: what must not change.
    QMap<QString, QByteArray> snapshot() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(m_settings->path(), QDir::Files | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            files.insert(file.fileName(), file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
        }
        return files;
    }

private slots:
    void init()
    {
        m_settings = std::make_unique<testsupport::TemporarySettings>();
        QVERIFY(m_settings->isValid());
        QSettings::setDefaultFormat(QSettings::NativeFormat);
        QCOMPARE(testsupport::TemporarySettings::open().fileName(), storePath());
    }
    void cleanup() { m_settings.reset(); }

    void games_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("err");
        const auto row = [](const char *name, const QString &setup, const QStringList &arguments,
                            int status, const QByteArray &out, const QString &err = {}) {
            QTest::newRow(name) << setup << arguments << status << out << err;
        };
        row("older store: its game", u"older"_s, {u"--parties"_s}, 0, "Le chat dort\n");
        row("older store: post", u"older"_s, {u"--partie"_s, u" LE CHAT DORT"_s, u"--log"_s}, 0,
            "*e **** ****\r\r\r   E");
        row("nothing stored", u"none"_s, {u"--parties"_s}, 0, "Partie\n");
        row("two games", u"two"_s, {u"--parties"_s}, 0, "Un\nDeux\n");
        // The store's keys hold the game on screen, newer than its entry.
        row("game on screen", u"two"_s, {u"--partie"_s, u"Deux"_s}, 0, "*e** * *'é****");
        row("game in the file", u"two"_s,
            {u"--partie"_s, u"un"_s, u"--entourer"_s, u"N"_s, u"--couleur"_s, u"rouge"_s}, 0,
            "*[color=red]n[/color] ****");
        row("quotation file damaged", u"damaged"_s, {u"--partie"_s, u"Un"_s}, 1, {},
            u"la partie « Un » n'a pas pu être lue : le fichier de la citation a été abîmé"_s);
        row("other game's file damaged", u"damaged"_s, {u"--partie"_s, u"Deux"_s}, 0,
            "*e** * *'é****");
        row("unknown", u"two"_s, {u"--partie"_s, u"Trois"_s}, 1, {},
            u"aucune partie ne s'appelle « Trois »"_s);
        row("unreadable file", u"broken"_s, {u"--parties"_s}, 1, {},
            u"les parties enregistrées n'ont pas pu être lues"_s);
        // Judged before Qt parses it, and left where it is for the window.
        row("store with a typed value", u"typed"_s, {u"--parties"_s}, 1, {},
            u"la partie enregistrée n'a pas pu être lue"_s);
        row("markdown post", u"two"_s, {u"--partie"_s, u"un"_s, u"--forum"_s, u"markdown"_s}, 0,
            "\\*n \\*\\*\\*\\*");
        row("with --lettres", u"two"_s, {u"--partie"_s, u"Un"_s, u"--lettres"_s, u"e"_s}, 2, {},
            u"s'excluent"_s);
        row("with a file", u"two"_s, {u"--partie"_s, u"Un"_s, u"x.txt"_s}, 2, {}, u"de trop"_s);
        row("list with --log", u"two"_s, {u"--parties"_s, u"--log"_s}, 2, {},
            u"ne se combine pas avec --log"_s);
    }
    void games()
    {
        QFETCH(QString, setup);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, out);
        QFETCH(QString, err);
        if (setup == u"older" || setup == u"two" || setup == u"broken" || setup == u"damaged") {
            QSettings store = testsupport::TemporarySettings::open();
            store.setValue(u"General Settings/Citation"_s,
                           setup == u"older" ? u"Le chat dort"_s : u"Deux à l'écran"_s);
            store.setValue(u"Alpha/4"_s, u"1"_s);
            if (setup != u"older")
                store.setValue(u"Partie/Identifiant"_s, u"id2"_s);
        }
        if (setup == u"two" || setup == u"damaged") {
            // As the window leaves it: the game off screen in its own file.
            GameRecord un = record(u"id1"_s, u"Un"_s, {}, u"N");
            un.textFile = QuotationFileName(u"Un chat"_s);
            const QString folder = QuotationsFolder(gamesPath());
            QVERIFY(WriteQuotationFile(folder, u"Un chat"_s));
            QVERIFY(WriteGamesFile(gamesPath(), {un, record(u"id2"_s, u"Deux"_s, u"périmé"_s)}));
            QFile file(folder + u'/' + un.textFile);
            if (setup == u"damaged")
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Un chien") == 8);
        }
        if (setup == u"broken") {
            QFile file(gamesPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("{\"format\": \"lexorne-parties\", ");
        }
        if (setup == u"typed") {
            QVERIFY(QDir().mkpath(QFileInfo(storePath()).path()));
            QFile file(storePath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[General%20Settings]\nCitation=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x1)\n");
        }
        const QMap<QString, QByteArray> before = snapshot();
        const Outcome outcome = run(arguments);
        QCOMPARE(outcome.status, status);
        QCOMPARE(outcome.out, out);
        const QString message = QString::fromUtf8(outcome.err);
        QVERIFY2(err.isEmpty() ? message.isEmpty() : message.contains(err), qPrintable(message));
        QVERIFY(message.count(u'\n') <= 1);
        // Read quietly: not a byte written, moved or added.
        QCOMPARE(snapshot(), before);
    }

    // The window switching games again and again, as it writes them: the
    // game leaving the screen into the file, then the next one into the
    // store's keys. Every read in between sees whole games.
    void readsWhileWritten()
    {
        // A and B ticked, so that the post shows whose text it is.
        QList<GameRecord> games{record(u"ida"_s, u"A"_s, u"A 0"_s, u"AB"),
                                record(u"idb"_s, u"B"_s, u"B 0"_s, u"AB")};
        auto store = std::make_unique<Store>();
        QVERIFY(store->writeScreenGame(u"ida"_s, u"A 0"_s, games[0].letters, {}));
        QVERIFY(WriteGamesFile(gamesPath(), games));

        std::atomic<bool> stop = false;
        std::atomic<int> switches = 0;
        std::thread window([&] {
            int onScreen = 0;
            for (int version = 1; !stop; ++version) {
                // Typed while on screen, then switched away from.
                const QString text = games[onScreen].name + u' ' + QString::number(version);
                store->writeQuotation(text);
                games[onScreen].quotation = text;
                WriteGamesFile(gamesPath(), games);
                onScreen = 1 - onScreen;
                store->writeScreenGame(games[onScreen].id, games[onScreen].quotation,
                                       games[onScreen].letters, {});
                ++switches;
            }
        });
        const auto join = qScopeGuard([&] {
            stop = true;
            window.join();
        });
        const QRegularExpression post(u"^([AB]) \\d+$"_s);
        // At least 30 reads, and as many as it takes for a few switches.
        for (int i = 0; i < 30 || (switches < 10 && i < 300); ++i) {
            const QString name = i % 3 == 0 ? QString() : i % 3 == 1 ? u"A"_s : u"B"_s;
            const Outcome outcome = run(name.isEmpty() ? QStringList{u"--parties"_s}
                                                       : QStringList{u"--partie"_s, name});
            QCOMPARE(outcome.status, 0);
            if (name.isEmpty()) {
                QCOMPARE(outcome.out, "A\nB\n");
                continue;
            }
            const QRegularExpressionMatch match = post.match(QString::fromUtf8(outcome.out));
            QVERIFY2(match.hasMatch(), outcome.out.constData());
            QCOMPARE(match.captured(1), name);
        }
        QVERIFY(switches >= 10);
    }
};

QTEST_GUILESS_MAIN(TestCliGames)
#include "tst_cli_games.moc"
