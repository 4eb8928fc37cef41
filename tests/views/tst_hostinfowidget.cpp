// The host detail tab against a peer process: the per-domain tree of one process's readers
// and writers, and clicks that show exactly the clicked endpoint in the QoS and match panels
// (also a reader and a writer with the same topic and type); failure lines against the
// middleware double.
#include "Clicks.h"
#include "EndpointLookup.h"
#include "FailingDomain.h"
#include "HandleText.h"
#include "HostInfoWidget.h"
#include "MonitorFixture.h"
#include "PanelCalls.h"
#include "PeerProcess.h"
#include "ProcessEndpoints.h"
#include "StdoutCapture.h"
#include "TestEnv.h"
#include "TreeDump.h"
#include "WatchedDomain.h"

#include <QHeaderView>
#include <QSet>
#include <QtTest>
#include <map>
#include <memory>

using namespace ZORVAN;

namespace {

const int discoveryMs = 15000;
const char* const radarInfo = "host=h-1,pid=42,exe=/usr/bin/radar,ip=10.0.0.1";

} // namespace

class TestHostInfoWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void construction();
    void processTree();
    void defaultsAndUnknown();
    void clickShowsOwnItem_data();
    void clickShowsOwnItem();
    void failureLines_data();
    void failureLines();

private:
    QString hex(const std::string& key) const { return HandleText::text(key); }

    std::unique_ptr<WatchedDomain> m_domain1;
    std::unique_ptr<WatchedDomain> m_domain2;
    QoSInfo m_qos;
    MatchWidget m_match;
    PeerProcess m_peer;
};

// Domain 1: P (h-1, radar, 42) with reader Track, writers Track and Health; Q (h-1, radar,
// 43) with writer Track; D (no system information) with reader X. Domain 2: P again with
// reader Cmd. Readers: 0 Track, 1 X, 2 Cmd. Writers: 0 Track (P), 1 Health, 2 Track (Q).
void TestHostInfoWidget::initTestCase()
{
    const QStringList args =
        QStringLiteral(
            "--domain %1 --participant --sysinfo %3 --reader Track@TrackType "
            "--writer Track@TrackType --writer Health@HealthType "
            "--participant --sysinfo host=h-1,pid=43,exe=/usr/bin/radar,ip=10.0.0.1 "
            "--writer Track@TrackType --participant --prop other.name=x --reader X@XType "
            "--domain %2 --participant --sysinfo %3 --reader Cmd@CmdType")
            .arg(TestEnv::domain(0))
            .arg(TestEnv::domain(1))
            .arg(QLatin1String(radarInfo))
            .split(QLatin1Char(' '));
    QVERIFY2(m_peer.startPeer(args), qPrintable(m_peer.errorString()));
    m_domain1 = std::make_unique<WatchedDomain>(TestEnv::domain(0));
    m_domain2 = std::make_unique<WatchedDomain>(TestEnv::domain(1));
    QVERIFY(m_domain1->isValid() && m_domain2->isValid());
    // Everything is there once the process's four endpoints and X's are collected.
    QTRY_VERIFY_WITH_TIMEOUT(
        [] {
            const ProcessEndpoints p = collectProcessEndpoints(MonitorLib::getInstance(),
                                                               {"h-1", "10.0.0.1", "radar", 42});
            const ProcessEndpoints d = collectProcessEndpoints(
                MonitorLib::getInstance(), {"RodedUZI", "127.0.0.1", "/path/to/exe", 1});
            return p.readers.size() == 2 && p.writers.size() == 2 && d.readers.size() == 1;
        }(),
        discoveryMs);
    // Q's writer must be known too, or a click could compare against a partial list.
    QTRY_VERIFY_WITH_TIMEOUT(
        findPublicationData(MonitorLib::getInstance(),
                            HandleText::handleFromKey(m_peer.writers()[2].key)),
        discoveryMs);
}

void TestHostInfoWidget::cleanupTestCase()
{
    m_peer.stop();
    m_domain2.reset();
    m_domain1.reset();
}

void TestHostInfoWidget::construction()
{
    HostInfoWidget tab;
    QCOMPARE(tab.count(), 1);
    QCOMPARE(tab.widget(0), static_cast<QWidget*>(tab.m_tree));
    QCOMPARE(tab.tabText(0), QStringLiteral("DDS实体列表"));
    QCOMPARE(tab.tabPosition(), QTabWidget::South);
    QCOMPARE(tab.m_tree->property("type").toString(), QStringLiteral("content"));
    QCOMPARE(tab.m_tree->columnCount(), 2);
    QCOMPARE(tab.m_tree->headerItem()->text(0), QStringLiteral("实体名称"));
    QCOMPARE(tab.m_tree->headerItem()->text(1), QStringLiteral("摘要信息"));
    QCOMPARE(tab.m_tree->columnWidth(0), 200);
}

// One top-level item per domain, readers before writers, each group in handle order; the
// process 43 of the same host and executable is not listed.
void TestHostInfoWidget::processTree()
{
    const std::vector<PeerProcess::Endpoint>& w = m_peer.writers();
    std::map<std::string, QString> writers{{w[0].key, "Track|类型名称:TrackType"},
                                           {w[1].key, "Health|类型名称:HealthType"}};
    QStringList expected{"进程名：radar|42",
                         "  域参与者|所属域：" + QString::number(TestEnv::domain(0)),
                         "    数据读者", "      主题名称:Track|类型名称:TrackType", "    数据写者"};
    for (const auto& e : writers) {
        expected << "      主题名称:" + e.second;
    }
    expected << "进程名：radar|42"
             << "  域参与者|所属域：" + QString::number(TestEnv::domain(1)) << "    数据读者"
             << "      主题名称:Cmd|类型名称:CmdType"
             << "    数据写者";

    HostInfoWidget tab;
    tab.showProcess("h-1", "10.0.0.1", "radar", 42);
    QCOMPARE(TreeDump::lines(tab.m_tree), expected);
    for (int i = 0; i < tab.m_tree->topLevelItemCount(); ++i) {
        QVERIFY(tab.m_tree->topLevelItem(i)->isExpanded());
        QVERIFY(TreeDump::allExpanded(tab.m_tree->topLevelItem(i)));
    }
}

void TestHostInfoWidget::defaultsAndUnknown()
{
    HostInfoWidget tab;
    tab.showProcess("RodedUZI", "127.0.0.1", "/path/to/exe", 1);
    QCOMPARE(TreeDump::lines(tab.m_tree),
             (QStringList{"进程名：/path/to/exe|1",
                          "  域参与者|所属域：" + QString::number(TestEnv::domain(0)),
                          "    数据读者", "      主题名称:X|类型名称:XType", "    数据写者"}));
    HostInfoWidget unknown;
    unknown.showProcess("h-1", "10.0.0.1", "radar", 44);
    QCOMPARE(unknown.m_tree->topLevelItemCount(), 0);
}

void TestHostInfoWidget::clickShowsOwnItem_data()
{
    QTest::addColumn<bool>("reader");
    QTest::newRow("reader Track") << true;
    QTest::newRow("writer Track") << false;
}

// The reader and the writer of Track carry the same texts; each click shows the one clicked,
// once, QoS panel first. The tab was filled twice: the first fill's handlers are gone.
void TestHostInfoWidget::clickShowsOwnItem()
{
    QFETCH(bool, reader);
    HostInfoWidget tab;
    tab.m_qosInfo = &m_qos;
    tab.m_matchWidget = &m_match;
    tab.resize(500, 400);
    tab.showProcess("h-1", "10.0.0.1", "radar", 42);
    tab.showProcess("h-1", "10.0.0.1", "radar", 42);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));

    QTreeWidgetItem* domainItem = tab.m_tree->topLevelItem(0)->child(0);
    QTreeWidgetItem* group = Clicks::child(domainItem, reader ? "数据读者" : "数据写者");
    QTreeWidgetItem* item = Clicks::child(group, "主题名称:Track");
    QVERIFY(item);
    PanelCalls panels(m_qos, m_match);
    Clicks::click(tab.m_tree, item);
    QCOMPARE(panels.calls, (QStringList{"qos", "match"}));

    const std::string& key = reader ? m_peer.readers()[0].key : m_peer.writers()[0].key;
    QCOMPARE(hex(HandleText::keyOf(m_qos.qosHandle)), hex(key));
    QCOMPARE(m_qos.qosType, reader ? ReaderQoS : WriterQoS);
    QCOMPARE(m_qos.qosTree->topLevelItemCount(), reader ? 13 : 15);
    QSet<QString> counterparts;
    for (int i = 0; i < m_match.treeWidget->topLevelItemCount(); ++i) {
        counterparts << m_match.treeWidget->topLevelItem(i)->text(0);
    }
    if (reader) {
        // both writers of Track in the domain
        QCOMPARE(m_match.treeWidget->topLevelItemCount(), 2);
        QCOMPARE(counterparts,
                 (QSet<QString>{hex(m_peer.writers()[0].key), hex(m_peer.writers()[2].key)}));
    } else {
        QCOMPARE(m_match.treeWidget->topLevelItemCount(), 1);
        QCOMPARE(counterparts, QSet<QString>{hex(m_peer.readers()[0].key)});
    }

    // Clicking a group item shows nothing.
    Clicks::click(tab.m_tree, group);
    QCOMPARE(panels.calls.size(), 2);
}

void TestHostInfoWidget::failureLines_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("printed"); // how often the line is printed
    QTest::addColumn<int>("readers");
    QTest::addColumn<int>("writers");
    QTest::newRow("publications") << "publications"
                                  << "get_publications failed" << 1 << 0 << 0;
    QTest::newRow("publication data") << "publicationData"
                                      << "get_publication_data failed" << 1 << 1 << 0;
    QTest::newRow("subscriptions") << "subscriptions"
                                   << "get_subscriptions failed" << 1 << 0 << 1;
    QTest::newRow("subscription data") << "subscriptionData"
                                       << "get_subscription_data failed" << 1 << 0 << 1;
    // Without its participant's record an endpoint belongs to no process, not to the one
    // shown with the defaults.
    QTest::newRow("participant data") << "participantData"
                                      << "get_discovered_participant_data failed" << 2 << 0 << 0;
    QTest::newRow("no failure") << ""
                                << "get_discovered_participant_data failed" << 0 << 1 << 1;
}

// The double's participant announces no system information, so its endpoints belong to the
// process shown with the defaults.
void TestHostInfoWidget::failureLines()
{
    QFETCH(QString, failing);
    QFETCH(QString, line);
    QFETCH(int, printed);
    QFETCH(int, readers);
    QFETCH(int, writers);
    const uint32_t id = TestEnv::domain(2);
    MonitorFixture fixture;
    addFailingDomain(fixture, id, failing);
    StdoutCapture capture;
    const ProcessEndpoints endpoints = collectProcessEndpoints(
        MonitorLib::getInstance(), {"RodedUZI", "127.0.0.1", "/path/to/exe", 1});
    QCOMPARE(capture.count(line), printed);
    auto inDomain = [id](const std::map<std::string, HostEndpointEntry>& m) {
        return int(std::count_if(m.begin(), m.end(),
                                 [id](const auto& e) { return e.second.domainId == id; }));
    };
    QCOMPARE(inDomain(endpoints.readers), readers);
    QCOMPARE(inDomain(endpoints.writers), writers);
    QCOMPARE(endpoints.domains.count(id), size_t(readers + writers > 0));
}

QTEST_MAIN(TestHostInfoWidget)
#include "tst_hostinfowidget.moc"
