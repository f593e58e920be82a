// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/hoverlabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace lexorne {

HoverLabel::HoverLabel(QWidget *parent) : QLabel(parent)
{
    setMouseTracking(true);
}

// The events are accepted so that they do not also reach the window below,
// which reacts to moves over its bare area.
void HoverLabel::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    emit mouseMoved();
}

void HoverLabel::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
}

void HoverLabel::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const bool wasPressed = m_pressed;
    m_pressed = false;
    if (wasPressed && rect().contains(event->position().toPoint()))
        emit clicked();
}

LinkLabel::LinkLabel(QWidget *parent) : HoverLabel(parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void LinkLabel::activate()
{
    emit clicked();
}

void LinkLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // Taken here, so that Enter does not also press the default button.
        event->accept();
        // A held key opens the link once, not once per repeat.
        if (!event->isAutoRepeat() && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier)
            activate();
        return;
    default:
        HoverLabel::keyPressEvent(event);
    }
}

void LinkLabel::focusInEvent(QFocusEvent *event)
{
    HoverLabel::focusInEvent(event);
    emit focusChanged(true);
}

void LinkLabel::focusOutEvent(QFocusEvent *event)
{
    HoverLabel::focusOutEvent(event);
    emit focusChanged(false);
}

} // namespace lexorne
