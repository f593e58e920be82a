// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/activationrequest.h"

#include <QtGlobal>

namespace lexorne::app {

namespace {

// The request is a few short lines; anything longer is not from us.
constexpr QByteArrayView kHeader = "LEXORNE ACTIVATE";
constexpr QByteArrayView kEnd = "END";
constexpr QByteArrayView kReply = "OK\n";
constexpr QByteArrayView kXdgToken = "XDG_ACTIVATION_TOKEN";
constexpr QByteArrayView kStartupId = "DESKTOP_STARTUP_ID";
constexpr qsizetype kMaxLine = 1024;
constexpr qsizetype kMaxRequest = 4096;

} // namespace

bool isPlausibleToken(QByteArrayView value)
{
    if (value.isEmpty() || value.size() > kMaxLine - 32)
        return false;
    for (char c : value) {
        if (c < 0x21 || c > 0x7E)
            return false;
    }
    return true;
}

ActivationTokens ActivationTokens::fromEnvironment()
{
    ActivationTokens tokens;
    const QByteArray xdg = qgetenv("XDG_ACTIVATION_TOKEN");
    const QByteArray startup = qgetenv("DESKTOP_STARTUP_ID");
    if (isPlausibleToken(xdg))
        tokens.xdgActivationToken = xdg;
    if (isPlausibleToken(startup))
        tokens.desktopStartupId = startup;
    return tokens;
}

void ActivationTokens::applyToEnvironment() const
{
    if (!xdgActivationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", xdgActivationToken);
    if (!desktopStartupId.isEmpty())
        qputenv("DESKTOP_STARTUP_ID", desktopStartupId);
}

QByteArray encodeActivationRequest(const ActivationTokens &tokens)
{
    QByteArray request = kHeader.toByteArray() + '\n';
    if (isPlausibleToken(tokens.xdgActivationToken))
        request += kXdgToken.toByteArray() + '=' + tokens.xdgActivationToken + '\n';
    if (isPlausibleToken(tokens.desktopStartupId))
        request += kStartupId.toByteArray() + '=' + tokens.desktopStartupId + '\n';
    request += kEnd.toByteArray() + '\n';
    return request;
}

QByteArrayView activationReply()
{
    return kReply;
}

ReplyVerdict judgeActivationReply(QByteArrayView received)
{
    if (received == kReply)
        return ReplyVerdict::Accepted;
    if (kReply.startsWith(received))
        return ReplyVerdict::Waiting;
    return ReplyVerdict::Refused;
}

ActivationRequestReader::State ActivationRequestReader::feed(QByteArrayView bytes)
{
    while (m_state == State::Reading && !bytes.isEmpty()) {
        const qsizetype newline = bytes.indexOf('\n');
        const qsizetype taken = newline < 0 ? bytes.size() : newline + 1;
        m_received += taken;
        if (m_received > kMaxRequest || m_partial.size() + taken > kMaxLine + 1)
            return m_state = State::Rejected;
        m_partial += bytes.first(taken);
        bytes = bytes.sliced(taken);
        if (newline < 0)
            break;
        m_partial.chop(1);
        m_state = readLine(m_partial);
        m_partial.clear();
    }
    return m_state;
}

ActivationRequestReader::State ActivationRequestReader::readLine(QByteArrayView line)
{
    if (!m_header) {
        m_header = line == kHeader;
        return m_header ? State::Reading : State::Rejected;
    }
    if (line == kEnd)
        return State::Complete;
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return State::Reading;
    const QByteArrayView key = line.first(equals);
    const QByteArrayView value = line.sliced(equals + 1);
    if (!isPlausibleToken(value))
        return State::Reading;
    if (key == kXdgToken)
        m_tokens.xdgActivationToken = value.toByteArray();
    else if (key == kStartupId)
        m_tokens.desktopStartupId = value.toByteArray();
    return State::Reading;
}

} // namespace lexorne::app
