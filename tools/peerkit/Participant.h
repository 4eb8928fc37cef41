// A Cyclone DDS participant of a test peer or the demo, with the properties it announces and
// its data writers and readers. Deleting it deletes its entities, which peers see as a leave.
#pragma once

#include "Property.h"
#include "SampleType.h"

#include <dds/dds.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace peerkit {

class Participant
{
public:
    struct Endpoint
    {
        dds_entity_t entity;
        bool isWriter;
        std::string topic;
        std::string typeName;
        std::string guid;
    };

    // Joins `domain`. With no properties the middleware announces its own default ones;
    // otherwise exactly `properties` are announced, in order, repeated names included. Empty
    // `userData` sets no user data. Returns null and says why in `error` on failure.
    static std::unique_ptr<Participant> create(uint32_t domain,
                                               const std::vector<Property>& properties,
                                               const std::string& userData, std::string& error);
    ~Participant();
    Participant(const Participant&) = delete;
    Participant& operator=(const Participant&) = delete;

    dds_entity_t entity() const { return m_entity; }
    uint32_t domain() const { return m_domain; }
    const std::string& guid() const { return m_guid; }

    // Creates a data writer or reader on `topic` announcing `typeName` (the default type name
    // when empty) with the policies of `qos` (may be null). Returns null and says why in
    // `error` when the middleware refuses.
    const Endpoint* addWriter(const std::string& topic, const std::string& typeName,
                              const dds_qos_t* qos, std::string& error);
    const Endpoint* addReader(const std::string& topic, const std::string& typeName,
                              const dds_qos_t* qos, std::string& error);

    const std::vector<std::unique_ptr<Endpoint>>& endpoints() const { return m_endpoints; }

    // Changes the policies `qos` sets on the writer or reader with GUID text `guid`, which the
    // middleware announces again under the same GUID. Returns false and says why in `error`
    // when no endpoint has that GUID or the middleware refuses (an immutable policy).
    bool setQos(const std::string& guid, const dds_qos_t* qos, std::string& error);

    // Writes one sample with key `id` on every writer.
    void publish(int32_t id, const std::string& text);
    // Takes what the readers hold, so that long runs with keep-all readers stay small.
    void drain();

private:
    Participant(dds_entity_t entity, uint32_t domain);
    const Endpoint* addEndpoint(bool isWriter, const std::string& topic,
                                const std::string& typeName, const dds_qos_t* qos,
                                std::string& error);

    dds_entity_t m_entity;
    uint32_t m_domain;
    std::string m_guid;
    std::map<std::string, std::unique_ptr<SampleType>> m_types;
    // topic data of the first endpoint of each topic name that had some
    std::map<std::string, std::string> m_topicData;
    std::vector<std::unique_ptr<Endpoint>> m_endpoints;
};

} // namespace peerkit
