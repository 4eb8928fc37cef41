// The discovery event log: a bounded ring of the newest events, oldest first, and per entity
// when it was first seen and when it left. One thread writes (the polling thread, through the
// recorder); any thread reads. Its lock is its own and is never held while another is taken,
// so a reader may hold MonitorLib::mutex or not.
#pragma once

#include "DiscoveryEvent.h"
#include "EntityLifetime.h"

#include <QObject>
#include <array>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class EventLog : public QObject
{
    Q_OBJECT

public:
    static constexpr size_t DefaultCapacity = 100000;

    explicit EventLog(size_t capacity = DefaultCapacity, QObject* parent = nullptr);

    size_t capacity() const { return m_capacity; }

    // Writer side. Numbers the events in order (from 1, across calls), records them and lets
    // the oldest go once more than capacity() are held; then emits appended() once.
    void append(std::vector<DiscoveryEvent> events);

    // Reader side, any thread. The events numbered after `afterSeq` that are still held, oldest
    // first (every held event for 0).
    std::vector<DiscoveryEvent> since(uint64_t afterSeq) const;
    // The number of the newest event recorded so far; 0 before the first.
    uint64_t lastSeq() const;
    // How many events are held.
    size_t size() const;
    // When the entity with this handle key (16 bytes) in this domain was first seen and when it
    // left, or nothing for an entity the log does not know. The lifetime of an entity that left
    // is kept as long as the event of its leaving is held.
    std::optional<EntityLifetime> lifetime(uint32_t domainId, const std::string& key) const;

signals:
    // Emitted on the thread that appended (the polling thread), without any lock held, after
    // each append() that recorded at least one event; receivers in the GUI thread get it
    // queued and read the new events with since().
    void appended();

private:
    struct EntityId
    {
        uint32_t domainId;
        std::array<uint8_t, 16> key;
        bool operator==(const EntityId& other) const
        {
            return domainId == other.domainId && key == other.key;
        }
    };
    struct EntityIdHash
    {
        size_t operator()(const EntityId& id) const;
    };
    struct Lifetime
    {
        EntityLifetime times;
        uint64_t leftSeq = 0; // the event that set times.left
    };

    static EntityId idOf(uint32_t domainId, const std::string& key);
    // Both with m_lock held.
    void track(const DiscoveryEvent& event);
    void forget(const DiscoveryEvent& event);

    const size_t m_capacity;
    mutable std::mutex m_lock;
    // guarded by m_lock: a ring, m_events[m_oldest] the oldest once it has reached capacity
    std::vector<DiscoveryEvent> m_events;
    size_t m_oldest = 0;
    uint64_t m_lastSeq = 0;
    std::unordered_map<EntityId, Lifetime, EntityIdHash> m_lifetimes;
};
