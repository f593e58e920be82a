# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash disable=SC2034 # the texts are for the sourcing script
# What the end-to-end runs share: verdicts, byte comparisons, starting and
# ending the program, the keyboard, the X11 clipboard, the settings file as
# lines, and the texts of the typical request. Sourced after xsession.sh,
# not run. The sourcing script sets LX_COMMAND, the command that starts the
# program, and may set LX_ENV, env(1) arguments for it (NAME=VALUE, -u NAME).

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
    "$2"
    finish
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
    WIN="$(xdotool search --onlyvisible --name '^Lexorama$' 2>/dev/null | head -n 1)"
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

tabs() {
    local n="$1" list=()
    while [ "$n" -gt 0 ]; do
        list+=(Tab)
        n=$((n - 1))
    done
    keys "${list[@]}"
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

# Focus starts on "&Quitter"; the tab order then runs: "À &propos de...",
# "&On y va !", "Re&set", the result box, the quotation box, the letters
# Z Y D C B A E F G H L K J I P O N M Q R S T X W V U, then "Copier dans le
# presse-papier", "Entourer la lettre", the letter list, the colour list,
# "Go !", "Log des lettres demandées".
TABS_TO_RESULT=4
TABS_TO_QUOTATION=5
