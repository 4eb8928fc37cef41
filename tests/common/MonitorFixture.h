// Puts middleware doubles into the monitor's domain table for one test and takes them out
// again, so tests with doubles and tests with real participants can share the singleton.
// The polling thread queries the doubles too: change a double only while holding
// MonitorLib::mutex.
#pragma once

#include "FakeParticipant.h"
#include "MonitorLib.h"

#include <memory>
#include <vector>

class MonitorFixture
{
public:
    MonitorFixture() = default;
    ~MonitorFixture() { clear(); }
    MonitorFixture(const MonitorFixture&) = delete;
    MonitorFixture& operator=(const MonitorFixture&) = delete;

    // Adds a double as the participant of `domainId`; the fixture keeps ownership.
    FakeParticipant& addDomain(uint32_t domainId)
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        return addDomainLocked(domainId);
    }

    // The same, for a caller that holds MonitorLib::mutex.
    FakeParticipant& addDomainLocked(uint32_t domainId)
    {
        m_fakes.push_back(std::make_unique<FakeParticipant>(domainId));
        FakeParticipant& fake = *m_fakes.back();
        MonitorLib& monitor = MonitorLib::getInstance();
        monitor.domains[domainId].m_metaParticipant = &fake;
        monitor.ownParticipants.insert(fake.get_instance_handle());
        return fake;
    }

    // The double of `domainId`, or nullptr.
    FakeParticipant* fake(uint32_t domainId) const
    {
        for (const auto& f : m_fakes) {
            if (f->get_domain_id() == domainId) {
                return f.get();
            }
        }
        return nullptr;
    }

    // Removes every double from the monitor's table.
    void clear()
    {
        MonitorLib& monitor = MonitorLib::getInstance();
        std::lock_guard<std::mutex> lock(monitor.mutex);
        for (const auto& fake : m_fakes) {
            monitor.domains.erase(fake->get_domain_id());
            monitor.ownParticipants.erase(fake->get_instance_handle());
        }
        m_fakes.clear();
    }

private:
    std::vector<std::unique_ptr<FakeParticipant>> m_fakes;
};
