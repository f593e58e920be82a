// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's filter: any bytes, fed in blocks and pieces of any
// sizes, give what the whole text rendered at once gives; bytes that are not
// UTF-8 are refused at the first bad one.
#include "cli/filter.h"
#include "tests/fuzz/fuzzinput.h"

#include <QStringDecoder>

using namespace lexorne;
using namespace lexorne::cli;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Input input(data, size);
    Request request;
    request.action = Request::Action::Mask;
    for (LetterState &state : request.board.states)
        state = LetterState(input.byte() % 3);
    const std::uint8_t options = input.byte();
    request.log.letterLog = (options & 1) != 0;
    request.log.absentLetters = request.log.letterLog && (options & 2) != 0;
    if ((options & 4) != 0) {
        request.highlightLetter = input.byte() % 26;
        request.colour = input.byte() % 14;
    }
    const qsizetype block = 1 + input.byte() % 64;
    const qsizetype piece = 1 + input.byte() % 64;
    // Raw bytes, or UTF-16 units (lone surrogates included) as UTF-8.
    const QByteArray bytes = (options & 8) != 0 ? input.restBytes() : input.rest().toUtf8();

    Filter filter(request, piece);
    QByteArray out;
    bool ok = true;
    for (qsizetype from = 0; ok && from < bytes.size(); from += block)
        ok = filter.feed(QByteArrayView(bytes).sliced(from, qMin(block, bytes.size() - from)), out);
    ok = ok && filter.finish(out);

    if (const std::optional<qsizetype> bad = firstInvalidUtf8(bytes)) {
        fuzz::check(!ok, "ill-formed UTF-8 is refused");
        const QString where = QStringLiteral("à la position %1 ").arg(*bad);
        fuzz::check(filter.error().contains(where), "the first bad byte is named", filter.error(),
                    where);
        return 0;
    }
    fuzz::check(ok, "well-formed UTF-8 goes through", filter.error());
    // A byte order mark at the start is text like any other.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QByteArray whole = render(request, decoder(bytes));
    fuzz::check(out == whole, "blocks give the whole text's output", QString::fromUtf8(out),
                QString::fromUtf8(whole));
    return 0;
}
