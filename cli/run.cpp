// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line at work: one read, one decode, the engine, one encode,
// one write.
#include "cli/cli.h"
#include "cli/stdio.h"

#include "highlight/highlight.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace lexorne::cli {

namespace {

QString invalidAt(qsizetype offset, quint8 byte)
{
    return u"le texte n'est pas de l'UTF-8 valide : octet 0x%1 à la position %2 "
           u"(comptée en octets depuis 0)"_s.arg(QString::number(byte, 16).toUpper(),
                                                 QString::number(offset));
}

} // namespace

QByteArray render(const Request &request, const QString &quotation)
{
    QString text = RenderQuotation(quotation, request.board, request.withLog);
    if (request.highlightLetter >= 0)
        text = highlight::HighlightLetter(text, request.highlightLetter, request.colour);
    return text.toUtf8();
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
        QString quotation;
        {
            const detail::Input input = detail::readInput(request.file);
            if (!input.error.isEmpty()) {
                detail::writeError(input.error);
                return kBadInput;
            }
            // A byte order mark is kept as it came, like every other non-letter.
            QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
            quotation = decoder(input.bytes);
            if (decoder.hasError()) {
                const std::optional<qsizetype> offset = firstInvalidUtf8(input.bytes);
                detail::writeError(offset ? invalidAt(*offset, quint8(input.bytes[*offset]))
                                          : u"le texte n'est pas de l'UTF-8 valide"_s);
                return kBadInput;
            }
        }
        output = render(request, quotation);
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
