// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// What a forum profile costs: "&On y va !" on a 5 000-character quotation
// for each profile (the whole command: masking, the post, the result box,
// the clipboard), the post alone, and the time from a tick to the preview
// showing it, the game panel open.
//
//   build/bench/lexorne_bench_forum --benchmark_repetitions=5
//
// Runs offscreen, on a store in a temporary folder, never the user's.
#include "bench/prose.h"
#include "engine/engine.h"
#include "forum/forum.h"
#include "settings/settings.h"
#include "ui/frmMain.h"
#include "ui/gamepanel.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBrowser>

namespace {

using namespace lexorne;

constexpr qsizetype kChars = 5000;

// French prose with dialogue dashes, a numbered line and stars, as game
// masters paste it, cut to size characters.
QString quotationOf(qsizetype size)
{
    const QString lines = QStringLiteral(
        "— Qui êtes-vous ? demanda l'aïeule, d'une voix où perçait l'inquiétude.\n"
        "1. Le cœur a ses raisons que la raison ne connaît point ; on le sait en mille choses.\n"
        "   « Été comme hiver », disait-elle, à l'ombre des tilleuls (*sic*) & du_reste.\n");
    return bench::repeatedTo(size, lines);
}

// A window on a store of its own that writes for `profile`, with a game in
// progress, the panel open or not.
class Game
{
public:
    Game(forum::Profile profile, bool panelOpen)
    {
        QSettings::setDefaultFormat(QSettings::IniFormat);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_dir.path());
        {
            settings::Store store;
            store.writeOption(QStringLiteral("Forum"), forum::profileName(profile));
            store.writeOption(QStringLiteral("Panneau"),
                              panelOpen ? QStringLiteral("1") : QStringLiteral("0"));
            for (int k : {0, 4, 13, 17, 18, 19})
                store.writeLetter(k, LetterState::Ticked);
        }
        m_store = std::make_unique<settings::Store>();
        window = std::make_unique<frmMain>(*m_store);
        window->findChild<QPlainTextEdit *>(QStringLiteral("txtOrigin"))
            ->setPlainText(quotationOf(kChars));
        QCoreApplication::processEvents();
    }

    template <class T>
    T *get(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<settings::Store> m_store;

public:
    std::unique_ptr<frmMain> window;
};

// With state.range(1) at 1, until the window has drawn the result, as the
// user waits for it.
void BM_Generate(benchmark::State &state)
{
    Game game(forum::Profile(state.range(0)), false);
    const bool drawn = state.range(1) != 0;
    if (drawn) {
        game.window->show();
        QCoreApplication::processEvents();
    }
    auto *button = game.get<QPushButton>("cmdGenerate");
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state) {
        button->click();
        if (drawn)
            game.window->repaint();
    }
    state.SetLabel(forum::profileName(forum::Profile(state.range(0))).toStdString());
}
BENCHMARK(BM_Generate)
    ->ArgNames({"profile", "drawn"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

void BM_Post(benchmark::State &state)
{
    Board board;
    for (int k : {0, 4, 13, 17, 18, 19})
        board.states[k] = LetterState::Ticked;
    const QString rendered = RenderQuotation(quotationOf(kChars), board, {.letterLog = true});
    const auto profile = forum::Profile(state.range(0));
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state)
        benchmark::DoNotOptimize(forum::Post(profile, rendered, 4, forum::Mark{1}).size());
    state.SetLabel(forum::profileName(profile).toStdString());
}
BENCHMARK(BM_Post)
    ->ArgName("profile")
    ->DenseRange(0, forum::kProfileCount - 1)
    ->Unit(benchmark::kMicrosecond);

// A tick, until the preview shows it: the click, then the events it posted.
void BM_TickToPreview(benchmark::State &state)
{
    Game game(forum::Profile(state.range(0)), true);
    auto *box = game.get<QCheckBox>("chkLetter1");
    auto *preview = game.get<QTextBrowser>("txtApercu");
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state) {
        const int revision = preview->document()->revision();
        box->click();
        while (preview->document()->revision() == revision)
            QCoreApplication::processEvents();
        state.PauseTiming();
        game.window->waitUntilStored();
        state.ResumeTiming();
    }
    state.SetLabel(forum::profileName(forum::Profile(state.range(0))).toStdString());
}
BENCHMARK(BM_TickToPreview)
    ->ArgName("profile")
    ->DenseRange(0, forum::kProfileCount - 1)
    ->Iterations(60)
    ->Unit(benchmark::kMillisecond);

} // namespace
