// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// How the quotation is kept in the store, lone surrogates included.
#include "settings/settings.h"

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
    const auto byte = [&bytes](qsizetype i) {
        return static_cast<unsigned char>(bytes.at(i));
    };
    const auto isTail = [&](qsizetype i) {
        return i < bytes.size() && (byte(i) & 0xC0) == 0x80;
    };
    for (qsizetype i = 0; i < bytes.size();) {
        const unsigned char lead = byte(i);
        char32_t code = 0;
        int length = 0;
        char32_t minimum = 0;
        if (lead < 0x80) {
            code = lead;
            length = 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            code = lead & 0x1F;
            length = 2;
            minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            code = lead & 0x0F;
            length = 3;
            minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            code = lead & 0x07;
            length = 4;
            minimum = 0x10000;
        }
        bool valid = length > 0;
        for (int k = 1; valid && k < length; ++k) {
            if (!isTail(i + k))
                valid = false;
            else
                code = (code << 6) | (byte(i + k) & 0x3F);
        }
        if (valid && (code < minimum || code > 0x10FFFF))
            valid = false;
        if (!valid) {
            text += QChar(QChar::ReplacementCharacter);
            ++i;
            continue;
        }
        appendCode(text, code);
        i += length;
    }
    return text;
}

} // namespace lexorne::settings
