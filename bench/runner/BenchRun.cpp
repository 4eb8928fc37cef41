#include "BenchRun.h"

#include "DetailWidget.h"
#include "DomainSelection.h"
#include "EventTimings.h"
#include "EventWait.h"
#include "HandleText.h"
#include "HostInfoWidget.h"
#include "LoadSystem.h"
#include "MachineInfo.h"
#include "MatchWidget.h"
#include "MonitorEvents.h"
#include "MonitorLib.h"
#include "MutexProbe.h"
#include "PassRecorder.h"
#include "ProblemTimings.h"
#include "ProblemWatch.h"
#include "ProcessUsage.h"
#include "QoSInfo.h"
#include "StatisticalTab.h"
#include "SysLogic.h"
#include "SysPhysics.h"
#include "TopicEndpoints.h"
#include "TopicInfo.h"
#include "ViewTimings.h"
#include "ViewWatch.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHash>
#include <QRandomGenerator>
#include <QTableWidget>
#include <QTreeWidget>
#include <QWidget>
#include <algorithm>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;

const QString ms = QStringLiteral("ms");

double msSince(Clock::time_point from)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

void progress(const char* what)
{
    std::fprintf(stderr, "monitor-bench: %s\n", what);
}

} // namespace

BenchRun::BenchRun(const BenchOptions& options)
    : m_options(options), m_monitor(MonitorLib::getInstance())
{
    // As the application does, before any domain is joined.
    if (m_options.eventLog) {
        m_events = &MonitorEvents::log();
    }
}

BenchRun::~BenchRun()
{
    // The load generators leave first, then the views, then the monitor's participant. The
    // participant is deleted only once the departures have been delivered: deleting it while
    // Cyclone still removes the remote endpoints has been seen to spin for many minutes.
    m_load.reset();
    if (m_watch) {
        waitQuiet(2000, 60000);
    }
    m_watch.reset();
    m_window.reset();
    DomainSelection::apply(m_monitor, {}, {m_options.domain});
}

bool BenchRun::run(QString& error)
{
    m_loadAtStart = ProcessUsage::loadAverage();
    if (!startSystem(error) || !discover(error)) {
        return false;
    }
    progress("steady state");
    steady();
    ViewTimings timings(m_monitor, ViewTimings::Views{m_logic, m_physics, m_qos, m_match},
                        m_options.domain, m_options.repeat);
    progress("floor");
    timings.floor(m_results);
    progress("view rebuilds");
    timings.rebuilds(m_results);
    progress("detail tabs, QoS panel, match analysis");
    timings.detailTabs(m_results, QStringLiteral("bench/topic/00000"));
    progress("event recording");
    EventTimings(m_monitor, m_options.domain, m_options.repeat).measure(m_results);
    m_results.addSingle(QStringLiteral("resident_memory_mib"), ProcessUsage::residentMiB(),
                        QStringLiteral("MiB"));
    progress("problems analysis");
    problems();
    m_results.addSingle(QStringLiteral("peak_resident_memory_mib"), ProcessUsage::peakResidentMiB(),
                        QStringLiteral("MiB"));
    progress("idle CPU");
    idle();
    progress("discovery to screen");
    discoveryLatency();
    if (m_options.churnRate > 0) {
        progress("churn");
        churn(QStringLiteral("churn"));
        progress("open tabs under churn");
        openTabsChurn();
    }
    if (m_options.crowdWriters > 0 && m_options.crowdReaders > 0) {
        progress("crowd");
        crowd();
    }
    m_loadAtEnd = ProcessUsage::loadAverage();
    if (m_events) {
        m_results.setCount(QStringLiteral("events_recorded"), double(m_events->lastSeq()));
    }
    summarise();
    return true;
}

bool BenchRun::startSystem(QString& error)
{
    m_window = std::make_unique<QWidget>();
    auto* layout = new QHBoxLayout(m_window.get());
    // The logical view is the first to ask for the monitor, as in the application.
    m_logic = new SysLogic(m_window.get());
    m_physics = new SysPhysics(m_window.get());
    m_qos = new QoSInfo(m_window.get());
    m_match = new MatchWidget(m_window.get());
    m_stats = new StatisticalTab(m_window.get());
    m_detail = new DetailWidget(m_window.get());
    m_detail->m_qosInfo = m_qos;
    m_detail->m_matchWidget = m_match;
    m_detail->m_statisticalTab = m_stats;
    for (QWidget* panel : {static_cast<QWidget*>(m_logic), static_cast<QWidget*>(m_physics),
                           static_cast<QWidget*>(m_detail), static_cast<QWidget*>(m_qos),
                           static_cast<QWidget*>(m_match), static_cast<QWidget*>(m_stats)}) {
        layout->addWidget(panel);
    }
    // Wired as in the application: every change runs the analysis on its worker thread, and
    // each report reaches the statistics pages and the logical view's marks.
    m_problems = new ProblemWatch(m_monitor, ProblemLimits(), m_window.get());
    QObject::connect(m_problems, &ProblemWatch::reportReady, m_stats, &StatisticalTab::showReport);
    QObject::connect(
        m_problems, &ProblemWatch::reportReady, m_logic,
        [this](ProblemReportPtr report) { m_logic->applyMarks(report->incompatiblePairs); });
    m_window->resize(1600, 900);
    m_window->show();
    m_watch = std::make_unique<ViewWatch>(m_monitor, *m_logic, *m_physics, m_options.domain);
    m_passes = std::make_unique<PassRecorder>(m_monitor);
    m_probe = std::make_unique<MutexProbe>(m_monitor);
    EventWait::forMs(200);
    m_results.addSingle(QStringLiteral("resident_memory_before_domain_mib"),
                        ProcessUsage::residentMiB(), QStringLiteral("MiB"));

    progress("starting the load generators");
    m_load = std::make_unique<LoadSystem>(m_options);
    m_load->start();
    if (!m_load->waitReady(m_options.discoveryTimeoutS * 1000)) {
        error = QStringLiteral("the load generators did not get ready");
        return false;
    }
    m_results.setCount(QStringLiteral("loadgen_creation_ms"), m_load->slowestCreationMs());
    // Let the generators discover one another before the monitor joins.
    EventWait::forMs(2000);
    return true;
}

bool BenchRun::discover(QString& error)
{
    progress("monitor joins the domain");
    m_passes->take();
    m_probe->start();
    const Clock::time_point joined = Clock::now();
    DomainSelection::apply(m_monitor, {m_options.domain}, {});
    // on the GUI thread, as the domain dialog does: the views rebuild at once
    emit m_monitor.dataChanged();
    const int topics = int(m_options.topics);
    const int processes = int(m_options.participants);
    Clock::time_point reported = joined;
    const bool shown = EventWait::until(
        [&] {
            if (msSince(reported) > 10000) {
                reported = Clock::now();
                std::fprintf(stderr, "monitor-bench: %.0f s: %d of %d topics, %d of %d processes\n",
                             msSince(joined) / 1000, m_watch->topicItems(), topics,
                             m_watch->processItems(), processes);
            }
            return m_watch->topicItems() >= topics && m_watch->processItems() >= processes;
        },
        m_options.discoveryTimeoutS * 1000, 50);
    if (!shown) {
        error = QStringLiteral("discovery incomplete: %1 of %2 topics, %3 of %4 processes shown")
                    .arg(m_watch->topicItems())
                    .arg(topics)
                    .arg(m_watch->processItems())
                    .arg(processes);
        return false;
    }
    m_results.addSingle(QStringLiteral("discovery_whole_system_ms"), msSince(joined), ms);
    waitQuiet(2000, 120000);
    m_probe->stop();
    recordProbe(QStringLiteral("discovery"));
    recordPasses(QStringLiteral("discovery"));
    if (m_events) {
        m_results.setCount(QStringLiteral("events_recorded_discovery"),
                           double(m_events->lastSeq()));
    }
    m_results.setCount(QStringLiteral("topic_items"), m_watch->topicItems());
    m_results.setCount(QStringLiteral("host_items"), m_watch->hostItems());
    m_results.setCount(QStringLiteral("process_items"), m_watch->processItems());
    return true;
}

void BenchRun::waitQuiet(int quietMs, int timeoutMs)
{
    EventWait::until([&] { return msSince(m_watch->lastSignal()) > quietMs; }, timeoutMs, 50);
}

void BenchRun::recordPasses(const QString& phase)
{
    std::vector<double> held;
    std::vector<double> waited;
    for (const PassRecorder::Pass& pass : m_passes->take()) {
        held.push_back(pass.heldMs);
        waited.push_back(pass.waitedMs);
    }
    m_allHolds.insert(m_allHolds.end(), held.begin(), held.end());
    m_results.add(QStringLiteral("poll_pass_%1_ms").arg(phase), held, ms);
    m_results.add(QStringLiteral("poll_wait_for_mutex_%1_ms").arg(phase), waited, ms);
}

void BenchRun::recordProbe(const QString& phase)
{
    std::vector<double> waits = m_probe->takeWaits();
    m_allWaits.insert(m_allWaits.end(), waits.begin(), waits.end());
    m_results.add(QStringLiteral("gui_mutex_wait_%1_ms").arg(phase), waits, ms);
    m_results.add(QStringLiteral("gui_event_lag_%1_ms").arg(phase), m_probe->takeLags(), ms);
}

void BenchRun::steady()
{
    m_passes->take();
    m_probe->start();
    EventWait::forMs(200 * (m_options.repeat + 1) + 100);
    m_probe->stop();
    recordProbe(QStringLiteral("steady"));
    recordPasses(QStringLiteral("steady"));
}

void BenchRun::idle()
{
    const int signalsBefore = m_watch->signalCount();
    const double cpuBefore = ProcessUsage::processCpuMs();
    const Clock::time_point start = Clock::now();
    EventWait::forMs(m_options.idleSeconds * 1000);
    const double cpu = ProcessUsage::processCpuMs() - cpuBefore;
    m_results.addSingle(QStringLiteral("idle_cpu_percent"), 100.0 * cpu / msSince(start),
                        QStringLiteral("%"));
    m_results.setCount(QStringLiteral("idle_signals"), m_watch->signalCount() - signalsBefore);
    m_passes->take();
}

void BenchRun::discoveryLatency()
{
    QHash<QString, Clock::time_point> created;
    const QMetaObject::Connection lines = QObject::connect(
        m_load.get(), &LoadSystem::lineReceived, [&created](int, const QString& line) {
            const QStringList parts = line.split(QLatin1Char(' '));
            if (parts.size() == 3 && parts[0] == QLatin1String("probe")) {
                created.insert(parts[1],
                               Clock::time_point(std::chrono::nanoseconds(parts[2].toLongLong())));
            }
        });
    std::vector<double> latencies;
    // Split at the moment the monitor's polling pass recorded the writer's join: before it,
    // the load generator and the middleware; after it, the monitor and its views.
    std::vector<double> untilRecorded;
    std::vector<double> afterRecorded;
    const uint64_t eventsBefore = m_events ? m_events->lastSeq() : 0;
    int missed = 0;
    m_probe->start();
    for (int i = 0; i < m_options.probes; ++i) {
        const QString topic = QStringLiteral("bench/probe/%1").arg(i, 4, 10, QLatin1Char('0'));
        m_watch->expectTopic(topic);
        m_load->send(i % m_load->processCount(), QStringLiteral("probe ") + topic);
        Clock::time_point seen;
        const bool shown = EventWait::until(
            [&] { return created.contains(topic) && m_watch->seen(topic, seen); }, 10000, 5);
        if (!shown) {
            ++missed;
            continue;
        }
        latencies.push_back(
            std::chrono::duration<double, std::milli>(seen - created.value(topic)).count());
        if (m_events) {
            const double seenEpochMs =
                double(QDateTime::currentMSecsSinceEpoch()) -
                std::chrono::duration<double, std::milli>(Clock::now() - seen).count();
            for (const DiscoveryEvent& event : m_events->since(eventsBefore)) {
                if (event.event == DiscoveryEventKind::Joined &&
                    event.kind == DiscoveredKind::Writer && event.entity->topic == topic) {
                    const double after = seenEpochMs - double(event.time.epochMs);
                    afterRecorded.push_back(after);
                    untilRecorded.push_back(latencies.back() - after);
                    break;
                }
            }
        }
        // Start the next one at another point of the polling period.
        EventWait::forMs(50 + int(QRandomGenerator::global()->bounded(200)));
    }
    m_probe->stop();
    QObject::disconnect(lines);
    recordProbe(QStringLiteral("probes"));
    recordPasses(QStringLiteral("probes"));
    m_results.add(QStringLiteral("discovery_to_screen_ms"), latencies, ms);
    if (!afterRecorded.empty()) {
        m_results.add(QStringLiteral("discovery_to_screen_until_recorded_ms"), untilRecorded, ms);
        m_results.add(QStringLiteral("discovery_to_screen_after_recorded_ms"), afterRecorded, ms);
    }
    m_results.setCount(QStringLiteral("discovery_probes_missed"), missed);
    m_load->sendAll(QStringLiteral("unprobe"));
    waitQuiet(1500, 30000);
}

void BenchRun::churn(const QString& phase)
{
    m_passes->take();
    const int signalsBefore = m_watch->signalCount();
    const double perProcess = m_options.churnRate / m_load->processCount();
    m_load->sendAll(QStringLiteral("churn %1").arg(perProcess));
    const double cpuBefore = ProcessUsage::processCpuMs();
    const double guiCpuBefore = ProcessUsage::threadCpuMs();
    const Clock::time_point start = Clock::now();
    // A GUI thread that cannot keep up with the churn gets one queued dataChanged() after
    // another and never reaches its timers, so the timer alone would never end the churn: the
    // first delivery after the churn's time is up ends it too (on the GUI thread, after the
    // views' own slots, from the polling thread's emission).
    bool stopped = false;
    const auto stopChurn = [&] {
        if (!stopped) {
            stopped = true;
            m_load->sendAll(QStringLiteral("churn 0"));
        }
    };
    const QMetaObject::Connection guard =
        QObject::connect(&m_monitor, &MonitorLib::dataChanged, m_window.get(), [&] {
            if (msSince(start) >= m_options.churnSeconds * 1000.0) {
                stopChurn();
            }
        });
    m_probe->start();
    EventWait::forMs(m_options.churnSeconds * 1000);
    m_probe->stop();
    QObject::disconnect(guard);
    stopChurn();
    const double elapsed = msSince(start);
    // Longer than the churn when the GUI thread fell behind it.
    m_results.addSingle(phase + QStringLiteral("_phase_ms"), elapsed, ms);
    m_results.addSingle(phase + QStringLiteral("_cpu_percent"),
                        100.0 * (ProcessUsage::processCpuMs() - cpuBefore) / elapsed,
                        QStringLiteral("%"));
    m_results.addSingle(phase + QStringLiteral("_gui_thread_cpu_percent"),
                        100.0 * (ProcessUsage::threadCpuMs() - guiCpuBefore) / elapsed,
                        QStringLiteral("%"));
    m_results.setCount(phase + QStringLiteral("_signals_per_s"),
                       (m_watch->signalCount() - signalsBefore) * 1000.0 / elapsed);
    recordProbe(phase);
    recordPasses(phase);
    waitQuiet(1500, 60000);
}

void BenchRun::openTabsChurn()
{
    // As an operator would have them: the largest topic and seven others spread over the
    // topic numbers, two processes that write the largest one, and a writer of it shown in
    // the QoS and match panels.
    const uint32_t domain = m_options.domain;
    const QString largest = QStringLiteral("bench/topic/00000");
    const uint32_t step = std::max<uint32_t>(1, m_options.topics / 8);
    for (uint32_t i = 0; i < 8; ++i) {
        m_detail->onTopicNameDoubleClicked(
            domain, QStringLiteral("bench/topic/%1").arg(i * step, 5, 10, QLatin1Char('0')));
    }
    const TopicEndpoints endpoints =
        collectTopicEndpoints(m_monitor, domain, largest.toStdString());
    int hosts = 0;
    for (auto it = endpoints.writers.begin(); it != endpoints.writers.end() && hosts < 2; ++it) {
        const ProcessIdentity& process = it->second;
        const DetailWidget::HostTabKey key = DetailWidget::hostTabKey(
            process.hostName, process.ips, process.processName, process.pid);
        if (!m_detail->m_hostTabs.contains(key)) {
            m_detail->onHostDoubleClicked(process.hostName, process.ips, process.processName,
                                          process.pid);
            ++hosts;
        }
    }
    if (!endpoints.writers.empty()) {
        m_detail->showTopicEndpoint(domain, largest,
                                    HandleText::text(endpoints.writers.begin()->first));
    }
    m_results.setCount(QStringLiteral("tabs_open"),
                       m_detail->m_topicTabs.size() + m_detail->m_hostTabs.size());
    auto rows = [this](bool left) {
        int count = 0;
        for (const TopicInfo* tab : m_detail->m_topicTabs) {
            for (int row = 0; row < tab->m_table->rowCount(); ++row) {
                count += (tab->m_table->item(row, 5)->text() == QLatin1String("offline")) == left;
            }
        }
        return count;
    };
    const int rowsBefore = rows(false) + rows(true);
    churn(QStringLiteral("tabs_churn"));
    // What the tabs showed of the churn once it settled.
    m_results.setCount(QStringLiteral("tabs_churn_rows_offline"), rows(true));
    m_results.setCount(QStringLiteral("tabs_churn_rows_added"),
                       rows(false) + rows(true) - rowsBefore);
}

void BenchRun::problems()
{
    ProblemTimings timings(m_monitor, *m_logic, *m_stats, m_options.repeat);
    const ProblemReportPtr report = timings.measure(m_results, QString());
    m_results.setCount(QStringLiteral("problem_entries"), double(report->problems.size()));
    m_results.setCount(QStringLiteral("problem_error_pairs"), double(report->errorCount()));
    m_results.setCount(QStringLiteral("problem_topics_marked"),
                       report->incompatiblePairs.empty()
                           ? 0
                           : double(report->incompatiblePairs.begin()->second.size()));
}

bool BenchRun::domainSummary(DomainSummary& summary) const
{
    for (const DomainSummary& domain : m_problems->report()->domains) {
        if (domain.domain == m_options.domain) {
            summary = domain;
            return true;
        }
    }
    return false;
}

void BenchRun::crowd()
{
    const uint32_t writers = m_options.crowdWriters;
    const uint32_t readers = m_options.crowdReaders;
    const uint32_t picky = uint32_t(double(readers) * m_options.crowdPickyPercent / 100.0 + 0.5);
    DomainSummary before;
    if (!domainSummary(before)) {
        return;
    }
    const std::string topic = "bench/crowd";
    m_passes->take();
    m_probe->start();
    const Clock::time_point asked = Clock::now();
    m_load->sendAll(QStringLiteral("crowd %1 %2 %3").arg(writers).arg(readers).arg(picky));
    // Shown when the analysis has every crowd endpoint and every pair that cannot match.
    const bool shown = EventWait::until(
        [&] {
            DomainSummary now;
            if (!domainSummary(now) || now.writers < before.writers + writers ||
                now.readers < before.readers + readers) {
                return false;
            }
            const IncompatiblePairs& pairs = m_problems->report()->incompatiblePairs;
            const auto domain = pairs.find(m_options.domain);
            if (domain == pairs.end()) {
                return false;
            }
            const auto crowded = domain->second.find(topic);
            return crowded != domain->second.end() && crowded->second == uint64_t(writers) * picky;
        },
        m_options.discoveryTimeoutS * 1000, 20);
    m_results.setCount(QStringLiteral("crowd_shown"), shown ? 1 : 0);
    if (shown) {
        m_results.addSingle(QStringLiteral("crowd_discovery_ms"), msSince(asked), ms);
    }
    waitQuiet(2000, 120000);
    m_probe->stop();
    recordProbe(QStringLiteral("crowd"));
    recordPasses(QStringLiteral("crowd"));

    ProblemTimings timings(m_monitor, *m_logic, *m_stats, m_options.repeat);
    const ProblemReportPtr report = timings.measure(m_results, QStringLiteral("_crowd"));
    uint64_t entries = 0;
    for (const Problem& problem : report->problems) {
        entries += problem.topic == topic ? 1 : 0;
    }
    const auto domain = report->incompatiblePairs.find(m_options.domain);
    m_results.setCount(QStringLiteral("crowd_error_pairs"),
                       domain == report->incompatiblePairs.end() || !domain->second.count(topic)
                           ? 0
                           : double(domain->second.at(topic)));
    m_results.setCount(QStringLiteral("crowd_entries"), double(entries));
    m_load->sendAll(QStringLiteral("uncrowd"));
    waitQuiet(1500, 60000);
}

void BenchRun::summarise()
{
    m_results.addSingle(QStringLiteral("gui_mutex_wait_max_ms"), Stats(m_allWaits, ms).max(), ms);
    m_results.addSingle(QStringLiteral("poll_hold_max_ms"), Stats(m_allHolds, ms).max(), ms);
    const double logical = m_results[QStringLiteral("logical_rebuild_ms")].median();
    const double physical = m_results[QStringLiteral("physical_rebuild_ms")].median();
    const double pass = m_results[QStringLiteral("poll_pass_steady_ms")].median();
    m_results.addSingle(QStringLiteral("rebuild_both_ms"), logical + physical, ms);
    m_results.addSingle(QStringLiteral("full_refresh_ms"), pass + logical + physical, ms);
    // What the problems analysis adds to a refresh, counted as if on the GUI thread: showing
    // the report, and the collection under the mutex that the GUI thread may wait for.
    m_results.addSingle(QStringLiteral("problems_refresh_added_ms"),
                        m_results[QStringLiteral("problems_collect_ms")].median() +
                            m_results[QStringLiteral("problems_show_ms")].median(),
                        ms);
}

QJsonObject BenchRun::toJson() const
{
    QJsonObject json = m_results.toJson(QStringLiteral("floor_cyclone_read_all_ms"));
    json.insert(QStringLiteral("label"), m_options.label);
    json.insert(QStringLiteral("machine"), MachineInfo::collect());
    json.insert(QStringLiteral("load_average"),
                QJsonObject{{QStringLiteral("start"), m_loadAtStart},
                            {QStringLiteral("end"), m_loadAtEnd}});
    json.insert(
        QStringLiteral("config"),
        QJsonObject{{QStringLiteral("domain"), int(m_options.domain)},
                    {QStringLiteral("participants"), int(m_options.participants)},
                    {QStringLiteral("writers"), int(m_options.writers)},
                    {QStringLiteral("readers"), int(m_options.readers)},
                    {QStringLiteral("endpoints"), int(m_options.writers + m_options.readers)},
                    {QStringLiteral("topics"), int(m_options.topics)},
                    {QStringLiteral("processes"), int(m_options.processes)},
                    {QStringLiteral("load"), m_options.load},
                    {QStringLiteral("hot_percent"), m_options.hotPercent},
                    {QStringLiteral("repeat"), m_options.repeat},
                    {QStringLiteral("probes"), m_options.probes},
                    {QStringLiteral("churn_rate"), m_options.churnRate},
                    {QStringLiteral("crowd_writers"), int(m_options.crowdWriters)},
                    {QStringLiteral("crowd_readers"), int(m_options.crowdReaders)},
                    {QStringLiteral("crowd_picky_percent"), m_options.crowdPickyPercent},

                    {QStringLiteral("event_log"), m_options.eventLog}});
    return json;
}
