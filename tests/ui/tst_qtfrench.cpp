// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own texts come out in French on an English system (the suite runs
// under an English locale).
#include "ui/frmMain.h"
#include "ui/qtfrench.h"

#include "tests/support/testsupport.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

// What the user reads: no access key marker, no shortcut after the tab.
QString shownText(const QString &text)
{
    return text.section(u'\t', 0, 0).remove(u'&');
}

} // namespace

class TestQtFrench : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QLocale::system().language(), QLocale::English);
        QVERIFY(installQtFrenchTexts(*QCoreApplication::instance()));
    }

    // The menu a right click opens, as the user sees it.
    void contextMenu_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("Citation") << u"txtOrigin"_s
                                  << QStringList{u"Annuler"_s,          u"Rétablir"_s,
                                                 u"Couper"_s,           u"Copier"_s,
                                                 u"Coller"_s,           u"Supprimer"_s,
                                                 u"Tout sélectionner"_s};
        QTest::newRow("Résultat, read-only")
            << u"txtRendu"_s << QStringList{u"Copier"_s, u"Tout sélectionner"_s};
    }
    void contextMenu()
    {
        QFETCH(QString, box);
        QFETCH(QStringList, entries);
        testsupport::TemporarySettings temporarySettings;
        settings::Store store;
        frmMain window(store);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget *viewport = testsupport::widget<QPlainTextEdit>(&window, box)->viewport();

        // The box opens its menu without waiting for it to close.
        const QPoint at = viewport->rect().center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &click);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QStringList shown;
        for (const QAction *action : menu->actions())
            if (!action->isSeparator())
                shown << shownText(action->text());
        menu->close();
        QCOMPARE(shown, entries);
    }

    // Standard buttons, as Qt's dialogs and message boxes show them.
    void standardButtons_data()
    {
        QTest::addColumn<QDialogButtonBox::StandardButton>("button");
        QTest::addColumn<QString>("caption");
        QTest::newRow("Cancel") << QDialogButtonBox::Cancel << u"Annuler"_s;
        QTest::newRow("Close") << QDialogButtonBox::Close << u"Fermer"_s;
        QTest::newRow("Yes") << QDialogButtonBox::Yes << u"Oui"_s;
        QTest::newRow("No") << QDialogButtonBox::No << u"Non"_s;
    }
    void standardButtons()
    {
        QFETCH(QDialogButtonBox::StandardButton, button);
        QFETCH(QString, caption);
        QDialogButtonBox buttons(button);
        QCOMPARE(shownText(buttons.button(button)->text()), caption);
    }
};

QTEST_MAIN(TestQtFrench)
#include "tst_qtfrench.moc"
