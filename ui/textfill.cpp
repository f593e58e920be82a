// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/textfill.h"

#include "ui/textbox.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <utility>

namespace lexorne {

namespace {

// More than any screen shows of a box, and quick to lay out.
constexpr qsizetype kStartSize = qsizetype{16} * 1024;

// Where the start ends: never inside a CR LF pair, one line break that two
// inserts would make two.
qsizetype startLength(const QString &text)
{
    const bool inPair = text.at(kStartSize - 1) == u'\r' && text.at(kStartSize) == u'\n';
    return inPair ? kStartSize - 1 : kStartSize;
}

} // namespace

TextFill::TextFill()
{
    m_later.setSingleShot(true);
    m_later.setInterval(0);
    connect(&m_later, &QTimer::timeout, this, &TextFill::finish);
}

void TextFill::fill(QPlainTextEdit *box, const QString &text, Step step)
{
    if (auto found = find(box); found != m_pending.end())
        m_pending.erase(found);
    if (step == Step::Whole || text.size() <= kStartSize) {
        box->setPlainText(text);
        return;
    }
    const qsizetype cut = startLength(text);
    // Known before the box changes: its change handlers read the whole text.
    m_pending.push_back({box, text.mid(cut)});
    box->viewport()->installEventFilter(this);
    box->setPlainText(text.left(cut));
}

QString TextFill::text(const QPlainTextEdit *box) const
{
    QString shown = documentText(*box->document());
    if (auto found = find(box); found != m_pending.end())
        shown += boxText(found->rest);
    return shown;
}

void TextFill::finish()
{
    for (Pending &pending : std::exchange(m_pending, {})) {
        if (pending.box)
            append(*pending.box, pending.rest);
    }
}

bool TextFill::eventFilter(QObject *watched, QEvent *event)
{
    // The paint is under way: the rest goes in once it is on screen.
    if (event->type() == QEvent::Paint) {
        watched->removeEventFilter(this);
        m_later.start();
    }
    return false;
}

std::vector<TextFill::Pending>::iterator TextFill::find(const QPlainTextEdit *box)
{
    return std::find_if(m_pending.begin(), m_pending.end(),
                        [box](const Pending &pending) { return pending.box == box; });
}

std::vector<TextFill::Pending>::const_iterator TextFill::find(const QPlainTextEdit *box) const
{
    return std::find_if(m_pending.cbegin(), m_pending.cend(),
                        [box](const Pending &pending) { return pending.box == box; });
}

void TextFill::append(QPlainTextEdit &box, const QString &rest)
{
    // The box's text as the program knows it does not change: no change
    // signal, and no step for the box's own undo.
    const QSignalBlocker quiet(&box);
    QTextDocument *document = box.document();
    const bool undo = document->isUndoRedoEnabled();
    document->setUndoRedoEnabled(false);
    QTextCursor end(document);
    end.movePosition(QTextCursor::End);
    end.insertText(rest);
    document->setUndoRedoEnabled(undo);
}

} // namespace lexorne
