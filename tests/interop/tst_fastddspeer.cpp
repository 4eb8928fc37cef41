// A Fast DDS participant in another process, next to a Cyclone DDS peer that uses default
// participant QoS: the monitor discovers the Fast DDS participant, its writer and its reader
// with topic, type and the QoS the program set, and shows its real host and process (from
// its fastdds.physical_data.* properties) in the physical view and the detail tabs. Data flows
// from the Cyclone writer to the Fast DDS reader.
#include "EndpointLookup.h"
#include "ForeignPeer.h"
#include "HostInfoWidget.h"
#include "PeerProcess.h"
#include "ProcessEndpoints.h"
#include "QoSInfo.h"
#include "SysLogic.h"
#include "SysPhysics.h"
#include "TestEnv.h"
#include "TopicEndpoints.h"
#include "TopicInfo.h"
#include "WatchedDomain.h"

#include <QRegularExpression>
#include <QtTest>
#include <memory>

using namespace ZORVAN;
using namespace ForeignPeer;

namespace {

Duration_t duration(int32_t sec, uint32_t nanosec)
{
    Duration_t d;
    d.sec = sec;
    d.nanosec = nanosec;
    return d;
}

bool operator==(const Duration_t& a, const Duration_t& b)
{
    return a.sec == b.sec && a.nanosec == b.nanosec;
}

} // namespace

class TestFastDdsPeer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void discovered();
    void writerRecord();
    void readerRecord();
    void qosPanel_data();
    void qosPanel();
    void identity();
    void physicalView();
    void detailTabs();
    void dataFromCyclone();
    void leavesOnStop();

private:
    InstanceHandle_t writer() const { return HandleText::handleFromKey(m_fast.writers()[0].key); }
    InstanceHandle_t reader() const { return HandleText::handleFromKey(m_fast.readers()[0].key); }

    uint32_t m_domainId = 0;
    std::unique_ptr<WatchedDomain> m_domain;
    PeerProcess m_fast;
    PeerProcess m_cyclone;
};

void TestFastDdsPeer::initTestCase()
{
    m_domainId = TestEnv::domain(0);
    const QString domain = QString::number(m_domainId);
    const QString program = TestEnv::program("BRELVANE_FASTDDS_PEER");
    const QString profile = TestEnv::program("BRELVANE_FASTDDS_PROFILE");
    QVERIFY(!program.isEmpty() && !profile.isEmpty());
    QVERIFY2(m_fast.start(program, {"--domain", domain, "--profile", profile}),
             qPrintable(m_fast.errorString()));
    QCOMPARE(int(m_fast.participants().size()), 1);
    QCOMPARE(int(m_fast.writers().size()), 1);
    QCOMPARE(int(m_fast.readers().size()), 1);
    QCOMPARE(m_fast.writers()[0].topic, QStringLiteral("InteropTrack"));
    QCOMPARE(m_fast.readers()[0].topic, QStringLiteral("InteropCommand"));
    // Offers what the Fast DDS reader requests, in its partition.
    QVERIFY2(m_cyclone.startPeer({"--domain", domain, "--writer", "InteropCommand@interop::Sample",
                                  "--qos",
                                  "reliability=reliable;deadline=1;liveliness=automatic:5;"
                                  "partition=InteropB",
                                  "--publish-rate", "5"}),
             qPrintable(m_cyclone.errorString()));
    m_domain = std::make_unique<WatchedDomain>(m_domainId);
    QVERIFY(m_domain->isValid());
}

void TestFastDdsPeer::cleanupTestCase()
{
    m_cyclone.stop();
    m_fast.stop();
    m_domain.reset();
}

void TestFastDdsPeer::discovered()
{
    MonitorLib& monitor = MonitorLib::getInstance();
    ParticipantBuiltinTopicData participant;
    QTRY_VERIFY_WITH_TIMEOUT(participantRecord(m_domainId, m_fast.participants()[0], participant),
                             discoveryMs);
    QCOMPARE(text(participant.user_data.value), std::string("fastdds interop peer"));
    QTRY_VERIFY_WITH_TIMEOUT(findPublicationData(monitor, writer()) != nullptr, discoveryMs);
    QTRY_VERIFY_WITH_TIMEOUT(findSubscriptionData(monitor, reader()) != nullptr, discoveryMs);
    QTRY_VERIFY_WITH_TIMEOUT(
        findPublicationData(monitor, HandleText::handleFromKey(m_cyclone.writers()[0].key)),
        discoveryMs);
    // The logical view: both Fast DDS topics, the Cyclone writer's topic among them.
    const LogicalTree expected{
        {m_domainId, {std::string("InteropCommand"), std::string("InteropTrack")}}};
    QCOMPARE(collectLogicalTree(monitor), expected);
}

void TestFastDdsPeer::writerRecord()
{
    const auto data = findPublicationData(MonitorLib::getInstance(), writer());
    QVERIFY(data);
    QCOMPARE(HandleText::keyOf(data->participant_key), m_fast.participants()[0]);
    QCOMPARE(data->topic_name, std::string("InteropTrack"));
    QCOMPARE(data->type_name, std::string("interop::Sample"));
    QCOMPARE(int(data->reliability.kind), 2);
    QVERIFY(data->reliability.max_blocking_time == duration(0, 250000000));
    QCOMPARE(int(data->durability.kind), 1);
    QVERIFY(data->deadline.period == duration(2, 0));
    QVERIFY(data->latency_budget.duration == duration(0, 500000000));
    QCOMPARE(int(data->liveliness.kind), 1);
    QVERIFY(data->liveliness.lease_duration == duration(6, 0));
    QCOMPARE(int(data->ownership.kind), 1);
    QCOMPARE(data->ownership_strength.value, 7);
    QVERIFY(data->lifespan.duration == duration(30, 0));
    QCOMPARE(text(data->user_data.value), std::string("fast writer"));
    QCOMPARE(data->partition.name, (std::vector<std::string>{"InteropA", "InteropB"}));
    QCOMPARE(text(data->topic_data.value), std::string("fast topic"));
    QCOMPARE(text(data->group_data.value), std::string("fast group"));
    QCOMPARE(int(data->destination_order.kind), 0);
}

void TestFastDdsPeer::readerRecord()
{
    const auto data = findSubscriptionData(MonitorLib::getInstance(), reader());
    QVERIFY(data);
    QCOMPARE(HandleText::keyOf(data->participant_key), m_fast.participants()[0]);
    QCOMPARE(data->topic_name, std::string("InteropCommand"));
    QCOMPARE(data->type_name, std::string("interop::Sample"));
    QCOMPARE(int(data->reliability.kind), 2);
    QCOMPARE(int(data->durability.kind), 0);
    QVERIFY(data->deadline.period == duration(5, 0));
    QCOMPARE(int(data->liveliness.kind), 0);
    QVERIFY(data->liveliness.lease_duration == duration(10, 0));
    QCOMPARE(int(data->ownership.kind), 0);
    QCOMPARE(text(data->user_data.value), std::string("fast reader"));
    QCOMPARE(data->partition.name, std::vector<std::string>{"InteropB"});
    QVERIFY(data->topic_data.value.empty());
    QVERIFY(data->group_data.value.empty());
}

void TestFastDdsPeer::qosPanel_data()
{
    QTest::addColumn<bool>("isWriter");
    QTest::addColumn<QStringList>("rows"); // each must be in the tree
    QTest::newRow("writer") << true
                            << QStringList{"durability/kind=TRANSIENT_LOCAL_DURABILITY_QOS",
                                           "deadline/period={2,0}",
                                           "latency_budget/duration={0,500000000}",
                                           "liveliness/kind=MANUAL_BY_PARTICIPANT_LIVELINESS_QOS",
                                           "liveliness/lease_duration={6,0}",
                                           "reliability/kind=RELIABLE_RELIABILITY_QOS",
                                           "reliability/max_blocking_time={0,250000000}",
                                           "lifespan/duration={30,0}",
                                           "user_data/value=fast writer",
                                           "ownership/kind=EXCLUSIVE_OWNERSHIP_QOS",
                                           "ownership_strength/value=7",
                                           "partition/name=InteropAInteropB",
                                           "topic_data/value=fast topic",
                                           "group_data/value=fast group"};
    QTest::newRow("reader") << false
                            << QStringList{"user_data/value=fast reader",
                                           "durability/kind=VOLATILE_DURABILITY_QOS",
                                           "deadLine/period={5,0}",
                                           "liveliness/kind=AUTOMATIC_LIVELINESS_QOS",
                                           "liveliness/duration={10,0}",
                                           "reliablity/kind=RELIABLE_RELIABILITY_QOS",
                                           "ownership/kind=SHARED_OWNERSHIP_QOS",
                                           "partition/value_0=InteropB"};
}

void TestFastDdsPeer::qosPanel()
{
    QFETCH(bool, isWriter);
    QFETCH(QStringList, rows);
    QoSInfo panel;
    panel.setInfo(isWriter ? writer() : reader(), isWriter ? WriterQoS : ReaderQoS);
    const QStringList shown = qosRows(panel.qosTree);
    for (const QString& row : rows) {
        QVERIFY2(shown.contains(row),
                 qPrintable(row + QStringLiteral(" in ") + shown.join(QStringLiteral(", "))));
    }
}

// Fast DDS names its host, process id and user; the monitor reads them as system information.
// It names no executable, so the process keeps the default name.
void TestFastDdsPeer::identity()
{
    ParticipantBuiltinTopicData data;
    QVERIFY(participantRecord(m_domainId, m_fast.participants()[0], data));
    const QStringList properties = propertyLines(data);
    const QString host = QString::fromStdString(hostName());
    QVERIFY2(properties.contains(QStringLiteral("fastdds.physical_data.process=") +
                                 QString::number(m_fast.processId())),
             qPrintable(properties.join(QLatin1Char(' '))));
    const ParticipantSysInfo info = sysInfo(data);
    QCOMPARE(info.hostName, hostName());
    QCOMPARE(qint64(info.pid), m_fast.processId());
    QCOMPARE(info.userName, localUserName());
    QCOMPARE(info.ips, std::string("127.0.0.1"));
    QCOMPARE(info.processName, std::string("/path/to/exe"));
    QCOMPARE(info.executablePath, std::string("Other"));
    QCOMPARE(info.target, std::string("target"));
}

// Both vendors' processes on this one host, the Cyclone peer by its process name.
void TestFastDdsPeer::physicalView()
{
    const std::string host = hostName();
    QStringList expected{QString::fromStdString(host + "-127.0.0.1|/path/to/exe:" +
                                                std::to_string(m_fast.processId())),
                         QString::fromStdString(host + "-127.0.0.1|dds-peer:" +
                                                std::to_string(m_cyclone.processId()))};
    if (m_cyclone.processId() < m_fast.processId()) {
        expected.swapItemsAt(0, 1);
    }
    QCOMPARE(physicalLines(collectPhysicalTree(MonitorLib::getInstance())), expected);
}

// The topic tab and the host tab name the Fast DDS process by its real host and id.
void TestFastDdsPeer::detailTabs()
{
    MonitorLib& monitor = MonitorLib::getInstance();
    const std::string host = hostName();
    const uint32_t pid = uint32_t(m_fast.processId());
    const TopicEndpoints topic = collectTopicEndpoints(monitor, m_domainId, "InteropTrack");
    QCOMPARE(int(topic.writers.size()), 1);
    QVERIFY(topic.readers.empty());
    const ProcessIdentity& shown = topic.writers.at(m_fast.writers()[0].key);
    QCOMPARE(shown.hostName, host);
    QCOMPARE(shown.ips, std::string("127.0.0.1"));
    QCOMPARE(shown.pid, pid);

    const ProcessEndpoints process =
        collectProcessEndpoints(monitor, {host, "127.0.0.1", "/path/to/exe", pid});
    QCOMPARE(int(process.writers.size()), 1);
    QCOMPARE(int(process.readers.size()), 1);
    QCOMPARE(process.writers.begin()->first, m_fast.writers()[0].key);
    QCOMPARE(process.readers.begin()->first, m_fast.readers()[0].key);
    QCOMPARE(process.domains, std::set<uint32_t>{m_domainId});
}

void TestFastDdsPeer::dataFromCyclone()
{
    const QString line = m_fast.waitForLine(QStringLiteral("RECEIVED "), discoveryMs);
    QVERIFY2(
        QRegularExpression(QStringLiteral("^RECEIVED \\d+ sample \\d+$")).match(line).hasMatch(),
        qPrintable(line));
}

// A clean end on SIGTERM deletes the entities, so the monitor drops them well before the
// participant's lease (20 s in Fast DDS) would have run out.
void TestFastDdsPeer::leavesOnStop()
{
    QVERIFY(m_fast.stop());
    ParticipantBuiltinTopicData data;
    QTRY_VERIFY_WITH_TIMEOUT(!participantRecord(m_domainId, m_fast.participants()[0], data), 10000);
    QVERIFY(!findPublicationData(MonitorLib::getInstance(), writer()));
}

QTEST_MAIN(TestFastDdsPeer)
#include "tst_fastddspeer.moc"
