// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's filter: UTF-8 in, fed block by block as it is read,
// and out the masked text, then the steps after the masking (the highlight)
// and the closing lines (the log), in memory that does not grow with the
// input. The output is byte for byte what the whole text rendered at once
// gives (render()).
#pragma once

#include "cli/cli.h"

#include "engine/lettercount.h"
#include "engine/utf8mask.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace lexorne::cli {

// A step after the masking (the highlight, a forum's escaping): fed the
// masked text piece by piece in order, then the closing lines, then told the
// text has ended. A piece ends where any text may end; what a step needs from
// one piece to the next (an open escape, the start of a line) it keeps.
class TextStep
{
public:
    TextStep() = default;
    TextStep(const TextStep &) = delete;
    TextStep &operator=(const TextStep &) = delete;
    virtual ~TextStep() = default;

    // Appends to out what piece becomes; may keep some of it back.
    virtual void feed(const QString &piece, QString &out) = 0;
    // The text has ended: appends what was kept back.
    virtual void finish(QString &out);
};

// What a closing line may read, once the whole quotation has gone through.
struct Summary
{
    const Board &board;
    // The quotation's letters; counted only when a closing asked for them.
    const LetterTally &letters;
};

// Text that follows the quotation (the log, then whatever comes later),
// made once the whole quotation is known.
using Closing = std::function<QString(const Summary &)>;

class Filter
{
public:
    // The masking for request.board, then the highlight and the log when
    // the request asks for them.
    explicit Filter(const Request &request, qsizetype pieceBytes = kPieceBytes);
    ~Filter();
    Filter(const Filter &) = delete;
    Filter &operator=(const Filter &) = delete;

    // A step after the ones already there (the highlight is one when asked).
    void addStep(std::unique_ptr<TextStep> step);
    // A closing after the ones already there (the log is one when asked).
    void addClosing(Closing closing, bool needsLetterCounts);

    // The next bytes of the input, any number. Appends to out the output
    // ready so far (the end of the input is held back until it is known
    // where a character, and NFC's reach, ends). False once the input is
    // found not to be UTF-8, or too odd to cut (error()).
    bool feed(QByteArrayView bytes, QByteArray &out);
    // The input has ended: the rest of it, the closing lines and what the
    // steps held back.
    bool finish(QByteArray &out);

    // Why feed() or finish() failed: a French line.
    QString error() const;

    // Pieces that fit in the processor's cache.
    static constexpr qsizetype kPieceBytes = qsizetype{16} * 1024;
    // The longest stretch held back with nowhere to cut it: past it, a cut
    // before any letter of any script; with none, the text is refused.
    static constexpr qsizetype kLongestHeld = qsizetype{1} << 20;

private:
    bool work(QByteArrayView span, QByteArray &out);
    bool piece(QByteArrayView in, QByteArray &out);
    bool holdCheck(QByteArray &out);

    Board m_board;
    qsizetype m_pieceBytes;
    std::vector<std::unique_ptr<TextStep>> m_steps;
    std::vector<Closing> m_closings;
    bool m_countLetters = false;
    LetterTally m_letters;
    std::optional<Utf8Masker> m_direct;

    QStringDecoder m_decoder;
    QStringEncoder m_encoder;
    QByteArray m_held;      // the input's end, after its last place to cut
    qsizetype m_offset = 0; // of the next byte to work through, from 0
    QString m_error;
};

} // namespace lexorne::cli
