// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line at work: one read, then decoding, masking and encoding
// piece by piece into one output buffer, then one write. Pieces that fit in
// the processor's cache spare a big input the page faults and memory traffic
// of three full-size intermediate copies.
#include "cli/cli.h"
#include "cli/stdio.h"

#include "highlight/highlight.h"

#include <QStringDecoder>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace lexorne::cli {

namespace {

QString invalidAt(qsizetype offset, quint8 byte)
{
    return u"le texte n'est pas de l'UTF-8 valide : octet 0x%1 à la position %2 "
           u"(comptée en octets depuis 0)"_s.arg(QString::number(byte, 16).toUpper(),
                                                 QString::number(offset));
}

// Where the piece starting at `from` may end: just before an ASCII byte
// near `from + size`. An ASCII byte starts a UTF-8 sequence and a character
// that never composes with what precedes it, so masking (which brings text
// to NFC) gives the same result piece by piece as on the whole text. Text
// without ASCII runs on to the next ASCII byte, or to its end.
qsizetype pieceEnd(QByteArrayView bytes, qsizetype from, qsizetype size)
{
    const qsizetype n = bytes.size();
    if (n - from <= size)
        return n;
    for (qsizetype cut = from + size; cut > from; --cut)
        if (quint8(bytes[cut]) < 0x80)
            return cut;
    for (qsizetype cut = from + size + 1; cut < n; ++cut)
        if (quint8(bytes[cut]) < 0x80)
            return cut;
    return n;
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
    return finish(request, RenderQuotation(quotation, request.board, request.withLog)).toUtf8();
}

std::optional<QByteArray> renderUtf8(const Request &request, QByteArrayView bytes,
                                     qsizetype pieceBytes)
{
    // Each piece on its own; a byte order mark is kept, like every non-letter.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QStringEncoder encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless);
    QByteArray out;
    // Masking never lengthens UTF-8 text ('*' is one byte), but NFC may.
    out.reserve(bytes.size() + bytes.size() / 16 + 256);
    const auto append = [&](QStringView text) {
        const qsizetype used = out.size();
        out.resize(used + encoder.requiredSpace(text.size()));
        char *end = encoder.appendToBuffer(out.data() + used, text);
        out.resize(end - out.constData());
    };

    QString piece;
    const Board &board = request.board;
    for (qsizetype from = 0; from < bytes.size();) {
        const qsizetype to = pieceEnd(bytes, from, pieceBytes);
        const QByteArrayView in = bytes.sliced(from, to - from);
        piece.resize(decoder.requiredSpace(in.size()));
        const QChar *end = decoder.appendToBuffer(piece.data(), in);
        if (decoder.hasError())
            return std::nullopt;
        piece.resize(end - piece.constData());
        append(finish(request, RenderQuotation(piece, board, false)));
        from = to;
    }
    if (request.withLog)
        append(finish(request, RenderQuotation(QString(), board, true)));
    return out;
}

int run(const QStringList &arguments)
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
        const detail::Input input = detail::readInput(request.file);
        if (!input.error.isEmpty()) {
            detail::writeError(input.error);
            return kBadInput;
        }
        std::optional<QByteArray> rendered = renderUtf8(request, input.bytes);
        if (!rendered) {
            // Only now look for where: valid text never pays for this pass.
            const std::optional<qsizetype> offset = firstInvalidUtf8(input.bytes);
            detail::writeError(offset ? invalidAt(*offset, quint8(input.bytes[*offset]))
                                      : u"le texte n'est pas de l'UTF-8 valide"_s);
            return kBadInput;
        }
        output = std::move(*rendered);
        break;
    }
    }

    if (const QString error = detail::writeOutput(output); !error.isEmpty()) {
        detail::writeError(error);
        return kBadInput;
    }
    return kSuccess;
}

} // namespace lexorne::cli
