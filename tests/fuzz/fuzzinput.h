// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// What the fuzz targets share: the fuzzer's bytes read as the values a
// target needs, and a property check that stops the run with the evidence.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace lexorne::fuzz {

class Input
{
public:
    Input(const std::uint8_t *data, std::size_t size) : m_data(data), m_size(size) {}

    // The next byte; 0 once the bytes are used up.
    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }

    // A null text (byte 255), or up to maxUnits code units.
    QString maybeNull(int maxUnits)
    {
        const std::uint8_t length = byte();
        if (length == 255)
            return QString();
        return units(length % (maxUnits + 1));
    }

    // The next count UTF-16 code units, little-endian: any 16-bit value,
    // lone surrogates and U+0000 included. Fewer when the bytes run out.
    QString units(std::size_t count)
    {
        QString text;
        while (count-- > 0 && m_at + 1 < m_size) {
            text += QChar(char16_t(m_data[m_at] | (m_data[m_at + 1] << 8)));
            m_at += 2;
        }
        return text;
    }
    QString rest() { return units(m_size); }
    // The bytes left, as they are.
    QByteArray restBytes()
    {
        const std::size_t at = m_at;
        m_at = m_size;
        return QByteArray(reinterpret_cast<const char *>(m_data + at), qsizetype(m_size - at));
    }

private:
    const std::uint8_t *m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

inline QString escaped(const QString &text)
{
    QString out;
    for (QChar c : text)
        out += c.unicode() >= 0x20 && c.unicode() < 0x7F
                   ? QString(c)
                   : QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
    return out;
}

// Stops the run (libFuzzer keeps the input) when a property fails.
inline void check(bool holds, const char *property, const QString &got = {},
                  const QString &expected = {})
{
    if (holds)
        return;
    std::fprintf(stderr, "property broken: %s\n  got:      %s\n  expected: %s\n", property,
                 qPrintable(escaped(got)), qPrintable(escaped(expected)));
    std::abort();
}

} // namespace lexorne::fuzz
