// The benchmark's commands for the system scenario, one a line on standard input, played with
// forged endpoints: the load generator's protocol (READY, probe, unprobe, churn, crowd,
// uncrowd, quit), so the benchmark drives either load the same way.
#pragma once

#include "CommandInput.h"
#include "Forge.h"
#include "LoadPlan.h"
#include "ParticipantPlan.h"

#include <chrono>
#include <string>
#include <vector>

class LoadCommands
{
public:
    // `participants`: the scenario's, in the order the forge holds them.
    LoadCommands(Forge& forge, const LoadPlan& plan,
                 const std::vector<ParticipantPlan>& participants);

    // Prints "READY <participants> <endpoints> <ms>" as the load generator does.
    void ready(double creationMs) const;
    // Carries out the commands that arrived and the churn that is due; false on quit or at
    // the end of standard input.
    bool tick();

private:
    using Clock = std::chrono::steady_clock;
    struct Live
    {
        size_t participant; // index into the forge's participants
        Guid key;
        EndpointPlan plan;
    };

    // False when the run should end.
    bool command(const std::string& line);
    Live add(size_t participant, EndpointPlan plan);
    void removeAll(std::vector<Live>& endpoints);
    void churn(uint32_t count);

    Forge& m_forge;
    LoadPlan m_plan;
    std::vector<GuidPrefix> m_prefixes;
    std::vector<uint32_t> m_nextNumber; // per participant: the next endpoint number
    std::vector<Live> m_live;
    std::vector<Live> m_probes;
    std::vector<Live> m_crowd;
    CommandInput m_input;
    double m_churnRate = 0;
    double m_churnDue = 0;
    size_t m_nextChurn = 0;
    Clock::time_point m_lastTick = Clock::now();
};
