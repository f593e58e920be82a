// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Masking, highlighting and letter counting against a plain copy of the same text, the floor
// any text transform pays. Sizes from a forum-sized quotation to 10 M chars.
#include "engine/engine.h"
#include "engine/lettercount.h"
#include "highlight/highlight.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// Ordinary French prose: accents, apostrophes, non-breaking spaces before
// ! ? : ; and line breaks, as game masters paste it.
const QString &prose()
{
    static const QString text =
        u"Il était une fois, au cœur d'une forêt où l'été durait à peine\u00a0: "
        u"une clairière, un château, et Noël qui approchait déjà\u00a0!\r\n"
        u"« Qui êtes-vous\u00a0? » demanda l'aïeule, d'une voix où perçait "
        u"l'inquiétude. Le garçon hésita, puis répondit\u00a0; ses yeux brûlaient.\r\n"_s;
    return text;
}

QString frenchText(qsizetype size)
{
    QString text = prose().repeated(size / prose().size() + 1);
    text.truncate(size);
    return text;
}

lexorne::Board midGameBoard()
{
    return lexorne::Board::fromLetters(u"AENRST");
}

void reportChars(benchmark::State &state, qsizetype size)
{
    state.SetItemsProcessed(state.iterations() * size);
    state.counters["chars/s"] =
        benchmark::Counter(double(state.iterations() * size), benchmark::Counter::kIsRate);
}

void BM_Copy(benchmark::State &state)
{
    const QString text = frenchText(state.range(0));
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state) {
        QString copy(text.constData(), text.size());
        benchmark::DoNotOptimize(copy.data());
    }
    reportChars(state, text.size());
}

void BM_Render(benchmark::State &state)
{
    const QString text = frenchText(state.range(0));
    const lexorne::Board board = midGameBoard();
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state) {
        QString rendered = lexorne::RenderQuotation(text, board, {.letterLog = true});
        benchmark::DoNotOptimize(rendered.data());
    }
    reportChars(state, text.size());
}

// "Go !" on the letter just proposed, T, the last one ticked on the board.
void BM_Highlight(benchmark::State &state)
{
    const QString rendered =
        lexorne::RenderQuotation(frenchText(state.range(0)), midGameBoard(), {.letterLog = true});
    qsizetype outputSize = 0;
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state) {
        QString highlighted = lexorne::highlight::HighlightLetter(rendered, u'T' - u'A', 1);
        outputSize = highlighted.size();
        benchmark::DoNotOptimize(highlighted.data());
    }
    reportChars(state, rendered.size());
    state.counters["growth"] = double(outputSize) / double(rendered.size());
}

// The letter counts of the tooltips: one tally of the whole quotation.
void BM_CountLetters(benchmark::State &state)
{
    const QString text = frenchText(state.range(0));
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state) {
        lexorne::LetterTally tally = lexorne::CountLetters(text);
        benchmark::DoNotOptimize(&tally);
    }
    reportChars(state, text.size());
}

// The same prose pasted with its accents decomposed (e + U+0301), as some
// editors and macOS copies give it: the masking brings it to NFC first.
void BM_RenderDecomposed(benchmark::State &state)
{
    const QString text = frenchText(state.range(0)).normalized(QString::NormalizationForm_D);
    const lexorne::Board board = midGameBoard();
    // NOLINTNEXTLINE(clang-analyzer-deadcode.DeadStores): the loop variable is unused by design
    for (auto _ : state) {
        QString rendered = lexorne::RenderQuotation(text, board, {.letterLog = true});
        benchmark::DoNotOptimize(rendered.data());
    }
    reportChars(state, text.size());
}

} // namespace

#define LEXORNE_SIZES                                                                              \
    ->Arg(1 << 10)->Arg(1 << 15)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Copy) LEXORNE_SIZES;
BENCHMARK(BM_Render) LEXORNE_SIZES;
BENCHMARK(BM_Highlight) LEXORNE_SIZES;
BENCHMARK(BM_CountLetters) LEXORNE_SIZES;
BENCHMARK(BM_RenderDecomposed) LEXORNE_SIZES;
