// Keeps the problems analysis current for the window: after every change the monitor
// announces it runs the analysis on a thread of its own (the GUI thread never waits for it)
// and hands each new report to the GUI thread. A burst of changes costs one run more at most:
// a change announced while a run is under way starts one new run when it ends. Runs start at
// least `interval` apart, so a churning network keeps the worker (and the mutex it takes to
// collect) busy for a small share of the time only.
#pragma once

#include "ProblemLimits.h"
#include "ProblemReport.h"

#include <QElapsedTimer>
#include <QObject>
#include <QThread>
#include <QTimer>
#include <cstdint>

class MonitorLib;
class ProblemWorker;

class ProblemWatch : public QObject
{
    Q_OBJECT

public:
    // Lives on the thread that creates it (the GUI thread); starts its worker thread at once.
    explicit ProblemWatch(MonitorLib& monitor, const ProblemLimits& limits = ProblemLimits(),
                          QObject* parent = nullptr, int intervalMs = 500);
    // Waits for a run under way to end, then stops the worker thread.
    ~ProblemWatch() override;

    // The last report handed over; an empty report before the first.
    ProblemReportPtr report() const { return m_report; }

    // Runs the analysis now even when nothing changed (after a run under way, if any).
    void refresh();

    // Whether a run is under way (or asked for and not yet handed over).
    bool isRunning() const { return m_running; }
    // How many runs have ended, whether or not their report was new.
    int runCount() const { return m_runs; }

signals:
    // Emitted on the GUI thread for each run whose report differs from the last one, in the
    // order of the runs.
    void reportReady(ProblemReportPtr report);

private slots:
    // Delivered queued from the polling thread, or directly on the GUI thread after a domain
    // change.
    void onDataChanged();
    // Delivered queued from the worker thread.
    void onFinished(ProblemReportPtr report);

private:
    // Asks for a run: now, or once `interval` has passed since the last one began.
    void start();
    void launch();

    MonitorLib& m_monitor;
    QThread m_thread;
    ProblemWorker* m_worker; // lives on m_thread; deleted when it finishes
    ProblemReportPtr m_report;
    QTimer m_delay;
    QElapsedTimer m_sinceLaunch;
    const int m_intervalMs;
    int m_runs = 0;
    bool m_running = false;
    bool m_again = false;
    bool m_started = false;
    // the monitor's signal count read before the last run was asked for
    uint64_t m_count = 0;
};
