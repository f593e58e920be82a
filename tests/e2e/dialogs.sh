# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# The program's other windows on X11, beside its main window (WIN): a name
# asked, Qt's file dialogs, message boxes, menus. Each is found by its
# title, or as another window of the process; a key sent after one closes
# waits until the main window is active again, for the window manager and
# for the program. Sourced after common.sh, not run.

# A window titled TITLE, shown and active, into DIALOG.
DIALOG=""
dialog_active() {
    DIALOG="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1)"
    [ -n "$DIALOG" ] && [ "$(xdotool getactivewindow 2>/dev/null)" = "$DIALOG" ]
}
dialog_gone() {
    [ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ]
}
window_gone() {
    ! xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# A menu or another window of this copy beside the main one is shown. A
# tooltip would be one too: keep the pointer off the window before.
popup_shown() {
    [ "$(xdotool search --onlyvisible --pid "$LX_PID" 2>/dev/null | grep -cvx "$WIN")" -gt 0 ]
}

main_active() {
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$WIN" ]
}

# Waits until the main window has the keyboard again: for the window
# manager, then for the program, whose shortcuts wait for the news.
main_back() {
    if ! xs_wait 5000 main_active; then
        fail "the main window is not active again (active: $(xdotool getactivewindow 2>/dev/null), ours: $WIN)"
        return 1
    fi
    atspi_ask active && return 0
    fail "the main window does not say it is active: $ATSPI_ANSWER"
    return 1
}

# answer_dialog TITLE TEXT: in the window TITLE (a name asked, Qt's file
# dialog), TEXT typed in place of what it offers, then Return; waits until
# it is gone.
answer_dialog() {
    if ! xs_wait 10000 dialog_active "$1"; then
        fail "no active window \"$1\" within 10 s"
        return 1
    fi
    keys ctrl+a
    type_text "$2"
    keys Return
    if ! xs_wait 10000 dialog_gone "$1"; then
        fail "the window \"$1\" is still shown 10 s after Return on '$2'"
        return 1
    fi
}

# expect_message WHAT PATTERN: a message box of the program's title is
# shown, its text matches the glob PATTERN; Return closes it.
expect_message() {
    if ! xs_wait 10000 dialog_active "$LX_TITLE"; then
        fail "$1: no message within 10 s"
        return 1
    fi
    if ! atspi_ask "texts $LX_TITLE"; then
        fail "$1: the message could not be read: $ATSPI_ANSWER"
    else
        # shellcheck disable=SC2053 # a pattern on purpose
        [[ "$ATSPI_ANSWER" == $2 ]] || fail "$1: the message says '$ATSPI_ANSWER'"
    fi
    keys Return
    xs_wait 10000 dialog_gone "$LX_TITLE" || fail "$1: the message is still shown 10 s after Return"
    main_back
}
