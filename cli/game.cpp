// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The whole game on the command line: the lines and the reveal need the
// whole quotation at once, so this step does not stream.
#include "cli/cli.h"

#include "forum/forum.h"
#include "highlight/highlight.h"

namespace lexorne::cli {

std::optional<QByteArray> renderGame(const Request &request, QByteArrayView bytes)
{
    if (firstInvalidUtf8(bytes))
        return std::nullopt;
    const game::Game played{QString::fromUtf8(bytes), request.board, request.ledger,
                            request.missLimit};
    const game::RenderOptions options{request.log, request.lines};
    if (request.reveal) {
        // The window's colour list starts on its first entry.
        const int colour = request.colour >= 0 ? request.colour : 0;
        return game::RevealGame(played, options,
                                {forum::Profile::BBCode, forum::Mark{colour}, request.spoiler})
            .toUtf8();
    }
    QString post = game::RenderGame(played, options);
    if (request.highlightLetter >= 0)
        post = highlight::HighlightLetter(post, request.highlightLetter, request.colour);
    return post.toUtf8();
}

} // namespace lexorne::cli
