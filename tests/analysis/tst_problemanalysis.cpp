// The problems analysis over plain data: which entries it makes and in which order, the
// counts per domain, and a crowded topic judged per group of equal QoS with its list capped.
#include "FakeParticipant.h"
#include "HandleText.h"
#include "MonitorFixture.h"
#include "ProblemAnalysis.h"
#include "ProblemCache.h"
#include "ProblemWatch.h"
#include "TopicProblems.h"

#include <QtTest>
#include <mutex>
#include <random>
#include <thread>

using namespace ZORVAN;

namespace {

const uint8_t bestEffort = 1;
const uint8_t reliable = 2;
const uint8_t transientLocal = 1;

// Keys ordered by side, then by `id`.
BuiltinTopicKey_t keyOf(uint8_t side, uint32_t id)
{
    BuiltinTopicKey_t key;
    key.value[0] = side;
    key.value[1] = uint8_t(id >> 16);
    key.value[2] = uint8_t(id >> 8);
    key.value[3] = uint8_t(id);
    return key;
}

// The endpoint's record, made its own so that the test can change it.
template <class Endpoint> auto& edit(Endpoint& e)
{
    using Record = std::remove_const_t<typename decltype(e.record)::element_type>;
    auto record = e.record ? std::make_shared<Record>(*e.record) : std::make_shared<Record>();
    e.record = record;
    return *record;
}

// The topic of that name, made if missing.
WatchedTopic& topicOf(WatchedDomain& domain, const std::string& name)
{
    auto& slot = domain.topics[name];
    auto topic = slot ? std::make_shared<WatchedTopic>(*slot) : std::make_shared<WatchedTopic>();
    slot = topic;
    topic->name = name;
    return *topic;
}

template <class Endpoint>
Endpoint endpoint(uint8_t side, uint32_t id, const std::string& topic, uint8_t reliability,
                  uint8_t durability, const std::string& process)
{
    Endpoint e;
    auto& record = edit(e);
    record.key = keyOf(side, id);
    record.topic_name = topic;
    record.type_name = "demo::" + topic;
    record.reliability.kind = reliability;
    record.durability.kind = durability;
    e.process.processName = process;
    e.process.pid = 1000 + id;
    return e;
}

WatchedWriter writer(uint32_t id, const std::string& topic, uint8_t reliability,
                     uint8_t durability = 0, const std::string& process = "pub")
{
    return endpoint<WatchedWriter>(1, id, topic, reliability, durability, process);
}

WatchedReader reader(uint32_t id, const std::string& topic, uint8_t reliability,
                     uint8_t durability = 0, const std::string& process = "sub")
{
    return endpoint<WatchedReader>(2, id, topic, reliability, durability, process);
}

void add(WatchedDomain& domain, WatchedWriter w)
{
    WatchedTopic& topic = topicOf(domain, w.record->topic_name);
    topic.writers.push_back(std::move(w));
}

void add(WatchedDomain& domain, WatchedReader r)
{
    WatchedTopic& topic = topicOf(domain, r.record->topic_name);
    topic.readers.push_back(std::move(r));
}

// The demo system's conflicts in domain 4, an error in domain 2 and a domain with nothing.
WatchedEndpoints demoLike()
{
    WatchedEndpoints seen;
    WatchedDomain two;
    two.id = 2;
    add(two, writer(1, "Z", bestEffort));
    add(two, reader(1, "Z", reliable));
    two.participants = 2;
    WatchedDomain four;
    four.id = 4;
    four.participants = 3;
    four.hosts = 2;
    four.processes = 3;
    add(four, writer(7, "WeatherReport", bestEffort, 0, "weather_feed"));
    add(four, reader(4, "WeatherReport", reliable, 0, "atc_display"));
    // listed out of key order: the list follows the keys
    add(four, writer(3, "SystemHealth", reliable));
    add(four, writer(1, "SystemHealth", reliable));
    add(four, reader(5, "SystemHealth", reliable, transientLocal));
    add(four, reader(2, "Command", reliable));
    add(four, reader(3, "Command", bestEffort));
    add(four, writer(2, "RadarTrack", reliable));
    add(four, reader(6, "RadarTrack", reliable));
    WatchedDomain nine;
    nine.id = 9;
    seen.domains = {two, four, nine};
    return seen;
}

// "level domain topic kind writer reader" per entry, endpoints as process names and ids.
QStringList outline(const ProblemReport& report)
{
    QStringList lines;
    for (const Problem& p : report.problems) {
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6")
                     .arg(Problem::levelText(p.level))
                     .arg(p.domain)
                     .arg(p.topicText())
                     .arg(int(p.kind))
                     .arg(p.writer.process.isEmpty() ? QStringLiteral("-") : p.writer.process)
                     .arg(p.reader.process.isEmpty() ? QStringLiteral("-") : p.reader.process);
    }
    return lines;
}

// Every entry with everything the list and the inspector show of it, reasons included.
QStringList everything(const ProblemReport& report)
{
    QStringList lines = outline(report);
    int i = 0;
    for (const Problem& p : report.problems) {
        QStringList reasons;
        for (const Reason& reason : p.reasons) {
            reasons << reason.policy;
        }
        lines[i++] +=
            QStringLiteral(" %1 %2 %3 %4 %5")
                .arg(p.text, p.writer.text(), p.reader.text(), reasons.join(QLatin1Char(',')))
                .arg(p.count);
    }
    return lines;
}

} // namespace

class TestProblemAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void entriesInOrder()
    {
        const ProblemReport report = ProblemAnalysis::analyse(demoLike());
        const int pair = int(Problem::Kind::IncompatiblePair);
        const int lonelyWriter = int(Problem::Kind::UnmatchedWriter);
        const int lonelyReader = int(Problem::Kind::UnmatchedReader);
        const int readersOnly = int(Problem::Kind::ReadersOnly);
        const QStringList expected{
            QStringLiteral("错误 2 Z %1 pub:1001 sub:1001").arg(pair),
            QStringLiteral("错误 4 SystemHealth %1 pub:1001 sub:1005").arg(pair),
            QStringLiteral("错误 4 SystemHealth %1 pub:1003 sub:1005").arg(pair),
            QStringLiteral("错误 4 WeatherReport %1 weather_feed:1007 atc_display:1004").arg(pair),
            QStringLiteral("警告 2 Z %1 pub:1001 -").arg(lonelyWriter),
            QStringLiteral("警告 2 Z %1 - sub:1001").arg(lonelyReader),
            QStringLiteral("警告 4 SystemHealth %1 pub:1001 -").arg(lonelyWriter),
            QStringLiteral("警告 4 SystemHealth %1 pub:1003 -").arg(lonelyWriter),
            QStringLiteral("警告 4 SystemHealth %1 - sub:1005").arg(lonelyReader),
            QStringLiteral("警告 4 WeatherReport %1 weather_feed:1007 -").arg(lonelyWriter),
            QStringLiteral("警告 4 WeatherReport %1 - atc_display:1004").arg(lonelyReader),
            QStringLiteral("提示 4 Command %1 - -").arg(readersOnly),
        };
        QCOMPARE(outline(report), expected);
        for (size_t i = 1; i < report.problems.size(); ++i) {
            QVERIFY(report.problems[i - 1] < report.problems[i]);
        }
    }

    void entryTexts()
    {
        const ProblemReport report = ProblemAnalysis::analyse(demoLike());
        const Problem& weather = report.problems[3];
        QCOMPARE(weather.reasons.size(), 1);
        QCOMPARE(weather.reasons[0].policy, QStringLiteral("reliability"));
        QCOMPARE(weather.text, weather.reasons[0].text());
        QVERIFY(weather.text.contains(QStringLiteral("BEST_EFFORT_RELIABILITY_QOS")));
        QCOMPARE(weather.writer.handle, HandleText::text(HandleText::keyOf(keyOf(1, 7))));
        QCOMPARE(weather.writer.text(),
                 QStringLiteral("weather_feed:1007 ") + HandleText::text(weather.writer.key));
        QCOMPARE(report.problems[1].reasons[0].policy, QStringLiteral("durability"));
        QCOMPARE(report.problems[9].text,
                 QString::fromUtf8("没有可以匹配的订阅端（共 1 个订阅端）"));
        QCOMPARE(report.problems[10].text,
                 QString::fromUtf8("没有可以匹配的发布端（共 1 个发布端）"));
        QCOMPARE(report.problems[11].text, QString::fromUtf8("只有 2 个订阅端，没有发布端"));
        QCOMPARE(report.problems[11].count, uint64_t(2));
        QVERIFY(report.problems[11].writer.isEmpty() && report.problems[11].reader.isEmpty());
    }

    // Two reasons for one pair: both, in the engine's order, in one text.
    void everyReasonOfAPair()
    {
        WatchedDomain domain;
        add(domain, writer(1, "T", bestEffort, 0));
        add(domain, reader(1, "T", reliable, transientLocal));
        WatchedEndpoints seen;
        seen.domains = {domain};
        const ProblemReport report = ProblemAnalysis::analyse(seen);
        const Problem& pair = report.problems.front();
        QCOMPARE(pair.reasons.size(), 2);
        QCOMPARE(pair.reasons[0].policy, QStringLiteral("durability"));
        QCOMPARE(pair.reasons[1].policy, QStringLiteral("reliability"));
        QCOMPARE(pair.text,
                 pair.reasons[0].text() + QString::fromUtf8("；") + pair.reasons[1].text());
    }

    void writersOnly()
    {
        WatchedDomain domain;
        add(domain, writer(1, "T", reliable));
        WatchedEndpoints seen;
        seen.domains = {domain};
        const ProblemReport report = ProblemAnalysis::analyse(seen);
        QCOMPARE(report.problems.size(), size_t(1));
        QCOMPARE(report.problems[0].kind, Problem::Kind::WritersOnly);
        QCOMPARE(report.problems[0].text, QString::fromUtf8("只有 1 个发布端，没有订阅端"));
        QCOMPARE(report.domains[0].hints, uint64_t(1));
        QCOMPARE(report.domains[0].errors, uint64_t(0));
        QVERIFY(report.incompatiblePairs.empty());
    }

    void countsPerDomain()
    {
        const ProblemReport report = ProblemAnalysis::analyse(demoLike());
        QCOMPARE(report.domains.size(), size_t(3));
        const DomainSummary& four = report.domains[1];
        QCOMPARE(four.domain, 4u);
        QCOMPARE(four.participants, uint64_t(3));
        QCOMPARE(four.hosts, uint64_t(2));
        QCOMPARE(four.processes, uint64_t(3));
        QCOMPARE(four.topics, uint64_t(4));
        QCOMPARE(four.writers, uint64_t(4));
        QCOMPARE(four.readers, uint64_t(5));
        QCOMPARE(four.errors, uint64_t(3));
        QCOMPARE(four.warnings, uint64_t(5));
        QCOMPARE(four.hints, uint64_t(1));
        // A watched domain that has discovered nothing is counted too.
        DomainSummary nine;
        nine.domain = 9;
        QVERIFY(report.domains[2] == nine);
        QCOMPARE(report.errorCount(), uint64_t(4));
        const IncompatiblePairs expected{{2, {{"Z", 1}}},
                                         {4, {{"SystemHealth", 2}, {"WeatherReport", 1}}}};
        QVERIFY(report.incompatiblePairs == expected);
        QCOMPARE(report.statusLine(),
                 QString::fromUtf8("2号域：参与者 2，发布端 1，订阅端 1，错误 1；"
                                   "4号域：参与者 3，发布端 4，订阅端 5，错误 3；"
                                   "9号域：参与者 0，发布端 0，订阅端 0，错误 0"));
        QVERIFY(ProblemReport().statusLine().isEmpty());
    }

    // A topic with many writers and readers in a few QoS variants: judged once per pair of
    // variants, every pair and endpoint counted, the list cut at the limit with one entry
    // saying how many more.
    void crowdedTopic_data()
    {
        QTest::addColumn<int>("writers");
        QTest::addColumn<int>("readers");
        QTest::addColumn<int>("reliableReaders"); // the writers offer best effort
        QTest::addColumn<bool>("unlimited");
        QTest::addColumn<int>("groupPairs");
        QTest::addColumn<qulonglong>("pairs");
        QTest::addColumn<qulonglong>("unmatched");
        QTest::addColumn<int>("errorEntries");   // listed pairs, plus one when some are left out
        QTest::addColumn<int>("warningEntries"); // likewise
        QTest::newRow("1000 x 1000, none can match")
            << 1000 << 1000 << 1000 << false << 1 << 1000000ull << 2000ull << 51 << 51;
        QTest::newRow("1000 x 1000, 300 readers cannot")
            << 1000 << 1000 << 300 << false << 2 << 300000ull << 300ull << 51 << 51;
        QTest::newRow("under the limit") << 3 << 2 << 2 << false << 1 << 6ull << 5ull << 6 << 5;
        QTest::newRow("exactly the limit")
            << 10 << 5 << 5 << false << 1 << 50ull << 15ull << 50 << 15;
        QTest::newRow("unlimited") << 30 << 30 << 30 << true << 1 << 900ull << 60ull << 900 << 60;
        QTest::newRow("all can match") << 40 << 40 << 0 << false << 1 << 0ull << 0ull << 0 << 0;
    }

    void crowdedTopic()
    {
        QFETCH(int, writers);
        QFETCH(int, readers);
        QFETCH(int, reliableReaders);
        QFETCH(bool, unlimited);
        QFETCH(int, groupPairs);
        QFETCH(qulonglong, pairs);
        QFETCH(qulonglong, unmatched);
        QFETCH(int, errorEntries);
        QFETCH(int, warningEntries);

        WatchedTopic topic;
        topic.name = "Crowd";
        // Listed in descending key order: the list must come out ascending all the same.
        for (int i = writers; i > 0; --i) {
            topic.writers.push_back(writer(uint32_t(i), "Crowd", bestEffort));
        }
        for (int i = readers; i > 0; --i) {
            topic.readers.push_back(
                reader(uint32_t(i), "Crowd", i <= reliableReaders ? reliable : bestEffort));
        }
        const ProblemLimits limits = unlimited ? ProblemLimits::unlimited() : ProblemLimits();
        TopicProblems problems(5, topic, limits);
        QCOMPARE(problems.groupPairsJudged(), uint64_t(groupPairs));
        QCOMPARE(problems.incompatiblePairs(), uint64_t(pairs));
        QCOMPARE(problems.unmatchedEndpoints(), uint64_t(unmatched));
        QCOMPARE(int(problems.errors().size()), errorEntries);
        QCOMPARE(int(problems.warnings().size()), warningEntries);

        const uint64_t listedPairs = std::min<uint64_t>(pairs, limits.pairsPerTopic);
        if (pairs > listedPairs) {
            const Problem& more = problems.errors().back();
            QCOMPARE(more.kind, Problem::Kind::MorePairs);
            QCOMPARE(more.count, pairs - listedPairs);
            QCOMPARE(more.text, QString::fromUtf8("还有 %1 对无法匹配的发布端和订阅端未列出")
                                    .arg(pairs - listedPairs));
        }
        const uint64_t listedEndpoints = std::min<uint64_t>(unmatched, limits.endpointsPerTopic);
        if (unmatched > listedEndpoints) {
            const Problem& more = problems.warnings().back();
            QCOMPARE(more.kind, Problem::Kind::MoreUnmatched);
            QCOMPARE(more.count, unmatched - listedEndpoints);
        }
        // The listed pairs are the first ones by writer key, then reader key.
        std::vector<Problem> listed(problems.errors().begin(),
                                    problems.errors().begin() + ptrdiff_t(listedPairs));
        QVERIFY(std::is_sorted(listed.begin(), listed.end()));
        if (!listed.empty()) {
            QCOMPARE(listed.front().writer.key, HandleText::keyOf(keyOf(1, 1)));
            QCOMPARE(listed.front().reader.key, HandleText::keyOf(keyOf(2, 1)));
        }
        // Unmatched writers before unmatched readers, each by key.
        const auto lastWarning =
            problems.warnings().begin() + ptrdiff_t(std::min<uint64_t>(unmatched, listedEndpoints));
        QVERIFY(std::is_sorted(problems.warnings().begin(), lastWarning));

        // The whole analysis counts what the topic's list leaves out.
        WatchedDomain domain;
        domain.id = 5;
        domain.topics["Crowd"] = std::make_shared<const WatchedTopic>(topic);
        WatchedEndpoints seen;
        seen.domains = {domain};
        const ProblemReport report = ProblemAnalysis::analyse(seen, limits);
        QCOMPARE(report.domains[0].errors, uint64_t(pairs));
        QCOMPARE(report.domains[0].warnings, uint64_t(unmatched));
        QCOMPARE(int(report.problems.size()), errorEntries + warningEntries);
        if (pairs > 0) {
            QCOMPARE(report.incompatiblePairs.at(5).at("Crowd"), uint64_t(pairs));
        }
    }

    // Every endpoint with QoS of its own: as many groups as endpoints, still every pair judged
    // and counted.
    void everyEndpointItsOwnGroup()
    {
        WatchedTopic topic;
        topic.name = "Own";
        for (uint32_t i = 1; i <= 40; ++i) {
            WatchedWriter w = writer(i, "Own", reliable);
            edit(w).partition.name = {"p" + std::to_string(i)};
            topic.writers.push_back(w);
            WatchedReader r = reader(i, "Own", reliable);
            edit(r).partition.name = {"p" + std::to_string(i)};
            topic.readers.push_back(r);
        }
        TopicProblems problems(1, topic, ProblemLimits());
        QCOMPARE(problems.groupPairsJudged(), uint64_t(40 * 40));
        // Each writer meets the reader of its own partition only.
        QCOMPARE(problems.incompatiblePairs(), uint64_t(40 * 39));
        QCOMPARE(problems.unmatchedEndpoints(), uint64_t(0));
        QCOMPARE(problems.errors().front().reasons.front().policy, QStringLiteral("partition"));
    }

    void incrementalMatchesFull();
    void entriesInRuns();

    void watch();
};

// A seeded series of changes analysed with a cache reads exactly as a full analysis of each
// state; only the topics that are new objects are judged again, and the entries of the others
// are the very runs of the report before.
void TestProblemAnalysis::incrementalMatchesFull()
{
    std::mt19937 random(7);
    const std::vector<std::string> names{"A", "B", "Crowd", "Z", "a", "\xe4\xb8\xad"};
    WatchedEndpoints seen = demoLike();
    ProblemLimits limits;
    limits.pairsPerTopic = 3;
    limits.endpointsPerTopic = 2;
    ProblemCache cache(limits);
    ProblemReport last = ProblemAnalysis::analyse(seen, cache);
    QCOMPARE(cache.judgedLastUpdate(), size_t(5));
    uint32_t id = 100;
    for (int step = 0; step < 200; ++step) {
        const WatchedEndpoints before = seen;
        const int changes = int(random() % 4);
        for (int change = 0; change < changes; ++change) {
            const size_t which = random() % (seen.domains.size() + 1);
            if (which == seen.domains.size()) {
                // a domain comes or goes
                if (seen.domains.size() > 1 && random() % 2 == 0) {
                    seen.domains.erase(seen.domains.begin() + long(random() % seen.domains.size()));
                } else if (seen.domains.size() < 5) {
                    WatchedDomain domain;
                    domain.id = 20 + uint32_t(random() % 5);
                    auto at = std::lower_bound(
                        seen.domains.begin(), seen.domains.end(), domain.id,
                        [](const WatchedDomain& d, uint32_t i) { return d.id < i; });
                    if (at == seen.domains.end() || at->id != domain.id) {
                        seen.domains.insert(at, domain);
                    }
                }
                continue;
            }
            WatchedDomain& domain = seen.domains[which];
            const std::string& name = names[random() % names.size()];
            const uint8_t quality = random() % 2 == 0 ? bestEffort : reliable;
            const uint8_t durability = random() % 3 == 0 ? transientLocal : 0;
            switch (random() % 5) {
            case 0:
                add(domain, writer(++id, name, quality, durability));
                break;
            case 1:
            case 2:
                add(domain, reader(++id, name, quality, durability));
                break;
            case 3:
                domain.topics.erase(name);
                break;
            default:
                // the same endpoints in a new object
                if (domain.topics.count(name)) {
                    topicOf(domain, name);
                }
                break;
            }
            domain.participants = random() % 4;
        }
        size_t renewed = 0;
        for (const WatchedDomain& domain : seen.domains) {
            const auto was =
                std::find_if(before.domains.begin(), before.domains.end(),
                             [&domain](const WatchedDomain& d) { return d.id == domain.id; });
            for (const auto& named : domain.topics) {
                const bool kept = was != before.domains.end() && was->topics.count(named.first) &&
                                  was->topics.at(named.first) == named.second;
                renewed += kept ? 0 : 1;
            }
        }

        const ProblemReport full = ProblemAnalysis::analyse(seen, limits);
        const ProblemReport next = ProblemAnalysis::analyse(seen, cache);
        QCOMPARE(cache.judgedLastUpdate(), renewed);
        QCOMPARE(everything(next), everything(full));
        QVERIFY(next.domains == full.domains);
        QVERIFY(next.incompatiblePairs == full.incompatiblePairs);
        QCOMPARE(next.statusLine(), full.statusLine());
        QVERIFY(next.sameAs(full) && full.sameAs(next));
        QCOMPARE(next.sameAs(last), everything(next) == everything(last) &&
                                        next.domains == last.domains &&
                                        next.incompatiblePairs == last.incompatiblePairs);
        for (size_t i = 0; i < next.problems.size(); ++i) {
            QVERIFY(next.problems[i].sameEntry(full.problems[i]));
        }
        // Runs of the same topic and level, shared exactly when the topic was not judged again.
        size_t shared = 0;
        for (const ProblemEntries::Run& run : next.problems.runs()) {
            shared += std::count(last.problems.runs().begin(), last.problems.runs().end(), run);
        }
        size_t unjudged = 0;
        for (const ProblemEntries::Run& run : next.problems.runs()) {
            const Problem& p = run->front();
            const auto was =
                std::find_if(before.domains.begin(), before.domains.end(),
                             [&p](const WatchedDomain& d) { return d.id == p.domain; });
            const auto now =
                std::find_if(seen.domains.begin(), seen.domains.end(),
                             [&p](const WatchedDomain& d) { return d.id == p.domain; });
            unjudged += was != before.domains.end() && was->topics.count(p.topic) &&
                                was->topics.at(p.topic) == now->topics.at(p.topic)
                            ? 1
                            : 0;
        }
        QCOMPARE(shared, unjudged);
        last = next;
    }
    // Nothing changed: nothing judged, every run the same.
    const ProblemReport again = ProblemAnalysis::analyse(seen, cache);
    QCOMPARE(cache.judgedLastUpdate(), size_t(0));
    QVERIFY(again.problems.runs() == last.problems.runs());
    QVERIFY(again.sameAs(last));
}

// A list made by hand splits into one run per level, domain and topic and reads back in its
// order; a report whose one entry has another text is not the same.
void TestProblemAnalysis::entriesInRuns()
{
    const ProblemReport demo = ProblemAnalysis::analyse(demoLike());
    std::vector<Problem> flat(demo.problems.begin(), demo.problems.end());
    QCOMPARE(flat.size(), size_t(12));
    ProblemReport made;
    made.problems = flat;
    made.domains = demo.domains;
    made.incompatiblePairs = demo.incompatiblePairs;
    QCOMPARE(made.problems.runs().size(), demo.problems.runs().size());
    QCOMPARE(made.problems.size(), flat.size());
    QCOMPARE(made.problems.runStart(1), demo.problems.runStart(1));
    for (size_t i = 0; i < flat.size(); ++i) {
        QVERIFY(made.problems[i].sameEntry(flat[i]));
        QVERIFY(&demo.problems[i] == &*std::next(demo.problems.begin(), long(i)));
    }
    QCOMPARE(made.problems.back().text, flat.back().text);
    QVERIFY(made.sameAs(demo));
    flat[4].text = QStringLiteral("other");
    made.problems = flat;
    QVERIFY(!made.sameAs(demo));
    QVERIFY(ProblemEntries().empty());
}

// The watch against the middleware double: a report after a change, one run for a burst of
// queued changes, and a change announced during a run never lost.
void TestProblemAnalysis::watch()
{
    MonitorLib& monitor = MonitorLib::getInstance();
    MonitorFixture fixture;
    FakeParticipant* fake = nullptr;
    SubscriptionBuiltinTopicData picky;
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        fake = &fixture.addDomainLocked(231);
        ParticipantBuiltinTopicData p;
        p.key = FakeParticipant::key(0x01);
        fake->addParticipant(p);
        PublicationBuiltinTopicData w;
        w.key = FakeParticipant::key(0x10);
        w.participant_key = p.key;
        w.topic_name = "T";
        w.reliability.kind = bestEffort;
        fake->addPublication(w);
        picky.key = FakeParticipant::key(0x20);
        picky.participant_key = p.key;
        picky.topic_name = "T";
        picky.reliability.kind = reliable;
        fake->addSubscription(picky);
    }
    // Runs as soon as asked: the spacing of runs is not what this test is about.
    ProblemWatch watch(monitor, ProblemLimits(), nullptr, 0);
    QSignalSpy reports(&watch, &ProblemWatch::reportReady);
    QVERIFY(watch.report() && watch.report()->domains.empty());
    watch.refresh();
    QTRY_VERIFY_WITH_TIMEOUT(watch.report()->errorCount() == 1 && !watch.isRunning(), 10000);
    QCOMPARE(watch.report()->domains.back().domain, 231u);

    // The reader now asks for what the writer offers; five changes queued from another thread.
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        picky.reliability.kind = bestEffort;
        fake->addSubscription(picky);
    }
    reports.clear();
    const uint64_t before = monitor.signalCount();
    std::thread([&monitor] {
        for (int i = 0; i < 5; ++i) {
            emit monitor.dataChanged();
        }
    }).join();
    QTRY_VERIFY_WITH_TIMEOUT(watch.report()->errorCount() == 0 && !watch.isRunning(), 10000);
    // The polling thread may have announced changes of its own meanwhile; each may cost one
    // more run, never the five of the burst.
    const uint64_t others = monitor.signalCount() - before - 5;
    QVERIFY2(reports.count() >= 1 && uint64_t(reports.count()) <= 1 + others,
             qPrintable(QString::number(reports.count())));

    // A change announced while a run waits for the mutex: one more run follows. Its report is
    // the same, and is not handed over again.
    reports.clear();
    const int runs = watch.runCount();
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        watch.refresh();
        QVERIFY(watch.isRunning());
        picky.reliability.kind = reliable;
        fake->addSubscription(picky);
        emit monitor.dataChanged();
    }
    QTRY_VERIFY_WITH_TIMEOUT(watch.runCount() >= runs + 2 && !watch.isRunning(), 10000);
    QCOMPARE(watch.report()->errorCount(), uint64_t(1));
    QCOMPARE(reports.count(), 1);

    // Nothing changed: a run, and no report.
    watch.refresh();
    QTRY_VERIFY_WITH_TIMEOUT(watch.runCount() >= runs + 3 && !watch.isRunning(), 10000);
    QCOMPARE(reports.count(), 1);
}

QTEST_GUILESS_MAIN(TestProblemAnalysis)
#include "tst_problemanalysis.moc"
