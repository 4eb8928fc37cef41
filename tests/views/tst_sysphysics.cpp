// The physical view against real peers in other processes: hosts and processes from announced
// system information and its defaults, one item per process, the monitor's own participants
// hidden, processes of different hosts that share an id kept apart, hosts whose texts read the
// same kept apart, the double click; and its failure lines against the middleware double.
#include "Clicks.h"
#include "FakeParticipant.h"
#include "MonitorFixture.h"
#include "MyTab.h"
#include "PeerProcess.h"
#include "StdoutCapture.h"
#include "SysPhysics.h"
#include "TabBar.h"
#include "TestEnv.h"
#include "TreeDump.h"
#include "WatchedDomain.h"

#include <QtTest>
#include <memory>

using namespace ZORVAN;

namespace {

const int discoveryMs = 15000;

QString sysinfo(const char* host, int pid, const char* exe, const char* ips)
{
    QString text = QStringLiteral("host=%1,pid=%2,exe=%3").arg(host).arg(pid).arg(exe);
    for (const QString& ip : QString::fromLatin1(ips).split(QLatin1Char(' '))) {
        text += QStringLiteral(",ip=") + ip;
    }
    return text;
}

} // namespace

class TestSysPhysics : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void construction();
    void hostsAndProcesses();
    void doubleClick_data();
    void doubleClick();
    void failureLines_data();
    void failureLines();

private:
    std::unique_ptr<SysPhysics> m_view;
    std::unique_ptr<WatchedDomain> m_domain1;
    std::unique_ptr<WatchedDomain> m_domain2;
    PeerProcess m_peerA;
    PeerProcess m_peerB;
};

void TestSysPhysics::initTestCase()
{
    const QString d1 = QString::number(TestEnv::domain(0));
    const QString d2 = QString::number(TestEnv::domain(1));
    m_view = std::make_unique<SysPhysics>();
    m_view->resize(400, 600);
    // Peer A: a participant without system information, several announced processes, the
    // process h1/42 with three participants in two domains, hosts whose texts read the same or
    // the way no host item used to: "a-b" with "c", "a" with "b-c", "" with "1", and a host
    // that announces 127.0.0.1 before another address.
    const QString radar = sysinfo("h1", 42, "/usr/bin/radar", "10.0.0.1 10.0.0.2");
    const QStringList argsA =
        QStringLiteral("--domain %1 --participant --prop other.name=x "
                       "--participant --sysinfo %3 --participant --sysinfo %3 "
                       "--participant --sysinfo %4 --participant --sysinfo %5 "
                       "--participant --sysinfo %6 --participant --sysinfo %7 "
                       "--participant --sysinfo %8 --participant --sysinfo %9 "
                       "--participant --sysinfo %10 --participant --sysinfo %11 "
                       "--domain %2 --participant --sysinfo %3")
            .arg(d1, d2, radar, sysinfo("rack-7-node", 31, "/opt/app:v2", "10.1.1.1"),
                 sysinfo("alpha", 7, "/bin/a7", "10.2.0.1"),
                 sysinfo("alpha", 9, "/bin/a9", "10.2.0.1"),
                 sysinfo("gamma", 5, "/bin/g5", "10.3.0.1"), sysinfo("a-b", 61, "/bin/p61", "c"),
                 sysinfo("a", 62, "/bin/p62", "b-c"))
            .arg(sysinfo("", 63, "/bin/p63", "1"),
                 sysinfo("lo", 64, "/bin/p64", "127.0.0.1 192.0.2.2"))
            .split(QLatin1Char(' '));
    QVERIFY2(m_peerA.startPeer(argsA), qPrintable(m_peerA.errorString()));
    // Peer B: another host with a process of the same id as one on host alpha.
    const QStringList argsB{"--domain", d1, "--participant", "--sysinfo",
                            sysinfo("beta", 7, "/bin/b7", "10.2.0.2")};
    QVERIFY2(m_peerB.startPeer(argsB), qPrintable(m_peerB.errorString()));
    m_domain1 = std::make_unique<WatchedDomain>(TestEnv::domain(0));
    m_domain2 = std::make_unique<WatchedDomain>(TestEnv::domain(1));
    QVERIFY(m_domain1->isValid() && m_domain2->isValid());
}

void TestSysPhysics::cleanupTestCase()
{
    m_view.reset();
    m_peerB.stop();
    m_peerA.stop();
    m_domain2.reset();
    m_domain1.reset();
}

void TestSysPhysics::construction()
{
    SysPhysics view;
    QCOMPARE(view.tabBar->tabs.size(), 1);
    QCOMPARE(view.tabBar->tabs.first()->title, QStringLiteral("系统物理图"));
    QCOMPARE(view.treeWidget->columnCount(), 1);
    QCOMPARE(TreeDump::lines(view.treeWidget), QStringList{"系统物理图"});
    QVERIFY(view.m_rootItem->isExpanded());
    QVERIFY(!view.m_rootItem->icon(0).isNull());
}

// Hosts in the order of their smallest process id, alpha and beta apart although both run a
// process 7, the defaults for the participant without system information, h1/42 once for its
// three participants, two hosts that both read "a-b-c", an announced 127.0.0.1 kept, and
// nothing of the monitor's own participants (which announce this test process).
void TestSysPhysics::hostsAndProcesses()
{
    const QStringList expected{"系统物理图",
                               "  RodedUZI-127.0.0.1",
                               "    /path/to/exe:1",
                               "  gamma-10.3.0.1",
                               "    g5:5",
                               "  alpha-10.2.0.1",
                               "    a7:7",
                               "    a9:9",
                               "  beta-10.2.0.2",
                               "    b7:7",
                               "  rack-7-node-10.1.1.1",
                               "    app:v2:31",
                               "  h1-10.0.0.1,10.0.0.2",
                               "    radar:42",
                               "  a-b-c",
                               "    p61:61",
                               "  a-b-c",
                               "    p62:62",
                               "  -1",
                               "    p63:63",
                               "  lo-127.0.0.1,192.0.2.2",
                               "    p64:64"};
    QTRY_COMPARE_WITH_TIMEOUT(TreeDump::lines(m_view->treeWidget), expected, discoveryMs);
    QCOMPARE(m_view->m_hostItems.size(), 10);
    QVERIFY(!m_view->m_hostItems.value(PhysicalHost{"alpha", "10.2.0.1"})->icon(0).isNull());
    QCOMPARE(m_view->m_processItems.size(), 11);

    // The items of every rebuild share the view's icons: a new icon each time would put new
    // scaled pixmaps into Qt's cache under keys of their own on every change.
    QTreeWidgetItem* host = m_view->m_hostItems.value(PhysicalHost{"alpha", "10.2.0.1"});
    const qint64 hostIcon = host->icon(0).cacheKey();
    const qint64 processIcon = host->child(0)->icon(0).cacheKey();
    QVERIFY(hostIcon != processIcon);
    QVERIFY(QMetaObject::invokeMethod(m_view.get(), "onDataChanged"));
    QTreeWidgetItem* rebuilt = m_view->m_hostItems.value(PhysicalHost{"alpha", "10.2.0.1"});
    QVERIFY(rebuilt);
    QCOMPARE(rebuilt->icon(0).cacheKey(), hostIcon);
    QCOMPARE(rebuilt->child(1)->icon(0).cacheKey(), processIcon);
}

void TestSysPhysics::doubleClick_data()
{
    QTest::addColumn<QString>("host");    // "name|ips"; empty: the root
    QTest::addColumn<QString>("process"); // empty: the host item
    QTest::addColumn<QString>("emitted"); // "name|ips|process|pid", empty for nothing
    QTest::newRow("root") << ""
                          << ""
                          << "";
    QTest::newRow("host") << "rack-7-node|10.1.1.1"
                          << ""
                          << "";
    QTest::newRow("dashes and colons") << "rack-7-node|10.1.1.1"
                                       << "app:v2:31"
                                       << "rack-7-node|10.1.1.1|app:v2|31";
    QTest::newRow("defaults") << "RodedUZI|127.0.0.1"
                              << "/path/to/exe:1"
                              << "RodedUZI|127.0.0.1|/path/to/exe|1";
    QTest::newRow("two addresses") << "h1|10.0.0.1,10.0.0.2"
                                   << "radar:42"
                                   << "h1|10.0.0.1,10.0.0.2|radar|42";
    QTest::newRow("dash in the host") << "a-b|c"
                                      << "p61:61"
                                      << "a-b|c|p61|61";
    QTest::newRow("dash in the address") << "a|b-c"
                                         << "p62:62"
                                         << "a|b-c|p62|62";
    QTest::newRow("host text -1") << "|1"
                                  << "p63:63"
                                  << "|1|p63|63";
}

void TestSysPhysics::doubleClick()
{
    QFETCH(QString, host);
    QFETCH(QString, process);
    QFETCH(QString, emitted);
    SysPhysics& view = *m_view;
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTRY_COMPARE_WITH_TIMEOUT(view.m_hostItems.size(), 10, discoveryMs);
    view.treeWidget->expandAll();
    QTreeWidgetItem* item = view.m_rootItem;
    if (!host.isEmpty()) {
        const QStringList parts = host.split(QLatin1Char('|'));
        item = view.m_hostItems.value(PhysicalHost{parts[0].toStdString(), parts[1].toStdString()},
                                      nullptr);
        QVERIFY(item);
    }
    if (!process.isEmpty()) {
        item = Clicks::child(item, process);
        QVERIFY(item);
    }
    QStringList calls;
    connect(&view, &SysPhysics::hostDoubelClicked, this,
            [&calls](std::string name, std::string ips, std::string processName, uint32_t pid) {
                calls << QString::fromStdString(name) + '|' + QString::fromStdString(ips) + '|' +
                             QString::fromStdString(processName) + '|' + QString::number(pid);
            });
    Clicks::doubleClick(view.treeWidget, item);
    disconnect(&view, &SysPhysics::hostDoubelClicked, this, nullptr);
    QCOMPARE(calls, emitted.isEmpty() ? QStringList() : QStringList{emitted});
}

void TestSysPhysics::failureLines_data()
{
    QTest::addColumn<bool>("failList");
    QTest::addColumn<bool>("failData");
    QTest::newRow("list fails") << true << false;
    QTest::newRow("record fails") << false << true;
    QTest::newRow("no failure") << false << false;
}

// A failed participant list prints its line and the domain adds nothing; a participant whose
// record cannot be fetched prints its line and is left out, instead of showing up with the
// defaults as a made-up process.
void TestSysPhysics::failureLines()
{
    QFETCH(bool, failList);
    QFETCH(bool, failData);
    // The peers' participants, as they stand without the double.
    const PhysicalTree peers = collectPhysicalTree(MonitorLib::getInstance());
    MonitorFixture fixture;
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        FakeParticipant& fake = fixture.addDomainLocked(TestEnv::domain(2));
        ParticipantBuiltinTopicData p;
        p.key = FakeParticipant::key(0x31);
        p.property.value.push_back({"dds.sys_info.hostname", "fakehost", true});
        p.property.value.push_back({"dds.sys_info.process_id", "77", true});
        fake.addParticipant(p);
        fake.failures.participants = failList;
        fake.failures.participantData = failData;
    }
    StdoutCapture capture;
    PhysicalTree tree = collectPhysicalTree(MonitorLib::getInstance());
    QCOMPARE(capture.count(QStringLiteral("get_discovered_participants failed")), failList ? 1 : 0);
    QCOMPARE(capture.count(QStringLiteral("get_discovered_participant_data failed")),
             failData ? 1 : 0);
    const ProcessGroup announced{77, "fakehost", "127.0.0.1"};
    const bool shown = !failList && !failData;
    QCOMPARE(tree.count(announced), size_t(shown));
    if (shown) {
        QCOMPARE(tree.at(announced), (std::set<std::string>{"/path/to/exe"}));
        tree.erase(announced);
    }
    // Nothing else of the double's domain.
    QVERIFY(tree == peers);

    SysPhysics view;
    QVERIFY(QMetaObject::invokeMethod(&view, "onDataChanged"));
    QCOMPARE(view.m_hostItems.contains(PhysicalHost{"fakehost", "127.0.0.1"}), shown);
}

QTEST_MAIN(TestSysPhysics)
#include "tst_sysphysics.moc"
