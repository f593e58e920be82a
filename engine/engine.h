// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Puzzle engine: turns a quotation and the letter board into the text the
// game master posts, with the optional log of proposed letters.
//
// Every function here is pure: the caller reads its widgets and passes the
// values in. Nothing is kept between calls. The board and the characters it
// hides are in engine/board.h, the letter counts in engine/lettercount.h,
// the NFC boundary in engine/nfc.h, masking straight in UTF-8 in
// engine/utf8mask.h.
#pragma once

#include "engine/board.h"
#include "engine/lettercount.h"

#include <QChar>
#include <QString>

namespace lexorne {

// What the log below the masked text holds.
struct LogOptions
{
    // "Log des lettres demandées": three carriage returns and the proposed
    // letters ("   E - N").
    bool letterLog = false;
    // "Lettres absentes": then, when some proposed letter does not occur in
    // the quotation, a carriage return and "   Absentes : K - W (2)".
    // Nothing without letterLog.
    bool absentLetters = false;
};

// Output for one character that the engine classifies as a letter: the
// character itself when a ticked box's caption matches it (either case),
// otherwise the accent rule's verdict for c.
QChar RevealCharacter(QChar c, const Board &board);

// text followed by the log: three carriage returns, the log line ("   E - N",
// empty when no box is ticked) and, with options.absentLetters, the line of
// the proposed letters the quotation (counted in `letters`) does not hold.
// Appending to empty text gives the log alone.
QString AppendLetterLog(QString text, const Board &board, const LetterTally &letters,
                        LogOptions options);

// Masks the whole quotation (brought to NFC first) and appends the log the
// options ask for. The masked part has exactly the length of the NFC
// quotation. Any length works.
QString RenderQuotation(const QString &quotation, const Board &board, LogOptions log = {});

} // namespace lexorne
