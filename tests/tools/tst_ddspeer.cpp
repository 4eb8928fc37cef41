// dds-peer and brelvane-demo seen from another process through the plain middleware API: what
// they print must be what they announce, they must leave when told to, and dds-peer changes
// QoS when told to.
#include "PeerProcess.h"
#include "TestEnv.h"

#include <dds/dds.h>
#include <dds/ddsi/ddsi_xqos.h>

#include <QtTest>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <utility>

namespace {

using Properties = std::vector<std::pair<std::string, std::string>>;

std::string keyOf(const dds_builtintopic_guid_t& guid)
{
    return std::string(reinterpret_cast<const char*>(guid.v), sizeof guid.v);
}

// Calls `visit` for every sample the builtin reader holds, alive or not.
void forEachSample(dds_entity_t reader,
                   const std::function<void(const void*, const dds_sample_info_t&)>& visit)
{
    constexpr size_t max = 256;
    void* samples[max] = {};
    dds_sample_info_t infos[max];
    const dds_return_t n = dds_read(reader, samples, infos, max, max);
    for (dds_return_t i = 0; i < n; ++i) {
        visit(samples[i], infos[i]);
    }
    if (n > 0) {
        dds_return_loan(reader, samples, n);
    }
}

// The announced properties except those the middleware adds on its own ("__" names).
Properties ownProperties(const dds_qos_t* qos)
{
    Properties props;
    if (qos->present & QP_PROPERTY_LIST) {
        for (uint32_t i = 0; i < qos->property.value.n; ++i) {
            const dds_property_t& p = qos->property.value.props[i];
            if (std::strncmp(p.name, "__", 2) != 0) {
                props.emplace_back(p.name, p.value);
            }
        }
    }
    return props;
}

// A writer or reader as last announced, copied out of the reader's loan.
struct EndpointSeen
{
    std::string participantKey;
    std::string topic;
    std::string type;
    std::unique_ptr<dds_qos_t, void (*)(dds_qos_t*)> qos{nullptr, &dds_delete_qos};
};

bool findEndpoint(dds_entity_t reader, const std::string& key, EndpointSeen& out)
{
    bool found = false;
    forEachSample(reader, [&](const void* sample, const dds_sample_info_t& info) {
        const auto* e = static_cast<const dds_builtintopic_endpoint_t*>(sample);
        if (info.valid_data && keyOf(e->key) == key) {
            found = true;
            out.participantKey = keyOf(e->participant_key);
            out.topic = e->topic_name;
            out.type = e->type_name;
            out.qos.reset(dds_create_qos());
            dds_copy_qos(out.qos.get(), e->qos);
        }
    });
    return found;
}

// The bytes of the topic data or user data `get` reads from `qos`, "(unset)" without them.
std::string octets(const dds_qos_t* qos, bool (*get)(const dds_qos_t*, void**, size_t*))
{
    void* value = nullptr;
    size_t size = 0;
    if (!get(qos, &value, &size)) {
        return "(unset)";
    }
    const std::string text(static_cast<const char*>(value), size);
    dds_free(value);
    return text;
}

std::string topicData(const dds_qos_t* qos)
{
    return octets(qos, dds_qget_topicdata);
}

std::string userDataOf(const dds_qos_t* qos)
{
    return octets(qos, dds_qget_userdata);
}

} // namespace

class TestDdsPeer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void announcesWhatItPrints();
    void leavesWhenTold();
    void demoScenarioIsComplete();
    void changesQosOnCommand();

private:
    // Joins `domain` with builtin readers for participants, publications and subscriptions.
    void watch(uint32_t domain);
    // State of the participant `key` as last read: -1 unknown, 0 gone, 1 alive.
    int participantState(const std::string& key, Properties* props = nullptr,
                         std::string* userData = nullptr);

    dds_entity_t m_participant = 0;
    dds_entity_t m_participants = 0;
    dds_entity_t m_publications = 0;
    dds_entity_t m_subscriptions = 0;
};

void TestDdsPeer::init()
{
    QVERIFY2(!TestEnv::program("BRELVANE_DDS_PEER").isEmpty(), "BRELVANE_DDS_PEER not set");
}

void TestDdsPeer::cleanup()
{
    if (m_participant > 0) {
        dds_delete(m_participant);
    }
    m_participant = 0;
}

void TestDdsPeer::watch(uint32_t domain)
{
    m_participant = dds_create_participant(domain, nullptr, nullptr);
    QVERIFY(m_participant > 0);
    m_participants =
        dds_create_reader(m_participant, DDS_BUILTIN_TOPIC_DCPSPARTICIPANT, nullptr, nullptr);
    m_publications =
        dds_create_reader(m_participant, DDS_BUILTIN_TOPIC_DCPSPUBLICATION, nullptr, nullptr);
    m_subscriptions =
        dds_create_reader(m_participant, DDS_BUILTIN_TOPIC_DCPSSUBSCRIPTION, nullptr, nullptr);
    QVERIFY(m_participants > 0 && m_publications > 0 && m_subscriptions > 0);
}

int TestDdsPeer::participantState(const std::string& key, Properties* props, std::string* userData)
{
    int state = -1;
    forEachSample(m_participants, [&](const void* sample, const dds_sample_info_t& info) {
        const auto* p = static_cast<const dds_builtintopic_participant_t*>(sample);
        if (keyOf(p->key) != key) {
            return;
        }
        state = info.instance_state == DDS_IST_ALIVE ? 1 : 0;
        if (info.valid_data && props) {
            *props = ownProperties(p->qos);
        }
        void* value = nullptr;
        size_t size = 0;
        if (info.valid_data && userData && dds_qget_userdata(p->qos, &value, &size)) {
            userData->assign(static_cast<const char*>(value), size);
            dds_free(value);
        }
    });
    return state;
}

void TestDdsPeer::announcesWhatItPrints()
{
    watch(TestEnv::domain(0));
    PeerProcess peer;
    QVERIFY2(peer.startPeer(
                 {"--domain", QString::number(TestEnv::domain(0)), "--sysinfo",
                  "host=test-host,pid=4242,ip=10.0.0.1,ip=10.0.0.2,exe=/usr/bin/tool", "--prop",
                  "custom=yes", "--user-data", "hello", "--writer", "Probe@probe::Type", "--qos",
                  "reliability=reliable:0.5;durability=transient_local;deadline=2;"
                  "partition=A|B;ownership=exclusive:7;topicdata=td",
                  "--reader", "Probe@other::Type", "--qos", "partition=A;timebasedfilter=0.5"}),
             qPrintable(peer.errorString()));
    QCOMPARE(peer.participants().size(), size_t(1));
    QCOMPARE(peer.writers().size(), size_t(1));
    QCOMPARE(peer.readers().size(), size_t(1));
    QCOMPARE(peer.writers()[0].topic, QStringLiteral("Probe"));
    QCOMPARE(peer.readers()[0].topic, QStringLiteral("Probe"));
    const std::string participantKey = peer.participants()[0];

    Properties props;
    std::string userData;
    QTRY_COMPARE_WITH_TIMEOUT(participantState(participantKey, &props, &userData), 1, 15000);
    const Properties expected = {{"dds.sys_info.hostname", "test-host"},
                                 {"dds.sys_info.process_id", "4242"},
                                 {"dds.sys_info.ip", "10.0.0.1"},
                                 {"dds.sys_info.ip", "10.0.0.2"},
                                 {"dds.sys_info.executable_filepath", "/usr/bin/tool"},
                                 {"custom", "yes"}};
    QCOMPARE(props, expected);
    QCOMPARE(userData, std::string("hello"));

    EndpointSeen w;
    QTRY_VERIFY_WITH_TIMEOUT(findEndpoint(m_publications, peer.writers()[0].key, w), 15000);
    QCOMPARE(w.participantKey, participantKey);
    QCOMPARE(w.topic, std::string("Probe"));
    QCOMPARE(w.type, std::string("probe::Type"));
    dds_reliability_kind_t reliability;
    dds_duration_t blocking = 0;
    QVERIFY(dds_qget_reliability(w.qos.get(), &reliability, &blocking));
    QCOMPARE(reliability, DDS_RELIABILITY_RELIABLE);
    QCOMPARE(blocking, DDS_MSECS(500));
    dds_durability_kind_t durability;
    QVERIFY(dds_qget_durability(w.qos.get(), &durability));
    QCOMPARE(durability, DDS_DURABILITY_TRANSIENT_LOCAL);
    dds_duration_t deadline = 0;
    QVERIFY(dds_qget_deadline(w.qos.get(), &deadline));
    QCOMPARE(deadline, DDS_SECS(2));
    int32_t strength = 0;
    QVERIFY(dds_qget_ownership_strength(w.qos.get(), &strength));
    QCOMPARE(strength, 7);
    uint32_t n = 0;
    char** names = nullptr;
    QVERIFY(dds_qget_partition(w.qos.get(), &n, &names));
    std::string partitions;
    for (uint32_t i = 0; i < n; ++i) {
        partitions += std::string(i ? "," : "") + names[i];
        dds_free(names[i]);
    }
    dds_free(names);
    QCOMPARE(partitions, std::string("A,B"));
    QCOMPARE(topicData(w.qos.get()), std::string("td"));

    EndpointSeen r;
    QTRY_VERIFY_WITH_TIMEOUT(findEndpoint(m_subscriptions, peer.readers()[0].key, r), 15000);
    QCOMPARE(r.participantKey, participantKey);
    // Same topic, another type name, in the same participant.
    QCOMPARE(r.topic, std::string("Probe"));
    QCOMPARE(r.type, std::string("other::Type"));
    dds_duration_t filter = 0;
    QVERIFY(dds_qget_time_based_filter(r.qos.get(), &filter));
    QCOMPARE(filter, DDS_MSECS(500));
    // Topic data belongs to the topic, so the reader announces what the writer set.
    QCOMPARE(topicData(r.qos.get()), std::string("td"));
    QVERIFY(peer.stop());
}

void TestDdsPeer::leavesWhenTold()
{
    watch(TestEnv::domain(1));
    PeerProcess peer;
    QVERIFY2(peer.startPeer({"--domain", QString::number(TestEnv::domain(1)), "--participant",
                             "--prop", "role=stays", "--participant", "--prop", "role=leaves",
                             "--leave-after", "1"}),
             qPrintable(peer.errorString()));
    QCOMPARE(peer.participants().size(), size_t(2));
    const std::string stays = peer.participants()[0];
    const std::string leaves = peer.participants()[1];
    QVERIFY(stays != leaves);

    const QString left = peer.waitForLine(QStringLiteral("LEFT "));
    QCOMPARE(left, QStringLiteral("LEFT ") + PeerProcess::hexFromKey(leaves));
    QTRY_COMPARE_WITH_TIMEOUT(participantState(leaves), 0, 15000);
    Properties props;
    QTRY_COMPARE_WITH_TIMEOUT(participantState(stays, &props), 1, 15000);
    QCOMPARE(props, (Properties{{"role", "stays"}}));

    // SIGTERM: the process deletes its participant and exits 0.
    QVERIFY(peer.stop());
    QVERIFY(!peer.isRunning());
    QTRY_COMPARE_WITH_TIMEOUT(participantState(stays), 0, 15000);
}

void TestDdsPeer::demoScenarioIsComplete()
{
    QVERIFY2(!TestEnv::program("BRELVANE_DEMO").isEmpty(), "BRELVANE_DEMO not set");
    const uint32_t first = TestEnv::domain(2);
    const uint32_t second = TestEnv::domain(3);
    watch(second);
    PeerProcess demo;
    // The first churn comes 4 s after READY and takes the first domain's participants first,
    // so the second domain stays untouched while it is checked.
    QVERIFY2(demo.startDemo(
                 {"--domains", QStringLiteral("%1,%2").arg(first).arg(second), "--churn", "4"}),
             qPrintable(demo.errorString()));
    // Six participants, six writers and seven readers per domain (tools/demo/README.md).
    QCOMPARE(demo.participants().size(), size_t(12));
    QCOMPARE(demo.writers().size(), size_t(12));
    QCOMPARE(demo.readers().size(), size_t(14));
    std::map<QString, int> writersPerTopic;
    for (const PeerProcess::Endpoint& w : demo.writers()) {
        ++writersPerTopic[w.topic];
    }
    QCOMPARE(writersPerTopic.count(QStringLiteral("Command")), size_t(0));
    QCOMPARE(writersPerTopic[QStringLiteral("FlightPlan")], 4);

    // The second domain's participants are the last six; one announces no system
    // information, one two addresses, and the hosts differ.
    int withoutSysInfo = 0;
    int withTwoIps = 0;
    std::set<std::string> hosts;
    for (size_t i = 6; i < 12; ++i) {
        Properties props;
        QTRY_COMPARE_WITH_TIMEOUT(participantState(demo.participants()[i], &props), 1, 15000);
        int ips = 0;
        bool sysInfo = false;
        for (const auto& p : props) {
            sysInfo = sysInfo || p.first.rfind("dds.sys_info.", 0) == 0;
            ips += p.first == "dds.sys_info.ip";
            if (p.first == "dds.sys_info.hostname") {
                hosts.insert(p.second);
            }
        }
        withoutSysInfo += sysInfo ? 0 : 1;
        withTwoIps += ips == 2 ? 1 : 0;
    }
    QCOMPARE(withoutSysInfo, 1);
    QCOMPARE(withTwoIps, 1);
    QCOMPARE(hosts.size(), size_t(4));

    // Churn takes the participants in turn, starting with the first one created.
    QCOMPARE(demo.waitForLine(QStringLiteral("LEFT ")),
             QStringLiteral("LEFT ") + PeerProcess::hexFromKey(demo.participants()[0]));
    QVERIFY(demo.stop());
}

// With --commands a line on standard input changes a writer's QoS; every line is answered,
// and others see the writer announced again with the new values.
void TestDdsPeer::changesQosOnCommand()
{
    const uint32_t domain = TestEnv::domain(4);
    watch(domain);
    PeerProcess peer;
    QVERIFY2(peer.startPeer({"--domain", QString::number(domain), "--commands", "--writer", "Cmd",
                             "--qos", "userdata=one;ownership=exclusive:2"}),
             qPrintable(peer.errorString()));
    const std::string writerKey = peer.writers().at(0).key;
    const QString guid = PeerProcess::hexFromKey(writerKey);
    EndpointSeen seen;
    QTRY_VERIFY_WITH_TIMEOUT(findEndpoint(m_publications, writerKey, seen), 15000);
    QCOMPARE(userDataOf(seen.qos.get()), std::string("one"));

    QVERIFY(peer.send(QStringLiteral("hello")));
    QCOMPARE(peer.waitForLine(QStringLiteral("FAILED ")),
             QStringLiteral("FAILED unknown command 'hello'"));
    QVERIFY(peer.send(QStringLiteral("qos 0123 userdata=x")));
    QCOMPARE(peer.waitForLine(QStringLiteral("FAILED ")),
             QStringLiteral("FAILED no writer or reader 0123"));
    QVERIFY(peer.send(QStringLiteral("qos %1 nonsense=1").arg(guid)));
    QVERIFY(
        peer.waitForLine(QStringLiteral("FAILED ")).startsWith(QStringLiteral("FAILED nonsense")));
    // Durability cannot change once the writer exists.
    QVERIFY(peer.send(QStringLiteral("qos %1 durability=transient_local").arg(guid)));
    QVERIFY(peer.waitForLine(QStringLiteral("FAILED "))
                .startsWith(QStringLiteral("FAILED cannot change")));

    QVERIFY(peer.send(QStringLiteral("qos %1 userdata=two;ownership=exclusive:8").arg(guid)));
    QCOMPARE(peer.waitForLine(QStringLiteral("QOS ")), QStringLiteral("QOS ") + guid);
    int32_t strength = 0;
    QTRY_VERIFY_WITH_TIMEOUT(findEndpoint(m_publications, writerKey, seen) &&
                                 userDataOf(seen.qos.get()) == "two",
                             15000);
    QVERIFY(dds_qget_ownership_strength(seen.qos.get(), &strength));
    QCOMPARE(strength, 8);
}

QTEST_APPLESS_MAIN(TestDdsPeer)
#include "tst_ddspeer.moc"
