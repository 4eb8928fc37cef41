// The real main window watching peers that announce what no DDS library would send: rtps-forge
// plays one hostile scenario per domain in another process. The monitor must survive each, keep
// refreshing (the well-formed canary that every scenario announces last shows up, and the
// forged entities go when the forge ends), and show what it can: the defaults where an
// announcement is unusable, replacement characters for bytes that are not UTF-8, a topic tab
// with thousands of rows.
#include "BrelvaneQtDemo.h"
#include "BrelvaneWidget.h"
#include "Clicks.h"
#include "DetailWidget.h"
#include "DialogDriver.h"
#include "ForgeProcess.h"
#include "HostInfoWidget.h"
#include "MatchWidget.h"
#include "MonitorLib.h"
#include "QoSInfo.h"
#include "SysLogic.h"
#include "SysPhysics.h"
#include "TestEnv.h"
#include "TopicInfo.h"
#include "TopicTab.h"
#include "TreeDump.h"

#include <QStackedWidget>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>
#include <memory>
#include <mutex>

namespace {

// Host items with their process items.
using Hosts = QList<QPair<QString, QStringList>>;

// Forged participants are announced again every second, and thousands of endpoints take a
// while on a busy machine.
const int discoveryMs = 90000;

const QString canaryHost = QStringLiteral("forge-canary-192.0.2.10");
const QString canaryProcess = QStringLiteral("forged-app:4247");

QString bytes(const char* raw, int size = -1)
{
    return QString::fromUtf8(raw, size);
}

// Expected trees, in the form of TreeDump::lines: the root, then each host (or domain) with its
// processes (or topics) indented below it.
QStringList physical(const Hosts& hosts)
{
    QStringList lines{QString::fromUtf8("系统物理图")};
    for (const auto& host : hosts) {
        lines << QStringLiteral("  ") + host.first;
        for (const QString& process : host.second) {
            lines << QStringLiteral("    ") + process;
        }
    }
    return lines;
}

QStringList logical(uint32_t domain, const QStringList& topics)
{
    QStringList lines{QString::fromUtf8("系统逻辑图")};
    if (!topics.isEmpty()) {
        lines << QStringLiteral("  ") + QString::number(domain) + QString::fromUtf8("号域");
        for (const QString& topic : topics) {
            lines << QStringLiteral("    ") + topic;
        }
    }
    return lines;
}

QStringList repeated(int count, const QString& text)
{
    QStringList texts;
    texts.reserve(count);
    for (int i = 0; i < count; ++i) {
        texts << text;
    }
    return texts;
}

QStringList column(const QTableWidget* table, int c)
{
    QStringList texts;
    for (int r = 0; r < table->rowCount(); ++r) {
        texts << (table->item(r, c) ? table->item(r, c)->text() : QString());
    }
    return texts;
}

} // namespace

class TestHostilePeers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(!TestEnv::program("BRELVANE_RTPS_FORGE").isEmpty());
        m_window = std::make_unique<BrelvaneQtDemo>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanupTestCase() { m_window.reset(); }

    void scenario_data()
    {
        QTest::addColumn<int>("domainIndex");
        QTest::addColumn<QString>("scenario");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Hosts>("hosts");
        QTest::addColumn<QStringList>("topics");

        const QString app = QStringLiteral("forged-app:");
        QTest::newRow("basic") << 0 << QStringLiteral("basic") << QStringList()
                               << Hosts{{QStringLiteral("forge-host-192.0.2.10"), {app + "4242"}}}
                               << QStringList{QStringLiteral("ForgeTopic")};
        // Thousands of properties: the system information among them is still found.
        QTest::newRow("max-properties")
            << 1 << QStringLiteral("max-properties") << QStringList()
            << Hosts{{QStringLiteral("forge-many-192.0.2.10"), {app + "4243"}},
                     {canaryHost, {canaryProcess}}}
            << QStringList{QStringLiteral("ForgeCanary"), QStringLiteral("ForgeTopic")};
        // abc, -1, 2^64, 2^32 + 1 and an empty text: the ones that are no unsigned 64-bit
        // number keep the default 1, -1 wraps as the standard conversion does, 2^32 + 1 keeps
        // its low 32 bits. Processes group by id, then host.
        QTest::newRow("bad-pid") << 2 << QStringLiteral("bad-pid") << QStringList()
                                 << Hosts{{QStringLiteral("forge-pid-1-192.0.2.10"), {app + "1"}},
                                          {QStringLiteral("forge-pid-3-192.0.2.10"), {app + "1"}},
                                          {QStringLiteral("forge-pid-4-192.0.2.10"), {app + "1"}},
                                          {QStringLiteral("forge-pid-5-192.0.2.10"), {app + "1"}},
                                          {canaryHost, {canaryProcess}},
                                          {QStringLiteral("forge-pid-2-192.0.2.10"),
                                           {app + "4294967295"}}}
                                 << QStringList{QStringLiteral("ForgeCanary"),
                                                QStringLiteral("ForgePid")};
        // Broken parameter lists and submessages: the stack drops them, and the participant
        // whose endpoint records are all broken stays without endpoints.
        QTest::newRow("malformed")
            << 3 << QStringLiteral("malformed") << QStringList()
            << Hosts{// The participant whose only defect is a locator of unknown kind is
                     // taken, without properties: it shows with the defaults.
                     {QStringLiteral("RodedUZI-127.0.0.1"), {QStringLiteral("/path/to/exe:1")}},
                     {canaryHost, {canaryProcess}},
                     {QStringLiteral("forge-broken-endpoints-192.0.2.10"), {app + "4248"}}}
            << QStringList{QStringLiteral("ForgeCanary")};
        // 1 MB names only travel fragmented, which the stack refuses for discovery data: the
        // participant and its endpoints never show, what comes after them does.
        QTest::newRow("huge-1MB") << 4 << QStringLiteral("huge")
                                  << QStringList{QStringLiteral("--size"),
                                                 QStringLiteral("1048576"),
                                                 QStringLiteral("--long"),
                                                 QStringLiteral("extended")}
                                  << Hosts{{canaryHost, {canaryProcess}}}
                                  << QStringList{QStringLiteral("ForgeCanary")};
    }

    void scenario()
    {
        QFETCH(int, domainIndex);
        QFETCH(QString, scenario);
        QFETCH(QStringList, arguments);
        QFETCH(Hosts, hosts);
        QFETCH(QStringList, topics);
        const uint32_t domain = TestEnv::domain(domainIndex);
        ForgeProcess forge;
        QVERIFY2(forge.start(domain, scenario, arguments), qPrintable(forge.errorString()));
        watchOnly(domain);
        QTRY_COMPARE_WITH_TIMEOUT(physicalLines(), physical(hosts), discoveryMs);
        QTRY_COMPARE_WITH_TIMEOUT(logicalLines(), logical(domain, topics), discoveryMs);
        endAndExpectEmptyViews(forge);
    }

    // Host name, topic name and type name as long as one announcement can carry (about 64 KB
    // each): shown whole, and the topic tab finds the endpoint by its long name.
    void longestNames()
    {
        const uint32_t domain = TestEnv::domain(5);
        ForgeProcess forge;
        QVERIFY2(forge.start(domain, QStringLiteral("huge")), qPrintable(forge.errorString()));
        const int size =
            forge.waitForLine(QStringLiteral("huge: strings of ")).section(' ', 0, 0).toInt();
        QVERIFY(size > 60000);
        watchOnly(domain);
        const QString longTopic(size, QLatin1Char('t'));
        QTRY_COMPARE_WITH_TIMEOUT(
            physicalLines(),
            // Processes by id: 4244 before the canary's 4247.
            physical({{QString(size, QLatin1Char('h')) + QStringLiteral("-192.0.2.10"),
                       {QStringLiteral("forged-app:4244")}},
                      {canaryHost, {canaryProcess}}}),
            discoveryMs);
        QTRY_COMPARE_WITH_TIMEOUT(logicalLines(),
                                  logical(domain, {QStringLiteral("ForgeCanary"),
                                                   QStringLiteral("ForgeHuge"), longTopic}),
                                  discoveryMs);
        TopicInfo* page = openTopic(domain, longTopic);
        QVERIFY(page);
        QCOMPARE(column(page->m_table, 0), QStringList{QStringLiteral("DataWriter")});
        // The reader with the long type name: its QoS comes up; its topic has no writer, so
        // the comparison has no counterpart to show.
        page = openTopic(domain, QStringLiteral("ForgeHuge"));
        QVERIFY(page);
        QCOMPARE(column(page->m_table, 0), QStringList{QStringLiteral("DataReader")});
        Clicks::click(page->m_table, 0, 1);
        QVERIFY(m_window->qosWidget->qosTree->topLevelItemCount() > 0);
        QCOMPARE(m_window->matchWidget->treeWidget->topLevelItemCount(), 0);
        endAndExpectEmptyViews(forge);
    }

    // Host, address, topic and type names with bytes that are no UTF-8: shown with replacement
    // characters, and the tabs opened from those texts still find the forged entities.
    void namesThatAreNotUtf8()
    {
        const uint32_t domain = TestEnv::domain(6);
        ForgeProcess forge;
        QVERIFY2(forge.start(domain, QStringLiteral("bad-utf8")), qPrintable(forge.errorString()));
        watchOnly(domain);
        const QString badHost = bytes("\xff\xfehost") + QLatin1Char('-') + bytes("10.0.0.\xff");
        QVERIFY(badHost.contains(QChar::ReplacementCharacter));
        const QString badTopic = bytes("Topic\xff\xfe");
        const QString cutTopic = bytes("\xe4\xb8");
        QVERIFY(badTopic.contains(QChar::ReplacementCharacter));
        QVERIFY(!cutTopic.isEmpty() &&
                cutTopic.count(QChar::ReplacementCharacter) == cutTopic.size());
        // A name with a zero byte inside ends at the zero.
        QTRY_COMPARE_WITH_TIMEOUT(
            logicalLines(),
            logical(domain,
                    {QStringLiteral("Emb"), QStringLiteral("ForgeCanary"), badTopic, cutTopic}),
            discoveryMs);
        QTRY_COMPARE_WITH_TIMEOUT(physicalLines().size(), 5, discoveryMs);
        SysPhysics* physics = m_window->widget->sysPhysic;
        // Processes by id: 4245 before the canary's 4247.
        QCOMPARE(physics->m_rootItem->child(0)->text(0), badHost);
        QCOMPARE(physics->m_rootItem->child(1)->text(0), canaryHost);
        // The executable path's file name goes through the encoding fallbacks: some text,
        // then the process id.
        QTreeWidgetItem* badProcess = physics->m_rootItem->child(0)->child(0);
        QVERIFY(badProcess->text(0).endsWith(QStringLiteral(":4245")));
        QVERIFY(badProcess->text(0).size() > 5);

        TopicInfo* page = openTopic(domain, badTopic);
        QVERIFY(page);
        QCOMPARE(column(page->m_table, 0), QStringList{QStringLiteral("DataWriter")});
        QCOMPARE(column(page->m_table, 1), QStringList{bytes("\xff\xfehost - 10.0.0.\xff")});
        page = openTopic(domain, cutTopic);
        QVERIFY(page);
        QCOMPARE(column(page->m_table, 0), QStringList{QStringLiteral("DataReader")});

        physics->m_rootItem->setExpanded(true);
        physics->m_rootItem->child(0)->setExpanded(true);
        Clicks::doubleClick(physics->treeWidget, badProcess);
        auto* host =
            qobject_cast<HostInfoWidget*>(m_window->detailWidget->stackedWidget->currentWidget());
        QVERIFY(host);
        // Process, domain, then the readers' and the writers' group: one reader, two writers.
        QCOMPARE(host->m_tree->topLevelItemCount(), 1);
        QTreeWidgetItem* domainItem = host->m_tree->topLevelItem(0)->child(0);
        QVERIFY(domainItem && domainItem->childCount() == 2);
        QCOMPARE(domainItem->child(0)->childCount(), 1);
        QCOMPARE(domainItem->child(1)->childCount(), 2);
        endAndExpectEmptyViews(forge);
    }

    void thousandsOfEndpointsOnOneTopic()
    {
        const int count = 2000;
        const uint32_t domain = TestEnv::domain(7);
        ForgeProcess forge;
        QVERIFY2(forge.start(domain, QStringLiteral("many-endpoints"),
                             {QStringLiteral("--count"), QString::number(count)}),
                 qPrintable(forge.errorString()));
        watchOnly(domain);
        QTRY_COMPARE_WITH_TIMEOUT(physicalLines(),
                                  physical({{QStringLiteral("forge-crowd-192.0.2.10"),
                                             {QStringLiteral("forged-app:4246")}},
                                            {canaryHost, {canaryProcess}}}),
                                  discoveryMs);
        QTRY_COMPARE_WITH_TIMEOUT(
            logicalLines(),
            logical(domain, {QStringLiteral("ForgeCanary"), QStringLiteral("ForgeCrowd")}),
            discoveryMs);
        // The topic tab is a snapshot: open it once the monitor lists every endpoint (the crowd
        // and the canary's writer). Opening it is slow with thousands of rows, too slow to
        // repeat while waiting.
        QTRY_VERIFY_WITH_TIMEOUT(listedEndpoints(domain) == qMakePair(count + 1, count),
                                 discoveryMs);
        const QStringList sides = repeated(count, QStringLiteral("DataReader")) +
                                  repeated(count, QStringLiteral("DataWriter"));
        TopicInfo* page = openTopic(domain, QStringLiteral("ForgeCrowd"));
        QVERIFY(page);
        QCOMPARE(column(page->m_table, 0), sides);
        QCOMPARE(column(page->m_table, 1),
                 repeated(2 * count, QStringLiteral("forge-crowd - 192.0.2.10")));
        QCOMPARE(column(page->m_table, 2), repeated(2 * count, QStringLiteral("forged-app:4246")));
        const QStringList handles = column(page->m_table, 4);
        QCOMPARE(QSet<QString>(handles.begin(), handles.end()).size(), 2 * count);
        Clicks::click(page->m_table, 2 * count - 1, 1);
        QVERIFY(m_window->qosWidget->qosTree->topLevelItemCount() > 0);
        QVERIFY(m_window->matchWidget->treeWidget->topLevelItemCount() > 0);
        endAndExpectEmptyViews(forge);
    }

private:
    // Watches `domain` alone: includes it and excludes the one watched before.
    void watchOnly(uint32_t domain)
    {
        const DialogResult r =
            runDomainDialog(*m_window, QString::number(domain),
                            m_watched < 0 ? QString() : QString::number(m_watched));
        QVERIFY(r.closedByAccept);
        m_watched = int(domain);
    }

    QStringList physicalLines() const
    {
        return TreeDump::lines(m_window->widget->sysPhysic->treeWidget);
    }
    QStringList logicalLines() const
    {
        return TreeDump::lines(m_window->widget->sysLogic->treeWidget);
    }

    TopicInfo* openTopic(uint32_t domain, const QString& topic)
    {
        return TopicTab::open(*m_window, domain, topic);
    }

    // The data writers and data readers the monitor's last polling pass listed in `domain`.
    static QPair<int, int> listedEndpoints(uint32_t domain)
    {
        MonitorLib& monitor = MonitorLib::getInstance();
        std::lock_guard<std::mutex> lock(monitor.mutex);
        const auto found = monitor.domains.find(domain);
        if (found == monitor.domains.end()) {
            return {};
        }
        return {int(found->second.publicationHandles.size()),
                int(found->second.subscriptionHandles.size())};
    }

    // The forge disposes its participants: the views must drop every forged entity.
    void endAndExpectEmptyViews(ForgeProcess& forge)
    {
        QVERIFY(forge.stop());
        QTRY_COMPARE_WITH_TIMEOUT(physicalLines(), physical({}), discoveryMs);
        QTRY_COMPARE_WITH_TIMEOUT(logicalLines(), logical(0, {}), discoveryMs);
    }

    std::unique_ptr<BrelvaneQtDemo> m_window;
    int m_watched = -1;
};

QTEST_MAIN(TestHostilePeers)
#include "tst_hostilepeers.moc"
