// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// What the store's file must be before Qt parses it: bounded in size, UTF-8,
// and holding only the kinds of values the store writes. Qt's INI reader
// turns a value written "@Variant(…)" into whatever type its bytes name,
// through QDataStream and the decoders behind it: such a file is never
// handed to it.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace lexorne::settings {

// Far beyond any game (a million-character quotation takes a few MiB).
inline constexpr qint64 kMaxStoreBytes = qint64{64} * 1024 * 1024;

// Whether every value of the INI text is plain text, a list of texts, or a
// byte array: no value, nor any element of a list, that Qt would read as
// another type ("@Variant(", "@DateTime(", "@Rect(", …), however it is
// quoted or escaped. "@@" (a text starting with "@") and "@ByteArray(" pass.
bool holdsOnlyPlainValues(QByteArrayView ini);

// Whether the file at path may be given to Qt: absent or unreadable (Qt
// reports that itself), or within kMaxStoreBytes, valid UTF-8 and holding
// only plain values.
bool isAcceptableStoreFile(const QString &path);

// Makes the store's file (path) mode 0600 and its folder 0700 when they are
// looser and this user's, never through a link; with makeFolder, a missing
// folder is made 0700 first. Nothing where modes do not apply (Windows).
// One source file per platform.
void makePrivate(const QString &path, bool makeFolder);

} // namespace lexorne::settings
