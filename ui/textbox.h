// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Exact text out of the window's two text boxes, and their own Ctrl+A and
// Ctrl+C commands.
//
// QPlainTextEdit::toPlainText() turns a non-breaking space into a plain space
// and QTextCursor::selectedText() reports line breaks as U+2029; neither is
// what the user typed, so everything that leaves a box goes through here.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QKeyEvent;
class QPlainTextEdit;
class QTextDocument;

namespace lexorne {

// The document's text character for character, line breaks as "\n".
QString documentText(const QTextDocument &document);

// What documentText() gives back once text is put into a box: each line
// break the box knows (CR LF, CR, LF, and the separators of Unicode and of
// Qt's frames) becomes "\n".
QString boxText(const QString &text);

// The box's selection as it should reach the clipboard. When `shown` is the
// exact string last put into the box (it may hold carriage returns, which the
// box displays as line breaks), the selection is cut from it, so a copy gives
// back the very characters computed; otherwise line breaks become "\n".
QString selectionText(const QPlainTextEdit &box, const QString &shown = {});

// Event filter giving a text box Ctrl+A (select all) and Ctrl+C (copy the
// selection as plain text) with Ctrl alone. The combination's own key event is
// consumed, so no character reaches the box and the next key typed is never
// lost. Ctrl+Shift, Ctrl+Alt and every other key keep the box's behaviour.
class TextBoxKeys : public QObject
{
    Q_OBJECT
public:
    // shownText, when given, returns the exact string last put into the box.
    explicit TextBoxKeys(QPlainTextEdit *box, std::function<QString()> shownText = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class Command
    {
        None,
        SelectAll,
        Copy
    };
    static Command commandFor(const QKeyEvent &key);
    void copySelection();

    QPlainTextEdit *m_box;
    std::function<QString()> m_shownText;
};

} // namespace lexorne
