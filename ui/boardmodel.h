// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// The letter board's one model: the 26 states that the check boxes show, that
// the masking and the counts read, and that the store follows.
#pragma once

#include "engine/engine.h"

#include <QObject>

#include <array>

namespace lexorne {

class BoardModel : public QObject
{
    Q_OBJECT
public:
    using States = std::array<LetterState, kLetterCount>;

    using QObject::QObject;

    LetterState state(int index) const;
    const States &states() const { return m_states; }
    // The board the engine works on; its captions are always "A" to "Z".
    Board board() const;

    // Each box whose state really changes sends letterChanged; setting a box
    // to the state it has sends nothing. An index outside 0..25 is ignored.
    void setState(int index, LetterState state);
    void setStates(const States &states);

signals:
    void letterChanged(int index, lexorne::LetterState state);

private:
    States m_states{};
};

} // namespace lexorne
