// The problems analysis on a thread of its own: collects under MonitorLib::mutex and analyses
// after the unlock, one run per request, judging only the topics that changed since the run
// before. Lives on ProblemWatch's thread.
#pragma once

#include "ProblemCache.h"
#include "ProblemLimits.h"
#include "ProblemReport.h"

#include <QMetaType>
#include <QObject>

Q_DECLARE_METATYPE(ProblemReportPtr)

class MonitorLib;

class ProblemWorker : public QObject
{
    Q_OBJECT

public:
    ProblemWorker(MonitorLib& monitor, const ProblemLimits& limits);

public slots:
    // Invoked queued from the GUI thread; runs on the worker's thread.
    void analyse();

signals:
    // Emitted on the worker's thread; delivered queued to ProblemWatch on the GUI thread. A
    // run that finds what the last one found hands over the last report itself.
    void finished(ProblemReportPtr report);

private:
    MonitorLib& m_monitor;
    // the topics' results of the last run; used on the worker's thread only
    ProblemCache m_cache;
    ProblemReportPtr m_last;
};
