// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The command line's output when the program is a desktop one: on Windows
// Lexorne.exe has no console of its own, yet typed in a console it answers
// there. One source file per platform.
#pragma once

namespace lexorne::app {

// Gives the standard streams that lead nowhere the console of the process
// that started this one, when it has one, and has that console show UTF-8
// until the program ends. Streams redirected to a file or a pipe stay as they
// are; with no parent console (a start from the desktop) nothing changes and
// no console window opens. Nothing to do on other systems.
void attachParentConsole();

// Whether standard input is a console that the shell which started this
// program goes on reading too: on Windows, where a desktop program does not
// hold its console, typed lines would be split between the quotation and
// the shell, which would run them as commands. False elsewhere (a terminal
// there is this program's alone until it ends).
bool standardInputIsSharedConsole();

} // namespace lexorne::app
