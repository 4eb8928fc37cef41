#include "LoadCommands.h"

#include "Scenario.h"

#include <cstdio>
#include <cstdlib>

LoadCommands::LoadCommands(Forge& forge, const LoadPlan& plan,
                           const std::vector<ParticipantPlan>& participants)
    : m_forge(forge), m_plan(plan)
{
    for (size_t p = 0; p < participants.size(); ++p) {
        const ParticipantPlan& participant = participants[p];
        m_prefixes.push_back(participant.prefix);
        m_nextNumber.push_back(uint32_t(participant.endpoints.size()) + 1);
        for (const EndpointPlan& endpoint : participant.endpoints) {
            m_live.push_back(Live{p, Guid{participant.prefix, endpoint.entityId}, endpoint});
        }
    }
}

void LoadCommands::ready(double creationMs) const
{
    std::printf("READY %zu %zu %.0f\n", m_prefixes.size(), m_live.size(), creationMs);
    std::fflush(stdout);
}

bool LoadCommands::tick()
{
    const std::vector<std::string> lines = m_input.lines();
    for (const std::string& line : lines) {
        if (!command(line)) {
            return false;
        }
        std::fflush(stdout);
    }
    if (m_input.closed()) {
        return false;
    }
    const Clock::time_point now = Clock::now();
    m_churnDue += m_churnRate * std::chrono::duration<double>(now - m_lastTick).count();
    m_lastTick = now;
    if (m_churnDue >= 1) {
        const uint32_t count = uint32_t(m_churnDue);
        m_churnDue -= count;
        churn(count);
    }
    return true;
}

bool LoadCommands::command(const std::string& line)
{
    if (line.rfind("probe ", 0) == 0 && !m_prefixes.empty()) {
        const std::string topic = line.substr(6);
        EndpointPlan probe;
        probe.writer = true;
        probe.topic = topic;
        probe.type = "bench::Probe";
        // Taken just before the announcement goes out, as the load generator does before it
        // creates the writer.
        const long long before =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
                .count();
        m_probes.push_back(add(0, probe));
        std::printf("probe %s %lld\n", topic.c_str(), before);
    } else if (line == "unprobe") {
        removeAll(m_probes);
        std::puts("unprobed");
    } else if (line.rfind("churn ", 0) == 0) {
        m_churnRate = std::max(0.0, std::strtod(line.c_str() + 6, nullptr));
        m_churnDue = 0;
        m_lastTick = Clock::now();
        std::printf("churning %g\n", m_churnRate);
    } else if (line.rfind("crowd ", 0) == 0) {
        unsigned writers = 0;
        unsigned readers = 0;
        unsigned picky = 0;
        if (std::sscanf(line.c_str() + 6, "%u %u %u", &writers, &readers, &picky) != 3) {
            std::printf("FAILED bad command: %s\n", line.c_str());
            return true;
        }
        const uint32_t first = m_plan.firstParticipant();
        for (const LoadPlan::Endpoint& wanted : m_plan.crowdEndpoints(writers, readers, picky)) {
            const size_t participant = wanted.participant - first;
            m_crowd.push_back(
                add(participant, Scenarios::systemEndpoint(wanted, m_nextNumber[participant])));
        }
        std::printf("crowded %zu\n", m_crowd.size());
    } else if (line == "uncrowd") {
        removeAll(m_crowd);
        std::puts("uncrowded");
    } else if (line == "quit") {
        return false;
    } else if (!line.empty()) {
        std::printf("FAILED unknown command: %s\n", line.c_str());
    }
    return true;
}

LoadCommands::Live LoadCommands::add(size_t participant, EndpointPlan plan)
{
    plan.entityId = Scenarios::entityId(m_nextNumber[participant]++, plan.writer);
    const Guid key = m_forge.addEndpoint(participant, plan);
    return Live{participant, key, std::move(plan)};
}

void LoadCommands::removeAll(std::vector<Live>& endpoints)
{
    for (const Live& live : endpoints) {
        m_forge.removeEndpoint(live.key, live.plan.writer);
    }
    endpoints.clear();
}

void LoadCommands::churn(uint32_t count)
{
    // As the load generator does: an endpoint leaves and one like it, under a new GUID, takes
    // its place, with a stride that visits participants and topics in a mixed order.
    for (uint32_t i = 0; i < count && !m_live.empty(); ++i) {
        Live& live = m_live[m_nextChurn % m_live.size()];
        m_nextChurn += 7;
        EndpointPlan successor = live.plan;
        successor.entityId =
            Scenarios::entityId(m_nextNumber[live.participant]++, live.plan.writer);
        m_forge.removeEndpoint(live.key, live.plan.writer, &successor);
        live.key.entity = successor.entityId;
        live.plan = std::move(successor);
    }
}
