// One load-generator process: its share of the benchmark system as live Cyclone DDS
// participants and endpoints, plus the probe writers and the churn that the benchmark asks for
// on standard input.
#pragma once

#include "LoadPlan.h"
#include "peerkit/Participant.h"
#include "peerkit/QosLine.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class LoadProcess
{
public:
    explicit LoadProcess(LoadPlan plan);
    ~LoadProcess();
    LoadProcess(const LoadProcess&) = delete;
    LoadProcess& operator=(const LoadProcess&) = delete;

    // Creates every participant and endpoint of this process's share.
    bool create(std::string& error);
    size_t participantCount() const { return m_participants.size(); }
    size_t endpointCount() const { return m_live.size(); }

    // Creates a writer on `topic`; returns the steady-clock time (ns) taken just before.
    int64_t probe(const std::string& topic, std::string& error);
    void unprobe();
    // Creates this process's share of the crowd (see LoadPlan::crowdEndpoints); returns how
    // many endpoints it created, -1 on failure.
    int crowd(uint32_t writers, uint32_t readers, uint32_t picky, std::string& error);
    void uncrowd();
    // Deletes `count` endpoints and creates each again (same participant, topic and QoS, new
    // identity), oldest replacement first.
    bool churn(uint32_t count, std::string& error);

private:
    struct Live
    {
        peerkit::Participant* participant;
        dds_entity_t entity;
        LoadPlan::Endpoint wanted;
    };

    dds_entity_t createEndpoint(peerkit::Participant& participant, const LoadPlan::Endpoint& wanted,
                                std::string& error);
    const dds_qos_t* qosFor(uint32_t topic, bool isWriter) const;

    LoadPlan m_plan;
    std::vector<std::unique_ptr<peerkit::QosLine>> m_qos;
    std::vector<std::unique_ptr<peerkit::Participant>> m_participants;
    std::vector<Live> m_live;
    std::vector<dds_entity_t> m_probes;
    std::vector<dds_entity_t> m_crowd;
    // best-effort writers and readers, and readers that ask for reliable delivery
    peerkit::QosLine m_crowdPlain;
    peerkit::QosLine m_crowdPicky;
    size_t m_nextChurn = 0;
};
