// Runs the forged participants: announces them (SPDP) on every discovery port of the domain
// again and again, learns the real participants from their replies, and delivers the forged
// endpoint announcements (SEDP) to each of them reliably: DATA, HEARTBEAT, and re-sends for
// whatever the ACKNACKs and NACK_FRAGs ask for. Endpoints a scenario can change are announced
// again under their own GUIDs, changed or restored, when the command line or a command says so.
#pragma once

#include "Announcement.h"
#include "ForgeOptions.h"
#include "IncomingMessage.h"
#include "LoopbackSocket.h"
#include "ParticipantPlan.h"
#include "SedpWriter.h"

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Forge
{
public:
    Forge(const ForgeOptions& options, std::vector<ParticipantPlan> participants,
          std::vector<std::string> rawDatagrams);

    // Runs until the duration is over or `stop` is set; returns the process exit code.
    int run(const std::atomic<bool>& stop);

private:
    // An endpoint announced in two versions, one at a time.
    struct Changeable
    {
        Guid key;
        bool writer;
        std::string original;
        std::string changed;
    };
    struct Forged
    {
        ParticipantPlan plan;
        std::string spdp;
        int64_t spdpSequence = 0;
        SedpWriter publications;
        SedpWriter subscriptions;
        std::vector<Changeable> changeable;
    };
    struct Peer
    {
        std::vector<uint32_t> ports;
        bool greeted = false;
    };

    std::vector<uint32_t> discoveryPorts() const;
    void announce();
    void greet(const GuidPrefix& prefix, const Peer& peer);
    void sendHistory(Forged& forged, SedpWriter& writer, const GuidPrefix& peer,
                     const std::vector<uint32_t>& ports, int64_t from);
    void heartbeats();
    // Announces every changeable endpoint again, as its changed version or as its original,
    // to every peer known; prints one line per endpoint.
    void reannounce(bool changed);
    // For --commands: the forged entities in dds-peer's form, then READY.
    void listEntities() const;
    void receive(const std::string& datagram);
    void onAckNack(const GuidPrefix& from, const AckNack& ack);
    void onNackFrag(const GuidPrefix& from, const NackFrag& nack);
    Forged* forged(const GuidPrefix& prefix);
    SedpWriter* writer(Forged& forged, uint32_t id);
    void goodbye();
    void report() const;

    ForgeOptions m_options;
    LoopbackSocket m_socket;
    AnnouncementContext m_context;
    std::vector<std::unique_ptr<Forged>> m_forged;
    std::vector<std::string> m_raw;
    std::map<GuidPrefix, Peer> m_peers;
    uint64_t m_ackNacks = 0;
    uint64_t m_nackFrags = 0;
    uint64_t m_resent = 0;
};
