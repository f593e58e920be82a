// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Windows has no termination signals for a windowed program: the end of the
// session reaches it as window messages, which Qt turns into the session
// manager's requests and a close.
#include "app/signals.h"

namespace lexorne::app {

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent) {}
TerminationSignals::~TerminationSignals() = default;
void TerminationSignals::drain() {}

} // namespace lexorne::app
