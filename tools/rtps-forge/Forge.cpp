#include "Forge.h"

#include "ChangeTrigger.h"
#include "DatagramBatch.h"
#include "ParameterId.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {
using Clock = std::chrono::steady_clock;

std::string keyQos(const GuidPrefix& prefix, uint32_t entity)
{
    return Announcement::inlineQos(Guid{prefix, entity}, false);
}

// One sample of the history: its DATA, or a GAP where a later announcement superseded it.
void sendSample(DatagramBatch& batch, const SedpWriter& writer, int64_t sequence)
{
    const SedpWriter::Sample& sample = writer.sample(sequence);
    if (sample.superseded) {
        batch.gap(writer.reader(), writer.writer(), sequence);
    } else {
        batch.sample(writer.reader(), writer.writer(), sequence,
                     Announcement::inlineQos(sample.key, sample.disposal), sample.payload,
                     sample.disposal);
    }
}
} // namespace

Forge::Forge(const ForgeOptions& options, std::vector<ParticipantPlan> participants,
             std::vector<std::string> rawDatagrams)
    : m_options(options), m_raw(std::move(rawDatagrams))
{
    m_context.domain = options.domain;
    m_context.locatorPort = m_socket.port();
    m_context.leaseSeconds = options.leaseSeconds;
    m_context.longValue = options.longValue;
    for (ParticipantPlan& plan : participants) {
        auto forged = std::make_unique<Forged>(
            Forged{std::move(plan),
                   std::string(),
                   0,
                   SedpWriter(EntityId::sedpPublicationsWriter, EntityId::sedpPublicationsReader),
                   SedpWriter(EntityId::sedpSubscriptionsWriter, EntityId::sedpSubscriptionsReader),
                   {}});
        const GuidPrefix& prefix = forged->plan.prefix;
        forged->spdp = Announcement::participant(forged->plan, m_context);
        for (const EndpointPlan& endpoint : forged->plan.endpoints) {
            SedpWriter& writer = endpoint.writer ? forged->publications : forged->subscriptions;
            const std::string payload = Announcement::endpoint(prefix, endpoint, m_context);
            writer.add(Guid{prefix, endpoint.entityId}, payload);
            for (const EndpointPlan& other : forged->plan.changed) {
                if (other.entityId == endpoint.entityId && other.writer == endpoint.writer) {
                    forged->changeable.push_back(
                        Changeable{Guid{prefix, endpoint.entityId}, endpoint.writer, payload,
                                   Announcement::endpoint(prefix, other, m_context)});
                }
            }
        }
        m_byPrefix[prefix] = forged.get();
        m_forged.push_back(std::move(forged));
    }
}

std::vector<uint32_t> Forge::discoveryPorts() const
{
    std::vector<uint32_t> ports;
    for (int index = m_options.firstIndex; index <= m_options.lastIndex; ++index) {
        ports.push_back(m_options.discoveryPort(index));
    }
    for (const auto& peer : m_peers) {
        for (uint32_t port : peer.second.ports) {
            if (std::find(ports.begin(), ports.end(), port) == ports.end()) {
                ports.push_back(port);
            }
        }
    }
    return ports;
}

int Forge::run(const std::atomic<bool>& stop)
{
    // What a driver of --commands reads first.
    if (m_options.commands) {
        listEntities();
    }
    std::printf("rtps-forge: domain %u, %zu participant(s), listening on 127.0.0.1:%u\n",
                m_options.domain, m_forged.size(), m_socket.port());
    std::fflush(stdout);
    const Clock::time_point start = Clock::now();
    ChangeTrigger trigger(m_options, start);
    const std::chrono::duration<double> period(m_options.announcePeriodMs / 1000.0);
    const auto idleEvery = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(m_options.idleHeartbeatSeconds));
    Clock::time_point nextHeartbeat = start + std::chrono::milliseconds(500);
    Clock::time_point nextIdleHeartbeat = start + idleEvery;
    std::string datagram;
    while (!stop) {
        const Clock::time_point now = Clock::now();
        if (m_options.durationSeconds > 0 &&
            now - start >= std::chrono::duration<double>(m_options.durationSeconds)) {
            break;
        }
        announce((now - start) / period);
        if (now >= nextHeartbeat) {
            const bool idleRound = now >= nextIdleHeartbeat;
            heartbeats(idleRound);
            nextHeartbeat = now + std::chrono::milliseconds(500);
            if (idleRound) {
                nextIdleHeartbeat = now + idleEvery;
            }
        }
        for (ChangeTrigger::Action action : trigger.due(now)) {
            reannounce(action == ChangeTrigger::Action::Change);
        }
        if (m_tick && !m_tick()) {
            break;
        }
        // A peer can keep the socket busy for long (thousands of re-sends asked for, one
        // ACKNACK after another): drain it only for a while, or the announcements fall behind
        // and the peers' leases on the forged participants run out while nothing is announced.
        if (m_socket.receive(datagram, 50)) {
            receive(datagram);
            const Clock::time_point until = Clock::now() + std::chrono::milliseconds(20);
            while (!stop && Clock::now() < until && m_socket.receive(datagram, 0)) {
                receive(datagram);
            }
        }
    }
    if (m_options.dispose) {
        goodbye();
    }
    report();
    return 0;
}

void Forge::announce(double periods)
{
    // The first round goes out at once, the later ones spread over their period.
    const uint64_t count = m_forged.size();
    const uint64_t due = count + uint64_t(periods * double(count));
    if (m_announced >= due) {
        return;
    }
    const std::vector<uint32_t> ports = discoveryPorts();
    for (; m_announced < due; ++m_announced) {
        if (count > 0) {
            announceOne(*m_forged[m_announced % count], ports);
        }
        if (count > 0 && m_announced % count == count - 1) {
            for (const std::string& raw : m_raw) {
                for (uint32_t port : ports) {
                    m_socket.send(port, raw);
                }
            }
        }
    }
}

void Forge::announceOne(Forged& forged, const std::vector<uint32_t>& ports)
{
    DatagramBatch batch(m_socket, forged.plan.prefix, ports, m_options.limits);
    batch.sample(EntityId::spdpReader, EntityId::spdpWriter, ++forged.spdpSequence,
                 keyQos(forged.plan.prefix, EntityId::participant), forged.spdp);
}

void Forge::greet(const GuidPrefix& prefix, const Peer& peer)
{
    // The participants first, as a DDS participant answers a new one at once: the peer takes
    // endpoints only of participants it knows.
    for (auto& forged : m_forged) {
        announceOne(*forged, peer.ports);
    }
    for (auto& forged : m_forged) {
        sendHistory(*forged, forged->publications, prefix, peer.ports, 1);
        sendHistory(*forged, forged->subscriptions, prefix, peer.ports, 1);
    }
}

void Forge::sendHistory(Forged& forged, SedpWriter& writer, const GuidPrefix& peer,
                        const std::vector<uint32_t>& ports, int64_t from)
{
    if (writer.last() == 0) {
        return;
    }
    DatagramBatch batch(m_socket, forged.plan.prefix, ports, m_options.limits, &peer);
    for (int64_t sequence = from; sequence <= writer.last(); ++sequence) {
        sendSample(batch, writer, sequence);
    }
    batch.heartbeat(writer.reader(), writer.writer(), 1, writer.last(),
                    writer.nextHeartbeatCount());
}

void Forge::heartbeats(bool idleRound)
{
    // A peer that has not acknowledged everything gets a HEARTBEAT every round. One that has
    // gets it in the idle rounds too: a peer whose lease on a forged participant ran out has
    // dropped its endpoints with it, and when the next announcement brings the participant
    // back, only a HEARTBEAT makes it ask for them again. Both SEDP writers of a participant
    // share a datagram.
    for (auto& forged : m_forged) {
        for (auto& peer : m_peers) {
            DatagramBatch batch(m_socket, forged->plan.prefix, peer.second.ports, m_options.limits,
                                &peer.first);
            for (SedpWriter* writer : {&forged->publications, &forged->subscriptions}) {
                if (writer->last() == 0 ||
                    (!idleRound && writer->peer(peer.first).acknowledged >= writer->last())) {
                    continue;
                }
                batch.heartbeat(writer->reader(), writer->writer(), 1, writer->last(),
                                writer->nextHeartbeatCount());
            }
        }
    }
}

void Forge::deliver(Forged& forged, SedpWriter& writer, int64_t first)
{
    // Peers that acknowledged everything learn of it only this way; the others get it with
    // their repairs anyway. What is sent together shares a datagram, so a receiver processes
    // a disposal and the announcement that follows it one right after the other.
    for (const auto& peer : m_peers) {
        DatagramBatch batch(m_socket, forged.plan.prefix, peer.second.ports, m_options.limits,
                            &peer.first);
        for (int64_t n = first; n <= writer.last(); ++n) {
            sendSample(batch, writer, n);
        }
        batch.heartbeat(writer.reader(), writer.writer(), 1, writer.last(),
                        writer.nextHeartbeatCount());
    }
}

Guid Forge::addEndpoint(size_t participant, const EndpointPlan& endpoint)
{
    Forged& forged = *m_forged.at(participant);
    const Guid key{forged.plan.prefix, endpoint.entityId};
    SedpWriter& writer = endpoint.writer ? forged.publications : forged.subscriptions;
    writer.add(key, Announcement::endpoint(key.prefix, endpoint, m_context));
    deliver(forged, writer, writer.last());
    return key;
}

void Forge::removeEndpoint(const Guid& key, bool isWriter, const EndpointPlan* successor)
{
    const auto found = m_byPrefix.find(key.prefix);
    if (found == m_byPrefix.end()) {
        return;
    }
    Forged& forged = *found->second;
    SedpWriter& writer = isWriter ? forged.publications : forged.subscriptions;
    const int64_t first = writer.withdraw(key, Announcement::keyOnly(Pid::endpointGuid, key));
    if (successor) {
        writer.add(Guid{key.prefix, successor->entityId},
                   Announcement::endpoint(key.prefix, *successor, m_context));
    }
    deliver(forged, writer, first);
}

void Forge::reannounce(bool changed)
{
    const char* const answer = changed ? "CHANGED" : "RESTORED";
    bool any = false;
    for (auto& forged : m_forged) {
        for (const Changeable& endpoint : forged->changeable) {
            SedpWriter& writer = endpoint.writer ? forged->publications : forged->subscriptions;
            const int64_t sequence = writer.replace(
                endpoint.key, changed ? endpoint.changed : endpoint.original,
                m_options.recreate ? Announcement::keyOnly(Pid::endpointGuid, endpoint.key)
                                   : std::string());
            deliver(*forged, writer, m_options.recreate ? sequence - 1 : sequence);
            std::printf("%s %s %lld\n", answer, guidText(endpoint.key).c_str(),
                        (long long)sequence);
            any = true;
        }
    }
    if (!any) {
        std::printf("FAILED scenario %s has nothing to change\n", m_options.scenario.c_str());
    }
    std::fflush(stdout);
}

void Forge::listEntities() const
{
    for (const auto& forged : m_forged) {
        std::printf("participant %s\n",
                    guidText(Guid{forged->plan.prefix, EntityId::participant}).c_str());
    }
    for (bool writers : {true, false}) {
        for (const auto& forged : m_forged) {
            for (const EndpointPlan& endpoint : forged->plan.endpoints) {
                if (endpoint.writer == writers) {
                    std::printf("%s %s %s\n", writers ? "writer" : "reader",
                                guidText(Guid{forged->plan.prefix, endpoint.entityId}).c_str(),
                                endpoint.topic.c_str());
                }
            }
        }
    }
    std::puts("READY");
    std::fflush(stdout);
}

void Forge::receive(const std::string& datagram)
{
    IncomingMessage message;
    if (!message.parse(datagram)) {
        return;
    }
    for (const PeerAnnouncement& announced : message.peers) {
        if (announced.metatrafficPorts.empty() || forged(announced.prefix)) {
            continue;
        }
        Peer& peer = m_peers[announced.prefix];
        peer.ports = announced.metatrafficPorts;
        if (!peer.greeted) {
            peer.greeted = true;
            if (m_options.verbose) {
                std::printf("peer %s on port %u\n", prefixText(announced.prefix).c_str(),
                            peer.ports.front());
            }
            greet(announced.prefix, peer);
        }
    }
    for (const AckNack& ack : message.ackNacks) {
        onAckNack(message.source, ack);
    }
    for (const NackFrag& nack : message.nackFrags) {
        onNackFrag(message.source, nack);
    }
}

Forge::Forged* Forge::forged(const GuidPrefix& prefix)
{
    const auto found = m_byPrefix.find(prefix);
    return found == m_byPrefix.end() ? nullptr : found->second;
}

SedpWriter* Forge::writer(Forged& forged, uint32_t id)
{
    if (id == forged.publications.writer()) {
        return &forged.publications;
    }
    if (id == forged.subscriptions.writer()) {
        return &forged.subscriptions;
    }
    return nullptr;
}

void Forge::onAckNack(const GuidPrefix& from, const AckNack& ack)
{
    ++m_ackNacks;
    Forged* target = forged(ack.destination);
    const auto peer = m_peers.find(from);
    if (!target || peer == m_peers.end()) {
        return;
    }
    SedpWriter* sedp = writer(*target, ack.writer);
    if (!sedp) {
        return;
    }
    SedpWriter::PeerState& state = sedp->peer(from);
    if (ack.base - 1 < state.acknowledged) {
        // The peer lacks what it once acknowledged: it dropped the forged participant (its
        // lease ran out) and found it again, and its acknowledgement count starts over. Start
        // over with it: everything from its base again.
        state.acknowledged = ack.base - 1;
        state.lastAckCount = ack.count;
        sendHistory(*target, *sedp, from, peer->second.ports, std::max<int64_t>(ack.base, 1));
        return;
    }
    if (ack.count <= state.lastAckCount) {
        return;
    }
    state.lastAckCount = ack.count;
    state.acknowledged = std::max(state.acknowledged, ack.base - 1);
    if (m_options.verbose > 1) {
        std::printf("ACKNACK from %s for %08x: base %lld, %zu missing\n", prefixText(from).c_str(),
                    ack.writer, (long long)ack.base, ack.missing.size());
    }
    if (ack.base > sedp->last()) {
        return;
    }
    if (ack.missing.empty()) {
        // Names no gap (an early or a repeated acknowledgement): the next periodic HEARTBEAT
        // draws a precise request. Answering every such ACKNACK at once would ping-pong with
        // a peer that keeps refusing a sample.
        return;
    }
    DatagramBatch batch(m_socket, target->plan.prefix, peer->second.ports, m_options.limits, &from);
    for (int64_t sequence : ack.missing) {
        if (sedp->has(sequence)) {
            sendSample(batch, *sedp, sequence);
            ++m_resent;
        }
    }
    batch.heartbeat(sedp->reader(), sedp->writer(), 1, sedp->last(), sedp->nextHeartbeatCount());
}

void Forge::onNackFrag(const GuidPrefix& from, const NackFrag& nack)
{
    ++m_nackFrags;
    Forged* target = forged(nack.destination);
    const auto peer = m_peers.find(from);
    if (!target || peer == m_peers.end()) {
        return;
    }
    SedpWriter* sedp = writer(*target, nack.writer);
    if (!sedp || !sedp->has(nack.sequence) || sedp->sample(nack.sequence).superseded) {
        return;
    }
    const SedpWriter::Sample& sample = sedp->sample(nack.sequence);
    DatagramBatch batch(m_socket, target->plan.prefix, peer->second.ports, m_options.limits, &from);
    batch.fragments(sedp->reader(), sedp->writer(), nack.sequence,
                    keyQos(sample.key.prefix, sample.key.entity), sample.payload, nack.missing);
    m_resent += nack.missing.size();
}

void Forge::goodbye()
{
    const std::vector<uint32_t> ports = discoveryPorts();
    for (auto& forged : m_forged) {
        const Guid key{forged->plan.prefix, EntityId::participant};
        DatagramBatch batch(m_socket, forged->plan.prefix, ports, m_options.limits);
        batch.sample(EntityId::spdpReader, EntityId::spdpWriter, ++forged->spdpSequence,
                     Announcement::inlineQos(key, true),
                     Announcement::keyOnly(Pid::participantGuid, key), true);
    }
}

void Forge::report() const
{
    size_t endpoints = 0;
    for (const auto& forged : m_forged) {
        endpoints += size_t(forged->publications.live() + forged->subscriptions.live());
    }
    std::printf("rtps-forge: %zu participant(s), %zu endpoint(s), %zu peer(s); %llu datagrams "
                "sent, %llu refused or failed; %llu ACKNACK, %llu NACK_FRAG, %llu re-sent\n",
                m_forged.size(), endpoints, m_peers.size(),
                (unsigned long long)m_socket.sentDatagrams(),
                (unsigned long long)m_socket.failedSends(), (unsigned long long)m_ackNacks,
                (unsigned long long)m_nackFrags, (unsigned long long)m_resent);
    // Many participants: one line per peer with the writers whose whole history it
    // acknowledged.
    const size_t detailed = 20;
    for (const auto& peer : m_peers) {
        if (m_forged.size() > detailed) {
            size_t writers = 0;
            size_t complete = 0;
            for (const auto& forged : m_forged) {
                for (SedpWriter* writer : {&forged->publications, &forged->subscriptions}) {
                    if (writer->last() > 0) {
                        ++writers;
                        complete += writer->peer(peer.first).acknowledged >= writer->last();
                    }
                }
            }
            std::printf("  peer %s acknowledged the whole history of %zu/%zu writers\n",
                        prefixText(peer.first).c_str(), complete, writers);
            continue;
        }
        for (const auto& forged : m_forged) {
            for (SedpWriter* writer : {&forged->publications, &forged->subscriptions}) {
                if (writer->last() == 0) {
                    continue;
                }
                std::printf("  peer %s acknowledged %lld/%lld of %s writer %08x\n",
                            prefixText(peer.first).c_str(),
                            (long long)writer->peer(peer.first).acknowledged,
                            (long long)writer->last(), prefixText(forged->plan.prefix).c_str(),
                            writer->writer());
            }
        }
    }
    std::fflush(stdout);
}
