// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Internal to the command line: masking straight in UTF-8, for the text
// that needs no more than that. French prose is nearly all characters below
// U+0300 and typographic punctuation: NFC leaves those alone and the
// engine's letters are all among them, so such text can skip the round trip
// through UTF-16 and still come out as the engine would make it.
#pragma once

#include "engine/engine.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>

namespace lexorne::cli::detail {

class Utf8Masker
{
public:
    // The engine's own verdict on each code 0..255 under board.
    explicit Utf8Masker(const Board &board);

    // Writes the masked form of piece to out, which has room for
    // piece.size() bytes (masking never lengthens UTF-8 text), and returns
    // its length, when the piece holds only well-formed characters below
    // U+0300 or from the NFC-inert punctuation and currency blocks; returns
    // -1 when it holds anything else.
    qsizetype mask(QByteArrayView piece, char *out) const;

private:
    std::array<unsigned char, 128> m_ascii{}; // output byte per ASCII byte
    std::array<bool, 64> m_latin1Hidden{};    // U+00C0 + i hidden
};

} // namespace lexorne::cli::detail
