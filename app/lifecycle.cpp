// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/lifecycle.h"

#include "app/signals.h"
#include "ui/frmMain.h"

#include "version/version.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QSessionManager>
#include <QWidget>

#include <cstdio>

namespace lexorne::app {

namespace {

void closeQuietly(frmMain &window)
{
    window.setProblemReporter([](const QString &message) {
        std::fprintf(stderr, "lexorne: %s\n", message.toLocal8Bit().constData());
    });
    // Runs Form_Unload at most once, however many requests arrive.
    window.close();
}

} // namespace

void bringToFront(QWidget *window)
{
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

void endThroughUnload(frmMain &window, TerminationSignals &termination)
{
    QObject::connect(&termination, &TerminationSignals::received, &window, [&window](int) {
        closeQuietly(window);
        // Leaves every event loop, a modal one included.
        QCoreApplication::quit();
    });
    // Whoever quits the application without closing the window first.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &window,
                     [&window] { closeQuietly(window); });
#ifndef QT_NO_SESSIONMANAGER
    // The logout may still be cancelled, so save without closing; the
    // window closes when the session really ends.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager &) { window.storeQuotation(); });
#endif
}

void reportAlreadyOpen(const QString &lockPath)
{
    const QString text =
        QStringLiteral("Lexorne est déjà ouvert et n'a pas pu être mis au premier plan.");
    // Another machine sharing this folder, or a copy that hangs, may hold
    // the lock: say where it is, for whoever knows none runs.
    // No lock at all: the folder refused it (full disk, read-only folder),
    // and nothing is to be removed.
    const QString detail =
        (QFileInfo::exists(lockPath)
             ? QStringLiteral("Si aucune fenêtre de Lexorne n'est ouverte, supprimez le fichier "
                              "« %1 », puis relancez Lexorne.")
             : QStringLiteral("Le fichier « %1 », qui garantit qu'une seule fenêtre modifie la "
                              "partie, n'a pas pu être créé : vérifiez que son dossier existe et "
                              "accepte l'écriture, puis relancez Lexorne."))
            .arg(QDir::toNativeSeparators(lockPath));
    std::fprintf(stderr, "lexorne : %s\n", text.toLocal8Bit().constData());
    QMessageBox box(QMessageBox::Warning, QString::fromLatin1(kApplicationTitle), text);
    box.setInformativeText(detail);
    box.exec();
}

} // namespace lexorne::app
