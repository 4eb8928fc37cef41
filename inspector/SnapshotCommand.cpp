#include "SnapshotCommand.h"

#include "ProblemAnalysis.h"
#include "SnapshotCollector.h"
#include "SnapshotJson.h"
#include "SnapshotText.h"

#include <QElapsedTimer>

namespace SnapshotCommand {

Result run(MonitorLib& monitor, const DocumentHeader& header, InspectorOptions::Format format)
{
    Result result;
    QElapsedTimer timer;
    timer.start();
    const Snapshot snapshot = SnapshotCollector::collect(monitor);
    result.collectMs = double(timer.nsecsElapsed()) / 1e6;
    // The window's analysis as it is: it takes the mutex again for its own collection. Once
    // discovery has settled both see the same system.
    const ProblemReport problems = ProblemAnalysis::collectAndAnalyse(monitor);
    result.problemsMs = double(timer.nsecsElapsed()) / 1e6 - result.collectMs;
    result.problems = problems.problems.size();
    result.text = format == InspectorOptions::Format::Json
                      ? SnapshotJson::document(header, snapshot, problems)
                      : SnapshotText::listing(header, snapshot, problems);
    result.buildMs = double(timer.nsecsElapsed()) / 1e6 - result.collectMs - result.problemsMs;
    for (const SnapshotDomain& domain : snapshot.domains) {
        result.participants += domain.participants.size();
        result.endpoints += domain.writers.size() + domain.readers.size();
    }
    return result;
}

} // namespace SnapshotCommand
