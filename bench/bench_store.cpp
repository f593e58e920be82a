// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The store as the window uses it: a start (the store opened and read, the
// window built and the game restored) with an empty store and with a stored
// quotation of 1 M characters, and a tick on that game, timed on the
// window's thread (what the user waits for) and until the store has it.
//
//   build/bench/lexorne_bench_store --benchmark_repetitions=5
//
// Runs offscreen, on a store in a temporary folder, never the user's.
#include "bench/prose.h"
#include "settings/settings.h"
#include "ui/frmMain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QPlainTextEdit>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>

#include <memory>

namespace {

using namespace lexorne;

// French prose with accents and line breaks, cut to size characters.
QString quotationOf(qsizetype size)
{
    const QString line =
        QStringLiteral("Le cœur a ses raisons que la raison ne connaît point ; on le sait en mille "
                       "choses. « Été comme hiver », disait-elle, à l'ombre des tilleuls.\n");
    return bench::repeatedTo(size, line);
}

// A store of its own in a temporary folder, holding a quotation of size
// characters and a game in progress.
class StoredGame
{
public:
    explicit StoredGame(qsizetype size)
    {
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
        if (size == 0)
            return;
        settings::Store store;
        m_path = store.location();
        store.writeQuotation(quotationOf(size));
        for (int k : {0, 4, 13, 17, 18, 19})
            store.writeLetter(k, LetterState::Ticked);
    }

    // QSettings keeps what it read of a small file for the next object on
    // it, unless the file changed since: a new date makes the next start
    // read the file, as a new process would.
    void forget()
    {
        if (m_path.isEmpty())
            return;
        QFile file(m_path);
        if (file.open(QIODevice::ReadWrite))
            file.setFileTime(QDateTime::currentDateTime().addSecs(++m_touches),
                             QFileDevice::FileModificationTime);
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
    int m_touches = 0;
};

// Whether the quotation box holds all of size characters.
bool holdsAll(const frmMain &window, qsizetype size)
{
    const auto *box = window.findChild<const QPlainTextEdit *>(QStringLiteral("txtOrigin"));
    return box->document()->characterCount() > size;
}

// A start on a game of state.range(0) characters. With state.range(1) at 0,
// the store's share alone: opened, checked and read, nothing written. At 1,
// the window too: built, the game restored and rendered, ready to show (a
// long game's start is in its boxes). At 2, the window shown, drawn, and its
// boxes whole.
void BM_Start(benchmark::State &state)
{
    StoredGame game(state.range(0));
    const auto stage = state.range(1);
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state) {
        state.PauseTiming();
        game.forget();
        state.ResumeTiming();
        settings::Store store;
        if (stage == 0) {
            benchmark::DoNotOptimize(settings::LoadSettings(store).quotation.size());
            continue;
        }
        frmMain window(store);
        benchmark::DoNotOptimize(window.strRendu().size());
        if (stage == 2) {
            window.show();
            do
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            while (!holdsAll(window, state.range(0)));
        }
    }
}
BENCHMARK(BM_Start)
    ->ArgNames({"chars", "window"})
    ->ArgsProduct({{0, 1'000'000}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

// Ticks of one box on a game of state.range(0) characters. With
// state.range(1) at 0, only the click on the window's thread is timed (what
// the user waits for): the writes it asks for run on the store's thread and
// are waited for outside the timing, so each tick finds the store idle. At
// 1, the time runs until the store file holds the tick.
void BM_Tick(benchmark::State &state)
{
    const StoredGame game(state.range(0));
    const bool untilWritten = state.range(1) != 0;
    settings::Store store;
    frmMain window(store);
    auto *box = window.findChild<QCheckBox *>(QStringLiteral("chkLetter1"));
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state) {
        box->click();
        if (!untilWritten)
            state.PauseTiming();
        window.waitUntilStored();
        if (!untilWritten)
            state.ResumeTiming();
    }
}
// A fixed count: the paused waits would otherwise make the library run
// thousands of ticks to fill its minimum time.
BENCHMARK(BM_Tick)
    ->ArgNames({"chars", "untilWritten"})
    ->ArgsProduct({{0, 1'000'000}, {0, 1}})
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond);

} // namespace
