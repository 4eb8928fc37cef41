// The whole path as an operator walks it, in the real main window, with the demo DDS system
// running in another process: choose a domain, read both views, open a topic and a process,
// select a writer, change the domains again.
//
// With BRELVANE_SCREENSHOT_DIR set (scripts/screenshots.sh runs it so under Xvfb), a picture of
// the screen is saved after every step.
#include "BrelvaneQtDemo.h"
#include "BrelvaneWidget.h"
#include "Clicks.h"
#include "DetailWidget.h"
#include "DialogDriver.h"
#include "HostInfoWidget.h"
#include "MatchWidget.h"
#include "MonitorLib.h"
#include "MyTab.h"
#include "PeerProcess.h"
#include "QoSInfo.h"
#include "ScreenShot.h"
#include "SysLogic.h"
#include "SysPhysics.h"
#include "TabBar.h"
#include "TabRegistry.h"
#include "TestEnv.h"
#include "TopicInfo.h"
#include <QSplitter>

#include <QDir>
#include <QStackedWidget>
#include <QSysInfo>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
#include <utility>
#include <vector>

namespace {

QStringList childTexts(const QTreeWidgetItem* item)
{
    QStringList texts;
    for (int i = 0; item && i < item->childCount(); ++i) {
        texts << item->child(i)->text(0);
    }
    return texts;
}

QStringList detailTitles(const DetailWidget* detail)
{
    QStringList titles;
    for (const MyTab* tab : detail->tabBar->tabs) {
        titles << tab->title;
    }
    return titles;
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        m_domain = TestEnv::domain(0);
        m_shots = TestEnv::program("BRELVANE_SCREENSHOT_DIR");
        if (!m_shots.isEmpty()) {
            QDir().mkpath(m_shots);
        }
        QVERIFY2(m_demo.startDemo({QStringLiteral("--domains"), QString::number(m_domain)}),
                 qPrintable(m_demo.errorString()));
        m_window = std::make_unique<BrelvaneQtDemo>();
        if (!m_shots.isEmpty()) {
            m_window->resize(1900, 1040);
            // As an operator would: drag the splitters to give the comparison room.
            m_window->widget->splitter_4->setSizes({320, 1100, 480});
            m_window->widget->splitter_2->setSizes({330, 610});
        }
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        shoot(QStringLiteral("01-start"));
    }

    void cleanupTestCase()
    {
        m_window.reset();
        m_demo.stop();
    }

    void startsWithRootItemsOnly()
    {
        BrelvaneWidget* w = m_window->widget;
        QCOMPARE(w->sysLogic->treeWidget->topLevelItemCount(), 1);
        QCOMPARE(w->sysLogic->m_rootItem->text(0), QString::fromUtf8("系统逻辑图"));
        QCOMPARE(w->sysLogic->m_rootItem->childCount(), 0);
        QCOMPARE(w->sysPhysic->m_rootItem->text(0), QString::fromUtf8("系统物理图"));
        QCOMPARE(w->sysPhysic->m_rootItem->childCount(), 0);
        // The window's panel pointers and the detail panel's companions are this arrangement's.
        QCOMPARE(m_window->detailWidget, w->detailWidget);
        QCOMPARE(m_window->qosWidget, w->qosWidget);
        QCOMPARE(m_window->matchWidget, w->matchWidget);
        QCOMPARE(m_window->staticalTab, w->staticalTab);
        QCOMPARE(w->detailWidget->m_qosInfo, w->qosWidget);
        QCOMPARE(w->detailWidget->m_matchWidget, w->matchWidget);
        QCOMPARE(w->detailWidget->m_statisticalTab, w->staticalTab);
    }

    void invalidInputChangesNothing()
    {
        const DialogResult r = runDomainDialog(*m_window, QStringLiteral("0;abc"), QString());
        QVERIFY(r.warned);
        QCOMPARE(r.warningTitle, QString::fromUtf8("输入错误"));
        QVERIFY(m_window->includedText.isEmpty());
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        QVERIFY(MonitorLib::getInstance().domains.empty());
    }

    void chooseDomainAndSeeTheSystem()
    {
        const DialogResult r = runDomainDialog(*m_window, QString::number(m_domain), QString());
        QVERIFY(r.closedByAccept);
        SysLogic* logic = m_window->widget->sysLogic;
        SysPhysics* physics = m_window->widget->sysPhysic;
        const QString domainText = QString::number(m_domain) + QString::fromUtf8("号域");
        QTRY_COMPARE_WITH_TIMEOUT(childTexts(logic->m_rootItem), QStringList{domainText}, 15000);
        const QStringList topics{QStringLiteral("Command"), QStringLiteral("FlightPlan"),
                                 QStringLiteral("RadarTrack"), QStringLiteral("SystemHealth"),
                                 QStringLiteral("WeatherReport")};
        QTRY_COMPARE_WITH_TIMEOUT(childTexts(logic->m_rootItem->child(0)), topics, 15000);
        // Hosts by smallest process id; the monitor's own participant does not show. The
        // demo's participant without system information announces Cyclone's own host and
        // process properties, so it shows this machine and the demo process.
        const qint64 demoPid = m_demo.processId();
        const QString demoHost = QSysInfo::machineHostName() + QStringLiteral("-127.0.0.1");
        std::vector<std::pair<qint64, QString>> byPid{
            {1201, QStringLiteral("radar-01-10.10.0.11")},
            {2202, QStringLiteral("fdp-server-10.10.0.21,10.20.0.21")},
            {3303, QStringLiteral("wx-station-10.10.0.31")},
            {4404, QStringLiteral("console-10.10.0.41")},
            {demoPid, demoHost}};
        std::stable_sort(byPid.begin(), byPid.end());
        QStringList hosts;
        for (const auto& host : byPid) {
            hosts << host.second;
        }
        QTRY_COMPARE_WITH_TIMEOUT(childTexts(physics->m_rootItem), hosts, 15000);
        QCOMPARE(
            childTexts(Clicks::child(physics->m_rootItem, QStringLiteral("console-10.10.0.41"))),
            (QStringList{QStringLiteral("atc_display:4404"), QStringLiteral("atc_logger:4405")}));
        QCOMPARE(childTexts(Clicks::child(physics->m_rootItem, demoHost)),
                 QStringList{QStringLiteral("brelvane-demo:") + QString::number(demoPid)});
        logic->treeWidget->expandAll();
        physics->treeWidget->expandAll();
        shoot(QStringLiteral("02-domain-chosen"));
    }

    void openTopicAndSelectWriter()
    {
        SysLogic* logic = m_window->widget->sysLogic;
        DetailWidget* detail = m_window->detailWidget;
        QTreeWidgetItem* topic =
            Clicks::child(logic->m_rootItem->child(0), QStringLiteral("WeatherReport"));
        QVERIFY(topic);
        Clicks::doubleClick(logic->treeWidget, topic);
        const QString title =
            QString::number(m_domain) + QString::fromUtf8("号域：WeatherReport详细信息");
        QCOMPARE(detailTitles(detail), QStringList{title});
        auto* page = qobject_cast<TopicInfo*>(detail->stackedWidget->currentWidget());
        QVERIFY(page);
        QTableWidget* table = page->m_table;
        // One reliable reader of the console, one best-effort writer of the weather station.
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("DataReader"));
        QCOMPARE(table->item(1, 0)->text(), QStringLiteral("DataWriter"));
        QCOMPARE(table->item(1, 1)->text(), QStringLiteral("wx-station - 10.10.0.31"));
        QCOMPARE(table->item(1, 2)->text(), QStringLiteral("weather_feed:3303"));
        const QString writerHandle = table->item(1, 4)->text();
        QCOMPARE(writerHandle.size(), 34);

        Clicks::click(table, 1, 1);
        QTreeWidget* qos = m_window->qosWidget->qosTree;
        QCOMPARE(qos->topLevelItemCount(), 15);
        QCOMPARE(qos->topLevelItem(5)->text(0), QStringLiteral("reliability"));
        QCOMPARE(qos->topLevelItem(5)->child(0)->text(1),
                 QStringLiteral("BEST_EFFORT_RELIABILITY_QOS"));
        QTreeWidget* match = m_window->matchWidget->treeWidget;
        QCOMPARE(match->topLevelItemCount(), 1);
        QTreeWidgetItem* counterpart = match->topLevelItem(0);
        QCOMPARE(counterpart->text(0), table->item(0, 4)->text());
        QCOMPARE(counterpart->text(1), QStringLiteral("atc_display"));
        QCOMPARE(counterpart->text(3), QString::fromUtf8("是"));
        counterpart->setExpanded(true);
        shoot(QStringLiteral("03-topic-writer-selected"));
    }

    void openProcess()
    {
        SysPhysics* physics = m_window->widget->sysPhysic;
        DetailWidget* detail = m_window->detailWidget;
        QTreeWidgetItem* host =
            Clicks::child(physics->m_rootItem, QStringLiteral("console-10.10.0.41"));
        QVERIFY(host);
        host->setExpanded(true);
        Clicks::doubleClick(physics->treeWidget,
                            Clicks::child(host, QStringLiteral("atc_display:4404")));
        QCOMPARE(detail->tabBar->tabs.size(), 2);
        auto* page = qobject_cast<HostInfoWidget*>(detail->stackedWidget->currentWidget());
        QVERIFY(page);
        QCOMPARE(detail->tabBar->tabs.last()->title,
                 QStringLiteral("console-10.10.0.41atc_display4404"));
        QTreeWidgetItem* top = page->m_tree->topLevelItem(0);
        QVERIFY(top);
        QCOMPARE(top->text(0), QString::fromUtf8("进程名：atc_display"));
        QCOMPARE(top->text(1), QStringLiteral("4404"));
        shoot(QStringLiteral("04-process-opened"));
    }

    void acceptingAgainClosesDetailTabs()
    {
        const int registryBefore = tabRegistry().size();
        QVERIFY(registryBefore >= 2);
        const DialogResult r = runDomainDialog(*m_window, QString::number(m_domain), QString());
        QVERIFY(r.closedByAccept);
        QVERIFY(m_window->detailWidget->tabBar->tabs.isEmpty());
        QCOMPARE(m_window->detailWidget->stackedWidget->count(), 0);
        QCOMPARE(m_window->qosWidget->qosTree->topLevelItemCount(), 0);
        QCOMPARE(m_window->matchWidget->treeWidget->topLevelItemCount(), 0);
        // The fixed panels keep their tabs.
        QCOMPARE(m_window->widget->sysLogic->tabBar->tabs.size(), 1);
        QCOMPARE(m_window->qosWidget->tabBar->tabs.size(), 1);
        QCOMPARE(m_window->matchWidget->tabBar->tabs.size(), 1);
        QVERIFY(m_window->detailWidget->m_topicTabs.isEmpty());
        QVERIFY(m_window->detailWidget->m_hostTabs.isEmpty());
        // The views are still there for the unchanged domain.
        QTRY_COMPARE_WITH_TIMEOUT(m_window->widget->sysLogic->m_rootItem->childCount(), 1, 15000);
        shoot(QStringLiteral("05-accepted-again"));

        // A topic opened after the reset is closed by the next accept too.
        Clicks::doubleClick(m_window->widget->sysLogic->treeWidget,
                            m_window->widget->sysLogic->m_rootItem->child(0)->child(0));
        QCOMPARE(m_window->detailWidget->tabBar->tabs.size(), 1);
        runDomainDialog(*m_window, QString(), QString());
        QVERIFY(m_window->detailWidget->tabBar->tabs.isEmpty());
    }

    void excludingReturnsToRootItems()
    {
        const DialogResult r = runDomainDialog(*m_window, QString(), QString::number(m_domain));
        QVERIFY(r.closedByAccept);
        QCOMPARE(m_window->widget->sysLogic->m_rootItem->childCount(), 0);
        QCOMPARE(m_window->widget->sysPhysic->m_rootItem->childCount(), 0);
        shoot(QStringLiteral("06-domain-excluded"));
    }

private:
    void shoot(const QString& name) { QVERIFY(ScreenShot::save(m_shots, name)); }

    uint32_t m_domain = 0;
    QString m_shots;
    PeerProcess m_demo;
    std::unique_ptr<BrelvaneQtDemo> m_window;
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
