// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The one UTF-8 decoder: what sequence starts at a byte, for the command
// line's check of its input and the store's reading of a quotation kept as
// bytes (which may hold lone surrogates).
#pragma once

#include <QByteArrayView>

#include <optional>

namespace lexorne {

// A sequence's code point and its length in bytes; length 0 when no
// well-formed sequence starts there.
struct Utf8Sequence
{
    char32_t code = 0;
    int length = 0;
};

enum class Surrogates : bool
{
    Refused, // well-formed UTF-8 only
    Allowed, // also the three-byte forms of U+D800..U+DFFF
};

// The sequence at bytes[at]. Ill-formed: a byte that starts no sequence, a
// sequence cut short by a wrong byte or by the end, an overlong form, a code
// point past U+10FFFF, and a surrogate unless allowed.
Utf8Sequence decodeUtf8(QByteArrayView bytes, qsizetype at,
                        Surrogates surrogates = Surrogates::Refused);

// Byte offset of the first byte that is not part of well-formed UTF-8, or
// nothing when all of bytes is well formed.
std::optional<qsizetype> firstInvalidUtf8(QByteArrayView bytes);

} // namespace lexorne
