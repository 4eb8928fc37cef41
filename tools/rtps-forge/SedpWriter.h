// The writer side of one forged SEDP writer (publications or subscriptions): every
// announcement it made, numbered from 1, and what each peer has acknowledged of them. An
// endpoint announced again keeps one live sample, its latest; the earlier ones are superseded
// and travel as GAPs, so a peer that learns the history late never sees an outdated record
// after the current one.
#pragma once

#include "Guid.h"

#include <algorithm>
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
        bool superseded = false;
        bool disposal = false; // key only, disposed and unregistered
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
    // Announces `key` again with `payload` under the next sequence number, which it returns;
    // with `disposal`, under the one after a disposal of `key`. The disposal stays in the history
    // until the next change of `key`: a peer that lost both gets both again.
    int64_t replace(const Guid& key, std::string payload, std::string disposal = std::string())
    {
        if (disposal.empty()) {
            supersede(key);
        } else {
            withdraw(key, std::move(disposal));
        }
        add(key, std::move(payload));
        return last();
    }
    // Withdraws `key` with `disposal` under the next sequence number, which it returns; the
    // disposal stays in the history, so a peer that learns the history late drops the endpoint
    // too if it knew it.
    int64_t withdraw(const Guid& key, std::string disposal)
    {
        supersede(key);
        m_history.push_back({key, std::move(disposal), false, true});
        return last();
    }
    int64_t last() const { return int64_t(m_history.size()); }
    // The endpoints announced: samples not superseded.
    int64_t live() const
    {
        return int64_t(std::count_if(m_history.begin(), m_history.end(),
                                     [](const Sample& s) { return !s.superseded && !s.disposal; }));
    }
    bool has(int64_t sequence) const { return sequence >= 1 && sequence <= last(); }
    const Sample& sample(int64_t sequence) const { return m_history[size_t(sequence - 1)]; }

    PeerState& peer(const GuidPrefix& prefix) { return m_peers[prefix]; }
    int32_t nextHeartbeatCount() { return ++m_heartbeatCount; }

private:
    void supersede(const Guid& key)
    {
        for (Sample& sample : m_history) {
            if (sample.key.prefix == key.prefix && sample.key.entity == key.entity) {
                sample.superseded = true;
                sample.payload.clear();
            }
        }
    }

    uint32_t m_writer;
    uint32_t m_reader;
    std::vector<Sample> m_history;
    std::map<GuidPrefix, PeerState> m_peers;
    int32_t m_heartbeatCount = 0;
};
