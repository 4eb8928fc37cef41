#include "PassPacer.h"

#include <algorithm>

using namespace ZORVAN;
using Clock = PaceRule::Clock;

namespace {

Duration_t durationOf(Clock::duration d)
{
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(d).count();
    Duration_t duration;
    if (ns > 0) {
        duration.sec = int32_t(std::min<int64_t>(ns / 1000000000, 0x7ffffffe));
        duration.nanosec = uint32_t(ns % 1000000000);
    }
    return duration;
}

} // namespace

PassPacer::PassPacer() = default;

PassPacer::~PassPacer() = default;

void PassPacer::follow(const std::map<uint32_t, DomainEntry>& domains)
{
    // Participants that left the table: a deleted one has already left the wait set with its
    // readers, one that lives on must not wake the thread for data no pass takes.
    for (auto it = m_watched.begin(); it != m_watched.end();) {
        const bool listed = std::any_of(domains.begin(), domains.end(), [&](const auto& domain) {
            const DomainParticipant* p = domain.second.m_metaParticipant;
            return p && p->get_instance_handle() == *it;
        });
        if (listed) {
            ++it;
            continue;
        }
        if (m_waitSet) {
            m_waitSet->detach(*it);
        }
        it = m_watched.erase(it);
    }
    for (const auto& domain : domains) {
        DomainParticipant* participant = domain.second.m_metaParticipant;
        if (!participant || std::find(m_watched.begin(), m_watched.end(),
                                      participant->get_instance_handle()) != m_watched.end()) {
            continue;
        }
        // Tried once per participant: one the wait set refuses (a double, or one whose
        // readers are gone) is polled at the heartbeat.
        m_watched.push_back(participant->get_instance_handle());
        if (makeWaitSet()) {
            m_waitSet->attach(*participant);
        }
    }
}

bool PassPacer::makeWaitSet()
{
    if (!m_waitSetTried) {
        m_waitSetTried = true;
        std::unique_ptr<DiscoveryWaitSet> made = DiscoveryWaitSet::create();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_waitSet = std::move(made);
        m_waitSetReady = m_waitSet != nullptr;
    }
    return m_waitSet != nullptr;
}

PassPacer::Wake PassPacer::next(Clock::time_point began, Clock::time_point ended, size_t changes)
{
    m_rule.heartbeat = m_heartbeat;
    m_rule.passRan(began, ended, changes);
    Wake reason = Wake::Heartbeat;
    Clock::time_point due = m_rule.heartbeatAt();
    bool dataPending = false;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stop) {
                return counted(Wake::Stop);
            }
            if (m_requested) {
                m_requested = false;
                if (m_rule.earliestAt() < due) {
                    due = std::max(m_rule.earliestAt(), Clock::now());
                    reason = Wake::Request;
                }
            }
        }
        const Clock::time_point now = Clock::now();
        if (now >= due) {
            return counted(reason);
        }
        // Data stays pending until the pass takes it, so once some is seen the rest of the
        // wait cannot use the wait set.
        if (m_waitSet && !dataPending) {
            const DiscoveryWaitSet::WaitResult result = m_waitSet->wait(durationOf(due - now));
            if (result == DiscoveryWaitSet::WAIT_WOKEN) {
                continue;
            }
            if (result == DiscoveryWaitSet::WAIT_DISCOVERY) {
                dataPending = true;
                const Clock::time_point at = m_rule.discoveryPassAt(Clock::now());
                if (at < due) {
                    due = at;
                    reason = Wake::Discovery;
                }
                continue;
            }
            // A timeout, or a wait set that failed early: the sleep below covers the rest.
        }
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wakeUp.wait_until(lock, due, [this] { return m_stop || m_requested; });
    }
}

PassPacer::Wake PassPacer::counted(Wake reason)
{
    ++m_wakes[size_t(reason)];
    return reason;
}

void PassPacer::requestPass()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requested = true;
    wakeLocked();
}

void PassPacer::stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stop = true;
    wakeLocked();
}

void PassPacer::wakeLocked()
{
    // The thread sleeps on one or the other.
    m_wakeUp.notify_all();
    if (m_waitSet) {
        m_waitSet->wake();
    }
}

void PassPacer::setHeartbeat(std::chrono::milliseconds heartbeat)
{
    m_heartbeat = heartbeat;
    requestPass();
}
