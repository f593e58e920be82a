// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// How the quotation is kept in the store, lone surrogates included.
#include "settings/settings.h"

#include "engine/utf8.h"

namespace lexorne::settings {

namespace {

void appendUtf8(QByteArray &out, char32_t code)
{
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xF0 | (code >> 18));
        out += char(0x80 | ((code >> 12) & 0x3F));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

void appendCode(QString &out, char32_t code)
{
    if (code >= 0x10000) {
        out += QChar(QChar::highSurrogate(code));
        out += QChar(QChar::lowSurrogate(code));
    } else {
        out += QChar(char16_t(code));
    }
}

} // namespace

QVariant Store::encodeQuotation(const QString &text)
{
    if (text.isValidUtf16())
        return text;
    QByteArray bytes;
    bytes.reserve(text.size() * 3);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            appendUtf8(bytes, QChar::surrogateToUcs4(c, text.at(i + 1)));
            ++i;
        } else {
            appendUtf8(bytes, c.unicode()); // a lone surrogate takes three bytes
        }
    }
    return bytes;
}

QString Store::decodeQuotation(const QVariant &stored)
{
    switch (stored.typeId()) {
    case QMetaType::QString:
        return stored.toString();
    case QMetaType::QStringList:
        // An unquoted text with commas, typed into the file by hand.
        return stored.toStringList().join(QStringLiteral(", "));
    case QMetaType::QByteArray:
        break;
    default:
        return stored.canConvert<QString>() ? stored.toString() : QString();
    }

    // UTF-8 that also accepts surrogates; a byte that starts no valid
    // sequence becomes U+FFFD and decoding goes on after it.
    const QByteArray bytes = stored.toByteArray();
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        const Utf8Sequence sequence = decodeUtf8(bytes, i, Surrogates::Allowed);
        if (sequence.length == 0) {
            text += QChar(QChar::ReplacementCharacter);
            ++i;
            continue;
        }
        appendCode(text, sequence.code);
        i += sequence.length;
    }
    return text;
}

} // namespace lexorne::settings
