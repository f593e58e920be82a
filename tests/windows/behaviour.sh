#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program under Wine on a private X server, driven as a user does:
# the game in the registry, one copy at a time, the end of the session, the
# links through the shell, and the clipboard as Windows holds it. Every case
# prints its verdict; the last line counts them. Exits 77 (skipped) when a
# tool is missing.
#
# Usage: behaviour.sh LEXORNE.EXE CLIPDUMP.EXE WINE-RUN FACTS
#   LEXORNE.EXE   the program to check
#   CLIPDUMP.EXE  the helper that writes the Windows clipboard to a file
#   WINE-RUN      the script that runs a cross-built program under Wine
#   FACTS         the build's version/facts.sh (caption, title, version)
# Runs in the Wine prefix WINE-RUN uses (LEXORNE_WINEPREFIX), whose Wine
# session it restarts on the private X server and whose game it deletes.
set -u
[ -n "${LEXORNE_TRACE:-}" ] && set -x

USAGE="usage: behaviour.sh LEXORNE.EXE CLIPDUMP.EXE WINE-RUN FACTS"
LEXORNE="${1:?$USAGE}"
CLIPDUMP="${2:?$USAGE}"
WINE_RUN="${3:?$USAGE}"
LX_FACTS="${4:?$USAGE}"
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

for tool in wine wineserver winepath Xvfb openbox xdotool xclip xprop od cmp; do
    if ! command -v "$tool" >/dev/null; then
        echo "behaviour: '$tool' is missing; scripts/windows installs what it needs."
        exit 77
    fi
done

# Wine's own environment first: the X session below replaces HOME.
eval "$("$WINE_RUN" --environment)" || exit 1

source "$HERE/../e2e/xsession.sh"
if ! xs_start wm; then
    echo "behaviour: no X session"
    exit 1
fi
WORK="$XS_DIR/work"
mkdir -p "$WORK" "$XS_DIR/bin"

# The Wine session must run on this X server (its clipboard lives in the
# desktop process); the prefix is Lexorne's own, so its session is ours.
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
trap 'stop_programs; wineserver -k 2>/dev/null; xs_stop' EXIT

# What the shell hands a link to: Wine's browser launcher runs these.
for opener in xdg-open xdg-email; do
    printf '#!/bin/sh\nprintf "%%s %%s\\n" "%s" "$*" >>"%s"\n' "$opener" "$WORK/opened" \
        >"$XS_DIR/bin/$opener"
    chmod +x "$XS_DIR/bin/$opener"
done
export PATH="$XS_DIR/bin:$PATH"

KEY='HKCU\Software\Quillmoor\Lexorne'

# The quotation goes in typed in ASCII; the accented letter comes from the
# clipboard, as a game master pastes a quotation.
type_quotation() {
    type_text "${QUOTATION%%è*}"
    printf 'è' | xclip -i -selection clipboard
    keys ctrl+v
    type_text "${QUOTATION#*è}"
}

# The Windows clipboard is compared (FILE.win, every line feed after a
# carriage return, lone carriage returns kept); what X11 saw is shown.
expect_clipboard() {
    local what="$1" expected="$2" file="$3"
    expect_text "$what (Windows clipboard)" "${expected//$'\n'/$'\r\n'}" "$file.win"
    echo "   X11 clipboard, $what:"
    od -c "$file" | sed 's/^/     /'
}

# Verdicts, byte comparisons, the program's start and end, the keyboard, the
# X11 clipboard helpers and the typical request of the Linux runs.
# shellcheck source=../e2e/common.sh
source "$HERE/../e2e/common.sh"

# ---------------------------------------------------------------------------
# Controls by name. No AT-SPI reaches a program under Wine: a control is
# reached by Tab from the one that has the focus, the presses counted on
# $TAB_ORDER (the order tst_frmmain checks). A control marked "off" counts
# only on a move that starts or ends on one (the highlight, switched on just
# before). Where the focus is cannot be read back under Wine: a control
# missed shows in the clipboard's bytes.

WINE_FOCUS=""

# The line number of NAME in the tab order's names, from 0; -1 when absent.
tab_index() {
    tab_order_names | awk -v name="$1" '{ if ($0 == name) { print n + 0; found = 1; exit } n++ }
        END { if (!found) print -1 }'
}

focus_control() {
    local from to presses
    from="$(tab_index "$WINE_FOCUS")" to="$(tab_index "$1")"
    if [ "$to" -lt 0 ] || [ "$from" -lt 0 ]; then
        fail "no control named \"$1\" (or \"$WINE_FOCUS\") in $TAB_ORDER"
        return 1
    fi
    presses="$(awk -F '\t' -v from="$from" -v to="$to" '
        !/^#/ && NF >= 2 && ($3 == "" || $3 == "off") { name[n] = $2; off[n] = ($3 == "off"); n++ }
        END {
            count = 0
            for (i = (from + 1) % n; from != to; i = (i + 1) % n) {
                if (!off[i] || off[from] || off[to]) count++
                if (i == to) break
            }
            print count
        }' "$TAB_ORDER")"
    local list=()
    while [ "$presses" -gt 0 ]; do
        list+=(Tab)
        presses=$((presses - 1))
    done
    [ ${#list[@]} -eq 0 ] || keys "${list[@]}"
    WINE_FOCUS="$1"
}

expect_focus() { :; }

# ---------------------------------------------------------------------------
# The program

LX_COMMAND=("$WINE_RUN" "$LEXORNE")

# Starts the program and waits for its window to be active. Wine's first
# start of a session takes a while.
start_program() {
    launch
    if ! xs_wait 60000 visible_main; then
        fail "no window named $LX_CAPTION within 60 s"
        return 1
    fi
    xdotool windowactivate --sync "$WIN" 2>/dev/null
    sleep 0.5
    WINE_FOCUS="$(tab_order_names | head -n 1)"
}

# Wine passes keys on more slowly than a native window takes them.
KEY_DELAY_MS=40
TYPE_DELAY_MS=20

# ---------------------------------------------------------------------------
# The clipboard: as X11 programs see it (Wine offers it as X selections) and
# as Windows programs see it (CF_UNICODETEXT, through the helper).

CLIP_WAIT_MS=10000

# clip_after FILE KEY...: FILE receives what X11 sees, FILE.win what Windows
# holds.
clip_after() {
    clip_change "$@" || return 1
    if ! "$WINE_RUN" "$CLIPDUMP" "$(winepath -w "$1.win")" 2>>"$XS_DIR/clipdump.log"; then
        shift
        fail "the Windows clipboard could not be read after: $*"
        return 1
    fi
}

# ---------------------------------------------------------------------------
# The registry

# reg_value SUBKEY NAME: prints the value's type and data as "TYPE DATA".
reg_value() {
    "$WINE_RUN" reg query "$KEY\\$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" '$1 == name { $1 = ""; sub(/^ +/, ""); print; exit }'
}

reg_delete_game() {
    "$WINE_RUN" reg delete "$KEY" /f >/dev/null 2>&1
}

# ---------------------------------------------------------------------------
# Expected texts

# One accented letter only: it is pasted, not typed.
QUOTATION=$'Il pleut sur Nantes,\nle vent se lève :\n3 ETAPES !'
# Masked with E and N ticked, followed by the log.
RENDERED=$'** **e** *** N*n*e*,\n*e *en* *e *è*e :\n3 E***E* !\r\r\r   E - N'
HIGHLIGHTED="** **${R}e${C}** *** N*n*${R}e${C}*,"$'\n'"*${R}e${C} *${R}e${C}n* *${R}e${C} *${R}è${C}*${R}e${C} :"$'\n'"3 ${R}E${C}***${R}E${C}* !"$'\r\r\r'"   ${R}E${C} - N"
FRESH=$'Vive le vent\nd\'hiver'

# ---------------------------------------------------------------------------
# Cases

case_typical_request() {
    reg_delete_game
    start_program || return
    typical_request || return

    # Only the boxes that changed are written, as text.
    local index value
    for index in 0 4 13 25; do
        value="$(reg_value Alpha "$index")"
        case "$index" in
            4 | 13) [ "$value" = "REG_SZ 1" ] || fail "Alpha\\$index: expected REG_SZ 1, got '$value'" ;;
            *) [ -z "$value" ] || fail "Alpha\\$index: expected no value, got '$value'" ;;
        esac
    done
    echo "   wine reg query $KEY\\Alpha (first lines):"
    "$WINE_RUN" reg query "$KEY\\Alpha" 2>/dev/null | tr -d '\r' | sed -n '1,6s/^/     /p'

    # The close box (Alt+F4 through the window manager) stores the quotation.
    xdotool windowactivate --sync "$WIN" key alt+F4
    wait_exit "$LX_PID" 10000 || { fail "still running 10 s after Alt+F4"; return; }
    [ "$LX_RC" = 0 ] || fail "Alt+F4 ended the program with status $LX_RC"
    value="$(reg_value 'General Settings' Citation)"
    echo "   after Alt+F4: General Settings\\Citation = $value"
    [ -n "$value" ] || fail "no quotation stored after Alt+F4"
}

is_front() {
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$WIN" ]
}

case_second_start() {
    start_program || return
    local first="$LX_PID" second count before after
    before="$("$WINE_RUN" reg query "$KEY" /s 2>/dev/null | tr -d '\r')"
    xdotool windowminimize --sync "$WIN" 2>/dev/null
    launch
    second="$LX_PID"
    LX_PID="$first"
    if ! wait_exit "$second" 30000; then
        fail "the second copy still runs after 30 s"
        return
    fi
    [ "$LX_RC" = 0 ] || fail "the second copy ended with status $LX_RC"
    echo "   second start: exit status $LX_RC"
    xs_wait 5000 is_front || fail "the first window did not come to the front"
    count="$(xdotool search --onlyvisible --name "^$LX_CAPTION\$" 2>/dev/null | wc -l)"
    [ "$count" = 1 ] || fail "$count windows named $LX_CAPTION, expected 1"
    after="$("$WINE_RUN" reg query "$KEY" /s 2>/dev/null | tr -d '\r')"
    [ "$before" = "$after" ] || fail "the second start changed the store"
    ended "$first" && fail "the first copy ended"
}

case_end_of_session() {
    start_program || return
    focus_control Citation || return
    keys ctrl+a
    type_text "$FRESH"
    clip_after "$WORK/fresh" ctrl+a ctrl+c || return
    expect_text "the quotation typed" "$FRESH" "$WORK/fresh" || return
    # E, ticked before, is unticked.
    focus_control E || return
    keys space
    unticked() { [ "$(reg_value Alpha 4)" = "REG_SZ 0" ]; }
    xs_wait 5000 unticked || fail "Alpha\\4: expected REG_SZ 0 once E is unticked, got '$(reg_value Alpha 4)'"
    # Wine's end of session: WM_QUERYENDSESSION then WM_ENDSESSION to every
    # window, as Windows sends at logoff.
    wineboot --end-session >/dev/null 2>&1
    local value
    value="$(reg_value 'General Settings' Citation)"
    echo "   after the end of the session: General Settings\\Citation = $value"
    [ "$value" = "REG_SZ Vive le vent" ] || [ "${value#REG_SZ Vive le vent}" != "$value" ] ||
        fail "the quotation typed is not stored after the end of the session"
}

case_links() {
    start_program || return
    : >"$WORK/opened"
    local about title='^À propos de Lexorne' geometry
    about_shown() { about="$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -n 1)"; [ -n "$about" ]; }
    keys alt+p
    xs_wait 10000 about_shown || { fail "Alt+P: no about window within 10 s"; return; }
    xdotool windowactivate --sync "$about" 2>/dev/null
    # Focus starts on OK; Tab goes on to the mail button, then to the link.
    keys Tab space
    mail_opened() { grep -q 'mailto:' "$WORK/opened"; }
    xs_wait 15000 mail_opened || fail "the mail button handed nothing to the shell"
    grep -q 'mailto:lexorne@example.org?Subject=Lexorne$' "$WORK/opened" ||
        grep -q 'mailto:lexorne@example.org?[Ss]ubject=Lexorne' "$WORK/opened" ||
        fail "the mail link's subject is not the application title"

    # The web link, clicked where its design box puts it.
    eval "$(xdotool getwindowgeometry --shell "$about")"
    xdotool mousemove --window "$about" $((WIDTH * 2618 / 5250)) $((HEIGHT * 800 / 1575)) click 1
    web_opened() { grep -q 'https\?://' "$WORK/opened"; }
    xs_wait 15000 web_opened || fail "the web link handed nothing to the shell"
    grep -q 'https://www.example.org/lexorne/' "$WORK/opened" ||
        fail "the web link did not hand over the author's page"
    echo "   the shell was handed:"
    sed 's/^/     /' "$WORK/opened"
}

run_case "typical request: typed, E and N ticked, Alt+O, Go ! on E in Rouge; the registry" \
    case_typical_request
run_case "a second start hands over to the first and exits 0" case_second_start
run_case "the end of the session stores the quotation" case_end_of_session
run_case "the links go through the shell; the mail subject is the title" case_links

results
