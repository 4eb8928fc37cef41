#include "ReportTable.h"

#include <QJsonArray>
#include <algorithm>
#include <cmath>

namespace {

struct Row
{
    const char* metric;
    const char* label;
    const char* statistic; // "median", "max" or "p95"
    double target;         // < 0: none; the largest size must not exceed it
};

const Row rows[] = {
    {"poll_pass_steady_ms", "One polling pass (steady)", "median", 10},
    {"logical_collect_ms", "Logical view: collect under the mutex", "median", -1},
    {"logical_rebuild_ms", "Logical view rebuild (collect + items)", "median", -1},
    {"physical_collect_ms", "Physical view: collect under the mutex", "median", -1},
    {"physical_rebuild_ms", "Physical view rebuild (collect + items)", "median", -1},
    {"rebuild_both_ms", "Logical + physical rebuild", "median", 150},
    {"full_refresh_ms", "Full refresh (pass + both rebuilds)", "median", -1},
    {"topic_tab_fill_ms", "Topic tab of the largest topic", "median", -1},
    {"host_tab_fill_ms", "Host tab of one process", "median", -1},
    {"qos_panel_ms", "QoS panel, one writer", "median", -1},
    {"match_analysis_ms", "Match analysis, one writer", "median", -1},
    {"problems_collect_ms", "Problems: collect under the mutex", "median", -1},
    {"problems_analyse_ms", "Problems: analysis (worker thread)", "median", -1},
    {"problems_analyse_one_topic_ms", "Problems: analysis after one topic changed", "median", -1},
    {"problems_show_one_topic_ms", "Problems: pages, marks after one topic changed", "median", -1},
    {"problems_show_ms", "Problems: pages, marks, status line (refresh)", "median", -1},
    {"problems_show_full_ms", "Problems: pages, marks, status line (built anew)", "median", -1},
    {"problems_refresh_added_ms", "Problems added to a refresh (collect + show)", "median", 20},
    {"problems_analyse_crowd_ms", "Crowd topic: analysis", "median", -1},
    {"problems_show_crowd_ms", "Crowd topic: pages, marks (refresh)", "median", -1},
    {"gui_event_lag_crowd_ms", "Longest event-loop stall, crowd topic", "max", 100},
    {"event_record_join_held_ms", "Event log: all join in one pass, under the mutex", "median", -1},
    {"event_record_join_after_ms", "Event log: all join in one pass, after the mutex", "median",
     -1},
    {"event_record_leave_held_ms", "Event log: all leave in one pass, under the mutex", "median",
     -1},
    {"event_record_leave_after_ms", "Event log: all leave in one pass, after the mutex", "median",
     -1},
    {"gui_mutex_wait_max_ms", "Longest GUI wait for the mutex (all phases)", "max", 100},
    {"poll_hold_max_ms", "Longest polling pass (all phases)", "max", -1},
    {"gui_event_lag_discovery_ms", "Longest event-loop stall, initial discovery", "max", -1},
    {"gui_event_lag_churn_ms", "Longest event-loop stall, churn", "max", -1},
    {"gui_event_lag_tabs_churn_ms", "Longest event-loop stall, churn with ten open tabs", "max",
     100},
    {"discovery_to_screen_ms", "Discovery to screen, p50", "median", -1},
    {"discovery_to_screen_ms", "Discovery to screen, p95", "p95", 50},
    {"discovery_to_screen_until_recorded_ms", "of which until the polling pass records it, p95",
     "p95", -1},
    {"discovery_to_screen_after_recorded_ms", "of which from that pass to the screen, p95", "p95",
     -1},
    {"discovery_whole_system_ms", "Whole system shown after joining", "median", -1},
    {"resident_memory_mib", "Resident memory (MiB)", "median", 150},
    {"idle_cpu_percent", "Idle CPU (% of one core)", "median", 5},
    {"churn_cpu_percent", "CPU under churn (% of one core)", "median", -1},
    {"churn_gui_thread_cpu_percent", "GUI thread CPU under churn (%)", "median", -1},
    {"tabs_churn_cpu_percent", "CPU under churn, ten open tabs (% of one core)", "median", -1},
    {"tabs_churn_gui_thread_cpu_percent", "GUI thread CPU under churn, ten open tabs (%)", "median",
     -1},
    {"floor_cyclone_read_all_ms", "Floor: Cyclone reads every builtin sample", "median", -1},
};

QJsonObject metricOf(const QJsonObject& run, const char* name)
{
    return run.value(QStringLiteral("metrics")).toObject().value(QLatin1String(name)).toObject();
}

QString number(double value)
{
    if (value >= 100) {
        return QString::number(value, 'f', 0);
    }
    if (value >= 10) {
        return QString::number(value, 'f', 1);
    }
    return QString::number(value, 'f', 2);
}

QString cell(const QJsonObject& metric, const Row& row)
{
    if (metric.isEmpty()) {
        return QStringLiteral("–");
    }
    const double value = metric.value(QLatin1String(row.statistic)).toDouble();
    QString text = number(value);
    const int n = metric.value(QStringLiteral("n")).toInt();
    if (n > 1 && QLatin1String(row.statistic) == QLatin1String("median")) {
        text += QStringLiteral(" [%1–%2]")
                    .arg(number(metric.value(QStringLiteral("min")).toDouble()),
                         number(metric.value(QStringLiteral("max")).toDouble()));
    } else if (n > 1) {
        text += QStringLiteral(" (n=%1)").arg(n);
    }
    if (metric.contains(QStringLiteral("ratio_to_floor")) &&
        QLatin1String(row.metric) != QLatin1String("floor_cyclone_read_all_ms")) {
        const double floor = metric.value(QStringLiteral("median")).toDouble() /
                             metric.value(QStringLiteral("ratio_to_floor")).toDouble();
        if (floor > 0) {
            text += QStringLiteral(" = %1 F").arg(number(value / floor));
        }
    }
    return text;
}

int endpointsOf(const QJsonObject& run)
{
    return run.value(QStringLiteral("config"))
        .toObject()
        .value(QStringLiteral("endpoints"))
        .toInt();
}

} // namespace

QString ReportTable::render(std::vector<QJsonObject> runs)
{
    std::sort(runs.begin(), runs.end(), [](const QJsonObject& a, const QJsonObject& b) {
        return endpointsOf(a) < endpointsOf(b);
    });
    if (runs.empty()) {
        return QString();
    }
    const double n1 = endpointsOf(runs.front());
    const double n2 = endpointsOf(runs.back());
    const double nlogn = n1 > 1 ? (n2 * std::log(n2)) / (n1 * std::log(n1)) : 0;

    QString out = QStringLiteral("Median [min–max] of the repetitions; \"= x F\": x times the "
                                 "Cyclone floor of the same run.\n\n| Figure (ms unless stated) |");
    QString rule = QStringLiteral("|---|");
    for (const QJsonObject& run : runs) {
        const QJsonObject config = run.value(QStringLiteral("config")).toObject();
        out += QStringLiteral(" %1 endpoints, %2 participants, %3 topics |")
                   .arg(config.value(QStringLiteral("endpoints")).toInt())
                   .arg(config.value(QStringLiteral("participants")).toInt())
                   .arg(config.value(QStringLiteral("topics")).toInt());
        rule += QStringLiteral("---|");
    }
    out += QStringLiteral(" Growth (n log n: ×%1) | Target | Met |\n").arg(number(nlogn));
    out += rule + QStringLiteral("---|---|---|\n");

    for (const Row& row : rows) {
        out += QStringLiteral("| %1 |").arg(QLatin1String(row.label));
        for (const QJsonObject& run : runs) {
            out += QLatin1Char(' ') + cell(metricOf(run, row.metric), row) + QStringLiteral(" |");
        }
        const double first =
            metricOf(runs.front(), row.metric).value(QLatin1String(row.statistic)).toDouble();
        const double last =
            metricOf(runs.back(), row.metric).value(QLatin1String(row.statistic)).toDouble();
        out += runs.size() > 1 && first > 0 ? QStringLiteral(" ×%1 |").arg(number(last / first))
                                            : QStringLiteral(" – |");
        if (row.target >= 0) {
            out += QStringLiteral(" ≤ %1 | %2 |")
                       .arg(number(row.target))
                       .arg(last <= row.target ? QStringLiteral("yes") : QStringLiteral("no"));
        } else {
            out += QStringLiteral(" | |");
        }
        out += QLatin1Char('\n');
    }
    // The refresh target is relative to the floor of the same run.
    const QJsonObject refresh = metricOf(runs.back(), "full_refresh_ms");
    const double ratio = refresh.value(QStringLiteral("ratio_to_floor")).toDouble();
    out += QStringLiteral("\nFull refresh at the largest size: %1 × the Cyclone floor "
                          "(target ≤ 3: %2).\n")
               .arg(number(ratio))
               .arg(ratio <= 3 ? QStringLiteral("met") : QStringLiteral("not met"));
    for (const QJsonObject& run : runs) {
        const QJsonObject load = run.value(QStringLiteral("load_average")).toObject();
        out += QStringLiteral("Load average during the %1-endpoint run: %2 at start, %3 at end.\n")
                   .arg(endpointsOf(run))
                   .arg(number(load.value(QStringLiteral("start")).toDouble()),
                        number(load.value(QStringLiteral("end")).toDouble()));
    }
    return out;
}
