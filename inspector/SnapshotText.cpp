#include "SnapshotText.h"

#include "HandleText.h"
#include "PrintableText.h"
#include "ProblemsText.h"
#include "TopicIndex.h"

#include <unordered_map>

namespace SnapshotText {

namespace {

using Owners = std::unordered_map<std::string, const SnapshotParticipant*>;

std::string plural(size_t count, const char* one, const char* many)
{
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

std::string handle(const std::string& key)
{
    return HandleText::text(key).toStdString();
}

// "radar_server:1201 on radar-01 (10.10.0.11)"
std::string place(const ParticipantSysInfo& info)
{
    using PrintableText::forTerminal;
    return forTerminal(info.processName) + ':' + std::to_string(info.pid) + " on " +
           forTerminal(info.hostName) + " (" + forTerminal(info.ips) + ')';
}

template <class Record>
void endpointLine(std::string& out, const char* side, const DiscoveredEndpoint<Record>& e,
                  const Owners& owners)
{
    const std::string participantKey = HandleText::keyOf(e.record.participant_key);
    out += "    ";
    out += side;
    out += ' ';
    out += handle(HandleText::keyOf(e.handle));
    out += "  ";
    const auto owner = owners.find(participantKey);
    if (owner != owners.end()) {
        out += place(owner->second->info);
    } else {
        out += "participant " + handle(participantKey) + " not discovered";
    }
    out += '\n';
}

void domainBlock(std::string& out, const SnapshotDomain& domain, const ProblemReport& problems)
{
    const TopicIndex topics = indexTopics(domain);
    Owners owners;
    for (const SnapshotParticipant& p : domain.participants) {
        owners.emplace(HandleText::keyOf(p.handle), &p);
    }
    out += "\nDomain " + std::to_string(domain.id) + ": " +
           plural(domain.participants.size(), "participant", "participants") + ", " +
           plural(domain.writers.size(), "writer", "writers") + ", " +
           plural(domain.readers.size(), "reader", "readers") + ", " +
           plural(topics.size(), "topic", "topics") + '\n';
    if (!domain.complete) {
        out += "  (incomplete: a discovery query failed, see standard error)\n";
    }
    for (const auto& topic : topics) {
        out += "\n  Topic " + PrintableText::forTerminal(topic.first) + " (type";
        for (const std::string& type : topic.second.types) {
            out += ' ' + PrintableText::forTerminal(type);
        }
        out += "): " + plural(topic.second.writers.size(), "writer", "writers") + ", " +
               plural(topic.second.readers.size(), "reader", "readers") + '\n';
        for (size_t i : topic.second.writers) {
            endpointLine(out, "writer", domain.writers[i], owners);
        }
        for (size_t i : topic.second.readers) {
            endpointLine(out, "reader", domain.readers[i], owners);
        }
    }
    if (!domain.participants.empty()) {
        out += "\n  Participants\n";
    }
    for (const SnapshotParticipant& p : domain.participants) {
        out += "    " + handle(HandleText::keyOf(p.handle)) + "  " + place(p.info) + ", user " +
               PrintableText::forTerminal(p.info.userName) + '\n';
    }
    ProblemsText::appendDomain(out, problems, domain.id);
}

} // namespace

std::string headline(const DocumentHeader& header, const std::vector<uint32_t>& domains)
{
    std::string line = "brelvane " + header.command.toStdString() + " of domain";
    line += domains.size() == 1 ? " " : "s ";
    for (size_t i = 0; i < domains.size(); ++i) {
        line += (i ? "," : "") + std::to_string(domains[i]);
    }
    line += " at " + header.takenAt.toUTC().toString(Qt::ISODateWithMs).toStdString();
    line += header.settled ? " (discovery settled)\n" : " (discovery had not settled)\n";
    return line;
}

std::string listing(const DocumentHeader& header, const Snapshot& snapshot,
                    const ProblemReport& problems)
{
    std::vector<uint32_t> ids;
    for (const SnapshotDomain& domain : snapshot.domains) {
        ids.push_back(domain.id);
    }
    std::string out = headline(header, ids);
    for (const SnapshotDomain& domain : snapshot.domains) {
        domainBlock(out, domain, problems);
    }
    return out;
}

} // namespace SnapshotText
