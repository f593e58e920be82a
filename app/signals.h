// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Turns the termination signals (SIGTERM, SIGINT, SIGHUP) into a Qt signal
// delivered by the event loop, so that the program can end in order: the
// handler itself only writes one byte to a socket pair.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace lexorne::app {

class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    // Catches the signals for the life of this object (one at a time); the
    // previous dispositions come back when it goes. Does nothing where the
    // platform has no such signals.
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    void drain();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace lexorne::app
