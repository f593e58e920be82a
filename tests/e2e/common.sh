# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash disable=SC2034 # the texts are for the sourcing script
# What the end-to-end runs share: verdicts, byte comparisons, the settings
# file as lines, and the texts of the typical request. Sourced, not run.
# The sourcing script defines stop_programs, which ends a case.

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
# The keyboard, through xdotool: keys go to the window that has the focus.

keys() {
    xdotool key --delay 30 "$@"
}

# Types text, one Return per line break.
type_text() {
    local line first=1
    while IFS= read -r line; do
        [ "$first" -eq 1 ] || keys Return
        first=0
        [ -n "$line" ] && xdotool type --delay 15 -- "$line"
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
