#include "ProblemWatch.h"

#include "MonitorLib.h"
#include "ProblemWorker.h"

ProblemWatch::ProblemWatch(MonitorLib& monitor, const ProblemLimits& limits, QObject* parent,
                           int intervalMs)
    : QObject(parent), m_monitor(monitor), m_worker(new ProblemWorker(monitor, limits)),
      m_report(std::make_shared<const ProblemReport>()), m_intervalMs(intervalMs)
{
    m_delay.setSingleShot(true);
    connect(&m_delay, &QTimer::timeout, this, &ProblemWatch::launch);
    qRegisterMetaType<ProblemReportPtr>("ProblemReportPtr");
    m_thread.setObjectName(QStringLiteral("problems"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    // emitted on the worker thread; delivered queued to the GUI thread
    connect(m_worker, &ProblemWorker::finished, this, &ProblemWatch::onFinished,
            Qt::QueuedConnection);
    connect(&monitor, SIGNAL(dataChanged()), this, SLOT(onDataChanged()));
    m_thread.start();
}

ProblemWatch::~ProblemWatch()
{
    m_thread.quit();
    m_thread.wait();
}

void ProblemWatch::refresh()
{
    if (m_delay.isActive()) {
        return; // not launched yet: it will see everything up to its launch
    }
    if (m_running) {
        m_again = true;
        return;
    }
    start();
}

void ProblemWatch::onDataChanged()
{
    if (m_running) {
        // onFinished() sees the count move and runs again.
        return;
    }
    // A delivery whose change was announced before the last run was asked for is in it.
    if (m_started && m_monitor.signalCount() == m_count) {
        return;
    }
    start();
}

void ProblemWatch::start()
{
    m_running = true;
    m_again = false;
    const qint64 wait =
        m_sinceLaunch.isValid() ? m_intervalMs - m_sinceLaunch.elapsed() : qint64(0);
    if (wait > 0) {
        m_delay.start(int(wait));
        return;
    }
    launch();
}

void ProblemWatch::launch()
{
    // Read before the worker collects, so whatever was announced is in what the run sees.
    m_count = m_monitor.signalCount();
    m_started = true;
    m_sinceLaunch.start();
    // runs on the worker thread
    QMetaObject::invokeMethod(m_worker, "analyse", Qt::QueuedConnection);
}

void ProblemWatch::onFinished(ProblemReportPtr report)
{
    m_running = false;
    ++m_runs;
    if (report != m_report) {
        m_report = std::move(report);
        emit reportReady(m_report);
    }
    if (m_again || m_monitor.signalCount() != m_count) {
        start();
    }
}
