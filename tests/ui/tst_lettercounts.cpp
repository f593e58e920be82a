// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/lettercounts.h"

#include "tests/support/mainwindow.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

// What assistive technology reads as the widget's description.
QString description(QWidget *widget)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Description) : u"(none)"_s;
}

// The tooltip, when the accessible description says the same; otherwise both.
QString told(QWidget *widget)
{
    const QString tip = widget->toolTip();
    const QString said = description(widget);
    return tip == said ? tip : u"tooltip «%1», description «%2»"_s.arg(tip, said);
}

} // namespace

class TestLetterCounts : public QObject
{
    Q_OBJECT

private:
    testsupport::MainWindow m_fixture;

    frmMain &open() { return m_fixture.open(); }
    QCheckBox *letter(QChar c) const { return m_fixture.letter(c); }
    QPlainTextEdit *origin() const { return m_fixture.origin(); }
    QWidget *result() const { return m_fixture.result(); }
    static void store(const QString &quotation, const QString &ticked)
    {
        testsupport::MainWindow::storeGame(quotation, ticked);
    }

private slots:
    void init() { QVERIFY(m_fixture.begin()); }
    void cleanup() { m_fixture.end(); }

    void texts_data()
    {
        QTest::addColumn<QString>("quotation");
        QTest::addColumn<QString>("ticked");
        QTest::addColumn<QString>("letterE");
        QTest::addColumn<QString>("letterK");
        QTest::addColumn<QString>("summary");

        QTest::newRow("empty") << QString() << QString() << u"E : absente de la citation"_s
                               << u"K : absente de la citation"_s << u"La citation est vide"_s;
        QTest::newRow("no letter")
            << u"1 × 2 = 2 !"_s << u"E"_s << u"E : absente de la citation"_s
            << u"K : absente de la citation"_s << u"La citation ne contient aucune lettre"_s;
        QTest::newRow("one E") << u"Bqv e"_s << QString() << u"E : 1 fois dans la citation"_s
                               << u"K : absente de la citation"_s
                               << u"Lettres encore cachées : 4 (B, E, Q, V)"_s;
        QTest::newRow("three hidden")
            << u"Bête, quiz, vélo, kiwi"_s << u"EITZOULKW"_s << u"E : 3 fois dans la citation"_s
            << u"K : 1 fois dans la citation"_s << u"Lettres encore cachées : 3 (B, Q, V)"_s;
        QTest::newRow("all found")
            << u"Été\nÆ"_s << u"ET"_s << u"E : 3 fois dans la citation"_s
            << u"K : absente de la citation"_s << u"Toutes les lettres sont découvertes"_s;
    }
    // Each text as the window shows it when it opens on a stored game.
    void texts()
    {
        QFETCH(QString, quotation);
        QFETCH(QString, ticked);
        store(quotation, ticked);
        open();
        QTEST(told(letter(u'E')), "letterE");
        QTEST(told(letter(u'K')), "letterK");
        QTEST(told(result()), "summary");
        QTEST(LetterCountTips::summaryText(quotation.isEmpty(), CountLetters(quotation),
                                           Board::fromLetters(ticked)),
              "summary");
    }

    void follows_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("toggled");
        QTest::addColumn<bool>("reset");
        QTest::addColumn<QString>("letterE");
        QTest::addColumn<QString>("summary");

        // The stored game: "Le thé" with E and T ticked.
        QTest::newRow("typing adds letters")
            << u" et le cafe"_s << QString() << false << u"E : 5 fois dans la citation"_s
            << u"Lettres encore cachées : 5 (A, C, F, H, L)"_s;
        QTest::newRow("ticking finds letters")
            << QString() << u"HL"_s << false << u"E : 2 fois dans la citation"_s
            << u"Toutes les lettres sont découvertes"_s;
        QTest::newRow("unticking hides again")
            << QString() << u"E"_s << false << u"E : 2 fois dans la citation"_s
            << u"Lettres encore cachées : 3 (E, H, L)"_s;
        QTest::newRow("typing then ticking")
            << u"s"_s << u"HLS"_s << false << u"E : 2 fois dans la citation"_s
            << u"Toutes les lettres sont découvertes"_s;
        QTest::newRow("reset") << QString() << QString() << true << u"E : absente de la citation"_s
                               << u"La citation est vide"_s;
    }
    void follows()
    {
        QFETCH(QString, typed);
        QFETCH(QString, toggled);
        QFETCH(bool, reset);
        QFETCH(QString, letterE);
        QFETCH(QString, summary);
        store(u"Le thé"_s, u"ET"_s);
        open();
        QCOMPARE(told(letter(u'E')), u"E : 2 fois dans la citation"_s);
        QCOMPARE(told(result()), u"Lettres encore cachées : 2 (H, L)"_s);

        origin()->moveCursor(QTextCursor::End);
        QTest::keyClicks(origin(), typed);
        for (QChar c : toggled)
            letter(c)->click();
        if (reset)
            m_fixture.click(u"cmdReset"_s);

        QTRY_COMPARE_WITH_TIMEOUT(told(letter(u'E')), letterE, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(told(result()), summary, 5000);
    }

    // Typing only schedules a count; a tooltip about to show gets it at once,
    // over a letter box or over the result box's text, where the mouse
    // really is (its viewport, which passes the request on).
    void countsLazily_data()
    {
        QTest::addColumn<QString>("hovered");
        QTest::newRow("letter box") << u"chkLetter1"_s;
        QTest::newRow("result box") << u"txtRendu"_s;
    }
    void countsLazily()
    {
        QFETCH(QString, hovered);
        store(u"Le thé"_s, QString());
        open();
        origin()->moveCursor(QTextCursor::End);
        QTest::keyClicks(origin(), u"ee"_s);
        QCOMPARE(told(letter(u'E')), u"E : 2 fois dans la citation"_s);
        QCOMPARE(told(result()), u"Lettres encore cachées : 4 (E, H, L, T)"_s);
        letter(u'H')->click();

        QWidget *target = m_fixture.get(hovered);
        if (auto *box = qobject_cast<QPlainTextEdit *>(target))
            target = box->viewport();
        QHelpEvent tip(QEvent::ToolTip, QPoint(1, 1), target->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(target, &tip);
        QCOMPARE(told(letter(u'E')), u"E : 4 fois dans la citation"_s);
        QCOMPARE(told(result()), u"Lettres encore cachées : 3 (E, L, T)"_s);

        // A tick needs no new count: the summary follows at once.
        letter(u'E')->click();
        QCOMPARE(told(result()), u"Lettres encore cachées : 2 (L, T)"_s);
    }
};

QTEST_MAIN(TestLetterCounts)
#include "tst_lettercounts.moc"
