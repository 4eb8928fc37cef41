// The benchmark runs end to end on a tiny system and writes its results. Times are not
// checked (a benchmark measures them); what is checked is that the run saw the whole system
// it created and that every figure is present.
#include "TestEnv.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestBenchSmoke : public QObject
{
    Q_OBJECT

private slots:
    void tinyRun();
};

void TestBenchSmoke::tinyRun()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString json = dir.filePath(QStringLiteral("tiny.json"));
    QProcess bench;
    bench.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    bench.start(QStringLiteral(BENCH_RUNNER), {"--loadgen",
                                               QStringLiteral(BENCH_LOADGEN),
                                               "--json",
                                               json,
                                               "--domain",
                                               QString::number(TestEnv::domain(0)),
                                               "--participants",
                                               "6",
                                               "--writers",
                                               "9",
                                               "--readers",
                                               "7",
                                               "--topics",
                                               "4",
                                               "--processes",
                                               "2",
                                               "--hot-percent",
                                               "20",
                                               "--repeat",
                                               "2",
                                               "--probes",
                                               "2",
                                               "--churn-rate",
                                               "4",
                                               "--churn-seconds",
                                               "1",
                                               "--idle-seconds",
                                               "1",
                                               "--discovery-timeout",
                                               "60",
                                               "--crowd-writers",
                                               "6",
                                               "--crowd-readers",
                                               "5",
                                               "--crowd-picky-percent",
                                               "40"});
    QVERIFY(bench.waitForStarted());
    QVERIFY2(bench.waitForFinished(150000), "the tiny benchmark did not finish");
    QCOMPARE(bench.exitStatus(), QProcess::NormalExit);
    QCOMPARE(bench.exitCode(), 0);
    const QByteArray table = bench.readAllStandardOutput();
    QVERIFY(table.contains("| One polling pass (steady) |"));
    QVERIFY(table.contains("| Discovery to screen, p95 |"));

    QFile file(json);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject result = QJsonDocument::fromJson(file.readAll()).object();
    const QJsonObject metrics = result.value("metrics").toObject();
    const QJsonObject counts = result.value("counts").toObject();

    // The monitor's views showed exactly the system the load generators created.
    QCOMPARE(counts.value("topic_items").toInt(), 4);
    QCOMPARE(counts.value("process_items").toInt(), 6);
    QCOMPARE(counts.value("host_items").toInt(), 1);
    // The event log recorded each of them joining once, and not the monitor's own participant.
    QCOMPARE(counts.value("events_recorded_discovery").toInt(), 6 + 9 + 7);
    QVERIFY(counts.value("events_recorded").toInt() > 6 + 9 + 7);
    // The timed recorder saw the same system join and leave.
    QCOMPARE(counts.value("event_record_events").toInt(), 2 * (6 + 9 + 7));
    // The floor read the same system straight from Cyclone: the six participants and the
    // monitor's own, every writer, at least every reader (Cyclone adds local builtin readers).
    QCOMPARE(counts.value("floor_ok").toInt(), 1);
    QCOMPARE(counts.value("floor_participant_samples").toInt(), 7);
    QCOMPARE(counts.value("floor_publication_samples").toInt(), 9);
    QVERIFY(counts.value("floor_subscription_samples").toInt() >= 7);
    // 20 % of 9 writers and of 7 readers use the hot topic.
    QCOMPARE(counts.value("largest_topic_rows").toInt(), 2 + 1);
    QCOMPARE(counts.value("match_counterparts_shown").toInt(), 1);
    QCOMPARE(counts.value("discovery_probes_missed").toInt(), 0);
    // The crowd: 6 writers against the 2 readers of 5 that ask for reliable delivery, each
    // pair listed, and the 2 readers that match nothing.
    QCOMPARE(counts.value("crowd_shown").toInt(), 1);
    QCOMPARE(counts.value("crowd_error_pairs").toInt(), 12);
    QCOMPARE(counts.value("crowd_entries").toInt(), 12 + 2);

    const char* repeated[] = {"poll_pass_steady_ms",
                              "logical_rebuild_ms",
                              "physical_rebuild_ms",
                              "topic_tab_fill_ms",
                              "qos_panel_ms",
                              "match_analysis_ms",
                              "floor_cyclone_read_all_ms",
                              "problems_collect_ms",
                              "problems_analyse_ms",
                              "problems_show_ms",
                              "problems_show_full_ms",
                              "problems_analyse_crowd_ms",
                              "problems_show_crowd_ms",
                              "event_record_join_held_ms",
                              "event_record_leave_after_ms"};
    for (const char* name : repeated) {
        const QJsonObject metric = metrics.value(name).toObject();
        QVERIFY2(metric.value("n").toInt() >= 2, name);
        QVERIFY2(metric.value("min").toDouble() <= metric.value("median").toDouble(), name);
        QVERIFY2(metric.value("median").toDouble() <= metric.value("max").toDouble(), name);
        QVERIFY2(metric.contains("ratio_to_floor"), name);
    }
    QCOMPARE(metrics.value("discovery_to_screen_ms").toObject().value("n").toInt(), 2);
    const char* single[] = {"gui_mutex_wait_max_ms", "resident_memory_mib",
                            "idle_cpu_percent",      "full_refresh_ms",
                            "churn_cpu_percent",     "problems_refresh_added_ms",
                            "gui_event_lag_crowd_ms"};
    for (const char* name : single) {
        QVERIFY2(metrics.contains(name), name);
    }
    QVERIFY(metrics.value("resident_memory_mib").toObject().value("median").toDouble() > 0);
    QVERIFY(!result.value("machine").toObject().value("cpu").toString().isEmpty());
}

QTEST_APPLESS_MAIN(TestBenchSmoke)
#include "tst_benchsmoke.moc"
