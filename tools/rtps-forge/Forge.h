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
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Forge
{
public:
    Forge(const ForgeOptions& options, std::vector<ParticipantPlan> participants,
          std::vector<std::string> rawDatagrams);

    // Runs until the duration is over, `stop` is set or the tick says so; returns the process
    // exit code.
    int run(const std::atomic<bool>& stop);
    // Called on every turn of the loop (at least every 50 ms); false ends the run. Drives the
    // forged endpoints from outside, through the calls below.
    void setTick(std::function<bool()> tick) { m_tick = std::move(tick); }

    size_t participantCount() const { return m_forged.size(); }
    // Announces a new endpoint of forged participant `participant` (an index into the
    // scenario's participants) at once to every peer known; returns its GUID.
    Guid addEndpoint(size_t participant, const EndpointPlan& endpoint);
    // Withdraws a forged endpoint (its disposal) at once at every peer known; with `successor`,
    // announces that endpoint of the same participant in the same datagram.
    void removeEndpoint(const Guid& key, bool writer, const EndpointPlan* successor = nullptr);

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
    // The participant announcements due by now: each participant once a period, spread evenly
    // over the period, so that thousands of them do not arrive in one burst.
    void announce(double periods);
    void announceOne(Forged& forged, const std::vector<uint32_t>& ports);
    void greet(const GuidPrefix& prefix, const Peer& peer);
    void sendHistory(Forged& forged, SedpWriter& writer, const GuidPrefix& peer,
                     const std::vector<uint32_t>& ports, int64_t from);
    // Sends the samples of `writer` from `first` on, and a HEARTBEAT, to every peer known.
    void deliver(Forged& forged, SedpWriter& writer, int64_t first);
    void heartbeats(bool idleRound);
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
    std::map<GuidPrefix, Forged*> m_byPrefix;
    uint64_t m_announced = 0; // participant announcements sent, over all rounds
    std::function<bool()> m_tick;
    std::vector<std::string> m_raw;
    std::map<GuidPrefix, Peer> m_peers;
    uint64_t m_ackNacks = 0;
    uint64_t m_nackFrags = 0;
    uint64_t m_resent = 0;
};
