// SPDX-FileCopyrightText: 2026 Quillmoor
// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/storewriter.h"

namespace lexorne::settings {

StoreWriter::StoreWriter(Store &store, QObject *parent)
    : QObject(parent), m_store(store), m_thread([this] { run(); })
{}

StoreWriter::~StoreWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void StoreWriter::writeLetter(int index, LetterState state)
{
    enqueue({Subject::Letter,
             [index, state](Store &store) { return store.writeLetter(index, state); },
             {}});
}

void StoreWriter::writeQuotation(const QString &text)
{
    {
        const std::lock_guard lock(m_mutex);
        // Only the newest text matters; keeping one pending write of it
        // saves rewriting the file for every pause in the typing.
        if (!m_jobs.empty() && m_jobs.back().subject == Subject::Quotation) {
            m_jobs.back().quotation = text;
            return;
        }
    }
    enqueue({Subject::Quotation, {}, text});
}

void StoreWriter::writeLedger(const QString &text)
{
    enqueue({Subject::Ledger, [text](Store &store) { return store.writeLedger(text); }, {}});
}

void StoreWriter::resetGame()
{
    enqueue({Subject::Game, [](Store &store) { return ResetSettings(store); }, {}});
}

void StoreWriter::writeOption(const QString &key, const QString &value)
{
    enqueue({Subject::Option,
             [key, value](Store &store) { return store.writeOption(key, value); },
             {}});
}

void StoreWriter::writeGames(std::function<bool(Store &)> write)
{
    enqueue({Subject::Games, std::move(write), {}});
}

void StoreWriter::waitUntilWritten()
{
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return m_jobs.empty() && !m_busy; });
}

void StoreWriter::enqueue(Job job)
{
    const bool screenGame = job.subject == Subject::Letter || job.subject == Subject::Quotation ||
                            job.subject == Subject::Ledger || job.subject == Subject::Game;
    {
        const std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    m_wake.notify_one();
    if (screenGame)
        emit screenGameChanging();
}

void StoreWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
        if (m_jobs.empty())
            return; // stopping, and nothing left to write
        Job job = std::move(m_jobs.front());
        m_jobs.pop_front();
        m_busy = true;
        lock.unlock();
        const bool written = job.write ? job.write(m_store) : m_store.writeQuotation(job.quotation);
        if (!written)
            emit failed(job.subject);
        lock.lock();
        m_busy = false;
        if (m_jobs.empty())
            m_idle.notify_all();
    }
}

} // namespace lexorne::settings
