#include "DomainSelection.h"

#include "DomainParticipantFactory.h"
#include "MonitorLib.h"

#include <QStringList>
#include <cstdio>

namespace DomainSelection {

namespace {
const QChar separator = QLatin1Char(';');
}

bool isValidInput(const QString& input)
{
    const QStringList parts = input.split(separator, Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        bool ok = false;
        const int value = part.toInt(&ok, 10);
        // Taken as unsigned, so that any negative value is out of range too.
        if (!ok || static_cast<unsigned int>(value) > 200u) {
            return false;
        }
    }
    return true;
}

std::set<uint32_t> parseIds(const QString& input)
{
    std::set<uint32_t> ids;
    const QStringList parts = input.split(separator, Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        if (!part.isEmpty()) {
            ids.insert(part.toUInt(nullptr, 10));
        }
    }
    return ids;
}

std::set<uint32_t> apply(MonitorLib& monitor, const std::set<uint32_t>& included,
                         const std::set<uint32_t>& excluded)
{
    ZORVAN::DomainParticipantFactory* factory = ZORVAN::DomainParticipantFactory::get_instance();
    std::set<uint32_t> notJoined;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    for (uint32_t id : included) {
        if (monitor.domains.count(id) || excluded.count(id)) {
            continue;
        }
        ZORVAN::DomainParticipant* participant =
            factory->create_participant(id, ZORVAN::PARTICIPANT_QOS_DEFAULT, nullptr, 0);
        if (!participant) {
            // Nothing is kept for a domain the middleware cannot join.
            std::fputs("create_participant failed\n", stdout);
            std::fflush(stdout);
            notJoined.insert(id);
            continue;
        }
        DomainEntry& entry = monitor.domains[id];
        entry.m_metaParticipant = participant;
        monitor.ownParticipants.insert(participant->get_instance_handle());
    }
    for (uint32_t id : excluded) {
        auto found = monitor.domains.find(id);
        if (found == monitor.domains.end()) {
            continue;
        }
        ZORVAN::DomainParticipant* participant = found->second.m_metaParticipant;
        if (participant) {
            monitor.ownParticipants.erase(participant->get_instance_handle());
            participant->delete_contained_entities();
            factory->delete_participant(participant);
        }
        monitor.domains.erase(found);
    }
    return notJoined;
}

} // namespace DomainSelection
