// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The whole game's costs: a credited tick in the window, on a 5 000-character
// quotation with 20 players and the game panel open, timed on the window's
// thread; and the results of a game with 26 credits and 100 guesses.
//
//   build/bench/lexorne_bench_game --benchmark_repetitions=5
//
// Runs offscreen, on a store in a temporary folder, never the user's.
#include "bench/prose.h"
#include "game/game.h"
#include "settings/settings.h"
#include "ui/frmMain.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

// Prose of another kind than the engine's benchmarks: dialogue, numbers,
// capitals, cut to size characters.
QString quotationOf(qsizetype size)
{
    const QString line = u"— Combien de lieues jusqu'à Orléans ? demanda Mme Dufresne.\n"
                         u"— Vingt-trois, au bas mot ; et la route est mauvaise après Étampes.\n"
                         u"Ils repartirent à l'aube, le 14 juillet 1789, sans un mot de plus.\n"_s;
    return bench::repeatedTo(size, line);
}

// Players "Joueur 1".."Joueur 20" crediting the letters A..T in turn.
game::Ledger creditsOf(int players, int letters)
{
    game::Ledger ledger;
    for (int k = 0; k < letters; ++k)
        ledger.append(game::Entry::credit(k, u"Joueur %1"_s.arg(k % players + 1)));
    return ledger;
}

// 99 wrong guesses, each the quotation with one letter changed (the check
// goes far before it fails), then a right one.
game::Ledger guessesOf(const QString &quotation, int count)
{
    game::Ledger ledger;
    for (int i = 0; i < count - 1; ++i) {
        QString wrong = quotation;
        const qsizetype at = quotation.size() - 1 - qsizetype(i) * 37 % (quotation.size() / 2);
        for (qsizetype j = at; j >= 0; --j) {
            if (wrong[j].isLetter()) {
                wrong[j] = wrong[j] == u'x' ? u'y' : u'x';
                break;
            }
        }
        ledger.append(game::Entry::guess(u"Joueur %1"_s.arg(i % 20 + 1), wrong));
    }
    ledger.append(game::Entry::guess(u"Joueur 1"_s, quotation.toUpper()));
    return ledger;
}

void BM_CreditedTick(benchmark::State &state)
{
    QTemporaryDir folder;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
    const QString quotation = quotationOf(5000);
    {
        settings::Store store;
        store.writeQuotation(quotation);
        for (int k = 0; k < 20; ++k)
            store.writeLetter(k, LetterState::Ticked);
        store.writeLedger(game::WriteLedger({creditsOf(20, 20), 0, false}));
    }
    settings::Store store;
    frmMain window(store);
    window.findChild<QToolButton *>(u"cmdPartie"_s)->click();
    window.findChild<QComboBox *>(u"cboJoueur"_s)->setEditText(u"Joueur 7"_s);
    auto *box = window.findChild<QCheckBox *>(u"chkLetter21"_s);
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state) {
        box->click(); // a credit, then the untick that drops it
        state.PauseTiming();
        window.waitUntilStored();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CreditedTick)->Iterations(200)->Unit(benchmark::kMicrosecond);

void BM_Results(benchmark::State &state)
{
    const QString quotation = quotationOf(5000);
    game::Game played{quotation, Board::fromLetters(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"),
                      creditsOf(20, 26), 10};
    played.ledger += guessesOf(quotation, 100);
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state) {
        const game::Outcome outcome = game::ScoreGame(played);
        benchmark::DoNotOptimize(game::ResultsLine(outcome.players).size());
    }
}
BENCHMARK(BM_Results)->Unit(benchmark::kMicrosecond);

} // namespace
