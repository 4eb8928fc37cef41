// The one object through which the system sees the DDS network: the watched domains with the
// monitor's own participant in each, and a polling thread that signals every change of the
// discovered participants, data writers and data readers, their records included.
#pragma once

#include "DiscoveryObserver.h"
#include "DomainEntry.h"
#include "HandleDelta.h"
#include "PassPacer.h"
#include "RecordRevisions.h"

#include <QObject>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

class MonitorLib : public QObject
{
    Q_OBJECT

public:
    // Constructs the monitor on first call and starts its polling thread.
    static MonitorLib& getInstance();

    ~MonitorLib() override;

    static HandleDelta computeDelta(const ZORVAN::InstanceHandleSeq& newList,
                                    const ZORVAN::InstanceHandleSeq& oldList);

    // Stops the polling thread and waits for its current pass to end. Idempotent; the
    // destructor calls it before the tables and participants go.
    void stopPolling();

    // How many times dataChanged() has been emitted, by any thread. Counted when the signal is
    // emitted, before any queued delivery of it is posted, so a receiver that reads the count
    // before it collects has seen every change announced up to that count.
    uint64_t signalCount() const { return m_signalCount; }

    // Measurement hook for benchmarks: called on the polling thread after every pass, once
    // `mutex` is released, with how long the pass waited for `mutex` and how long it held it.
    using PassObserver = void (*)(std::chrono::nanoseconds waited, std::chrono::nanoseconds held);
    void setPassObserver(PassObserver observer) { m_passObserver = observer; }

    // Hook for what records the monitor's findings as they happen (the event log, tests):
    // called on the polling thread, with `mutex` held, for every domain in which a pass found
    // records re-announced with different data, right after that domain's dataChanged().
    // The list is the domain's DomainEntry::recordChanges; copy what is to be kept.
    using RecordChangeObserver = void (*)(uint32_t domainId,
                                          const ZORVAN::RecordChangeSeq& changes);
    void setRecordChangeObserver(RecordChangeObserver observer) { m_changeObserver = observer; }

    // The revision of the latest record change of the discovered entity with this handle (0:
    // none seen). A panel that shows one entity keeps the revision it showed and fetches the
    // record again when a dataChanged() finds it moved. Takes `mutex` itself.
    uint64_t recordRevision(const ZORVAN::InstanceHandle_t& handle);
    // The same revisions for a caller that already holds `mutex`.
    const RecordRevisions& revisions() const { return m_revisions; }

    // When the polling thread runs its passes, and why it ran them.
    PassPacer& pacer() { return m_pacer; }

    // Gives the polling thread the observer of what each pass discovered (the event log's
    // recorder). Only the first call installs one, for the monitor's whole life: a later call
    // returns false and its observer is dropped. The observer is destroyed with the monitor,
    // after the polling thread has stopped.
    bool setDiscoveryObserver(std::unique_ptr<DiscoveryObserver> observer);

    // guarded by mutex
    std::map<uint32_t, DomainEntry> domains;
    // the polling thread; joined by stopPolling()
    std::unique_ptr<std::thread> thread;
    // The only lock of the system. Every middleware query runs with it held.
    std::mutex mutex;
    std::atomic<bool> running{true};
    // guarded by mutex: handles of the monitor's own participants, one per domain
    std::set<ZORVAN::InstanceHandle_t> ownParticipants;

signals:
    // Emitted on the polling thread when a discovered list gained or lost handles or a record
    // changed under its handle (delivered queued to the GUI thread), and on the GUI thread
    // after the domain set changed (which also brings the next pass forward).
    void dataChanged();

private:
    MonitorLib();
    void pollLoop();
    // Returns how many handles it found added or removed and records found changed.
    size_t pollDomain(DomainEntry& entry, DiscoveryObserver* discovery);

    std::atomic<PassObserver> m_passObserver{nullptr};
    std::atomic<RecordChangeObserver> m_changeObserver{nullptr};
    // Set once, then read by the polling thread at the start of every pass.
    std::atomic<DiscoveryObserver*> m_discovery{nullptr};
    std::unique_ptr<DiscoveryObserver> m_ownedDiscovery;
    std::atomic<uint64_t> m_signalCount{0};
    PassPacer m_pacer;
    RecordRevisions m_revisions; // guarded by mutex
};
