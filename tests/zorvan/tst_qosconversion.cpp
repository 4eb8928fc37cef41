// Conversion of Cyclone QoS values into the interface's records, and the QoS a participant
// of the layer is created with. No participant is created here.
#include "CycloneMemory.h"
#include "ParticipantQosBuilder.h"
#include "QosConversion.h"

#include <QtTest>

#include <stdexcept>

using namespace ZORVAN;

namespace {

Property_t prop(const char* name, const std::string& value, bool propagate = true)
{
    return Property_t{name, value, propagate};
}

void compareProperties(const std::vector<Property_t>& actual,
                       const std::vector<Property_t>& expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        QCOMPARE(actual[i].name, expected[i].name);
        QCOMPARE(actual[i].value, expected[i].value);
        QCOMPARE(actual[i].propagate, expected[i].propagate);
    }
}

#define COMPARE_DURATION(actual, expectedSec, expectedNsec)                                        \
    do {                                                                                           \
        QCOMPARE((actual).sec, int32_t(expectedSec));                                              \
        QCOMPARE((actual).nanosec, uint32_t(expectedNsec));                                        \
    } while (0)

const int32_t INF_S = 0x7fffffff;
const uint32_t INF_NS = 0x7fffffff;

} // namespace

class TestQosConversion : public QObject
{
    Q_OBJECT

private slots:
    void duration_data()
    {
        QTest::addColumn<qint64>("nanoseconds");
        QTest::addColumn<int>("sec");
        QTest::addColumn<uint>("nanosec");

        QTest::newRow("zero") << qint64(0) << 0 << 0u;
        QTest::newRow("one nanosecond") << qint64(1) << 0 << 1u;
        QTest::newRow("1.5 s") << qint64(1500000000) << 1 << 500000000u;
        QTest::newRow("largest finite")
            << qint64(0x7ffffffeLL * 1000000000LL + 999999999) << 0x7ffffffe << 999999999u;
        QTest::newRow("2^31-1 seconds is infinite")
            << qint64(0x7fffffffLL * 1000000000LL) << INF_S << uint(INF_NS);
        QTest::newRow("DDS_INFINITY") << qint64(DDS_INFINITY) << INF_S << uint(INF_NS);
        QTest::newRow("negative") << qint64(-5) << 0 << 0u;
    }

    void duration()
    {
        QFETCH(qint64, nanoseconds);
        QFETCH(int, sec);
        QFETCH(uint, nanosec);
        COMPARE_DURATION(QosConversion::duration(nanoseconds), sec, nanosec);
    }

    void kindNumbering()
    {
        QCOMPARE(QosConversion::reliabilityKind(DDS_RELIABILITY_BEST_EFFORT), uint8_t(1));
        QCOMPARE(QosConversion::reliabilityKind(DDS_RELIABILITY_RELIABLE), uint8_t(2));
        QCOMPARE(QosConversion::durabilityKind(DDS_DURABILITY_VOLATILE), uint8_t(0));
        QCOMPARE(QosConversion::durabilityKind(DDS_DURABILITY_TRANSIENT_LOCAL), uint8_t(1));
        QCOMPARE(QosConversion::durabilityKind(DDS_DURABILITY_TRANSIENT), uint8_t(2));
        QCOMPARE(QosConversion::durabilityKind(DDS_DURABILITY_PERSISTENT), uint8_t(3));
        QCOMPARE(QosConversion::historyKind(DDS_HISTORY_KEEP_LAST), uint8_t(0));
        QCOMPARE(QosConversion::historyKind(DDS_HISTORY_KEEP_ALL), uint8_t(1));
        QCOMPARE(QosConversion::livelinessKind(DDS_LIVELINESS_AUTOMATIC), uint8_t(0));
        QCOMPARE(QosConversion::livelinessKind(DDS_LIVELINESS_MANUAL_BY_PARTICIPANT), uint8_t(1));
        QCOMPARE(QosConversion::livelinessKind(DDS_LIVELINESS_MANUAL_BY_TOPIC), uint8_t(2));
        QCOMPARE(QosConversion::ownershipKind(DDS_OWNERSHIP_SHARED), uint8_t(0));
        QCOMPARE(QosConversion::ownershipKind(DDS_OWNERSHIP_EXCLUSIVE), uint8_t(1));
        QCOMPARE(QosConversion::destinationOrderKind(DDS_DESTINATIONORDER_BY_RECEPTION_TIMESTAMP),
                 uint8_t(0));
        QCOMPARE(QosConversion::destinationOrderKind(DDS_DESTINATIONORDER_BY_SOURCE_TIMESTAMP),
                 uint8_t(1));
        QCOMPARE(QosConversion::accessScope(DDS_PRESENTATION_INSTANCE), uint8_t(0));
        QCOMPARE(QosConversion::accessScope(DDS_PRESENTATION_TOPIC), uint8_t(1));
        QCOMPARE(QosConversion::accessScope(DDS_PRESENTATION_GROUP), uint8_t(2));
    }

    // A sample whose QoS lacks a policy shows the DDS default Cyclone applies: writers are
    // reliable with 100 ms blocking, readers best effort; durations infinite except latency
    // budget, blocking time of readers and the filter; durability service keep last 1.
    void absentPoliciesGetCycloneDefaults()
    {
        const CycloneQosPtr empty(dds_create_qos());
        for (dds_qos_t* qos : {empty.get(), static_cast<dds_qos_t*>(nullptr)}) {
            dds_builtintopic_endpoint_t sample{};
            sample.qos = qos;
            PublicationBuiltinTopicData w;
            QosConversion::toPublication(sample, w);
            QCOMPARE(w.reliability.kind, uint8_t(2));
            COMPARE_DURATION(w.reliability.max_blocking_time, 0, 100000000);
            QCOMPARE(w.durability.kind, uint8_t(0));
            COMPARE_DURATION(w.deadline.period, INF_S, INF_NS);
            COMPARE_DURATION(w.latency_budget.duration, 0, 0);
            QCOMPARE(w.liveliness.kind, uint8_t(0));
            COMPARE_DURATION(w.liveliness.lease_duration, INF_S, INF_NS);
            COMPARE_DURATION(w.lifespan.duration, INF_S, INF_NS);
            QCOMPARE(w.durability_service.history_kind, uint8_t(0));
            QCOMPARE(w.durability_service.history_depth, 1);
            QCOMPARE(w.durability_service.max_samples, -1);
            QCOMPARE(w.ownership.kind, uint8_t(0));
            QCOMPARE(w.ownership_strength.value, 0);
            QCOMPARE(w.destination_order.kind, uint8_t(0));
            QCOMPARE(w.presentation.access_scope, uint8_t(0));
            QVERIFY(w.partition.name.empty());
            QVERIFY(w.user_data.value.empty());
            QVERIFY(w.topic_name.empty());

            SubscriptionBuiltinTopicData r;
            QosConversion::toSubscription(sample, r);
            QCOMPARE(r.reliability.kind, uint8_t(1));
            COMPARE_DURATION(r.deadline.period, INF_S, INF_NS);
            COMPARE_DURATION(r.time_based_filter.minimum_separation, 0, 0);
            QCOMPARE(r.destination_order.kind, uint8_t(0));
        }
    }

    void propertiesKeepOrderDuplicatesAndBytes()
    {
        const std::vector<Property_t> list{
            prop("dds.sys_info.ip", "10.0.0.1"), prop("dds.sys_info.ip", "10.0.0.2"),
            prop("bytes", "\xff\xfe\xc3("),      prop("empty", ""),
            prop("local", "x", false),           prop("dds.sys_info.ip", "10.0.0.3")};
        const CycloneQosPtr qos(dds_create_qos());
        for (const Property_t& p : list) {
            ParticipantQosBuilder::appendProperty(qos.get(), p);
        }
        PropertyQosPolicy policy;
        QosConversion::properties(qos.get(), policy);
        compareProperties(policy.value, list);

        PropertyQosPolicy none;
        none.value.push_back(prop("stale", "x"));
        QosConversion::properties(nullptr, none);
        QVERIFY(none.value.empty());
    }

    void builderPutsCallerFirstAndLetsItOverride()
    {
        DomainParticipantQos caller;
        caller.user_data.value = {0, 0xff, 7};
        caller.property.value = {prop("app.role", "server"), prop("dds.sys_info.hostname", "mine")};
        const std::vector<Property_t> announced{prop("dds.sys_info.hostname", "real"),
                                                prop("dds.sys_info.ip", "127.0.0.1"),
                                                prop("dds.sys_info.ip", "10.1.1.1")};

        const CycloneQosPtr qos = ParticipantQosBuilder::build(caller, announced);
        dds_builtintopic_participant_t sample{};
        sample.qos = qos.get();
        ParticipantBuiltinTopicData data;
        QosConversion::toParticipant(sample, data);

        QCOMPARE(data.user_data.value, (OctetSeq{0, 0xff, 7}));
        compareProperties(data.property.value,
                          {prop("app.role", "server"), prop("dds.sys_info.hostname", "mine"),
                           prop("dds.sys_info.ip", "127.0.0.1"),
                           prop("dds.sys_info.ip", "10.1.1.1")});
    }

    void builderRefusesWhatCannotBeAnnounced()
    {
        // Count word, binary count word, and per propagated property two padded strings.
        QCOMPARE(ParticipantQosBuilder::propertyWireSize({}), size_t(8));
        QCOMPARE(ParticipantQosBuilder::propertyWireSize({prop("ab", "cde")}), size_t(24));
        QCOMPARE(ParticipantQosBuilder::propertyWireSize({prop("ab", "cde", false)}), size_t(8));

        DomainParticipantQos big;
        big.property.value = {prop("big", std::string(70000, 'x'))};
        QVERIFY_EXCEPTION_THROWN(ParticipantQosBuilder::build(big, {}), std::length_error);

        DomainParticipantQos bigUserData;
        bigUserData.user_data.value.assign(70000, 1);
        QVERIFY_EXCEPTION_THROWN(ParticipantQosBuilder::build(bigUserData, {}), std::length_error);

        DomainParticipantQos fits;
        fits.property.value = {prop("big", std::string(60000, 'x'))};
        QVERIFY(ParticipantQosBuilder::build(fits, {}) != nullptr);
    }
};

QTEST_APPLESS_MAIN(TestQosConversion)
#include "tst_qosconversion.moc"
