#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# Lexorne.exe's command line typed in a Windows console (Wine's cmd on a
# terminal) and with its output redirected by cmd: what it prints, where, and
# its exit status; file names outside the ANSI code page. Every case prints
# its verdict; the last line counts them. Exits 77 (skipped) when a tool is
# missing.
#
# Usage: console.sh LEXORNE.EXE WINE-RUN FACTS
#   FACTS   the build's version/facts.sh (title, version)
set -u
LEXORNE="${1:?usage: console.sh LEXORNE.EXE WINE-RUN FACTS}"
WINE_RUN="${2:?usage: console.sh LEXORNE.EXE WINE-RUN FACTS}"
LX_FACTS="${3:?usage: console.sh LEXORNE.EXE WINE-RUN FACTS}"
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

for tool in wine winepath script od cmp; do
    if ! command -v "$tool" >/dev/null; then
        echo "console: '$tool' is missing; scripts/windows installs what it needs."
        exit 77
    fi
done
eval "$("$WINE_RUN" --environment)" || exit 1

# shellcheck source=../e2e/common.sh
source "$HERE/../e2e/common.sh"
stop_programs() { :; }
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
EXE="$(winepath -w "$LEXORNE" 2>/dev/null)"

# in_console OUTPUT ARGUMENT...: runs cmd /c ARGUMENT... on a terminal of its
# own, so that cmd has a real console; what the terminal showed goes to
# OUTPUT, without the carriage returns and the console's escape sequences.
# Prints the exit status passed on.
in_console() {
    local output="$1"
    shift
    (cd "$WORK" && script -qec "$(printf '%q ' wine cmd /c "$@"); echo status=\$?" /dev/null) \
        </dev/null | sed 's/\x1b\[[0-9]*C/ /g; s/\x1b\[[0-9;?]*[A-Za-z]//g; s/\x1b\][^\x07]*\x07//g; s/\r//g' >"$output"
    sed -n 's/^status=\([0-9]*\).*/\1/p' "$output" | tail -n 1
}

case_version_in_console() {
    local status
    status="$(in_console "$WORK/shown" "$EXE" --version)"
    grep -qxF "$LX_TITLE $LX_VERSION" "$WORK/shown" ||
        fail "--version printed no \"$LX_TITLE $LX_VERSION\" line in the console"
    [ "$status" = 0 ] || fail "--version: status $status, not 0"
    echo "   the console showed:"
    sed 's/^/     /' "$WORK/shown"
}

case_help_and_statuses() {
    local status
    status="$(in_console "$WORK/shown" "$EXE" --help)"
    grep -q '^Utilisation : lexorne' "$WORK/shown" || fail "--help printed no usage in the console"
    grep -q 'ouvre la fenêtre du jeu' "$WORK/shown" || fail "--help: the accents are lost in the console"
    [ "$status" = 0 ] || fail "--help: status $status, not 0"
    status="$(in_console "$WORK/shown" "$EXE" --lettres E --nimporte)"
    grep -q '^lexorne : option inconnue : --nimporte' "$WORK/shown" ||
        fail "a bad option's message is not in the console"
    [ "$status" = 2 ] || fail "bad usage: status $status, not 2"
    status="$(in_console "$WORK/shown" "$EXE" --lettres E absent.txt)"
    grep -q '^lexorne : fichier introuvable : absent.txt' "$WORK/shown" ||
        fail "a missing file's message is not in the console"
    [ "$status" = 1 ] || fail "bad input: status $status, not 1"
}

# Output redirected by cmd goes to the file only, byte for byte; names
# outside the ANSI code page open.
case_redirected_and_wide_names() {
    local name status
    for name in 'citation-ŒŸ.txt' 'цитата.txt'; do
        printf 'Le chat\r\nest là' >"$WORK/$name"
        status="$(in_console "$WORK/shown" "$EXE" --lettres EA "$name" '>' out.txt '2>' err.txt)"
        [ "$status" = 0 ] || fail "$name: status $status, not 0"
        expect_text "$name masked into out.txt" $'*e **a*\r\ne** *à' "$WORK/out.txt"
        [ -s "$WORK/err.txt" ] && fail "$name: something on standard error: $(cat "$WORK/err.txt")"
        grep -q '\*e \*\*a\*' "$WORK/shown" && fail "$name: the redirected output showed in the console too"
    done
    status="$(in_console "$WORK/shown" "$EXE" --version '>' out.txt)"
    expect_text "--version into a file" "$LX_TITLE $LX_VERSION"$'\n' "$WORK/out.txt"
}

run_case "--version typed in a console prints there and exits 0" case_version_in_console
run_case "--help and the error messages print in the console, statuses 0, 2 and 1" case_help_and_statuses
run_case "output redirected by cmd; file names outside the ANSI code page open" \
    case_redirected_and_wide_names
results
