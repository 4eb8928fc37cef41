// The monitor against real DDS peers in other processes, over loopback: discovery, what the
// peers announce, peers leaving, peers changing their QoS, how soon the polling thread learns
// of new entities, and the event log of it all.
#include "ChangeCounter.h"
#include "DomainSelection.h"
#include "EventJson.h"
#include "HandleText.h"
#include "MonitorEvents.h"
#include "MonitorLib.h"
#include "ParticipantSysInfo.h"
#include "PeerProcess.h"
#include "TestEnv.h"

#include <QSysInfo>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

using namespace ZORVAN;

namespace {

// The monitor watches `domain` for the lifetime of the object.
class Watch
{
public:
    explicit Watch(uint32_t domain) : m_domain(domain)
    {
        DomainSelection::apply(MonitorLib::getInstance(), {domain}, {});
    }
    ~Watch() { DomainSelection::apply(MonitorLib::getInstance(), {}, {m_domain}); }

    template <class F> auto withParticipant(F f)
    {
        MonitorLib& monitor = MonitorLib::getInstance();
        std::lock_guard<std::mutex> lock(monitor.mutex);
        return f(*monitor.domains.at(m_domain).m_metaParticipant);
    }

    bool lists(const std::string& key, char kind)
    {
        return withParticipant([&](DomainParticipant& p) {
            InstanceHandleSeq handles;
            if (kind == 'p') {
                p.get_discovered_participants(handles);
            } else if (kind == 'w') {
                p.get_publications(handles, true);
            } else {
                p.get_subscriptions(handles, true);
            }
            const InstanceHandle_t wanted = HandleText::handleFromKey(key);
            return std::find(handles.begin(), handles.end(), wanted) != handles.end();
        });
    }

private:
    uint32_t m_domain;
};

// What the polling thread reported through its hooks: finished passes, record changes.
std::atomic<uint64_t> passesDone{0};
std::mutex changesMutex;
std::vector<RecordChange> reportedChanges; // guarded by changesMutex

void countPass(std::chrono::nanoseconds, std::chrono::nanoseconds)
{
    ++passesDone;
}

void collectChanges(uint32_t, const RecordChangeSeq& changes)
{
    std::lock_guard<std::mutex> lock(changesMutex);
    reportedChanges.insert(reportedChanges.end(), changes.begin(), changes.end());
}

std::vector<RecordChange> changesReported()
{
    std::lock_guard<std::mutex> lock(changesMutex);
    return reportedChanges;
}

// The policies reported changed for one entity, in the order reported.
QStringList policiesReported(const std::string& key, ZORVAN::RecordKind kind)
{
    QStringList policies;
    for (const RecordChange& change : changesReported()) {
        if (change.kind == kind && change.handle == HandleText::handleFromKey(key)) {
            for (const std::string& policy : change.policies) {
                policies << QString::fromStdString(policy);
            }
        }
    }
    return policies;
}

// Installs the hooks for one test and takes them out again.
class Hooks
{
public:
    Hooks()
    {
        {
            std::lock_guard<std::mutex> lock(changesMutex);
            reportedChanges.clear();
        }
        MonitorLib::getInstance().setPassObserver(countPass);
        MonitorLib::getInstance().setRecordChangeObserver(collectChanges);
    }
    ~Hooks()
    {
        MonitorLib::getInstance().setPassObserver(nullptr);
        MonitorLib::getInstance().setRecordChangeObserver(nullptr);
    }

    // Waits until `count` more passes have finished.
    static void waitForPasses(uint64_t count)
    {
        const uint64_t start = passesDone;
        QTRY_VERIFY_WITH_TIMEOUT(passesDone >= start + count, 10000);
    }
};

// Whether the polling thread's last pass listed the writer (read under the mutex, without a
// query that would take the middleware's new data away from the pass).
bool pollListsWriter(uint32_t domain, const std::string& key)
{
    MonitorLib& monitor = MonitorLib::getInstance();
    std::lock_guard<std::mutex> lock(monitor.mutex);
    const InstanceHandleSeq& listed = monitor.domains.at(domain).prevPublicationHandles;
    return std::find(listed.begin(), listed.end(), HandleText::handleFromKey(key)) != listed.end();
}

QString commandFor(const std::string& key, const char* qos)
{
    return QStringLiteral("qos ") + PeerProcess::hexFromKey(key) + QLatin1Char(' ') +
           QLatin1String(qos);
}

// The events about the entity with this key as "joined writer" lines, and the last of them.
QStringList eventsOf(const EventLog& log, const std::string& key, DiscoveryEvent* last = nullptr)
{
    QStringList lines;
    for (const DiscoveryEvent& e : log.since(0)) {
        if (e.entity->key == key) {
            lines << QStringLiteral("%1 %2").arg(QLatin1String(EventJson::eventName(e.event)),
                                                 QLatin1String(EventJson::kindName(e.kind)));
            if (last) {
                *last = e;
            }
        }
    }
    return lines;
}

QString durationText(const Duration_t& d)
{
    return QStringLiteral("%1,%2").arg(d.sec).arg(d.nanosec);
}

} // namespace

class TestMonitorDiscovery : public QObject
{
    Q_OBJECT

private slots:
    void demoSystemIsDiscovered()
    {
        const uint32_t domain = TestEnv::domain(0);
        PeerProcess demo;
        QVERIFY2(demo.startDemo({QStringLiteral("--domains"), QString::number(domain)}),
                 qPrintable(demo.errorString()));
        QCOMPARE(demo.participants().size(), size_t(6));

        ChangeCounter spy;
        Watch watch(domain);
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() >= 1, 15000);
        for (const std::string& key : demo.participants()) {
            QTRY_VERIFY_WITH_TIMEOUT(watch.lists(key, 'p'), 15000);
        }
        for (const PeerProcess::Endpoint& w : demo.writers()) {
            QTRY_VERIFY_WITH_TIMEOUT(watch.lists(w.key, 'w'), 15000);
        }
        for (const PeerProcess::Endpoint& r : demo.readers()) {
            QTRY_VERIFY_WITH_TIMEOUT(watch.lists(r.key, 'r'), 15000);
        }
        // The monitor's own participant is listed beside the demo's.
        QVERIFY(watch.withParticipant([](DomainParticipant& p) {
            InstanceHandleSeq handles;
            p.get_discovered_participants(handles);
            return std::find(handles.begin(), handles.end(), p.get_instance_handle()) !=
                   handles.end();
        }));
    }

    void peerAnnouncementsComeBackFieldByField()
    {
        const uint32_t domain = TestEnv::domain(1);
        PeerProcess peer;
        QVERIFY2(peer.startPeer({
                     QStringLiteral("--domain"),
                     QString::number(domain),
                     QStringLiteral("--participant"),
                     QStringLiteral("--sysinfo"),
                     QStringLiteral("host=ops-node-7,pid=4242,exe=/opt/fleet/bin/tracker,"
                                    "user=ops,ip=10.1.1.1,ip=10.1.1.2,target=arm64-linux"),
                     QStringLiteral("--prop"),
                     QStringLiteral("site=north"),
                     QStringLiteral("--user-data"),
                     QStringLiteral("hello"),
                     QStringLiteral("--writer"),
                     QStringLiteral("Track@fleet::Track"),
                     QStringLiteral("--qos"),
                     QStringLiteral("reliability=best_effort;durability=transient_local;"
                                    "deadline=1.5;liveliness=manual_by_topic:3;"
                                    "ownership=exclusive:7;partition=A|B;userdata=wud"),
                     QStringLiteral("--reader"),
                     QStringLiteral("Track@fleet::Track"),
                     QStringLiteral("--qos"),
                     QStringLiteral("reliability=reliable;deadline=inf;"
                                    "presentation=group:coherent:ordered;timebasedfilter=0.25"),
                 }),
                 qPrintable(peer.errorString()));
        Watch watch(domain);
        const std::string participantKey = peer.participants().at(0);
        const std::string writerKey = peer.writers().at(0).key;
        const std::string readerKey = peer.readers().at(0).key;
        QTRY_VERIFY_WITH_TIMEOUT(watch.lists(participantKey, 'p'), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(watch.lists(writerKey, 'w'), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(watch.lists(readerKey, 'r'), 15000);

        watch.withParticipant([&](DomainParticipant& p) {
            ParticipantBuiltinTopicData data;
            QCOMPARE(
                p.get_discovered_participant_data(data, HandleText::handleFromKey(participantKey)),
                RETCODE_OK);
            QCOMPARE(HandleText::keyOf(data.key), participantKey);
            QCOMPARE(data.user_data.value, (OctetSeq{'h', 'e', 'l', 'l', 'o'}));
            ParticipantSysInfo info;
            readSysInfo(data, info);
            QCOMPARE(info.hostName, std::string("ops-node-7"));
            QCOMPARE(info.pid, 4242u);
            QCOMPARE(info.processName, std::string("tracker"));
            QCOMPARE(info.executablePath, std::string("/opt/fleet/bin/tracker"));
            QCOMPARE(info.userName, std::string("ops"));
            QCOMPARE(info.ips, std::string("10.1.1.1,10.1.1.2"));
            QCOMPARE(info.target, std::string("arm64-linux"));
            bool site = false;
            for (const Property_t& prop : data.property.value) {
                site = site || (prop.name == "site" && prop.value == "north");
            }
            QVERIFY(site);

            PublicationBuiltinTopicData w;
            QCOMPARE(p.get_publication_data(w, HandleText::handleFromKey(writerKey)), RETCODE_OK);
            QCOMPARE(HandleText::keyOf(w.participant_key), participantKey);
            QCOMPARE(w.topic_name, std::string("Track"));
            QCOMPARE(w.type_name, std::string("fleet::Track"));
            QCOMPARE(int(w.reliability.kind), 1);
            QCOMPARE(int(w.durability.kind), 1);
            QCOMPARE(durationText(w.deadline.period), QStringLiteral("1,500000000"));
            QCOMPARE(int(w.liveliness.kind), 2);
            QCOMPARE(durationText(w.liveliness.lease_duration), QStringLiteral("3,0"));
            QCOMPARE(int(w.ownership.kind), 1);
            QCOMPARE(w.ownership_strength.value, 7);
            QCOMPARE(w.partition.name, (std::vector<std::string>{"A", "B"}));
            QCOMPARE(w.user_data.value, (OctetSeq{'w', 'u', 'd'}));

            SubscriptionBuiltinTopicData r;
            QCOMPARE(p.get_subscription_data(r, HandleText::handleFromKey(readerKey)), RETCODE_OK);
            QCOMPARE(r.topic_name, std::string("Track"));
            QCOMPARE(int(r.reliability.kind), 2);
            QCOMPARE(durationText(r.deadline.period), QStringLiteral("2147483647,2147483647"));
            QCOMPARE(int(r.presentation.access_scope), 2);
            QVERIFY(r.presentation.coherent_access);
            QVERIFY(r.presentation.ordered_access);
            QCOMPARE(durationText(r.time_based_filter.minimum_separation),
                     QStringLiteral("0,250000000"));
        });
    }

    void peerThatLeavesIsReportedAsRemoved()
    {
        const uint32_t domain = TestEnv::domain(2);
        PeerProcess peer;
        QVERIFY2(peer.startPeer({QStringLiteral("--domain"), QString::number(domain),
                                 QStringLiteral("--participant"), QStringLiteral("--writer"),
                                 QStringLiteral("Leaving"), QStringLiteral("--leave-after"),
                                 QStringLiteral("1"), QStringLiteral("--participant"),
                                 QStringLiteral("--reader"), QStringLiteral("Staying")}),
                 qPrintable(peer.errorString()));
        Watch watch(domain);
        const std::string leaving = peer.participants().at(0);
        const std::string staying = peer.participants().at(1);
        QTRY_VERIFY_WITH_TIMEOUT(watch.lists(peer.writers().at(0).key, 'w'), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(watch.lists(staying, 'p'), 15000);

        ChangeCounter spy;
        QVERIFY(!peer.waitForLine(QStringLiteral("LEFT ")).isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!watch.lists(leaving, 'p'), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!watch.lists(peer.writers().at(0).key, 'w'), 15000);
        // The polling thread reports the removals.
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() >= 2, 15000);
        QVERIFY(watch.lists(staying, 'p'));
        QVERIFY(watch.lists(peer.readers().at(0).key, 'r'));
        ParticipantBuiltinTopicData gone;
        QVERIFY(watch.withParticipant([&](DomainParticipant& p) {
            return p.get_discovered_participant_data(gone, HandleText::handleFromKey(leaving));
        }) != RETCODE_OK);
    }

    // A writer and a reader change their QoS under the same handles: the pass signals the
    // change and reports the policies that changed, the records read back the new values, and
    // the event log records the change with its policies.
    void qosChangesAreSignalled()
    {
        const EventLog& log = MonitorEvents::log();
        const uint32_t domain = TestEnv::domain(3);
        PeerProcess peer;
        QVERIFY2(peer.startPeer({QStringLiteral("--domain"), QString::number(domain),
                                 QStringLiteral("--commands"), QStringLiteral("--writer"),
                                 QStringLiteral("Tuned"), QStringLiteral("--qos"),
                                 QStringLiteral("ownership=exclusive:1;userdata=before"),
                                 QStringLiteral("--reader"), QStringLiteral("Tuned"),
                                 QStringLiteral("--qos"), QStringLiteral("userdata=r-before")}),
                 qPrintable(peer.errorString()));
        Watch watch(domain);
        const std::string writerKey = peer.writers().at(0).key;
        const std::string readerKey = peer.readers().at(0).key;
        QTRY_VERIFY_WITH_TIMEOUT(watch.lists(writerKey, 'w'), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(watch.lists(readerKey, 'r'), 15000);
        MonitorLib& monitor = MonitorLib::getInstance();
        QCOMPARE(monitor.recordRevision(HandleText::handleFromKey(writerKey)), uint64_t(0));
        // Both recorded as joined before they change: a change seen in the pass that finds the
        // entity is part of what joined.
        QTRY_COMPARE_WITH_TIMEOUT(eventsOf(log, writerKey),
                                  QStringList{QStringLiteral("joined writer")}, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(eventsOf(log, readerKey),
                                  QStringList{QStringLiteral("joined reader")}, 15000);

        Hooks hooks;
        ChangeCounter spy;
        QVERIFY(peer.send(commandFor(writerKey, "userdata=after;ownership=exclusive:5")));
        QVERIFY(!peer.waitForLine(QStringLiteral("QOS ")).isEmpty());
        QVERIFY(peer.send(commandFor(readerKey, "userdata=r-after")));
        QVERIFY(!peer.waitForLine(QStringLiteral("QOS ")).isEmpty());

        QTRY_COMPARE_WITH_TIMEOUT(policiesReported(writerKey, ZORVAN::RecordKind::Publication),
                                  (QStringList{"user_data", "ownership_strength"}), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(policiesReported(readerKey, ZORVAN::RecordKind::Subscription),
                                  QStringList{"user_data"}, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() >= 1, 15000);
        QVERIFY(monitor.recordRevision(HandleText::handleFromKey(writerKey)) > 0);
        QVERIFY(monitor.recordRevision(HandleText::handleFromKey(readerKey)) > 0);
        watch.withParticipant([&](DomainParticipant& p) {
            PublicationBuiltinTopicData w;
            QCOMPARE(p.get_publication_data(w, HandleText::handleFromKey(writerKey)), RETCODE_OK);
            QCOMPARE(w.user_data.value, (OctetSeq{'a', 'f', 't', 'e', 'r'}));
            QCOMPARE(w.ownership_strength.value, 5);
            SubscriptionBuiltinTopicData r;
            QCOMPARE(p.get_subscription_data(r, HandleText::handleFromKey(readerKey)), RETCODE_OK);
            QCOMPARE(r.user_data.value, (OctetSeq{'r', '-', 'a', 'f', 't', 'e', 'r'}));
        });
        DiscoveryEvent changed;
        QTRY_COMPARE_WITH_TIMEOUT(
            eventsOf(log, writerKey, &changed),
            (QStringList{QStringLiteral("joined writer"), QStringLiteral("qos_changed writer")}),
            15000);
        QCOMPARE(changed.policies, (QStringList{"user_data", "ownership_strength"}));
        QTRY_COMPARE_WITH_TIMEOUT(
            eventsOf(log, readerKey, &changed),
            (QStringList{QStringLiteral("joined reader"), QStringLiteral("qos_changed reader")}),
            15000);
        QCOMPARE(changed.policies, QStringList{"user_data"});
    }

    // A writer announced again with a record that reads as before (only its transport
    // priority, which no record carries, changed) is no change: its pass emits nothing. A
    // real change announced after it is reported alone, with its one policy.
    void unchangedRecordSignalsNothing()
    {
        const uint32_t domain = TestEnv::domain(4);
        PeerProcess peer;
        QVERIFY2(peer.startPeer({QStringLiteral("--domain"), QString::number(domain),
                                 QStringLiteral("--commands"), QStringLiteral("--writer"),
                                 QStringLiteral("Steady")}),
                 qPrintable(peer.errorString()));
        Watch watch(domain);
        const std::string writerKey = peer.writers().at(0).key;
        QTRY_VERIFY_WITH_TIMEOUT(watch.lists(writerKey, 'w'), 15000);
        MonitorLib& monitor = MonitorLib::getInstance();
        Hooks hooks;
        // Whatever discovery still had to announce has been announced.
        QTRY_VERIFY_WITH_TIMEOUT(pollListsWriter(domain, writerKey), 15000);
        Hooks::waitForPasses(2);
        const uint64_t before = monitor.signalCount();

        QVERIFY(peer.send(commandFor(writerKey, "transport_priority=3")));
        QVERIFY(!peer.waitForLine(QStringLiteral("QOS ")).isEmpty());
        Hooks::waitForPasses(3);
        QCOMPARE(monitor.signalCount(), before);
        QVERIFY(changesReported().empty());

        // Announced after the first by the same writer of the peer, so received after it.
        QVERIFY(peer.send(commandFor(writerKey, "lifespan=7")));
        QVERIFY(!peer.waitForLine(QStringLiteral("QOS ")).isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(policiesReported(writerKey, ZORVAN::RecordKind::Publication),
                                  QStringList{"lifespan"}, 15000);
        QCOMPARE(changesReported().size(), size_t(1));
        QCOMPARE(monitor.signalCount(), before + 1);
    }

    // The polling thread waits on the middleware's discovery data as well as on its heartbeat:
    // with the heartbeat an hour away, a new writer still reaches it, through a pass that the
    // data woke.
    void newWriterWakesThePollingThread()
    {
        const uint32_t domain = TestEnv::domain(5);
        MonitorLib& monitor = MonitorLib::getInstance();
        PassPacer& pacer = monitor.pacer();
        Hooks hooks;
        struct SlowHeartbeat
        {
            PassPacer& pacer;
            ~SlowHeartbeat() { pacer.setHeartbeat(std::chrono::milliseconds(200)); }
        } slow{pacer};
        pacer.setHeartbeat(std::chrono::hours(1));
        Watch watch(domain);
        // As the domain dialog does: the signal brings a pass that watches the new domain.
        emit monitor.dataChanged();
        Hooks::waitForPasses(1);
        QVERIFY(pacer.watchesDiscovery());
        const uint64_t heartbeats = pacer.wakes(PassPacer::Wake::Heartbeat);
        const uint64_t discoveries = pacer.wakes(PassPacer::Wake::Discovery);

        ChangeCounter spy;
        PeerProcess peer;
        QVERIFY2(peer.startPeer({QStringLiteral("--domain"), QString::number(domain),
                                 QStringLiteral("--writer"), QStringLiteral("Prompt")}),
                 qPrintable(peer.errorString()));
        const std::string writerKey = peer.writers().at(0).key;
        QTRY_VERIFY_WITH_TIMEOUT(pollListsWriter(domain, writerKey), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() >= 1, 15000);
        QVERIFY(pacer.wakes(PassPacer::Wake::Discovery) > discoveries);
        QCOMPARE(pacer.wakes(PassPacer::Wake::Heartbeat), heartbeats);
    }

    void peerJoiningAndLeavingIsRecorded()
    {
        EventLog& log = MonitorEvents::log();
        const uint32_t domain = TestEnv::domain(6);
        PeerProcess peer;
        QVERIFY2(peer.startPeer({QStringLiteral("--domain"), QString::number(domain),
                                 QStringLiteral("--participant"), QStringLiteral("--sysinfo"),
                                 QStringLiteral("host=ops-node-7,pid=4242,"
                                                "exe=/opt/fleet/bin/tracker,ip=10.1.1.1"),
                                 QStringLiteral("--writer"), QStringLiteral("Track@fleet::Track"),
                                 QStringLiteral("--reader"), QStringLiteral("Plan@fleet::Plan"),
                                 QStringLiteral("--leave-after"), QStringLiteral("2"),
                                 QStringLiteral("--participant"), QStringLiteral("--reader"),
                                 QStringLiteral("Staying")}),
                 qPrintable(peer.errorString()));
        Watch watch(domain);
        const std::string keys[] = {peer.participants().at(0), peer.writers().at(0).key,
                                    peer.readers().at(0).key, peer.readers().at(1).key};
        const QStringList kinds{QStringLiteral("participant"), QStringLiteral("writer"),
                                QStringLiteral("reader"), QStringLiteral("reader")};
        for (int i = 0; i < 4; ++i) {
            QTRY_COMPARE_WITH_TIMEOUT(eventsOf(log, keys[i]),
                                      QStringList{QStringLiteral("joined ") + kinds[i]}, 15000);
        }
        DiscoveryEvent writer;
        DiscoveryEvent other;
        eventsOf(log, keys[1], &writer);
        eventsOf(log, keys[3], &other);
        const EntityDescription& w = *writer.entity;
        QCOMPARE(writer.domainId, domain);
        QCOMPARE(QStringList({w.topic, w.type, w.handle, w.host, w.ips, w.process}),
                 QStringList({QStringLiteral("Track"), QStringLiteral("fleet::Track"),
                              HandleText::text(keys[1]), QStringLiteral("ops-node-7"),
                              QStringLiteral("10.1.1.1"), QStringLiteral("tracker")}));
        QCOMPARE(w.pid, 4242u);
        QCOMPARE(other.entity->topic, QStringLiteral("Staying"));
        // A participant that announces nothing of its own is placed by the middleware's
        // properties: this machine and the peer's process.
        QCOMPARE(other.entity->host, QSysInfo::machineHostName());
        QCOMPARE(qint64(other.entity->pid), peer.processId());
        QCOMPARE(other.entity->process, QStringLiteral("dds-peer"));
        QCOMPARE(log.lifetime(domain, keys[1])->firstSeen, writer.time);
        QVERIFY(!log.lifetime(domain, keys[1])->left);
        // The monitor's own participant is not recorded.
        QVERIFY(eventsOf(log, watch.withParticipant([](DomainParticipant& p) {
                    return HandleText::keyOf(p.get_instance_handle());
                })).isEmpty());

        // The first participant leaves with its endpoints: each leaving is recorded with what
        // it was, although its record is gone.
        QVERIFY(!peer.waitForLine(QStringLiteral("LEFT ")).isEmpty());
        for (int i = 0; i < 3; ++i) {
            QTRY_COMPARE_WITH_TIMEOUT(eventsOf(log, keys[i]),
                                      (QStringList{QStringLiteral("joined ") + kinds[i],
                                                   QStringLiteral("left ") + kinds[i]}),
                                      15000);
        }
        DiscoveryEvent left;
        eventsOf(log, keys[1], &left);
        QCOMPARE(left.entity, writer.entity);
        QCOMPARE(log.lifetime(domain, keys[1])->left, left.time);
        QCOMPARE(eventsOf(log, keys[3]), QStringList{QStringLiteral("joined reader")});
    }
};

QTEST_GUILESS_MAIN(TestMonitorDiscovery)
#include "tst_monitordiscovery.moc"
