// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The game across ticks, resets, undo, redo and restarts, and what reaches
// the store: the board and the quotation as the next run would read them.
#include "tests/support/mainwindow.h"
#include "ui/textbox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <QTextDocument>
#include <QUndoStack>

#include <functional>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

const QString kCitation = u"General Settings/Citation"_s;
const QString kQuotation = u"Le thé"_s;

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs an action at the first paint of a widget, before the paint itself.
class PaintHook : public QObject
{
public:
    PaintHook(QWidget *widget, std::function<void()> action) : m_action(std::move(action))
    {
        if (m_action)
            widget->installEventFilter(this);
    }
    bool ran() const { return m_ran; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_ran) {
            m_ran = true;
            watched->removeEventFilter(this);
            m_action();
        }
        return false;
    }

private:
    std::function<void()> m_action;
    bool m_ran = false;
};

} // namespace

class TestGame : public QObject
{
    Q_OBJECT

private:
    testsupport::MainWindow m_main;

    // The ticked letters, "A" to "Z".
    QString shownBoard() const
    {
        QString ticked;
        for (int k = 0; k < kLetterCount; ++k) {
            if (m_main.letter(k)->checkState() == Qt::Checked)
                ticked += QChar(u'A' + k);
        }
        return ticked;
    }
    // The letters stored as ticked, and those stored as unticked in brackets.
    QString storedBoard()
    {
        QString ticked;
        QString unticked;
        for (int k = 0; k < kLetterCount; ++k) {
            const QVariant value = m_main.stored(u"Alpha/%1"_s.arg(k));
            if (value == u"1"_s)
                ticked += QChar(u'A' + k);
            else if (value.isValid())
                unticked += QChar(u'A' + k);
        }
        return unticked.isEmpty() ? ticked : ticked + u" ("_s + unticked + u")"_s;
    }
    // One step of a script: a capital ticks or unticks that box with the
    // mouse, "R" presses Reset, "z" is Ctrl+Z, "y" Ctrl+Y, "Z" Ctrl+Maj+Z,
    // "!" closes the window and starts again.
    void play(QChar step)
    {
        QWidget *focus = m_main.get(u"cmdExit"_s);
        switch (step.unicode()) {
        case u'R':
            m_main.click(u"cmdReset"_s);
            return;
        case u'z':
            QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier);
            return;
        case u'Z':
            QTest::keyClick(focus, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            return;
        case u'y':
            QTest::keyClick(focus, Qt::Key_Y, Qt::ControlModifier);
            return;
        case u'!':
            m_main.window().close();
            m_main.open();
            QVERIFY(m_main.showActive());
            m_main.get(u"cmdExit"_s)->setFocus();
            return;
        default:
            QTest::mouseClick(m_main.letter(step), Qt::LeftButton);
        }
    }

private slots:
    void init() { QVERIFY(m_main.begin()); }
    void cleanup() { m_main.end(); }

    // Starting from a stored game "Le thé" with E and T ticked.
    void undoRedo_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("board");     // on screen, and as stored
        QTest::addColumn<QString>("quotation"); // in the box, and as stored
        QTest::addColumn<QString>("stored");    // the letters' keys
        const QString none;
        QTest::newRow("tick undone") << u"A z"_s << u"ET"_s << kQuotation << u"ET (A)"_s;
        QTest::newRow("untick undone") << u"E z"_s << u"ET"_s << kQuotation << u"ET"_s;
        QTest::newRow("both redo keys") << u"A z y z Z"_s << u"AET"_s << kQuotation << u"AET"_s;
        QTest::newRow("nothing to undo") << u"z z"_s << u"ET"_s << kQuotation << u"ET"_s;
        QTest::newRow("reset") << u"R"_s << none << none << u" (ET)"_s;
        QTest::newRow("reset undone") << u"R z"_s << u"ET"_s << kQuotation << u"ET"_s;
        QTest::newRow("reset redone") << u"R z y"_s << none << none << u" (ET)"_s;
        QTest::newRow("undo through a reset")
            << u"A R z z"_s << u"ET"_s << kQuotation << u"ET (A)"_s;
        QTest::newRow("a new tick drops the redo")
            << u"A z B y"_s << u"BET"_s << kQuotation << u"BET (A)"_s;
        QTest::newRow("reset undone, restart") << u"R z !"_s << u"ET"_s << kQuotation << u"ET"_s;
        QTest::newRow("a restart has no history")
            << u"A ! z"_s << u"AET"_s << kQuotation << u"AET"_s;
        QTest::newRow("reset, restart, nothing back") << u"R ! z"_s << none << none << u" (ET)"_s;
    }
    void undoRedo()
    {
        QFETCH(QString, steps);
        testsupport::MainWindow::storeGame(kQuotation, u"ET");
        m_main.open();
        QVERIFY(m_main.showActive());
        m_main.get(u"cmdExit"_s)->setFocus();
        for (QChar step : steps) {
            if (step != u' ')
                play(step);
        }

        QTEST(shownBoard(), "board");
        QTEST(m_main.origin()->toPlainText(), "quotation");
        QTEST(storedBoard(), "stored");
        // The quotation is in the store as soon as a reset is undone, and
        // gone as soon as one is done: no need to close first.
        QTEST(m_main.stored(kCitation).toString(), "quotation");
    }

    // In the quotation box the keys are the text's own, Ctrl+Y included.
    void textBoxKeepsItsUndo()
    {
        frmMain &w = m_main.open();
        QVERIFY(m_main.showActive());
        m_main.letter(0)->click();
        QPlainTextEdit *box = m_main.origin();
        box->setFocus();
        QTest::keyClicks(box, u"ab"_s);
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(box->toPlainText().size() < 2);
        QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(box->toPlainText(), u"ab"_s);
        QCOMPARE(shownBoard(), u"A"_s);
        QCOMPARE(w.undoStack().count(), 1);

        m_main.result()->setFocus();
        QTest::keyClick(m_main.result(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(shownBoard(), u"A"_s);
        m_main.get(u"chkLetter5"_s)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(shownBoard(), QString());
    }

    // The quotation reaches the store once typing pauses, so a crash loses
    // at most that pause; a start restores without writing anything.
    void quotationStoredWhenTypingPauses()
    {
        testsupport::MainWindow::storeGame(kQuotation, u"E");
        const QString path = m_main.settings().storePath();
        const QByteArray before = fileBytes(path);
        m_main.open();
        QVERIFY(m_main.showActive());
        QTest::qWait(frmMain::kAutosaveMs + 300);
        m_main.window().waitUntilStored();
        QCOMPARE(fileBytes(path), before);

        m_main.origin()->setFocus();
        m_main.origin()->moveCursor(QTextCursor::End);
        QTest::keyClicks(m_main.origin(), u" vert"_s);
        QCOMPARE(m_main.stored(kCitation).toString(), kQuotation); // not yet
        QTRY_COMPARE_WITH_TIMEOUT(m_main.stored(kCitation).toString(), kQuotation + u" vert"_s,
                                  frmMain::kAutosaveMs * 3);
        // Gone without closing, as after a crash: the next start has it all.
        m_main.open();
        QCOMPARE(m_main.origin()->toPlainText(), kQuotation + u" vert"_s);
        QCOMPARE(shownBoard(), u"E"_s);
    }

    // A long game shows its start first and the rest once drawn; a window
    // closed before that still renders and stores the whole quotation.
    void longGameIsKeptWhole()
    {
        const QString line = u"Le th\u00e9 vert\n"_s;
        const QString masked = u"*e **\u00e9 *e**\n"_s;
        const int lines = 10000;
        testsupport::MainWindow::storeGame(line.repeated(lines), u"E");
        frmMain &w = m_main.open();
        QVERIFY(m_main.origin()->toPlainText().size() < line.size() * lines);
        QVERIFY(w.strRendu().startsWith(masked.repeated(lines)));
        w.close();
        QCOMPARE(m_main.stored(kCitation).toString(), line.repeated(lines));

        m_main.open();
        QVERIFY(m_main.showActive());
        QTRY_COMPARE(m_main.origin()->toPlainText(), line.repeated(lines));
        QTRY_COMPARE(documentText(*m_main.result()->document()),
                     boxText(m_main.window().strRendu()));
    }

    // A tick and a reset made before the window is shown, at its first
    // paint (a long game's rest still to come in both) or once the rest is
    // in, then undone: the whole game comes back, on screen and in the store.
    void playDuringLongRestore_data()
    {
        QTest::addColumn<int>("moment");
        QTest::newRow("before the window shows") << 0;
        QTest::newRow("at its first paint") << 1;
        QTest::newRow("once the rest is in") << 2;
    }
    void playDuringLongRestore()
    {
        QFETCH(int, moment);
        const QString whole = u"Le th\u00e9 vert\n"_s.repeated(10000);
        testsupport::MainWindow::storeGame(whole, u"E");
        frmMain &w = m_main.open();
        const std::function<void()> tickAndReset = [this] {
            m_main.letter(0)->click();
            m_main.click(u"cmdReset"_s);
        };
        QVERIFY(m_main.origin()->toPlainText().size() < whole.size());
        if (moment == 0)
            tickAndReset();
        PaintHook hook(m_main.origin()->viewport(),
                       moment == 1 ? tickAndReset : std::function<void()>());
        QVERIFY(m_main.showActive());
        if (moment == 1)
            QTRY_VERIFY(hook.ran());
        if (moment == 2) {
            QTRY_COMPARE(m_main.origin()->toPlainText(), whole);
            tickAndReset();
        }
        QCOMPARE(w.strOriginal(), QString());
        m_main.get(u"cmdExit"_s)->setFocus();
        QTest::keyClick(m_main.get(u"cmdExit"_s), Qt::Key_Z, Qt::ControlModifier);

        QCOMPARE(w.strOriginal(), whole);
        QTRY_COMPARE(m_main.origin()->toPlainText(), whole);
        QCOMPARE(shownBoard(), u"AE"_s);
        QCOMPARE(storedBoard(), u"AE"_s);
        QCOMPARE(m_main.stored(kCitation).toString(), whole);
        // One more undo takes the tick back; the quotation stays whole.
        QTest::keyClick(m_main.get(u"cmdExit"_s), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(shownBoard(), u"E"_s);
        m_main.click(u"cmdGenerate"_s);
        QCOMPARE(w.strRendu(),
                 RenderQuotation(whole, Board::fromLetters(u"E"), {.letterLog = true}));
    }

    // An unreadable store is set aside and said once, at start, with the
    // copy's name; the same file met again is not copied again.
    void unreadableStoreIsTold()
    {
        const QString path = m_main.settings().storePath();
        QDir().mkpath(m_main.settings().folder());
        const QByteArray bytes = "[General%20Settings]\nCitation=c\xe9l\xe8"
                                 "bre\n";
        QStringList told;
        for (int run = 0; run < 2; ++run) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
            file.close();
            frmMain &w = m_main.open();
            w.setProblemReporter([&told](const QString &message) { told << message; });
            QVERIFY(m_main.showActive());
            QTRY_COMPARE(told.size(), run + 1);
            QVERIFY(m_main.origin()->toPlainText().isEmpty());
            const QString aside = m_main.store().setAsidePath();
            QVERIFY(told.last().contains(QDir::toNativeSeparators(aside)) ||
                    told.last().contains(aside));
            QCOMPARE(fileBytes(aside), bytes);
            m_main.window().close();
        }
        QCOMPARE(told.size(), 2);
        QCOMPARE(told[0], told[1]);
        QCOMPARE(QDir(m_main.settings().folder())
                     .entryList(QDir::Files)
                     .filter(u".unreadable-"_s)
                     .size(),
                 1);
    }
};

QTEST_MAIN(TestGame)
#include "tst_game.moc"
