// The builtin-topic records the layer returns for Cyclone participants, writers and readers
// this test creates in its own process: every field, handles and keys.
#include "LayerTest.h"
#include "TestEnv.h"

#include <dds/ddsi/ddsi_xqos.h>

using namespace ZORVAN;
using namespace LayerTest;

namespace {

// Topic data is the topic's: Cyclone gives endpoints the topic data of their topic.
using QosSetter = void (*)(dds_qos_t* topic, dds_qos_t* writer, dds_qos_t* reader);

Duration_t dur(int32_t sec, uint32_t nanosec)
{
    Duration_t d;
    d.sec = sec;
    d.nanosec = nanosec;
    return d;
}

const Duration_t kInfinite = dur(INF_S, INF_NS);

OctetSeq octets(const char* text)
{
    return OctetSeq(text, text + std::strlen(text));
}

void setFinite(dds_qos_t* t, dds_qos_t* w, dds_qos_t* r)
{
    dds_qset_topicdata(t, "td", 2);
    dds_qset_reliability(w, DDS_RELIABILITY_RELIABLE, DDS_MSECS(250));
    dds_qset_durability(w, DDS_DURABILITY_TRANSIENT_LOCAL);
    dds_qset_durability_service(w, DDS_SECS(3), DDS_HISTORY_KEEP_LAST, 5, 100, 10, 10);
    dds_qset_deadline(w, DDS_MSECS(1500));
    dds_qset_latency_budget(w, DDS_MSECS(20));
    dds_qset_liveliness(w, DDS_LIVELINESS_MANUAL_BY_TOPIC, DDS_SECS(4));
    dds_qset_lifespan(w, DDS_SECS(7) + 1);
    dds_qset_ownership(w, DDS_OWNERSHIP_EXCLUSIVE);
    dds_qset_ownership_strength(w, 42);
    dds_qset_destination_order(w, DDS_DESTINATIONORDER_BY_SOURCE_TIMESTAMP);
    dds_qset_presentation(w, DDS_PRESENTATION_TOPIC, true, true);
    const char* partitions[] = {"A", "B"};
    dds_qset_partition(w, 2, partitions);
    dds_qset_userdata(w, "w\0u", 3);
    dds_qset_groupdata(w, "wg", 2);

    dds_qset_reliability(r, DDS_RELIABILITY_RELIABLE, DDS_MSECS(50));
    dds_qset_durability(r, DDS_DURABILITY_TRANSIENT_LOCAL);
    dds_qset_deadline(r, DDS_SECS(2));
    dds_qset_latency_budget(r, DDS_MSECS(30));
    dds_qset_liveliness(r, DDS_LIVELINESS_MANUAL_BY_PARTICIPANT, DDS_SECS(5));
    dds_qset_ownership(r, DDS_OWNERSHIP_EXCLUSIVE);
    dds_qset_destination_order(r, DDS_DESTINATIONORDER_BY_SOURCE_TIMESTAMP);
    dds_qset_presentation(r, DDS_PRESENTATION_TOPIC, true, false);
    dds_qset_partition(r, 2, partitions);
    dds_qset_time_based_filter(r, DDS_MSECS(100));
    dds_qset_userdata(r, "ru", 2);
    dds_qset_groupdata(r, "rg", 2);
}

void setInfinite(dds_qos_t*, dds_qos_t* w, dds_qos_t* r)
{
    dds_qset_reliability(w, DDS_RELIABILITY_BEST_EFFORT, DDS_INFINITY);
    dds_qset_durability(w, DDS_DURABILITY_TRANSIENT);
    dds_qset_durability_service(w, DDS_INFINITY, DDS_HISTORY_KEEP_ALL, 1, DDS_LENGTH_UNLIMITED,
                                DDS_LENGTH_UNLIMITED, DDS_LENGTH_UNLIMITED);
    dds_qset_deadline(w, DDS_INFINITY);
    dds_qset_latency_budget(w, 0);
    dds_qset_liveliness(w, DDS_LIVELINESS_AUTOMATIC, DDS_INFINITY);
    dds_qset_lifespan(w, DDS_INFINITY);
    dds_qset_ownership(w, DDS_OWNERSHIP_SHARED);
    dds_qset_ownership_strength(w, -3);
    dds_qset_destination_order(w, DDS_DESTINATIONORDER_BY_RECEPTION_TIMESTAMP);
    dds_qset_presentation(w, DDS_PRESENTATION_GROUP, false, false);
    dds_qset_partition1(w, "B");

    dds_qset_reliability(r, DDS_RELIABILITY_BEST_EFFORT, DDS_INFINITY);
    dds_qset_durability(r, DDS_DURABILITY_PERSISTENT);
    dds_qset_deadline(r, DDS_INFINITY);
    dds_qset_latency_budget(r, 0);
    dds_qset_liveliness(r, DDS_LIVELINESS_AUTOMATIC, DDS_INFINITY);
    dds_qset_ownership(r, DDS_OWNERSHIP_SHARED);
    dds_qset_destination_order(r, DDS_DESTINATIONORDER_BY_RECEPTION_TIMESTAMP);
    dds_qset_presentation(r, DDS_PRESENTATION_GROUP, false, true);
    dds_qset_partition1(r, "B");
    dds_qset_time_based_filter(r, 0);
}

template <typename Record> void compareCommon(const Record& actual, const Record& expected)
{
    QCOMPARE(actual.durability.kind, expected.durability.kind);
    COMPARE_DURATION(actual.deadline.period, expected.deadline.period);
    COMPARE_DURATION(actual.latency_budget.duration, expected.latency_budget.duration);
    QCOMPARE(actual.liveliness.kind, expected.liveliness.kind);
    COMPARE_DURATION(actual.liveliness.lease_duration, expected.liveliness.lease_duration);
    QCOMPARE(actual.reliability.kind, expected.reliability.kind);
    COMPARE_DURATION(actual.reliability.max_blocking_time, expected.reliability.max_blocking_time);
    QCOMPARE(actual.ownership.kind, expected.ownership.kind);
    QCOMPARE(actual.destination_order.kind, expected.destination_order.kind);
    QCOMPARE(actual.presentation.access_scope, expected.presentation.access_scope);
    QCOMPARE(actual.presentation.coherent_access, expected.presentation.coherent_access);
    QCOMPARE(actual.presentation.ordered_access, expected.presentation.ordered_access);
    QCOMPARE(actual.partition.name, expected.partition.name);
    QCOMPARE(bytes(actual.user_data.value), bytes(expected.user_data.value));
    QCOMPARE(bytes(actual.topic_data.value), bytes(expected.topic_data.value));
    QCOMPARE(bytes(actual.group_data.value), bytes(expected.group_data.value));
}

void compareWriter(const PublicationBuiltinTopicData& actual,
                   const PublicationBuiltinTopicData& expected)
{
    compareCommon(actual, expected);
    if (QTest::currentTestFailed()) {
        return;
    }
    const DurabilityServiceQosPolicy& a = actual.durability_service;
    const DurabilityServiceQosPolicy& e = expected.durability_service;
    COMPARE_DURATION(a.service_cleanup_delay, e.service_cleanup_delay);
    QCOMPARE(a.history_kind, e.history_kind);
    QCOMPARE(a.history_depth, e.history_depth);
    QCOMPARE(a.max_samples, e.max_samples);
    QCOMPARE(a.max_instances, e.max_instances);
    QCOMPARE(a.max_samples_per_instance, e.max_samples_per_instance);
    COMPARE_DURATION(actual.lifespan.duration, expected.lifespan.duration);
    QCOMPARE(actual.ownership_strength.value, expected.ownership_strength.value);
}

void compareReader(const SubscriptionBuiltinTopicData& actual,
                   const SubscriptionBuiltinTopicData& expected)
{
    compareCommon(actual, expected);
    if (QTest::currentTestFailed()) {
        return;
    }
    COMPARE_DURATION(actual.time_based_filter.minimum_separation,
                     expected.time_based_filter.minimum_separation);
}

} // namespace

Q_DECLARE_METATYPE(QosSetter)
Q_DECLARE_METATYPE(std::vector<Property_t>)
Q_DECLARE_METATYPE(PublicationBuiltinTopicData)
Q_DECLARE_METATYPE(SubscriptionBuiltinTopicData)

class TestEndpointRecords : public QObject
{
    Q_OBJECT

private slots:
    void ownParticipantsAreListed()
    {
        const uint32_t domain = TestEnv::domain(0);
        LayerParticipant layer = createLayer(domain);
        QVERIFY(layer);
        QCOMPARE(layer->get_domain_id(), domain);
        Entity plain(dds_create_participant(domain, nullptr, nullptr));
        QVERIFY(plain.get() > 0);

        const InstanceHandle_t own = layer->get_instance_handle();
        QCOMPARE(own.length, 16u);
        QCOMPARE(own.isValid, 1u);
        QVERIFY(own != handleOf(plain.get()));
        QTRY_VERIFY_WITH_TIMEOUT(contains(participants(*layer), own) &&
                                     contains(participants(*layer), handleOf(plain.get())),
                                 kTimeout);
        for (const InstanceHandle_t& listed : participants(*layer)) {
            ParticipantBuiltinTopicData data;
            QCOMPARE(layer->get_discovered_participant_data(data, listed), RETCODE_OK);
            QVERIFY(fromBytes(data.key.value) == listed);
        }
    }

    void endpointQos_data()
    {
        QTest::addColumn<QByteArray>("topic");
        QTest::addColumn<QosSetter>("setQos");
        QTest::addColumn<PublicationBuiltinTopicData>("writer");
        QTest::addColumn<SubscriptionBuiltinTopicData>("reader");

        PublicationBuiltinTopicData w;
        w.durability.kind = 1;
        w.durability_service = {dur(3, 0), 0, 5, 100, 10, 10};
        w.deadline.period = dur(1, 500000000);
        w.latency_budget.duration = dur(0, 20000000);
        w.liveliness = {2, dur(4, 0)};
        w.reliability = {2, dur(0, 250000000)};
        w.lifespan.duration = dur(7, 1);
        w.user_data.value = {'w', 0, 'u'};
        w.ownership.kind = 1;
        w.ownership_strength.value = 42;
        w.destination_order.kind = 1;
        w.presentation = {1, true, true};
        w.partition.name = {"A", "B"};
        w.topic_data.value = octets("td");
        w.group_data.value = octets("wg");
        SubscriptionBuiltinTopicData r;
        r.durability.kind = 1;
        r.deadline.period = dur(2, 0);
        r.latency_budget.duration = dur(0, 30000000);
        r.liveliness = {1, dur(5, 0)};
        r.reliability = {2, dur(0, 50000000)};
        r.ownership.kind = 1;
        r.destination_order.kind = 1;
        r.user_data.value = octets("ru");
        r.time_based_filter.minimum_separation = dur(0, 100000000);
        r.presentation = {1, true, false};
        r.partition.name = {"A", "B"};
        r.topic_data.value = octets("td");
        r.group_data.value = octets("rg");
        QTest::newRow("reliable, finite") << QByteArray("qos_finite") << &setFinite << w << r;

        PublicationBuiltinTopicData wi;
        wi.durability.kind = 2;
        wi.durability_service = {kInfinite, 1, 1, -1, -1, -1};
        wi.deadline.period = kInfinite;
        wi.liveliness = {0, kInfinite};
        wi.reliability = {1, kInfinite};
        wi.lifespan.duration = kInfinite;
        wi.ownership_strength.value = -3;
        wi.presentation = {2, false, false};
        wi.partition.name = {"B"};
        SubscriptionBuiltinTopicData ri;
        ri.durability.kind = 3;
        ri.deadline.period = kInfinite;
        ri.liveliness = {0, kInfinite};
        ri.reliability = {1, kInfinite};
        ri.presentation = {2, false, true};
        ri.partition.name = {"B"};
        QTest::newRow("best effort, infinite")
            << QByteArray("qos_infinite") << &setInfinite << wi << ri;
    }

    void endpointQos()
    {
        QFETCH(QByteArray, topic);
        QFETCH(QosSetter, setQos);
        QFETCH(PublicationBuiltinTopicData, writer);
        QFETCH(SubscriptionBuiltinTopicData, reader);

        const uint32_t domain = TestEnv::domain(1);
        LayerParticipant layer = createLayer(domain);
        QVERIFY(layer);
        Entity peer(dds_create_participant(domain, nullptr, nullptr));
        QVERIFY(peer.get() > 0);
        QosPtr topicQos(dds_create_qos());
        QosPtr writerQos(dds_create_qos());
        QosPtr readerQos(dds_create_qos());
        setQos(topicQos.get(), writerQos.get(), readerQos.get());
        const dds_entity_t cycloneTopic =
            createTopic(peer.get(), topic.constData(), topicQos.get());
        QVERIFY(cycloneTopic > 0);
        const dds_entity_t cycloneWriter =
            dds_create_writer(peer.get(), cycloneTopic, writerQos.get(), nullptr);
        QVERIFY2(cycloneWriter > 0, dds_strretcode(cycloneWriter));
        const dds_entity_t cycloneReader =
            dds_create_reader(peer.get(), cycloneTopic, readerQos.get(), nullptr);
        QVERIFY2(cycloneReader > 0, dds_strretcode(cycloneReader));

        const InstanceHandle_t writerHandle = handleOf(cycloneWriter);
        const InstanceHandle_t readerHandle = handleOf(cycloneReader);
        const InstanceHandle_t peerHandle = handleOf(peer.get());
        QTRY_VERIFY_WITH_TIMEOUT(contains(publications(*layer), writerHandle), kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(contains(subscriptions(*layer), readerHandle), kTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(contains(participants(*layer), peerHandle), kTimeout);

        PublicationBuiltinTopicData w;
        QCOMPARE(layer->get_publication_data(w, writerHandle), RETCODE_OK);
        QVERIFY(fromBytes(w.key.value) == writerHandle);
        QVERIFY(fromBytes(w.participant_key.value) == peerHandle);
        QCOMPARE(w.topic_name, topic.toStdString());
        QCOMPARE(w.type_name, std::string(KeyedTopic::typeName()));
        compareWriter(w, writer);
        if (QTest::currentTestFailed()) {
            return;
        }

        SubscriptionBuiltinTopicData r;
        QCOMPARE(layer->get_subscription_data(r, readerHandle), RETCODE_OK);
        QVERIFY(fromBytes(r.key.value) == readerHandle);
        QVERIFY(fromBytes(r.participant_key.value) == peerHandle);
        QCOMPARE(r.topic_name, topic.toStdString());
        QCOMPARE(r.type_name, std::string(KeyedTopic::typeName()));
        compareReader(r, reader);
    }

    void peerParticipantProperties_data()
    {
        QTest::addColumn<std::vector<Property_t>>("properties");

        const std::vector<Property_t> sysInfo{
            {"dds.sys_info.hostname", "peer-host", true},
            {"dds.sys_info.process_id", "4242", true},
            {"dds.sys_info.executable_filepath", "/opt/peer/bin/peer", true},
            {"app.custom", "value with spaces", true}};
        QTest::newRow("system information and a custom property") << sysInfo;
        QTest::newRow("invalid UTF-8 and empty values") << std::vector<Property_t>{
            {"dds.sys_info.username", "\xff\xfe\xc3(\x80", true}, {"empty", "", true}};
        std::vector<Property_t> many;
        for (int i = 0; i < 2000; ++i) {
            many.push_back({"p" + std::to_string(i), std::to_string(i * 7), true});
        }
        QTest::newRow("2000 properties") << many;
        QTest::newRow("60000-byte value")
            << std::vector<Property_t>{{"big", std::string(60000, 'z'), true}};
    }

    // A participant made with Cyclone's own API shows its user data and properties as set.
    void peerParticipantProperties()
    {
        QFETCH(std::vector<Property_t>, properties);

        const uint32_t domain = TestEnv::domain(2);
        LayerParticipant layer = createLayer(domain);
        QVERIFY(layer);
        QosPtr qos(dds_create_qos());
        const char userData[] = {1, 0, 2, char(0xff)};
        dds_qset_userdata(qos.get(), userData, sizeof(userData));
        for (const Property_t& property : properties) {
            QVERIFY(ddsi_xqos_add_property_if_unset(qos.get(), true, property.name.c_str(),
                                                    property.value.c_str()));
        }
        Entity peer(dds_create_participant(domain, qos.get(), nullptr));
        QVERIFY(peer.get() > 0);
        const InstanceHandle_t peerHandle = handleOf(peer.get());
        QTRY_VERIFY_WITH_TIMEOUT(contains(participants(*layer), peerHandle), kTimeout);

        ParticipantBuiltinTopicData data;
        QCOMPARE(layer->get_discovered_participant_data(data, peerHandle), RETCODE_OK);
        QVERIFY(fromBytes(data.key.value) == peerHandle);
        QCOMPARE(bytes(data.user_data.value), QByteArray(userData, sizeof(userData)));
        // Cyclone may add its own "__" properties after those it was given.
        QVERIFY(data.property.value.size() >= properties.size());
        for (size_t i = 0; i < data.property.value.size(); ++i) {
            const Property_t& actual = data.property.value[i];
            if (i >= properties.size()) {
                QVERIFY2(actual.name.rfind("__", 0) == 0, actual.name.c_str());
                continue;
            }
            QCOMPARE(actual.name, properties[i].name);
            QCOMPARE(QByteArray::fromStdString(actual.value),
                     QByteArray::fromStdString(properties[i].value));
            QVERIFY(actual.propagate);
        }
    }
};

QTEST_GUILESS_MAIN(TestEndpointRecords)
#include "tst_endpointrecords.moc"
