#include "textbox.h"

#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>

using namespace lexorne;
using namespace Qt::StringLiterals;

namespace {

const QString kBefore = u"avant"_s;

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

} // namespace

class TestTextBox : public QObject
{
    Q_OBJECT
private slots:
    void documentTextKeepsEveryCharacter();
    void commands_data();
    void commands();
    void otherKeysKeepTheBoxBehaviour_data();
    void otherKeysKeepTheBoxBehaviour();
    void copyGivesBackTheShownText_data();
    void copyGivesBackTheShownText();
};

void TestTextBox::documentTextKeepsEveryCharacter()
{
    QPlainTextEdit box;
    box.insertPlainText(u"Quoi\u00a0?"_s);
    QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier); // a line separator
    QTest::keyClick(&box, Qt::Key_Return);                    // a new block
    box.insertPlainText(u"fin"_s);
    QCOMPARE(documentText(*box.document()), u"Quoi\u00a0?\n\nfin"_s);
}

void TestTextBox::commands_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("textAfter");
    QTest::addColumn<QString>("selectionAfter");
    QTest::addColumn<QString>("clipboard");

    const QString quote = u"Quoi\u00a0?\nOui"_s;
    const auto ctrl = [](Qt::Key key) {
        return QKeyCombination(Qt::ControlModifier, key);
    };
    QTest::newRow("Ctrl+A selects all")
        << false << quote << 2 << 2 << QKeySequence(ctrl(Qt::Key_A)) << quote << quote << kBefore;
    QTest::newRow("Ctrl+A in an empty box")
        << false << QString() << 0 << 0 << QKeySequence(ctrl(Qt::Key_A)) << QString() << QString()
        << kBefore;
    QTest::newRow("a letter after Ctrl+A replaces the text")
        << false << quote << 2 << 2
        << QKeySequence(ctrl(Qt::Key_A), QKeyCombination(Qt::Key_X), QKeyCombination(Qt::Key_Y))
        << u"xy"_s << QString() << kBefore;
    QTest::newRow("Ctrl+C copies the selection exactly")
        << false << quote << 2 << 8 << QKeySequence(ctrl(Qt::Key_C)) << quote << u"oi\u00a0?\nO"_s
        << u"oi\u00a0?\nO"_s;
    QTest::newRow("Ctrl+C without selection empties the clipboard")
        << false << quote << 3 << 3 << QKeySequence(ctrl(Qt::Key_C)) << quote << QString()
        << QString();
    QTest::newRow("Ctrl+A then Ctrl+C copies all")
        << false << quote << 0 << 0 << QKeySequence(ctrl(Qt::Key_A), ctrl(Qt::Key_C)) << quote
        << quote << quote;
    QTest::newRow("read-only box: Ctrl+A then Ctrl+C")
        << true << quote << 1 << 1 << QKeySequence(ctrl(Qt::Key_A), ctrl(Qt::Key_C)) << quote
        << quote << quote;
    QTest::newRow("read-only box: typing changes nothing")
        << true << quote << 1 << 1
        << QKeySequence(QKeyCombination(Qt::Key_X), QKeyCombination(Qt::Key_Return)) << quote
        << QString() << kBefore;
}

void TestTextBox::commands()
{
    QFETCH(bool, readOnly);
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(QKeySequence, keys);

    QPlainTextEdit box;
    new TextBoxKeys(&box);
    prepare(box, readOnly, text, start, end);
    QTest::keySequence(&box, keys);

    QTEST(documentText(*box.document()), "textAfter");
    QTEST(selected(box), "selectionAfter");
    QTEST(QGuiApplication::clipboard()->text(), "clipboard");
}

void TestTextBox::otherKeysKeepTheBoxBehaviour_data()
{
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QKeySequence>("keys");

    const QKeyCombination combinations[] = {
        Qt::CTRL | Qt::SHIFT | Qt::Key_A,
        Qt::CTRL | Qt::ALT | Qt::Key_A,
        Qt::CTRL | Qt::SHIFT | Qt::Key_C,
        Qt::CTRL | Qt::ALT | Qt::Key_C,
        Qt::CTRL | Qt::Key_V,
        Qt::CTRL | Qt::Key_X,
        QKeyCombination(Qt::Key_Return),
        QKeyCombination(Qt::Key_Escape),
    };
    for (bool readOnly : {false, true}) {
        for (QKeyCombination c : combinations) {
            const QKeySequence keys(c);
            QTest::addRow("%s%s", readOnly ? "read-only " : "",
                          qPrintable(keys.toString(QKeySequence::PortableText)))
                << readOnly << keys;
        }
    }
    QTest::newRow("typing then Ctrl+Z")
        << false << QKeySequence(QKeyCombination(Qt::Key_D), Qt::CTRL | Qt::Key_Z);
}

// Whatever the filter does not claim must act exactly as on a bare box.
void TestTextBox::otherKeysKeepTheBoxBehaviour()
{
    QFETCH(bool, readOnly);
    QFETCH(QKeySequence, keys);
    const QString text = u"abc\ndef"_s;

    QPlainTextEdit bare;
    prepare(bare, readOnly, text, 1, 5);
    QTest::keySequence(&bare, keys);
    const QString bareClipboard = QGuiApplication::clipboard()->text();

    QPlainTextEdit box;
    new TextBoxKeys(&box);
    prepare(box, readOnly, text, 1, 5);
    QTest::keySequence(&box, keys);

    QCOMPARE(box.toPlainText(), bare.toPlainText());
    QCOMPARE(selected(box), selected(bare));
    QCOMPARE(QGuiApplication::clipboard()->text(), bareClipboard);
}

void TestTextBox::copyGivesBackTheShownText_data()
{
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected");

    const QString rendering = u"N*\u00eb*\r\r\r   E - N"_s;
    QTest::newRow("carriage returns of a rendering") << rendering << rendering;
    QTest::newRow("line feeds") << u"a\nb"_s << u"a\nb"_s;
    // CR LF is one break in the box: the copy cannot be mapped back.
    QTest::newRow("CR LF pair") << u"a\r\nb"_s << u"a\nb"_s;
}

void TestTextBox::copyGivesBackTheShownText()
{
    QFETCH(QString, shown);

    QPlainTextEdit box;
    new TextBoxKeys(&box, [&shown] { return shown; });
    prepare(box, true, shown, 0, 0);
    QTest::keySequence(&box, QKeySequence(Qt::CTRL | Qt::Key_A, Qt::CTRL | Qt::Key_C));
    QTEST(QGuiApplication::clipboard()->text(), "expected");

    // Once the box no longer holds that text, its own text is copied.
    box.setPlainText(u"autre\rtexte"_s);
    QTest::keySequence(&box, QKeySequence(Qt::CTRL | Qt::Key_A, Qt::CTRL | Qt::Key_C));
    QCOMPARE(QGuiApplication::clipboard()->text(), u"autre\ntexte"_s);
}

QTEST_MAIN(TestTextBox)
#include "tst_textbox.moc"
