#include "ProblemWorker.h"

#include "ProblemAnalysis.h"

ProblemWorker::ProblemWorker(MonitorLib& monitor, const ProblemLimits& limits)
    : m_monitor(monitor), m_cache(limits)
{
}

void ProblemWorker::analyse()
{
    // Made here and never changed afterwards: the GUI thread only reads it.
    // Collected under the mutex; analysed after the unlock.
    const WatchedEndpoints seen = collectWatchedEndpoints(m_monitor);
    auto report = std::make_shared<const ProblemReport>(ProblemAnalysis::analyse(seen, m_cache));
    // Compared here rather than on the GUI thread, which then has nothing to do.
    if (!m_last || !m_last->sameAs(*report)) {
        m_last = std::move(report);
    }
    emit finished(m_last);
}
