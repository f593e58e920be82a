// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line at work: the input read in blocks, each fed to the
// filter (cli/filter.h) and its output written as it comes, so that memory
// stays the same whatever the input's length.
#include "cli/cli.h"
#include "cli/filter.h"
#include "cli/stdio.h"

#include "highlight/highlight.h"

#include <new>

using namespace Qt::StringLiterals;

namespace lexorne::cli {

namespace {

// What one read asks for.
constexpr qsizetype kBlockBytes = qsizetype{64} * 1024;
// Output is held back until there is this much: an input that turns out
// not to be UTF-8 within its first mebibyte or so leaves the output empty.
constexpr qsizetype kHoldBytes = qsizetype{1} << 20;
// The whole game reads the quotation whole: far beyond any forum post, and
// the memory stays bounded.
constexpr qsizetype kMaxGameBytes = qsizetype{64} << 20;
// Once output has begun, it goes out in writes of about this much.
constexpr qsizetype kWriteBytes = qsizetype{256} * 1024;

// The exit status once the filter's output is written; nothing when the
// output could be written.
std::optional<int> put(QByteArray &output)
{
    if (const std::optional<QString> error = detail::writeOutput(output)) {
        if (!error->isEmpty())
            detail::writeError(*error);
        return kBadInput;
    }
    output.truncate(0);
    return std::nullopt;
}

// Reads the input to its end, a block at a time, handing each to take,
// which gives the exit status to stop with, if any. The status of a failed
// read or of take; nothing once the input has ended.
template <typename Take>
std::optional<int> eachBlock(detail::Input &input, Take take)
{
    QByteArray block(kBlockBytes, Qt::Uninitialized);
    for (;;) {
        const qint64 n = input.read(block.data(), block.size());
        if (n < 0) {
            detail::writeError(input.error());
            return kBadInput;
        }
        if (n == 0)
            return std::nullopt;
        if (const std::optional<int> status = take(QByteArrayView(block).first(qsizetype(n))))
            return status;
    }
}

// The whole game's lines and its reveal need the whole quotation at once
// (a guess is checked against all of it): read it all, then render it.
int maskWhole(const Request &request, detail::Input &input)
{
    QByteArray bytes;
    const std::optional<int> status =
        eachBlock(input, [&bytes](QByteArrayView block) -> std::optional<int> {
            if (bytes.size() + block.size() > kMaxGameBytes) {
                detail::writeError(u"citation trop longue pour toute une partie (plus de %1 Mio) : "
                                   u"--erreurs, --resultats et --reveler la lisent en entier"_s.arg(
                                       kMaxGameBytes >> 20));
                return kBadInput;
            }
            bytes.append(block);
            return std::nullopt;
        });
    if (status)
        return *status;
    if (const std::optional<qsizetype> at = firstInvalidUtf8(bytes)) {
        detail::writeError(
            u"le texte n'est pas de l'UTF-8 valide : octet 0x%1 à la position %2 "
            u"(comptée en octets depuis 0)"_s.arg(QString::number(quint8(bytes[*at]), 16).toUpper(),
                                                  QString::number(*at)));
        return kBadInput;
    }
    QByteArray output = render(request, QString::fromUtf8(bytes));
    return put(output).value_or(kSuccess);
}

int mask(const Request &request)
{
    detail::Input input(request.file);
    if (!input.error().isEmpty()) {
        detail::writeError(input.error());
        return kBadInput;
    }
    if (request.playsGame())
        return maskWhole(request, input);
    Filter filter(request);
    QByteArray output;
    output.reserve(kHoldBytes + kBlockBytes);
    qsizetype due = kHoldBytes;
    const std::optional<int> status =
        eachBlock(input, [&](QByteArrayView block) -> std::optional<int> {
            if (!filter.feed(block, output)) {
                detail::writeError(filter.error());
                return kBadInput;
            }
            if (output.size() >= due) {
                if (const std::optional<int> written = put(output))
                    return written;
                due = kWriteBytes;
            }
            return std::nullopt;
        });
    if (status)
        return *status;
    if (!filter.finish(output)) {
        detail::writeError(filter.error());
        return kBadInput;
    }
    return put(output).value_or(kSuccess);
}

} // namespace

QByteArray render(const Request &request, const QString &quotation)
{
    if (request.playsGame() && request.reveal)
        return renderGame(request, quotation).toUtf8();
    const QString masked = request.playsGame()
                               ? renderGame(request, quotation)
                               : RenderQuotation(quotation, request.board, request.log);
    if (request.forum != forum::Profile::BBCode)
        return forum::Post(request.forum, masked, request.highlightLetter,
                           forum::Mark{request.colour})
            .toUtf8();
    if (request.highlightLetter < 0)
        return masked.toUtf8();
    return highlight::HighlightLetter(masked, request.highlightLetter, request.colour).toUtf8();
}

int run(const QStringList &arguments)
{
    // Memory may still run out (a limit set by the user, a small machine):
    // a French line, not an abort.
    try {
        const Parsed parsed = parseArguments(arguments);
        if (!parsed.request) {
            detail::writeError(parsed.error);
            return kBadUsage;
        }
        QByteArray output;
        switch (parsed.request->action) {
        case Request::Action::Help:
            output = helpText().toUtf8();
            break;
        case Request::Action::Version:
            output = versionText().toUtf8();
            break;
        case Request::Action::Mask:
            return mask(*parsed.request);
        case Request::Action::ListGames:
        case Request::Action::PostGame: {
            // The stored games are small and read whole, apart from the filter.
            StoredOutput stored = parsed.request->action == Request::Action::ListGames
                                      ? listStoredGames()
                                      : postStoredGame(*parsed.request);
            if (!stored.text) {
                detail::writeError(stored.error);
                return kBadInput;
            }
            output = std::move(*stored.text);
            break;
        }
        }
        return put(output).value_or(kSuccess);
    } catch (const std::bad_alloc &) {
        detail::writeError(u"mémoire insuffisante pour traiter ce texte"_s);
        return kBadInput;
    }
}

} // namespace lexorne::cli
