# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Several games, on X11: two games side by side across restarts, a file of
# quotations imported, a game moved to a fresh home by export and import,
# and a store of the one-game days opened and left readable to the versions
# that know nothing else. Sourced by e2e.sh after common.sh and dialogs.sh;
# uses its start_program, CONF and WORK, and LEXORNE, the program.
#
# What a game holds is read through the window (the clipboard, the list's
# rows), the read-only command line and the store's usual keys; never from
# the file that keeps the other games, whose layout is the program's own
# business.

# The second game: its name once renamed, and its result (FRESH, V and L
# ticked, with the log).
GAME_B_NAME='Hiver #12'
GAME_B_RENDERED=$'V*v* l\'***\n* ***l !\r\r\r   L - V'

# ---------------------------------------------------------------------------
# Homes

# use_home NAME: the starts and command lines that follow use a home of
# their own (HOME and every XDG folder), empty the first time.
use_home() {
    local root="$XS_DIR/homes/$1" dir
    for dir in home config data cache state; do
        mkdir -p "$root/$dir" || return 1
    done
    export HOME="$root/home" XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data"
    export XDG_CACHE_HOME="$root/cache" XDG_STATE_HOME="$root/state"
    CONF="$XDG_CONFIG_HOME/Quillmoor/Lexorne.conf"
}

# in_home NAME FUNCTION: FUNCTION run in the home NAME; the run's own
# home is back afterwards, whatever FUNCTION did.
in_home() {
    local saved=("$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "${XDG_STATE_HOME-}")
    if use_home "$1"; then
        "$2"
    else
        fail "could not make the home $1"
    fi
    export HOME="${saved[0]}" XDG_CONFIG_HOME="${saved[1]}" XDG_DATA_HOME="${saved[2]}"
    export XDG_CACHE_HOME="${saved[3]}"
    if [ -n "${saved[4]}" ]; then export XDG_STATE_HOME="${saved[4]}"; else unset XDG_STATE_HOME; fi
    CONF="$XDG_CONFIG_HOME/Quillmoor/Lexorne.conf"
}

# ---------------------------------------------------------------------------
# The window

# Opens the game panel unless the start reopened it, and waits until the
# list of games is read: its buttons take the focus only then.
open_games() {
    if ! atspi_ask names; then
        fail "the window's controls could not be read: $ATSPI_ANSWER"
        return 1
    fi
    case $'\t'"$ATSPI_ANSWER"$'\t' in
        *$'\tAjouter une partie\t'*) ;;
        *)
            # Right after a start the shortcut may not work yet.
            if ! atspi_ask active; then
                fail "the window does not say it is active: $ATSPI_ANSWER"
                return 1
            fi
            keys alt+j
            ;;
    esac
    if ! xs_wait 15000 atspi_ask "focus Ajouter une partie"; then
        fail "the games of the panel were not ready within 15 s: $ATSPI_ANSWER"
        return 1
    fi
}

rows_are() {
    atspi_ask "rows Parties" && [ "$ATSPI_ANSWER" = "$1" ]
}

# expect_rows WHAT ROW...: the rows of the list "Parties", in order, within
# 5 s.
expect_rows() {
    local what="$1" expected
    shift
    expected="$(printf '%s\t' "$@")"
    expected="${expected%$'\t'}"
    xs_wait 5000 rows_are "$expected" && return 0
    fail "$what: the list \"Parties\" holds '${ATSPI_ANSWER//$'\t'/' | '}', expected '${expected//$'\t'/' | '}'"
    return 1
}

focus_is() {
    atspi_ask focused && [ "$ATSPI_ANSWER" = "$1" ]
}

# expect_box NAME WHAT EXPECTED: the whole text of the box NAME ("Citation",
# "Résultat"), copied with Ctrl+A, Ctrl+C.
expect_box() {
    focus_control "$1" || return 1
    clip_after "$WORK/box" ctrl+a ctrl+c || return 1
    expect_text "$2" "$3" "$WORK/box"
}

# expect_game WHAT QUOTATION RESULT: the game on screen, by its two boxes.
expect_game() {
    expect_box Citation "$1: the quotation" "$2"
    expect_box Résultat "$1: the result" "$3"
}

# tick LETTER...: ticks each letter on the board.
tick() {
    local letter
    for letter in "$@"; do
        focus_control "$letter" || return 1
        keys space
    done
}

# Alt+H, and the menu it opens. An Alt+H sent within some tens of
# milliseconds of the closing of a message that the menu's entry showed
# opens nothing (Qt 6.4 under openbox), a later one does: pressed again.
import_menu_shown() {
    keys alt+h
    xs_wait 1000 popup_shown
}

# import_file KEY TITLE PATH: "Importer un fic&hier", the menu's entry KEY,
# then PATH in the file dialog TITLE.
import_file() {
    xdotool mousemove 0 0
    if ! xs_wait 8000 import_menu_shown; then
        fail "Alt+H showed no menu within 8 s (to import $3)"
        return 1
    fi
    keys "$1"
    answer_dialog "$2" "$3"
}

# import_ok KEY TITLE PATH: import_file, which must end back in the main
# window.
import_ok() {
    import_file "$@" && main_back
}

# export_game KEY PATH: "E&xporter la partie…", the button KEY of the
# question asked when there are several games (none when there is one),
# then PATH in the save dialog; waits for the file.
export_game() {
    keys alt+x
    if [ -n "$1" ]; then
        if ! xs_wait 10000 dialog_active Exporter; then
            fail "Alt+X asked nothing within 10 s"
            return 1
        fi
        # The save dialog that follows has the same title.
        local question="$DIALOG"
        keys "$1"
        if ! xs_wait 10000 window_gone "$question"; then
            fail "the question is still shown 10 s after $1"
            return 1
        fi
    fi
    answer_dialog Exporter "$2" && main_back || return 1
    xs_wait 10000 test -s "$2" || fail "nothing written to $2"
}

# switch_game KEY WHAT QUOTATION RESULT: Ctrl+PgUp or Ctrl+PgDown, then the
# game on screen checked.
switch_game() {
    keys "$1"
    expect_game "$2" "$3" "$4"
}

# ---------------------------------------------------------------------------
# The command line, run with the home of the case

PARTIES=""
# Reads the list of stored games into PARTIES (one name a line).
read_parties() {
    PARTIES="$("$LEXORNE" --parties 2>&1)"
}
parties_are() {
    read_parties && [ "$PARTIES" = "$1" ]
}

parties_count_is() {
    read_parties && [ "$(printf '%s\n' "$PARTIES" | wc -l)" = "$1" ]
}

# expect_parties WHAT NAME...: the stored games, in order; the window may
# still be writing them.
expect_parties() {
    local what="$1" expected
    shift
    expected="$(printf '%s\n' "$@")"
    xs_wait 10000 parties_are "$expected" && return 0
    fail "$what: lexorne --parties gives '${PARTIES//$'\n'/ | }', expected '${expected//$'\n'/ | }'"
    return 1
}

# expect_post WHAT NAME EXPECTED [OPTION...]: what lexorne --partie NAME writes.
expect_post() {
    local what="$1" name="$2" expected="$3"
    shift 3
    if ! "$LEXORNE" --partie "$name" "$@" >"$WORK/post" 2>"$WORK/post-error"; then
        fail "$what: lexorne --partie '$name' failed: $(cat "$WORK/post-error")"
        return 1
    fi
    expect_text "$what: lexorne --partie '$name' $*" "$expected" "$WORK/post"
}

# ---------------------------------------------------------------------------
# Cases

# Two games, each with its quotation and ticks, switched by both keys and the
# list, kept whole across a restart. The game started in an empty home is
# "Partie"; the new one is renamed.
two_games() {
    start_program || return
    focus_control Citation || return
    type_text "$QUOTATION"
    tick E N || return
    clip_after "$WORK/rendered" alt+o || return
    expect_text "the first game's result" "$RENDERED" "$WORK/rendered" || return

    open_games || return
    # "Ajouter une partie" has the focus.
    keys space
    expect_rows "a game added" Partie "Partie (2)" || return
    # The new game starts empty: the text copied is the text typed alone.
    focus_control Citation || return
    type_text "$FRESH"
    tick V L || return
    clip_after "$WORK/rendered" alt+o || return
    expect_text "the new game's result" "$GAME_B_RENDERED" "$WORK/rendered" || return
    expect_box Citation "the new game's quotation" "$FRESH" || return
    focus_control "Rebaptiser la partie" || return
    keys space
    answer_dialog "Renommer la partie" "$GAME_B_NAME" && main_back || return
    expect_rows "two games" Partie "$GAME_B_NAME"

    switch_game ctrl+Prior "back to the first game by Ctrl+PgUp" "$QUOTATION" "$RENDERED"
    switch_game ctrl+Next "to the second by Ctrl+PgDown" "$FRESH" "$GAME_B_RENDERED"
    switch_game ctrl+Prior "back to the first again" "$QUOTATION" "$RENDERED"
    # Enter on a row of the list puts that game on screen. The list takes
    # no focus through AT-SPI: its label's access key gives it.
    keys alt+g
    if ! xs_wait 5000 focus_is Parties; then
        fail "Alt+G: the focus is on \"$ATSPI_ANSWER\", not on the list \"Parties\""
        return
    fi
    keys Down Return
    expect_game "the second game by Enter in the list" "$FRESH" "$GAME_B_RENDERED"
    # The command line reads the games while the window is open.
    expect_parties "with the window open" Partie "$GAME_B_NAME"

    quit_program alt+q || return
    expect_parties "after Alt+Q" Partie "$GAME_B_NAME"
    expect_post "the first game" Partie "$RENDERED" --log
    expect_post "the second game" "$GAME_B_NAME" "$GAME_B_RENDERED" --log

    start_program || return
    expect_game "the game on screen at the quit, after a new start" "$FRESH" "$GAME_B_RENDERED"
    open_games || return
    expect_rows "after a new start" Partie "$GAME_B_NAME"
    switch_game ctrl+Prior "the first game after a new start" "$QUOTATION" "$RENDERED"
    quit_program alt+q || return
    expect_post "the first game after two starts" Partie "$RENDERED" --log
    expect_post "the second game after two starts" "$GAME_B_NAME" "$GAME_B_RENDERED" --log
}

# The quotations of the imported file: number N, on one line or two.
dicton() {
    if (($1 % 2)); then
        printf 'Dicton %d :\nPetit à petit, l%soiseau fait son nid.' "$1" "'"
    else
        printf 'Dicton %d : qui vivra verra.' "$1"
    fi
}

import_quotations() {
    local i file="$WORK/dictons.txt"
    for ((i = 1; i <= 1000; i++)); do
        dicton "$i"
        printf '\n\n'
    done >"$file"
    start_program || return
    open_games || return
    if ! read_parties; then
        fail "lexorne --parties failed before the import: $PARTIES"
        return
    fi
    local before
    before="$(printf '%s\n' "$PARTIES" | wc -l)"
    # A file that is not UTF-8 is refused, naming the line, and changes
    # nothing.
    printf 'Une citation\n\nDeux caf\xe9s\n' >"$WORK/latin1.txt"
    import_file c "Importer des citations" "$WORK/latin1.txt" || return
    expect_message "a file in Latin-1" "Citations non importées : ligne 3 : *UTF-8*"
    parties_count_is "$before" || fail "the file refused changed the list: '${PARTIES//$'\n'/ | }'"

    import_ok c "Importer des citations" "$file" || return
    xs_wait 20000 parties_count_is $((before + 1000)) ||
        fail "lexorne --parties lists $(printf '%s\n' "$PARTIES" | wc -l) games, expected $before + 1000"
    # The window's list says the same, in the same order.
    if ! atspi_ask "rows Parties"; then
        fail "the list \"Parties\" could not be read: $ATSPI_ANSWER"
    elif [ "${ATSPI_ANSWER//$'\t'/$'\n'}" != "$PARTIES" ]; then
        fail "the list \"Parties\" holds $(tr '\t' '\n' <<<"$ATSPI_ANSWER" | wc -l) rows, other than lexorne --parties's"
    fi
    local name
    name="$(printf '%s\n' "$PARTIES" | grep '^Dicton 437 ')"
    if [ "$(printf '%s\n' "$name" | wc -l)" != 1 ]; then
        fail "lexorne --parties should list one 'Dicton 437 …', got '${name//$'\n'/ | }'"
        return
    fi
    expect_post "an imported game" "$name" $'****** 437 :\n***** * *****, *\'****** **** *** ***.'
    # The first imported game comes after the games that were there.
    switch_game ctrl+Next "the first imported game" "$(dicton 1)" \
        $'****** 1 :\n***** * *****, *\'****** **** *** ***.\r\r\r'
    quit_program alt+q
}

# The second game that two_games left in its home, exported alone and with
# the other, then imported into a fresh home.
move_game() {
    local one="$WORK/hiver.json" all="$WORK/toutes.json"
    expect_parties "the games the side-by-side case left" Partie "$GAME_B_NAME" || return
    start_program || return
    open_games || return
    switch_game ctrl+Next "the game to move" "$FRESH" "$GAME_B_RENDERED"
    export_game alt+p "$one" || return
    export_game alt+t "$all" || return
    quit_program alt+q || return

    use_home moved
    start_program || return
    open_games || return
    # An export cut short is refused, and changes nothing.
    head -c "$(($(wc -c <"$one") / 2))" "$one" >"$WORK/cut.json"
    import_file p "Importer une partie" "$WORK/cut.json" || return
    expect_message "an export cut short" "Partie non importée : ?*"
    expect_parties "after the file cut short" Partie
    import_ok p "Importer une partie" "$one" || return
    expect_parties "the fresh home after the import of one game" Partie "$GAME_B_NAME"
    expect_post "the game moved" "$GAME_B_NAME" "$GAME_B_RENDERED" --log
    switch_game ctrl+Next "the game moved" "$FRESH" "$GAME_B_RENDERED"
    # The names taken get " (2)".
    import_ok p "Importer une partie" "$all" || return
    expect_parties "after the import of both" Partie "$GAME_B_NAME" "Partie (2)" "$GAME_B_NAME (2)"
    expect_post "the other game moved" "Partie (2)" "$RENDERED" --log
    expect_post "the game moved twice" "$GAME_B_NAME (2)" "$GAME_B_RENDERED" --log
    quit_program alt+q
}

# A store as the versions of one game wrote it: its quotation and its 26
# letters, nothing else.
OLD_QUOTATION=$'À bon chat,\nbon rat.'
OLD_NAME='À bon chat, bon rat.'
OLD_RENDERED=$'À *** **at,\n*** *at.\r\r\r   A - T'
NEW_QUOTATION='Qui vivra verra.'
NEW_RENDERED=$'*** v*vr* v*rr*.\r\r\r   R - V'

older_store() {
    mkdir -p "$(dirname "$CONF")"
    {
        printf '[Alpha]\n'
        local i
        for ((i = 0; i < 26; i++)); do
            # A and T ticked.
            if [ "$i" = 0 ] || [ "$i" = 19 ]; then echo "$i=1"; else echo "$i=0"; fi
        done
        printf '\n[General%%20Settings]\nCitation="%s"\n' "${OLD_QUOTATION//$'\n'/\\n}"
    } >"$CONF"
    start_program || return
    expect_game "the game of an older store" "$OLD_QUOTATION" "$OLD_RENDERED"
    open_games || return
    expect_rows "an older store" "$OLD_NAME"
    expect_parties "an older store" "$OLD_NAME"

    # A new game, by "Ajouter une partie", which has the focus.
    keys space
    expect_rows "a game added" "$OLD_NAME" Partie || return
    focus_control Citation || return
    type_text "$NEW_QUOTATION"
    tick R V || return
    switch_game ctrl+Prior "the older game again" "$OLD_QUOTATION" "$OLD_RENDERED"
    switch_game ctrl+Next "the new game again" "$NEW_QUOTATION" "$NEW_RENDERED"
    quit_program alt+q || return

    # The game on screen at the quit is where an older version reads it.
    local citation letters
    citation="$(settings_lines | grep '^General%20Settings/Citation=')"
    [ "$citation" = "General%20Settings/Citation=$NEW_QUOTATION" ] ||
        fail "the store's quotation: expected '$NEW_QUOTATION', got '${citation:-(absent)}'"
    letters="$(stored_letters | grep -v '=0$')"
    [ "$letters" = $'Alpha/17=1\nAlpha/21=1' ] ||
        fail "the store's ticks: expected Alpha/17=1 and Alpha/21=1 alone, got: ${letters//$'\n'/ }"
    expect_post "the older game, no longer on screen" "$OLD_NAME" "$OLD_RENDERED" --log
}
