#include "EventTimings.h"

#include "BenchResults.h"
#include "DiscoveryRecorder.h"
#include "MonitorLib.h"

#include <chrono>
#include <mutex>
#include <vector>

using namespace ZORVAN;

namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

} // namespace

EventTimings::EventTimings(MonitorLib& monitor, uint32_t domain, int repeat)
    : m_monitor(monitor), m_domain(domain), m_repeat(repeat)
{
}

void EventTimings::measure(BenchResults& results)
{
    const QString ms = QStringLiteral("ms");
    std::vector<double> joinHeld;
    std::vector<double> joinAfter;
    std::vector<double> leaveHeld;
    std::vector<double> leaveAfter;
    double recorded = 0;
    const DiscoveredKind kinds[] = {DiscoveredKind::Participant, DiscoveredKind::Writer,
                                    DiscoveredKind::Reader};
    for (int i = 0; i < m_repeat; ++i) {
        DiscoveryRecorder recorder;
        HandleDelta deltas[3];
        {
            std::lock_guard<std::mutex> lock(m_monitor.mutex);
            DomainParticipant* participant = m_monitor.domains.at(m_domain).m_metaParticipant;
            participant->get_discovered_participants(deltas[0].added);
            participant->get_publications(deltas[1].added, true);
            participant->get_subscriptions(deltas[2].added, true);
            const Clock::time_point start = Clock::now();
            for (int k = 0; k < 3; ++k) {
                deltas[k].changed = true;
                recorder.listChanged(m_monitor, *participant, kinds[k], deltas[k]);
            }
            joinHeld.push_back(msBetween(start, Clock::now()));
        }
        Clock::time_point start = Clock::now();
        recorder.passReleased();
        joinAfter.push_back(msBetween(start, Clock::now()));
        {
            std::lock_guard<std::mutex> lock(m_monitor.mutex);
            DomainParticipant* participant = m_monitor.domains.at(m_domain).m_metaParticipant;
            start = Clock::now();
            for (int k = 0; k < 3; ++k) {
                deltas[k].removed.swap(deltas[k].added);
                recorder.listChanged(m_monitor, *participant, kinds[k], deltas[k]);
            }
            leaveHeld.push_back(msBetween(start, Clock::now()));
        }
        start = Clock::now();
        recorder.passReleased();
        leaveAfter.push_back(msBetween(start, Clock::now()));
        recorded = double(recorder.log().lastSeq());
    }
    results.add(QStringLiteral("event_record_join_held_ms"), joinHeld, ms);
    results.add(QStringLiteral("event_record_join_after_ms"), joinAfter, ms);
    results.add(QStringLiteral("event_record_leave_held_ms"), leaveHeld, ms);
    results.add(QStringLiteral("event_record_leave_after_ms"), leaveAfter, ms);
    results.setCount(QStringLiteral("event_record_events"), recorded);
}
