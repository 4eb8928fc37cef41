#include "LoadProcess.h"

#include <chrono>

namespace {

// A few QoS shapes, so that records differ the way they do in a real system.
const char* const qosLines[] = {
    "",
    "reliability=reliable;durability=transient_local;history=keep_last:1",
    "reliability=best_effort;deadline=1;liveliness=automatic:10",
    "partition=bench|bench2;ownership=shared;destination=source",
};

} // namespace

LoadProcess::LoadProcess(LoadPlan plan) : m_plan(plan)
{
    for (const char* line : qosLines) {
        auto qos = std::make_unique<peerkit::QosLine>();
        std::string error;
        qos->parse(line, error);
        m_qos.push_back(std::move(qos));
    }
    std::string error;
    m_crowdPlain.parse("reliability=best_effort", error);
    m_crowdPicky.parse("reliability=reliable", error);
}

LoadProcess::~LoadProcess()
{
    unprobe();
    uncrowd();
    m_live.clear();
    // Participants delete their endpoints with them.
    m_participants.clear();
}

const dds_qos_t* LoadProcess::qosFor(uint32_t topic, bool isWriter) const
{
    // Writers and readers of one topic pick different shapes half of the time.
    const size_t shape = (topic + (isWriter ? 0 : topic / 2)) % m_qos.size();
    return shape == 0 ? nullptr : m_qos[shape]->qos();
}

dds_entity_t LoadProcess::createEndpoint(peerkit::Participant& participant,
                                         const LoadPlan::Endpoint& wanted, std::string& error)
{
    const std::string topic = LoadPlan::topicName(wanted.topic);
    const std::string type = LoadPlan::typeName(wanted.topic);
    const dds_qos_t* qos = qosFor(wanted.topic, wanted.isWriter);
    const peerkit::Participant::Endpoint* endpoint =
        wanted.isWriter ? participant.addWriter(topic, type, qos, error)
                        : participant.addReader(topic, type, qos, error);
    return endpoint ? endpoint->entity : 0;
}

bool LoadProcess::create(std::string& error)
{
    for (uint32_t p = m_plan.firstParticipant(); p < m_plan.lastParticipant(); ++p) {
        std::unique_ptr<peerkit::Participant> participant =
            peerkit::Participant::create(m_plan.domain, LoadPlan::sysInfo(p), std::string(), error);
        if (!participant) {
            return false;
        }
        m_participants.push_back(std::move(participant));
    }
    const uint32_t first = m_plan.firstParticipant();
    for (const LoadPlan::Endpoint& wanted : m_plan.endpoints()) {
        peerkit::Participant& participant = *m_participants[wanted.participant - first];
        const dds_entity_t entity = createEndpoint(participant, wanted, error);
        if (entity <= 0) {
            return false;
        }
        m_live.push_back(Live{&participant, entity, wanted});
    }
    return true;
}

int64_t LoadProcess::probe(const std::string& topic, std::string& error)
{
    if (m_participants.empty()) {
        error = "no participant";
        return -1;
    }
    const int64_t before = std::chrono::duration_cast<std::chrono::nanoseconds>(
                               std::chrono::steady_clock::now().time_since_epoch())
                               .count();
    const peerkit::Participant::Endpoint* endpoint =
        m_participants.front()->addWriter(topic, "bench::Probe", nullptr, error);
    if (!endpoint) {
        return -1;
    }
    m_probes.push_back(endpoint->entity);
    return before;
}

void LoadProcess::unprobe()
{
    for (dds_entity_t probe : m_probes) {
        dds_delete(probe);
    }
    m_probes.clear();
}

int LoadProcess::crowd(uint32_t writers, uint32_t readers, uint32_t picky, std::string& error)
{
    const uint32_t first = m_plan.firstParticipant();
    const std::string topic = LoadPlan::topicName(LoadPlan::crowdTopic);
    const std::string type = LoadPlan::typeName(LoadPlan::crowdTopic);
    int created = 0;
    for (const LoadPlan::Endpoint& wanted : m_plan.crowdEndpoints(writers, readers, picky)) {
        peerkit::Participant& participant = *m_participants[wanted.participant - first];
        const dds_qos_t* qos = wanted.picky ? m_crowdPicky.qos() : m_crowdPlain.qos();
        const peerkit::Participant::Endpoint* endpoint =
            wanted.isWriter ? participant.addWriter(topic, type, qos, error)
                            : participant.addReader(topic, type, qos, error);
        if (!endpoint) {
            return -1;
        }
        m_crowd.push_back(endpoint->entity);
        ++created;
    }
    return created;
}

void LoadProcess::uncrowd()
{
    for (dds_entity_t entity : m_crowd) {
        dds_delete(entity);
    }
    m_crowd.clear();
}

bool LoadProcess::churn(uint32_t count, std::string& error)
{
    for (uint32_t i = 0; i < count && !m_live.empty(); ++i) {
        Live& live = m_live[m_nextChurn % m_live.size()];
        m_nextChurn += 7; // a stride that visits participants and topics in a mixed order
        // The peerkit participant keeps its record of the old endpoint; the entity is gone.
        dds_delete(live.entity);
        live.entity = createEndpoint(*live.participant, live.wanted, error);
        if (live.entity <= 0) {
            return false;
        }
    }
    return true;
}
