// Puts the monitor into a domain the way the domain selection does (a real participant, its
// handle among the own participants) and takes it out again at the end of the scope.
#pragma once

#include "DomainParticipantFactory.h"
#include "MonitorLib.h"

#include <cstdint>
#include <mutex>

class WatchedDomain
{
public:
    explicit WatchedDomain(uint32_t domainId) : m_domainId(domainId)
    {
        MonitorLib& monitor = MonitorLib::getInstance();
        std::lock_guard<std::mutex> lock(monitor.mutex);
        m_participant = ZORVAN::DomainParticipantFactory::get_instance()->create_participant(
            domainId, ZORVAN::PARTICIPANT_QOS_DEFAULT, nullptr, 0);
        if (m_participant) {
            monitor.domains[domainId].m_metaParticipant = m_participant;
            monitor.ownParticipants.insert(m_participant->get_instance_handle());
        }
    }

    ~WatchedDomain()
    {
        if (!m_participant) {
            return;
        }
        MonitorLib& monitor = MonitorLib::getInstance();
        std::lock_guard<std::mutex> lock(monitor.mutex);
        monitor.ownParticipants.erase(m_participant->get_instance_handle());
        monitor.domains.erase(m_domainId);
        m_participant->delete_contained_entities();
        ZORVAN::DomainParticipantFactory::get_instance()->delete_participant(m_participant);
    }

    WatchedDomain(const WatchedDomain&) = delete;
    WatchedDomain& operator=(const WatchedDomain&) = delete;

    ZORVAN::DomainParticipant* participant() const { return m_participant; }

    bool isValid() const { return m_participant != nullptr; }

private:
    uint32_t m_domainId;
    ZORVAN::DomainParticipant* m_participant = nullptr;
};
