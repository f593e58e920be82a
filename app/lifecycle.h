// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// How the main window is brought forward, how every orderly end of the
// program goes through the window's unload, and what a start that can do
// neither says.
#pragma once

class QString;
class QWidget;

namespace lexorne {
class frmMain;
}

namespace lexorne::app {

class TerminationSignals;

// Restores the window if minimised, shows it and asks for the focus.
void bringToFront(QWidget *window);

// Ends the program through window's unload (which stores the quotation) when
// a termination signal arrives or the application is asked to quit, and
// saves the quotation when the session manager asks for the data. A failed
// save during such an end is reported on the error output: nobody may be
// there to close a message box.
void endThroughUnload(frmMain &window, TerminationSignals &termination);

// Tells the user, on the error output and in a message box, that another
// copy holds the game (its lock at lockPath) but could not be brought
// forward.
void reportAlreadyOpen(const QString &lockPath);

} // namespace lexorne::app
