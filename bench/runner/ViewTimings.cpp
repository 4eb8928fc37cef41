#include "ViewTimings.h"
#include "TopicEndpoints.h"

#include "BenchResults.h"
#include "CycloneFloor.h"
#include "HandleText.h"
#include "HostInfoWidget.h"
#include "MatchWidget.h"
#include "MonitorLib.h"
#include "ParticipantSysInfo.h"
#include "QoSInfo.h"
#include "SysLogic.h"
#include "SysPhysics.h"
#include "TopicInfo.h"

#include <QCoreApplication>
#include <QTableWidget>
#include <QTreeWidget>
#include <chrono>
#include <memory>

ViewTimings::ViewTimings(MonitorLib& monitor, Views views, uint32_t domain, int repeat)
    : m_monitor(monitor), m_views(views), m_domain(domain), m_repeat(repeat)
{
}

std::vector<double> ViewTimings::timed(int repeat, const std::function<void()>& operation)
{
    using Clock = std::chrono::steady_clock;
    std::vector<double> samples;
    for (int i = 0; i < repeat; ++i) {
        QCoreApplication::processEvents();
        const Clock::time_point start = Clock::now();
        operation();
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    QCoreApplication::processEvents();
    return samples;
}

void ViewTimings::floor(BenchResults& results)
{
    std::vector<double> total, create, take;
    CycloneFloor::Sample last;
    for (int i = 0; i < m_repeat; ++i) {
        QCoreApplication::processEvents();
        last = CycloneFloor::measure(m_domain);
        total.push_back(last.totalMs);
        create.push_back(last.createMs);
        take.push_back(last.takeMs);
    }
    results.add(QStringLiteral("floor_cyclone_read_all_ms"), total, QStringLiteral("ms"));
    results.add(QStringLiteral("floor_create_readers_ms"), create, QStringLiteral("ms"));
    results.add(QStringLiteral("floor_take_ms"), take, QStringLiteral("ms"));
    results.setCount(QStringLiteral("floor_participant_samples"), last.participants);
    results.setCount(QStringLiteral("floor_publication_samples"), last.publications);
    results.setCount(QStringLiteral("floor_subscription_samples"), last.subscriptions);
    results.setCount(QStringLiteral("floor_ok"), last.ok ? 1 : 0);
}

void ViewTimings::rebuilds(BenchResults& results)
{
    const auto ms = QStringLiteral("ms");
    size_t topics = 0;
    results.add(QStringLiteral("logical_collect_ms"),
                timed(m_repeat,
                      [&] {
                          const LogicalTree tree = collectLogicalTree(m_monitor);
                          topics = tree.empty() ? 0 : tree.begin()->second.size();
                      }),
                ms);
    results.add(QStringLiteral("logical_rebuild_ms"),
                timed(m_repeat,
                      [&] {
                          QMetaObject::invokeMethod(m_views.logic, "onDataChanged",
                                                    Qt::DirectConnection);
                      }),
                ms);
    size_t groups = 0;
    results.add(QStringLiteral("physical_collect_ms"),
                timed(m_repeat, [&] { groups = collectPhysicalTree(m_monitor).size(); }), ms);
    results.add(QStringLiteral("physical_rebuild_ms"),
                timed(m_repeat,
                      [&] {
                          QMetaObject::invokeMethod(m_views.physics, "onDataChanged",
                                                    Qt::DirectConnection);
                      }),
                ms);
    results.setCount(QStringLiteral("topics_collected"), double(topics));
    results.setCount(QStringLiteral("process_groups_collected"), double(groups));
}

void ViewTimings::detailTabs(BenchResults& results, const QString& largestTopic)
{
    const auto ms = QStringLiteral("ms");
    int rows = 0;
    results.add(QStringLiteral("topic_tab_fill_ms"),
                timed(m_repeat,
                      [&] {
                          auto page = std::make_unique<TopicInfo>();
                          page->m_qosInfo = m_views.qos;
                          page->m_matchWidget = m_views.match;
                          page->fillTopic(m_domain, largestTopic);
                          rows = page->m_table->rowCount();
                      }),
                ms);
    results.setCount(QStringLiteral("largest_topic_rows"), rows);

    // One writer of the largest topic, and the process that runs it.
    const TopicEndpoints endpoints =
        collectTopicEndpoints(m_monitor, m_domain, largestTopic.toStdString());
    if (endpoints.writers.empty()) {
        return;
    }
    const std::string key = endpoints.writers.begin()->first;
    const ProcessIdentity host = endpoints.writers.begin()->second;
    const ZORVAN::InstanceHandle_t handle = HandleText::handleFromKey(key);

    int hostRows = 0;
    results.add(QStringLiteral("host_tab_fill_ms"),
                timed(m_repeat,
                      [&] {
                          HostInfoWidget page;
                          page.m_qosInfo = m_views.qos;
                          page.m_matchWidget = m_views.match;
                          page.showProcess(host.hostName, host.ips, host.processName, host.pid);
                          hostRows = page.m_tree->topLevelItemCount();
                      }),
                ms);
    results.setCount(QStringLiteral("host_tab_domains"), hostRows);
    results.add(QStringLiteral("qos_panel_ms"),
                timed(m_repeat, [&] { m_views.qos->setInfo(handle, WriterQoS); }), ms);
    int matchRows = 0;
    results.add(QStringLiteral("match_analysis_ms"),
                timed(m_repeat,
                      [&] {
                          m_views.match->setMatchHandle(m_domain, handle, WriterMatch);
                          matchRows = m_views.match->treeWidget->topLevelItemCount();
                      }),
                ms);
    results.setCount(QStringLiteral("match_counterparts_shown"), matchRows);
}
