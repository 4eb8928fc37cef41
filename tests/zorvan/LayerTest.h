// What the layer's tests share: owners for Cyclone entities and layer participants, handles of
// Cyclone entities, and the discovery lists of a layer participant.
#pragma once

#include "KeyedTopic.h"
#include "DomainParticipantFactory.h"

#include <dds/dds.h>

#include <QByteArray>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <memory>

namespace LayerTest {

class Entity
{
public:
    explicit Entity(dds_entity_t entity = 0) : m_entity(entity) {}
    ~Entity() { reset(); }
    Entity(const Entity&) = delete;
    Entity& operator=(const Entity&) = delete;
    dds_entity_t get() const { return m_entity; }
    void reset()
    {
        if (m_entity > 0) {
            dds_delete(m_entity);
        }
        m_entity = 0;
    }

private:
    dds_entity_t m_entity;
};

struct LayerDeleter
{
    void operator()(ZORVAN::DomainParticipant* participant) const
    {
        participant->delete_contained_entities();
        ZORVAN::DomainParticipantFactory::get_instance()->delete_participant(participant);
    }
};
using LayerParticipant = std::unique_ptr<ZORVAN::DomainParticipant, LayerDeleter>;

inline LayerParticipant
createLayer(uint32_t domain,
            const ZORVAN::DomainParticipantQos& qos = ZORVAN::PARTICIPANT_QOS_DEFAULT)
{
    return LayerParticipant(ZORVAN::DomainParticipantFactory::get_instance()->create_participant(
        domain, qos, nullptr, 0));
}

inline ZORVAN::InstanceHandle_t fromBytes(const uint8_t (&bytes)[16])
{
    ZORVAN::InstanceHandle_t handle;
    std::memcpy(handle.value, bytes, 16);
    handle.length = 16;
    handle.isValid = 1;
    return handle;
}

// The GUID Cyclone gives an entity of this process, as a handle.
inline ZORVAN::InstanceHandle_t handleOf(dds_entity_t entity)
{
    dds_guid_t guid{};
    if (dds_get_guid(entity, &guid) != DDS_RETCODE_OK) {
        return ZORVAN::InstanceHandle_t{};
    }
    return fromBytes(guid.v);
}

inline bool contains(const ZORVAN::InstanceHandleSeq& list, const ZORVAN::InstanceHandle_t& handle)
{
    return std::find(list.begin(), list.end(), handle) != list.end();
}

inline ZORVAN::InstanceHandleSeq participants(ZORVAN::DomainParticipant& layer)
{
    ZORVAN::InstanceHandleSeq list;
    if (layer.get_discovered_participants(list) != ZORVAN::RETCODE_OK) {
        list.clear();
    }
    return list;
}

inline ZORVAN::InstanceHandleSeq publications(ZORVAN::DomainParticipant& layer,
                                              bool includeOwn = true)
{
    ZORVAN::InstanceHandleSeq list;
    if (layer.get_publications(list, includeOwn) != ZORVAN::RETCODE_OK) {
        list.clear();
    }
    return list;
}

inline ZORVAN::InstanceHandleSeq subscriptions(ZORVAN::DomainParticipant& layer,
                                               bool includeOwn = true)
{
    ZORVAN::InstanceHandleSeq list;
    if (layer.get_subscriptions(list, includeOwn) != ZORVAN::RETCODE_OK) {
        list.clear();
    }
    return list;
}

inline dds_entity_t createTopic(dds_entity_t participant, const char* name,
                                const dds_qos_t* qos = nullptr)
{
    return dds_create_topic(participant, KeyedTopic::descriptor(), name, qos, nullptr);
}

struct QosDeleter
{
    void operator()(dds_qos_t* qos) const { dds_delete_qos(qos); }
};
using QosPtr = std::unique_ptr<dds_qos_t, QosDeleter>;

// Compared as byte arrays so that a failure prints the bytes.
inline QByteArray bytes(const ZORVAN::OctetSeq& octets)
{
    return QByteArray(reinterpret_cast<const char*>(octets.data()), int(octets.size()));
}

const int kTimeout = 15000;
const int32_t INF_S = 0x7fffffff;
const uint32_t INF_NS = 0x7fffffff;

// Durations compared field by field, so that a failure names the field.
#define COMPARE_DURATION(actual, expected)                                                         \
    do {                                                                                           \
        QCOMPARE((actual).sec, (expected).sec);                                                    \
        QCOMPARE((actual).nanosec, (expected).nanosec);                                            \
    } while (0)

} // namespace LayerTest
