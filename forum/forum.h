// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Forum profiles: how a post is written for the forum it goes to. BBCode
// forums take the rendered text as it is and colour tags around a letter;
// Markdown forums would read stars, leading spaces and line starts as
// markup, so there every such character is escaped, every line break made
// a hard break, and a marked letter put in bold.
//
// Pure functions of their inputs. A post can be written whole (Post) or
// block by block through a PostWriter, whose carried state makes any cut of
// the text give the same bytes as one whole call.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace lexorne::forum {

enum class Profile
{
    BBCode,    // "bbcode": colour names, the post as it always was
    BBCodeHex, // "bbcode-hex": colours as #rrggbb (MyBB)
    Markdown,  // "markdown": CommonMark (Discourse, Reddit, GitHub, GitLab)
    Discord,   // "discord": Discord's own Markdown
};
inline constexpr int kProfileCount = 4;

// "bbcode", "bbcode-hex", "markdown", "discord": the names the command line
// and the store use.
QString profileName(Profile profile);
// The profile of a name, ignoring case and surrounding spaces; nothing for
// any other text.
std::optional<Profile> profileFromName(QStringView name);
// The profile at a list index (0..kProfileCount-1), in the order above.
std::optional<Profile> profileAt(int index);
QStringList profileNames();
// What the window's "Forum" list shows for a profile, in French.
QString profileLabel(Profile profile);
bool isMarkdown(Profile profile);

// The CSS value of palette colour colourIndex ("#8b0000" for "Rouge
// foncé"); empty outside 0..13.
QString colourHex(int colourIndex);
// The colour as the profile writes it in a tag: the name for bbcode, the
// hex value for bbcode-hex; empty for Markdown profiles, which have no
// colour, and outside 0..13.
QString colourValue(Profile profile, int colourIndex);

// How a marked letter looks: in a palette colour (BBCode profiles), or in
// bold (colour -1, and always on Markdown forums, which have no colour).
struct Mark
{
    int colour = -1;
};

// Writes a post block by block. Feed the text in order through write(),
// writeMarked() and writeHighlighted(), then call finish() once; the output
// is appended to `out`. Whatever the cuts between the blocks (even inside a
// carriage return and line feed), the bytes are those of one whole call.
// A copy carries on from where the original stood.
class PostWriter
{
public:
    explicit PostWriter(Profile profile, Mark mark = {});

    Profile profile() const { return m_profile; }

    // Plain text: escaped as the profile needs.
    void write(QStringView text, QString &out);
    // Text whose letters and digits are all marked: one colour tag pair per
    // character in BBCode with a colour (as "Go !" writes them), one bold run
    // otherwise. Other characters in it are written plain, so that a bold
    // run always starts and ends on a letter, as Markdown needs.
    void writeMarked(QStringView text, QString &out);
    // Text with every character of the highlight set of letter letterIndex
    // (0 for "A"..25; -1 marks nothing) marked: the "Go !" command.
    void writeHighlighted(QStringView text, int letterIndex, QString &out);
    // Ends the post: closes an open bold run and writes what was held back
    // (spaces at the end of a line, line breaks at the end of the text).
    void finish(QString &out);

private:
    void put(QChar c, bool marked, QString &out);
    void putMarkdown(QChar c, bool marked, QString &out);
    void flushBreaks(QString &out);
    void flushSpaces(bool lineEnd, QString &out);
    void closeBold(QString &out);

    Profile m_profile;
    Mark m_mark;
    QString m_openTag;
    QString m_closeTag;
    // Markdown state carried from one block to the next.
    bool m_lineStart = true; // nothing but held spaces written on this line
    int m_leadDigits = 0;    // digits that began the line (an ordered list's number)
    bool m_boldOpen = false; // a bold run waits for its closing "**"
    quint64 m_recent = 0;    // the line's last three characters, letters lower-cased
    QString m_heldSpaces;    // spaces and tabs whose place in the line is not known yet
    QString m_heldBreaks;    // line breaks not yet known to be followed by text
};

// The whole post for a rendered text (masked quotation and log), with the
// letter letterIndex marked as "Go !" marks it (-1: nothing marked).
QString Post(Profile profile, const QString &rendered, int letterIndex = -1, Mark mark = {});

} // namespace lexorne::forum
