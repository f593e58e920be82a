#include "engine.h"

namespace lexorne {

namespace {

constexpr char16_t kMask = u'*';

// The engine's letters: A-Z, a-z and the Latin-1 block 192..254. Below 256 the
// Windows-1252 code of every such character equals its UTF-16 code unit;
// everything else (Œ, š, ÿ, symbols, other scripts, surrogates) is copied.
constexpr bool isEngineLetter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= 192 && c <= 254);
}

// Box of the base letter an accented letter follows, or -1 when it has none.
constexpr int accentBase(char16_t c)
{
    const char16_t upper = (c >= 224 && c <= 254) ? char16_t(c - 32) : c;
    if (upper >= 192 && upper <= 197)
        return 0; // À..Å
    if (upper == 199)
        return 2; // Ç
    if (upper >= 200 && upper <= 203)
        return 4; // È..Ë
    if (upper >= 204 && upper <= 207)
        return 8; // Ì..Ï
    if (upper == 208)
        return 3; // Ð
    if (upper == 209)
        return 13; // Ñ
    if (upper >= 210 && upper <= 214)
        return 14; // Ò..Ö
    if (upper >= 217 && upper <= 220)
        return 20; // Ù..Ü
    return -1;
}

// Output of every code unit below 256 for one board, so that masking is one
// table look-up per character.
using RevealTable = std::array<char16_t, 256>;

RevealTable buildTable(const Board &board)
{
    RevealTable table{};
    for (int code = 0; code < 256; ++code) {
        const auto c = char16_t(code);
        table[code] = isEngineLetter(c) ? RevealCharacter(QChar(c), board).unicode() : c;
    }
    return table;
}

constexpr QStringView kLogSeparator = u"\r\r\r";
constexpr QStringView kLogJoin = u" - ";
constexpr qsizetype kMaxLogSize = 3 + 4 * kLetterCount;

// The log line: "   " + the ticked captions joined by " - ", empty when none.
QString logLine(const Board &board)
{
    QString line;
    for (int i = 0; i < kLetterCount; ++i) {
        if (!board.isTicked(i))
            continue;
        line += line.isEmpty() ? QStringView(u"   ") : kLogJoin;
        line += board.captions[i];
    }
    return line;
}

} // namespace

std::array<QString, kLetterCount> Board::standardCaptions()
{
    std::array<QString, kLetterCount> captions;
    for (int i = 0; i < kLetterCount; ++i)
        captions[i] = QChar(u'A' + i);
    return captions;
}

QChar RevealCharacter(QChar c, const Board &board)
{
    for (int i = 0; i < kLetterCount; ++i) {
        if (!board.isTicked(i))
            continue;
        // The caption is converted, not the character: the letter keeps its case.
        const QString &caption = board.captions[i];
        if (caption.toUpper() == c || caption.toLower() == c)
            return c;
    }
    return RevealAccented(c, board);
}

QChar RevealAccented(QChar c, const Board &board)
{
    const char16_t u = c.unicode();
    if (u == 198 || u == 230) // Æ æ show with A, else with E
        return board.isTicked(0) || board.isTicked(4) ? c : QChar(kMask);
    const int base = accentBase(u);
    return base >= 0 && board.isTicked(base) ? c : QChar(kMask);
}

QString AppendLetterLog(QString &text, const Board &board)
{
    const QString line = logLine(board);
    text.reserve(text.size() + kLogSeparator.size() + line.size());
    text += kLogSeparator;
    text += line;
    return text;
}

QString RenderQuotation(const QString &quotation, const Board &board, bool withLog)
{
    // Decomposed input (e + U+0301) masks like the precomposed letter.
    const QString source = quotation.normalized(QString::NormalizationForm_C);
    const RevealTable table = buildTable(board);

    // One allocation: room for the longest log ("   A - B - ... - Z") up front.
    QString result;
    result.reserve(source.size() + (withLog ? kMaxLogSize : 0));
    result.resize(source.size());
    const auto *in = reinterpret_cast<const char16_t *>(source.utf16());
    const char16_t *const end = in + source.size();
    auto *out = reinterpret_cast<char16_t *>(result.data());
    for (; in != end; ++in, ++out)
        *out = *in < 256 ? table[*in] : *in;

    if (withLog)
        AppendLetterLog(result, board);
    return result;
}

} // namespace lexorne
