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
#include "DomainSummaryTree.h"
#include "EventLogPage.h"
#include "HostInfoWidget.h"
#include "MatchWidget.h"
#include "MonitorLib.h"
#include "MyTab.h"
#include "PeerProcess.h"
#include "ProblemList.h"
#include "QoSInfo.h"
#include "ScreenShot.h"
#include "StatisticalTab.h"
#include "SysLogic.h"
#include "SysPhysics.h"
#include "TabBar.h"
#include "TabRegistry.h"
#include "TestEnv.h"
#include "TopicInfo.h"
#include "TreeDump.h"
#include <QSplitter>

#include <QDir>
#include <QLabel>
#include <QStackedWidget>
#include <QStatusBar>
#include <QSysInfo>
#include <QTableView>
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

// One line per row of the problems list: level, domain, topic, and the processes of its
// endpoints (handles vary from run to run); rows of one level and topic sorted.
QStringList problemOutline(const QTreeWidget* tree)
{
    QStringList lines;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = tree->topLevelItem(i);
        lines << QStringList{row->text(0), row->text(1), row->text(2),
                             row->text(4).section(QLatin1Char(' '), 0, 0),
                             row->text(5).section(QLatin1Char(' '), 0, 0)}
                     .join(QLatin1Char('|'));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

QStringList detailTitles(const DetailWidget* detail)
{
    QStringList titles;
    for (const MyTab* tab : detail->tabBar->tabs) {
        titles << tab->title;
    }
    return titles;
}

// The event page's rows from the entity kind to the process, "数据写者|RadarTrack|…".
QStringList eventRows(const EventLogPage* page, const QString& event)
{
    QStringList rows;
    const QAbstractItemModel* model = page->eventTable->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 2).data().toString() != event) {
            continue;
        }
        QStringList cells;
        for (int column = 3; column <= 6; ++column) {
            cells << model->index(row, column).data().toString();
        }
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
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
        // Nothing watched: an empty status bar.
        QVERIFY(m_window->statusLine->text().isEmpty());
        QVERIFY(m_window->statusBar->currentMessage().isEmpty());
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

        // Every participant, writer and reader of the demo joined, and nothing left.
        const EventLogPage* events = eventPage();
        QVERIFY(events);
        const QString joined = QString::fromUtf8("加入");
        QTRY_COMPARE_WITH_TIMEOUT(eventRows(events, joined).size(), 6 + 6 + 7, 15000);
        const QStringList rows = eventRows(events, joined);
        QVERIFY(rows.contains(
            QString::fromUtf8("数据写者|RadarTrack|radar-01 - 10.10.0.11|radar_server:1201")));
        QVERIFY(rows.contains(
            QString::fromUtf8("数据读者|Command|console - 10.10.0.41|atc_logger:4405")));
        QVERIFY(rows.contains(QString::fromUtf8("域参与者||") + QSysInfo::machineHostName() +
                              QStringLiteral(" - 127.0.0.1|brelvane-demo:") +
                              QString::number(demoPid)));
        QVERIFY(eventRows(events, QString::fromUtf8("离开")).isEmpty());
    }

    // The demo's deliberate conflicts: reliability on WeatherReport, durability on
    // SystemHealth, a topic with readers only; in the problems list, the counts, the status
    // bar and red in the logical view.
    void problemsOfTheDemo()
    {
        const QString d = QString::number(m_domain);
        StatisticalTab* stats = m_window->staticalTab;
        QStringList expected{
            "错误|" + d + "|SystemHealth|radar_server:1201|atc_logger:4405",
            "错误|" + d + "|SystemHealth|weather_feed:3303|atc_logger:4405",
            "错误|" + d + "|WeatherReport|weather_feed:3303|atc_display:4404",
            "警告|" + d + "|SystemHealth|radar_server:1201|",
            "警告|" + d + "|SystemHealth|weather_feed:3303|",
            "警告|" + d + "|SystemHealth||atc_logger:4405",
            "警告|" + d + "|WeatherReport|weather_feed:3303|",
            "警告|" + d + "|WeatherReport||atc_display:4404",
            "提示|" + d + "|Command||",
        };
        std::sort(expected.begin(), expected.end());
        QTRY_COMPARE_WITH_TIMEOUT(problemOutline(stats->problemTree), expected, 15000);
        QTreeWidget* problems = stats->problemTree;
        QStringList levels;
        for (int i = 0; i < problems->topLevelItemCount(); ++i) {
            levels << problems->topLevelItem(i)->text(0);
        }
        QCOMPARE(levels, (QString::fromUtf8("错误 错误 错误 警告 警告 警告 警告 警告 提示")
                              .split(QLatin1Char(' '))));
        // The weather writer's latency budget (0.5 s) is above what its reader asks for (0),
        // besides its reliability.
        for (int i = 0; i < 3; ++i) {
            const QTreeWidgetItem* row = problems->topLevelItem(i);
            const QStringList policies = row->text(2) == QLatin1String("WeatherReport")
                                             ? QStringList{QStringLiteral("latency_budget："),
                                                           QStringLiteral("reliability：")}
                                             : QStringList{QStringLiteral("durability：")};
            QStringList found;
            for (const QString& reason : row->text(3).split(QString::fromUtf8("；"))) {
                found << reason.section(QString::fromUtf8("："), 0, 0) + QString::fromUtf8("：");
            }
            QCOMPARE(found, policies);
            QCOMPARE(row->text(4).section(QLatin1Char(' '), 1).size(), 34);
        }

        QTRY_COMPARE_WITH_TIMEOUT(TreeDump::lines(stats->summaryTree),
                                  QStringList{d + "|6|5|6|5|6|7|3|5|1"}, 15000);
        QCOMPARE(m_window->statusLine->text(),
                 d + QString::fromUtf8("号域：参与者 6，发布端 6，订阅端 7，错误 3"));

        // Items of the current build only: every rebuild makes new ones.
        SysLogic* logic = m_window->widget->sysLogic;
        auto tip = [logic](const char* topic) -> QString {
            QTreeWidgetItem* domainItem = logic->m_rootItem->child(0);
            if (!domainItem) {
                return QStringLiteral("no item");
            }
            QTreeWidgetItem* item =
                topic ? Clicks::child(domainItem, QString::fromUtf8(topic)) : domainItem;
            if (!item) {
                return QStringLiteral("no item");
            }
            const bool red =
                item->data(0, Qt::ForegroundRole).value<QBrush>().color() == QColor(Qt::red);
            return (red ? QStringLiteral("red ") : QStringLiteral("plain ")) + item->toolTip(0);
        };
        QTRY_COMPARE_WITH_TIMEOUT(tip(nullptr), QString::fromUtf8("red 3 对发布端和订阅端无法匹配"),
                                  15000);
        QCOMPARE(tip("SystemHealth"), QString::fromUtf8("red 2 对发布端和订阅端无法匹配"));
        QCOMPARE(tip("WeatherReport"), QString::fromUtf8("red 1 对发布端和订阅端无法匹配"));
        for (const char* fine : {"Command", "FlightPlan", "RadarTrack"}) {
            QCOMPARE(tip(fine), QStringLiteral("plain "));
        }
        QCOMPARE(logic->m_rootItem->child(0)->text(0), d + QString::fromUtf8("号域"));

        if (!m_shots.isEmpty()) {
            // As an operator would: the right column widened to read the list.
            const QList<int> sizes = m_window->widget->splitter_4->sizes();
            m_window->widget->splitter_4->setSizes({300, 320, 1280});
            m_window->widget->splitter_3->setSizes({300, 700});
            logic->treeWidget->expandAll();
            shoot(QStringLiteral("07-problems"));
            stats->setCurrentPage(stats->summaryTree);
            shoot(QStringLiteral("08-statistics"));
            stats->setCurrentPage(stats->problemTree);
            m_window->widget->splitter_4->setSizes(sizes);
        }
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
        // Each row says when its endpoint joined, to the second the event page shows.
        const QAbstractItemModel* events = eventPage()->eventTable->model();
        for (int row = 0; row < 2; ++row) {
            const QModelIndexList join = events->match(events->index(0, 7), Qt::DisplayRole,
                                                       table->item(row, 4)->text(), -1);
            QCOMPARE(join.size(), 1);
            const QString time = join[0].sibling(join[0].row(), 0).data().toString().mid(11, 8);
            for (int column : {0, 5}) {
                QCOMPARE(table->item(row, column)->toolTip(),
                         QString::fromUtf8("首次发现于 ") + time);
            }
        }

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

    // A double click on a problem opens its topic and selects its writer, as a click on the
    // writer's row would: the QoS and match panels show it.
    void doubleClickOnAProblem()
    {
        ProblemList* problems = m_window->staticalTab->problemTree;
        // Room for the list under the QoS panel, as an operator would drag it.
        m_window->widget->splitter_3->setSizes({100, 300});
        QTreeWidgetItem* row = problems->topLevelItem(0);
        QCOMPARE(row->text(2), QStringLiteral("SystemHealth"));
        const QString writerHandle = problems->problemOf(row)->writer.handle;
        const QString readerHandle = problems->problemOf(row)->reader.handle;
        Clicks::doubleClick(problems, row);

        DetailWidget* detail = m_window->detailWidget;
        const QString title =
            QString::number(m_domain) + QString::fromUtf8("号域：SystemHealth详细信息");
        QCOMPARE(detail->tabBar->tabs.size(), 3);
        QCOMPARE(detail->tabBar->tabs.at(detail->tabBar->currentIndex)->title, title);
        auto* page = qobject_cast<TopicInfo*>(detail->stackedWidget->currentWidget());
        QVERIFY(page);
        QTableWidget* table = page->m_table;
        const int current = table->currentRow();
        QVERIFY(current >= 0);
        QCOMPARE(table->item(current, 0)->text(), QStringLiteral("DataWriter"));
        QCOMPARE(table->item(current, 4)->text(), writerHandle);
        QVERIFY(table->item(current, 0)->isSelected());

        QTreeWidget* qos = m_window->qosWidget->qosTree;
        QCOMPARE(qos->topLevelItem(5)->text(0), QStringLiteral("reliability"));
        QCOMPARE(qos->topLevelItem(5)->child(0)->text(1),
                 QStringLiteral("RELIABLE_RELIABILITY_QOS"));
        QTreeWidget* match = m_window->matchWidget->treeWidget;
        QVERIFY(match->topLevelItemCount() >= 1);
        QCOMPARE(match->topLevelItem(match->topLevelItemCount() - 1)->text(0), readerHandle);

        // Brought forward again: no second tab.
        Clicks::doubleClick(problems, problems->topLevelItem(1));
        QCOMPARE(detail->tabBar->tabs.size(), 3);
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
        QCOMPARE(m_window->staticalTab->tabBar->tabs.size(), 3);
        QCOMPARE(m_window->staticalTab->stackedWidget->count(), 3);
        QVERIFY(m_window->detailWidget->m_topicTabs.isEmpty());
        QVERIFY(m_window->detailWidget->m_hostTabs.isEmpty());
        // The views are still there for the unchanged domain.
        QTRY_COMPARE_WITH_TIMEOUT(m_window->widget->sysLogic->m_rootItem->childCount(), 1, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->staticalTab->problemTree->topLevelItemCount(), 9,
                                  15000);
        shoot(QStringLiteral("05-accepted-again"));
        // So is the event page, with its tab and every event it showed.
        StatisticalTab* statistics = m_window->staticalTab;
        EventLogPage* events = eventPage();
        QVERIFY(events);
        QCOMPARE(statistics->stackedWidget->indexOf(events), statistics->tabBar->tabs.size() - 1);
        QCOMPARE(statistics->tabBar->tabs.last()->title, QString::fromUtf8("事件"));
        QVERIFY(eventRows(events, QString::fromUtf8("加入")).size() >= 6 + 6 + 7);
        statistics->setCurrentPage(events);
        QCOMPARE(statistics->stackedWidget->currentWidget(), events);

        // A topic opened after the reset is closed by the next accept too.
        Clicks::doubleClick(m_window->widget->sysLogic->treeWidget,
                            m_window->widget->sysLogic->m_rootItem->child(0)->child(0));
        QCOMPARE(m_window->detailWidget->tabBar->tabs.size(), 1);
        runDomainDialog(*m_window, QString(), QString());
        QVERIFY(m_window->detailWidget->tabBar->tabs.isEmpty());
        QCOMPARE(eventPage(), events);
        QCOMPARE(statistics->tabBar->tabs.last()->title, QString::fromUtf8("事件"));
    }

    void excludingReturnsToRootItems()
    {
        const DialogResult r = runDomainDialog(*m_window, QString(), QString::number(m_domain));
        QVERIFY(r.closedByAccept);
        QCOMPARE(m_window->widget->sysLogic->m_rootItem->childCount(), 0);
        QCOMPARE(m_window->widget->sysPhysic->m_rootItem->childCount(), 0);
        // No domain watched: no problem, no count, an empty status bar.
        StatisticalTab* stats = m_window->staticalTab;
        QTRY_COMPARE_WITH_TIMEOUT(stats->summaryTree->topLevelItemCount(), 0, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(stats->problemTree->topLevelItemCount(), 0, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->statusLine->text().isEmpty(), 15000);
        QCOMPARE(stats->tabBar->tabs.size(), 3);
        shoot(QStringLiteral("06-domain-excluded"));
    }

private:
    EventLogPage* eventPage() const
    {
        return m_window->staticalTab->stackedWidget->findChild<EventLogPage*>();
    }

    void shoot(const QString& name) { QVERIFY(ScreenShot::save(m_shots, name)); }

    uint32_t m_domain = 0;
    QString m_shots;
    PeerProcess m_demo;
    std::unique_ptr<BrelvaneQtDemo> m_window;
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
