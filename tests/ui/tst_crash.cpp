// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The window killed at random moments while it switches games, types, ticks
// and imports (tests/ui/crashdriver.cpp): after each kill the store and the
// games file read whole, every quotation file the list names is there and
// whole, the game on screen is in the list, and every quotation belongs to
// the game that holds it.
#include "settings/gamesfile.h"
#include "settings/settings.h"
#include "tests/support/testsupport.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>

using namespace lexorne;
using namespace Qt::StringLiterals;

class TestCrash : public QObject
{
    Q_OBJECT

private slots:
    void killedAtRandom()
    {
        const testsupport::TemporarySettings settings;
        QRandomGenerator random(QRandomGenerator::global()->generate());
        for (int kill = 0; kill < 8; ++kill) {
            QProcess driver;
            driver.start(QStringLiteral(LEXORNE_CRASH_DRIVER), {settings.path()});
            QVERIFY(driver.waitForStarted());
            // Some rounds done, then killed somewhere inside one.
            QVERIFY(driver.waitForReadyRead(30000));
            QTest::qWait(int(random.bounded(50, 600)));
            driver.kill();
            QVERIFY(driver.waitForFinished());
            QVERIFY2(!driver.readAllStandardOutput().isEmpty(), "the driver never ran a round");

            const settings::QuietRead store = settings::ReadStoreQuietly();
            QVERIFY2(store.game, qPrintable(store.error));
            const QString gamesPath = settings::GamesFilePath(settings.storePath());
            const settings::ReadResult file = settings::ReadGamesFile(gamesPath);
            QVERIFY2(file.games, qPrintable(file.error));
            QList<settings::GameRecord> games = *file.games;
            // Every quotation file the list names is there, whole.
            for (settings::GameRecord &game : games) {
                const QString error = settings::LoadQuotation(gamesPath, game);
                QVERIFY2(error.isEmpty(), qPrintable(game.name + u": "_s + error));
            }
            QVERIFY(!store.id.isEmpty());
            // The game on screen is one the file knows.
            bool found = false;
            for (const settings::GameRecord &game : games)
                found = found || game.id == store.id;
            QVERIFY(found);
            settings::GameRecord onScreen;
            onScreen.id = store.id;
            onScreen.quotation = store.game->quotation;
            const qsizetype current = settings::AssembleGames(games, onScreen);
            const QRegularExpression typed(u"^(.*) v\\d+$"_s);
            for (qsizetype i = 0; i < games.size(); ++i) {
                const QString &quotation = games[i].quotation;
                const QRegularExpressionMatch match = typed.match(quotation);
                if (match.hasMatch())
                    QVERIFY2(match.captured(1) == games[i].name,
                             qPrintable(games[i].name + u" holds "_s + quotation +
                                        (i == current ? u" (on screen)"_s : QString())));
                else
                    QVERIFY2(quotation.startsWith(u"Import "_s) || quotation.isEmpty(),
                             qPrintable(quotation));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
