#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 Quillmoor
# SPDX-License-Identifier: GPL-3.0-or-later
"""The end-to-end runs' view of a window through AT-SPI, as a screen reader
sees it: the same under X11 and Wayland, and nothing inside the program.

Usage: atspi.py PID CAPTION
  PID       the program's process id
  CAPTION   its window's title
Reads one command a line on standard input and answers each with one line,
"ok", "ok TEXT" or "error MESSAGE":
  wait            waits until the window is on the accessibility bus
  focus NAME      gives the keyboard focus to the control named NAME and
                  waits until the control says it has it
  focused         answers the name of the control that has the focus
  active          waits until the window says it is the active one, which
                  is when its shortcuts work
  names           answers the names of the controls that can take the focus,
                  separated by tabs
  rows NAME       answers the rows of the list named NAME, separated by tabs
  texts TITLE     answers the texts of the labels of this program's window
                  titled TITLE (a message box), separated by tabs
A control is found by its accessible name among the controls that can take
the focus; none, or more than one, is an error that names them.
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# How long a command waits for the program to answer as asked.
LIMIT_S = 10.0
# The popup lists of the drop-down lists hold nothing a test reaches.
SKIPPED_ROLES = {Atspi.Role.COMBO_BOX, Atspi.Role.LIST, Atspi.Role.SCROLL_BAR}


def has_state(accessible, state):
    return accessible.get_state_set().contains(state)


def window(pid, caption):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        try:
            if app is None or app.get_process_id() != pid:
                continue
            for j in range(app.get_child_count()):
                frame = app.get_child_at_index(j)
                if frame is not None and frame.get_name() == caption:
                    return frame
        except gi.repository.GLib.GError:
            continue
    return None


def controls(node):
    """Every focusable control under node, depth first."""
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is None:
            continue
        if has_state(child, Atspi.StateType.FOCUSABLE):
            yield child
        if child.get_role() not in SKIPPED_ROLES:
            yield from controls(child)


class Failure(Exception):
    pass


def until(what, probe):
    deadline = time.monotonic() + LIMIT_S
    while True:
        result = probe()
        if result:
            return result
        if time.monotonic() >= deadline:
            raise Failure(f"{what} after {LIMIT_S:.0f} s")
        time.sleep(0.05)


def named(frame, name):
    found = [c for c in controls(frame) if c.get_name() == name]
    if len(found) != 1:
        names = sorted({c.get_name() for c in controls(frame)})
        raise Failure(f"{len(found)} controls named {name!r}; the window has: "
                      + ", ".join(repr(n) for n in names))
    return found[0]


def focused(frame):
    for control in controls(frame):
        if has_state(control, Atspi.StateType.FOCUSED):
            return control.get_name()
    return ""


def labels(node):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is None:
            continue
        if child.get_role() == Atspi.Role.LABEL:
            yield child.get_name()
        yield from labels(child)


def answer(pid, caption, line):
    command, _, name = line.partition(" ")
    if command == "texts" and name:
        other = until(f"no window {name!r} of process {pid} on the accessibility bus",
                      lambda: window(pid, name))
        return "\t".join(text for text in labels(other) if text)
    frame = until(f"no window {caption!r} of process {pid} on the accessibility bus",
                  lambda: window(pid, caption))
    if command == "wait":
        return ""
    if command == "focused":
        return focused(frame)
    if command == "active":
        until("the window does not say it is active",
              lambda: has_state(frame, Atspi.StateType.ACTIVE))
        return ""
    if command == "names":
        return "\t".join(c.get_name() for c in controls(frame))
    if command == "rows" and name:
        rows = named(frame, name)
        children = (rows.get_child_at_index(i) for i in range(rows.get_child_count()))
        return "\t".join(c.get_name() for c in children if c is not None)
    if command == "focus" and name:
        control = named(frame, name)
        if not Atspi.Component.grab_focus(control):
            raise Failure(f"{name!r} does not take the focus")
        until(f"{name!r} does not say it has the focus (focus: {focused(frame)!r})",
              lambda: has_state(control, Atspi.StateType.FOCUSED))
        return ""
    raise Failure(f"unknown command {line!r}")


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    pid, caption = int(argv[1]), argv[2]
    for line in sys.stdin:
        try:
            text = answer(pid, caption, line.rstrip("\n"))
            print(f"ok {text}" if text else "ok", flush=True)
        except (Failure, gi.repository.GLib.GError) as error:
            print(f"error {error}".replace("\n", " "), flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
