// The writer side of one forged SEDP writer (publications or subscriptions): every
// announcement it made, numbered from 1, and what each peer has acknowledged of them.
#pragma once

#include "Guid.h"

#include <climits>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class SedpWriter
{
public:
    struct Sample
    {
        Guid key;
        std::string payload;
    };
    struct PeerState
    {
        int64_t acknowledged = 0; // every sequence number up to this one
        int32_t lastAckCount = INT32_MIN;
    };

    SedpWriter(uint32_t writer, uint32_t reader) : m_writer(writer), m_reader(reader) {}

    uint32_t writer() const { return m_writer; }
    uint32_t reader() const { return m_reader; }

    void add(const Guid& key, std::string payload)
    {
        m_history.push_back({key, std::move(payload)});
    }
    int64_t last() const { return int64_t(m_history.size()); }
    bool has(int64_t sequence) const { return sequence >= 1 && sequence <= last(); }
    const Sample& sample(int64_t sequence) const { return m_history[size_t(sequence - 1)]; }

    PeerState& peer(const GuidPrefix& prefix) { return m_peers[prefix]; }
    int32_t nextHeartbeatCount() { return ++m_heartbeatCount; }

private:
    uint32_t m_writer;
    uint32_t m_reader;
    std::vector<Sample> m_history;
    std::map<GuidPrefix, PeerState> m_peers;
    int32_t m_heartbeatCount = 0;
};
