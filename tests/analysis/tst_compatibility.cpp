// The compatibility engine: its rules case by case, the texts of its reasons, the grouping of
// equal keys, and agreement with what Cyclone DDS itself matches for hundreds of writer/reader
// pairs with random QoS, read back through a monitor participant; and the problems watch
// following a writer that changes partition and deadline under its handle.
#include "CompatibilityEngine.h"
#include "CompatibilityTable.h"
#include "HandleText.h"
#include "MonitorLib.h"
#include "PeerProcess.h"
#include "ProblemWatch.h"
#include "RequalifyForge.h"
#include "TestEnv.h"
#include "WatchedDomain.h"

#include <QtTest>
#include <algorithm>
#include <functional>
#include <map>
#include <mutex>

using namespace ZORVAN;

Q_DECLARE_METATYPE(CompatibilityKey)

namespace {

const Duration_t infinite{DURATION_INFINITE_SEC, DURATION_INFINITE_NSEC};
const Duration_t wireInfinite{DURATION_INFINITE_SEC, 0xffffffffu};

Duration_t seconds(int32_t sec, uint32_t nanosec = 0)
{
    return Duration_t{sec, nanosec};
}

// What a writer and a reader left at the middleware's defaults announce: they match.
CompatibilityKey plain()
{
    CompatibilityKey key;
    key.domain = 7;
    key.topicName = "Track";
    key.typeName = "demo::Track";
    key.reliability = 1;
    key.deadline = infinite;
    key.latencyBudget = seconds(0);
    key.leaseDuration = infinite;
    return key;
}

CompatibilityKey with(const std::function<void(CompatibilityKey&)>& change)
{
    CompatibilityKey key = plain();
    change(key);
    return key;
}

CompatibilityKey partitions(std::vector<std::string> names)
{
    return with([&](CompatibilityKey& k) { k.partitions = names; });
}

// The records the middleware would deliver for these keys.
template <typename Record> Record recordOf(const CompatibilityKey& key)
{
    Record r;
    r.topic_name = key.topicName;
    r.type_name = key.typeName;
    r.durability.kind = key.durability;
    r.presentation.access_scope = key.accessScope;
    r.presentation.coherent_access = key.coherentAccess;
    r.presentation.ordered_access = key.orderedAccess;
    r.deadline.period = key.deadline;
    r.latency_budget.duration = key.latencyBudget;
    r.ownership.kind = key.ownership;
    r.liveliness.kind = key.livelinessKind;
    r.liveliness.lease_duration = key.leaseDuration;
    r.reliability.kind = key.reliability;
    r.destination_order.kind = key.destinationOrder;
    r.partition.name = key.partitions;
    return r;
}

// Every value the rules read, for a failure message.
QString describe(const CompatibilityKey& k)
{
    QStringList fields = {QString::fromStdString(k.typeName)};
    for (int value : std::initializer_list<int>{k.reliability, k.durability, k.livelinessKind,
                                                k.ownership, k.destinationOrder, k.accessScope,
                                                int(k.coherentAccess), int(k.orderedAccess)}) {
        fields << QString::number(value);
    }
    for (const Duration_t& d : {k.deadline, k.latencyBudget, k.leaseDuration}) {
        fields << QString::number(CompatibilityEngine::nanoseconds(d)) + QStringLiteral("ns");
    }
    for (const std::string& name : k.partitions) {
        fields << QStringLiteral("partition '%1'").arg(QString::fromStdString(name));
    }
    return fields.join(QLatin1Char(' '));
}

// Every writer and reader the monitor's participant has discovered, by key.
struct Discovered
{
    std::map<std::string, PublicationBuiltinTopicData> writers;
    std::map<std::string, SubscriptionBuiltinTopicData> readers;
};

Discovered discover(DomainParticipant* participant)
{
    Discovered found;
    std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
    InstanceHandleSeq handles;
    if (participant->get_publications(handles, true) == RETCODE_OK) {
        for (const InstanceHandle_t& handle : handles) {
            PublicationBuiltinTopicData data;
            if (participant->get_publication_data(data, handle) == RETCODE_OK) {
                found.writers[HandleText::keyOf(data.key)] = data;
            }
        }
    }
    handles.clear();
    if (participant->get_subscriptions(handles, true) == RETCODE_OK) {
        for (const InstanceHandle_t& handle : handles) {
            SubscriptionBuiltinTopicData data;
            if (participant->get_subscription_data(data, handle) == RETCODE_OK) {
                found.readers[HandleText::keyOf(data.key)] = data;
            }
        }
    }
    return found;
}

// Reads a peer's "matched <guid> <count>" lines up to "SETTLED" into `counts`.
bool readMatches(PeerProcess& peer, std::map<std::string, int>& counts, QString& error)
{
    for (;;) {
        const QString line = peer.waitForLine(QString(), 120000);
        if (line == QLatin1String("SETTLED")) {
            return true;
        }
        const QStringList parts = line.split(QLatin1Char(' '));
        if (parts.size() != 3 || parts[0] != QLatin1String("matched")) {
            error = line.isEmpty() ? QStringLiteral("no SETTLED line") : line;
            return false;
        }
        counts[PeerProcess::keyFromHex(parts[1])] = parts[2].toInt();
    }
}

// The policies of the problems report's entry for the forge's pair, "no entry" without one,
// "not yet" before the report covers the domain with both endpoints.
QString pairEntry(const ProblemReport& report, uint32_t domain, const RequalifyForge& forge)
{
    const auto summary = std::find_if(report.domains.begin(), report.domains.end(),
                                      [&](const DomainSummary& s) { return s.domain == domain; });
    if (summary == report.domains.end() || summary->writers != 1 || summary->readers != 1) {
        return QStringLiteral("not yet");
    }
    for (const Problem& problem : report.problems) {
        if (problem.kind == Problem::Kind::IncompatiblePair && problem.domain == domain &&
            problem.writer.key == forge.writerKey() && problem.reader.key == forge.readerKey()) {
            QStringList policies;
            for (const Reason& reason : problem.reasons) {
                policies << reason.policy;
            }
            return QString::fromStdString(problem.topic) + QLatin1Char(' ') +
                   policies.join(QLatin1Char(','));
        }
    }
    return QStringLiteral("no entry");
}

} // namespace

class TestCompatibility : public QObject
{
    Q_OBJECT

private slots:
    void rules_data();
    void rules();
    void reasons();
    void table();
    void agreesWithCyclone_data();
    void agreesWithCyclone();
    void problemsFollowAChangedWriter();
};

void TestCompatibility::rules_data()
{
    QTest::addColumn<CompatibilityKey>("writer");
    QTest::addColumn<CompatibilityKey>("reader");
    QTest::addColumn<int>("broken");

    using K = CompatibilityKey;
    const auto row = [](const char* name, const K& w, const K& r, QosRuleSet broken) {
        QTest::newRow(name) << w << r << int(broken);
    };
    const QosRuleSet none;

    row("defaults", plain(), plain(), none);
    row("other domain", plain(), with([](K& k) { k.domain = 8; }), QosRule::Domain);
    row("topic differs in case", plain(), with([](K& k) { k.topicName = "track"; }),
        QosRule::TopicName);
    // The same text composed and decomposed: equal on screen, different bytes.
    row("topic bytes", with([](K& k) { k.topicName = "Caf\xc3\xa9"; }),
        with([](K& k) { k.topicName = "Cafe\xcc\x81"; }), QosRule::TopicName);
    row("type name", plain(), with([](K& k) { k.typeName = "demo::TrackV2"; }), QosRule::TypeName);

    row("best effort offered, reliable requested", plain(), with([](K& k) { k.reliability = 2; }),
        QosRule::Reliability);
    row("volatile offered, transient local requested", plain(),
        with([](K& k) { k.durability = 1; }), QosRule::Durability);
    row("persistent offered, transient requested", with([](K& k) { k.durability = 3; }),
        with([](K& k) { k.durability = 2; }), none);

    row("deadline longer than requested", with([](K& k) { k.deadline = seconds(2); }),
        with([](K& k) { k.deadline = seconds(1); }), QosRule::Deadline);
    row("deadline one nanosecond longer", with([](K& k) { k.deadline = seconds(1, 1); }),
        with([](K& k) { k.deadline = seconds(1); }), QosRule::Deadline);
    row("deadline infinite on both sides", plain(), plain(), none);
    row("deadline infinite offered, longest finite requested", plain(),
        with([](K& k) { k.deadline = seconds(0x7ffffffe, 999999999); }), QosRule::Deadline);
    row("deadline infinite as on the wire", with([](K& k) { k.deadline = wireInfinite; }), plain(),
        none);
    row("deadline infinite requested as on the wire", plain(),
        with([](K& k) { k.deadline = wireInfinite; }), none);
    row("deadline negative offered", with([](K& k) { k.deadline = seconds(-1); }),
        with([](K& k) { k.deadline = seconds(0); }), none);

    row("latency budget larger than requested", with([](K& k) { k.latencyBudget = seconds(1); }),
        with([](K& k) { k.latencyBudget = seconds(0, 500000000); }), QosRule::LatencyBudget);
    row("latency budget infinite offered", with([](K& k) { k.latencyBudget = infinite; }), plain(),
        QosRule::LatencyBudget);
    row("latency budget infinite requested", with([](K& k) { k.latencyBudget = seconds(5); }),
        with([](K& k) { k.latencyBudget = infinite; }), none);

    row("automatic liveliness offered, manual requested", plain(),
        with([](K& k) { k.livelinessKind = 1; }), QosRule::LivelinessKind);
    row("manual by topic offered, by participant requested",
        with([](K& k) { k.livelinessKind = 2; }), with([](K& k) { k.livelinessKind = 1; }), none);
    row("lease infinite offered, finite requested", plain(),
        with([](K& k) { k.leaseDuration = seconds(10); }), QosRule::LivelinessLease);
    row("lease finite offered, infinite requested",
        with([](K& k) { k.leaseDuration = seconds(10); }), plain(), none);

    row("shared offered, exclusive requested", plain(), with([](K& k) { k.ownership = 1; }),
        QosRule::Ownership);
    row("reception order offered, source order requested", plain(),
        with([](K& k) { k.destinationOrder = 1; }), QosRule::DestinationOrder);

    row("topic scope offered, group requested", with([](K& k) { k.accessScope = 1; }),
        with([](K& k) { k.accessScope = 2; }), QosRule::PresentationScope);
    row("coherent access requested only", plain(), with([](K& k) { k.coherentAccess = true; }),
        QosRule::PresentationCoherent);
    row("ordered access requested only", plain(), with([](K& k) { k.orderedAccess = true; }),
        QosRule::PresentationOrdered);
    row("everything offered, nothing requested", with([](K& k) {
            k.accessScope = 2;
            k.coherentAccess = k.orderedAccess = true;
        }),
        plain(), none);

    row("partitions both default", plain(), plain(), none);
    row("partition list empty against the empty name", plain(), partitions({""}), none);
    row("partition empty name against an empty list", partitions({""}), plain(), none);
    row("partition default against a name", plain(), partitions({"A"}), QosRule::Partition);
    row("partition default against '*'", plain(), partitions({"*"}), none);
    row("partition '?' against default", partitions({"?"}), plain(), QosRule::Partition);
    row("partition pattern of the reader", partitions({"Alpha"}), partitions({"A*"}), none);
    row("partition pattern of the writer", partitions({"A*"}), partitions({"Alpha"}), none);
    row("partition two equal patterns", partitions({"A*"}), partitions({"A*"}), QosRule::Partition);
    row("partition '*' against '?'", partitions({"*"}), partitions({"?"}), QosRule::Partition);
    row("partition '?' needs one byte", partitions({"A?"}), partitions({"A"}), QosRule::Partition);
    row("partition '?' inside", partitions({"ABC"}), partitions({"A?C"}), none);
    row("partition pattern covers the whole name", partitions({"A*B"}), partitions({"AxxBy"}),
        QosRule::Partition);
    row("partition backtracking star", partitions({"*ab*ab"}), partitions({"xabyabab"}), none);
    row("partition brackets are plain", partitions({"[AB]"}), partitions({"A"}),
        QosRule::Partition);
    row("partition brackets equal", partitions({"[AB]"}), partitions({"[AB]"}), none);
    row("partition backslash is plain", partitions({"A\\*"}), partitions({"A\\B"}), none);
    row("partition letter case", partitions({"a"}), partitions({"A"}), QosRule::Partition);
    row("partition one of several", partitions({"A", "B"}), partitions({"C", "B"}), none);
    row("partition none in common", partitions({"A", "B"}), partitions({"C", "D"}),
        QosRule::Partition);
    row("partition pattern meets the empty name in a list", partitions({"*"}),
        partitions({"X", ""}), none);

    row("several rules", with([](K& k) {
            k.partitions = {"A"};
            k.livelinessKind = 0;
        }),
        with([](K& k) {
            k.reliability = 2;
            k.typeName = "other";
            k.partitions = {"B"};
            k.livelinessKind = 2;
        }),
        QosRule::TypeName | QosRule::LivelinessKind | QosRule::Reliability | QosRule::Partition);
}

void TestCompatibility::rules()
{
    QFETCH(CompatibilityKey, writer);
    QFETCH(CompatibilityKey, reader);
    QFETCH(int, broken);

    QCOMPARE(int(CompatibilityEngine::check(writer, reader)), broken);
    // The records the keys stand for give the same judgement, and the same keys back.
    const auto w = recordOf<PublicationBuiltinTopicData>(writer);
    const auto r = recordOf<SubscriptionBuiltinTopicData>(reader);
    QCOMPARE(int(CompatibilityEngine::check(writer.domain, w, reader.domain, r)), broken);
    QVERIFY(CompatibilityKey::ofWriter(writer.domain, w) == writer);
    QVERIFY(CompatibilityKey::ofReader(reader.domain, r) == reader);

    const Verdict verdict = CompatibilityEngine::judge(writer, reader);
    QCOMPARE(int(verdict.brokenRules()), broken);
    QCOMPARE(verdict.isCompatible(), broken == 0);
    QCOMPARE(verdict.reasons().size(),
             QosRuleSet(QFlag(broken)) == QosRuleSet() ? 0 : qPopulationCount(quint32(broken)));
}

void TestCompatibility::reasons()
{
    const CompatibilityKey writer = with([](CompatibilityKey& k) {
        k.partitions = {"A", "B*"};
        k.deadline = seconds(2, 500);
    });
    const CompatibilityKey reader = with([](CompatibilityKey& k) {
        k.reliability = 2;
        k.partitions = {"C"};
        k.deadline = seconds(1);
        k.livelinessKind = 9; // outside the enumeration
    });
    const Verdict verdict = CompatibilityEngine::judge(writer, reader);
    QStringList rows;
    for (const Reason& reason : verdict.reasons()) {
        rows << reason.policy + QLatin1Char('|') + reason.writerValue + QLatin1Char('|') +
                    reason.readerValue;
        QVERIFY(!reason.explanation.isEmpty());
        QVERIFY(reason.text().contains(reason.explanation));
    }
    // In the order the comparison lists the policies.
    QCOMPARE(rows, QStringList({QStringLiteral("deadline|{2,500}|{1,0}"),
                                QStringLiteral("liveliness|AUTOMATIC_LIVELINESS_QOS|9"),
                                QStringLiteral("reliability|BEST_EFFORT_RELIABILITY_QOS|"
                                               "RELIABLE_RELIABILITY_QOS"),
                                QStringLiteral("partition|A,B*|C")}));
    QVERIFY(verdict.reason(QosRule::Reliability) != nullptr);
    QVERIFY(verdict.reason(QosRule::Ownership) == nullptr);
    QVERIFY(verdict.reason(QosRule::Deadline)->explanation !=
            verdict.reason(QosRule::Partition)->explanation);
    QVERIFY(verdict.summary().startsWith(QStringLiteral("无法匹配：")));
    QVERIFY(verdict.summary().contains(verdict.reasons().last().text()));

    const Verdict fine = CompatibilityEngine::judge(plain(), plain());
    QCOMPARE(fine.summary(), QStringLiteral("可以匹配"));
    QVERIFY(fine.reasons().isEmpty());
}

void TestCompatibility::table()
{
    // A thousand writers and a thousand readers in a few QoS variants.
    const std::vector<CompatibilityKey> writerKinds = {
        plain(), with([](CompatibilityKey& k) { k.reliability = 2; }), partitions({"A*"})};
    const std::vector<CompatibilityKey> readerKinds = {
        plain(), with([](CompatibilityKey& k) { k.reliability = 2; }), partitions({"Alpha"}),
        partitions({"B"})};
    CompatibilityTable table;
    std::vector<int> writers;
    std::vector<int> readers;
    for (int i = 0; i < 1000; ++i) {
        writers.push_back(table.addWriter(writerKinds[size_t(i) % writerKinds.size()]));
        readers.push_back(table.addReader(readerKinds[size_t(i * 7) % readerKinds.size()]));
    }
    QCOMPARE(table.writerGroupCount(), 3);
    QCOMPARE(table.readerGroupCount(), 4);
    int wrong = 0;
    int compatible = 0;
    for (size_t w = 0; w < writers.size(); ++w) {
        for (size_t r = 0; r < readers.size(); ++r) {
            const QosRuleSet broken = table.check(writers[w], readers[r]);
            wrong +=
                broken != CompatibilityEngine::check(writerKinds[w % 3], readerKinds[(r * 7) % 4]);
            compatible += broken == QosRuleSet() ? 1 : 0;
        }
    }
    QCOMPARE(wrong, 0);
    QVERIFY(compatible > 0 && compatible < 1000 * 1000);
    QCOMPARE(table.checkedPairs(), 12);
    QCOMPARE(table.judge(writers[2], readers[3]).brokenRules(),
             table.check(writers[2], readers[3]));
}

void TestCompatibility::agreesWithCyclone_data()
{
    QTest::addColumn<int>("domainIndex");
    QTest::addColumn<bool>("twoProcesses");
    QTest::addColumn<uint>("seed");
    QTest::addColumn<int>("pairs");

    // Writers and readers in two processes match through discovery; in one process Cyclone
    // matches them locally, from the QoS as created rather than as announced.
    QTest::newRow("two processes") << 0 << true << 20240611u << 250;
    QTest::newRow("one process") << 1 << false << 77u << 200;
}

void TestCompatibility::agreesWithCyclone()
{
    QFETCH(int, domainIndex);
    QFETCH(bool, twoProcesses);
    QFETCH(uint, seed);
    QFETCH(int, pairs);
    const uint32_t domain = TestEnv::domain(domainIndex);

    WatchedDomain monitor(domain);
    QVERIFY(monitor.isValid());
    const QStringList common = {QStringLiteral("--domain"),        QString::number(domain),
                                QStringLiteral("--random-pairs"),  QString::number(pairs),
                                QStringLiteral("--seed"),          QString::number(seed),
                                QStringLiteral("--report-matches")};
    PeerProcess first;
    PeerProcess second;
    if (twoProcesses) {
        QVERIFY2(first.startPeer(common + QStringList{QStringLiteral("--pair-side"),
                                                      QStringLiteral("writers")}),
                 qPrintable(first.errorString()));
        QVERIFY2(second.startPeer(common + QStringList{QStringLiteral("--pair-side"),
                                                       QStringLiteral("readers")}),
                 qPrintable(second.errorString()));
    } else {
        QVERIFY2(first.startPeer(common), qPrintable(first.errorString()));
    }
    const PeerProcess& readerPeer = twoProcesses ? second : first;
    QCOMPARE(int(first.writers().size()), pairs);
    QCOMPARE(int(readerPeer.readers().size()), pairs);

    std::map<std::string, int> matched;
    QString error;
    QVERIFY2(readMatches(first, matched, error), qPrintable(error));
    if (twoProcesses) {
        QVERIFY2(readMatches(second, matched, error), qPrintable(error));
    }
    QCOMPARE(int(matched.size()), 2 * pairs);

    // The records the monitor sees, once it has seen every one of them.
    Discovered seen;
    const auto seesAll = [&] {
        seen = discover(monitor.participant());
        for (const PeerProcess::Endpoint& w : first.writers()) {
            if (seen.writers.count(w.key) == 0) {
                return false;
            }
        }
        for (const PeerProcess::Endpoint& r : readerPeer.readers()) {
            if (seen.readers.count(r.key) == 0) {
                return false;
            }
        }
        return true;
    };
    QTRY_VERIFY_WITH_TIMEOUT(seesAll(), 60000);

    std::map<QString, std::string> readerOfTopic;
    for (const PeerProcess::Endpoint& r : readerPeer.readers()) {
        readerOfTopic[r.topic] = r.key;
    }
    QStringList disagreements;
    int compatible = 0;
    std::map<QosRule, int> brokenCounts;
    for (const PeerProcess::Endpoint& w : first.writers()) {
        QVERIFY(readerOfTopic.count(w.topic) == 1);
        const std::string& readerKey = readerOfTopic[w.topic];
        const PublicationBuiltinTopicData& writer = seen.writers[w.key];
        const SubscriptionBuiltinTopicData& reader = seen.readers[readerKey];
        const int readerMatched = matched[readerKey];
        const int writerMatched = matched[w.key];
        QVERIFY2(readerMatched == writerMatched && (readerMatched == 0 || readerMatched == 1),
                 qPrintable(w.topic));

        const Verdict verdict = CompatibilityEngine::judge(domain, writer, domain, reader);
        compatible += verdict.isCompatible() ? 1 : 0;
        for (QosRule rule : allQosRules()) {
            brokenCounts[rule] += verdict.brokenRules().testFlag(rule) ? 1 : 0;
        }
        if (verdict.isCompatible() != (readerMatched == 1)) {
            disagreements << QStringLiteral("%1: Cyclone %2, engine %3\n  writer %4\n  reader %5")
                                 .arg(w.topic,
                                      readerMatched ? QStringLiteral("matched")
                                                    : QStringLiteral("did not match"),
                                      verdict.summary(),
                                      describe(CompatibilityKey::ofWriter(domain, writer)),
                                      describe(CompatibilityKey::ofReader(domain, reader)));
        }
    }
    QStringList figures;
    for (QosRule rule : allQosRules()) {
        figures << qosPolicyName(rule) + QLatin1Char(' ') + QString::number(brokenCounts[rule]);
    }
    qInfo("%d pairs, %d compatible, %d disagreements; broken: %s", pairs, compatible,
          int(disagreements.size()), qPrintable(figures.join(QStringLiteral(", "))));
    QVERIFY2(disagreements.isEmpty(), qPrintable(disagreements.join(QLatin1Char('\n'))));

    // The draw must leave both outcomes common and break every rule that a pair on one topic
    // in one domain can break, or the agreement proves little.
    QVERIFY2(compatible >= pairs / 5 && pairs - compatible >= pairs / 5,
             qPrintable(QString::number(compatible)));
    for (QosRule rule : allQosRules()) {
        if (rule != QosRule::Domain && rule != QosRule::TopicName) {
            QVERIFY2(brokenCounts[rule] > 0, qPrintable(qosPolicyName(rule)));
        }
    }
}

// A writer that moves to another partition and offers a longer deadline than its reader asks
// for, under the same handle: the problems watch reports the pair as an error, and no more once
// the writer is restored.
void TestCompatibility::problemsFollowAChangedWriter()
{
    const uint32_t domain = TestEnv::domain(2);
    WatchedDomain monitor(domain);
    QVERIFY(monitor.isValid());
    RequalifyForge forge;
    QVERIFY2(forge.start(domain), qPrintable(forge.errorString()));
    ProblemWatch watch(MonitorLib::getInstance(), ProblemLimits(), nullptr, 0);
    watch.refresh();
    const auto entry = [&] { return pairEntry(*watch.report(), domain, forge); };
    QTRY_COMPARE_WITH_TIMEOUT(entry(), QStringLiteral("no entry"), 20000);
    QCOMPARE(watch.report()->errorCount(), uint64_t(0));

    QVERIFY(forge.change(true));
    QTRY_COMPARE_WITH_TIMEOUT(entry(), QStringLiteral("ForgeRequalify deadline,partition"), 20000);
    QCOMPARE(watch.report()->errorCount(), uint64_t(1));

    QVERIFY(forge.change(false));
    QTRY_COMPARE_WITH_TIMEOUT(entry(), QStringLiteral("no entry"), 20000);
    QCOMPARE(watch.report()->errorCount(), uint64_t(0));
    QVERIFY(forge.stop());
}

QTEST_GUILESS_MAIN(TestCompatibility)
#include "tst_compatibility.moc"
