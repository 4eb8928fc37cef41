// What the interoperability tests read back through the monitor about a peer of another
// process: its participant record, and the identity its own system is known by.
#pragma once

#include "DomainParticipant.h"
#include "HandleText.h"
#include "MonitorLib.h"
#include "ParticipantSysInfo.h"
#include "SysPhysics.h"

#include <QString>
#include <QStringList>
#include <QTreeWidget>
#include <mutex>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace ForeignPeer {

const int discoveryMs = 15000;

// The participant's record as the monitor's participant in `domain` holds it; false while
// that participant has not discovered it.
inline bool participantRecord(uint32_t domain, const std::string& key,
                              ZORVAN::ParticipantBuiltinTopicData& data)
{
    MonitorLib& monitor = MonitorLib::getInstance();
    std::lock_guard<std::mutex> lock(monitor.mutex);
    const auto entry = monitor.domains.find(domain);
    return entry != monitor.domains.end() &&
           entry->second.m_metaParticipant->get_discovered_participant_data(
               data, HandleText::handleFromKey(key)) == ZORVAN::RETCODE_OK;
}

inline ParticipantSysInfo sysInfo(const ZORVAN::ParticipantBuiltinTopicData& data)
{
    ParticipantSysInfo info;
    readSysInfo(data, info);
    return info;
}

// The properties of a record as "name=value" lines.
inline QStringList propertyLines(const ZORVAN::ParticipantBuiltinTopicData& data)
{
    QStringList lines;
    for (const ZORVAN::Property_t& p : data.property.value) {
        lines << QString::fromStdString(p.name) + QLatin1Char('=') +
                     QString::fromStdString(p.value);
    }
    return lines;
}

inline std::string localUserName()
{
    const passwd* user = getpwuid(getuid());
    return user != nullptr ? std::string(user->pw_name) : std::string();
}

inline std::string hostName()
{
    char name[256] = {};
    gethostname(name, sizeof(name) - 1);
    return std::string(name);
}

inline std::string text(const ZORVAN::OctetSeq& octets)
{
    return std::string(octets.begin(), octets.end());
}

// The physical view's collected tree as "host-ips|process:pid" lines, in its order.
inline QStringList physicalLines(const PhysicalTree& tree)
{
    QStringList lines;
    for (const auto& group : tree) {
        for (const std::string& process : group.second) {
            lines << QString::fromStdString(group.first.hostName + '-' + group.first.ips + '|' +
                                            process + ':' + std::to_string(group.first.pid));
        }
    }
    return lines;
}

// Every item of the QoS panel's tree as "policy" or "policy/field=value", depth first.
inline QStringList qosRows(const QTreeWidget* tree)
{
    QStringList rows;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* policy = tree->topLevelItem(i);
        rows << policy->text(0);
        for (int j = 0; j < policy->childCount(); ++j) {
            const QTreeWidgetItem* field = policy->child(j);
            rows << policy->text(0) + QLatin1Char('/') + field->text(0) + QLatin1Char('=') +
                        field->text(1);
        }
    }
    return rows;
}

} // namespace ForeignPeer
