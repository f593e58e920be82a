# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash disable=SC2034 # the texts are for the sourcing script
# What the end-to-end runs share: verdicts and the results footer, byte
# comparisons, starting and ending the program, the keyboard, controls found
# by name, the X11 clipboard, the settings file as lines, and the typical
# request with its texts. Sourced after xsession.sh, not run. The sourcing
# script sets LX_FACTS (the build's version/facts.sh) before, and after:
# LX_COMMAND, the command that starts the program, and may set LX_ENV, env(1)
# arguments for it (NAME=VALUE, -u NAME).

COMMON_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# The program's caption, title and version, as the build has them.
# shellcheck source=/dev/null
source "${LX_FACTS:?the sourcing script sets LX_FACTS}" || exit 1
# The main window's controls in tab order: "objectName<TAB>name[<TAB>off]".
TAB_ORDER="$COMMON_DIR/../support/taborder.txt"

# ---------------------------------------------------------------------------
# Verdicts

PASSED=0
FAILED=0
CASE=""
CASE_FAILED=0

begin() {
    CASE="$1"
    CASE_FAILED=0
    echo "== $CASE"
}

fail() {
    echo "   FAIL: $*"
    CASE_FAILED=1
}

finish() {
    stop_programs
    if [ "$CASE_FAILED" -eq 0 ]; then
        echo "PASS $CASE"
        PASSED=$((PASSED + 1))
    else
        echo "FAIL $CASE"
        FAILED=$((FAILED + 1))
    fi
}

run_case() {
    begin "$1"
    "${@:2}"
    finish
}

# The last lines of every run: the program's output when a case failed,
# then what more the suite shows (a function it names, if any), then the
# count; the status says whether all passed.
results() {
    if [ "$FAILED" -gt 0 ]; then
        if [ -s "${XS_DIR:-}/lexorne.log" ]; then
            echo "   program output:"
            sed 's/^/     /' "$XS_DIR/lexorne.log"
        fi
        [ -n "${1:-}" ] && "$1"
    fi
    echo "$PASSED passed, $FAILED failed"
    [ "$FAILED" -eq 0 ]
}

# same_bytes WHAT EXPECTED_FILE RECEIVED_FILE
same_bytes() {
    cmp -s "$2" "$3" && return 0
    fail "$1: the bytes differ"
    echo "   expected:"
    od -c "$2" | sed 's/^/     /'
    echo "   received:"
    od -c "$3" | sed 's/^/     /'
    return 1
}

# expect_text WHAT EXPECTED RECEIVED_FILE (needs $WORK)
expect_text() {
    printf '%s' "$2" >"$WORK/expected"
    same_bytes "$1" "$WORK/expected" "$3"
}

# ---------------------------------------------------------------------------
# The program, by process id: every copy started is ended by stop_programs.

LX_COMMAND=()
LX_ENV=()
LX_PIDS=()
LX_PID=""
LX_RC=""
WIN=""

# launch [NAME=VALUE...]: starts a copy, its output appended to the log.
launch() {
    env "${LX_ENV[@]}" "$@" "${LX_COMMAND[@]}" >>"$XS_DIR/lexorne.log" 2>&1 &
    LX_PID=$!
    LX_PIDS+=("$LX_PID")
}

# A process that has ended, reaped or not.
ended() {
    local state
    state="$(awk '{ print $3 }' "/proc/$1/stat" 2>/dev/null)"
    [ -z "$state" ] || [ "$state" = Z ]
}

# wait_exit PID MS: sets LX_RC to the exit status, or fails after MS.
wait_exit() {
    LX_RC=""
    xs_wait "$2" ended "$1" || return 1
    wait "$1" 2>/dev/null
    LX_RC=$?
}

# Ends whatever the run started and left running: SIGTERM, then SIGKILL
# after 5 s.
stop_programs() {
    local pid
    atspi_stop
    for pid in "${LX_PIDS[@]}"; do
        ended "$pid" && { wait "$pid" 2>/dev/null; continue; }
        kill -TERM "$pid" 2>/dev/null
        xs_wait 5000 ended "$pid" || kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    LX_PIDS=()
}

# On X11: the main window, shown, into WIN.
visible_main() {
    WIN="$(xdotool search --onlyvisible --name "^$LX_CAPTION\$" 2>/dev/null | head -n 1)"
    [ -n "$WIN" ]
}

# ---------------------------------------------------------------------------
# The keyboard, through xdotool: keys go to the window that has the focus.
# A run whose program takes keys more slowly sets longer gaps.

KEY_DELAY_MS=30
TYPE_DELAY_MS=15

keys() {
    xdotool key --delay "$KEY_DELAY_MS" "$@"
}

# Types text, one Return per line break.
type_text() {
    local line first=1
    while IFS= read -r line; do
        [ "$first" -eq 1 ] || keys Return
        first=0
        [ -n "$line" ] && xdotool type --delay "$TYPE_DELAY_MS" -- "$line"
    done <<<"$1"
}

# ---------------------------------------------------------------------------
# Controls by name: a control is reached by its accessible name (the second
# field of $TAB_ORDER), and where the focus is, is read by name.
#   focus_control NAME   gives NAME the keyboard focus
#   expect_focus NAME    fails the case unless NAME has the focus
# Here through AT-SPI (tests/e2e/atspi.py, one helper per copy of the
# program), as a screen reader does: the same under X11 and Wayland. The
# program runs with Qt's accessibility on; xs_a11y_start starts the bus.

LX_A11Y_ENV=(QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1)
ATSPI_FOR=""
ATSPI_ANSWER=""

atspi_stop() {
    [ -n "${ATSPI_PID:-}" ] || return 0
    kill "$ATSPI_PID" 2>/dev/null
    wait "$ATSPI_PID" 2>/dev/null
    ATSPI_PID="" ATSPI_FOR=""
}

# atspi_ask COMMAND: the helper's answer in ATSPI_ANSWER; fails on an error.
atspi_ask() {
    if [ "$ATSPI_FOR" != "$LX_PID" ] || [ -z "${ATSPI_PID:-}" ] || ended "$ATSPI_PID"; then
        atspi_stop
        coproc ATSPI { exec /usr/bin/python3 "$COMMON_DIR/atspi.py" "$LX_PID" "$LX_CAPTION" 2>>"$XS_DIR/atspi.log"; }
        ATSPI_FOR="$LX_PID"
    fi
    local reply=""
    printf '%s\n' "$1" >&"${ATSPI[1]}" && IFS= read -r -t 60 reply <&"${ATSPI[0]}"
    case "$reply" in
        ok) ATSPI_ANSWER="" ;;
        "ok "*) ATSPI_ANSWER="${reply#ok }" ;;
        "") ATSPI_ANSWER="no answer from tests/e2e/atspi.py: $(tail -n 3 "$XS_DIR/atspi.log" 2>/dev/null)"; return 1 ;;
        *) ATSPI_ANSWER="${reply#error }"; return 1 ;;
    esac
}

focus_control() {
    atspi_ask "focus $1" && return 0
    fail "\"$1\" did not take the focus: $ATSPI_ANSWER"
    return 1
}

expect_focus() {
    if ! atspi_ask focused; then
        fail "where the focus is could not be read: $ATSPI_ANSWER"
        return 1
    fi
    [ "$ATSPI_ANSWER" = "$1" ] && return 0
    fail "the focus is on \"$ATSPI_ANSWER\", not on \"$1\""
    return 1
}

# The accessible names of $TAB_ORDER that the window has from the start, one
# a line, in its order.
tab_order_names() {
    awk -F '\t' '!/^#/ && NF >= 2 && ($3 == "" || $3 == "off") { print $2 }' "$TAB_ORDER"
}

# ---------------------------------------------------------------------------
# The X11 clipboard, through xclip. Its owner must be alive to be read.

SENTINEL="lexorne sentinel $$"
# How long clip_after waits for the clipboard to change.
CLIP_WAIT_MS=5000

clip_read() {
    timeout 5 xclip -o -selection clipboard >"$1" 2>/dev/null
}

clip_is_sentinel() {
    clip_read "$WORK/sentinel-check" && [ "$(cat "$WORK/sentinel-check")" = "$SENTINEL" ]
}

# Puts a known text on the clipboard, so that a change shows.
clip_mark() {
    printf '%s' "$SENTINEL" | xclip -i -selection clipboard
    xs_wait 3000 clip_is_sentinel || fail "could not put a mark on the clipboard"
}

clip_changed() {
    clip_read "$1" && [ "$(cat "$1")" != "$SENTINEL" ]
}

# clip_change FILE KEY...: marks the clipboard, presses the keys, and waits
# for the clipboard to change; FILE receives its content.
clip_change() {
    local file="$1"
    shift
    clip_mark
    keys "$@"
    if ! xs_wait "$CLIP_WAIT_MS" clip_changed "$file"; then
        fail "the clipboard did not change within $((CLIP_WAIT_MS / 1000)) s after: $*"
        return 1
    fi
}

# What the cases call; a run that reads the clipboard another way too (as
# Windows programs see it) defines its own around clip_change.
clip_after() {
    clip_change "$@"
}

# ---------------------------------------------------------------------------
# The settings file ($CONF), as "section/key=value" lines.

settings_lines() {
    [ -f "$CONF" ] || return 0
    awk '/^\[.*\]$/ { section = substr($0, 2, length($0) - 2); next }
         /=/ { i = index($0, "="); print section "/" substr($0, 1, i - 1) "=" substr($0, i + 1) }' "$CONF"
}

# The letter keys "0".."25" of section Alpha, sorted.
stored_letters() {
    settings_lines | grep -E '^Alpha/([0-9]|1[0-9]|2[0-5])=' | sort -t/ -k2n
}

# ---------------------------------------------------------------------------
# Expected texts

# The quotation, typed: accents, a ligature, capitals, three lines.
QUOTATION=$'Été à Noël,\nle cœur léger :\n3 ÉTAPES !'
# Masked with E and N ticked, followed by the log.
RENDERED=$'É*é * N*ë*,\n*e *œ** *é*e* :\n3 É***E* !\r\r\r   E - N'
R='[color=red]'
C='[/color]'
HIGHLIGHTED="${R}É${C}*${R}é${C} * N*${R}ë${C}*,"$'\n'"*${R}e${C} *œ** *${R}é${C}*${R}e${C}* :"$'\n'"3 ${R}É${C}***${R}E${C}* !"$'\r\r\r'"   ${R}E${C} - N"
FRESH=$'Vive l\'été\nà Noël !'


# ---------------------------------------------------------------------------
# The typical request, the same in every run: the quotation typed, E and N
# ticked, "&On y va !" by its access key, then "Go !" on E/e in Rouge, each
# result read from the clipboard. A run may define before sourcing:
#   type_quotation     how the quotation goes in (default: typed)
#   expect_clipboard   WHAT EXPECTED FILE: how a clipboard read is compared
# and sets QUOTATION, RENDERED and HIGHLIGHTED after sourcing for texts of
# its own.

declare -F type_quotation >/dev/null || type_quotation() { type_text "$QUOTATION"; }
declare -F expect_clipboard >/dev/null || expect_clipboard() { expect_text "$@"; }

typical_request() {
    focus_control Citation || return 1
    type_quotation
    clip_after "$WORK/typed" ctrl+a ctrl+c || return 1
    expect_clipboard "the quotation typed (Ctrl+A, Ctrl+C in the quotation box)" \
        "$QUOTATION" "$WORK/typed" || return 1

    local letter
    for letter in E N; do
        focus_control "$letter" || return 1
        keys space
    done
    # An access key presses its button where the focus is, and leaves it there.
    clip_after "$WORK/rendered" alt+o || return 1
    expect_focus N
    expect_clipboard "the clipboard after \"&On y va !\"" "$RENDERED" "$WORK/rendered"

    focus_control "Entourer la lettre" || return 1
    keys space
    # E/e is the fifth letter, Rouge the second colour.
    focus_control "Lettre à entourer" || return 1
    keys Down Down Down Down
    focus_control Couleur || return 1
    keys Down
    focus_control "Go !" || return 1
    clip_after "$WORK/highlighted" space || return 1
    expect_clipboard "the clipboard after \"Go !\" with E/e in Rouge" "$HIGHLIGHTED" \
        "$WORK/highlighted"
}

# Every control of $TAB_ORDER, the highlight's switched on, is reached by
# its name and says it has the focus: adding a line there adds its check.
every_control_by_name() {
    focus_control "Entourer la lettre" || return 1
    keys space
    local name
    while IFS= read -r name; do
        focus_control "$name" && expect_focus "$name"
    done < <(tab_order_names)
}

# The accessible names of $TAB_ORDER that the game panel brings, in order.
panel_names() {
    awk -F '\t' '!/^#/ && NF >= 3 && $3 == "panel" { print $2 }' "$TAB_ORDER"
}

# ---------------------------------------------------------------------------
# A whole game by keyboard alone: the quotation typed, the panel opened by
# its access key, three players naming letters with the focus on the board,
# a restart in the middle, a wrong and a right guess, the misses and results
# lines, then the reveal, which must be what the command line writes for
# the same game. A run defines start_program; LEXORNE is the program.

# play_as NAME LETTER...: NAME in "Joueur", then each letter typed on the
# board.
play_as() {
    local name="$1"
    shift
    focus_control Joueur || return 1
    keys ctrl+a
    type_text "$name"
    focus_control A || return 1
    local letter
    for letter in "$@"; do
        keys "$letter"
    done
}

# guess TEXT: the guess typed in "Proposition" and checked with Return.
guess() {
    focus_control Proposition || return 1
    type_text "$1"
    keys Return
}

whole_game() {
    # A game of its own, from an empty store.
    rm -f "$CONF"
    start_program || return 1
    focus_control Citation || return 1
    type_quotation
    keys alt+j
    # The panel's controls reach the accessibility bus a moment after it opens.
    local name
    name="$(panel_names | head -n 1)"
    if ! xs_wait 10000 atspi_ask "focus $name"; then
        fail "Alt+J did not open the game panel: $ATSPI_ANSWER"
        return 1
    fi
    while IFS= read -r name; do
        focus_control "$name" && expect_focus "$name"
    done < <(panel_names)

    play_as Alice e t || return 1
    play_as Bob k n || return 1
    # The ledger is stored with the game: a new start carries on with it,
    # the panel open as it was left.
    keys alt+q
    if ! wait_exit "$LX_PID" 15000; then
        fail "still running 15 s after Alt+Q"
        return 1
    fi
    start_program || return 1
    play_as Chloe z || return 1
    guess "le coeur" || return 1
    guess "ete a noel le coeur leger 3 etapes" || return 1
    focus_control "Ligne des erreurs" || return 1
    keys space
    focus_control "Ligne des résultats" || return 1
    keys space
    clip_after "$WORK/reveal" alt+r || return 1

    printf '%s' "$QUOTATION" >"$WORK/game-quotation"
    if ! "$LEXORNE" --qui e=Alice --qui t=Alice --qui k=Bob --qui n=Bob --qui z=Chloe \
        --essai "Chloe=le coeur" --essai "Chloe=ete a noel le coeur leger 3 etapes" \
        --log --erreurs --resultats --reveler "$WORK/game-quotation" >"$WORK/game-cli"; then
        fail "the command line failed on the same game"
        return 1
    fi
    # Misses: Bob's K, Chloe's Z and her wrong guess.
    grep -q 'Erreurs : 3' "$WORK/game-cli" || fail "the command line counts other than 3 misses"
    expect_clipboard "the reveal after a whole game, as the command line writes it" \
        "$(cat "$WORK/game-cli")" "$WORK/reveal"
}
