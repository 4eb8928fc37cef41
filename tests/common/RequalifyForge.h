// rtps-forge's requalify scenario in another process, for tests of the monitor: a writer and a
// reader on ForgeRequalify that match until the writer is changed to another partition and a
// longer deadline, and again once it is restored. Each change reaches the monitor as one
// record changed under the writer's handle: the monitor's mutex is held until this process has
// learned it, so no polling pass runs between the writer's disposal and its new announcement.
#pragma once

#include "DomainParticipant.h"
#include "PeerProcess.h"

#include <QString>
#include <cstdint>
#include <string>

class RequalifyForge
{
public:
    static constexpr const char* topic = "ForgeRequalify";

    RequalifyForge() = default;
    // Stops the forge and deletes the observing participant.
    ~RequalifyForge();
    RequalifyForge(const RequalifyForge&) = delete;
    RequalifyForge& operator=(const RequalifyForge&) = delete;

    // Starts rtps-forge (path in BRELVANE_RTPS_FORGE) in `domain`, with a participant of its own
    // there that observes the writer, and waits until that participant has seen it. False, with
    // errorString() saying why, when it cannot be started or the writer is not seen in time.
    bool start(uint32_t domain, int timeoutMs = 20000);
    QString errorString() const { return m_error; }

    std::string writerKey() const; // 16 raw bytes
    std::string readerKey() const;
    ZORVAN::InstanceHandle_t writer() const;
    ZORVAN::InstanceHandle_t reader() const;

    // Announces the writer changed (partition "Elsewhere", deadline 5 s, where the reader is in
    // "Forge" and asks for 2 s) or restored (partition "Forge", deadline 1 s), and returns once
    // this process has the new record, holding MonitorLib::mutex meanwhile. Never processes
    // events. False when the forge did not answer or the record did not arrive in time.
    bool change(bool changed, int timeoutMs = 20000);

    // SIGTERM: the forge disposes its participant. True when it ended cleanly.
    bool stop();

private:
    // The observing participant's partitions of the writer, '|'-joined; empty while unknown.
    // The caller holds MonitorLib::mutex.
    QString observedPartitions() const;

    PeerProcess m_process;
    ZORVAN::DomainParticipant* m_observer = nullptr;
    QString m_error;
};
