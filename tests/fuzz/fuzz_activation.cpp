// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The running copy's reading of an activation request, whose bytes may come
// from anyone who reaches the socket: however they arrive, in one piece or
// many, the reading comes to the same end; it decides within the request's
// bound; what it takes for tokens is plausible, and sent again reads back
// the same.
#include "app/activationrequest.h"
#include "tests/fuzz/fuzzinput.h"

#include <QByteArray>

using namespace lexorne;
using lexorne::app::ActivationRequestReader;
using State = ActivationRequestReader::State;

namespace {

QString describe(const ActivationRequestReader &reader)
{
    const char *names[] = {"reading", "complete", "rejected"};
    return QString::fromLatin1(names[int(reader.state())]) + QLatin1Char(' ') +
           QString::fromLatin1(reader.tokens().xdgActivationToken) + QLatin1Char(' ') +
           QString::fromLatin1(reader.tokens().desktopStartupId);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Input input(data, size);
    const qsizetype piece = input.byte() % 64 + 1;
    const QByteArray bytes =
        size > 0 ? QByteArray(reinterpret_cast<const char *>(data) + 1, qsizetype(size) - 1)
                 : QByteArray();

    ActivationRequestReader whole;
    whole.feed(bytes);
    ActivationRequestReader pieces;
    for (qsizetype at = 0; at < bytes.size() && pieces.state() == State::Reading; at += piece)
        pieces.feed(QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at)));
    fuzz::check(whole.state() == pieces.state() && whole.tokens() == pieces.tokens(),
                "pieces read as the whole", describe(pieces), describe(whole));

    // Any tokens a start may send read back as they were, or not at all
    // when implausible.
    const auto kept = [](const QByteArray &token) {
        return app::isPlausibleToken(token) ? token : QByteArray();
    };
    const QByteArray first = bytes.first(bytes.size() / 2);
    const QByteArray second = bytes.sliced(bytes.size() / 2);
    ActivationRequestReader sent;
    sent.feed(app::encodeActivationRequest({first, second}));
    fuzz::check(sent.state() == State::Complete &&
                    sent.tokens() == app::ActivationTokens{kept(first), kept(second)},
                "tokens sent read back", describe(sent));

    // The same bytes as a reply, read the way a start reads it: piece by
    // piece until a verdict. Only the exact reply is taken, whatever the
    // pieces.
    QByteArray received;
    app::ReplyVerdict verdict = app::judgeActivationReply(received);
    for (qsizetype at = 0; at < bytes.size() && verdict == app::ReplyVerdict::Waiting;
         at += piece) {
        received += QByteArrayView(bytes).sliced(at, std::min(piece, bytes.size() - at));
        verdict = app::judgeActivationReply(received);
    }
    const bool exact = bytes.startsWith(app::activationReply()) &&
                       received.size() == app::activationReply().size();
    fuzz::check((verdict == app::ReplyVerdict::Accepted) == exact, "only the reply is taken",
                QString::fromLatin1(received.toHex()));
    fuzz::check(verdict != app::ReplyVerdict::Waiting || app::activationReply().startsWith(bytes),
                "a reply is judged once it cannot be the reply",
                QString::fromLatin1(bytes.toHex()));

    if (whole.state() == State::Reading)
        fuzz::check(bytes.size() <= 4096, "a request over the bound is decided",
                    QString::number(bytes.size()));
    if (whole.state() != State::Complete)
        return 0;

    fuzz::check(bytes.startsWith("LEXORNE ACTIVATE\n"), "only a request with the header completes",
                describe(whole));
    for (const QByteArray &token :
         {whole.tokens().xdgActivationToken, whole.tokens().desktopStartupId})
        fuzz::check(token.isEmpty() || app::isPlausibleToken(token), "tokens are plausible",
                    QString::fromLatin1(token));
    ActivationRequestReader again;
    again.feed(app::encodeActivationRequest(whole.tokens()));
    fuzz::check(again.state() == State::Complete && again.tokens() == whole.tokens(),
                "a request sent again reads back the same", describe(again), describe(whole));
    return 0;
}
