// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
// Writes to the store on a thread of its own, in the order they were asked
// for, so that the window never waits for the disk: a tick or a pause in the
// typing costs the window's thread only the queuing.
#pragma once

#include "settings/settings.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace lexorne::settings {

class StoreWriter : public QObject
{
    Q_OBJECT
public:
    // What a failed write was about.
    enum class Subject
    {
        Letter,
        Quotation,
        Game,
        Option,
        Games, // the list of games (settings/gamesfile.h)
        Ledger,
    };
    Q_ENUM(Subject)

    // store must outlive the writer.
    explicit StoreWriter(Store &store, QObject *parent = nullptr);
    // Finishes every write asked for, then stops.
    ~StoreWriter() override;
    StoreWriter(const StoreWriter &) = delete;
    StoreWriter &operator=(const StoreWriter &) = delete;

    void writeLetter(int index, LetterState state);
    // A quotation still waiting to be written is replaced by the newer one.
    void writeQuotation(const QString &text);
    // The whole game's ledger, as text (Store::writeLedger).
    void writeLedger(const QString &text);
    // ResetSettings: deletes the stored game.
    void resetGame();
    // One of the window's own choices (Store::writeOption).
    void writeOption(const QString &key, const QString &value);
    // A write of the list of games, in order with the others.
    void writeGames(std::function<bool(Store &)> write);

    // Returns once every write asked for so far is done.
    void waitUntilWritten();

signals:
    // A write of the game on screen (a letter, the quotation, the ledger, a
    // reset) was asked for; sent on the asking thread, as it asks.
    void screenGameChanging();
    // A write failed; sent from the writing thread, so a receiver living
    // elsewhere gets it queued.
    void failed(lexorne::settings::StoreWriter::Subject subject);

private:
    struct Job
    {
        Subject subject;
        std::function<bool(Store &)> write;
        QString quotation; // for a Quotation job, replaced while it waits
    };
    void enqueue(Job job);
    void run();

    Store &m_store;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_jobs;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace lexorne::settings
