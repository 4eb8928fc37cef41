#include "EventLog.h"

#include <algorithm>
#include <cstring>

EventLog::EventLog(size_t capacity, QObject* parent)
    : QObject(parent), m_capacity(std::max<size_t>(capacity, 1))
{
}

size_t EventLog::EntityIdHash::operator()(const EntityId& id) const
{
    uint64_t hash = 1469598103934665603ull ^ id.domainId;
    for (uint8_t byte : id.key) {
        hash = (hash ^ byte) * 1099511628211ull;
    }
    return size_t(hash);
}

EventLog::EntityId EventLog::idOf(uint32_t domainId, const std::string& key)
{
    EntityId id{domainId, {}};
    std::memcpy(id.key.data(), key.data(), std::min(key.size(), id.key.size()));
    return id;
}

void EventLog::append(std::vector<DiscoveryEvent> events)
{
    if (events.empty()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_lock);
        for (DiscoveryEvent& event : events) {
            event.seq = ++m_lastSeq;
            track(event);
            if (m_events.size() < m_capacity) {
                m_events.push_back(std::move(event));
                continue;
            }
            forget(m_events[m_oldest]);
            m_events[m_oldest] = std::move(event);
            m_oldest = (m_oldest + 1) % m_capacity;
        }
    }
    emit appended();
}

void EventLog::track(const DiscoveryEvent& event)
{
    const EntityId id = idOf(event.domainId, event.entity->key);
    switch (event.event) {
    case DiscoveryEventKind::Joined: {
        const auto inserted = m_lifetimes.try_emplace(id);
        if (inserted.second) {
            inserted.first->second.times.firstSeen = event.time;
        }
        inserted.first->second.times.left.reset();
        inserted.first->second.leftSeq = 0;
        break;
    }
    case DiscoveryEventKind::Left: {
        const auto found = m_lifetimes.find(id);
        if (found != m_lifetimes.end()) {
            found->second.times.left = event.time;
            found->second.leftSeq = event.seq;
        }
        break;
    }
    case DiscoveryEventKind::QosChanged:
        break;
    }
}

void EventLog::forget(const DiscoveryEvent& event)
{
    // An entity still there keeps its lifetime; one that left goes with the event of its last
    // leaving, so that the table stays as bounded as the ring.
    if (event.event != DiscoveryEventKind::Left) {
        return;
    }
    const auto found = m_lifetimes.find(idOf(event.domainId, event.entity->key));
    if (found != m_lifetimes.end() && found->second.leftSeq == event.seq) {
        m_lifetimes.erase(found);
    }
}

std::vector<DiscoveryEvent> EventLog::since(uint64_t afterSeq) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<DiscoveryEvent> newer;
    const uint64_t held = m_events.size();
    const uint64_t firstSeq = m_lastSeq - held + 1;
    if (afterSeq >= m_lastSeq) {
        return newer;
    }
    // Sequence numbers are consecutive, so the first wanted event is found by arithmetic.
    const uint64_t skip = afterSeq < firstSeq ? 0 : afterSeq - firstSeq + 1;
    newer.reserve(size_t(held - skip));
    for (uint64_t i = skip; i < held; ++i) {
        newer.push_back(m_events[size_t((m_oldest + i) % held)]);
    }
    return newer;
}

uint64_t EventLog::lastSeq() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_lastSeq;
}

size_t EventLog::size() const
{
    std::lock_guard<std::mutex> lock(m_lock);
    return m_events.size();
}

std::optional<EntityLifetime> EventLog::lifetime(uint32_t domainId, const std::string& key) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    const auto found = m_lifetimes.find(idOf(domainId, key));
    if (found == m_lifetimes.end()) {
        return std::nullopt;
    }
    return found->second.times;
}
