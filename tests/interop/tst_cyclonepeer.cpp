// Cyclone DDS used directly, as another program would: a peer with default participant QoS,
// which announces its identity only in Cyclone's own "__" properties, and a peer that
// announces no identity at all. The first shows its real host and process in the physical
// view, the detail tabs and the match analysis; the second keeps the defaults.
#include "EndpointLookup.h"
#include "ForeignPeer.h"
#include "HostInfoWidget.h"
#include "PeerProcess.h"
#include "ProcessEndpoints.h"
#include "QoSInfo.h"
#include "SysLogic.h"
#include "SysPhysics.h"
#include "TestEnv.h"
#include "WatchedDomain.h"

#include <QRegularExpression>
#include <QtTest>
#include <memory>

using namespace ZORVAN;
using namespace ForeignPeer;

class TestCyclonePeer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void logicalView();
    void qosPanel_data();
    void qosPanel();
    void cycloneIdentity();
    void noIdentity();
    void physicalView();
    void hostDetail();
    void matchAnalysis();

private:
    InstanceHandle_t key(const std::string& bytes) const
    {
        return HandleText::handleFromKey(bytes);
    }

    uint32_t m_domainId = 0;
    std::unique_ptr<WatchedDomain> m_domain;
    PeerProcess m_direct; // default participant QoS
    PeerProcess m_silent; // one unrelated property, so none of Cyclone's own
};

void TestCyclonePeer::initTestCase()
{
    m_domainId = TestEnv::domain(0);
    const QString domain = QString::number(m_domainId);
    QVERIFY2(
        m_direct.startPeer({"--domain", domain, "--writer", "CycloneTrack@interop::Sample", "--qos",
                            "reliability=reliable:0.5;durability=transient_local;"
                            "deadline=3;partition=North|South;userdata=direct",
                            "--reader", "CycloneCommand@interop::Sample", "--qos",
                            "reliability=best_effort;liveliness=manual_by_topic:4"}),
        qPrintable(m_direct.errorString()));
    QVERIFY2(m_silent.startPeer(
                 {"--domain", domain, "--prop", "other.name=x", "--writer", "SilentTopic"}),
             qPrintable(m_silent.errorString()));
    m_domain = std::make_unique<WatchedDomain>(m_domainId);
    QVERIFY(m_domain->isValid());
    MonitorLib& monitor = MonitorLib::getInstance();
    QTRY_VERIFY_WITH_TIMEOUT(findPublicationData(monitor, key(m_direct.writers()[0].key)) &&
                                 findSubscriptionData(monitor, key(m_direct.readers()[0].key)) &&
                                 findPublicationData(monitor, key(m_silent.writers()[0].key)),
                             discoveryMs);
}

void TestCyclonePeer::cleanupTestCase()
{
    m_silent.stop();
    m_direct.stop();
    m_domain.reset();
}

void TestCyclonePeer::logicalView()
{
    const LogicalTree expected{
        {m_domainId,
         {std::string("CycloneCommand"), std::string("CycloneTrack"), std::string("SilentTopic")}}};
    QCOMPARE(collectLogicalTree(MonitorLib::getInstance()), expected);
}

void TestCyclonePeer::qosPanel_data()
{
    QTest::addColumn<bool>("isWriter");
    QTest::addColumn<QStringList>("rows"); // each must be in the tree
    QTest::newRow("writer") << true
                            << QStringList{"durability/kind=TRANSIENT_LOCAL_DURABILITY_QOS",
                                           "deadline/period={3,0}",
                                           "reliability/kind=RELIABLE_RELIABILITY_QOS",
                                           "reliability/max_blocking_time={0,500000000}",
                                           "user_data/value=direct",
                                           "partition/name=NorthSouth"};
    QTest::newRow("reader") << false
                            << QStringList{"reliablity/kind=BEST_EFFORT_RELIABILITY_QOS",
                                           "liveliness/kind=MANUAL_BY_TOPIC_LIVELINESS_QOS",
                                           "liveliness/duration={4,0}"};
}

void TestCyclonePeer::qosPanel()
{
    QFETCH(bool, isWriter);
    QFETCH(QStringList, rows);
    QoSInfo panel;
    panel.setInfo(isWriter ? key(m_direct.writers()[0].key) : key(m_direct.readers()[0].key),
                  isWriter ? WriterQoS : ReaderQoS);
    const QStringList shown = qosRows(panel.qosTree);
    for (const QString& row : rows) {
        QVERIFY2(shown.contains(row),
                 qPrintable(row + QStringLiteral(" in ") + shown.join(QStringLiteral(", "))));
    }
}

// What Cyclone announces for a participant with default QoS, what it adds itself on receipt
// (the addresses it reaches the peer on), and the system information the layer derives.
void TestCyclonePeer::cycloneIdentity()
{
    ParticipantBuiltinTopicData data;
    QVERIFY(participantRecord(m_domainId, m_direct.participants()[0], data));
    const QStringList lines = propertyLines(data);
    qInfo("direct Cyclone peer announces: %s", qPrintable(lines.join(QStringLiteral("; "))));
    const QString host = QString::fromStdString(hostName());
    const QString pid = QString::number(m_direct.processId());
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines.mid(0, 3),
             (QStringList{"__ProcessName=dds-peer", "__Pid=" + pid, "__Hostname=" + host}));
    const QRegularExpression addresses(
        QStringLiteral("^__NetworkAddresses=udp/127\\.0\\.0\\.1:\\d+@\\d+$"));
    QVERIFY2(addresses.match(lines[3]).hasMatch(), qPrintable(lines[3]));
    QCOMPARE(
        lines.mid(4),
        (QStringList{"dds.sys_info.hostname=" + host, "dds.sys_info.process_id=" + pid,
                     "dds.sys_info.executable_filepath=dds-peer", "dds.sys_info.ip=127.0.0.1"}));
    for (size_t i = 4; i < data.property.value.size(); ++i) {
        QVERIFY(!data.property.value[i].propagate);
    }

    const ParticipantSysInfo info = sysInfo(data);
    QCOMPARE(info.hostName, hostName());
    QCOMPARE(qint64(info.pid), m_direct.processId());
    QCOMPARE(info.processName, std::string("dds-peer"));
    QCOMPARE(info.executablePath, std::string("dds-peer"));
    QCOMPARE(info.ips, std::string("127.0.0.1"));
    QCOMPARE(info.userName, std::string("OtherUser")); // Cyclone names no user
}

void TestCyclonePeer::noIdentity()
{
    ParticipantBuiltinTopicData data;
    QVERIFY(participantRecord(m_domainId, m_silent.participants()[0], data));
    const QStringList lines = propertyLines(data);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0], QStringLiteral("other.name=x"));
    QVERIFY2(lines[1].startsWith(QStringLiteral("__NetworkAddresses=")), qPrintable(lines[1]));
    const ParticipantSysInfo info = sysInfo(data);
    QCOMPARE(info.hostName, std::string("RodedUZI"));
    QCOMPARE(info.pid, 1u);
    QCOMPARE(info.processName, std::string("/path/to/exe"));
    QCOMPARE(info.ips, std::string("127.0.0.1"));
}

void TestCyclonePeer::physicalView()
{
    const QStringList expected{QStringLiteral("RodedUZI-127.0.0.1|/path/to/exe:1"),
                               QString::fromStdString(hostName() + "-127.0.0.1|dds-peer:" +
                                                      std::to_string(m_direct.processId()))};
    QCOMPARE(physicalLines(collectPhysicalTree(MonitorLib::getInstance())), expected);
}

void TestCyclonePeer::hostDetail()
{
    MonitorLib& monitor = MonitorLib::getInstance();
    const ProcessEndpoints direct = collectProcessEndpoints(
        monitor, {hostName(), "127.0.0.1", "dds-peer", uint32_t(m_direct.processId())});
    QCOMPARE(int(direct.writers.size()), 1);
    QCOMPARE(int(direct.readers.size()), 1);
    QCOMPARE(direct.writers.begin()->first, m_direct.writers()[0].key);
    QCOMPARE(direct.readers.begin()->first, m_direct.readers()[0].key);
    const ProcessEndpoints silent =
        collectProcessEndpoints(monitor, {"RodedUZI", "127.0.0.1", "/path/to/exe", 1});
    QCOMPARE(int(silent.writers.size()), 1);
    QVERIFY(silent.readers.empty());
    QCOMPARE(silent.writers.begin()->first, m_silent.writers()[0].key);
}

// The match analysis names each side's process.
void TestCyclonePeer::matchAnalysis()
{
    EndpointInfo direct;
    findEndpointInfo(MonitorLib::getInstance(), m_domainId, key(m_direct.writers()[0].key),
                     WriterMatch, direct);
    QCOMPARE(direct.processName, std::string("dds-peer"));
    EndpointInfo silent;
    findEndpointInfo(MonitorLib::getInstance(), m_domainId, key(m_silent.writers()[0].key),
                     WriterMatch, silent);
    QCOMPARE(silent.processName, std::string("/path/to/exe"));
}

QTEST_MAIN(TestCyclonePeer)
#include "tst_cyclonepeer.moc"
