// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The store's quotation encoding: any text, lone surrogates included, comes
// back exactly; any stored bytes decode without fault, and bytes that are
// plain UTF-8 decode as UTF-8 does.
#include "settings/settings.h"
#include "tests/fuzz/fuzzinput.h"

#include <QByteArray>
#include <QStringDecoder>

using namespace lexorne;
using lexorne::settings::Store;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Input input(data, size);
    const QString text = input.rest();
    const QString back = Store::decodeQuotation(Store::encodeQuotation(text));
    fuzz::check(back == text, "decoding the encoded text gives it back", back, text);

    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString decoded = Store::decodeQuotation(QVariant(bytes));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString strict = utf8.decode(bytes);
    if (!utf8.hasError())
        fuzz::check(decoded == strict, "valid UTF-8 decodes as UTF-8", decoded, strict);
    // What was decoded is kept again as it is.
    const QString again = Store::decodeQuotation(Store::encodeQuotation(decoded));
    fuzz::check(again == decoded, "a decoded text round-trips", again, decoded);
    return 0;
}
