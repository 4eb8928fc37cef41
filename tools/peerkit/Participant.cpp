#include "Participant.h"

#include "GuidText.h"

#include <dds/ddsi/ddsi_xqos.h>

namespace peerkit {

namespace {

// Properties set with dds_qset_prop stay local; only those added with the propagate flag go
// out in the participant's discovery data.
void addAnnouncedProperty(dds_qos_t* qos, const Property& property, int serial)
{
    if (ddsi_xqos_add_property_if_unset(qos, true, property.name.c_str(), property.value.c_str())) {
        return;
    }
    // The name is taken: add it under a unique longer name, then cut the stored copy back to
    // the real name, which leaves two entries with the same name as announced.
    const std::string unique = property.name + '\x01' + std::to_string(serial);
    if (ddsi_xqos_add_property_if_unset(qos, true, unique.c_str(), property.value.c_str())) {
        dds_propertyseq_t& seq = qos->property.value;
        seq.props[seq.n - 1].name[property.name.size()] = '\0';
    }
}

} // namespace

std::unique_ptr<Participant> Participant::create(uint32_t domain,
                                                 const std::vector<Property>& properties,
                                                 const std::string& userData, std::string& error)
{
    std::unique_ptr<dds_qos_t, void (*)(dds_qos_t*)> qos(dds_create_qos(), &dds_delete_qos);
    int serial = 0;
    for (const Property& property : properties) {
        addAnnouncedProperty(qos.get(), property, ++serial);
    }
    if (!userData.empty()) {
        dds_qset_userdata(qos.get(), userData.data(), userData.size());
    }
    const dds_entity_t entity = dds_create_participant(domain, qos.get(), nullptr);
    if (entity < 0) {
        error = std::string("cannot create a participant on domain ") + std::to_string(domain) +
                ": " + dds_strretcode(entity);
        return nullptr;
    }
    return std::unique_ptr<Participant>(new Participant(entity, domain));
}

Participant::Participant(dds_entity_t entity, uint32_t domain)
    : m_entity(entity), m_domain(domain), m_guid(guidText(entity))
{
}

Participant::~Participant()
{
    dds_delete(m_entity);
}

const Participant::Endpoint* Participant::addWriter(const std::string& topic,
                                                    const std::string& typeName,
                                                    const dds_qos_t* qos, std::string& error)
{
    return addEndpoint(true, topic, typeName, qos, error);
}

const Participant::Endpoint* Participant::addReader(const std::string& topic,
                                                    const std::string& typeName,
                                                    const dds_qos_t* qos, std::string& error)
{
    return addEndpoint(false, topic, typeName, qos, error);
}

const Participant::Endpoint* Participant::addEndpoint(bool isWriter, const std::string& topic,
                                                      const std::string& typeName,
                                                      const dds_qos_t* qos, std::string& error)
{
    const std::string type = typeName.empty() ? SampleType::defaultTypeName : typeName;
    std::unique_ptr<SampleType>& sampleType = m_types[type];
    if (!sampleType) {
        sampleType = std::make_unique<SampleType>(type);
    }
    // Topic data is announced from the topic's QoS (on an endpoint's own QoS the middleware
    // ignores it), and a topic name has one QoS per participant, whatever the type: an
    // endpoint that names no topic data gets that of the topic's first endpoint, one that names
    // different topic data is refused by the middleware.
    std::unique_ptr<dds_qos_t, void (*)(dds_qos_t*)> topicQos(dds_create_qos(), &dds_delete_qos);
    void* data = nullptr;
    size_t size = 0;
    const auto known = m_topicData.find(topic);
    if (qos && dds_qget_topicdata(qos, &data, &size)) {
        dds_qset_topicdata(topicQos.get(), data, size);
        dds_free(data);
    } else if (known != m_topicData.end()) {
        dds_qset_topicdata(topicQos.get(), known->second.data(), known->second.size());
    }
    const dds_entity_t topicEntity = dds_create_topic(m_entity, sampleType->descriptor(),
                                                      topic.c_str(), topicQos.get(), nullptr);
    if (topicEntity > 0 && known == m_topicData.end() &&
        dds_qget_topicdata(topicQos.get(), &data, &size)) {
        m_topicData[topic] = std::string(static_cast<const char*>(data), size);
        dds_free(data);
    }
    if (topicEntity < 0) {
        error = "cannot create topic " + topic + " of type " + type + ": " +
                dds_strretcode(topicEntity);
        return nullptr;
    }
    const dds_entity_t entity = isWriter ? dds_create_writer(m_entity, topicEntity, qos, nullptr)
                                         : dds_create_reader(m_entity, topicEntity, qos, nullptr);
    if (entity < 0) {
        error = std::string("cannot create a ") + (isWriter ? "writer" : "reader") + " on " +
                topic + ": " + dds_strretcode(entity);
        return nullptr;
    }
    m_endpoints.push_back(
        std::make_unique<Endpoint>(Endpoint{entity, isWriter, topic, type, guidText(entity)}));
    return m_endpoints.back().get();
}

bool Participant::setQos(const std::string& guid, const dds_qos_t* qos, std::string& error)
{
    for (const std::unique_ptr<Endpoint>& endpoint : m_endpoints) {
        if (endpoint->guid != guid) {
            continue;
        }
        const dds_return_t result = dds_set_qos(endpoint->entity, qos);
        if (result != DDS_RETCODE_OK) {
            error = std::string("cannot change the QoS of ") + guid + ": " + dds_strretcode(result);
            return false;
        }
        return true;
    }
    error = "no writer or reader " + guid;
    return false;
}

void Participant::publish(int32_t id, const std::string& text)
{
    PeerSample sample{id, const_cast<char*>(text.c_str())};
    for (const std::unique_ptr<Endpoint>& endpoint : m_endpoints) {
        if (endpoint->isWriter) {
            dds_write(endpoint->entity, &sample);
        }
    }
}

void Participant::drain()
{
    constexpr size_t batch = 16;
    void* samples[batch] = {};
    dds_sample_info_t infos[batch];
    for (const std::unique_ptr<Endpoint>& endpoint : m_endpoints) {
        if (endpoint->isWriter) {
            continue;
        }
        dds_return_t n;
        while ((n = dds_take(endpoint->entity, samples, infos, batch, batch)) > 0) {
            dds_return_loan(endpoint->entity, samples, n);
        }
    }
}

} // namespace peerkit
