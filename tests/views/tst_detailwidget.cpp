// The detail panel against peer processes: topic and process tabs opened, reused, closed and
// opened again; separate tabs per domain and per process; the string-based connections from
// the two tree views as the panel arrangement makes them.
#include "Clicks.h"
#include "DetailWidget.h"
#include "HostInfoWidget.h"
#include "MatchWidget.h"
#include "MyTab.h"
#include "PeerProcess.h"
#include "ProcessEndpoints.h"
#include "QoSInfo.h"
#include "SysLogic.h"
#include "SysPhysics.h"
#include "TabBar.h"
#include "TestEnv.h"
#include "TopicEndpoints.h"
#include "TopicInfo.h"
#include "TreeDump.h"
#include "WatchedDomain.h"

#include <QPointer>
#include <QStackedWidget>
#include <QtTest>
#include <memory>

namespace {

const int discoveryMs = 15000;

QStringList titles(const DetailWidget& panel)
{
    QStringList result;
    for (const MyTab* tab : panel.tabBar->tabs) {
        result << tab->title;
    }
    return result;
}

// Closes tab `index` the way its close button does, and lets the deferred deletion run.
void closeTab(DetailWidget& panel, int index)
{
    panel.tabBar->tabs.at(index)->closeButton->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

int topicRows(QWidget* page)
{
    auto* topic = qobject_cast<TopicInfo*>(page);
    return topic ? topic->m_table->rowCount() : -1;
}

} // namespace

class TestDetailWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void topicTabReused();
    void tabPerDomain();
    void closeAndReopen();
    void closeOtherTab();
    void tabPerProcess();
    void wiredToTreeViews();

private:
    std::unique_ptr<DetailWidget> m_panel;
    QoSInfo m_qos;
    MatchWidget m_match;
    // built before the domains are watched, so that they fill on dataChanged
    std::unique_ptr<SysLogic> m_logic;
    std::unique_ptr<SysPhysics> m_physics;
    std::unique_ptr<WatchedDomain> m_domain1;
    std::unique_ptr<WatchedDomain> m_domain2;
    PeerProcess m_peer;
    uint32_t m_d1 = 0;
    uint32_t m_d2 = 0;
};

// Domain 1: a writer of T (no system information); processes N1 (23) and N12 (3) of host
// h with writers of A and B. Domain 2: a writer of T on host far.
void TestDetailWidget::initTestCase()
{
    m_d1 = TestEnv::domain(0);
    m_d2 = TestEnv::domain(1);
    m_logic = std::make_unique<SysLogic>();
    m_physics = std::make_unique<SysPhysics>();
    const QStringList args =
        QStringLiteral(
            "--domain %1 --participant --prop other.name=x --writer T "
            "--participant --sysinfo host=h,pid=23,exe=/bin/N1,ip=10.0.0.1 --writer A "
            "--participant --sysinfo host=h,pid=3,exe=/bin/N12,ip=10.0.0.1 --writer B "
            "--domain %2 --participant --sysinfo host=far,pid=5,exe=/bin/far,ip=10.9.9.9 "
            "--writer T")
            .arg(m_d1)
            .arg(m_d2)
            .split(QLatin1Char(' '));
    QVERIFY2(m_peer.startPeer(args), qPrintable(m_peer.errorString()));
    m_domain1 = std::make_unique<WatchedDomain>(m_d1);
    m_domain2 = std::make_unique<WatchedDomain>(m_d2);
    QVERIFY(m_domain1->isValid() && m_domain2->isValid());
    MonitorLib& monitor = MonitorLib::getInstance();
    QTRY_VERIFY_WITH_TIMEOUT(
        collectTopicEndpoints(monitor, m_d1, "T").writers.size() == 1 &&
            collectTopicEndpoints(monitor, m_d2, "T").writers.begin()->second.pid == 5 &&
            collectProcessEndpoints(monitor, {"h", "10.0.0.1", "N12", 3}).writers.size() == 1 &&
            collectProcessEndpoints(monitor, {"h", "10.0.0.1", "N1", 23}).writers.size() == 1,
        discoveryMs);
}

void TestDetailWidget::cleanupTestCase()
{
    m_panel.reset();
    m_logic.reset();
    m_physics.reset();
    m_peer.stop();
    m_domain2.reset();
    m_domain1.reset();
}

void TestDetailWidget::init()
{
    m_panel = std::make_unique<DetailWidget>();
    m_panel->m_qosInfo = &m_qos;
    m_panel->m_matchWidget = &m_match;
    m_panel->resize(800, 400);
}

// A second double click only brings the tab forward; its content is not rebuilt.
void TestDetailWidget::topicTabReused()
{
    DetailWidget& panel = *m_panel;
    panel.onTopicNameDoubleClicked(m_d1, QStringLiteral("T"));
    TopicInfo* first = panel.m_topicTabs.value(QString::number(m_d1) + QStringLiteral("_T"));
    QVERIFY(first);
    QCOMPARE(first->m_qosInfo, &m_qos);
    QCOMPARE(first->m_matchWidget, &m_match);
    QCOMPARE(topicRows(first), 1);
    QTableWidgetItem* cell = first->m_table->item(0, 4);
    panel.onTopicNameDoubleClicked(m_d1, QStringLiteral("A"));
    QCOMPARE(panel.stackedWidget->currentIndex(), 1);

    panel.onTopicNameDoubleClicked(m_d1, QStringLiteral("T"));
    QCOMPARE(titles(panel),
             (QStringList{QString::number(m_d1) + QStringLiteral("号域：T详细信息"),
                          QString::number(m_d1) + QStringLiteral("号域：A详细信息")}));
    QCOMPARE(panel.stackedWidget->count(), 2);
    QCOMPARE(panel.stackedWidget->currentWidget(), static_cast<QWidget*>(first));
    QCOMPARE(panel.tabBar->currentIndex, 0);
    QCOMPARE(first->m_table->item(0, 4), cell);
}

// The same topic name in two domains: two tabs, each with its own domain's writer only.
void TestDetailWidget::tabPerDomain()
{
    DetailWidget& panel = *m_panel;
    panel.onTopicNameDoubleClicked(m_d1, QStringLiteral("T"));
    panel.onTopicNameDoubleClicked(m_d2, QStringLiteral("T"));
    QCOMPARE(panel.tabBar->tabs.size(), 2);
    QCOMPARE(panel.m_topicTabs.size(), 2);
    TopicInfo* page1 = panel.m_topicTabs.value(QString::number(m_d1) + QStringLiteral("_T"));
    TopicInfo* page2 = panel.m_topicTabs.value(QString::number(m_d2) + QStringLiteral("_T"));
    QVERIFY(page1 && page2 && page1 != page2);
    QCOMPARE(panel.stackedWidget->currentWidget(), static_cast<QWidget*>(page2));
    QCOMPARE(TreeDump::lines(page1->m_table).size(), 1);
    QVERIFY(TreeDump::lines(page1->m_table).first().contains(QStringLiteral("RodedUZI")));
    QCOMPARE(TreeDump::lines(page2->m_table).size(), 1);
    QVERIFY(TreeDump::lines(page2->m_table).first().contains(QStringLiteral("far - 10.9.9.9")));
}

// A closed tab's page is deleted and forgotten; opening the topic again takes a new snapshot,
// while an open tab keeps its old one.
void TestDetailWidget::closeAndReopen()
{
    DetailWidget& panel = *m_panel;
    panel.onTopicNameDoubleClicked(m_d1, QStringLiteral("T"));
    QPointer<QWidget> old = panel.stackedWidget->widget(0);
    QCOMPARE(topicRows(old), 1);

    PeerProcess second;
    QVERIFY2(second.startPeer({"--domain", QString::number(m_d1), "--writer", "T"}),
             qPrintable(second.errorString()));
    QTRY_COMPARE_WITH_TIMEOUT(
        collectTopicEndpoints(MonitorLib::getInstance(), m_d1, "T").writers.size(), size_t(2),
        discoveryMs);
    panel.onTopicNameDoubleClicked(m_d1, QStringLiteral("T"));
    QCOMPARE(topicRows(old), 1);

    closeTab(panel, 0);
    QVERIFY(old.isNull());
    QVERIFY(panel.m_topicTabs.isEmpty());
    QCOMPARE(panel.stackedWidget->count(), 0);
    QCOMPARE(panel.tabBar->tabs.size(), 0);

    panel.onTopicNameDoubleClicked(m_d1, QStringLiteral("T"));
    QCOMPARE(panel.tabBar->tabs.size(), 1);
    QCOMPARE(topicRows(panel.stackedWidget->currentWidget()), 2);
    QVERIFY(second.stop());
}

// Closing a tab that is not current removes its own page and nothing else.
void TestDetailWidget::closeOtherTab()
{
    DetailWidget& panel = *m_panel;
    panel.onTopicNameDoubleClicked(m_d1, QStringLiteral("T"));
    panel.onHostDoubleClicked("h", "10.0.0.1", "N1", 23);
    panel.onTopicNameDoubleClicked(m_d2, QStringLiteral("T"));
    QPointer<QWidget> hostPage = panel.stackedWidget->widget(1);
    QPointer<QWidget> lastPage = panel.stackedWidget->widget(2);
    QCOMPARE(panel.tabBar->currentIndex, 2);

    closeTab(panel, 1);
    QVERIFY(hostPage.isNull());
    QVERIFY(panel.m_hostTabs.isEmpty());
    QCOMPARE(panel.m_topicTabs.size(), 2);
    QCOMPARE(panel.stackedWidget->count(), 2);
    QCOMPARE(panel.stackedWidget->widget(1), lastPage.data());
    QCOMPARE(titles(panel).size(), 2);
    QCOMPARE(panel.stackedWidget->currentIndex(), panel.tabBar->currentIndex);
}

// N1 with id 23 and N12 with id 3 on one host: two tabs with the same title, each listing
// its own process; a second double click brings the right one forward.
void TestDetailWidget::tabPerProcess()
{
    DetailWidget& panel = *m_panel;
    panel.onHostDoubleClicked("h", "10.0.0.1", "N1", 23);
    panel.onHostDoubleClicked("h", "10.0.0.1", "N12", 3);
    QCOMPARE(titles(panel), (QStringList{"h-10.0.0.1N123", "h-10.0.0.1N123"}));
    QCOMPARE(panel.m_hostTabs.size(), 2);
    auto* n1 = qobject_cast<HostInfoWidget*>(panel.stackedWidget->widget(0));
    auto* n12 = qobject_cast<HostInfoWidget*>(panel.stackedWidget->widget(1));
    QVERIFY(n1 && n12);
    QCOMPARE(n1->m_qosInfo, &m_qos);
    QCOMPARE(n1->m_matchWidget, &m_match);
    QVERIFY(TreeDump::lines(n1->m_tree)
                .contains(QStringLiteral("      主题名称:A|类型名称:PeerSample")));
    QVERIFY(TreeDump::lines(n12->m_tree)
                .contains(QStringLiteral("      主题名称:B|类型名称:PeerSample")));
    QCOMPARE(TreeDump::lines(n1->m_tree).first(), QStringLiteral("进程名：N1|23"));
    QCOMPARE(TreeDump::lines(n12->m_tree).first(), QStringLiteral("进程名：N12|3"));

    panel.onHostDoubleClicked("h", "10.0.0.1", "N1", 23);
    QCOMPARE(panel.tabBar->tabs.size(), 2);
    QCOMPARE(panel.stackedWidget->currentWidget(), static_cast<QWidget*>(n1));
    QCOMPARE(panel.tabBar->currentIndex, 0);
}

// The connections the panel arrangement makes, by their signature strings, carry real
// double clicks from the two tree views into the panel.
void TestDetailWidget::wiredToTreeViews()
{
    DetailWidget& panel = *m_panel;
    QVERIFY(QObject::connect(m_logic.get(), SIGNAL(topicDoubelClicked(uint32_t, QString)), &panel,
                             SLOT(onTopicNameDoubleClicked(uint32_t, QString))));
    QVERIFY(QObject::connect(
        m_physics.get(), SIGNAL(hostDoubelClicked(std::string, std::string, std::string, uint32_t)),
        &panel, SLOT(onHostDoubleClicked(std::string, std::string, std::string, uint32_t))));
    for (TabTree* view : std::initializer_list<TabTree*>{m_logic.get(), m_physics.get()}) {
        view->resize(400, 600);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view));
    }
    QTRY_VERIFY_WITH_TIMEOUT(m_physics->m_hostItems.contains(PhysicalHost{"h", "10.0.0.1"}),
                             discoveryMs);
    QTRY_VERIFY_WITH_TIMEOUT(m_logic->m_domainItems.contains(int(m_d2)), discoveryMs);
    // The peer of closeAndReopen may still be leaving: take one last build and keep it, so
    // the items clicked below cannot be rebuilt away under the mouse.
    for (TabTree* view : std::initializer_list<TabTree*>{m_logic.get(), m_physics.get()}) {
        QObject::disconnect(&MonitorLib::getInstance(), nullptr, view, nullptr);
        QVERIFY(QMetaObject::invokeMethod(view, "onDataChanged"));
        view->treeWidget->expandAll();
    }

    QTreeWidgetItem* process =
        Clicks::child(m_physics->m_hostItems.value(PhysicalHost{"h", "10.0.0.1"}), "N12:3");
    QVERIFY(process);
    Clicks::doubleClick(m_physics->treeWidget, process);
    QTreeWidgetItem* topic = Clicks::child(m_logic->m_domainItems.value(int(m_d2)), "T");
    QVERIFY(topic);
    Clicks::doubleClick(m_logic->treeWidget, topic);

    QCOMPARE(titles(panel), (QStringList{"h-10.0.0.1N123", QString::number(m_d2) +
                                                               QStringLiteral("号域：T详细信息")}));
    auto* host = qobject_cast<HostInfoWidget*>(panel.stackedWidget->widget(0));
    QVERIFY(host);
    QCOMPARE(TreeDump::lines(host->m_tree).first(), QStringLiteral("进程名：N12|3"));
    QCOMPARE(topicRows(panel.stackedWidget->currentWidget()), 1);
}

QTEST_MAIN(TestDetailWidget)
#include "tst_detailwidget.moc"
