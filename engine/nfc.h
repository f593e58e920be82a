// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Canonical composition (NFC) of long texts, for the engine's own use.
#pragma once

#include <QString>

namespace lexorne::detail {

// Where the pieces may be cut: before any unit below U+0300. Such a unit is
// a starter that composes with nothing before it, so NFC never reaches across.
inline constexpr char16_t kNfcSafeCutBelow = 0x300;
inline constexpr qsizetype kNfcPieceSize = 4096;

// text in NFC, exactly as QString::normalized(NormalizationForm_C) gives it,
// but normalized in pieces of about pieceSize units cut at safe places: Qt's
// own pass takes time in the square of the length (200 K units of decomposed
// accents take seconds), which would freeze the window on a long paste.
QString toNfc(const QString &text, qsizetype pieceSize = kNfcPieceSize);

} // namespace lexorne::detail
