#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end suite: runs the built program on a private X server with a
# window manager and drives it as a user does, through the keyboard, the
# mouse and the clipboard only, finding its controls by name through AT-SPI.
# Every case prints its verdict; the last line counts them. Exits 77
# (skipped) when the X tools or AT-SPI are missing.
#
# Usage: e2e.sh LEXORNE BINDKEYS FACTS
#   LEXORNE   the program to test
#   BINDKEYS  the helper that puts the accented characters on the keyboard
#   FACTS     the build's version/facts.sh (caption, title, version)
set -u

LEXORNE="${1:?usage: e2e.sh LEXORNE BINDKEYS FACTS}"
BINDKEYS="${2:?usage: e2e.sh LEXORNE BINDKEYS FACTS}"
LX_FACTS="${3:?usage: e2e.sh LEXORNE BINDKEYS FACTS}"
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

for tool in Xvfb openbox xdotool xclip xprop xwininfo xev od cmp /usr/bin/python3; do
    if ! command -v "$tool" >/dev/null; then
        echo "e2e: '$tool' is missing; scripts/test installs what the suites need."
        exit 77
    fi
done
if ! /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null; then
    echo "e2e: libatspi's Python bindings are missing; scripts/test installs what the suites need."
    exit 77
fi

source "$HERE/xsession.sh"
source "$HERE/common.sh"
source "$HERE/dialogs.sh"
source "$HERE/games.sh"
if ! xs_start wm || ! xs_a11y_start; then
    echo "e2e: no X session"
    exit 1
fi
trap 'stop_programs; xs_stop' EXIT
CONF="$XDG_CONFIG_HOME/Quillmoor/Lexorne.conf"
WORK="$XS_DIR/work"
mkdir -p "$WORK"

# ---------------------------------------------------------------------------
# The program

LX_COMMAND=("$LEXORNE")
LX_ENV=("${LX_A11Y_ENV[@]}")

# Starts the program and waits for its window to be active.
start_program() {
    launch
    if ! xs_wait 5000 visible_main; then
        fail "no window named $LX_CAPTION within 5 s"
        return 1
    fi
    if ! xdotool windowactivate --sync "$WIN" 2>/dev/null; then
        fail "the window could not be activated"
        return 1
    fi
}

# quit_program ALT_KEY_OR_SIGNAL: ends the program and checks it went.
quit_program() {
    if [ "$1" = alt+q ] || [ "$1" = alt+F4 ]; then
        xdotool windowactivate --sync "$WIN" key "$1"
    else
        kill "-$1" "$LX_PID"
    fi
    if ! wait_exit "$LX_PID" 5000; then
        fail "still running 5 s after $1"
        return 1
    fi
}

# ---------------------------------------------------------------------------
# Cases

case_typical_request() {
    start_program || return
    typical_request || return

    local letters
    letters="$(stored_letters)"
    [ "$letters" = $'Alpha/4=1\nAlpha/13=1' ] ||
        fail "stored letters: expected Alpha/4=1 and Alpha/13=1, got: ${letters//$'\n'/ }"
}

case_restart_restores() {
    start_program || return
    quit_program alt+q || return
    [ "$LX_RC" = 0 ] || fail "\"&Quitter\" ended the program with status $LX_RC"
    settings_lines | grep -q '^General%20Settings/Citation=.' ||
        fail "no quotation stored after \"&Quitter\""

    start_program || return
    # The focus starts on "&Quitter".
    expect_focus Quitter
    focus_control Résultat || return
    clip_after "$WORK/result" ctrl+a ctrl+c || return
    expect_text "the result box after a new start" "$RENDERED" "$WORK/result"
    focus_control Citation || return
    clip_after "$WORK/quotation" ctrl+a ctrl+c || return
    expect_text "the quotation box after a new start" "$QUOTATION" "$WORK/quotation"
}

is_front() {
    xwininfo -id "$WIN" 2>/dev/null | grep -q 'Map State: IsViewable' &&
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$WIN" ]
}

# second_start WHAT: starts a second copy and checks that it hands over to
# the first and leaves the store alone.
second_start() {
    local what="$1" first="$LX_PID" second count
    local before="$WORK/settings-before" after="$WORK/settings-after"
    { cat "$CONF" 2>/dev/null || echo "(no settings file)"; } >"$before"
    launch
    second="$LX_PID"
    LX_PID="$first"
    if ! wait_exit "$second" 2000; then
        fail "$what: the second copy still runs after 2 s"
        return 1
    fi
    [ "$LX_RC" = 0 ] || fail "$what: the second copy ended with status $LX_RC"
    xs_wait 2000 is_front ||
        fail "$what: the first window is not shown and active (active: $(xdotool getactivewindow 2>/dev/null), ours: $WIN)"
    count="$(xdotool search --name "^$LX_CAPTION\$" 2>/dev/null | wc -l)"
    [ "$count" = 1 ] || fail "$what: $count windows named $LX_CAPTION, expected 1"
    { cat "$CONF" 2>/dev/null || echo "(no settings file)"; } >"$after"
    same_bytes "$what: the settings file" "$before" "$after"
}

OTHER_WIN=""
other_shown() {
    OTHER_WIN="$(xdotool search --onlyvisible --name '^lexorne-e2e-other$' 2>/dev/null | head -n 1)"
    [ -n "$OTHER_WIN" ]
}

case_single_instance() {
    start_program || return
    local first="$LX_PID"

    # Another window in front, so that coming to the front shows.
    xev -name lexorne-e2e-other -geometry 300x200+10+10 >/dev/null 2>&1 &
    local other=$!
    if xs_wait 5000 other_shown; then
        xdotool windowactivate --sync "$OTHER_WIN" 2>/dev/null
        if [ "$(xdotool getactivewindow 2>/dev/null)" = "$WIN" ]; then
            fail "the other window could not be put in front"
        else
            second_start "behind another window"
        fi
    else
        fail "the other window did not show"
    fi

    # The window manager may still be busy with the hand-over just made (a
    # slow build, a loaded machine): the request is made again until it
    # takes.
    minimised() { ! xwininfo -id "$WIN" 2>/dev/null | grep -q 'Map State: IsViewable'; }
    minimise() { xdotool windowminimize "$WIN" 2>/dev/null; xs_wait 1000 minimised; }
    if ! xs_wait 5000 minimise; then
        fail "the window could not be minimised ($(xprop -id "$WIN" WM_STATE _NET_WM_STATE 2>&1 | tr '\n' ' '))"
    else
        second_start "minimised"
    fi

    kill "$other" 2>/dev/null
    wait "$other" 2>/dev/null
    ended "$first" && fail "the first copy ended"
    return 0
}

case_reset_then_close_box() {
    start_program || return
    # Ticked letters from the earlier cases are in the store.
    local before
    before="$(stored_letters)"
    [ "$before" = $'Alpha/4=1\nAlpha/13=1' ] ||
        fail "stored letters before the reset: ${before//$'\n'/ }"

    keys alt+s
    # The file may be written in more than one step: wait for the whole.
    letters_reset() { [ "$(stored_letters)" = $'Alpha/4=0\nAlpha/13=0' ]; }
    quotation_gone() { ! settings_lines | grep -q '^General%20Settings/Citation='; }
    reset_done() { letters_reset && quotation_gone; }
    if ! xs_wait 10000 reset_done; then
        letters_reset ||
            fail "after \"Re&set\", stored letters: expected Alpha/4=0 and Alpha/13=0 alone, got: $(stored_letters | tr '\n' ' ')"
        quotation_gone || fail "the quotation is still stored after \"Re&set\""
    fi

    # The window manager's close: a WM_DELETE_WINDOW request, as the close box.
    quit_program alt+F4 || return
    [ "$LX_RC" = 0 ] || fail "the close box ended the program with status $LX_RC"
    local letters citation
    letters="$(stored_letters)"
    [ "$letters" = $'Alpha/4=0\nAlpha/13=0' ] ||
        fail "after the close, stored letters: expected Alpha/4=0 and Alpha/13=0 alone, got: ${letters//$'\n'/ }"
    citation="$(settings_lines | grep '^General%20Settings/Citation=')"
    [ "$citation" = 'General%20Settings/Citation=' ] ||
        fail "after the close, expected an empty stored quotation, got: '${citation:-(absent)}'"
}

case_sigterm_stores() {
    start_program || return
    focus_control Citation || return
    type_text "$FRESH"
    # Reading it back also makes sure every key has reached the program.
    clip_after "$WORK/fresh" ctrl+a ctrl+c || return
    expect_text "the quotation typed" "$FRESH" "$WORK/fresh" || return
    quit_program TERM || return
    [ "$LX_RC" = 0 ] || echo "   note: SIGTERM ended the program with status $LX_RC"

    start_program || return
    focus_control Citation || return
    clip_after "$WORK/restored" ctrl+a ctrl+c || return
    expect_text "the quotation after SIGTERM and a new start" "$FRESH" "$WORK/restored"
    quit_program alt+q
}

case_sigkill_restart() {
    start_program || return
    kill -KILL "$LX_PID"
    wait_exit "$LX_PID" 5000 || fail "SIGKILL did not end the program"
    local t0=${EPOCHREALTIME/./}
    launch
    if xs_wait 2000 visible_main; then
        echo "   window after $(((${EPOCHREALTIME/./} - t0) / 1000)) ms"
    else
        fail "no window within 2 s of the start that followed SIGKILL"
        return
    fi
    quit_program alt+q
}

case_about_window() {
    start_program || return
    local title="^À propos de $LX_TITLE " about
    about_shown() { about="$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1)"; [ -n "$about" ]; }
    about_hidden() { ! about_shown; }
    keys alt+p
    if ! xs_wait 3000 about_shown; then
        fail "Alt+P: no window named \"À propos de $LX_TITLE …\" within 3 s"
        return
    fi
    [ "$(xdotool getactivewindow)" = "$about" ] || fail "the about window is not the active one"
    keys Escape
    xs_wait 3000 about_hidden || fail "Escape did not hide the about window"
    # Modal no more: the main window takes the keyboard again.
    quit_program alt+q
}

case_every_control() {
    start_program || return
    every_control_by_name
    quit_program alt+q
}

# Before any program starts: the characters typed must be on the keyboard.
if ! "$BINDKEYS" "$QUOTATION" "$FRESH"; then
    echo "e2e: could not set up the keyboard"
    exit 1
fi

run_case "typical request: type, tick E and N, Alt+O, Go !" case_typical_request
run_case "Alt+Q, then a new start restores the game" case_restart_restores
run_case "second start brings the first window forward" case_single_instance
run_case "Re&set, then the close box" case_reset_then_close_box
run_case "SIGTERM stores the quotation" case_sigterm_stores
run_case "SIGKILL, then a new start" case_sigkill_restart
run_case "about window: Alt+P opens, Escape hides" case_about_window
run_case "every control is reached by its name" case_every_control
run_case "a whole game by keyboard: three players, a restart, the reveal" whole_game
# Each in a home of its own; moving a game takes the games of the first.
run_case "two games side by side across restarts" in_home two-games two_games
run_case "a file of 1 000 quotations imported" in_home imports import_quotations
run_case "a game moved to a fresh home by export and import" in_home two-games move_game
run_case "an older store opens, and keeps the game on screen" in_home older older_store

results
