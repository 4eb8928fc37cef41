// The typed walks over one domain against the middleware double: what a failed listing or
// fetch prints and skips, what a walk reports, the participant behind an endpoint, and the
// walk over the watched domains.
#include "DiscoveryMirror.h"
#include "DomainWalk.h"
#include "FakeParticipant.h"
#include "HandleText.h"
#include "MonitorFixture.h"
#include "StdoutCapture.h"
#include "WatchedEndpoints.h"

#include <QtTest>

using namespace ZORVAN;

namespace {

// Two writers, two readers and their participant in a double of domain 220.
void fill(FakeParticipant& fake)
{
    ParticipantBuiltinTopicData p;
    p.key = FakeParticipant::key(0x01);
    p.property.value.push_back({"dds.sys_info.hostname", "walker", true});
    fake.addParticipant(p);
    for (uint8_t i = 1; i <= 2; ++i) {
        PublicationBuiltinTopicData w;
        w.key = FakeParticipant::key(0x10, i);
        w.participant_key = p.key;
        w.topic_name = "W" + std::to_string(i);
        fake.addPublication(w);
        SubscriptionBuiltinTopicData r;
        r.key = FakeParticipant::key(0x20, i);
        r.participant_key = FakeParticipant::key(0x0f); // a participant the double does not know
        r.topic_name = "R" + std::to_string(i);
        fake.addSubscription(r);
    }
}

} // namespace

class TestDomainWalk : public QObject
{
    Q_OBJECT

private slots:
    void walks_data();
    void walks();
    void silentListing();
    void ownerSysInfo();
    void watchedDomains();
    void watchedEndpoints_data();
    void watchedEndpoints();
    void mirrorFetchesWhatChanged();
};

void TestDomainWalk::walks_data()
{
    QTest::addColumn<QString>("failing"); // a FakeParticipant::Failures member, or empty
    QTest::addColumn<bool>("dangling");   // a listed writer without a record
    QTest::addColumn<bool>("listed");     // what the writer walk reports
    QTest::addColumn<QStringList>("visited");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("printed");
    QTest::newRow("nothing fails")
        << "" << false << true << QStringList{"W1", "W2"} << "get_publications failed" << 0;
    QTest::newRow("listing fails")
        << "publications" << false << false << QStringList{} << "get_publications failed" << 1;
    QTest::newRow("every fetch fails") << "publicationData" << false << true << QStringList{}
                                       << "get_publication_data failed" << 2;
    QTest::newRow("one endpoint gone")
        << "" << true << true << QStringList{"W1", "W2"} << "get_publication_data failed" << 1;
}

void TestDomainWalk::walks()
{
    QFETCH(QString, failing);
    QFETCH(bool, dangling);
    QFETCH(bool, listed);
    QFETCH(QStringList, visited);
    QFETCH(QString, line);
    QFETCH(int, printed);
    FakeParticipant fake(220);
    fill(fake);
    fake.failures.publications = failing == QLatin1String("publications");
    fake.failures.publicationData = failing == QLatin1String("publicationData");
    if (dangling) {
        fake.addDanglingPublicationHandle(HandleText::handleFromKey(FakeParticipant::key(0x1f)));
    }
    StdoutCapture out;
    DomainWalk walk(fake);
    QStringList topics;
    const bool result = walk.eachWriter([&](const InstanceHandle_t& handle, const auto& record) {
        QCOMPARE(HandleText::keyOf(handle), HandleText::keyOf(record.key));
        topics << QString::fromStdString(record.topic_name);
    });
    QCOMPARE(result, listed);
    QCOMPARE(topics, visited);
    QCOMPARE(out.count(line), printed);
    // The readers are walked all the same: a failed writer walk does not end the domain.
    int readers = 0;
    QVERIFY(walk.eachReader([&](const InstanceHandle_t&, const auto&) { ++readers; }));
    QCOMPARE(readers, 2);
}

// The data lookups list without a word; the walks do not.
void TestDomainWalk::silentListing()
{
    FakeParticipant fake(220);
    fill(fake);
    fake.failures.subscriptions = true;
    StdoutCapture out;
    DomainWalk walk(fake);
    InstanceHandleSeq handles{HandleText::handleFromKey(FakeParticipant::key(0x77))};
    QVERIFY(!walk.listReaders(handles, DomainWalk::Listing::Silent));
    QVERIFY(handles.empty());
    QCOMPARE(out.count(QStringLiteral("get_subscriptions failed")), 0);
    QVERIFY(!walk.listReaders(handles));
    QCOMPARE(out.count(QStringLiteral("get_subscriptions failed")), 1);
    QVERIFY(walk.listWriters(handles));
    QCOMPARE(int(handles.size()), 2);
}

// The writers' participant is known, the readers' is not: no defaults stand in for it.
void TestDomainWalk::ownerSysInfo()
{
    FakeParticipant fake(220);
    fill(fake);
    StdoutCapture out;
    DomainWalk walk(fake);
    QStringList hosts;
    auto owner = [&](const InstanceHandle_t&, const auto& record) {
        ParticipantSysInfo info;
        info.hostName = "untouched";
        const bool known = walk.ownerSysInfo(record.participant_key, info);
        hosts << QString::fromStdString(info.hostName) + (known ? "+" : "-");
    };
    QVERIFY(walk.eachWriter(owner));
    QVERIFY(walk.eachReader(owner));
    QCOMPARE(hosts, (QStringList{"walker+", "walker+", "untouched-", "untouched-"}));
    QCOMPARE(out.count(QStringLiteral("get_discovered_participant_data failed")), 2);
}

// Ascending domain ids, entries without a participant passed over, and a visit that returns
// false ends the walk.
void TestDomainWalk::watchedDomains()
{
    MonitorLib& monitor = MonitorLib::getInstance();
    MonitorFixture fixture;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    fixture.addDomainLocked(223);
    fixture.addDomainLocked(221);
    monitor.domains[222]; // an entry whose participant is not there
    std::vector<uint32_t> ids;
    DomainWalk::eachWatched(monitor, [&](DomainWalk& walk) { ids.push_back(walk.domainId()); });
    QCOMPARE(ids, (std::vector<uint32_t>{221, 223}));
    ids.clear();
    DomainWalk::eachWatched(monitor, [&](DomainWalk& walk) {
        ids.push_back(walk.domainId());
        return false;
    });
    QCOMPARE(ids, std::vector<uint32_t>{221});
    monitor.domains.erase(222);
}

void TestDomainWalk::watchedEndpoints_data()
{
    QTest::addColumn<QString>("failing"); // a FakeParticipant::Failures member, or empty
    QTest::addColumn<int>("participants");
    QTest::addColumn<QStringList>("topics"); // "name writers readers" of domain 226
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("printed");
    const QStringList all{"R1 0 1", "R2 0 1", "S 2 1", "W1 1 0", "W2 1 0"};
    QTest::newRow("nothing fails")
        << "" << 2 << all << "get_discovered_participant_data failed" << 1;
    QTest::newRow("participant list fails")
        << "participants" << 0 << all << "get_discovered_participants failed" << 1;
    QTest::newRow("writer list fails")
        << "publications" << 2 << QStringList{} << "get_publications failed" << 1;
    QTest::newRow("reader list fails")
        << "subscriptions" << 2 << QStringList{"S 2 0", "W1 1 0", "W2 1 0"}
        << "get_subscriptions failed" << 1;
}

// Every watched domain, also one with nothing; endpoints grouped by topic with where they run;
// an endpoint whose participant is not listed kept with the defaults, its participant asked
// once; the monitor's own participant not counted.
void TestDomainWalk::watchedEndpoints()
{
    QFETCH(QString, failing);
    QFETCH(int, participants);
    QFETCH(QStringList, topics);
    QFETCH(QString, line);
    QFETCH(int, printed);
    MonitorLib& monitor = MonitorLib::getInstance();
    MonitorFixture fixture;
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        fixture.addDomainLocked(225);
        FakeParticipant& fake = fixture.addDomainLocked(226);
        fill(fake);
        // A second participant in another process of the same host, with two writers and a
        // reader on one topic.
        ParticipantBuiltinTopicData p;
        p.key = FakeParticipant::key(0x02);
        p.property.value.push_back({"dds.sys_info.hostname", "walker", true});
        p.property.value.push_back({"dds.sys_info.process_id", "77", true});
        fake.addParticipant(p);
        // the monitor's own participant, listed like any other
        ParticipantBuiltinTopicData own;
        own.key = FakeParticipant::key(0xee, 226);
        fake.addParticipant(own);
        for (uint8_t i = 1; i <= 2; ++i) {
            PublicationBuiltinTopicData w;
            w.key = FakeParticipant::key(0x30, i);
            w.participant_key = p.key;
            w.topic_name = "S";
            fake.addPublication(w);
        }
        SubscriptionBuiltinTopicData r;
        r.key = FakeParticipant::key(0x40);
        r.participant_key = p.key;
        r.topic_name = "S";
        fake.addSubscription(r);
        fake.failures.participants = failing == QLatin1String("participants");
        fake.failures.publications = failing == QLatin1String("publications");
        fake.failures.subscriptions = failing == QLatin1String("subscriptions");
    }
    StdoutCapture out;
    const WatchedEndpoints seen = collectWatchedEndpoints(monitor);
    QCOMPARE(out.count(line), printed);
    QCOMPARE(int(seen.domains.size()), 2);
    QCOMPARE(seen.domains[0].id, 225u);
    QVERIFY(seen.domains[0].topics.empty());
    QCOMPARE(seen.domains[0].participants, size_t(0));
    const WatchedDomain& domain = seen.domains[1];
    QCOMPARE(domain.id, 226u);
    QCOMPARE(int(domain.participants), participants);
    // one host, the two processes of its participants
    QCOMPARE(int(domain.hosts), participants > 0 ? 1 : 0);
    QCOMPARE(int(domain.processes), participants);
    QStringList listed;
    for (const auto& topic : domain.topics) {
        listed << QStringLiteral("%1 %2 %3")
                      .arg(QString::fromStdString(topic.first))
                      .arg(topic.second->writers.size())
                      .arg(topic.second->readers.size());
        QCOMPARE(topic.second->name, topic.first);
    }
    QCOMPARE(listed, topics);
    QCOMPARE(domain.writerCount() + domain.readerCount(),
             size_t(topics.isEmpty()                            ? 0
                    : failing == QLatin1String("subscriptions") ? 4
                                                                : 7));
    if (!topics.isEmpty()) {
        const WatchedWriter& writer = domain.topics.at("S")->writers.at(1);
        QCOMPARE(writer.process.hostName, std::string("walker"));
        QCOMPARE(writer.processText(), QStringLiteral("/path/to/exe:77"));
        QCOMPARE(writer.handleText(),
                 HandleText::text(HandleText::keyOf(FakeParticipant::key(0x30, 2))));
    }
    if (failing.isEmpty()) {
        // The readers' participant is not listed: the defaults stand in for it.
        const WatchedReader& reader = domain.topics.at("R1")->readers.at(0);
        QCOMPARE(reader.processText(), QStringLiteral("/path/to/exe:1"));
        QCOMPARE(reader.process.hostName, std::string("RodedUZI"));
    }
}

// After the first collection only what changed is fetched: new handles, records announced
// anew and participants listed late; a topic that did not change is the same object.
void TestDomainWalk::mirrorFetchesWhatChanged()
{
    MonitorLib& monitor = MonitorLib::getInstance();
    MonitorFixture fixture;
    FakeParticipant* fake = nullptr;
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        fake = &fixture.addDomainLocked(227);
        fill(*fake);
    }
    DiscoveryMirror& mirror = DiscoveryMirror::of(monitor);
    WatchedDomain seen;
    const auto collect = [&]() {
        uint64_t before = 0;
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            before = mirror.fetches();
        }
        const WatchedEndpoints all = collectWatchedEndpoints(monitor);
        for (const WatchedDomain& domain : all.domains) {
            if (domain.id == 227) {
                seen = domain;
            }
        }
        std::lock_guard<std::mutex> lock(monitor.mutex);
        return int(mirror.fetches() - before);
    };
    QCOMPARE(collect(), 5);
    const WatchedDomain first = seen;
    QCOMPARE(int(first.topics.size()), 4);
    QCOMPARE(collect(), 0);
    QVERIFY(seen.topics.at("W1") == first.topics.at("W1"));

    PublicationBuiltinTopicData w;
    w.key = FakeParticipant::key(0x10, 1);
    w.participant_key = FakeParticipant::key(0x01);
    w.topic_name = "W1";
    PublicationBuiltinTopicData added = w;
    added.key = FakeParticipant::key(0x10, 3);
    w.reliability.kind = 1;
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        fake->addPublication(added);
        fake->addPublication(w); // announced anew
        fake->removePublication(FakeParticipant::key(0x10, 2));
    }
    const InstanceHandle_t changed = HandleText::handleFromKey(w.key);
    QTRY_VERIFY(monitor.recordRevision(changed) > 0);
    QCOMPARE(collect(), 2);
    QVERIFY(!seen.topics.count("W2"));
    QVERIFY(seen.topics.at("R1") == first.topics.at("R1"));
    const WatchedTopic& w1 = *seen.topics.at("W1");
    QCOMPARE(int(w1.writers.size()), 2);
    QCOMPARE(w1.writers[0].handle, changed);
    QCOMPARE(int(w1.writers[0].record->reliability.kind), 1);
    QCOMPARE(w1.writers[1].handle, HandleText::handleFromKey(added.key));
    QCOMPARE(int(first.topics.at("W1")->writers[0].record->reliability.kind), 0);

    // The readers' participant, listed after them, gives them its place.
    ParticipantBuiltinTopicData late;
    late.key = FakeParticipant::key(0x0f);
    late.property.value.push_back({"dds.sys_info.hostname", "late", true});
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        fake->addParticipant(late);
    }
    QCOMPARE(collect(), 1);
    QCOMPARE(seen.topics.at("R2")->readers.at(0).process.hostName, std::string("late"));
    QCOMPARE(int(seen.participants), 2);
    QCOMPARE(first.topics.at("R2")->readers.at(0).process.hostName, std::string("RodedUZI"));
}

QTEST_GUILESS_MAIN(TestDomainWalk)
#include "tst_domainwalk.moc"
