#include "ProblemWorker.h"

#include "ProblemAnalysis.h"

ProblemWorker::ProblemWorker(MonitorLib& monitor, const ProblemLimits& limits)
    : m_monitor(monitor), m_limits(limits)
{
}

void ProblemWorker::analyse()
{
    // Made here and never changed afterwards: the GUI thread only reads it.
    emit finished(std::make_shared<const ProblemReport>(
        ProblemAnalysis::collectAndAnalyse(m_monitor, m_limits)));
}
