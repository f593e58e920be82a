// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The request a later start sends the running copy: a header line, the
// desktop's activation tokens, an end line. Written and read here only.
#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace lexorne::app {

// What the desktop gave a start so that the window it raises may take the
// focus (Wayland's activation token, the X11 startup id). Passed on to the
// running copy, which puts them into its environment before activating.
struct ActivationTokens
{
    QByteArray xdgActivationToken;
    QByteArray desktopStartupId;

    // Read before the application object exists, which may consume them.
    static ActivationTokens fromEnvironment();
    void applyToEnvironment() const;
    bool operator==(const ActivationTokens &) const = default;
};

// Tokens are opaque printable ASCII of bounded length; anything else is
// dropped rather than put into the environment.
bool isPlausibleToken(QByteArrayView value);

// The request for tokens, as sent.
QByteArray encodeActivationRequest(const ActivationTokens &tokens);

// The reply that says a request was handled.
QByteArrayView activationReply();

// What the bytes a start has received so far in reply say: only the exact
// reply counts; its beginning is worth waiting for; anything else (more
// bytes, other bytes) is a refusal.
enum class ReplyVerdict
{
    Waiting,
    Accepted,
    Refused
};
ReplyVerdict judgeActivationReply(QByteArrayView received);

// Reads one request from bytes arriving in pieces of any size. Bounded: a
// line or a request longer than any we send is rejected, as is a wrong
// header; lines it does not know, and implausible tokens, are skipped.
class ActivationRequestReader
{
public:
    enum class State
    {
        Reading,
        Complete,
        Rejected
    };

    // Takes the next bytes; once Complete or Rejected, takes no more.
    State feed(QByteArrayView bytes);
    State state() const { return m_state; }
    // Meaningful once Complete.
    const ActivationTokens &tokens() const { return m_tokens; }

private:
    State readLine(QByteArrayView line);

    State m_state = State::Reading;
    bool m_header = false;
    qsizetype m_received = 0;
    QByteArray m_partial;
    ActivationTokens m_tokens;
};

} // namespace lexorne::app
