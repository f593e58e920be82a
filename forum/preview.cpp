// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "forum/preview.h"

#include "highlight/highlight.h"

#include <QList>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace lexorne::forum {

namespace {

// The palette's colour of a tag value, by name or #rrggbb.
std::optional<quint32> colourOf(QStringView value)
{
    if (value.size() == 7 && value.startsWith(u'#')) {
        bool ok = false;
        const quint32 rgb = value.mid(1).toUInt(&ok, 16);
        if (ok)
            return rgb;
        return std::nullopt;
    }
    for (int i = 0; i < highlight::kColourCount; ++i)
        if (value.compare(colourValue(Profile::BBCode, i), Qt::CaseInsensitive) == 0)
            return colourHex(i).mid(1).toUInt(nullptr, 16);
    return std::nullopt;
}

QString hex(quint32 rgb)
{
    return u"#"_s + QString::number(rgb & 0xFFFFFF, 16).rightJustified(6, u'0');
}

void putEscaped(QChar c, QString &out)
{
    switch (c.unicode()) {
    case u'&':
        out += u"&amp;"_s;
        break;
    case u'<':
        out += u"&lt;"_s;
        break;
    case u'>':
        out += u"&gt;"_s;
        break;
    case u'"':
        out += u"&quot;"_s;
        break;
    default:
        out += c;
    }
}

// A line break in any convention, as one <br>; returns the units it took.
qsizetype lineBreak(QStringView text, qsizetype i, QString &out)
{
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
        out += u"<br>"_s;
        return 2;
    }
    if (text[i] == u'\r' || text[i] == u'\n') {
        out += u"<br>"_s;
        return 1;
    }
    return 0;
}

QString bbcodeHtml(QStringView post, const Backing &backing)
{
    // Where each opening tag is closed, so that a tag left open shows as text.
    struct Tag
    {
        qsizetype at, end; // the tag's text
        QString html;      // what it opens
        bool bold;
    };
    QList<Tag> open;
    QList<std::pair<qsizetype, qsizetype>> closes; // [at, end) of matched closing tags
    QList<Tag> matched;
    for (qsizetype i = 0; i < post.size(); ++i) {
        if (post[i] != u'[')
            continue;
        const qsizetype end = post.indexOf(u']', i);
        if (end < 0)
            break;
        const QStringView tag = post.sliced(i + 1, end - i - 1);
        if (tag.startsWith(u"color="_s, Qt::CaseInsensitive)) {
            if (const std::optional<quint32> rgb = colourOf(tag.mid(6))) {
                QString style = u"color: "_s + hex(*rgb);
                if (const std::optional<quint32> under = backing ? backing(*rgb) : std::nullopt)
                    style += u"; background-color: "_s + hex(*under);
                open.append({i, end + 1, u"<span style=\""_s + style + u"\">"_s, false});
            }
        } else if (tag.compare(u"b"_s, Qt::CaseInsensitive) == 0) {
            open.append({i, end + 1, u"<b>"_s, true});
        } else if (tag.compare(u"/color"_s, Qt::CaseInsensitive) == 0 ||
                   tag.compare(u"/b"_s, Qt::CaseInsensitive) == 0) {
            const bool bold = tag.size() == 2;
            if (!open.isEmpty() && open.last().bold == bold) {
                matched.append(open.takeLast());
                closes.append({i, end + 1});
            }
        }
    }

    QString out;
    out.reserve(post.size() * 2);
    qsizetype nextOpen = 0;
    qsizetype nextClose = 0;
    std::sort(matched.begin(), matched.end(),
              [](const Tag &a, const Tag &b) { return a.at < b.at; });
    QList<bool> stack;
    for (qsizetype i = 0; i < post.size();) {
        if (nextOpen < matched.size() && matched[nextOpen].at == i) {
            out += matched[nextOpen].html;
            stack.append(matched[nextOpen].bold);
            i = matched[nextOpen++].end;
            continue;
        }
        if (nextClose < closes.size() && closes[nextClose].first == i) {
            out += stack.takeLast() ? u"</b>"_s : u"</span>"_s;
            i = closes[nextClose++].second;
            continue;
        }
        if (const qsizetype taken = lineBreak(post, i, out)) {
            i += taken;
            continue;
        }
        putEscaped(post[i++], out);
    }
    return out;
}

QString discordHtml(QStringView post)
{
    // Discord keeps every space and line break.
    QString out = u"<p style=\"white-space: pre-wrap\">"_s;
    bool bold = false;
    for (qsizetype i = 0; i < post.size();) {
        if (post[i] == u'\\' && i + 1 < post.size() && !post[i + 1].isLetterOrNumber() &&
            !post[i + 1].isSpace()) {
            putEscaped(post[i + 1], out);
            i += 2;
        } else if (post.sliced(i).startsWith(u"**")) {
            out += bold ? u"</b>"_s : u"<b>"_s;
            bold = !bold;
            i += 2;
        } else if (const qsizetype taken = lineBreak(post, i, out)) {
            i += taken;
        } else {
            putEscaped(post[i++], out);
        }
    }
    if (bold)
        out += u"</b>"_s;
    return out + u"</p>"_s;
}

} // namespace

QString PreviewHtml(Profile profile, QStringView post, const Backing &backing)
{
    switch (profile) {
    case Profile::BBCode:
    case Profile::BBCodeHex:
        return bbcodeHtml(post, backing);
    case Profile::Discord:
        return discordHtml(post);
    case Profile::Markdown:
        break;
    }
    // Markdown goes through Qt's own reader; as plain text it still shows.
    QString out;
    for (const QChar c : post)
        putEscaped(c, out);
    return out;
}

} // namespace lexorne::forum
