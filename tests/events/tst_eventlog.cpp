// The discovery event log without widgets: the ring's bound and order, the lifetimes it keeps,
// the JSON form and time text of an event, and what the polling thread records on cases a
// middleware double sets up.
#include "DiscoveryRecorder.h"
#include "EventJson.h"
#include "EventTime.h"
#include "FakeParticipant.h"
#include "HandleText.h"
#include "MonitorEvents.h"
#include "MonitorFixture.h"
#include "StdoutCapture.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QtTest>
#include <memory>

using namespace ZORVAN;

namespace {

std::string keyBytes(uint8_t byte, uint8_t last = 0)
{
    return HandleText::keyOf(FakeParticipant::key(byte, last));
}

DiscoveryEvent makeEvent(DiscoveryEventKind kind, const std::string& key, int64_t ms)
{
    auto entity = std::make_shared<EntityDescription>();
    entity->key = key;
    entity->handle = HandleText::text(key);
    DiscoveryEvent e;
    e.time = EventStamp{ms, 0};
    e.domainId = 1;
    e.event = kind;
    e.kind = DiscoveredKind::Writer;
    e.entity = entity;
    return e;
}

ParticipantBuiltinTopicData participant(uint8_t id, const char* host)
{
    ParticipantBuiltinTopicData p;
    p.key = FakeParticipant::key(id);
    p.property.value = {{"dds.sys_info.hostname", host, true},
                        {"dds.sys_info.process_id", "4242", true},
                        {"dds.sys_info.executable_filepath", "/opt/bin/tracker", true},
                        {"dds.sys_info.ip", "10.0.0.7", true}};
    return p;
}

// A writer (keys 0x10…) or reader (0x20…) record of participant `owner`.
template <class Record> Record endpoint(uint8_t id, uint8_t owner, const char* topic)
{
    Record r;
    r.key =
        FakeParticipant::key(std::is_same_v<Record, PublicationBuiltinTopicData> ? 0x10 : 0x20, id);
    r.participant_key = FakeParticipant::key(owner);
    r.topic_name = topic;
    r.type_name = std::string("fleet::") + topic;
    return r;
}
const auto writer = endpoint<PublicationBuiltinTopicData>;
const auto reader = endpoint<SubscriptionBuiltinTopicData>;

// Each event after `afterSeq` as "joined writer Track@ops-node-7".
QStringList summary(const EventLog& log, uint64_t afterSeq)
{
    QStringList lines;
    for (const DiscoveryEvent& e : log.since(afterSeq)) {
        lines << QStringLiteral("%1 %2 %3@%4")
                     .arg(QLatin1String(EventJson::eventName(e.event)),
                          QLatin1String(EventJson::kindName(e.kind)), e.entity->topic,
                          e.entity->host)
                     .trimmed();
    }
    return lines;
}

} // namespace

class TestEventLog : public QObject
{
    Q_OBJECT

private slots:
    void ringKeepsTheNewestInOrder_data();
    void ringKeepsTheNewestInOrder();
    void lifetimesFollowJoinsAndLeaves();
    void jsonLine();
    void isoTimeAgreesWithQt();
    void recordsWhatThePollingThreadFinds();
    void domainWatchedAgainStartsOver();
    void qosChangeIsRecordedWithWhatTheEntityWas();
};

void TestEventLog::ringKeepsTheNewestInOrder_data()
{
    QTest::addColumn<int>("capacity"); // 0: the default
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("batch");
    QTest::newRow("below capacity") << 10 << 7 << 3;
    QTest::newRow("wrapped twice, small batches") << 10 << 25 << 3;
    QTest::newRow("one batch beyond capacity") << 10 << 37 << 37;
    QTest::newRow("default capacity") << 0 << 100250 << 5000;
}

void TestEventLog::ringKeepsTheNewestInOrder()
{
    QFETCH(int, capacity);
    QFETCH(int, total);
    QFETCH(int, batch);
    auto log =
        capacity > 0 ? std::make_unique<EventLog>(size_t(capacity)) : std::make_unique<EventLog>();
    QVERIFY(log->capacity() >= (capacity > 0 ? size_t(capacity) : 100000));
    QSignalSpy appended(log.get(), &EventLog::appended);
    log->append({});
    // Event i carries i as its time: what is held shows which were kept and in what order.
    for (int first = 1; first <= total; first += batch) {
        std::vector<DiscoveryEvent> events;
        for (int i = first; i < first + batch && i <= total; ++i) {
            events.push_back(makeEvent(DiscoveryEventKind::Joined, keyBytes(uint8_t(i)), i));
        }
        log->append(std::move(events));
    }
    QCOMPARE(appended.count(), (total + batch - 1) / batch);
    const int held = std::min(int(log->capacity()), total);
    QCOMPARE(log->lastSeq(), uint64_t(total));
    QCOMPARE(log->size(), size_t(held));
    const std::vector<DiscoveryEvent> all = log->since(0);
    QCOMPARE(int(all.size()), held);
    for (int i = 0; i < held; ++i) {
        QCOMPARE(all[size_t(i)].seq, uint64_t(total - held + 1 + i));
        QCOMPARE(all[size_t(i)].time.epochMs, int64_t(all[size_t(i)].seq));
    }
    // A reader that has seen some gets the rest; one that fell behind gets what is held.
    QCOMPARE(log->since(uint64_t(total - 3)).front().time.epochMs, int64_t(total - 2));
    QVERIFY(log->since(uint64_t(total)).empty());
    QCOMPARE(int(log->since(uint64_t(std::max(0, total - held - 1))).size()), held);
}

void TestEventLog::lifetimesFollowJoinsAndLeaves()
{
    using K = DiscoveryEventKind;
    EventLog log(4);
    const std::string a = keyBytes(0xa);
    const std::string b = keyBytes(0xb);
    const std::string c = keyBytes(0xc);
    const auto left = [&log](const std::string& key) {
        const std::optional<EntityLifetime> l = log.lifetime(1, key);
        return !l ? -1 : l->left ? l->left->epochMs : 0;
    };
    QVERIFY(!log.lifetime(1, a));
    log.append({makeEvent(K::Joined, a, 100), makeEvent(K::Left, a, 200)});
    QCOMPARE(left(a), int64_t(200));
    // The same handle in another domain is another entity.
    QVERIFY(!log.lifetime(2, a));
    // Back again: first seen stays, it is there again.
    log.append({makeEvent(K::Joined, a, 300)});
    QCOMPARE(log.lifetime(1, a)->firstSeen.epochMs, int64_t(100));
    QCOMPARE(left(a), int64_t(0));
    log.append({makeEvent(K::Joined, b, 400), makeEvent(K::Left, b, 500),
                makeEvent(K::Left, a, 600), makeEvent(K::Joined, c, 700)});
    // a's first leaving has gone from the ring, its last is held.
    QCOMPARE(left(a), int64_t(600));
    log.append({makeEvent(K::Joined, keyBytes(1), 800), makeEvent(K::Joined, keyBytes(2), 900)});
    // b's leaving has gone: so has b.
    QCOMPARE(left(b), int64_t(-1));
    QCOMPARE(left(a), int64_t(600));
    log.append({makeEvent(K::Joined, keyBytes(3), 1000), makeEvent(K::Joined, keyBytes(4), 1100)});
    QCOMPARE(left(a), int64_t(-1));
    // c is still there although its joining is no longer held.
    QCOMPARE(log.lifetime(1, c)->firstSeen.epochMs, int64_t(700));
    QCOMPARE(left(c), int64_t(0));
}

void TestEventLog::jsonLine()
{
    auto entity = std::make_shared<EntityDescription>();
    entity->key = keyBytes(0x0f, 0xa5);
    entity->handle = HandleText::text(entity->key);
    entity->recordRead = true;
    entity->topic = QString::fromUtf8("航迹 \"A\"\\B\n\x01");
    entity->type = QStringLiteral("fleet::Track");
    entity->placed = true;
    entity->host = QStringLiteral("ops-node-7");
    entity->ips = QStringLiteral("10.1.1.1,10.1.1.2");
    entity->process = QString::fromUtf8("跟踪器");
    entity->pid = 4242;
    DiscoveryEvent e;
    e.time = EventStamp{1714953605123, 8 * 3600};
    e.domainId = 17;
    e.kind = DiscoveredKind::Reader;
    e.entity = entity;
    const QByteArray line = EventJson::line(e);
    QVERIFY(line.startsWith("{\"time\":\"2024-05-06T08:00:05.123+08:00\",\"epoch_ms\":"));
    QVERIFY(!line.contains('\n'));
    QJsonObject expected{{"time", "2024-05-06T08:00:05.123+08:00"},
                         {"epoch_ms", 1714953605123.0},
                         {"domain", 17},
                         {"event", "joined"},
                         {"kind", "reader"},
                         {"handle", "0x0f0f0f0f0f0f0f0f0f0f0f0f0f0f0fa5"},
                         {"topic", entity->topic},
                         {"type", "fleet::Track"},
                         {"host", "ops-node-7"},
                         {"ips", "10.1.1.1,10.1.1.2"},
                         {"process", entity->process},
                         {"pid", 4242},
                         {"policies", QJsonArray()}};
    QCOMPARE(QJsonDocument::fromJson(line).object(), expected);

    // A participant has no topic; where an entity runs, and a writer's topic, may be unknown.
    for (DiscoveredKind kind : {DiscoveredKind::Participant, DiscoveredKind::Writer}) {
        e.kind = kind;
        e.event = DiscoveryEventKind::QosChanged;
        e.policies = QStringList{QStringLiteral("user_data"), QStringLiteral("partition")};
        entity->placed = false;
        entity->recordRead = kind == DiscoveredKind::Participant;
        for (const char* unknown : {"topic", "type", "host", "ips", "process", "pid"}) {
            expected[QLatin1String(unknown)] = QJsonValue::Null;
        }
        expected["kind"] = QLatin1String(EventJson::kindName(kind));
        expected["event"] = "qos_changed";
        expected["policies"] = QJsonArray{"user_data", "partition"};
        QCOMPARE(QJsonDocument::fromJson(EventJson::line(e)).object(), expected);
    }
}

void TestEventLog::isoTimeAgreesWithQt()
{
    QRandomGenerator random(20240506);
    for (int i = 0; i < 2000; ++i) {
        const qint64 ms = qint64(random.bounded(4102444800.0) * 1000) - 1000000000000;
        const int offset = (int(random.bounded(27u * 4)) - 12 * 4) * 15 * 60;
        QString qt = QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, offset)
                         .toString(Qt::ISODateWithMs)
                         .replace(QLatin1Char('Z'), QStringLiteral("+00:00"));
        QCOMPARE(EventTime::iso(EventStamp{ms, offset}), qt);
    }
    const EventStamp now = EventTime::now();
    const QDateTime local = QDateTime::fromMSecsSinceEpoch(now.epochMs);
    QCOMPARE(now.utcOffsetS, local.offsetFromUtc());
    QCOMPARE(EventTime::shown(now), local.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")));
}

void TestEventLog::recordsWhatThePollingThreadFinds()
{
    EventLog& log = MonitorEvents::log();
    QCOMPARE(&MonitorEvents::log(), &log);
    MonitorLib& monitor = MonitorLib::getInstance();
    MonitorFixture fixture;
    const uint32_t domain = 210;
    const uint64_t start = log.lastSeq();
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        FakeParticipant& fake = fixture.addDomainLocked(domain);
        // The monitor's own participant, listed like any other, is left out.
        ParticipantBuiltinTopicData own;
        own.key = FakeParticipant::key(0xee, uint8_t(domain));
        QVERIFY(HandleText::handleFromKey(own.key) == fake.get_instance_handle());
        fake.addParticipant(own);
        fake.addParticipant(participant(0x51, "ops-node-7"));
        fake.addSubscription(reader(1, 0x51, "Track"));
        fake.addPublication(writer(1, 0x51, "Track"));
    }
    // Seen in one pass: participants before their endpoints, one reading of the clock.
    const QStringList joined{QStringLiteral("joined participant @ops-node-7"),
                             QStringLiteral("joined writer Track@ops-node-7"),
                             QStringLiteral("joined reader Track@ops-node-7")};
    QTRY_COMPARE_WITH_TIMEOUT(summary(log, start), joined, 10000);
    const DiscoveryEvent track = log.since(start)[1];
    QCOMPARE(track.time, log.since(start)[0].time);
    QCOMPARE(track.entity->key, HandleText::keyOf(writer(1, 0x51, "").key));

    // The participant leaves with its endpoints, whose records are gone: the events say what
    // they were, endpoints first.
    const uint64_t beforeLeaving = log.lastSeq();
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        FakeParticipant& fake = *fixture.fake(domain);
        fake.removeSubscription(reader(1, 0x51, "").key);
        fake.removePublication(writer(1, 0x51, "").key);
        fake.removeParticipant(FakeParticipant::key(0x51));
    }
    QTRY_COMPARE_WITH_TIMEOUT(summary(log, beforeLeaving),
                              (QStringList{QStringLiteral("left writer Track@ops-node-7"),
                                           QStringLiteral("left reader Track@ops-node-7"),
                                           QStringLiteral("left participant @ops-node-7")}),
                              10000);
    QCOMPARE(log.since(beforeLeaving).front().entity, track.entity);

    // An endpoint whose record cannot be read is recorded with what is known, after the line.
    StdoutCapture out;
    const uint64_t beforeDangling = log.lastSeq();
    const InstanceHandle_t dangling = HandleText::handleFromKey(FakeParticipant::key(0x30, 9));
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        fixture.fake(domain)->addDanglingPublicationHandle(dangling);
    }
    QTRY_COMPARE_WITH_TIMEOUT(summary(log, beforeDangling), QStringList{"joined writer @"}, 10000);
    QCOMPARE(log.since(beforeDangling).front().entity->key, HandleText::keyOf(dangling));
    QVERIFY(!log.since(beforeDangling).front().entity->recordRead);
    QTRY_VERIFY_WITH_TIMEOUT(out.count(QStringLiteral("get_publication_data failed")) >= 1, 5000);
}

void TestEventLog::domainWatchedAgainStartsOver()
{
    // The operator drops the domain and enters it again: a new participant of the monitor in
    // the same table entry. What the first one saw does not "leave"; it all joins again, and
    // first seen stays the first time ever.
    EventLog& log = MonitorEvents::log();
    MonitorLib& monitor = MonitorLib::getInstance();
    const uint32_t domain = 211;
    FakeParticipant first(domain, 0xe1);
    FakeParticipant second(domain, 0xe2);
    for (FakeParticipant* fake : {&first, &second}) {
        fake->addParticipant(participant(0x61, "node-a"));
        fake->addPublication(writer(3, 0x61, "Status"));
    }
    const auto watch = [&](FakeParticipant* fake) {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        monitor.domains.erase(domain);
        monitor.ownParticipants.erase(first.get_instance_handle());
        monitor.ownParticipants.erase(second.get_instance_handle());
        if (fake) {
            monitor.domains[domain].m_metaParticipant = fake;
            monitor.ownParticipants.insert(fake->get_instance_handle());
        }
    };
    const uint64_t start = log.lastSeq();
    watch(&first);
    QTRY_COMPARE_WITH_TIMEOUT(log.since(start).size(), size_t(2), 10000);
    const DiscoveryEvent firstJoin = log.since(start).back();
    watch(&second);
    const QStringList once{"joined participant @node-a", "joined writer Status@node-a"};
    QTRY_COMPARE_WITH_TIMEOUT(summary(log, start), once + once, 10000);
    QCOMPARE(log.lifetime(domain, firstJoin.entity->key)->firstSeen, firstJoin.time);
    watch(nullptr);
}

void TestEventLog::qosChangeIsRecordedWithWhatTheEntityWas()
{
    // Nothing in the polling pass reports QoS changes yet: the recorder is driven directly,
    // with a double that is not in the monitor's table.
    DiscoveryRecorder recorder(100);
    MonitorLib& monitor = MonitorLib::getInstance();
    FakeParticipant fake(212);
    fake.addParticipant(participant(0x71, "node-q"));
    fake.addPublication(writer(4, 0x71, "Config"));
    HandleDelta delta;
    delta.added.push_back(HandleText::handleFromKey(writer(4, 0x71, "").key));
    const InstanceHandle_t unknown = HandleText::handleFromKey(writer(5, 0x71, "").key);
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        recorder.listChanged(monitor, fake, DiscoveredKind::Writer, delta);
    }
    recorder.passReleased();
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        recorder.qosChanged(monitor, fake, DiscoveredKind::Writer, delta.added[0],
                            {"user_data", "ownership_strength"});
        recorder.qosChanged(monitor, fake, DiscoveredKind::Writer, unknown, {"user_data"});
    }
    recorder.passReleased();
    QCOMPARE(summary(recorder.log(), 0),
             (QStringList{QStringLiteral("joined writer Config@node-q"),
                          QStringLiteral("qos_changed writer Config@node-q")}));
    const std::vector<DiscoveryEvent> events = recorder.log().since(0);
    QCOMPARE(events[1].entity, events[0].entity);
    QCOMPARE(events[1].policies, QString::fromLatin1("user_data ownership_strength").split(' '));
}

QTEST_GUILESS_MAIN(TestEventLog)
#include "tst_eventlog.moc"
