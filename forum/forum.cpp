// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "forum/forum.h"

#include "highlight/highlight.h"

#include <array>

using namespace Qt::StringLiterals;

namespace lexorne::forum {

namespace {

struct ProfileInfo
{
    Profile profile;
    const char16_t *name;
    const char16_t *label;
};

constexpr std::array<ProfileInfo, kProfileCount> kProfiles{{
    {Profile::BBCode, u"bbcode", u"BBCode (phpBB, SMF, vBulletin…)"},
    {Profile::BBCodeHex, u"bbcode-hex", u"BBCode, couleurs #rrggbb (MyBB)"},
    {Profile::Markdown, u"markdown", u"Markdown (Discourse, Reddit, GitHub…)"},
    {Profile::Discord, u"discord", u"Discord"},
}};

// The CSS values of the palette's colour names, in palette order.
constexpr std::array<const char16_t *, highlight::kColourCount> kHex{
    u"#8b0000", u"#ff0000", u"#ffa500", u"#a52a2a", u"#ffff00", u"#008000", u"#808000",
    u"#00ffff", u"#0000ff", u"#00008b", u"#4b0082", u"#ee82ee", u"#ffffff", u"#000000"};

// Characters that are markup wherever they stand: CommonMark's inlines
// (escapes, code, emphasis, links, autolinks and HTML, entities) and the
// extensions the big forums switch on (tables, strikethrough).
constexpr bool markdownAnywhere(char16_t c)
{
    switch (c) {
    case u'\\':
    case u'`':
    case u'*':
    case u'_':
    case u'[':
    case u']':
    case u'<':
    case u'>':
    case u'&':
    case u'|':
    case u'~':
        return true;
    default:
        return false;
    }
}

// Characters that start a block when they open a line: headings, lists,
// setext underlines. (Quotes, fences and thematic breaks of "*" and "_" are
// escaped everywhere already.)
constexpr bool markdownLineStart(char16_t c)
{
    return c == u'#' || c == u'-' || c == u'+' || c == u'=';
}

// Discord also reads mentions (@everyone, <@id>) and emoji names (:name:),
// and has no entities.
constexpr bool discordAnywhere(char16_t c)
{
    return c == u'\\' || c == u'`' || c == u'*' || c == u'_' || c == u'~' || c == u'|' ||
           c == u'<' || c == u'>' || c == u'[' || c == u']' || c == u'@' || c == u':';
}

constexpr bool discordLineStart(char16_t c)
{
    return c == u'#' || c == u'-' || c == u'+';
}

constexpr bool isBreak(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

// Spaces that renderers drop where a line opens or ends: CommonMark's
// spaces and tabs, and what JavaScript's trim() and Qt's HTML reader take
// for white space (no-break and other Unicode spaces, the byte order mark).
bool isEdgeSpace(QChar c)
{
    return (c.isSpace() && !isBreak(c.unicode())) || c.unicode() == 0xFEFF;
}

constexpr bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

constexpr bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

constexpr QStringView kBold = u"**";
// "www" as PostWriter::m_recent holds it: three units, 16 bits each.
constexpr quint64 kWww = quint64(u'w') << 32 | quint64(u'w') << 16 | u'w';

} // namespace

QString profileName(Profile profile)
{
    return QString::fromUtf16(kProfiles[std::size_t(profile)].name);
}

std::optional<Profile> profileFromName(QStringView name)
{
    const QStringView wanted = name.trimmed();
    for (const ProfileInfo &info : kProfiles)
        if (wanted.compare(QStringView(info.name), Qt::CaseInsensitive) == 0)
            return info.profile;
    return std::nullopt;
}

std::optional<Profile> profileAt(int index)
{
    if (index < 0 || index >= kProfileCount)
        return std::nullopt;
    return kProfiles[std::size_t(index)].profile;
}

QStringList profileNames()
{
    QStringList names;
    for (const ProfileInfo &info : kProfiles)
        names.append(QString::fromUtf16(info.name));
    return names;
}

QString profileLabel(Profile profile)
{
    return QString::fromUtf16(kProfiles[std::size_t(profile)].label);
}

bool isMarkdown(Profile profile)
{
    return profile == Profile::Markdown || profile == Profile::Discord;
}

QString colourHex(int colourIndex)
{
    if (colourIndex < 0 || colourIndex >= highlight::kColourCount)
        return {};
    return QString::fromUtf16(kHex[std::size_t(colourIndex)]);
}

QString colourValue(Profile profile, int colourIndex)
{
    switch (profile) {
    case Profile::BBCode: {
        // The name inside the palette's own tag: "[color=" name "]".
        const QString tag = highlight::openingTag(colourIndex);
        return tag.isEmpty() ? tag : tag.mid(7, tag.size() - 8);
    }
    case Profile::BBCodeHex:
        return colourHex(colourIndex);
    case Profile::Markdown:
    case Profile::Discord:
        break;
    }
    return {};
}

PostWriter::PostWriter(Profile profile, Mark mark) : m_profile(profile), m_mark(mark)
{
    if (isMarkdown(profile))
        return;
    const QString colour = colourValue(profile, mark.colour);
    if (colour.isEmpty()) {
        m_openTag = u"[b]"_s;
        m_closeTag = u"[/b]"_s;
    } else {
        m_openTag = u"[color="_s + colour + u']';
        m_closeTag = highlight::closingTag();
    }
}

void PostWriter::write(QStringView text, QString &out)
{
    if (!isMarkdown(m_profile)) {
        out += text;
        return;
    }
    for (const QChar c : text)
        putMarkdown(c, false, out);
}

void PostWriter::writeMarked(QStringView text, QString &out)
{
    for (const QChar c : text)
        put(c, c.isLetterOrNumber(), out);
}

void PostWriter::writeHighlighted(QStringView text, int letterIndex, QString &out)
{
    if (letterIndex < 0 || letterIndex >= highlight::kLetterEntryCount) {
        write(text, out);
        return;
    }
    if (!isMarkdown(m_profile)) {
        // One pass with the highlight's own fast wrapping.
        out += highlight::HighlightLetter(text.toString(), letterIndex, m_openTag, m_closeTag);
        return;
    }
    const QChar letter(u'A' + letterIndex);
    for (const QChar c : text)
        putMarkdown(c, highlight::inHighlightSet(letter, c), out);
}

void PostWriter::finish(QString &out)
{
    if (!isMarkdown(m_profile))
        return;
    closeBold(out);
    // Spaces at the end of the text would be dropped; breaks there cannot be
    // hard breaks (a backslash would show) and show nothing anyway.
    flushSpaces(true, out);
    out += m_heldBreaks;
    m_heldBreaks.clear();
}

void PostWriter::put(QChar c, bool marked, QString &out)
{
    if (isMarkdown(m_profile)) {
        putMarkdown(c, marked, out);
        return;
    }
    if (!marked) {
        out += c;
        return;
    }
    out += m_openTag;
    out += c;
    out += m_closeTag;
}

void PostWriter::putMarkdown(QChar c, bool marked, QString &out)
{
    const bool discord = m_profile == Profile::Discord;
    const char16_t u = c.unicode();
    if (isBreak(u)) {
        closeBold(out);
        m_lineStart = true;
        m_leadDigits = 0;
        m_recent = 0;
        if (discord) {
            // Discord shows every line break as it is.
            out += c;
            return;
        }
        flushSpaces(true, out);
        m_heldBreaks += c;
        return;
    }
    if (isEdgeSpace(c)) {
        closeBold(out);
        m_recent = 0;
        if (discord)
            out += c;
        else
            m_heldSpaces += c;
        return;
    }

    flushBreaks(out);
    flushSpaces(false, out);
    if (!marked) {
        closeBold(out);
    } else if (!m_boldOpen) {
        out += kBold;
        m_boldOpen = true;
    }
    bool escape = discord ? discordAnywhere(u) : markdownAnywhere(u);
    if (m_lineStart)
        escape = escape || (discord ? discordLineStart(u) : markdownLineStart(u));
    // "1. " and "1) " open an ordered list.
    if (m_leadDigits > 0 && (u == u'.' || u == u')'))
        escape = true;
    // A bare address ("http://", "www.") is read as a link from the raw
    // post by some renderers, backslashes included: keep it text.
    if ((u == u':' && isAsciiLetter(m_recent & 0xFFFF)) || (u == u'.' && m_recent == kWww))
        escape = true;
    m_recent = (m_recent << 16 | (u | (isAsciiLetter(u) ? 0x20 : 0))) & 0xFFFFFFFFFFFFULL;
    m_leadDigits = isDigit(u) && (m_lineStart || m_leadDigits > 0) ? m_leadDigits + 1 : 0;
    m_lineStart = false;
    if (escape)
        out += u'\\';
    out += c;
}

void PostWriter::flushBreaks(QString &out)
{
    // Text follows: each break becomes a hard one, a backslash before it
    // (a carriage return and line feed are one break).
    for (qsizetype i = 0; i < m_heldBreaks.size(); ++i) {
        const QChar c = m_heldBreaks[i];
        if (!(c == u'\n' && i > 0 && m_heldBreaks[i - 1] == u'\r'))
            out += u'\\';
        out += c;
    }
    m_heldBreaks.clear();
}

void PostWriter::flushSpaces(bool lineEnd, QString &out)
{
    if (m_heldSpaces.isEmpty())
        return;
    // A line of spaces alone is still a line: the break before it is hard.
    flushBreaks(out);
    if (!m_lineStart && !lineEnd) {
        out += m_heldSpaces;
    } else {
        // Renderers drop spaces that open or close a line, and four of them
        // would open a code block. No-break spaces, written as references,
        // are text everywhere, and forums show them.
        for (qsizetype i = 0; i < m_heldSpaces.size(); ++i)
            out += u"&#160;"_s;
    }
    m_heldSpaces.clear();
}

void PostWriter::closeBold(QString &out)
{
    if (!m_boldOpen)
        return;
    out += kBold;
    m_boldOpen = false;
}

QString Post(Profile profile, const QString &rendered, int letterIndex, Mark mark)
{
    if (!isMarkdown(profile) && (letterIndex < 0 || letterIndex >= highlight::kLetterEntryCount))
        return rendered;
    PostWriter writer(profile, mark);
    QString out;
    out.reserve(rendered.size() + rendered.size() / 4 + 16);
    writer.writeHighlighted(rendered, letterIndex, out);
    writer.finish(out);
    return out;
}

} // namespace lexorne::forum
