// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The window at work on a store in the folder given, without end: switches,
// typing, ticks and imports as fast as it can, for tst_crash to kill at
// random moments. Prints one line per round.
#include "ui/frmMain.h"
#include "ui/gamelist.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QSettings>

#include <cstdio>

int main(int argc, char *argv[])
{
    using namespace lexorne;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2)
        return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    settings::Store store;
    frmMain window(store);
    GameList &list = window.gameList();
    while (!list.isLoaded())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    const QString quotations = folder + QStringLiteral("/citations.txt");
    {
        QFile file(quotations);
        if (file.open(QIODevice::WriteOnly))
            file.write("Import un\n\nImport deux\n");
    }
    auto *box = window.findChild<QPlainTextEdit *>(QStringLiteral("txtOrigin"));
    QRandomGenerator random{quint32(QCoreApplication::applicationPid())};
    for (int round = 0;; ++round) {
        if (list.games().size() < 4 || (round % 25 == 0 && list.games().size() < 60))
            list.importQuotations(quotations);
        list.switchTo(random.bounded(int(list.games().size())));
        // The text says which game it belongs to: a mix shows on reading.
        box->setPlainText(list.currentName() + QStringLiteral(" v") + QString::number(round));
        window.findChild<QCheckBox *>(QStringLiteral("chkLetter%1").arg(random.bounded(26)))
            ->click();
        if (round % 3 == 0)
            window.storeQuotation();
        QCoreApplication::processEvents();
        std::printf("%d\n", round);
        std::fflush(stdout);
    }
}
