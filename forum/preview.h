// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// A post as its forum shows it, in the rich text (HTML) that Qt's text
// widgets read: colour tags as coloured letters and line breaks as breaks
// for BBCode forums, escapes undone and bold shown for Discord. Markdown
// posts need none of this: Qt reads CommonMark itself
// (QTextDocument::setMarkdown).
#pragma once

#include "forum/forum.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <optional>

namespace lexorne::forum {

// The background a colour 0xRRGGBB needs to be read in the preview, if any
// (black on a dark theme, yellow on a light one): the window decides, from
// its palette.
using Backing = std::function<std::optional<quint32>(quint32 colour)>;

// Tags that do not pair up, and colours that are neither a palette name nor
// #rrggbb, show as the text they are, as forums show them.
QString PreviewHtml(Profile profile, QStringView post, const Backing &backing = {});

} // namespace lexorne::forum
