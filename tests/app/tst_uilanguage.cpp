// The operator's language, chosen at start-up by the code main() runs: the real main window with
// the demo DDS system, read in English (registered with LANGUAGE=en) and in Chinese (registered
// with LANG=C.UTF-8 and no LANGUAGE). BRELVANE_EXPECT_LANGUAGE ("en" or "zh") says which the
// registration expects. The problems analysis makes its texts on a thread of its own: its rows
// show that the translation reaches that thread too.
//
// With BRELVANE_SCREENSHOT_DIR set, a picture of the screen is saved once the comparison shows.
#include "BrelvaneQtDemo.h"
#include "BrelvaneWidget.h"
#include "Clicks.h"
#include "DetailWidget.h"
#include "DialogDriver.h"
#include "DomainSummaryTree.h"
#include "EventLogPage.h"
#include "HostInfoWidget.h"
#include "MatchWidget.h"
#include "MyTab.h"
#include "PeerProcess.h"
#include "ProblemList.h"
#include "QoSInfo.h"
#include "ScreenShot.h"
#include "StatisticalTab.h"
#include "SysLogic.h"
#include "SysPhysics.h"
#include "TabBar.h"
#include "TestEnv.h"
#include "TopicInfo.h"
#include "UiLanguage.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QSplitter>
#include <QStackedWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

namespace {

QStringList headerTexts(const QTreeWidget* tree)
{
    QStringList texts;
    for (int c = 0; c < tree->columnCount(); ++c) {
        texts << tree->headerItem()->text(c);
    }
    return texts;
}

QStringList headerTexts(const QTableWidget* table)
{
    QStringList texts;
    for (int c = 0; c < table->columnCount(); ++c) {
        texts << table->horizontalHeaderItem(c)->text();
    }
    return texts;
}

QStringList rowTexts(const QTreeWidgetItem* item)
{
    QStringList texts;
    for (int c = 0; item && c < item->columnCount(); ++c) {
        texts << item->text(c);
    }
    return texts;
}

} // namespace

class TestUiLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QByteArray expected = qgetenv("BRELVANE_EXPECT_LANGUAGE");
        QVERIFY2(expected == "en" || expected == "zh", "BRELVANE_EXPECT_LANGUAGE must be en or zh");
        m_english = expected == "en";
        m_domain = TestEnv::domain(0);
        m_shots = TestEnv::program("BRELVANE_SCREENSHOT_DIR");

        const bool installed = UiLanguage::install(*qApp);
        QVERIFY2(installed == m_english,
                 qPrintable(QLocale::system().uiLanguages().join(QLatin1Char(','))));

        QVERIFY2(m_demo.startDemo({QStringLiteral("--domains"), QString::number(m_domain)}),
                 qPrintable(m_demo.errorString()));
        m_window = std::make_unique<BrelvaneQtDemo>();
        if (!m_shots.isEmpty()) {
            QDir().mkpath(m_shots);
            m_window->resize(1900, 1040);
            m_window->widget->splitter_4->setSizes({320, 1100, 480});
            m_window->widget->splitter_2->setSizes({330, 610});
        }
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void cleanupTestCase()
    {
        m_window.reset();
        m_demo.stop();
    }

    void menuAndFixedPanels()
    {
        QCOMPARE(m_window->menu->title(), text("Settings", "设置"));
        QCOMPARE(m_window->action->text(), text("Set Domain IDs", "设置域号"));

        BrelvaneWidget* w = m_window->widget;
        QCOMPARE(w->sysLogic->tabBar->tabs.at(0)->title, text("Logical View", "系统逻辑图"));
        QCOMPARE(w->sysLogic->m_rootItem->text(0), text("Logical View", "系统逻辑图"));
        QCOMPARE(w->sysPhysic->tabBar->tabs.at(0)->title, text("Physical View", "系统物理图"));
        QCOMPARE(w->sysPhysic->m_rootItem->text(0), text("Physical View", "系统物理图"));
        QCOMPARE(w->matchWidget->tabBar->tabs.at(0)->title, text("Match Analysis", "匹配分析"));
        const QStringList matchHeaders =
            m_english ? QStringList{QStringLiteral("Check"), QStringLiteral("Rule"),
                                    QStringLiteral("Writer"), QStringLiteral("Reader")}
                      : QStringList{QString::fromUtf8("检查项"), QString::fromUtf8("匹配规则"),
                                    QString::fromUtf8("发布端"), QString::fromUtf8("订阅端")};
        QCOMPARE(headerTexts(w->matchWidget->treeWidget), matchHeaders);
        QCOMPARE(w->qosWidget->tabBar->tabs.at(0)->title, text("QoS", "QoS信息"));
        QCOMPARE(headerTexts(w->qosWidget->qosTree),
                 (QStringList{text("Policy", "QoS名称"), text("Value", "QoS值")}));

        StatisticalTab* stats = m_window->staticalTab;
        QCOMPARE(stats->tabBar->tabs.size(), 3);
        QCOMPARE(stats->tabBar->tabs.at(0)->title, text("Problems", "问题"));
        QCOMPARE(stats->tabBar->tabs.at(1)->title, text("Statistics", "统计"));
        QCOMPARE(stats->tabBar->tabs.at(2)->title, text("Events", "事件"));
        QCOMPARE(headerTexts(stats->problemTree),
                 (QStringList{text("Level", "级别"), text("Domain", "域"), text("Topic", "话题"),
                              text("Problem", "问题"), text("Writer", "发布端"),
                              text("Reader", "订阅端")}));
        QTreeWidget* summary = stats->summaryTree;
        QCOMPARE(
            headerTexts(summary),
            (QStringList{text("Domain", "域"), text("Participants", "参与者"),
                         text("Hosts", "节点"), text("Processes", "进程"), text("Topics", "话题"),
                         text("Writers", "发布端"), text("Readers", "订阅端"),
                         text("Errors", "错误"), text("Warnings", "警告"), text("Info", "提示")}));
        // Every count's header and every level readable in full; the Chinese columns as wide
        // as they always were.
        for (int c = 0; c < summary->columnCount(); ++c) {
            const QString header = summary->headerItem()->text(c);
            QVERIFY2(summary->columnWidth(c) >
                         summary->header()->fontMetrics().horizontalAdvance(header),
                     qPrintable(header));
            if (!m_english) {
                QCOMPARE(summary->columnWidth(c), 64);
            }
        }
        ProblemList* problems = stats->problemTree;
        QVERIFY(problems->columnWidth(0) >
                16 + problems->fontMetrics().horizontalAdvance(text("Warning", "警告")));
        QVERIFY(problems->columnWidth(1) >
                problems->header()->fontMetrics().horizontalAdvance(text("Domain", "域")));
        if (!m_english) {
            QCOMPARE(problems->columnWidth(0), 70);
            QCOMPARE(problems->columnWidth(1), 40);
        }
    }

    void domainDialog()
    {
        const QString ok = text("OK", "确定");
        const QString cancel = text("Cancel", "取消");
        DialogResult r = runDomainDialog(*m_window, QStringLiteral("0;abc"), QString(), ok, cancel);
        QVERIFY(r.opened);
        QCOMPARE(r.dialogTitle, text("Set Domain IDs", "设置域号"));
        QCOMPARE(r.labelTexts,
                 (QStringList{QStringLiteral("included:"), QStringLiteral("excluded:")}));
        QCOMPARE(r.buttonTexts, (QStringList{ok, cancel}));
        QVERIFY(r.warned);
        QCOMPARE(r.warningTitle, text("Input Error", "输入错误"));
        QCOMPARE(r.warningText, text("Enter domain IDs separated by \";\", each from 0 to 200",
                                     "输入格式应为:域号被;隔开且域号在0-200之间"));
        QVERIFY(!r.closedByAccept);

        r = runDomainDialog(*m_window, QString::number(m_domain), QString(), ok, cancel);
        QVERIFY(r.closedByAccept);
        const QString domainText = m_english ? QStringLiteral("Domain %1").arg(m_domain)
                                             : QString::fromUtf8("%1号域").arg(m_domain);
        QTRY_COMPARE_WITH_TIMEOUT(m_window->widget->sysLogic->m_rootItem->childCount(), 1, 15000);
        QCOMPARE(m_window->widget->sysLogic->m_rootItem->child(0)->text(0), domainText);
    }

    // The demo's reliability conflict on WeatherReport as the problems page, the status bar and
    // the logical view show it, and the discovery events of the joined domain.
    void problemsAndEvents()
    {
        StatisticalTab* stats = m_window->staticalTab;
        ProblemList* problems = stats->problemTree;
        QTRY_COMPARE_WITH_TIMEOUT(problems->topLevelItemCount(), 9, 15000);
        QTreeWidgetItem* weather = nullptr;
        for (int i = 0; i < problems->topLevelItemCount() && !weather; ++i) {
            if (problems->topLevelItem(i)->text(2) == QLatin1String("WeatherReport")) {
                weather = problems->topLevelItem(i);
            }
        }
        QVERIFY(weather);
        QCOMPARE(weather->text(0), text("Error", "错误"));
        QCOMPARE(weather->text(3), latencyReason() + text("; ", "；") + reliabilityReason());
        QCOMPARE(problems->topLevelItem(problems->topLevelItemCount() - 1)->text(0),
                 text("Info", "提示"));

        const QString status =
            m_english ? QStringLiteral("Domain %1: participants 6, writers 6, readers 7, errors 3")
                      : QString::fromUtf8("%1号域：参与者 6，发布端 6，订阅端 7，错误 3");
        QTRY_COMPARE_WITH_TIMEOUT(m_window->statusLine->text(), status.arg(m_domain), 15000);
        // Items of the current build only: every rebuild makes new ones.
        SysLogic* logic = m_window->widget->sysLogic;
        auto weatherTip = [logic]() -> QString {
            QTreeWidgetItem* item =
                Clicks::child(logic->m_rootItem->child(0), QStringLiteral("WeatherReport"));
            return item ? item->toolTip(0) : QStringLiteral("no item");
        };
        QTRY_COMPARE_WITH_TIMEOUT(
            weatherTip(),
            text("Writer/reader pairs that cannot match: 1", "1 对发布端和订阅端无法匹配"), 15000);

        auto* events = stats->stackedWidget->findChild<EventLogPage*>();
        QVERIFY(events);
        const QAbstractItemModel* model = events->eventTable->model();
        QTRY_VERIFY_WITH_TIMEOUT(model->rowCount() > 0, 15000);
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(), text("Event", "事件"));
        QCOMPARE(model->index(0, 2).data().toString(), text("Joined", "加入"));
        const QString entity = model->index(0, 3).data().toString();
        QVERIFY2((QStringList{text("Participant", "域参与者"), text("Writer", "数据写者"),
                              text("Reader", "数据读者")})
                     .contains(entity),
                 qPrintable(entity));
    }

    void matchComparison()
    {
        SysLogic* logic = m_window->widget->sysLogic;
        QTRY_VERIFY_WITH_TIMEOUT(
            Clicks::child(logic->m_rootItem->child(0), QStringLiteral("WeatherReport")), 15000);
        Clicks::doubleClick(logic->treeWidget, Clicks::child(logic->m_rootItem->child(0),
                                                             QStringLiteral("WeatherReport")));
        DetailWidget* detail = m_window->detailWidget;
        QCOMPARE(detail->tabBar->tabs.size(), 1);
        QCOMPARE(detail->tabBar->tabs.at(0)->title,
                 m_english ? QStringLiteral("Domain %1: WeatherReport details").arg(m_domain)
                           : QString::fromUtf8("%1号域：WeatherReport详细信息").arg(m_domain));
        auto* page = qobject_cast<TopicInfo*>(detail->stackedWidget->currentWidget());
        QVERIFY(page);
        QCOMPARE(page->tabText(0), text("Entities", "实体列表"));
        QCOMPARE(headerTexts(page->m_table),
                 m_english
                     ? (QStringList{QStringLiteral("Entity type"), QStringLiteral("Host"),
                                    QStringLiteral("Process/module"), QStringLiteral("PID"),
                                    QStringLiteral("Handle"), QStringLiteral("Status")})
                     : (QStringList{QString::fromUtf8("实体类型"), QString::fromUtf8("节点"),
                                    QString::fromUtf8("进程/模块名"), QString::fromUtf8("进程号"),
                                    QString::fromUtf8("标识"), QString::fromUtf8("状态")}));
        // Reader first, then the weather station's best-effort writer.
        QCOMPARE(page->m_table->rowCount(), 2);
        QCOMPARE(page->m_table->item(1, 0)->text(), QStringLiteral("DataWriter"));
        Clicks::click(page->m_table, 1, 1);

        QTreeWidget* match = m_window->matchWidget->treeWidget;
        QCOMPARE(match->topLevelItemCount(), 1);
        QTreeWidgetItem* top = match->topLevelItem(0);
        QCOMPARE(top->text(3), text("yes", "是"));
        const QString reason = reliabilityReason();
        const QString latency = latencyReason();
        QCOMPARE(top->toolTip(0),
                 text("Cannot match: ", "无法匹配：") + latency + text("; ", "；") + reason);

        QCOMPARE(rowTexts(top->child(0)),
                 (QStringList{text("Type name", "类型名称"),
                              text("Type names must be equal", "类型名称必须相等"),
                              QStringLiteral("demo::WeatherReport"),
                              QStringLiteral("demo::WeatherReport")}));
        QTreeWidgetItem* qos = top->child(2);
        QVERIFY(qos);
        QCOMPARE(rowTexts(qos), (QStringList{text("QoS policies", "QoS匹配项"),
                                             text("QoS must meet the request-offered (RxO) rules",
                                                  "QoS必须满足RxO规则")}));
        QTreeWidgetItem* reliability = Clicks::child(qos, QStringLiteral("reliability"));
        QVERIFY(reliability);
        QCOMPARE(rowTexts(reliability->child(0)),
                 (QStringList{QStringLiteral("kind"),
                              text("writer >= reader (RELIABLE > BEST_EFFORT)",
                                   "发布端>=订阅端（RELIABLE>BEST_EFFORT）"),
                              QStringLiteral("BEST_EFFORT_RELIABILITY_QOS"),
                              QStringLiteral("RELIABLE_RELIABILITY_QOS")}));
        QCOMPARE(reliability->child(0)->toolTip(1), reason);
        top->setExpanded(true);
        logic->treeWidget->expandAll();
        m_window->widget->sysPhysic->treeWidget->expandAll();
        shoot(m_english ? QStringLiteral("window-en") : QStringLiteral("window-zh"));
    }

    void processTab()
    {
        SysPhysics* physics = m_window->widget->sysPhysic;
        QTreeWidgetItem* host = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            (host = Clicks::child(physics->m_rootItem, QStringLiteral("console-10.10.0.41"))),
            15000);
        host->setExpanded(true);
        QTreeWidgetItem* process = Clicks::child(host, QStringLiteral("atc_display:4404"));
        QVERIFY(process);
        Clicks::doubleClick(physics->treeWidget, process);
        auto* page =
            qobject_cast<HostInfoWidget*>(m_window->detailWidget->stackedWidget->currentWidget());
        QVERIFY(page);
        QCOMPARE(page->tabText(0), text("DDS Entities", "DDS实体列表"));
        QCOMPARE(headerTexts(page->m_tree),
                 (QStringList{text("Entity", "实体名称"), text("Summary", "摘要信息")}));
        QTreeWidgetItem* top = page->m_tree->topLevelItem(0);
        QVERIFY(top);
        QCOMPARE(top->text(0), text("Process: atc_display", "进程名：atc_display"));
        const QString domainText = m_english ? QStringLiteral("Domain: %1").arg(m_domain)
                                             : QString::fromUtf8("所属域：%1").arg(m_domain);
        QCOMPARE(rowTexts(top->child(0)),
                 (QStringList{text("Domain participant", "域参与者"), domainText}));
        QCOMPARE(rowTexts(top->child(0)->child(0)).value(0), text("Data readers", "数据读者"));
        QCOMPARE(rowTexts(top->child(0)->child(1)).value(0), text("Data writers", "数据写者"));
    }

    // The fixed panels are told apart from detail tabs by their titles, in either language.
    void acceptingAgainKeepsFixedTabs()
    {
        QCOMPARE(m_window->detailWidget->tabBar->tabs.size(), 2);
        const DialogResult r = runDomainDialog(*m_window, QString::number(m_domain), QString(),
                                               text("OK", "确定"), text("Cancel", "取消"));
        QVERIFY(r.closedByAccept);
        QVERIFY(m_window->detailWidget->tabBar->tabs.isEmpty());
        QCOMPARE(m_window->widget->sysLogic->tabBar->tabs.size(), 1);
        QCOMPARE(m_window->widget->sysPhysic->tabBar->tabs.size(), 1);
        QCOMPARE(m_window->matchWidget->tabBar->tabs.size(), 1);
        QCOMPARE(m_window->qosWidget->tabBar->tabs.size(), 1);
        QCOMPARE(m_window->staticalTab->tabBar->tabs.size(), 3);
    }

private:
    QString text(const char* english, const char* chinese) const
    {
        return m_english ? QString::fromLatin1(english) : QString::fromUtf8(chinese);
    }

    // The weather station's best-effort writer against its reliable reader.
    QString reliabilityReason() const
    {
        return m_english
                   ? QStringLiteral("reliability: the writer offers less reliability than the "
                                    "reader requests (writer BEST_EFFORT_RELIABILITY_QOS, "
                                    "reader RELIABLE_RELIABILITY_QOS)")
                   : QString::fromUtf8("reliability：发布端提供的可靠性低于订阅端的要求（发布端 "
                                       "BEST_EFFORT_RELIABILITY_QOS，订阅端 "
                                       "RELIABLE_RELIABILITY_QOS）");
    }

    // The writer's latency budget of half a second is a second reason.
    QString latencyReason() const
    {
        return m_english
                   ? QStringLiteral("latency_budget: the writer's latency budget is larger than "
                                    "the reader requests (writer {0,500000000}, reader {0,0})")
                   : QString::fromUtf8("latency_budget：发布端的延迟预算大于订阅端的要求（发布端 "
                                       "{0,500000000}，订阅端 {0,0}）");
    }

    void shoot(const QString& name) { QVERIFY(ScreenShot::save(m_shots, name)); }

    bool m_english = false;
    uint32_t m_domain = 0;
    QString m_shots;
    PeerProcess m_demo;
    std::unique_ptr<BrelvaneQtDemo> m_window;
};

QTEST_MAIN(TestUiLanguage)
#include "tst_uilanguage.moc"
