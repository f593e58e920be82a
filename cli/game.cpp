// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The whole game on the command line: the lines and the reveal need the
// whole quotation at once, so this step does not stream.
#include "cli/cli.h"

#include "forum/forum.h"

namespace lexorne::cli {

QString renderGame(const Request &request, const QString &quotation)
{
    const game::Game played{quotation, request.board, request.ledger, request.missLimit};
    const game::RenderOptions options{request.log, request.lines,
                                      game::NameEscapeFor(request.forum)};
    if (!request.reveal)
        return game::RenderGame(played, options);
    // The window's colour list starts on its first entry.
    const int colour = request.colour >= 0 ? request.colour : 0;
    return game::RevealGame(
        played, options,
        {request.forum, forum::Mark{colour}, request.spoiler, request.redditSpoiler});
}

} // namespace lexorne::cli
