// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line at work: one read, the masking piece by piece, one
// write. Pieces that fit in the processor's cache spare a big input the page
// faults and memory traffic of full-size UTF-16 copies; most French prose
// never leaves UTF-8 at all (engine/utf8mask.h).
#include "cli/cli.h"
#include "cli/stdio.h"

#include "engine/nfc.h"
#include "engine/utf8mask.h"
#include "highlight/highlight.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>
#include <new>

using namespace Qt::StringLiterals;

namespace lexorne::cli {

namespace {

QString invalidAt(qsizetype offset, quint8 byte)
{
    return u"le texte n'est pas de l'UTF-8 valide : octet 0x%1 à la position %2 "
           u"(comptée en octets depuis 0)"_s.arg(QString::number(byte, 16).toUpper(),
                                                 QString::number(offset));
}

QString finish(const Request &request, QString masked)
{
    if (request.highlightLetter < 0)
        return masked;
    return highlight::HighlightLetter(masked, request.highlightLetter, request.colour);
}

} // namespace

QByteArray render(const Request &request, const QString &quotation)
{
    return finish(request, RenderQuotation(quotation, request.board, request.log)).toUtf8();
}

Rendered renderUtf8(const Request &request, QByteArray bytes, qsizetype pieceBytes)
{
    // Each piece on its own; a byte order mark is kept, like every non-letter.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    const Board &board = request.board;
    // The highlight works on UTF-16 text anyway.
    const bool highlight = request.highlightLetter >= 0;
    const std::optional<Utf8Masker> direct =
        highlight ? std::nullopt : std::optional<Utf8Masker>(board);
    // The absent letters depend on the whole quotation, counted before the
    // masking writes over it.
    const LetterTally letters =
        request.log.absentLetters ? CountLetters(QString::fromUtf8(bytes)) : LetterTally();

    // The result overwrites the input, whose pieces are done with, as long
    // as it is no longer: masking only shortens, but the highlight and,
    // rarely, NFC lengthen. Then it goes on in a buffer of its own.
    char *const base = bytes.data();
    qsizetype written = 0;
    QByteArray spill;
    bool spilled = highlight;
    if (spilled)
        spill.reserve(bytes.size() + bytes.size() / 4 + 256);
    const auto put = [&](const char *data, qsizetype size, qsizetype freeUpTo) {
        if (!spilled && written + size <= freeUpTo) {
            std::memmove(base + written, data, std::size_t(size));
            written += size;
            return;
        }
        if (!spilled) {
            spill.reserve(bytes.size() + bytes.size() / 4 + 256);
            spill.append(base, written);
            spilled = true;
        }
        spill.append(data, size);
    };

    QByteArray scratch;
    QString piece;
    for (qsizetype from = 0; from < bytes.size();) {
        const qsizetype to = nfcPieceEndUtf8(bytes, from, pieceBytes);
        const QByteArrayView in(base + from, to - from);
        if (direct) {
            scratch.resize(in.size());
            if (const qsizetype size = direct->mask(in, scratch.data()); size >= 0) {
                put(scratch.constData(), size, to);
                from = to;
                continue;
            }
        }
        piece.resize(decoder.requiredSpace(in.size()));
        const QChar *end = decoder.appendToBuffer(piece.data(), in);
        if (decoder.hasError()) {
            // Nothing from here on has been written over yet.
            Rendered failed;
            const QByteArrayView rest = QByteArrayView(bytes).sliced(from);
            if (const std::optional<qsizetype> at = firstInvalidUtf8(rest)) {
                failed.invalidOffset = from + *at;
                failed.invalidByte = quint8(rest[*at]);
            }
            return failed;
        }
        piece.resize(end - piece.constData());
        const QString done = finish(request, RenderQuotation(piece, board));
        scratch.resize(encoder.requiredSpace(done.size()));
        const char *encoded = encoder.appendToBuffer(scratch.data(), done);
        put(scratch.constData(), encoded - scratch.constData(), to);
        from = to;
    }
    const QByteArray log =
        finish(request, AppendLetterLog(QString(), board, letters, request.log)).toUtf8();
    if (!spilled)
        bytes.truncate(written);
    QByteArray &result = spilled ? spill : bytes;
    result.append(log);
    return {std::move(result)};
}

namespace {

int runUnguarded(const QStringList &arguments)
{
    const Parsed parsed = parseArguments(arguments);
    if (!parsed.request) {
        detail::writeError(parsed.error);
        return kBadUsage;
    }
    const Request &request = *parsed.request;

    QByteArray output;
    switch (request.action) {
    case Request::Action::Help:
        output = helpText().toUtf8();
        break;
    case Request::Action::Version:
        output = versionText().toUtf8();
        break;
    case Request::Action::Mask: {
        detail::Input input = detail::readInput(request.file);
        if (!input.error.isEmpty()) {
            detail::writeError(input.error);
            return kBadInput;
        }
        if (request.playsGame()) {
            std::optional<QByteArray> post = renderGame(request, input.bytes);
            if (!post) {
                const std::optional<qsizetype> at = firstInvalidUtf8(input.bytes);
                detail::writeError(invalidAt(*at, quint8(input.bytes[*at])));
                return kBadInput;
            }
            output = std::move(*post);
            break;
        }
        Rendered rendered = renderUtf8(request, std::move(input.bytes));
        if (!rendered.text) {
            detail::writeError(rendered.invalidOffset >= 0
                                   ? invalidAt(rendered.invalidOffset, rendered.invalidByte)
                                   : u"le texte n'est pas de l'UTF-8 valide"_s);
            return kBadInput;
        }
        output = std::move(*rendered.text);
        break;
    }
    case Request::Action::ListGames:
    case Request::Action::PostGame: {
        StoredOutput stored = request.action == Request::Action::ListGames
                                  ? listStoredGames()
                                  : postStoredGame(request);
        if (!stored.text) {
            detail::writeError(stored.error);
            return kBadInput;
        }
        output = std::move(*stored.text);
        break;
    }
    }

    if (const std::optional<QString> error = detail::writeOutput(output)) {
        if (!error->isEmpty())
            detail::writeError(*error);
        return kBadInput;
    }
    return kSuccess;
}

} // namespace

int run(const QStringList &arguments)
{
    // Within the input's bound memory may still run out (a limit set by the
    // user, a small machine): a French line, not an abort.
    try {
        return runUnguarded(arguments);
    } catch (const std::bad_alloc &) {
        detail::writeError(u"mémoire insuffisante pour traiter ce texte"_s);
        return kBadInput;
    }
}

} // namespace lexorne::cli
