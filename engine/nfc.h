// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The NFC boundary: which text the masking must bring to NFC first, where
// text may be cut so that NFC gives the same result piece by piece, and the
// normalization itself for long texts. The one place that knows it, for
// the engine and for the command line's UTF-8 path.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>

namespace lexorne {

// Below U+0300 no code unit is a combining mark or composes with what
// precedes it: text made only of such units is already NFC, and cutting
// text just before such a unit never changes its NFC.
inline constexpr char16_t kNfcSafeCutBelow = 0x300;

constexpr bool isNfcSafeCut(char16_t c)
{
    return c < kNfcSafeCutBelow;
}

// Wide units that NFC leaves alone whatever precedes them: typographic
// punctuation (’ “ ” — …, U+2010..U+205E) and currency signs
// (U+20A0..U+20C0), common in pasted French text.
constexpr bool isNfcInert(char16_t c)
{
    return (c >= 0x2010 && c <= 0x205E) || (c >= 0x20A0 && c <= 0x20C0);
}

// Whether NFC leaves text cut just before character c as it leaves the
// whole, in any script: the safe cuts and inert units above, and the letters
// that are neither combining nor ever joined to what precedes them (Hangul
// jamo are). Slower than the tests above; for text that has none of their
// places to cut, such as a long run of ideographs.
bool isNfcSafeCutAnyScript(char32_t c);

// Whether the text holds a unit that is neither below U+0300 nor inert:
// only such text may differ from its NFC.
bool mayNeedNfc(QStringView text);

// The same for UTF-8: whether byte b starts a character below U+0300
// (ASCII, or the lead byte of U+0080..U+02FF), where UTF-8 text may be cut.
constexpr bool startsNfcSafeCutUtf8(std::uint8_t b)
{
    return b < 0x80 || (b >= 0xC2 && b <= 0xCB);
}

// Whether the three UTF-8 bytes b0 b1 b2 encode an inert unit.
constexpr bool isNfcInertUtf8(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2)
{
    if (b0 != 0xE2 || (b1 & 0xC0) != 0x80 || (b2 & 0xC0) != 0x80)
        return false;
    return isNfcInert(char16_t(((b1 & 0x3F) << 6) | (b2 & 0x3F) | 0x2000));
}

// Where UTF-8 text that starts at `from` may end a piece of about `size`
// bytes: at a safe cut near from + size, the nearest one before it or else
// the first one after it; the end of the text when it is near or there is
// no cut.
qsizetype nfcPieceEndUtf8(QByteArrayView bytes, qsizetype from, qsizetype size);

inline constexpr qsizetype kNfcPieceSize = 4096;

// text in NFC, exactly as QString::normalized(NormalizationForm_C) gives it,
// but normalized in pieces of about pieceSize units cut at safe places: Qt's
// own pass takes time in the square of the length (200 K units of decomposed
// accents take seconds), which would freeze the window on a long paste.
QString toNfc(const QString &text, qsizetype pieceSize = kNfcPieceSize);

} // namespace lexorne
