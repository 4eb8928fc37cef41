// The polling thread: when it signals, what it queries, what it prints on failures, how it
// paces its passes; and the endpoint lookups on cases only a middleware double can set up.
#include "ChangeCounter.h"
#include "EndpointLookup.h"
#include "FakeParticipant.h"
#include "HandleText.h"
#include "MonitorFixture.h"
#include "PaceRule.h"
#include "StdoutCapture.h"

#include <QtTest>
#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

using namespace ZORVAN;

namespace {

PublicationBuiltinTopicData writer(uint8_t id, const char* topic, uint8_t participant = 0x50)
{
    PublicationBuiltinTopicData w;
    w.key = FakeParticipant::key(0x10, id);
    w.participant_key = FakeParticipant::key(participant);
    w.topic_name = topic;
    w.type_name = "T";
    return w;
}

SubscriptionBuiltinTopicData reader(uint8_t id, const char* topic, uint8_t participant = 0x50)
{
    SubscriptionBuiltinTopicData r;
    r.key = FakeParticipant::key(0x20, id);
    r.participant_key = FakeParticipant::key(participant);
    r.topic_name = topic;
    r.type_name = "T";
    return r;
}

ParticipantBuiltinTopicData participant(uint8_t id, const char* exe)
{
    ParticipantBuiltinTopicData p;
    p.key = FakeParticipant::key(id);
    if (exe) {
        p.property.value.push_back({"dds.sys_info.executable_filepath", exe, true});
    }
    return p;
}

// Passes the polling thread has finished; counted on the polling thread.
std::atomic<int> passes{0};

void countPass(std::chrono::nanoseconds, std::chrono::nanoseconds)
{
    ++passes;
}

// Record changes as the polling thread hands them to its observer.
std::mutex changesMutex;
std::vector<std::pair<uint32_t, RecordChange>> observedChanges; // guarded by changesMutex

void observeChanges(uint32_t domainId, const RecordChangeSeq& changes)
{
    std::lock_guard<std::mutex> lock(changesMutex);
    for (const RecordChange& change : changes) {
        observedChanges.emplace_back(domainId, change);
    }
}

std::vector<std::pair<uint32_t, RecordChange>> takeObservedChanges()
{
    std::lock_guard<std::mutex> lock(changesMutex);
    return std::move(observedChanges);
}

// Waits until the polling thread has finished two more passes, so that at least one whole pass
// began after the call, and the test has received what they announced.
void waitForPasses()
{
    const int start = passes;
    QTRY_VERIFY_WITH_TIMEOUT(passes >= start + 2, 10000);
    // A pass posts its queued signals before it counts itself.
    QCoreApplication::processEvents();
}

} // namespace

class TestMonitorPolling : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { MonitorLib::getInstance().setPassObserver(countPass); }

    void cleanupTestCase() { MonitorLib::getInstance().setPassObserver(nullptr); }

    void noDomainNoSignal()
    {
        ChangeCounter spy;
        waitForPasses();
        QCOMPARE(spy.count(), 0);
    }

    void emptyDomainNoSignal()
    {
        MonitorFixture fixture;
        FakeParticipant& fake = fixture.addDomain(200);
        ChangeCounter spy;
        QTRY_VERIFY_WITH_TIMEOUT(fake.listCalls >= 6, 10000);
        waitForPasses();
        QCOMPARE(spy.count(), 0);
    }

    void signalsAddedAndRemovedOncePerList()
    {
        MonitorLib& monitor = MonitorLib::getInstance();
        MonitorFixture fixture;
        ChangeCounter spy;
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            FakeParticipant& fake = fixture.addDomainLocked(201);
            fake.addParticipant(participant(0x50, "/bin/a"));
            fake.addPublication(writer(1, "A"));
            fake.addSubscription(reader(1, "A"));
        }
        // First pass: participants, publications and subscriptions all added.
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 3, 10000);
        waitForPasses();
        QCOMPARE(spy.count(), 3);

        // One writer appears and another disappears within one pass: two signals.
        spy.clear();
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            FakeParticipant& fake = *fixture.fake(201);
            fake.removePublication(writer(1, "A").key);
            fake.addPublication(writer(2, "A"));
        }
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 10000);
        waitForPasses();
        QCOMPARE(spy.count(), 2);
    }

    void failedListingsArePrintedAndLookLikeRemovals()
    {
        MonitorLib& monitor = MonitorLib::getInstance();
        MonitorFixture fixture;
        StdoutCapture out;
        ChangeCounter spy;
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            FakeParticipant& fake = fixture.addDomainLocked(202);
            fake.addPublication(writer(1, "A"));
        }
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 10000);
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            FakeParticipant& fake = *fixture.fake(202);
            fake.failures.participants = true;
            fake.failures.publications = true;
            fake.failures.subscriptions = true;
        }
        // The writer seems gone while the listing fails.
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(
            out.count(QStringLiteral("m_metaParticipant get_publications failed")) >= 1, 10000);
        QVERIFY(out.count(QStringLiteral("m_metaParticipant get_discovered_participants failed")) >=
                1);
        QVERIFY(out.count(QStringLiteral("m_metaParticipant get_subscriptions failed")) >= 1);
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            fixture.fake(202)->failures = FakeParticipant::Failures();
        }
        // ...and comes back with the next good pass.
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 3, 10000);
    }

    void lookupsAcrossDomains()
    {
        MonitorLib& monitor = MonitorLib::getInstance();
        MonitorFixture fixture;
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            // The same writer handle listed in two domains, with different records.
            FakeParticipant& low = fixture.addDomainLocked(203);
            low.addParticipant(participant(0x50, "/usr/bin/first"));
            low.addPublication(writer(7, "InLow"));
            FakeParticipant& high = fixture.addDomainLocked(204);
            high.addParticipant(participant(0x50, "/usr/bin/second"));
            high.addPublication(writer(7, "InHigh"));
            high.addSubscription(reader(3, "InHigh"));
        }
        const InstanceHandle_t handle = HandleText::handleFromKey(writer(7, "").key);

        EndpointInfo info;
        findEndpointInfo(monitor, 99, handle, WriterMatch, info);
        QCOMPARE(info.type, 1);
        QCOMPARE(info.domainId, 99u);
        QCOMPARE(info.topicName, QStringLiteral("InHigh"));
        QCOMPARE(info.processName, std::string("second"));
        QCOMPARE(info.handleKey, HandleText::keyOf(handle));
        QCOMPARE(info.participantKey, HandleText::keyOf(FakeParticipant::key(0x50)));

        const auto data = findPublicationData(monitor, handle);
        QVERIFY(data);
        QCOMPARE(data->topic_name, std::string("InLow"));

        // The wrong side finds nothing and leaves the record as it was.
        EndpointInfo untouched;
        findEndpointInfo(monitor, 0, handle, ReaderMatch, untouched);
        QCOMPARE(untouched.type, -1);
        QVERIFY(untouched.topicName.isEmpty());
        QVERIFY(!findSubscriptionData(monitor, handle));
        EndpointInfo otherType;
        findEndpointInfo(monitor, 0, handle, MatchType(2), otherType);
        QCOMPARE(otherType.type, -1);
    }

    void lookupFailuresArePrintedAndSkipped()
    {
        MonitorLib& monitor = MonitorLib::getInstance();
        MonitorFixture fixture;
        StdoutCapture out;
        const InstanceHandle_t handle = HandleText::handleFromKey(writer(8, "").key);
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            FakeParticipant& failing = fixture.addDomainLocked(205);
            failing.addPublication(writer(8, "Lost"));
            failing.failures.publications = true;
            FakeParticipant& noData = fixture.addDomainLocked(206);
            noData.addDanglingPublicationHandle(handle);
            // A match whose participant record cannot be fetched is not taken as found.
            FakeParticipant& good = fixture.addDomainLocked(207);
            good.addPublication(writer(8, "Found", 0x77));
        }
        EndpointInfo info;
        findEndpointInfo(monitor, 207, handle, WriterMatch, info);
        QCOMPARE(info.type, -1);
        QVERIFY(info.topicName.isEmpty());
        QVERIFY(info.processName.empty());
        QVERIFY(out.count(QStringLiteral("get_publications failed")) >= 1);
        QVERIFY(out.count(QStringLiteral("get_publication_data failed")) >= 1);
        QCOMPARE(out.count(QStringLiteral("get_discovered_participant_data failed")), 1);

        // Once the participant is known, the same search finds it.
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            fixture.fake(207)->addParticipant(participant(0x77, nullptr));
        }
        findEndpointInfo(monitor, 207, handle, WriterMatch, info);
        QCOMPARE(info.topicName, QStringLiteral("Found"));
        QCOMPARE(info.processName, std::string("/path/to/exe"));
        QCOMPARE(out.count(QStringLiteral("get_discovered_participant_data failed")), 1);
    }

    // A record that cannot be fetched is no record: the data lookups print the fetch's line and
    // return none, where a default record would pass for the endpoint's real QoS.
    void failedRecordFetchFindsNothing()
    {
        MonitorLib& monitor = MonitorLib::getInstance();
        MonitorFixture fixture;
        const InstanceHandle_t writerHandle = HandleText::handleFromKey(writer(9, "").key);
        const InstanceHandle_t readerHandle = HandleText::handleFromKey(reader(9, "").key);
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            FakeParticipant& fake = fixture.addDomainLocked(208);
            PublicationBuiltinTopicData w = writer(9, "Kept");
            w.durability.kind = 1;
            w.reliability.kind = 2;
            fake.addPublication(w);
            fake.addSubscription(reader(9, "Kept"));
        }
        QCOMPARE(int(findPublicationData(monitor, writerHandle)->durability.kind), 1);
        QVERIFY(findSubscriptionData(monitor, readerHandle));
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            fixture.fake(208)->failures.publicationData = true;
            fixture.fake(208)->failures.subscriptionData = true;
        }
        StdoutCapture out;
        QVERIFY(!findPublicationData(monitor, writerHandle));
        QVERIFY(!findSubscriptionData(monitor, readerHandle));
        QCOMPARE(out.count(QStringLiteral("get_publication_data failed")), 1);
        QCOMPARE(out.count(QStringLiteral("get_subscription_data failed")), 1);
    }

    // Records changed under their handles: one signal for all of a pass, handed to the
    // observer with their domain, and a revision per handle that is forgotten once the entity
    // has gone.
    void recordChangesSignalOncePerPass()
    {
        MonitorLib& monitor = MonitorLib::getInstance();
        MonitorFixture fixture;
        ChangeCounter spy;
        const PublicationBuiltinTopicData w = writer(1, "A");
        const InstanceHandle_t writerHandle = HandleText::handleFromKey(HandleText::keyOf(w.key));
        const InstanceHandle_t readerHandle =
            HandleText::handleFromKey(HandleText::keyOf(reader(1, "A").key));
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            fixture.addDomainLocked(208).addPublication(w);
        }
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 10000);
        QCOMPARE(monitor.recordRevision(writerHandle), uint64_t(0));

        monitor.setRecordChangeObserver(observeChanges);
        takeObservedChanges();
        spy.clear();
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            fixture.fake(208)->pendingChanges = {
                {RecordKind::Publication, writerHandle, {"user_data", "ownership_strength"}},
                {RecordKind::Subscription, readerHandle, {"partition"}}};
        }
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 10000);
        waitForPasses();
        QCOMPARE(spy.count(), 1);
        const auto observed = takeObservedChanges();
        QCOMPARE(observed.size(), size_t(2));
        QCOMPARE(observed[0].first, 208u);
        QVERIFY(observed[0].second.handle == writerHandle);
        QCOMPARE(observed[0].second.policies,
                 (std::vector<std::string>{"user_data", "ownership_strength"}));
        QCOMPARE(int(observed[1].second.kind), int(RecordKind::Subscription));
        const uint64_t first = monitor.recordRevision(writerHandle);
        QVERIFY(first > 0);
        QVERIFY(monitor.recordRevision(readerHandle) > first);

        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            fixture.fake(208)->pendingChanges = {
                {RecordKind::Publication, writerHandle, {"deadline"}}};
        }
        QTRY_VERIFY_WITH_TIMEOUT(monitor.recordRevision(writerHandle) > first, 10000);
        QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 10000);

        // The writer leaves: its handle has no revision any more.
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            fixture.fake(208)->removePublication(w.key);
        }
        QTRY_COMPARE_WITH_TIMEOUT(monitor.recordRevision(writerHandle), uint64_t(0), 10000);
        monitor.setRecordChangeObserver(nullptr);
        QCOMPARE(takeObservedChanges().size(), size_t(1));
    }

    // When passes are due: the heartbeat after the previous pass; discovery data sooner, but
    // not closer than the minimum interval; during a burst of changes, the heartbeat again.
    void paceRule()
    {
        using std::chrono::milliseconds;
        const PaceRule::Clock::time_point t0{std::chrono::seconds(1000)};
        PaceRule rule;
        rule.passRan(t0, t0 + milliseconds(2), 0);
        QVERIFY(rule.heartbeatAt() == t0 + milliseconds(202));
        QVERIFY(rule.discoveryPassAt(t0 + milliseconds(5)) == t0 + milliseconds(20));
        QVERIFY(rule.discoveryPassAt(t0 + milliseconds(70)) == t0 + milliseconds(70));

        // A domain joined: thousands found at once.
        rule.passRan(t0 + milliseconds(70), t0 + milliseconds(80), 5000);
        QVERIFY(rule.inBurst(t0 + milliseconds(100)));
        QVERIFY(rule.discoveryPassAt(t0 + milliseconds(100)) == t0 + milliseconds(280));

        // Churn: every heartbeat pass finds a score of changes, and it stays a burst.
        PaceRule::Clock::time_point t = t0 + milliseconds(280);
        for (int i = 0; i < 50; ++i) {
            rule.passRan(t, t + milliseconds(1), 20);
            t += milliseconds(201);
            QVERIFY(rule.inBurst(t));
        }
        // Quiet for a few seconds: discovery data is taken at once again.
        t += milliseconds(5000);
        QVERIFY(!rule.inBurst(t));
        QVERIFY(rule.discoveryPassAt(t) == t);

        // Single endpoints appearing several times a second are each taken at once.
        PaceRule probes;
        PaceRule::Clock::time_point p = t0;
        for (int i = 0; i < 100; ++i) {
            probes.passRan(p, p + milliseconds(1), 1);
            p += milliseconds(120);
            QVERIFY(!probes.inBurst(p));
            QVERIFY(probes.discoveryPassAt(p) == p);
        }
    }

    void noDomainLookupsFindNothing()
    {
        MonitorLib& monitor = MonitorLib::getInstance();
        InstanceHandle_t handle;
        handle.isValid = 1;
        EndpointInfo info;
        findEndpointInfo(monitor, 0, handle, WriterMatch, info);
        QCOMPARE(info.type, -1);
        QVERIFY(!findPublicationData(monitor, handle));
        QVERIFY(!findSubscriptionData(monitor, handle));
    }
};

QTEST_GUILESS_MAIN(TestMonitorPolling)
#include "tst_monitorpolling.moc"
