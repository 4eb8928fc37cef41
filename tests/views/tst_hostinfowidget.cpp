// The host detail tab against a peer process: the per-domain tree of one process's readers
// and writers, and clicks that show exactly the clicked endpoint in the QoS and match panels
// (also a reader and a writer with the same topic and type), items that follow peers leaving
// and joining; failure lines and an endpoint that comes back under its handle against the
// middleware double.
#include "Clicks.h"
#include "EndpointLookup.h"
#include "FailingDomain.h"
#include "HandleText.h"
#include "HostInfoWidget.h"
#include "LeftMark.h"
#include "MonitorFixture.h"
#include "PanelCalls.h"
#include "PeerProcess.h"
#include "ProcessEndpoints.h"
#include "ProcessIndex.h"
#include "StdoutCapture.h"
#include "TestEnv.h"
#include "TreeDump.h"
#include "WatchedDomain.h"

#include <QHeaderView>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>
#include <functional>
#include <map>
#include <memory>
#include <random>

using namespace ZORVAN;

namespace {

const int discoveryMs = 15000;
const char* const radarInfo = "host=h-1,pid=42,exe=/usr/bin/radar,ip=10.0.0.1";
const char* const sonarInfo = "host=h-9,pid=77,exe=/usr/bin/sonar,ip=10.0.0.9";

// Every item as TreeDump shows it, with " (grey)" after a greyed one and " <tooltip>" after
// one with a tooltip in column 0.
QStringList marked(const QTreeWidget* tree)
{
    QStringList lines = TreeDump::lines(tree);
    int i = 0;
    std::function<void(const QTreeWidgetItem*)> visit = [&](const QTreeWidgetItem* item) {
        if (LeftMark::isGreyed(item)) {
            lines[i] += QStringLiteral(" (grey)");
        }
        if (!item->toolTip(0).isEmpty()) {
            lines[i] += QStringLiteral(" <") + item->toolTip(0) + QLatin1Char('>');
        }
        ++i;
        for (int c = 0; c < item->childCount(); ++c) {
            visit(item->child(c));
        }
    };
    for (int t = 0; t < tree->topLevelItemCount(); ++t) {
        visit(tree->topLevelItem(t));
    }
    // Times are the wall clock's: keep their form only.
    lines.replaceInStrings(QRegularExpression(QStringLiteral("离开于 \\d\\d:\\d\\d:\\d\\d")),
                           QStringLiteral("离开于 hh:mm:ss"));
    return lines;
}

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
    void indexFollowsChanges();

    void itemsFollowPeers();
    void endpointComesBack();

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

// The index behind the host tab over a seeded series of endpoints joining and leaving a double's
// domain, no change announced: every look-up lists exactly what the process has, hosts whose
// bytes read the same merged as shown; a look-up with nothing changed uses the index as it is;
// a participant that announces another process moves its endpoints once the change is
// announced.
void TestHostInfoWidget::indexFollowsChanges()
{
    const uint32_t id = TestEnv::domain(2);
    MonitorFixture fixture;
    MonitorLib& monitor = MonitorLib::getInstance();
    FakeParticipant& fake = fixture.addDomain(id);
    const std::string shownBad = QString(QChar::ReplacementCharacter).toStdString();
    // host, pid of each participant; "\xff" and "\xfe" both read as the replacement character
    const std::vector<std::pair<std::string, uint32_t>> hosts{
        {"h", 5}, {"h", 5}, {"h", 6}, {"\xff", 5}, {"\xfe", 5}};
    auto participant = [&hosts](size_t i, uint32_t pid) {
        ParticipantBuiltinTopicData p;
        p.key = FakeParticipant::key(0x50, uint8_t(i));
        p.property.value.push_back({"dds.sys_info.hostname", hosts[i].first, true});
        p.property.value.push_back({"dds.sys_info.process_id", std::to_string(pid), true});
        p.property.value.push_back({"dds.sys_info.executable_filepath", "/bin/app", true});
        p.property.value.push_back({"dds.sys_info.ip", "10.0.0.9", true});
        return p;
    };
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        for (size_t i = 0; i < hosts.size(); ++i) {
            fake.addParticipant(participant(i, hosts[i].second));
        }
    }
    struct Endpoint
    {
        size_t participant;
        bool reader;
        std::string topic;
        BuiltinTopicKey_t key;
    };
    std::map<std::string, Endpoint> endpoints; // by key
    std::vector<uint32_t> pids{5, 5, 6, 5, 5};
    const std::vector<ProcessIdentity> processes{
        {"h", "10.0.0.9", "app", 5}, {"h", "10.0.0.9", "app", 6}, {shownBad, "10.0.0.9", "app", 5}};
    auto check = [&]() {
        for (const ProcessIdentity& process : processes) {
            std::map<std::string, QString> readers;
            std::map<std::string, QString> writers;
            for (const auto& e : endpoints) {
                const std::string& host = hosts[e.second.participant].first;
                if (pids[e.second.participant] == process.pid &&
                    (host == process.hostName || (host != "h" && process.hostName == shownBad))) {
                    (e.second.reader ? readers : writers)[e.first] =
                        QString::fromStdString(e.second.topic);
                }
            }
            const ProcessEndpoints found = collectProcessEndpoints(monitor, process);
            auto topics = [&](const std::map<std::string, HostEndpointEntry>& listed) {
                std::map<std::string, QString> result;
                for (const auto& e : listed) {
                    if (e.second.domainId != id || e.second.processName != "app" ||
                        e.second.pid != process.pid) {
                        return std::map<std::string, QString>{{"wrong", e.second.topicName}};
                    }
                    result[e.first] = e.second.topicName;
                }
                return result;
            };
            if (topics(found.readers) != readers || topics(found.writers) != writers) {
                return false;
            }
            if (found.domains != (readers.empty() && writers.empty() ? std::set<uint32_t>{}
                                                                     : std::set<uint32_t>{id})) {
                return false;
            }
        }
        return true;
    };

    QVERIFY(check());
    uint64_t builtBefore = 0;
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        builtBefore = processIndex().builds();
    }
    std::mt19937 random(15);
    uint8_t nextKey = 0;
    for (int step = 0; step < 120; ++step) {
        {
            std::lock_guard<std::mutex> lock(monitor.mutex);
            if (endpoints.empty() || random() % 3 != 0) {
                const std::string topic = "T" + std::to_string(random() % 7);
                const BuiltinTopicKey_t key = FakeParticipant::key(0x60, nextKey++);
                const Endpoint endpoint{random() % hosts.size(), random() % 2 == 0, topic, key};
                if (endpoint.reader) {
                    SubscriptionBuiltinTopicData r;
                    r.key = key;
                    r.participant_key = participant(endpoint.participant, 0).key;
                    r.topic_name = topic;
                    fake.addSubscription(r);
                } else {
                    PublicationBuiltinTopicData w;
                    w.key = key;
                    w.participant_key = participant(endpoint.participant, 0).key;
                    w.topic_name = topic;
                    fake.addPublication(w);
                }
                endpoints[HandleText::keyOf(key)] = endpoint;
            } else {
                auto gone = std::next(endpoints.begin(), long(random() % endpoints.size()));
                const BuiltinTopicKey_t key = gone->second.key;
                if (gone->second.reader) {
                    fake.removeSubscription(key);
                } else {
                    fake.removePublication(key);
                }
                endpoints.erase(gone);
            }
        }
        QVERIFY2(check(), qPrintable(QString::number(step)));
    }
    {
        // Followed in place: the steps changed topics, never the domains.
        std::lock_guard<std::mutex> lock(monitor.mutex);
        QCOMPARE(processIndex().builds(), builtBefore);
        QVERIFY(processIndex().updates() > 100);
    }

    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        processIndex().lookUp(monitor, processes[0]);
        const uint64_t builds = processIndex().builds();
        const ProcessEndpoints again = processIndex().lookUp(monitor, processes[1]);
        QCOMPARE(processIndex().builds(), builds);
        QVERIFY(!again.writers.empty() || !again.readers.empty());
        // The participant of h/6 now announces h/5.
        pids[2] = 5;
        fake.addParticipant(participant(2, 5));
    }
    // Seen once the monitor's next pass has noted the participant's new record.
    QTRY_VERIFY(check());
}

// A process with endpoints in two domains: a second peer of the same process adds a writer,
// which appears at the end of its group; then the first peer leaves, and its items stay
// greyed with the time, as does the domain it alone took part in.
void TestHostInfoWidget::itemsFollowPeers()
{
    const QString d1 = QString::number(TestEnv::domain(0));
    const QString d2 = QString::number(TestEnv::domain(1));
    PeerProcess first;
    QVERIFY2(first.startPeer({"--domain", d1, "--participant", "--sysinfo", sonarInfo, "--reader",
                              "Ping@PingType", "--writer", "Ping@PingType", "--domain", d2,
                              "--participant", "--sysinfo", sonarInfo, "--writer", "Far@FarType"}),
             qPrintable(first.errorString()));
    const ProcessIdentity sonar{"h-9", "10.0.0.9", "sonar", 77};
    QTRY_VERIFY_WITH_TIMEOUT(
        collectProcessEndpoints(MonitorLib::getInstance(), sonar).writers.size() == 2 &&
            collectProcessEndpoints(MonitorLib::getInstance(), sonar).readers.size() == 1,
        discoveryMs);
    HostInfoWidget tab;
    tab.m_qosInfo = &m_qos;
    tab.m_matchWidget = &m_match;
    tab.resize(500, 400);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    tab.showProcess("h-9", "10.0.0.9", "sonar", 77);
    QCOMPARE(marked(tab.m_tree),
             (QStringList{"进程名：sonar|77", "  域参与者|所属域：" + d1, "    数据读者",
                          "      主题名称:Ping|类型名称:PingType", "    数据写者",
                          "      主题名称:Ping|类型名称:PingType", "进程名：sonar|77",
                          "  域参与者|所属域：" + d2, "    数据读者", "    数据写者",
                          "      主题名称:Far|类型名称:FarType"}));

    PeerProcess second;
    QVERIFY2(second.startPeer({"--domain", d1, "--participant", "--sysinfo", sonarInfo, "--writer",
                               "Alpha@AlphaType"}),
             qPrintable(second.errorString()));
    // Alpha sorts before Ping by name and perhaps by handle: it still goes last.
    QTRY_COMPARE_WITH_TIMEOUT(tab.m_tree->topLevelItem(0)->child(0)->child(1)->childCount(), 2,
                              discoveryMs);
    QCOMPARE(tab.m_tree->topLevelItem(0)->child(0)->child(1)->child(1)->text(0),
             QStringLiteral("主题名称:Alpha"));

    QVERIFY(first.stop());
    const QString left = QStringLiteral(" (grey) <离开于 hh:mm:ss>");
    QTRY_COMPARE_WITH_TIMEOUT(
        marked(tab.m_tree),
        (QStringList{"进程名：sonar|77", "  域参与者|所属域：" + d1, "    数据读者",
                     "      主题名称:Ping|类型名称:PingType" + left, "    数据写者",
                     "      主题名称:Ping|类型名称:PingType" + left,
                     "      主题名称:Alpha|类型名称:AlphaType", "进程名：sonar|77" + left,
                     "  域参与者|所属域：" + d2 + left, "    数据读者" + left,
                     "    数据写者" + left, "      主题名称:Far|类型名称:FarType" + left}),
        discoveryMs);
    // Greyed items still show what they showed: a click reaches the panels.
    PanelCalls panels(m_qos, m_match);
    Clicks::click(tab.m_tree, tab.m_tree->topLevelItem(0)->child(0)->child(0)->child(0));
    QCOMPARE(panels.calls, (QStringList{"qos", "match"}));
}

// The double's writer (a participant without system information: the defaults' process)
// leaves and comes back under the same handle: its item and its domain are greyed, then live
// again, in place.
void TestHostInfoWidget::endpointComesBack()
{
    const uint32_t id = TestEnv::domain(2);
    MonitorFixture fixture;
    PublicationBuiltinTopicData w;
    FakeParticipant* fake = nullptr;
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        ParticipantBuiltinTopicData p;
        p.key = FakeParticipant::key(0x01);
        w.key = FakeParticipant::key(0x02);
        w.participant_key = p.key;
        w.topic_name = "Back";
        w.type_name = "BackType";
        fake = &fixture.addDomainLocked(id);
        fake->addParticipant(p);
        fake->addPublication(w);
    }
    HostInfoWidget tab;
    tab.showProcess("RodedUZI", "127.0.0.1", "/path/to/exe", 1);
    const QStringList live = marked(tab.m_tree);
    QVERIFY2(live.contains("      主题名称:Back|类型名称:BackType"), qPrintable(live.join('\n')));
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        fake->removePublication(w.key);
    }
    const QString left = QStringLiteral(" (grey) <离开于 hh:mm:ss>");
    QTRY_VERIFY_WITH_TIMEOUT(
        marked(tab.m_tree).contains("      主题名称:Back|类型名称:BackType" + left), discoveryMs);
    QVERIFY(marked(tab.m_tree).contains("  域参与者|所属域：" + QString::number(id) + left));
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        fake->addPublication(w);
    }
    QTRY_COMPARE_WITH_TIMEOUT(marked(tab.m_tree), live, discoveryMs);
}

QTEST_MAIN(TestHostInfoWidget)
#include "tst_hostinfowidget.moc"
