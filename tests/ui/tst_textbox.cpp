// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/textbox.h"
#include "ui/textfill.h"

#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

const QString kBefore = u"avant"_s;
const QString kQuote = u"Quoi\u00a0?\nOui"_s;

// The box holds text with start..end selected; the clipboard holds kBefore.
void prepare(QPlainTextEdit &box, bool readOnly, const QString &text, int start, int end)
{
    box.setReadOnly(readOnly);
    box.setPlainText(text);
    QTextCursor cursor(box.document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
    QGuiApplication::clipboard()->setText(kBefore);
}

QString selected(const QPlainTextEdit &box)
{
    return box.textCursor().selectedText().replace(QChar::ParagraphSeparator, u'\n');
}

QString clipboard()
{
    return QGuiApplication::clipboard()->text();
}

// size characters of lines ending in eol, with end placed at character
// cut - 1 (and on) when given: where a fill cuts a long text.
QString longText(qsizetype size, const QString &eol, qsizetype cut = -1, const QString &end = {})
{
    const QString line =
        u"\u00c0 l'ombre des tilleuls, \u00ab\u00a0\u00e9t\u00e9\u00a0\u00bb"_s + eol;
    QString text;
    while (text.size() < size)
        text += line;
    text.truncate(size);
    if (cut > 0)
        text.replace(cut - 1, end.size(), end);
    return text;
}

} // namespace

class TestTextBox : public QObject
{
    Q_OBJECT
private slots:
    void documentTextKeepsEveryCharacter()
    {
        QPlainTextEdit box;
        box.insertPlainText(u"Quoi\u00a0?"_s);
        QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier); // a line separator
        QTest::keyClick(&box, Qt::Key_Return);                    // a new block
        box.insertPlainText(u"fin"_s);
        QCOMPARE(documentText(*box.document()), u"Quoi\u00a0?\n\nfin"_s);
    }

    // boxText() says without a box what a box reads back: every break Qt's
    // documents know, and nothing else changed.
    void boxTextMatchesTheBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("LF, NBSP, tab") << u"a\u00a0?\n\tb\n"_s;
        QTest::newRow("CR LF") << u"a\r\nb\r\n"_s;
        QTest::newRow("lone CR, CR CR LF, last CR") << u"a\rb\r\r\nc\r"_s;
        QTest::newRow("LF CR") << u"a\n\rb"_s;
        QTest::newRow("Unicode separators") << u"a\u2028b\u2029c"_s;
        QTest::newRow("frame marks") << u"a\ufdd0b\ufdd1c"_s;
        QTest::newRow("surrogates, NUL") << u"\U0001F600\u0000z"_s;
    }
    void boxTextMatchesTheBox()
    {
        QFETCH(QString, text);
        QPlainTextEdit box;
        box.setPlainText(text);
        QCOMPARE(boxText(text), documentText(*box.document()));
    }

    // A long text's start goes in at once, the rest after the box's first
    // paint; until then the rest counts as the box's text, what is typed in
    // the start stays, and the box says no change and keeps no undo step.
    void fillStartFirst_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("typed");
        QTest::newRow("lines") << longText(40000, u"\n"_s) << QString();
        QTest::newRow("a single line") << longText(40000, QString()) << QString();
        QTest::newRow("CR LF where the start ends")
            << longText(40000, u"\r\n"_s, 16384, u"\r\n"_s) << QString();
        QTest::newRow("typed before the paint") << longText(40000, u"\n"_s) << u"Oui. "_s;
    }
    void fillStartFirst()
    {
        QFETCH(QString, text);
        QFETCH(QString, typed);
        const QString whole = boxText(text);
        QWidget window;
        auto *box = new QPlainTextEdit(&window);
        TextFill fill;
        fill.fill(box, text, TextFill::Step::StartFirst);
        QVERIFY(documentText(*box->document()).size() < whole.size());
        QCOMPARE(fill.text(box), whole);

        if (!typed.isEmpty()) {
            box->moveCursor(QTextCursor::Start);
            box->insertPlainText(typed);
            QCOMPARE(fill.text(box), typed + whole);
        }
        QSignalSpy changes(box, &QPlainTextEdit::textChanged);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(documentText(*box->document()), typed + whole);
        QCOMPARE(changes.size(), 0);
        box->undo();
        QCOMPARE(documentText(*box->document()).size(), (typed + whole).size());
    }

    // A whole fill replaces what was still to come.
    void wholeFillDropsTheRest()
    {
        QWidget window;
        auto *box = new QPlainTextEdit(&window);
        TextFill fill;
        fill.fill(box, longText(40000, u"\n"_s), TextFill::Step::StartFirst);
        fill.fill(box, u"court"_s);
        QCOMPARE(fill.text(box), u"court"_s);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(50);
        QCOMPARE(documentText(*box->document()), u"court"_s);
    }

    void commands_data()
    {
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("textAfter");
        QTest::addColumn<QString>("selectionAfter");
        QTest::addColumn<QString>("clipboard");
        const QKeySequence all(Qt::CTRL | Qt::Key_A);
        const QKeySequence copy(Qt::CTRL | Qt::Key_C);
        QTest::newRow("Ctrl+A selects all")
            << false << 2 << 2 << all << kQuote << kQuote << kBefore;
        QTest::newRow("a letter after Ctrl+A replaces the text")
            << false << 2 << 2
            << QKeySequence(Qt::CTRL | Qt::Key_A, QKeyCombination(Qt::Key_X),
                            QKeyCombination(Qt::Key_Y))
            << u"xy"_s << QString() << kBefore;
        QTest::newRow("Ctrl+C copies the selection exactly")
            << false << 2 << 8 << copy << kQuote << u"oi\u00a0?\nO"_s << u"oi\u00a0?\nO"_s;
        QTest::newRow("Ctrl+C without selection empties the clipboard")
            << false << 3 << 3 << copy << kQuote << QString() << QString();
        QTest::newRow("read-only box: Ctrl+A then Ctrl+C")
            << true << 1 << 1 << QKeySequence(Qt::CTRL | Qt::Key_A, Qt::CTRL | Qt::Key_C) << kQuote
            << kQuote << kQuote;
    }
    void commands()
    {
        QFETCH(bool, readOnly);
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(QKeySequence, keys);
        QPlainTextEdit box;
        new TextBoxKeys(&box);
        prepare(box, readOnly, kQuote, start, end);
        QTest::keySequence(&box, keys);

        QTEST(documentText(*box.document()), "textAfter");
        QTEST(selected(box), "selectionAfter");
        QTEST(clipboard(), "clipboard");
    }

    // Whatever the filter does not claim must act exactly as on a bare box:
    // Ctrl with Shift or Alt, and the other Ctrl combinations.
    void otherKeysKeepTheBoxBehaviour_data()
    {
        QTest::addColumn<QKeySequence>("keys");
        for (QKeyCombination keys :
             {Qt::CTRL | Qt::SHIFT | Qt::Key_A, Qt::CTRL | Qt::ALT | Qt::Key_C,
              Qt::CTRL | Qt::Key_V, Qt::CTRL | Qt::Key_X})
            QTest::newRow(qPrintable(QKeySequence(keys).toString())) << QKeySequence(keys);
    }
    void otherKeysKeepTheBoxBehaviour()
    {
        QFETCH(QKeySequence, keys);
        QPlainTextEdit bare;
        prepare(bare, false, kQuote, 1, 5);
        QTest::keySequence(&bare, keys);
        const QString bareClipboard = clipboard();

        QPlainTextEdit box;
        new TextBoxKeys(&box);
        prepare(box, false, kQuote, 1, 5);
        QTest::keySequence(&box, keys);
        QCOMPARE(box.toPlainText(), bare.toPlainText());
        QCOMPARE(selected(box), selected(bare));
        QCOMPARE(clipboard(), bareClipboard);
    }

    void copyGivesBackTheShownText_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("expected");
        const QString rendering = u"N*\u00eb*\r\r\r   E - N"_s;
        QTest::newRow("carriage returns of a rendering") << rendering << rendering;
        // CR LF is one break in the box: the copy cannot be mapped back.
        QTest::newRow("CR LF pair") << u"a\r\nb"_s << u"a\nb"_s;
    }
    void copyGivesBackTheShownText()
    {
        QFETCH(QString, shown);
        const QKeySequence copyAll(Qt::CTRL | Qt::Key_A, Qt::CTRL | Qt::Key_C);
        QPlainTextEdit box;
        new TextBoxKeys(&box, [&shown] { return shown; });
        prepare(box, true, shown, 0, 0);
        QTest::keySequence(&box, copyAll);
        QTEST(clipboard(), "expected");

        // Once the box no longer holds that text, its own text is copied.
        box.setPlainText(u"autre\rtexte"_s);
        QTest::keySequence(&box, copyAll);
        QCOMPARE(clipboard(), u"autre\ntexte"_s);
    }
};

QTEST_MAIN(TestTextBox)
#include "tst_textbox.moc"
