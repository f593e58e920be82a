// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/hoverlabel.h"

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

} // namespace lexorne
