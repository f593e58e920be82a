// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Puts texts into the window's text boxes, a long one in two steps if asked:
// its start at once, the rest once the box has been drawn. Qt builds a box's
// whole document before the window can show, about 10 ms per million
// characters and box; a restored game of that size would hold the window
// back. Until the rest is in, it still counts as the box's text.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <vector>

class QPlainTextEdit;

namespace lexorne {

class TextFill : public QObject
{
    Q_OBJECT
public:
    TextFill();

    enum class Step
    {
        Whole,      // all of it at once
        StartFirst, // the start at once, the rest after the box's first paint
    };

    // Puts text into box, dropping whatever was still to come for it.
    void fill(QPlainTextEdit *box, const QString &text, Step step = Step::Whole);

    // The box's text as documentText() reads it, the rest still to come
    // included.
    QString text(const QPlainTextEdit *box) const;

    // Puts every rest still to come into its box now.
    void finish();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Pending
    {
        QPointer<QPlainTextEdit> box;
        QString rest;
    };
    std::vector<Pending>::iterator find(const QPlainTextEdit *box);
    std::vector<Pending>::const_iterator find(const QPlainTextEdit *box) const;
    static void append(QPlainTextEdit &box, const QString &rest);

    std::vector<Pending> m_pending;
    // Runs finish() once the paint that started it is on screen.
    QTimer m_later;
};

} // namespace lexorne
