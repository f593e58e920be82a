// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Highlight: for any text, letter index and colour index (out-of-range ones
// included) and any tags (null and empty ones included), every path gives
// the same result, and that result is the input with each member of the
// letter's set, and nothing else, wrapped in the tags.
#include "engine/latin1set.h"
#include "highlight/highlight.h"
#include "tests/fuzz/fuzzinput.h"

using namespace lexorne;
using namespace lexorne::highlight;
using Blocks = lexorne::detail::Latin1Set::Blocks;

namespace {

// Takes the tags out again: each member must sit alone between them, every
// other character as it was.
bool unwraps(const QString &result, const QString &text, int letter, const QString &open,
             const QString &close)
{
    const bool valid = letter >= 0 && letter < kLetterEntryCount;
    qsizetype at = 0;
    for (QChar c : text) {
        if (valid && inHighlightSet(QChar(u'A' + letter), c)) {
            const QString wrapped = open + c + close;
            if (QStringView(result).mid(at, wrapped.size()) != wrapped)
                return false;
            at += wrapped.size();
        } else {
            if (at >= result.size() || result[at] != c)
                return false;
            ++at;
        }
    }
    return at == result.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Input input(data, size);
    const int letter = int(input.byte() % 30) - 2;
    const int colour = int(input.byte() % 18) - 2;
    // Tags up to a few units past what the wide path copies in one store.
    const QString open = input.maybeNull(24);
    const QString close = input.maybeNull(24);
    const QString text = input.rest();

    const Blocks paths[3] = {Blocks::Avx2, Blocks::Ssse3, Blocks::None};
    QString byPath[3];
    QString byColour[3];
    for (int k = 0; k < 3; ++k) {
        detail::Latin1Set::limitBlocks(paths[k]);
        byPath[k] = HighlightLetter(text, letter, open, close);
        byColour[k] = HighlightLetter(text, letter, colour);
    }
    detail::Latin1Set::limitBlocks(Blocks::Avx2);
    for (int k = 1; k < 3; ++k) {
        fuzz::check(byPath[k] == byPath[0], "narrower path equals AVX2 path", byPath[k], byPath[0]);
        fuzz::check(byColour[k] == byColour[0], "narrower path equals AVX2 path (colour)",
                    byColour[k], byColour[0]);
    }
    fuzz::check(unwraps(byPath[0], text, letter, open, close),
                "removing the tags gives back the input", byPath[0], text);
    fuzz::check(unwraps(byColour[0], text, letter, openingTag(colour), closingTag()),
                "removing the colour tags gives back the input", byColour[0], text);
    return 0;
}
