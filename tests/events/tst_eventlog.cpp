// The discovery event log without widgets: the ring's bound and order, the lifetimes it keeps,
// the JSON form and the time texts of an event, and the recording of what the polling thread
// finds, on cases a middleware double sets up.
#include "DiscoveryRecorder.h"
#include "EventJson.h"
#include "EventLog.h"
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

DiscoveryEvent makeEvent(DiscoveryEventKind kind, const std::string& key, int64_t ms,
                         uint32_t domain = 1)
{
    auto entity = std::make_shared<EntityDescription>();
    entity->key = key;
    entity->handle = HandleText::text(key);
    DiscoveryEvent e;
    e.time = EventStamp{ms, 0};
    e.domainId = domain;
    e.event = kind;
    e.kind = DiscoveredKind::Writer;
    e.entity = entity;
    return e;
}

QJsonObject parsed(const QByteArray& line)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        qWarning("not a JSON object: %s (%s)", line.constData(), qPrintable(error.errorString()));
        return QJsonObject();
    }
    return doc.object();
}

ParticipantBuiltinTopicData participant(uint8_t id, const char* host, const char* pid,
                                        const char* exe)
{
    ParticipantBuiltinTopicData p;
    p.key = FakeParticipant::key(id);
    p.property.value.push_back({"dds.sys_info.hostname", host, true});
    p.property.value.push_back({"dds.sys_info.process_id", pid, true});
    p.property.value.push_back({"dds.sys_info.executable_filepath", exe, true});
    p.property.value.push_back({"dds.sys_info.ip", "10.0.0.7", true});
    return p;
}

PublicationBuiltinTopicData writer(uint8_t id, uint8_t participantId, const char* topic)
{
    PublicationBuiltinTopicData w;
    w.key = FakeParticipant::key(0x10, id);
    w.participant_key = FakeParticipant::key(participantId);
    w.topic_name = topic;
    w.type_name = std::string("fleet::") + topic;
    return w;
}

SubscriptionBuiltinTopicData reader(uint8_t id, uint8_t participantId, const char* topic)
{
    SubscriptionBuiltinTopicData r;
    r.key = FakeParticipant::key(0x20, id);
    r.participant_key = FakeParticipant::key(participantId);
    r.topic_name = topic;
    r.type_name = std::string("fleet::") + topic;
    return r;
}

// A short description of each event after `afterSeq`: "joined writer Track".
QStringList summary(const EventLog& log, uint64_t afterSeq)
{
    QStringList lines;
    for (const DiscoveryEvent& e : log.since(afterSeq)) {
        lines << QString::fromLatin1(EventJson::eventName(e.event)) + QLatin1Char(' ') +
                     QString::fromLatin1(EventJson::kindName(e.kind)) +
                     (e.entity->topic.isEmpty() ? QString() : QLatin1Char(' ') + e.entity->topic);
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
    void appendedOncePerRecordingAppend();
    void lifetimesFollowJoinsAndLeaves();
    void jsonLineHasEveryField();
    void timeTexts_data();
    void timeTexts();
    void timeTextsAgreeWithQt();
    void recordsWhatThePollingThreadFinds();
    void domainWatchedAgainStartsOver();
    void qosChangeIsRecordedWithWhatTheEntityWas();
};

void TestEventLog::ringKeepsTheNewestInOrder_data()
{
    QTest::addColumn<int>("capacity");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("batch");
    QTest::newRow("below capacity") << 10 << 7 << 3;
    QTest::newRow("exactly full") << 10 << 10 << 4;
    QTest::newRow("wrapped twice, small batches") << 10 << 25 << 3;
    QTest::newRow("one batch beyond capacity") << 10 << 37 << 37;
    QTest::newRow("default capacity") << 0 << 100250 << 5000;
}

void TestEventLog::ringKeepsTheNewestInOrder()
{
    QFETCH(int, capacity);
    QFETCH(int, total);
    QFETCH(int, batch);
    std::unique_ptr<EventLog> owned =
        capacity > 0 ? std::make_unique<EventLog>(size_t(capacity)) : std::make_unique<EventLog>();
    EventLog& log = *owned;
    if (capacity == 0) {
        QVERIFY(log.capacity() >= 100000);
        capacity = int(log.capacity());
    }
    // Event i carries i as its time, so what is held shows which were kept and in what order.
    int appended = 0;
    while (appended < total) {
        std::vector<DiscoveryEvent> events;
        for (int i = 0; i < batch && appended < total; ++i) {
            ++appended;
            events.push_back(
                makeEvent(DiscoveryEventKind::Joined, keyBytes(uint8_t(appended)), appended));
        }
        log.append(std::move(events));
    }
    const int held = std::min(capacity, total);
    QCOMPARE(log.lastSeq(), uint64_t(total));
    QCOMPARE(log.size(), size_t(held));
    const std::vector<DiscoveryEvent> all = log.since(0);
    QCOMPARE(int(all.size()), held);
    for (int i = 0; i < held; ++i) {
        const int expected = total - held + 1 + i;
        QCOMPARE(all[size_t(i)].seq, uint64_t(expected));
        QCOMPARE(all[size_t(i)].time.epochMs, int64_t(expected));
    }
    // A reader that has seen some gets the rest; one that fell behind gets what is held.
    const std::vector<DiscoveryEvent> lastThree = log.since(uint64_t(total - 3));
    QCOMPARE(lastThree.size(), size_t(3));
    QCOMPARE(lastThree.front().time.epochMs, int64_t(total - 2));
    QVERIFY(log.since(uint64_t(total)).empty());
    if (total > held) {
        QCOMPARE(int(log.since(uint64_t(total - held - 1)).size()), held);
    }
}

void TestEventLog::appendedOncePerRecordingAppend()
{
    EventLog log(5);
    QSignalSpy spy(&log, &EventLog::appended);
    log.append({});
    QCOMPARE(spy.count(), 0);
    log.append({makeEvent(DiscoveryEventKind::Joined, keyBytes(1), 1),
                makeEvent(DiscoveryEventKind::Joined, keyBytes(2), 2)});
    QCOMPARE(spy.count(), 1);
    log.append({makeEvent(DiscoveryEventKind::Left, keyBytes(1), 3)});
    QCOMPARE(spy.count(), 2);
}

void TestEventLog::lifetimesFollowJoinsAndLeaves()
{
    EventLog log(4);
    const std::string a = keyBytes(0xa);
    const std::string b = keyBytes(0xb);
    const std::string c = keyBytes(0xc);
    QVERIFY(!log.lifetime(1, a));

    log.append({makeEvent(DiscoveryEventKind::Joined, a, 100)});
    QCOMPARE(log.lifetime(1, a)->firstSeen.epochMs, int64_t(100));
    QVERIFY(!log.lifetime(1, a)->left);
    // The same handle in another domain is another entity.
    QVERIFY(!log.lifetime(2, a));

    log.append({makeEvent(DiscoveryEventKind::Left, a, 200)});
    QCOMPARE(log.lifetime(1, a)->left->epochMs, int64_t(200));
    // Back again: first seen stays, it is no longer gone.
    log.append({makeEvent(DiscoveryEventKind::Joined, a, 300)});
    QCOMPARE(log.lifetime(1, a)->firstSeen.epochMs, int64_t(100));
    QVERIFY(!log.lifetime(1, a)->left);

    // b joins and leaves; a leaves again; then c's joins push every one of those out.
    log.append({makeEvent(DiscoveryEventKind::Joined, b, 400),
                makeEvent(DiscoveryEventKind::Left, b, 500),
                makeEvent(DiscoveryEventKind::Left, a, 600)});
    QCOMPARE(log.lifetime(1, a)->left->epochMs, int64_t(600));
    QCOMPARE(log.lifetime(1, b)->left->epochMs, int64_t(500));
    log.append({makeEvent(DiscoveryEventKind::Joined, c, 700)});
    // a's first leaving went, its last is still held.
    QCOMPARE(log.lifetime(1, a)->left->epochMs, int64_t(600));
    log.append({makeEvent(DiscoveryEventKind::Joined, keyBytes(0xd), 800),
                makeEvent(DiscoveryEventKind::Joined, keyBytes(0xe), 900)});
    QVERIFY(!log.lifetime(1, b));
    QCOMPARE(log.lifetime(1, a)->left->epochMs, int64_t(600));
    log.append({makeEvent(DiscoveryEventKind::Joined, keyBytes(0xf), 1000)});
    QVERIFY(!log.lifetime(1, a));
    // c is still there: its lifetime stays although its joining is no longer held.
    log.append({makeEvent(DiscoveryEventKind::Joined, keyBytes(0x1), 1100),
                makeEvent(DiscoveryEventKind::Joined, keyBytes(0x2), 1200)});
    QCOMPARE(log.lifetime(1, c)->firstSeen.epochMs, int64_t(700));
    QVERIFY(!log.lifetime(1, c)->left);
}

void TestEventLog::jsonLineHasEveryField()
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
    e.event = DiscoveryEventKind::Joined;
    e.kind = DiscoveredKind::Reader;
    e.entity = entity;

    const QByteArray line = EventJson::line(e);
    QVERIFY(!line.contains('\n'));
    QVERIFY(line.startsWith("{\"time\":"));
    const QJsonObject json = parsed(line);
    const QStringList fields = {
        QStringLiteral("time"),    QStringLiteral("epoch_ms"), QStringLiteral("domain"),
        QStringLiteral("event"),   QStringLiteral("kind"),     QStringLiteral("handle"),
        QStringLiteral("topic"),   QStringLiteral("type"),     QStringLiteral("host"),
        QStringLiteral("ips"),     QStringLiteral("process"),  QStringLiteral("pid"),
        QStringLiteral("policies")};
    QStringList keys = json.keys();
    QStringList sortedFields = fields;
    keys.sort();
    sortedFields.sort();
    QCOMPARE(keys, sortedFields);
    QCOMPARE(json[QStringLiteral("time")].toString(),
             QStringLiteral("2024-05-06T08:00:05.123+08:00"));
    QCOMPARE(json[QStringLiteral("epoch_ms")].toDouble(), 1714953605123.0);
    QCOMPARE(json[QStringLiteral("domain")].toInt(), 17);
    QCOMPARE(json[QStringLiteral("event")].toString(), QStringLiteral("joined"));
    QCOMPARE(json[QStringLiteral("kind")].toString(), QStringLiteral("reader"));
    QCOMPARE(json[QStringLiteral("handle")].toString(),
             QStringLiteral("0x0f0f0f0f0f0f0f0f0f0f0f0f0f0f0fa5"));
    QCOMPARE(json[QStringLiteral("topic")].toString(), entity->topic);
    QCOMPARE(json[QStringLiteral("type")].toString(), entity->type);
    QCOMPARE(json[QStringLiteral("host")].toString(), entity->host);
    QCOMPARE(json[QStringLiteral("ips")].toString(), entity->ips);
    QCOMPARE(json[QStringLiteral("process")].toString(), entity->process);
    QCOMPARE(json[QStringLiteral("pid")].toInt(), 4242);
    QCOMPARE(json[QStringLiteral("policies")].toArray(), QJsonArray());

    // A participant has no topic or type; where an entity runs may be unknown.
    e.kind = DiscoveredKind::Participant;
    entity->placed = false;
    e.event = DiscoveryEventKind::Left;
    QJsonObject other = parsed(EventJson::line(e));
    QCOMPARE(other[QStringLiteral("event")].toString(), QStringLiteral("left"));
    QCOMPARE(other[QStringLiteral("kind")].toString(), QStringLiteral("participant"));
    for (const char* unknown : {"topic", "type", "host", "ips", "process", "pid"}) {
        QVERIFY2(other[QLatin1String(unknown)].isNull(), unknown);
    }

    // A writer whose record could not be read: its topic is unknown, not empty.
    e.kind = DiscoveredKind::Writer;
    entity->recordRead = false;
    e.event = DiscoveryEventKind::QosChanged;
    e.policies = QStringList{QStringLiteral("user_data"), QStringLiteral("partition")};
    e.time = EventStamp{0, -(3 * 3600 + 30 * 60)};
    other = parsed(EventJson::line(e));
    QCOMPARE(other[QStringLiteral("event")].toString(), QStringLiteral("qos_changed"));
    QCOMPARE(other[QStringLiteral("kind")].toString(), QStringLiteral("writer"));
    QVERIFY(other[QStringLiteral("topic")].isNull());
    QCOMPARE(other[QStringLiteral("policies")].toArray(),
             (QJsonArray{QStringLiteral("user_data"), QStringLiteral("partition")}));
    QCOMPARE(other[QStringLiteral("time")].toString(),
             QStringLiteral("1969-12-31T20:30:00.000-03:30"));
}

void TestEventLog::timeTexts_data()
{
    QTest::addColumn<qint64>("epochMs");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("iso");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("clock");
    QTest::newRow("UTC") << qint64(1714953605123) << 0
                         << QStringLiteral("2024-05-06T00:00:05.123+00:00")
                         << QStringLiteral("2024-05-06 00:00:05.123") << QStringLiteral("00:00:05");
    QTest::newRow("east, next day")
        << qint64(1714953605123) << 9 * 3600 << QStringLiteral("2024-05-06T09:00:05.123+09:00")
        << QStringLiteral("2024-05-06 09:00:05.123") << QStringLiteral("09:00:05");
    QTest::newRow("west, day before")
        << qint64(1714953605123) << -5 * 3600 << QStringLiteral("2024-05-05T19:00:05.123-05:00")
        << QStringLiteral("2024-05-05 19:00:05.123") << QStringLiteral("19:00:05");
    QTest::newRow("before 1970") << qint64(-1) << 0
                                 << QStringLiteral("1969-12-31T23:59:59.999+00:00")
                                 << QStringLiteral("1969-12-31 23:59:59.999")
                                 << QStringLiteral("23:59:59");
    QTest::newRow("leap day") << qint64(951782400000) << 3600
                              << QStringLiteral("2000-02-29T01:00:00.000+01:00")
                              << QStringLiteral("2000-02-29 01:00:00.000")
                              << QStringLiteral("01:00:00");
}

void TestEventLog::timeTexts()
{
    QFETCH(qint64, epochMs);
    QFETCH(int, offset);
    const EventStamp stamp{epochMs, offset};
    QTEST(EventTime::iso(stamp), "iso");
    QTEST(EventTime::shown(stamp), "shown");
    QTEST(EventTime::clock(stamp), "clock");
}

void TestEventLog::timeTextsAgreeWithQt()
{
    QRandomGenerator random(20240506);
    for (int i = 0; i < 2000; ++i) {
        const qint64 ms = qint64(random.bounded(4102444800.0) * 1000) - 1000000000000;
        const int offset = (int(random.bounded(27u * 4)) - 12 * 4) * 15 * 60;
        const QDateTime qt = QDateTime::fromMSecsSinceEpoch(ms, Qt::OffsetFromUTC, offset);
        const QString iso = EventTime::iso(EventStamp{ms, offset});
        // Qt writes a zero offset as "Z".
        QString expected = qt.toString(Qt::ISODateWithMs);
        if (expected.endsWith(QLatin1Char('Z'))) {
            expected.chop(1);
            expected += QStringLiteral("+00:00");
        }
        QCOMPARE(iso, expected);
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
    const uint64_t start = log.lastSeq();
    const uint32_t domain = 210;
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        FakeParticipant& fake = fixture.addDomainLocked(domain);
        // The monitor's own participant, listed like any other, is left out.
        ParticipantBuiltinTopicData own;
        own.key = FakeParticipant::key(0xee, uint8_t(domain));
        QVERIFY(HandleText::handleFromKey(own.key) == fake.get_instance_handle());
        fake.addParticipant(own);
        fake.addParticipant(participant(0x51, "ops-node-7", "4242", "/opt/fleet/bin/tracker"));
        // Listed first, recorded after the participant that owns it.
        fake.addSubscription(reader(1, 0x51, "Track"));
        fake.addPublication(writer(1, 0x51, "Track"));
        fake.addPublication(writer(2, 0x51, "Plan"));
    }
    QTRY_COMPARE_WITH_TIMEOUT(
        summary(log, start),
        (QStringList{QStringLiteral("joined participant"), QStringLiteral("joined writer Track"),
                     QStringLiteral("joined writer Plan"), QStringLiteral("joined reader Track")}),
        10000);
    const std::vector<DiscoveryEvent> joined = log.since(start);
    for (const DiscoveryEvent& e : joined) {
        QCOMPARE(e.domainId, domain);
        QVERIFY(e.entity->placed);
        QCOMPARE(e.entity->host, QStringLiteral("ops-node-7"));
        QCOMPARE(e.entity->ips, QStringLiteral("10.0.0.7"));
        QCOMPARE(e.entity->process, QStringLiteral("tracker"));
        QCOMPARE(e.entity->pid, 4242u);
        // Seen in one pass, stamped with one reading of the clock.
        QCOMPARE(e.time, joined.front().time);
    }
    const DiscoveryEvent& track = joined[1];
    QCOMPARE(track.entity->key, HandleText::keyOf(writer(1, 0x51, "").key));
    QCOMPARE(track.entity->type, QStringLiteral("fleet::Track"));
    QCOMPARE(track.entity->handle, HandleText::text(track.entity->key));
    QVERIFY(track.entity->recordRead);
    QCOMPARE(log.lifetime(domain, track.entity->key)->firstSeen, track.time);
    QVERIFY(!log.lifetime(domain, track.entity->key)->left);

    // The participant leaves with its endpoints, whose records are gone: the events say what
    // they were, endpoints first.
    const uint64_t beforeLeaving = log.lastSeq();
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        FakeParticipant& fake = *fixture.fake(domain);
        fake.removeSubscription(reader(1, 0x51, "").key);
        fake.removePublication(writer(1, 0x51, "").key);
        fake.removePublication(writer(2, 0x51, "").key);
        fake.removeParticipant(FakeParticipant::key(0x51));
    }
    QTRY_COMPARE_WITH_TIMEOUT(
        summary(log, beforeLeaving),
        (QStringList{QStringLiteral("left writer Track"), QStringLiteral("left writer Plan"),
                     QStringLiteral("left reader Track"), QStringLiteral("left participant")}),
        10000);
    const std::vector<DiscoveryEvent> left = log.since(beforeLeaving);
    QCOMPARE(left.front().entity, track.entity);
    QCOMPARE(log.lifetime(domain, track.entity->key)->left, left.front().time);
    QCOMPARE(log.lifetime(domain, track.entity->key)->firstSeen, track.time);

    // An endpoint whose record cannot be read is recorded with what is known, after the line.
    StdoutCapture out;
    const uint64_t beforeDangling = log.lastSeq();
    InstanceHandle_t dangling = HandleText::handleFromKey(FakeParticipant::key(0x30, 9));
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        fixture.fake(domain)->addDanglingPublicationHandle(dangling);
    }
    QTRY_COMPARE_WITH_TIMEOUT(summary(log, beforeDangling),
                              QStringList{QStringLiteral("joined writer")}, 10000);
    const DiscoveryEvent unread = log.since(beforeDangling).front();
    QVERIFY(!unread.entity->recordRead);
    QVERIFY(!unread.entity->placed);
    QCOMPARE(unread.entity->key, HandleText::keyOf(dangling));
    QTRY_VERIFY_WITH_TIMEOUT(out.count(QStringLiteral("get_publication_data failed")) >= 1, 5000);
}

void TestEventLog::domainWatchedAgainStartsOver()
{
    EventLog& log = MonitorEvents::log();
    MonitorLib& monitor = MonitorLib::getInstance();
    const uint32_t domain = 211;
    // Two participants of the monitor in turn, as when the operator drops the domain and
    // enters it again: a new table entry with a new participant.
    FakeParticipant first(domain, 0xe1);
    FakeParticipant second(domain, 0xe2);
    for (FakeParticipant* fake : {&first, &second}) {
        fake->addParticipant(participant(0x61, "node-a", "7", "/bin/a"));
        fake->addPublication(writer(3, 0x61, "Status"));
    }
    const auto watch = [&](FakeParticipant* fake, FakeParticipant* before) {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        if (before) {
            monitor.ownParticipants.erase(before->get_instance_handle());
        }
        monitor.domains.erase(domain);
        if (fake) {
            monitor.domains[domain].m_metaParticipant = fake;
            monitor.ownParticipants.insert(fake->get_instance_handle());
        }
    };
    const uint64_t start = log.lastSeq();
    watch(&first, nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(log.since(start).size(), size_t(2), 10000);
    const DiscoveryEvent firstJoin = log.since(start).back();
    // Nothing that the first participant saw is reported as having left: the monitor only
    // stopped looking. Everything joins again through the second one.
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        first.removePublication(writer(3, 0x61, "").key);
    }
    watch(&second, &first);
    QTRY_COMPARE_WITH_TIMEOUT(
        summary(log, start),
        (QStringList{QStringLiteral("joined participant"), QStringLiteral("joined writer Status"),
                     QStringLiteral("joined participant"), QStringLiteral("joined writer Status")}),
        10000);
    // First seen is the first time ever.
    QCOMPARE(log.lifetime(domain, firstJoin.entity->key)->firstSeen, firstJoin.time);
    watch(nullptr, &second);
}

void TestEventLog::qosChangeIsRecordedWithWhatTheEntityWas()
{
    // Nothing in the polling pass reports QoS changes yet: the recorder is driven directly,
    // with a double that is not in the monitor's table.
    DiscoveryRecorder recorder(100);
    EventLog& log = recorder.log();
    MonitorLib& monitor = MonitorLib::getInstance();
    FakeParticipant fake(212);
    fake.addParticipant(participant(0x71, "node-q", "9", "/bin/q"));
    fake.addPublication(writer(4, 0x71, "Config"));
    const InstanceHandle_t handle = HandleText::handleFromKey(writer(4, 0x71, "").key);
    const InstanceHandle_t unknown = HandleText::handleFromKey(writer(5, 0x71, "").key);
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        HandleDelta delta;
        delta.changed = true;
        delta.added.push_back(handle);
        recorder.listChanged(monitor, fake, DiscoveredKind::Writer, delta);
    }
    recorder.passReleased();
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        recorder.qosChanged(monitor, fake, DiscoveredKind::Writer, handle,
                            {"user_data", "ownership_strength"});
        recorder.qosChanged(monitor, fake, DiscoveredKind::Writer, unknown, {"user_data"});
    }
    recorder.passReleased();
    QCOMPARE(summary(log, 0), (QStringList{QStringLiteral("joined writer Config"),
                                           QStringLiteral("qos_changed writer Config")}));
    const std::vector<DiscoveryEvent> events = log.since(0);
    QCOMPARE(events[1].entity, events[0].entity);
    QCOMPARE(events[1].policies,
             (QStringList{QStringLiteral("user_data"), QStringLiteral("ownership_strength")}));
    QCOMPARE(events[1].entity->host, QStringLiteral("node-q"));
    QVERIFY(events[0].policies.isEmpty());
}

QTEST_GUILESS_MAIN(TestEventLog)
#include "tst_eventlog.moc"
