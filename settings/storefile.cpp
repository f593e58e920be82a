// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/storefile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>

namespace lexorne::settings {

namespace {

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    return (c | 0x20) - 'a' + 10;
}

// How many bytes from text[at] belong together: one, or a backslash and the
// byte it escapes, or a backslash and a CR LF line break.
qsizetype escapeLength(QByteArrayView text, qsizetype at)
{
    if (text[at] != '\\')
        return 1;
    if (text.sliced(at).startsWith("\\\r\n"))
        return 3;
    return 2;
}

// The character an escape at text[at] (just after the backslash) gives, the
// way Qt reads it: \xHHH… and \ooo… keep growing and Qt keeps the low 16
// bits; *end is where the escape stops.
char16_t escapedCharacter(QByteArrayView text, qsizetype at, qsizetype *end)
{
    char16_t value = 0;
    qsizetype i = at;
    if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
        ++i;
        while (i < text.size() && isHex(text[i]))
            value = char16_t((value << 4) | hexValue(text[i++]));
    } else if (i < text.size() && text[i] >= '0' && text[i] <= '7') {
        while (i < text.size() && text[i] >= '0' && text[i] <= '7')
            value = char16_t((value << 3) | (text[i++] - '0'));
    } else {
        // A one-letter escape (\n, \", \\ …): never an "@".
        value = i < text.size() ? char16_t(text[i]) : 0;
        if (value == u'@')
            value = 0;
        i = std::min(i + 1, text.size());
    }
    *end = i;
    return value;
}

// Whether the value (what follows "=" up to the end of its line) has an
// element that Qt would turn into a type of its own.
bool hasTypedElement(QByteArrayView value)
{
    bool atStart = true;
    bool quoted = false;
    for (qsizetype i = 0; i < value.size();) {
        const char c = value[i];
        if (atStart) {
            if (!quoted && (c == ' ' || c == '\t')) {
                ++i;
                continue;
            }
            if (c == '"') {
                quoted = !quoted;
                ++i;
                continue;
            }
            if (c == '\\' && i + 1 < value.size() &&
                (value[i + 1] == '\n' || value[i + 1] == '\r')) {
                i += escapeLength(value, i); // a line continued: still the start
                continue;
            }
            if (c == '@') {
                const QByteArrayView rest = value.sliced(i + 1);
                if (!rest.startsWith('@') && !rest.startsWith("ByteArray("))
                    return true;
            } else if (c == '\\') {
                qsizetype end = 0;
                // Qt never writes an escaped "@" at the start of a text.
                if (escapedCharacter(value, i + 1, &end) == u'@')
                    return true;
                i = end;
                atStart = false;
                continue;
            }
            atStart = false;
        }
        if (c == '\\') {
            i += escapeLength(value, i);
            continue;
        }
        if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            atStart = true;
        ++i;
    }
    return false;
}

} // namespace

bool holdsOnlyPlainValues(QByteArrayView ini)
{
    qsizetype lineStart = 0;
    while (lineStart < ini.size()) {
        // A value runs to the end of its line, and on past an escaped line
        // break.
        qsizetype end = lineStart;
        while (end < ini.size() && ini[end] != '\n' && ini[end] != '\r')
            end += escapeLength(ini, end);
        end = std::min(end, ini.size());
        const QByteArrayView line = ini.sliced(lineStart, end - lineStart);
        // Every line with "=" is judged, comments included: judging too much
        // only sets a file aside.
        if (const qsizetype equals = line.indexOf('=');
            equals >= 0 && hasTypedElement(line.sliced(equals + 1)))
            return false;
        lineStart = end + 1;
    }
    return true;
}

bool isAcceptableStoreFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    const qint64 size = file.size();
    if (size > kMaxStoreBytes)
        return false;
    // Read through a bounded buffer: the file may have grown since.
    const QByteArray bytes = file.read(kMaxStoreBytes + 1);
    if (bytes.size() > kMaxStoreBytes)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    Q_UNUSED(text);
    return !decoder.hasError() && holdsOnlyPlainValues(bytes);
}

} // namespace lexorne::settings
