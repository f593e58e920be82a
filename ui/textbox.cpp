// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/textbox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace lexorne {

namespace {

// Block and line separators are how the document stores a line break.
bool isDocumentBreak(QChar c)
{
    return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

QString withLineFeeds(QString text)
{
    for (QChar &c : text) {
        if (isDocumentBreak(c))
            c = u'\n';
    }
    return text;
}

// Whether raw (the document's own text) is what the box shows for shown:
// the same characters, each CR or LF of shown being one block separator.
bool showsExactly(const QString &raw, const QString &shown)
{
    if (raw.size() != shown.size())
        return false;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar r = raw.at(i);
        const QChar s = shown.at(i);
        if (r == s)
            continue;
        if (r != QChar::ParagraphSeparator || (s != u'\r' && s != u'\n'))
            return false;
    }
    return true;
}

} // namespace

QString documentText(const QTextDocument &document)
{
    return withLineFeeds(document.toRawText());
}

QString boxText(const QString &text)
{
    const auto isBreak = [](QChar c) {
        // U+FDD0 and U+FDD1 mark the start and end of a frame in Qt's documents.
        return c == u'\r' || isDocumentBreak(c) || c == u'\ufdd0' || c == u'\ufdd1';
    };
    // The usual case, a text whose breaks are all LF, is shared, not copied.
    if (std::none_of(text.cbegin(), text.cend(), isBreak))
        return text;
    QString shown;
    shown.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue; // the LF makes the break
        if (isBreak(c))
            shown += u'\n';
        else
            shown += c;
    }
    return shown;
}

QString selectionText(const QPlainTextEdit &box, const QString &shown)
{
    const QTextCursor cursor = box.textCursor();
    if (!shown.isEmpty() && showsExactly(box.document()->toRawText(), shown)) {
        const int start = cursor.selectionStart();
        return shown.mid(start, cursor.selectionEnd() - start);
    }
    return withLineFeeds(cursor.selectedText());
}

TextBoxKeys::TextBoxKeys(QPlainTextEdit *box, std::function<QString()> shownText)
    : QObject(box), m_box(box), m_shownText(std::move(shownText))
{
    box->installEventFilter(this);
}

TextBoxKeys::Command TextBoxKeys::commandFor(const QKeyEvent &key)
{
    // Ctrl alone: Ctrl+Shift and Ctrl+Alt combinations are the box's own.
    const Qt::KeyboardModifiers held = key.modifiers() & ~Qt::KeypadModifier;
    if (held != Qt::ControlModifier)
        return Command::None;
    switch (key.key()) {
    case Qt::Key_A:
        return Command::SelectAll;
    case Qt::Key_C:
        return Command::Copy;
    default:
        return Command::None;
    }
}

bool TextBoxKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_box)
        return false;
    const bool override = event->type() == QEvent::ShortcutOverride;
    if (!override && event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const Command command = commandFor(*key);
    if (command == Command::None)
        return false;

    // Claiming the override keeps any window shortcut from taking the keys;
    // the key press that follows is then ours alone, and the box never runs
    // its own select-all or copy on top of ours.
    key->accept();
    if (override)
        return true;
    if (command == Command::SelectAll)
        m_box->selectAll();
    else
        copySelection();
    return true;
}

void TextBoxKeys::copySelection()
{
    const QString text = selectionText(*m_box, m_shownText ? m_shownText() : QString());
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(text);
}

} // namespace lexorne
