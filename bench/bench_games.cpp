// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Several games: a start, a switch and a tick with 1 game stored and with
// 1 000 games of 5 000 characters, on the window's thread, and the memory a
// start leaves in use.
//
//   build/bench/lexorne_bench_games --benchmark_repetitions=5
//
// Runs offscreen, on a store in a temporary folder, never the user's. Run
// each start alone (--benchmark_filter) for its memory figure: a process
// never gives memory back to the counter.
#include "bench/prose.h"
#include "settings/gamesfile.h"
#include "settings/settings.h"
#include "ui/frmMain.h"
#include "ui/gamelist.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUndoStack>

#include <algorithm>
#include <memory>

namespace {

using namespace lexorne;

constexpr qsizetype kChars = 5000;

// French prose with accents and line breaks, cut to size characters, a
// different start for each game.
QString quotationOf(qsizetype size, int game)
{
    const QString line =
        QStringLiteral("Le cœur a ses raisons que la raison ne connaît point ; on le sait en mille "
                       "choses. « Été comme hiver », disait-elle, à l'ombre des tilleuls.\n");
    return bench::repeatedTo(size, line, QStringLiteral("Partie %1 : ").arg(game));
}

// A store of its own holding `count` games, the first on screen.
class StoredGames
{
public:
    explicit StoredGames(int count)
    {
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
        settings::Store store;
        const QString path = settings::GamesFilePath(store.location());
        // As the window leaves them: each quotation in its file, one at a
        // time, so that the set-up holds no more memory than a game's.
        QList<settings::GameRecord> games;
        for (int i = 0; i < count; ++i) {
            settings::GameRecord game;
            game.id = settings::NewGameId();
            game.name = QStringLiteral("Partie %1").arg(i);
            const QString quotation = quotationOf(kChars, i);
            game.letters = Board::fromLetters(u"AENRST").states;
            if (i == 0)
                store.writeScreenGame(game.id, quotation, game.letters, {});
            settings::WriteQuotationFile(settings::QuotationsFolder(path), quotation);
            game.textFile = settings::QuotationFileName(quotation);
            games.append(game);
        }
        if (count > 1)
            settings::WriteGamesFile(path, games);
    }

private:
    QTemporaryDir m_dir;
};

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * 4096 : 0;
}

// A start with state.range(0) games. With state.range(1) at 0, until the
// window is built with the game on screen (what the user waits for); at 1,
// until the list has every game.
void BM_GamesStart(benchmark::State &state)
{
    const StoredGames stored(int(state.range(0)));
    const bool untilListed = state.range(1) != 0;
    qint64 resident = 0;
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state) {
        auto store = std::make_unique<settings::Store>();
        auto window = std::make_unique<frmMain>(*store);
        benchmark::DoNotOptimize(window->strRendu().size());
        if (untilListed)
            while (!window->gameList().isLoaded())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        // The end of a run is not part of the next start.
        state.PauseTiming();
        while (!window->gameList().isLoaded())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        // What the window holds while the game master plays, the whole list
        // read: taken before the window goes.
        resident = std::max(resident, residentBytes());
        window.reset();
        store.reset();
        state.ResumeTiming();
    }
    state.counters["residentMB"] = double(resident) / (1024 * 1024);
}
BENCHMARK(BM_GamesStart)
    ->ArgNames({"games", "untilListed"})
    ->ArgsProduct({{1, 1000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// Switches between the first games of 1 000 on the window's thread (the
// writes they ask for are waited for outside the timing).
void BM_GamesSwitch(benchmark::State &state)
{
    const StoredGames stored(1000);
    settings::Store store;
    frmMain window(store);
    while (!window.gameList().isLoaded())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    qsizetype next = 1;
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state) {
        window.gameList().switchTo(next);
        next = (next + 7) % 1000;
        state.PauseTiming();
        window.waitUntilStored();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GamesSwitch)->Iterations(60)->Unit(benchmark::kMillisecond);

// Ticks with 1 or 1 000 games stored, on the window's thread.
void BM_GamesTick(benchmark::State &state)
{
    const StoredGames stored(int(state.range(0)));
    settings::Store store;
    frmMain window(store);
    while (!window.gameList().isLoaded())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    auto *box = window.findChild<QCheckBox *>(QStringLiteral("chkLetter1"));
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state) {
        box->click();
        state.PauseTiming();
        window.waitUntilStored();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_GamesTick)
    ->ArgName("games")
    ->Arg(1)
    ->Arg(1000)
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond);

} // namespace
