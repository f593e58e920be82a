// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/controlsize.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QtMath>

namespace lexorne {

int heightForLines(const QWidget *box, int lines)
{
    // One line more than asked: the rows' padding and the document's
    // margins, whatever the style makes of them.
    return (lines + 1) * box->fontMetrics().lineSpacing() +
           2 * box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
}

QSize requiredSize(const QWidget *widget)
{
    if (const auto *button = qobject_cast<const QPushButton *>(widget)) {
        // Not sizeHint(): some styles give every captioned button a minimum
        // width (80 px in Fusion) that has nothing to do with its caption.
        const QStyle *style = button->style();
        const QString caption = QString(button->text()).remove(u'&');
        const int width = button->fontMetrics().horizontalAdvance(caption) +
                          style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                          2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        return {width, button->sizeHint().height()};
    }
    if (const auto *box = qobject_cast<const QPlainTextEdit *>(widget)) {
        // A scrolling box needs one whole line; its width only wraps the text.
        const int height = box->fontMetrics().lineSpacing() + 2 * box->frameWidth() +
                           2 * qCeil(box->document()->documentMargin());
        return {0, height};
    }
    if (const auto *frame = qobject_cast<const QGroupBox *>(widget))
        return frame->minimumSizeHint();
    // A picture needs its own size, whatever the screen's pixel density.
    if (const auto *label = qobject_cast<const QLabel *>(widget);
        label && !label->pixmap().isNull())
        return label->pixmap().deviceIndependentSize().toSize();
    return widget->sizeHint();
}

} // namespace lexorne
