// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/boardkeys.h"

#include <QCheckBox>
#include <QKeyEvent>

namespace lexorne {

BoardKeys::BoardKeys(const std::array<QCheckBox *, kLetterCount> &boxes, QObject *parent)
    : QObject(parent), m_boxes(boxes)
{
    for (QCheckBox *box : m_boxes)
        box->installEventFilter(this);
}

bool BoardKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    // Shift is how some layouts type a capital; any other modifier is a
    // shortcut's, Alt+letter an access key's.
    const Qt::KeyboardModifiers others =
        key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (others != Qt::NoModifier || key->key() < Qt::Key_A || key->key() > Qt::Key_Z)
        return QObject::eventFilter(watched, event);
    QCheckBox *box = m_boxes[key->key() - Qt::Key_A];
    if (box->isEnabled())
        box->click();
    return true;
}

} // namespace lexorne
