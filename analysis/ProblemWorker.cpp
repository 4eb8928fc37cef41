#include "ProblemWorker.h"

#include "ProblemAnalysis.h"

ProblemWorker::ProblemWorker(MonitorLib& monitor, const ProblemLimits& limits)
    : m_monitor(monitor), m_limits(limits)
{
}

void ProblemWorker::analyse()
{
    // Made here and never changed afterwards: the GUI thread only reads it.
    auto report = std::make_shared<const ProblemReport>(
        ProblemAnalysis::collectAndAnalyse(m_monitor, m_limits));
    // Compared here rather than on the GUI thread, which then has nothing to do.
    if (!m_last || !m_last->sameAs(*report)) {
        m_last = std::move(report);
    }
    emit finished(m_last);
}
