// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/nfc.h"

#include <algorithm>

namespace lexorne::detail {

QString toNfc(const QString &text, qsizetype pieceSize)
{
    const qsizetype n = text.size();
    pieceSize = std::max<qsizetype>(pieceSize, 1);
    if (n <= pieceSize)
        return text.normalized(QString::NormalizationForm_C);

    QString result;
    result.reserve(n);
    qsizetype start = 0;
    while (start < n) {
        // The first safe cut at or after the piece's nominal end; a long
        // stretch without one stays whole.
        qsizetype cut = std::min(start + pieceSize, n);
        while (cut < n && text.at(cut).unicode() >= kNfcSafeCutBelow)
            ++cut;
        result += text.sliced(start, cut - start).normalized(QString::NormalizationForm_C);
        start = cut;
    }
    return result;
}

} // namespace lexorne::detail
