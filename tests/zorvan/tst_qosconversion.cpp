// Conversion of Cyclone QoS values into the interface's records, the QoS a participant of the
// layer is created with, and how a new record of a known entity is told apart from the stored
// one. No participant is created here.
#include "CycloneMemory.h"
#include "ParticipantQosBuilder.h"
#include "QosConversion.h"
#include "RecordChangeJournal.h"
#include "RecordDiff.h"

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

// Moves one field of what the named policy holds away from its present value.
template <typename Endpoint> bool changeEndpoint(Endpoint& e, const QString& policy)
{
    if (policy == QLatin1String("topic_name")) {
        e.topic_name += "2";
    } else if (policy == QLatin1String("type_name")) {
        e.type_name += "2";
    } else if (policy == QLatin1String("participant_key")) {
        e.participant_key.value[15] ^= 1;
    } else if (policy == QLatin1String("durability")) {
        e.durability.kind = 3;
    } else if (policy == QLatin1String("deadline")) {
        e.deadline.period.nanosec += 1;
    } else if (policy == QLatin1String("latency_budget")) {
        e.latency_budget.duration.sec += 1;
    } else if (policy == QLatin1String("liveliness")) {
        e.liveliness.lease_duration.sec += 1;
    } else if (policy == QLatin1String("reliability")) {
        e.reliability.kind = 2;
    } else if (policy == QLatin1String("user_data")) {
        e.user_data.value.push_back('x');
    } else if (policy == QLatin1String("ownership")) {
        e.ownership.kind = 1;
    } else if (policy == QLatin1String("destination_order")) {
        e.destination_order.kind = 1;
    } else if (policy == QLatin1String("presentation")) {
        e.presentation.ordered_access = !e.presentation.ordered_access;
    } else if (policy == QLatin1String("partition")) {
        std::swap(e.partition.name.front(), e.partition.name.back());
    } else if (policy == QLatin1String("topic_data")) {
        e.topic_data.value.clear();
    } else if (policy == QLatin1String("group_data")) {
        e.group_data.value[0] = 'G';
    } else {
        return false;
    }
    return true;
}

template <typename Endpoint> Endpoint endpointRecord()
{
    Endpoint e;
    e.key.value[0] = 1;
    e.participant_key.value[0] = 2;
    e.topic_name = "Track";
    e.type_name = "fleet::Track";
    e.deadline.period = {1, 500};
    e.reliability.kind = 1;
    e.user_data.value = {'u'};
    e.partition.name = {"A", "B"};
    e.topic_data.value = {'t'};
    e.group_data.value = {'g'};
    return e;
}

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
    // A record that differs from the stored one names exactly the policies that differ, by
    // their DDS names in record order; an identical one names none.
    void recordDiff_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("changed"); // applied in this order
        QTest::addColumn<QStringList>("names");
        const QStringList none;
        QTest::newRow("writer unchanged") << "writer" << none << none;
        QTest::newRow("reader unchanged") << "reader" << none << none;
        QTest::newRow("participant unchanged") << "participant" << none << none;
        const QStringList common{
            "topic_name",        "type_name",    "participant_key", "durability", "deadline",
            "latency_budget",    "liveliness",   "reliability",     "user_data",  "ownership",
            "destination_order", "presentation", "partition",       "topic_data", "group_data"};
        for (const QString& policy : common) {
            QTest::addRow("writer %s", qPrintable(policy))
                << "writer" << QStringList{policy} << QStringList{policy};
            QTest::addRow("reader %s", qPrintable(policy))
                << "reader" << QStringList{policy} << QStringList{policy};
        }
        QTest::newRow("writer durability_service (a field not shown)")
            << "writer" << QStringList{"durability_service"} << QStringList{"durability_service"};
        QTest::newRow("writer lifespan")
            << "writer" << QStringList{"lifespan"} << QStringList{"lifespan"};
        QTest::newRow("writer strength and user data")
            << "writer" << QStringList{"ownership_strength", "user_data"}
            << QStringList{"user_data", "ownership_strength"};
        QTest::newRow("reader time_based_filter")
            << "reader" << QStringList{"time_based_filter"} << QStringList{"time_based_filter"};
        QTest::newRow("reader partition and user data")
            << "reader" << QStringList{"partition", "user_data"}
            << QStringList{"user_data", "partition"};
        QTest::newRow("participant user_data")
            << "participant" << QStringList{"user_data"} << QStringList{"user_data"};
        QTest::newRow("participant property value")
            << "participant" << QStringList{"property value"} << QStringList{"property"};
        QTest::newRow("participant property order")
            << "participant" << QStringList{"property order"} << QStringList{"property"};
        QTest::newRow("participant property propagation")
            << "participant" << QStringList{"property propagate"} << QStringList{"property"};
    }

    void recordDiff()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, changed);
        QFETCH(QStringList, names);
        RecordDiff::Policies policies = 0;
        if (kind == QLatin1String("writer")) {
            const auto stored = endpointRecord<PublicationBuiltinTopicData>();
            auto fresh = stored;
            for (const QString& policy : changed) {
                if (policy == QLatin1String("durability_service")) {
                    fresh.durability_service.history_depth = 9;
                } else if (policy == QLatin1String("lifespan")) {
                    fresh.lifespan.duration.sec = 4;
                } else if (policy == QLatin1String("ownership_strength")) {
                    fresh.ownership_strength.value = 7;
                } else {
                    QVERIFY(changeEndpoint(fresh, policy));
                }
            }
            policies = RecordDiff::between(stored, fresh);
        } else if (kind == QLatin1String("reader")) {
            const auto stored = endpointRecord<SubscriptionBuiltinTopicData>();
            auto fresh = stored;
            for (const QString& policy : changed) {
                if (policy == QLatin1String("time_based_filter")) {
                    fresh.time_based_filter.minimum_separation.nanosec = 100;
                } else {
                    QVERIFY(changeEndpoint(fresh, policy));
                }
            }
            policies = RecordDiff::between(stored, fresh);
        } else {
            ParticipantBuiltinTopicData stored;
            stored.key.value[0] = 3;
            stored.user_data.value = {'p'};
            stored.property.value = {prop("a", "1"), prop("b", "2")};
            ParticipantBuiltinTopicData fresh = stored;
            for (const QString& change : changed) {
                if (change == QLatin1String("user_data")) {
                    fresh.user_data.value.clear();
                } else if (change == QLatin1String("property value")) {
                    fresh.property.value[1].value = "3";
                } else if (change == QLatin1String("property order")) {
                    std::swap(fresh.property.value[0], fresh.property.value[1]);
                } else {
                    fresh.property.value[0].propagate = false;
                }
            }
            policies = RecordDiff::between(stored, fresh);
        }
        QStringList actual;
        for (const std::string& name : RecordDiff::names(policies)) {
            actual << QString::fromStdString(name);
        }
        QCOMPARE(actual, names);
        QCOMPARE(policies == 0, names.isEmpty());
    }

    // One entry per entity until handed over, policies added up; a gone entity takes its
    // change with it; kinds are kept apart even for the same key.
    void journal()
    {
        const GuidKey a = GuidKey::fromBytes({1});
        const GuidKey b = GuidKey::fromBytes({2});
        const auto policies = [](std::initializer_list<const char*> names) {
            RecordDiff::Policies found = 0;
            PublicationBuiltinTopicData stored = endpointRecord<PublicationBuiltinTopicData>();
            PublicationBuiltinTopicData fresh = stored;
            for (const char* name : names) {
                if (std::string(name) == "ownership_strength") {
                    fresh.ownership_strength.value += 1;
                } else {
                    changeEndpoint(fresh, QLatin1String(name));
                }
            }
            found = RecordDiff::between(stored, fresh);
            return found;
        };
        RecordChangeJournal journal;
        journal.note(RecordKind::Publication, a, policies({"user_data"}));
        journal.note(RecordKind::Subscription, b, policies({"partition"}));
        journal.note(RecordKind::Subscription, a, policies({"deadline"}));
        journal.note(RecordKind::Publication, b, 0);
        journal.note(RecordKind::Publication, a, policies({"ownership_strength"}));
        journal.forget(RecordKind::Subscription, b);

        RecordChangeSeq changes;
        journal.takeAll(changes);
        QCOMPARE(changes.size(), size_t(2));
        QCOMPARE(int(changes[0].kind), int(RecordKind::Publication));
        QVERIFY(changes[0].handle == a.toHandle());
        QCOMPARE(changes[0].policies,
                 (std::vector<std::string>{"user_data", "ownership_strength"}));
        QCOMPARE(int(changes[1].kind), int(RecordKind::Subscription));
        QVERIFY(changes[1].handle == a.toHandle());
        QCOMPARE(changes[1].policies, std::vector<std::string>{"deadline"});

        journal.takeAll(changes);
        QVERIFY(changes.empty());
        // Forgotten and noticed again: a new entry at the end.
        journal.note(RecordKind::Subscription, b, policies({"topic_data"}));
        journal.takeAll(changes);
        QCOMPARE(changes.size(), size_t(1));
        QCOMPARE(changes[0].policies, std::vector<std::string>{"topic_data"});
    }
};

QTEST_APPLESS_MAIN(TestQosConversion)
#include "tst_qosconversion.moc"
