// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Typing a letter A-Z (no modifier) while the keyboard focus is on the
// letter board ticks or unticks that letter's box, as a click would, so
// that a whole game is played without the mouse. The focus stays put.
#pragma once

#include "engine/board.h"

#include <QObject>

#include <array>

class QCheckBox;

namespace lexorne {

class BoardKeys : public QObject
{
public:
    // Watches every box of the board; owned by `parent`.
    BoardKeys(const std::array<QCheckBox *, kLetterCount> &boxes, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::array<QCheckBox *, kLetterCount> m_boxes;
};

} // namespace lexorne
