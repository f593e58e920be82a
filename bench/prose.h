// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The quotations the benchmarks measure on: each benchmark's own prose,
// repeated after an optional start and cut to size characters.
#pragma once

#include <QString>
#include <QStringView>

namespace lexorne::bench {

inline QString repeatedTo(qsizetype size, QStringView lines, QString text = {})
{
    text.reserve(size + lines.size());
    while (text.size() < size)
        text += lines;
    text.truncate(size);
    return text;
}

} // namespace lexorne::bench
