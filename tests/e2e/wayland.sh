#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end run under Wayland: the built program on its Wayland plugin, on
# weston nested in a private X server. Keys go through xdotool to weston's
# X11 window, which hands them to the focused Wayland window; the clipboard
# is read with wl-paste. Where the focus is and when the program sets the
# clipboard are read from weston's protocol log, so that every wait ends on
# an event rather than after a guessed delay. The controls are found by name
# through AT-SPI, as under X11. Exits 77 (skipped) when weston or the tools
# are missing.
#
# Usage: wayland.sh LEXORNE FACTS
#   LEXORNE   the program to test
#   FACTS     the build's version/facts.sh (caption, title, version)
set -u

LEXORNE="${1:?usage: wayland.sh LEXORNE FACTS}"
LX_FACTS="${2:?usage: wayland.sh LEXORNE FACTS}"
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# Every wait below is bounded; this bounds the whole run (ctest allows more)
# so that the clean-up always runs.
LIMIT="${LEXORNE_E2E_LIMIT:-200}"

for tool in Xvfb weston wl-paste xdotool xkbcomp setxkbmap xprop od cmp awk timeout /usr/bin/python3; do
    if ! command -v "$tool" >/dev/null; then
        echo "wayland: '$tool' is missing; scripts/test installs what the suites need."
        exit 77
    fi
done
if ! /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null; then
    echo "wayland: libatspi's Python bindings are missing; scripts/test installs what the suites need."
    exit 77
fi

source "$HERE/xsession.sh"
source "$HERE/common.sh"

WESTON_PID=""
WATCHDOG_PID=""
cleanup() {
    stop_programs
    if [ -n "$WESTON_PID" ]; then
        kill "$WESTON_PID" 2>/dev/null
        wait "$WESTON_PID" 2>/dev/null
        WESTON_PID=""
    fi
    xs_stop
    if [ -n "$WATCHDOG_PID" ]; then
        kill "$WATCHDOG_PID" 2>/dev/null
        wait "$WATCHDOG_PID" 2>/dev/null
    fi
}
trap cleanup EXIT
trap 'echo "wayland: stopped after ${LIMIT} s or by a signal"; exit 1' TERM INT HUP

# Its sleep is ended with it, so that nothing holds ctest's output open.
(
    trap 'kill "$sleeper" 2>/dev/null; exit 0' TERM
    sleep "$LIMIT" &
    sleeper=$!
    wait "$sleeper" && kill -TERM $$
) >/dev/null 2>&1 &
WATCHDOG_PID=$!

if ! xs_start || ! xs_a11y_start; then
    echo "wayland: no X session"
    exit 1
fi
CONF="$XDG_CONFIG_HOME/Quillmoor/Lexorne.conf"
WORK="$XS_DIR/work"
WLOG="$XS_DIR/weston.log"
mkdir -p "$WORK"

ms_since() {
    echo $(((${EPOCHREALTIME/./} - $1) / 1000))
}

# ---------------------------------------------------------------------------
# The keyboard map. Weston builds its map from the X server's rule names, not
# from the server's map, so a key bound in the X server alone would type
# something else under Wayland. The characters the texts need go into one
# symbols file, which both use: the X server through xkbcomp, weston through
# a rules file in the private XDG_CONFIG_HOME that libxkbcommon reads first.

# keysym_of CHAR: as a hex keysym, Latin-1 directly, the rest as Unicode.
keysym_of() {
    local code
    code="$(printf '%d' "'$1")"
    [ "$code" -gt 255 ] && code=$((code | 0x1000000))
    printf '0x%08x' "$code"
}

# setup_keyboard TEXT...: puts each character outside ASCII on a function
# key of its own, lower case plain and upper case shifted.
setup_keyboard() {
    local dir="$XDG_CONFIG_HOME/xkb" rules text i c lower upper key=13
    local -A seen=()
    rules="$(xprop -root _XKB_RULES_NAMES | sed -n 's/^[^"]*"\([^"]*\)".*/\1/p')"
    [ -n "$rules" ] || rules=evdev
    mkdir -p "$dir/rules" "$dir/symbols" || return 1
    {
        echo 'default xkb_symbols "basic" {'
        for text in "$@"; do
            for ((i = 0; i < ${#text}; i++)); do
                c="${text:i:1}"
                [ "$(printf '%d' "'$c")" -gt 127 ] || continue
                lower="${c,,}" upper="${c^^}"
                [ -n "${seen[$lower]:-}" ] && continue
                seen[$lower]=1
                if [ "$key" -gt 24 ]; then
                    echo "wayland: too many characters outside ASCII" >&2
                    return 1
                fi
                echo "    key <FK$key> { [ $(keysym_of "$lower"), $(keysym_of "$upper") ] };"
                key=$((key + 1))
            done
        done
        echo '};'
    } >"$dir/symbols/lexorne-e2e" || return 1
    printf '! include %%S/%s\n! model = symbols\n  * = +lexorne-e2e\n' "$rules" \
        >"$dir/rules/$rules" || return 1
    setxkbmap -print | sed '/xkb_symbols/s/\(include "[^"]*\)"/\1+lexorne-e2e"/' |
        xkbcomp -w 0 -I"$dir" - "$DISPLAY" >"$XS_DIR/xkbcomp.log" 2>&1
}

# ---------------------------------------------------------------------------
# Weston and its protocol log

start_weston() {
    local t0=${EPOCHREALTIME/./} xwin
    # No key repeat: a program held up on a loaded machine must not take one
    # key press for several.
    printf '[keyboard]\nrepeat-rate=0\n' >"$XS_DIR/weston.ini" || return 1
    # The pointer stays outside weston's window: no hover, no tooltip.
    xdotool mousemove 1270 1015
    weston --backend=x11-backend.so --socket=lexorne-e2e --shell=desktop-shell.so \
        --idle-time=0 --config="$XS_DIR/weston.ini" --width=1024 --height=768 \
        --log="$WLOG" --logger-scopes=log,proto >"$XS_DIR/weston.out" 2>&1 &
    WESTON_PID=$!
    export WAYLAND_DISPLAY=lexorne-e2e
    # The shell says when it is ready; a window mapped before may not get
    # the focus.
    if ! xs_wait 30000 grep -qs 'desktop_ready()' "$WLOG"; then
        echo "wayland: weston did not start:"
        tail -n 20 "$XS_DIR/weston.out" "$WLOG" 2>/dev/null | sed 's/^/     /'
        return 1
    fi
    xwin="$(xdotool search --class '^Weston Compositor$' 2>/dev/null | head -n 1)"
    if [ -z "$xwin" ] || ! timeout 10 xdotool windowfocus --sync "$xwin"; then
        echo "wayland: weston's X11 window cannot take the keyboard"
        return 1
    fi
    echo "   weston ready after $(ms_since "$t0") ms"
}

# Prints the title of the window that holds the keyboard focus (nothing when
# none does), from the requests and events weston logged. A protocol line
# reads "[TIME][proto] client ID rq|ev MESSAGE" on weston 10; newer ones put
# the date in TIME and "(PID N)" after the client's ID, so the fields are
# found from the word "client" on.
#   focused_title [LINE]: with LINE, only a focus that moved after that line
#   of the log counts, and "=" stands first when none moved since, so that a
#   caller can tell "back on the window" from "never left, as far as the log
#   says yet".
focused_title() {
    awk -v since="${1:-0}" '
        function object(s, kind) {
            if (match(s, kind "@[0-9]+")) return substr(s, RSTART, RLENGTH)
            return ""
        }
        {
            for (i = 1; i <= NF && $i != "client"; i++) continue
            if (i > NF) next
            client = $(i + 1); i += 2
            if ($i ~ /^\(PID$/) i += 2
            kind = $i; message = $(i + 1)
        }
        kind == "rq" && message ~ /^wl_compositor@[0-9]+\.create_surface\(/ {
            delete title[client, object(message, "wl_surface")]
        }
        kind == "rq" && message ~ /\.get_xdg_surface\(/ {
            surface[client, object($0, "xdg_surface")] = object($0, "wl_surface")
        }
        kind == "rq" && message ~ /^xdg_surface@[0-9]+\.get_toplevel\(/ {
            toplevel[client, object($0, "xdg_toplevel")] = surface[client, object(message, "xdg_surface")]
        }
        kind == "rq" && message ~ /^xdg_toplevel@[0-9]+\.set_title\(/ {
            t = $0
            sub(/^[^"]*"/, "", t)
            sub(/"\)$/, "", t)
            title[client, toplevel[client, object(message, "xdg_toplevel")]] = t
        }
        kind == "ev" && message ~ /^wl_keyboard@[0-9]+\.enter\(/ {
            focus = client SUBSEP object($0, "wl_surface")
            moved = NR
        }
        kind == "ev" && message ~ /^wl_keyboard@[0-9]+\.leave\(/ { focus = ""; moved = NR }
        END {
            if (since > 0 && moved <= since) printf "="
            if (focus != "" && (focus in title)) print title[focus]
        }
    ' "$WLOG"
}

# has_focus PATTERN: whether the focused window's title matches PATTERN.
has_focus() {
    # shellcheck disable=SC2053 # a pattern on purpose
    [[ "$(focused_title)" == $1 ]]
}

# wait_focus PATTERN MS [WHAT]: waits until the window whose title matches
# PATTERN holds the keyboard focus, so that the next key reaches it.
wait_focus() {
    local t0=${EPOCHREALTIME/./}
    if ! xs_wait "$2" has_focus "$1"; then
        fail "${3:-the window \"$1\"} does not have the keyboard focus after $(($2 / 1000)) s (focus: '$(focused_title)')"
        return 1
    fi
    FOCUS_MS="$(ms_since "$t0")"
}

# How many times a client has set the clipboard so far.
selections() {
    grep -c ' rq wl_data_device@[0-9]*\.set_selection(wl_data_source@' "$WLOG"
}

selection_after() {
    [ "$(selections)" -gt "$1" ]
}

# How many main windows were ever created.
main_windows() {
    grep -c " rq xdg_toplevel@[0-9]*\\.set_title(\"$LX_CAPTION\")\$" "$WLOG"
}

# more_main_windows N: whether more than N main windows were ever created.
more_main_windows() {
    [ "$(main_windows)" -gt "$1" ]
}

# ---------------------------------------------------------------------------
# The program

MAIN="$LX_CAPTION"
FOCUS_MS=""

# On Wayland alone, X out of its reach.
LX_COMMAND=("$LEXORNE")
LX_ENV=(-u DISPLAY QT_QPA_PLATFORM=wayland "${LX_A11Y_ENV[@]}")

# An AddressSanitizer build also reports, at exit, what Qt's Wayland plugin
# leaves behind: those reports are filtered out by module, which needs whole
# call stacks (the GL driver has no frame pointers). The caller's own
# suppressions still apply.
sanitizer_setup() {
    grep -q -a -m 1 '__asan_init' "$LEXORNE" || return 0
    local merged="$XS_DIR/lsan.supp" option options="" parts=()
    : >"$merged" || return 1
    IFS=: read -r -a parts <<<"${LSAN_OPTIONS:-}"
    for option in "${parts[@]}"; do
        if [ "${option%%=*}" = suppressions ]; then
            if ! cat "${option#*=}" >>"$merged"; then
                echo "wayland: cannot read the suppressions in LSAN_OPTIONS: ${option#*=}"
                return 1
            fi
        elif [ -n "$option" ]; then
            options+="$option:"
        fi
    done
    cat "$HERE/wayland-lsan.supp" >>"$merged" || return 1
    LX_ENV+=("LSAN_OPTIONS=${options}suppressions=$merged"
        "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0")
    echo "   sanitized build: Qt's Wayland leaks at exit are filtered out"
}

# Starts the program, waits for its window to take the keyboard, and checks
# that Qt chose its Wayland plugin.
start_program() {
    local t0=${EPOCHREALTIME/./} windows
    windows="$(main_windows)"
    launch
    # After a restart the log still shows the focus of the copy that just
    # ended: this start's own window comes first.
    if ! xs_wait 30000 more_main_windows "$windows"; then
        fail "no main window 30 s after the start"
        return 1
    fi
    wait_focus "$MAIN" 30000 "the main window" || return 1
    echo "   window focused $(ms_since "$t0") ms after the start"
    grep -q 'libqwayland' "/proc/$LX_PID/maps" 2>/dev/null ||
        fail "the program runs without Qt's Wayland plugin"
}

# read_clipboard FILE: reads the clipboard as UTF-8 text, exact bytes. On
# weston 10, wl-paste needs the keyboard focus to be handed the clipboard:
# it maps a window for that, and the main window gets the focus back only
# once weston has faded that window out. Keys sent meanwhile are lost, so
# this waits for the focus to return.
# weston writes its log as it goes, so the focus the log shows right after
# wl-paste ends may predate wl-paste's own window (seen under weston 14 on a
# loaded machine: the keys went to the fading window). The focus counts as
# back only once the log shows it move after the read began; a weston whose
# log shows no move at all within 2 s did not hand the focus over.
focus_back_since() { # LINE T0
    local title
    title="$(focused_title "$1")"
    [ "$title" = "$MAIN" ] && return 0
    [ "$title" = "=$MAIN" ] && [ "$(ms_since "$2")" -ge 2000 ]
}

read_clipboard() {
    local t0=${EPOCHREALTIME/./} read_ms mark
    mark=$(wc -l <"$WLOG")
    if ! timeout 15 wl-paste --no-newline --type 'text/plain;charset=utf-8' >"$1" 2>"$WORK/wl-paste.err"; then
        fail "wl-paste could not read the clipboard: $(head -c 300 "$WORK/wl-paste.err")"
        return 1
    fi
    read_ms="$(ms_since "$t0")"
    if ! xs_wait 15000 focus_back_since "$mark" "$t0"; then
        fail "after wl-paste, the main window does not have the keyboard focus after 15 s (focus: '$(focused_title)')"
        return 1
    fi
    echo "   clipboard read in $read_ms ms, focus back $(($(ms_since "$t0") - read_ms)) ms later"
}

# clip_after FILE KEY...: presses the keys, waits for the program to set the
# clipboard, and reads it into FILE.
clip_after() {
    local file="$1" before
    shift
    before="$(selections)"
    keys "$@"
    if ! xs_wait 15000 selection_after "$before"; then
        fail "the clipboard was not set within 15 s after: $*"
        return 1
    fi
    read_clipboard "$file"
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

    # The modal about window takes the keyboard and gives it back.
    keys alt+p
    # Under weston 14 on a loaded machine the key has once been lost (the
    # main window kept the focus): asked once more, the modal window being
    # the only one it can open.
    if ! xs_wait 5000 has_focus "À propos de $LX_TITLE *"; then
        echo "   no about window 5 s after Alt+P: pressed again"
        keys alt+p
    fi
    wait_focus "À propos de $LX_TITLE *" 15000 "after Alt+P, the about window" || return
    keys Escape
    wait_focus "$MAIN" 15000 "after Escape, the main window" || return
    # The quotation is stored once typing has paused 2 s, before any close,
    # so that a crash loses no more; and again when the window goes.
    quotation_stored() { settings_lines | grep -q '^General%20Settings/Citation=.'; }
    xs_wait 10000 quotation_stored ||
        fail "the quotation was not stored while the window stayed open"
    keys alt+q
    if ! wait_exit "$LX_PID" 15000; then
        fail "still running 15 s after Alt+Q"
        return
    fi
    [ "$LX_RC" = 0 ] || fail "Alt+Q ended the program with status $LX_RC"
    local citation expected="General%20Settings/Citation=\"${QUOTATION//$'\n'/\\n}\""
    citation="$(settings_lines | grep '^General%20Settings/Citation=')"
    [ "$citation" = "$expected" ] ||
        fail "after Alt+Q, expected the stored line '$expected', got: '${citation:-(none)}'"
}

# A second start hands its activation token to the running copy and ends.
# Weston 10 offers no xdg-activation, so whether the first window comes to
# the front cannot be seen here; that it stays the only one can.
case_second_start() {
    start_program || return
    local first="$LX_PID" second windows before="$WORK/settings-before"
    windows="$(main_windows)"
    { cat "$CONF" 2>/dev/null || echo "(no settings file)"; } >"$before"

    local t0=${EPOCHREALTIME/./}
    launch XDG_ACTIVATION_TOKEN="lexorne-e2e-token-$$"
    second="$LX_PID"
    LX_PID="$first"
    if ! wait_exit "$second" 15000; then
        fail "the second copy still runs after 15 s"
        return
    fi
    echo "   the second copy ended after $(ms_since "$t0") ms"
    [ "$LX_RC" = 0 ] || fail "the second copy ended with status $LX_RC"
    [ "$(main_windows)" = "$windows" ] || fail "the second copy opened a window"
    ended "$first" && fail "the first copy ended"
    { cat "$CONF" 2>/dev/null || echo "(no settings file)"; } >"$WORK/settings-after"
    same_bytes "the settings file" "$before" "$WORK/settings-after"

    # Still answering the keyboard: Alt+Q ends it.
    wait_focus "$MAIN" 15000 "after the second start, the main window" || return
    keys alt+q
    wait_exit "$first" 15000 || fail "the first copy still runs 15 s after Alt+Q"
}

if ! setup_keyboard "$QUOTATION"; then
    echo "wayland: could not set up the keyboard map:"
    sed 's/^/     /' "$XS_DIR/xkbcomp.log" 2>/dev/null
    exit 1
fi
start_weston || exit 1
sanitizer_setup || exit 1

run_case "Wayland: type, tick E and N, Alt+O, Go !, about window, Alt+Q" case_typical_request
run_case "Wayland: a second start hands over to the first" case_second_start
run_case "Wayland: a whole game by keyboard: three players, a restart, the reveal" whole_game

weston_log() {
    echo "   weston's log, without the protocol:"
    grep -v '\]\[proto\]' "$WLOG" 2>/dev/null | tail -n 30 | sed 's/^/     /'
}
results weston_log
