// rtps-forge's announcements as the middleware layer receives them: forged participants with
// their system information, their writers and readers, announcements the stack must refuse,
// a receiver that keeps discovering after the malformed ones, a writer announced again
// under its GUID with another partition and deadline, and the benchmark's system with its
// commands.
#include "DomainParticipantFactory.h"
#include "LoadPlan.h"
#include "ParticipantSysInfo.h"
#include "PeerProcess.h"
#include "TestEnv.h"

#include <QProcess>
#include <QtTest>
#include <csignal>
#include <map>
#include <memory>
#include <set>

using namespace ZORVAN;

namespace {

// A running rtps-forge; SIGTERM at the end makes it dispose its participants.
class Forge
{
public:
    bool start(uint32_t domain, const QStringList& arguments)
    {
        const QString program = TestEnv::program("BRELVANE_RTPS_FORGE");
        if (program.isEmpty()) {
            return false;
        }
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program, QStringList{QStringLiteral("--domain"), QString::number(domain)} +
                                     arguments);
        return m_process.waitForStarted(10000);
    }
    // The first output line starting with `prefix`, without it.
    QString line(const QString& prefix)
    {
        while (m_process.state() != QProcess::NotRunning || m_process.canReadLine()) {
            while (m_process.canReadLine()) {
                const QString text = QString::fromUtf8(m_process.readLine()).trimmed();
                if (text.startsWith(prefix)) {
                    return text.mid(prefix.size());
                }
            }
            m_process.waitForReadyRead(1000);
        }
        return QString();
    }
    // One command line on the forge's standard input.
    bool send(const QString& line)
    {
        return m_process.write((line + QLatin1Char('\n')).toUtf8()) > 0 &&
               m_process.waitForBytesWritten(5000);
    }
    bool waitForEnd(int timeoutMs)
    {
        return m_process.waitForFinished(timeoutMs) && m_process.exitCode() == 0;
    }
    // Freezes and thaws the process: while frozen it announces nothing at all.
    bool pause() { return ::kill(pid_t(m_process.processId()), SIGSTOP) == 0; }
    bool resume() { return ::kill(pid_t(m_process.processId()), SIGCONT) == 0; }
    bool stop()
    {
        ::kill(pid_t(m_process.processId()), SIGTERM);
        return m_process.waitForFinished(15000) && m_process.exitCode() == 0;
    }
    ~Forge()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

private:
    QProcess m_process;
};

bool forgedKey(const BuiltinTopicKey_t& key)
{
    return key.value[0] == 0x7f && key.value[1] == 0x7f && key.value[2] == 'F' &&
           key.value[3] == 'G';
}

// What one query round found of the forged peers.
struct Seen
{
    std::map<std::string, ParticipantSysInfo> byHost;
    size_t participants = 0;
    std::vector<PublicationBuiltinTopicData> writers;
    std::vector<SubscriptionBuiltinTopicData> readers;

    size_t writersOn(const std::string& topic) const
    {
        return size_t(std::count_if(writers.begin(), writers.end(),
                                    [&](const auto& w) { return w.topic_name == topic; }));
    }
    size_t readersOn(const std::string& topic) const
    {
        return size_t(std::count_if(readers.begin(), readers.end(),
                                    [&](const auto& r) { return r.topic_name == topic; }));
    }
};

class Observer
{
public:
    explicit Observer(uint32_t domain)
    {
        m_participant = DomainParticipantFactory::get_instance()->create_participant(
            domain, PARTICIPANT_QOS_DEFAULT, nullptr, 0);
    }
    ~Observer()
    {
        if (m_participant) {
            m_participant->delete_contained_entities();
            DomainParticipantFactory::get_instance()->delete_participant(m_participant);
        }
    }
    bool valid() const { return m_participant != nullptr; }

    Seen look()
    {
        Seen seen;
        InstanceHandleSeq handles;
        m_participant->get_discovered_participants(handles);
        for (const InstanceHandle_t& handle : handles) {
            ParticipantBuiltinTopicData data;
            m_participant->get_discovered_participant_data(data, handle);
            if (forgedKey(data.key)) {
                ParticipantSysInfo info;
                readSysInfo(data, info);
                seen.byHost[info.hostName] = info;
                ++seen.participants;
            }
        }
        handles.clear();
        m_participant->get_publications(handles, true);
        for (const InstanceHandle_t& handle : handles) {
            PublicationBuiltinTopicData data;
            if (m_participant->get_publication_data(data, handle) == RETCODE_OK &&
                forgedKey(data.key)) {
                seen.writers.push_back(data);
            }
        }
        handles.clear();
        m_participant->get_subscriptions(handles, true);
        for (const InstanceHandle_t& handle : handles) {
            SubscriptionBuiltinTopicData data;
            if (m_participant->get_subscription_data(data, handle) == RETCODE_OK &&
                forgedKey(data.key)) {
                seen.readers.push_back(data);
            }
        }
        return seen;
    }

private:
    DomainParticipant* m_participant = nullptr;
};

const int discoveryMs = 20000;

// The partitions and the deadline period (seconds) of the forged writer on ForgeRequalify, as
// the receiver has it; "none" while there is no such writer, "many" for more than one.
QString requalifyWriter(Observer& observer)
{
    const Seen seen = observer.look();
    if (seen.writersOn("ForgeRequalify") != 1) {
        return seen.writersOn("ForgeRequalify") == 0 ? QStringLiteral("none")
                                                     : QStringLiteral("many");
    }
    for (const PublicationBuiltinTopicData& writer : seen.writers) {
        if (writer.topic_name == "ForgeRequalify") {
            QStringList names;
            for (const std::string& name : writer.partition.name) {
                names << QString::fromStdString(name);
            }
            return names.join(QLatin1Char('|')) + QLatin1Char(' ') +
                   QString::number(writer.deadline.period.sec);
        }
    }
    return QString();
}

std::set<QByteArray> keysOf(const Seen& seen)
{
    std::set<QByteArray> keys;
    for (const PublicationBuiltinTopicData& writer : seen.writers) {
        keys.insert(QByteArray(reinterpret_cast<const char*>(writer.key.value), 16));
    }
    for (const SubscriptionBuiltinTopicData& reader : seen.readers) {
        keys.insert(QByteArray(reinterpret_cast<const char*>(reader.key.value), 16));
    }
    return keys;
}

template <typename Data>
const Data* onTopic(const std::vector<Data>& endpoints, const std::string& topic)
{
    for (const Data& endpoint : endpoints) {
        if (endpoint.topic_name == topic) {
            return &endpoint;
        }
    }
    return nullptr;
}

QString keyOf(const Seen& seen, const std::string& topic)
{
    for (const PublicationBuiltinTopicData& writer : seen.writers) {
        if (writer.topic_name == topic) {
            return PeerProcess::hexFromKey(
                std::string(reinterpret_cast<const char*>(writer.key.value), 16));
        }
    }
    return QString();
}

} // namespace

class TestRtpsForge : public QObject
{
    Q_OBJECT

private slots:
    void announcesParticipantWithItsEndpointsAndDisposesIt()
    {
        Observer observer(TestEnv::domain(0));
        QVERIFY(observer.valid());
        Forge forge;
        QVERIFY(forge.start(TestEnv::domain(0),
                            {QStringLiteral("--scenario"), QStringLiteral("basic")}));
        QTRY_VERIFY_WITH_TIMEOUT(observer.look().writersOn("ForgeTopic") == 1 &&
                                     observer.look().readersOn("ForgeTopic") == 1,
                                 discoveryMs);
        const Seen seen = observer.look();
        QCOMPARE(seen.participants, size_t(1));
        QVERIFY(seen.byHost.count("forge-host"));
        const ParticipantSysInfo& info = seen.byHost.at("forge-host");
        QCOMPARE(info.pid, 4242u);
        QCOMPARE(info.userName, std::string("forger"));
        QCOMPARE(info.executablePath, std::string("/opt/forge/bin/forged-app"));
        QCOMPARE(info.processName, std::string("forged-app"));
        QCOMPARE(info.target, std::string("x86_64.linux"));
        QCOMPARE(info.creationTimestamp, std::string("2024-05-01 10:00:00"));
        QCOMPARE(info.executionTimestamp, std::string("2024-05-01 10:00:01"));
        QCOMPARE(info.ips, std::string("192.0.2.10"));
        QCOMPARE(info.userData, (std::vector<uint8_t>{'f', 'o', 'r', 'g', 'e'}));
        const PublicationBuiltinTopicData& writer = seen.writers.front();
        QCOMPARE(writer.type_name, std::string("forge::Sample"));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(writer.participant_key.value), 16),
                 QByteArray(reinterpret_cast<const char*>(info.key), 16));
        QCOMPARE(int(writer.reliability.kind), 2); // reliable

        QVERIFY(forge.stop());
        QTRY_COMPARE_WITH_TIMEOUT(observer.look().participants, size_t(0), discoveryMs);
        QTRY_COMPARE_WITH_TIMEOUT(observer.look().writers.size(), size_t(0), discoveryMs);
    }

    // Runs in the first test's domain, which that test leaves without forged participants.
    void leaseExpiresWithoutGoodbye()
    {
        Observer observer(TestEnv::domain(0));
        Forge forge;
        QVERIFY(
            forge.start(TestEnv::domain(0),
                        {QStringLiteral("--scenario"), QStringLiteral("basic"),
                         QStringLiteral("--no-dispose"), QStringLiteral("--lease"),
                         QStringLiteral("3"), QStringLiteral("--duration"), QStringLiteral("4")}));
        QTRY_COMPARE_WITH_TIMEOUT(observer.look().participants, size_t(1), discoveryMs);
        QVERIFY(forge.waitForEnd(discoveryMs));
        QTRY_COMPARE_WITH_TIMEOUT(observer.look().participants, size_t(0), discoveryMs);
        QCOMPARE(observer.look().writers.size(), size_t(0));
    }

    // A receiver that dropped a forged participant because its lease ran out while the forge
    // was silent (a busy machine) learns its endpoints again when the participant returns.
    // Runs in the first test's domain, which the test before leaves empty.
    void endpointsReturnAfterTheLeaseRanOut()
    {
        Observer observer(TestEnv::domain(0));
        Forge forge;
        QVERIFY(
            forge.start(TestEnv::domain(0), {QStringLiteral("--scenario"), QStringLiteral("basic"),
                                             QStringLiteral("--lease"), QStringLiteral("2")}));
        QTRY_VERIFY_WITH_TIMEOUT(observer.look().writersOn("ForgeTopic") == 1 &&
                                     observer.look().readersOn("ForgeTopic") == 1,
                                 discoveryMs);
        QVERIFY(forge.pause());
        // The endpoints go with the participant.
        QTRY_VERIFY_WITH_TIMEOUT(observer.look().participants == 0 &&
                                     observer.look().writers.empty() &&
                                     observer.look().readers.empty(),
                                 discoveryMs);
        QVERIFY(forge.resume());
        QTRY_VERIFY_WITH_TIMEOUT(observer.look().participants == 1 &&
                                     observer.look().writersOn("ForgeTopic") == 1 &&
                                     observer.look().readersOn("ForgeTopic") == 1,
                                 discoveryMs);
        QVERIFY(forge.stop());
        QTRY_COMPARE_WITH_TIMEOUT(observer.look().participants, size_t(0), discoveryMs);
    }

    void processIdsThatAreNoNumbers()
    {
        Observer observer(TestEnv::domain(1));
        Forge forge;
        QVERIFY(forge.start(TestEnv::domain(1),
                            {QStringLiteral("--scenario"), QStringLiteral("bad-pid")}));
        QTRY_COMPARE_WITH_TIMEOUT(observer.look().participants, size_t(6), discoveryMs);
        const Seen seen = observer.look();
        // abc, -1, 2^64, 2^32 + 1, empty; the canary announces 4247.
        const std::map<std::string, uint32_t> expected = {
            {"forge-pid-1", 1u}, {"forge-pid-2", 4294967295u}, {"forge-pid-3", 1u},
            {"forge-pid-4", 1u}, {"forge-pid-5", 1u},          {"forge-canary", 4247u}};
        for (const auto& host : expected) {
            QVERIFY2(seen.byHost.count(host.first), host.first.c_str());
            QCOMPARE(seen.byHost.at(host.first).pid, host.second);
        }
    }

    void namesThatAreNotUtf8()
    {
        Observer observer(TestEnv::domain(2));
        Forge forge;
        QVERIFY(forge.start(TestEnv::domain(2),
                            {QStringLiteral("--scenario"), QStringLiteral("bad-utf8")}));
        QTRY_VERIFY_WITH_TIMEOUT(observer.look().writers.size() == 3 &&
                                     observer.look().readers.size() == 1 &&
                                     observer.look().participants == 2,
                                 discoveryMs);
        const Seen seen = observer.look();
        QVERIFY(seen.byHost.count("\xff\xfehost"));
        const ParticipantSysInfo& info = seen.byHost.at("\xff\xfehost");
        QCOMPARE(info.target, std::string("\x80\x80"));
        QCOMPARE(info.ips, std::string("10.0.0.\xff"));
        // The user name arrives as GBK bytes and is shown as UTF-8.
        QCOMPARE(QString::fromStdString(info.userName), QString::fromUtf8("张三"));
        QCOMPARE(seen.writersOn("Topic\xff\xfe"), size_t(1));
        QCOMPARE(seen.readersOn("\xe4\xb8"), size_t(1));
        // A name with a zero byte inside ends at the zero.
        QCOMPARE(seen.writersOn("Emb"), size_t(1));
    }

    void longestNamesThatFitOneAnnouncement()
    {
        Observer observer(TestEnv::domain(3));
        Forge forge;
        QVERIFY(forge.start(TestEnv::domain(3),
                            {QStringLiteral("--scenario"), QStringLiteral("huge")}));
        const size_t size =
            forge.line(QStringLiteral("huge: strings of ")).section(' ', 0, 0).toULong();
        QVERIFY(size > 60000);
        QTRY_VERIFY_WITH_TIMEOUT(observer.look().writers.size() == 2 &&
                                     observer.look().readers.size() == 1,
                                 discoveryMs);
        const Seen seen = observer.look();
        QVERIFY(seen.byHost.count(std::string(size, 'h')));
        QCOMPARE(seen.writersOn(std::string(size, 't')), size_t(1));
        QCOMPARE(seen.readers.front().type_name, std::string(size, 'y'));
    }

    void thousandsOfEndpointsOnOneTopic()
    {
        Observer observer(TestEnv::domain(4));
        Forge forge;
        QVERIFY(forge.start(TestEnv::domain(4),
                            {QStringLiteral("--scenario"), QStringLiteral("many-endpoints"),
                             QStringLiteral("--count"), QStringLiteral("3000")}));
        QTRY_VERIFY_WITH_TIMEOUT(observer.look().writersOn("ForgeCrowd") == 3000 &&
                                     observer.look().readersOn("ForgeCrowd") == 3000,
                                 2 * discoveryMs);
    }

    void malformedAnnouncementsAreRefusedAndDiscoveryGoesOn()
    {
        Observer observer(TestEnv::domain(5));
        Forge forge;
        QVERIFY(forge.start(TestEnv::domain(5),
                            {QStringLiteral("--scenario"), QStringLiteral("malformed")}));
        // The canary comes after every broken announcement of each round.
        QTRY_VERIFY_WITH_TIMEOUT(observer.look().writersOn("ForgeCanary") == 1, discoveryMs);
        // A few more rounds of broken announcements.
        QTest::qWait(3000);
        const Seen seen = observer.look();
        QVERIFY(seen.byHost.count("forge-canary"));
        QVERIFY(seen.byHost.count("forge-broken-endpoints"));
        QVERIFY(!seen.byHost.count("forge-broken"));
        QCOMPARE(seen.writers.size(), size_t(1));
        QCOMPARE(seen.readers.size(), size_t(0));
    }

    // The benchmark's system as the middleware receives it: every participant with the load
    // generator's system information, every endpoint on its topic with its topic's QoS, and
    // the benchmark's commands: a probe writer, churn under new GUIDs, a crowd and its
    // departure, the end.
    void benchmarkSystemWithItsCommands()
    {
        const uint32_t domain = TestEnv::domain(7);
        Observer observer(domain);
        QVERIFY(observer.valid());
        Forge forge;
        QVERIFY(forge.start(domain, {"--scenario", "system", "--participants", "6", "--writers",
                                     "9", "--readers", "7", "--topics", "4", "--hot-percent", "20",
                                     "--period", "1000"}));
        QCOMPARE(forge.line(QStringLiteral("READY ")), QStringLiteral("6 16 0"));
        LoadPlan plan;
        plan.participants = 6;
        plan.writers = 9;
        plan.readers = 7;
        plan.topics = 4;
        plan.hotPercent = 20;
        QTRY_VERIFY_WITH_TIMEOUT(observer.look().participants == 6 &&
                                     observer.look().writers.size() == 9 &&
                                     observer.look().readers.size() == 7,
                                 discoveryMs);
        Seen seen = observer.look();
        // All six on the load generator's first host, each a process of its own.
        QCOMPARE(seen.byHost.size(), size_t(1));
        QVERIFY(seen.byHost.count("bench-host-000"));
        const ParticipantSysInfo& info = seen.byHost.at("bench-host-000");
        QVERIFY(info.pid >= 20000 && info.pid < 20006);
        QCOMPARE(info.executablePath,
                 "/opt/bench/bin/app-" + std::to_string(info.pid - 20000).insert(0, 3, '0'));
        QCOMPARE(info.userName, std::string("bench"));
        std::map<std::string, size_t> writersOn;
        std::map<std::string, size_t> readersOn;
        for (const LoadPlan::Endpoint& e : plan.endpoints()) {
            ++(e.isWriter ? writersOn : readersOn)[LoadPlan::topicName(e.topic)];
        }
        for (const auto& topic : writersOn) {
            QCOMPARE(seen.writersOn(topic.first), topic.second);
        }
        for (const auto& topic : readersOn) {
            QCOMPARE(seen.readersOn(topic.first), topic.second);
        }
        QCOMPARE(seen.writersOn("bench/topic/00000"), size_t(2)); // 20 % of 9
        // The load generator's QoS shapes: writers on topic 1 reliable and transient local,
        // on 2 best effort with a deadline and a liveliness lease, on 3 in two partitions
        // ordered by source time stamp; readers on 0 as a reader without QoS of its own.
        const PublicationBuiltinTopicData* w1 = onTopic(seen.writers, "bench/topic/00001");
        const PublicationBuiltinTopicData* w2 = onTopic(seen.writers, "bench/topic/00002");
        const PublicationBuiltinTopicData* w3 = onTopic(seen.writers, "bench/topic/00003");
        const SubscriptionBuiltinTopicData* r0 = onTopic(seen.readers, "bench/topic/00000");
        QVERIFY(w1 && w2 && w3 && r0);
        QCOMPARE(int(w1->reliability.kind), 2);
        QCOMPARE(int(w1->durability.kind), 1);
        QCOMPARE(w1->type_name, std::string("bench::Sample1"));
        QCOMPARE(int(w2->reliability.kind), 1);
        QCOMPARE(w2->deadline.period.sec, 1);
        QCOMPARE(w2->liveliness.lease_duration.sec, 10);
        QCOMPARE(w3->partition.name, (std::vector<std::string>{"bench", "bench2"}));
        QCOMPARE(int(w3->destination_order.kind), 1);
        QCOMPARE(int(r0->reliability.kind), 1);
        QCOMPARE(int(r0->durability.kind), 0);

        QVERIFY(forge.send(QStringLiteral("probe bench/probe/0001")));
        QVERIFY(forge.line(QStringLiteral("probe bench/probe/0001 ")).toLongLong() > 0);
        QTRY_COMPARE_WITH_TIMEOUT(observer.look().writersOn("bench/probe/0001"), size_t(1),
                                  discoveryMs);
        QVERIFY(forge.send(QStringLiteral("unprobe")));
        QTRY_COMPARE_WITH_TIMEOUT(observer.look().writersOn("bench/probe/0001"), size_t(0),
                                  discoveryMs);

        // Churn replaces endpoints by others like them: the same counts, other GUIDs.
        const std::set<QByteArray> before = keysOf(observer.look());
        QVERIFY(forge.send(QStringLiteral("churn 20")));
        QCOMPARE(forge.line(QStringLiteral("churning ")), QStringLiteral("20"));
        QTRY_VERIFY_WITH_TIMEOUT(keysOf(observer.look()) != before, discoveryMs);
        QVERIFY(forge.send(QStringLiteral("churn 0")));
        QCOMPARE(forge.line(QStringLiteral("churning ")), QStringLiteral("0"));
        QTRY_VERIFY_WITH_TIMEOUT(observer.look().writers.size() == 9 &&
                                     observer.look().readers.size() == 7,
                                 discoveryMs);
        seen = observer.look();
        for (const auto& topic : writersOn) {
            QCOMPARE(seen.writersOn(topic.first), topic.second);
        }

        // The crowd: best-effort writers, the first two readers asking for reliable delivery.
        QVERIFY(forge.send(QStringLiteral("crowd 6 5 2")));
        QCOMPARE(forge.line(QStringLiteral("crowded ")), QStringLiteral("11"));
        QTRY_VERIFY_WITH_TIMEOUT(observer.look().writersOn("bench/crowd") == 6 &&
                                     observer.look().readersOn("bench/crowd") == 5,
                                 discoveryMs);
        seen = observer.look();
        size_t reliableReaders = 0;
        for (const SubscriptionBuiltinTopicData& reader : seen.readers) {
            reliableReaders += reader.topic_name == "bench/crowd" && reader.reliability.kind == 2;
        }
        QCOMPARE(reliableReaders, size_t(2));
        QCOMPARE(int(onTopic(seen.writers, "bench/crowd")->reliability.kind), 1);
        QVERIFY(forge.send(QStringLiteral("uncrowd")));
        QTRY_VERIFY_WITH_TIMEOUT(observer.look().writersOn("bench/crowd") == 0 &&
                                     observer.look().readersOn("bench/crowd") == 0,
                                 discoveryMs);

        QVERIFY(forge.send(QStringLiteral("quit")));
        QVERIFY(forge.waitForEnd(discoveryMs));
        QTRY_COMPARE_WITH_TIMEOUT(observer.look().participants, size_t(0), discoveryMs);
    }

    // On command the writer is disposed and announced again under its GUID, changed and
    // restored: the receiver keeps one writer with that key and takes the new QoS.
    void writerChangedAndRestoredOnCommand()
    {
        const uint32_t domain = TestEnv::domain(6);
        Observer observer(domain);
        QVERIFY(observer.valid());
        PeerProcess forge;
        QVERIFY2(forge.start(TestEnv::program("BRELVANE_RTPS_FORGE"),
                             {QStringLiteral("--domain"), QString::number(domain),
                              QStringLiteral("--scenario"), QStringLiteral("requalify"),
                              QStringLiteral("--commands")}),
                 qPrintable(forge.errorString()));
        QCOMPARE(forge.participants().size(), size_t(1));
        QCOMPARE(forge.writers().size(), size_t(1));
        QCOMPARE(forge.readers().size(), size_t(1));
        QCOMPARE(forge.writers()[0].topic, QStringLiteral("ForgeRequalify"));
        const QString writer = PeerProcess::hexFromKey(forge.writers()[0].key);
        QTRY_COMPARE_WITH_TIMEOUT(requalifyWriter(observer), QStringLiteral("Forge 1"),
                                  discoveryMs);
        QTRY_COMPARE_WITH_TIMEOUT(observer.look().readersOn("ForgeRequalify"), size_t(1),
                                  discoveryMs);
        QCOMPARE(keyOf(observer.look(), "ForgeRequalify"), writer);

        // The writer's first announcement is sequence number 1 of the publications writer; a
        // change takes two, the disposal and the new announcement.
        QVERIFY(forge.send(QStringLiteral("change")));
        QCOMPARE(forge.waitForLine(QStringLiteral("CHANGED ")),
                 QStringLiteral("CHANGED %1 3").arg(writer));
        QTRY_COMPARE_WITH_TIMEOUT(requalifyWriter(observer), QStringLiteral("Elsewhere 5"),
                                  discoveryMs);
        QCOMPARE(keyOf(observer.look(), "ForgeRequalify"), writer);
        QCOMPARE(observer.look().readersOn("ForgeRequalify"), size_t(1));

        QVERIFY(forge.send(QStringLiteral("bogus")));
        QCOMPARE(forge.waitForLine(QStringLiteral("FAILED ")),
                 QStringLiteral("FAILED unknown command: bogus"));
        QVERIFY(forge.send(QStringLiteral("restore")));
        QCOMPARE(forge.waitForLine(QStringLiteral("RESTORED ")),
                 QStringLiteral("RESTORED %1 5").arg(writer));
        QTRY_COMPARE_WITH_TIMEOUT(requalifyWriter(observer), QStringLiteral("Forge 1"),
                                  discoveryMs);
        QVERIFY(forge.stop());
        QTRY_COMPARE_WITH_TIMEOUT(requalifyWriter(observer), QStringLiteral("none"), discoveryMs);
    }

    // On the schedule the writer keeps alternating between its two versions.
    void writerAlternatesOnTheSchedule()
    {
        const uint32_t domain = TestEnv::domain(6);
        Observer observer(domain);
        PeerProcess forge;
        QVERIFY2(forge.start(TestEnv::program("BRELVANE_RTPS_FORGE"),
                             {QStringLiteral("--domain"), QString::number(domain),
                              QStringLiteral("--scenario"), QStringLiteral("requalify"),
                              QStringLiteral("--commands"), QStringLiteral("--change-after"),
                              QStringLiteral("1"), QStringLiteral("--change-every"),
                              QStringLiteral("2")}),
                 qPrintable(forge.errorString()));
        const QString writer = PeerProcess::hexFromKey(forge.writers()[0].key);
        QCOMPARE(forge.waitForLine(QStringLiteral("CHANGED ")),
                 QStringLiteral("CHANGED %1 3").arg(writer));
        QCOMPARE(forge.waitForLine(QStringLiteral("RESTORED ")),
                 QStringLiteral("RESTORED %1 5").arg(writer));
        for (int round = 0; round < 2; ++round) {
            QTRY_COMPARE_WITH_TIMEOUT(requalifyWriter(observer), QStringLiteral("Elsewhere 5"),
                                      discoveryMs);
            QTRY_COMPARE_WITH_TIMEOUT(requalifyWriter(observer), QStringLiteral("Forge 1"),
                                      discoveryMs);
        }
        QVERIFY(forge.stop());
        QTRY_COMPARE_WITH_TIMEOUT(requalifyWriter(observer), QStringLiteral("none"), discoveryMs);
    }

    // Announced again without a disposal: a receiver that comes later learns only the latest
    // announcement, the superseded one reaches it as a GAP. (One that knew the writer keeps the
    // partition and deadline it had: Cyclone DDS 0.10 takes no new partition or request/offer
    // policies that way. The participants of one process share what they learned, so the late
    // receiver comes after the early one has gone.)
    void updateReachesLaterReceivers()
    {
        const uint32_t domain = TestEnv::domain(6);
        auto early = std::make_unique<Observer>(domain);
        PeerProcess forge;
        QVERIFY2(forge.start(TestEnv::program("BRELVANE_RTPS_FORGE"),
                             {QStringLiteral("--domain"), QString::number(domain),
                              QStringLiteral("--scenario"), QStringLiteral("requalify"),
                              QStringLiteral("--commands"), QStringLiteral("--change-by"),
                              QStringLiteral("update")}),
                 qPrintable(forge.errorString()));
        const QString writer = PeerProcess::hexFromKey(forge.writers()[0].key);
        QTRY_COMPARE_WITH_TIMEOUT(requalifyWriter(*early), QStringLiteral("Forge 1"), discoveryMs);
        QVERIFY(forge.send(QStringLiteral("change")));
        QCOMPARE(forge.waitForLine(QStringLiteral("CHANGED ")),
                 QStringLiteral("CHANGED %1 2").arg(writer));
        early.reset();

        Observer late(domain);
        QVERIFY(late.valid());
        QTRY_COMPARE_WITH_TIMEOUT(requalifyWriter(late), QStringLiteral("Elsewhere 5"),
                                  discoveryMs);
        QCOMPARE(keyOf(late.look(), "ForgeRequalify"), writer);
        QVERIFY(forge.stop());
    }
};

QTEST_GUILESS_MAIN(TestRtpsForge)
#include "tst_rtpsforge.moc"
