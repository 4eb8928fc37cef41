// The monitor against real DDS peers in other processes, over loopback: discovery, what the
// peers announce, peers leaving, and the event log of it all.
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

    void peerJoiningAndLeavingIsRecorded()
    {
        EventLog& log = MonitorEvents::log();
        const uint32_t domain = TestEnv::domain(3);
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
