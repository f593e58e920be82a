// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/qtfrench.h"

#include <QCoreApplication>
#include <QTranslator>

#include <cstdio>

namespace lexorne {

bool installQtFrenchTexts(QCoreApplication &application)
{
    // Owned by the application, which must keep it as long as it translates.
    auto *translator = new QTranslator(&application);
    if (!translator->load(QStringLiteral(":/lexorne/translations/qtbase_fr.qm")) ||
        !QCoreApplication::installTranslator(translator)) {
        std::fprintf(stderr, "lexorne: %s\n",
                     QStringLiteral("les textes de Qt en français manquent, ses menus restent "
                                    "en anglais")
                         .toLocal8Bit()
                         .constData());
        delete translator;
        return false;
    }
    return true;
}

} // namespace lexorne
