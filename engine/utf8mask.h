// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Masking straight in UTF-8, for the text that needs no more than that.
// French prose is nearly all characters below U+0300 and typographic
// punctuation: NFC leaves those alone and the engine's letters are all
// among them, so such text can skip the round trip through UTF-16 and still
// come out as RenderQuotation would make it.
#pragma once

#include "engine/board.h"

#include <QByteArrayView>

#include <array>

namespace lexorne {

class Utf8Masker
{
public:
    explicit Utf8Masker(const Board &board);

    // Writes the masked form of piece to out, which has room for
    // piece.size() bytes (masking never lengthens UTF-8 text) and does not
    // overlap it, and returns its length, when the piece holds only
    // well-formed characters that are NFC safe cuts or inert (engine/nfc.h);
    // returns -1 when it holds anything else, out then being undefined.
    qsizetype mask(QByteArrayView piece, char *out) const;

private:
    MaskedCodes m_hidden;
    std::array<unsigned char, 128> m_ascii{}; // output byte per ASCII byte
};

} // namespace lexorne
