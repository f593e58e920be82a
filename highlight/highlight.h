// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Colour highlight: the forum colour palette, the letter list and the
// renderer that wraps every occurrence of one letter (with its accented
// forms) in a colour tag. Pure functions of their inputs.
#pragma once

#include <QChar>
#include <QString>
#include <QStringList>

namespace lexorne::highlight {

inline constexpr int kColourCount = 14;
inline constexpr int kLetterEntryCount = 26;

// "[/color]", the same for every colour.
QString closingTag();

// The 14 French colour names, in list order ("Rouge foncé" .. "Noir").
QStringList colourNames();

// Opening tag of palette entry index ("[color=darkred]" ..); the empty text
// for any index outside 0..13, -1 (no selection) included.
QString openingTag(int colourIndex);

// The 26 letter entries "A/a" .. "Z/z".
QStringList letterEntries();

// Whether c belongs to the highlight set of the upper-case letter `letter`
// ('A'..'Z'): the letter in both cases plus its accented forms.
bool inHighlightSet(QChar letter, QChar c);

// rendered with each character of the set of letter entry letterIndex wrapped
// as openTag + character + closeTag, one pair per occurrence. A letter index
// outside 0..25 wraps nothing.
QString HighlightLetter(const QString &rendered, int letterIndex, const QString &openTag,
                        const QString &closeTag);

// Convenience: HighlightLetter with openingTag(colourIndex) and closingTag().
QString HighlightLetter(const QString &rendered, int letterIndex, int colourIndex);

} // namespace lexorne::highlight
