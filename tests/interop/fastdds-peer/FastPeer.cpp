#include "FastPeer.h"

#include <fastdds/dds/domain/DomainParticipant.hpp>
#include <fastdds/dds/domain/DomainParticipantFactory.hpp>
#include <fastdds/dds/publisher/DataWriter.hpp>
#include <fastdds/dds/publisher/Publisher.hpp>
#include <fastdds/dds/subscriber/DataReader.hpp>
#include <fastdds/dds/subscriber/SampleInfo.hpp>
#include <fastdds/dds/subscriber/Subscriber.hpp>
#include <fastdds/dds/topic/Topic.hpp>
#include <fastdds/dds/topic/TypeSupport.hpp>

#include <cstdio>

using namespace eprosima::fastdds::dds;
using eprosima::fastrtps::Duration_t;
using eprosima::fastrtps::rtps::GUID_t;

namespace {

std::vector<eprosima::fastrtps::rtps::octet> octets(const char* text)
{
    const std::string value(text);
    return std::vector<eprosima::fastrtps::rtps::octet>(value.begin(), value.end());
}

std::string hex(const GUID_t& guid)
{
    std::string text;
    char digits[3];
    for (const auto byte : guid.guidPrefix.value) {
        std::snprintf(digits, sizeof(digits), "%02x", unsigned(byte));
        text += digits;
    }
    for (const auto byte : guid.entityId.value) {
        std::snprintf(digits, sizeof(digits), "%02x", unsigned(byte));
        text += digits;
    }
    return text;
}

DataWriterQos writerQos()
{
    DataWriterQos qos = DATAWRITER_QOS_DEFAULT;
    qos.reliability().kind = RELIABLE_RELIABILITY_QOS;
    qos.reliability().max_blocking_time = Duration_t(0, 250000000);
    qos.durability().kind = TRANSIENT_LOCAL_DURABILITY_QOS;
    qos.deadline().period = Duration_t(2, 0);
    qos.latency_budget().duration = Duration_t(0, 500000000);
    // Every write asserts the participant's liveliness; the peer writes twice a second.
    qos.liveliness().kind = MANUAL_BY_PARTICIPANT_LIVELINESS_QOS;
    qos.liveliness().lease_duration = Duration_t(6, 0);
    qos.liveliness().announcement_period = Duration_t(2, 0);
    qos.ownership().kind = EXCLUSIVE_OWNERSHIP_QOS;
    qos.ownership_strength().value = 7;
    qos.lifespan().duration = Duration_t(30, 0);
    qos.user_data().data_vec(octets("fast writer"));
    qos.history().kind = KEEP_LAST_HISTORY_QOS;
    qos.history().depth = 5;
    return qos;
}

DataReaderQos readerQos()
{
    DataReaderQos qos = DATAREADER_QOS_DEFAULT;
    qos.reliability().kind = RELIABLE_RELIABILITY_QOS;
    qos.durability().kind = VOLATILE_DURABILITY_QOS;
    qos.deadline().period = Duration_t(5, 0);
    qos.liveliness().kind = AUTOMATIC_LIVELINESS_QOS;
    qos.liveliness().lease_duration = Duration_t(10, 0);
    qos.liveliness().announcement_period = Duration_t(3, 0);
    qos.ownership().kind = SHARED_OWNERSHIP_QOS;
    qos.user_data().data_vec(octets("fast reader"));
    qos.history().kind = KEEP_LAST_HISTORY_QOS;
    qos.history().depth = 10;
    return qos;
}

} // namespace

std::unique_ptr<FastPeer> FastPeer::create(uint32_t domain, const std::string& profileFile,
                                           std::string& error)
{
    DomainParticipantFactory* factory = DomainParticipantFactory::get_instance();
    if (factory->load_XML_profiles_file(profileFile) != ReturnCode_t::RETCODE_OK) {
        error = "cannot load the profiles in " + profileFile;
        return nullptr;
    }
    DomainParticipantQos qos;
    if (factory->get_participant_qos_from_profile(kProfile, qos) != ReturnCode_t::RETCODE_OK) {
        error = std::string("no participant profile ") + kProfile + " in " + profileFile;
        return nullptr;
    }
    qos.user_data().data_vec(octets("fastdds interop peer"));
    std::unique_ptr<FastPeer> peer(new FastPeer());
    peer->m_participant = factory->create_participant(domain, qos);
    if (peer->m_participant == nullptr) {
        error = "Fast DDS refused the participant in domain " + std::to_string(domain);
        return nullptr;
    }
    if (!peer->createEntities(error)) {
        return nullptr;
    }
    return peer;
}

bool FastPeer::createEntities(std::string& error)
{
    // TypeSupport owns the type from here (a shared pointer the participant keeps).
    TypeSupport type(new FastSampleType(kTypeName));
    if (type.register_type(m_participant) != ReturnCode_t::RETCODE_OK) {
        error = "cannot register the sample type";
        return false;
    }

    TopicQos trackQos = TOPIC_QOS_DEFAULT;
    trackQos.topic_data().data_vec(octets("fast topic"));
    Topic* track = m_participant->create_topic(kWriterTopic, kTypeName, trackQos);
    Topic* command = m_participant->create_topic(kReaderTopic, kTypeName, TOPIC_QOS_DEFAULT);

    PublisherQos publisherQos = PUBLISHER_QOS_DEFAULT;
    publisherQos.partition().push_back("InteropA");
    publisherQos.partition().push_back("InteropB");
    publisherQos.group_data().data_vec(octets("fast group"));
    Publisher* publisher = m_participant->create_publisher(publisherQos);

    SubscriberQos subscriberQos = SUBSCRIBER_QOS_DEFAULT;
    subscriberQos.partition().push_back("InteropB");
    Subscriber* subscriber = m_participant->create_subscriber(subscriberQos);

    if (track == nullptr || command == nullptr || publisher == nullptr || subscriber == nullptr) {
        error = "Fast DDS refused a topic, the publisher or the subscriber";
        return false;
    }
    m_writer = publisher->create_datawriter(track, writerQos());
    m_reader = subscriber->create_datareader(command, readerQos());
    if (m_writer == nullptr || m_reader == nullptr) {
        error = "Fast DDS refused the data writer or the data reader";
        return false;
    }
    return true;
}

FastPeer::~FastPeer()
{
    if (m_participant != nullptr) {
        m_participant->delete_contained_entities();
        DomainParticipantFactory::get_instance()->delete_participant(m_participant);
    }
}

std::string FastPeer::participantGuid() const
{
    return hex(m_participant->guid());
}

std::string FastPeer::writerGuid() const
{
    return hex(m_writer->guid());
}

std::string FastPeer::readerGuid() const
{
    return hex(m_reader->guid());
}

bool FastPeer::publish(int32_t id, const std::string& text)
{
    FastSample sample;
    sample.id = id;
    sample.text = text;
    return m_writer->write(&sample);
}

void FastPeer::take(std::vector<FastSample>& received)
{
    FastSample sample;
    SampleInfo info;
    while (m_reader->take_next_sample(&sample, &info) == ReturnCode_t::RETCODE_OK) {
        if (info.valid_data) {
            received.push_back(sample);
        }
    }
}
