// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/console.h"
#include "app/lifecycle.h"
#include "app/signals.h"
#include "app/singleinstance.h"
#include "app/systemlook.h"
#include "cli/cli.h"
#include "ui/frmMain.h"
#include "ui/qtfrench.h"

#include "version/version.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    using namespace lexorne;

    // Arguments other than Qt's own window options are for the command line,
    // which needs no display and must neither read the store nor reach a
    // running copy: decided before any of those exist.
    if (const QStringList arguments = cli::argumentList(argc, argv); !cli::opensWindow(arguments)) {
        app::attachParentConsole();
        if (app::standardInputIsSharedConsole()) {
            const cli::Parsed parsed = cli::parseArguments(arguments);
            if (parsed.request && parsed.request->action == cli::Request::Action::Mask &&
                (parsed.request->file.isEmpty() || parsed.request->file == u"-")) {
                std::fputs("lexorne : la citation ne se lit pas au clavier ici : donnez le nom "
                           "d'un FICHIER, ou envoyez-la par un tube (type citation.txt | "
                           "lexorne ...)\n",
                           stderr);
                return cli::kBadUsage;
            }
        }
        return cli::run(arguments);
    }

    // Before the application object, which may take them for itself.
    const auto tokens = app::ActivationTokens::fromEnvironment();

    QApplication application(argc, argv);
    QApplication::setOrganizationName(QString::fromLatin1(kOrganization));
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersionString));
    // Lets the desktop match the window to its entry and icon (Wayland).
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopId));
    app::followSystemLook();
    // Before any message box, the one of a blocked start included.
    installQtFrenchTexts(application);

    // A later start hands over to the running copy before anything reads
    // the store or builds a window; one that cannot says so and leaves the
    // store to the copy that holds it.
    app::SingleInstance instance;
    switch (instance.start(tokens)) {
    case app::SingleInstance::Role::Primary:
        break;
    case app::SingleInstance::Role::Secondary:
        return 0;
    case app::SingleInstance::Role::Blocked:
        app::reportAlreadyOpen(instance.lockPath());
        return 1;
    }

    app::TerminationSignals termination;
    settings::Store store;
    frmMain window(store);
    QObject::connect(&instance, &app::SingleInstance::activationRequested, &window,
                     [&window](const app::ActivationTokens &request) {
                         request.applyToEnvironment();
                         app::bringToFront(&window);
                     });
    // From the close on, a new start waits for this copy to end and opens a
    // window of its own, rather than handing over to a copy that is ending.
    instance.stopListeningWhenClosed(&window);
    app::endThroughUnload(window, termination);
    window.show();
    return QApplication::exec();
}
