// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Masking: for any UTF-16 text, any 26 box states and either log setting,
// the three block paths agree, and their result is the rule applied
// character by character to the NFC text; masking the text's UTF-8 straight,
// when it does not give up, gives the same bytes on every path.
#include "engine/engine.h"
#include "engine/latin1set.h"
#include "engine/utf8mask.h"
#include "tests/fuzz/fuzzinput.h"

using namespace lexorne;
using Blocks = lexorne::detail::Latin1Set::Blocks;

namespace {

// The characters the masking treats as letters; everything else is copied.
bool isLetter(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') ||
           (u >= 192 && u <= 255 && u != u'×' && u != u'÷') || QStringView(u"ŒœŠšŽžŸ").contains(c);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Input input(data, size);
    Board board;
    for (LetterState &state : board.states)
        state = LetterState(input.byte() % 3);
    const bool withLog = input.byte() & 1;
    const QString text = input.rest();

    QString byPath[3];
    const Blocks paths[3] = {Blocks::Avx2, Blocks::Ssse3, Blocks::None};
    for (int k = 0; k < 3; ++k) {
        detail::Latin1Set::limitBlocks(paths[k]);
        byPath[k] = RenderQuotation(text, board, {.letterLog = withLog});
    }
    detail::Latin1Set::limitBlocks(Blocks::Avx2);
    fuzz::check(byPath[1] == byPath[0], "SSSE3 path equals AVX2 path", byPath[1], byPath[0]);
    fuzz::check(byPath[2] == byPath[0], "unit-by-unit path equals AVX2 path", byPath[2], byPath[0]);

    QString expected = text.normalized(QString::NormalizationForm_C);
    for (QChar &c : expected) {
        if (isLetter(c))
            c = RevealCharacter(c, board);
    }
    expected = AppendLetterLog(expected, board, LetterTally(), {.letterLog = withLog});
    fuzz::check(byPath[0] == expected, "masking is the rule on the NFC text", byPath[0], expected);

    const QByteArray utf8 = text.toUtf8();
    const QString wanted = RenderQuotation(QString::fromUtf8(utf8), board);
    QByteArray out(utf8.size(), '\0');
    for (const Blocks path : paths) {
        detail::Latin1Set::limitBlocks(path);
        const qsizetype size = Utf8Masker(board).mask(utf8, out.data());
        if (size >= 0) {
            const QString got = QString::fromUtf8(out.first(size));
            fuzz::check(got == wanted, "UTF-8 masking equals UTF-16 masking", got, wanted);
        }
    }
    detail::Latin1Set::limitBlocks(Blocks::Avx2);
    return 0;
}
