// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The texts Qt draws itself (the text boxes' context menus, standard buttons,
// Qt's own dialogs) in French, like the rest of the interface, whatever the
// system's language: Qt's French catalogue is compiled into the program.
#pragma once

class QCoreApplication;

namespace lexorne {

// Installs Qt's French catalogue on the application, before any window is
// built. A catalogue that cannot be read (a broken build) leaves Qt's
// English texts and says so on stderr; false then.
bool installQtFrenchTexts(QCoreApplication &application);

} // namespace lexorne
