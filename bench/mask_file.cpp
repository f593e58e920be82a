// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Masks a UTF-8 file with the engine, for a side-by-side run with a sed
// script on the very same bytes:
//
//   lexorne_mask_file LETTERS INPUT OUTPUT
//
// LETTERS are the ticked capitals ("AENRST"). Prints the median over five
// runs of the decoding, the masking (no log) and the encoding, in
// milliseconds, and writes the masked text to OUTPUT in UTF-8.
#include "engine/engine.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>

namespace {

template <typename Work>
double medianMs(Work &&work)
{
    std::array<double, 5> runs{};
    for (double &run : runs) {
        const auto began = std::chrono::steady_clock::now();
        work();
        run = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began)
                  .count();
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: lexorne_mask_file LETTERS INPUT OUTPUT\n");
        return 2;
    }
    for (const char *c = argv[1]; *c; ++c) {
        if (*c < 'A' || *c > 'Z') {
            std::fprintf(stderr, "lexorne_mask_file: LETTERS are capitals A to Z\n");
            return 2;
        }
    }
    const lexorne::Board board = lexorne::Board::fromLetters(QString::fromLatin1(argv[1]));
    QFile input(QString::fromLocal8Bit(argv[2]));
    QFile output(QString::fromLocal8Bit(argv[3]));
    if (!input.open(QIODevice::ReadOnly) || !output.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "lexorne_mask_file: cannot open the files\n");
        return 1;
    }
    const QByteArray bytes = input.readAll();

    QString text;
    const double decodeMs = medianMs([&] { text = QString::fromUtf8(bytes); });
    QString masked;
    const double maskMs = medianMs([&] { masked = lexorne::RenderQuotation(text, board); });
    QByteArray encoded;
    const double encodeMs = medianMs([&] { encoded = masked.toUtf8(); });
    if (output.write(encoded) != encoded.size()) {
        std::fprintf(stderr, "lexorne_mask_file: cannot write the output\n");
        return 1;
    }
    std::printf("decode_ms=%.2f mask_ms=%.2f encode_ms=%.2f\n", decodeMs, maskMs, encodeMs);
    return 0;
}
