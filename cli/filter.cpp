// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The input is cut only before a character that NFC cannot join to what
// precedes it (engine/nfc.h), so each piece masks, counts and normalizes on
// its own exactly as inside the whole text. What follows the last such place
// of a block waits for the next block.
#include "cli/filter.h"

#include "engine/engine.h"
#include "engine/nfc.h"
#include "forum/forum.h"
#include "highlight/highlight.h"

#include <cstdint>
#include <utility>

using namespace Qt::StringLiterals;

namespace lexorne::cli {

namespace {

bool safeAt(QByteArrayView bytes, qsizetype i)
{
    return startsNfcSafeCutUtf8(std::uint8_t(bytes[i]));
}

// The first place to cut, or -1.
qsizetype firstCut(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i)
        if (safeAt(bytes, i))
            return i;
    return -1;
}

// The last place to cut after the first byte, or 0.
qsizetype lastCut(QByteArrayView bytes)
{
    for (qsizetype i = bytes.size() - 1; i > 0; --i)
        if (safeAt(bytes, i))
            return i;
    return 0;
}

// The last place after the first byte where a character starts that NFC
// cannot join to what precedes it, for text without the common places (a
// long run of ideographs); 0 when there is none. The bytes are well formed
// but for, maybe, a character cut short at their end.
qsizetype lastCutAnyScript(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const std::uint8_t *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype cut = 0;
    for (qsizetype i = 0; i < n;) {
        const std::uint8_t b = p[i];
        const int length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
        if (i + length > n)
            break;
        char32_t c = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
        for (int k = 1; k < length; ++k)
            c = (c << 6) | (p[i + k] & 0x3F);
        if (i > 0 && isNfcSafeCutAnyScript(c))
            cut = i;
        i += length;
    }
    return cut;
}

QString invalidAt(qsizetype offset, quint8 byte)
{
    return u"le texte n'est pas de l'UTF-8 valide : octet 0x%1 à la position %2 "
           u"(comptée en octets depuis 0)"_s.arg(QString::number(byte, 16).toUpper(),
                                                 QString::number(offset));
}

class HighlightStep : public TextStep
{
public:
    HighlightStep(int letter, int colour) : m_letter(letter), m_colour(colour) {}
    void feed(const QString &piece, QString &out) override
    {
        out += highlight::HighlightLetter(piece, m_letter, m_colour);
    }

private:
    int m_letter;
    int m_colour;
};

// A forum's post: the escaping carries its state (the start of a line,
// spaces and breaks held back) from one piece to the next.
class ForumStep : public TextStep
{
public:
    ForumStep(forum::Profile profile, int letter, int colour)
        : m_writer(profile, forum::Mark{colour}), m_letter(letter)
    {}
    void feed(const QString &piece, QString &out) override
    {
        m_writer.writeHighlighted(piece, m_letter, out);
    }
    void finish(QString &out) override { m_writer.finish(out); }

private:
    forum::PostWriter m_writer;
    int m_letter;
};

} // namespace

void TextStep::finish(QString &out)
{
    Q_UNUSED(out);
}

Filter::Filter(const Request &request, qsizetype pieceBytes)
    : m_board(request.board), m_pieceBytes(qMax<qsizetype>(pieceBytes, 1)), m_direct(m_board),
      // Each piece on its own; a byte order mark is kept, like every non-letter.
      m_decoder(QStringDecoder::Utf8,
                QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom),
      m_encoder(QStringEncoder::Utf8, QStringEncoder::Flag::Stateless)
{
    if (request.forum != forum::Profile::BBCode)
        addStep(
            std::make_unique<ForumStep>(request.forum, request.highlightLetter, request.colour));
    else if (request.highlightLetter >= 0)
        addStep(std::make_unique<HighlightStep>(request.highlightLetter, request.colour));
    if (request.log.letterLog) {
        const LogOptions log = request.log;
        addClosing(
            [log](const Summary &summary) {
                return AppendLetterLog(QString(), summary.board, summary.letters, log);
            },
            log.absentLetters);
    }
}

Filter::~Filter() = default;

void Filter::addStep(std::unique_ptr<TextStep> step)
{
    m_steps.push_back(std::move(step));
}

void Filter::addClosing(Closing closing, bool needsLetterCounts)
{
    m_closings.push_back(std::move(closing));
    m_countLetters = m_countLetters || needsLetterCounts;
}

bool Filter::feed(QByteArrayView bytes, QByteArray &out)
{
    if (!m_error.isEmpty())
        return false;
    if (!m_held.isEmpty()) {
        // What was held back ends at the first place to cut of the new bytes.
        const qsizetype first = firstCut(bytes);
        if (first < 0) {
            m_held.append(bytes);
            return holdCheck(out);
        }
        m_held.append(bytes.first(first));
        if (!work(m_held, out))
            return false;
        m_held.truncate(0);
        bytes = bytes.sliced(first);
    }
    const qsizetype last = lastCut(bytes);
    if (!work(bytes.first(last), out))
        return false;
    m_held.append(bytes.sliced(last));
    return holdCheck(out);
}

bool Filter::holdCheck(QByteArray &out)
{
    if (m_held.size() <= kLongestHeld)
        return true;
    // A bad byte among the held ones is reported, not waited on.
    if (const std::optional<qsizetype> bad = firstInvalidUtf8(m_held);
        bad && *bad < m_held.size() - 3) {
        if (!work(m_held, out))
            return false;
        m_held.truncate(0);
        return true;
    }
    const qsizetype cut = lastCutAnyScript(m_held);
    if (cut == 0) {
        m_error = u"le texte contient plus de %1 Kio d'affilée sans caractère où le couper "
                  u"(signes combinants à la suite)"_s.arg(kLongestHeld / 1024);
        return false;
    }
    if (!work(QByteArrayView(m_held).first(cut), out))
        return false;
    m_held.remove(0, cut);
    return true;
}

bool Filter::finish(QByteArray &out)
{
    if (!m_error.isEmpty())
        return false;
    const QByteArray held = std::exchange(m_held, QByteArray());
    if (!work(held, out))
        return false;
    const Summary summary{m_board, m_letters};
    QString text;
    for (const Closing &closing : m_closings)
        text += closing(summary);
    // Each step gets the closing lines, then the end, and hands all it
    // gives to the next.
    for (const std::unique_ptr<TextStep> &step : m_steps) {
        QString next;
        step->feed(text, next);
        step->finish(next);
        text = std::move(next);
    }
    const qsizetype at = out.size();
    out.resize(at + m_encoder.requiredSpace(text.size()));
    const char *end = m_encoder.appendToBuffer(out.data() + at, text);
    out.truncate(end - out.constData());
    return true;
}

QString Filter::error() const
{
    return m_error;
}

bool Filter::work(QByteArrayView span, QByteArray &out)
{
    for (qsizetype from = 0; from < span.size();) {
        const qsizetype to = nfcPieceEndUtf8(span, from, m_pieceBytes);
        if (!piece(span.sliced(from, to - from), out))
            return false;
        from = to;
    }
    return true;
}

bool Filter::piece(QByteArrayView in, QByteArray &out)
{
    const qsizetype at = out.size();
    if (m_steps.empty() && !m_countLetters) {
        out.resize(at + in.size());
        if (const qsizetype size = m_direct->mask(in, out.data() + at); size >= 0) {
            out.truncate(at + size);
            m_offset += in.size();
            return true;
        }
        out.truncate(at);
    }

    QString text(m_decoder.requiredSpace(in.size()), Qt::Uninitialized);
    const QChar *end = m_decoder.appendToBuffer(text.data(), in);
    if (m_decoder.hasError()) {
        m_decoder.resetState();
        const std::optional<qsizetype> bad = firstInvalidUtf8(in);
        m_error = bad ? invalidAt(m_offset + *bad, quint8(in[*bad]))
                      : u"le texte n'est pas de l'UTF-8 valide"_s;
        return false;
    }
    text.truncate(end - text.constData());
    if (m_countLetters)
        m_letters += CountLetters(text);
    QString masked = RenderQuotation(text, m_board);
    for (const std::unique_ptr<TextStep> &step : m_steps) {
        QString next;
        step->feed(masked, next);
        masked = std::move(next);
    }
    out.resize(at + m_encoder.requiredSpace(masked.size()));
    const char *written = m_encoder.appendToBuffer(out.data() + at, masked);
    out.truncate(written - out.constData());
    m_offset += in.size();
    return true;
}

} // namespace lexorne::cli
