#include "SnapshotCommand.h"

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
    result.text = format == InspectorOptions::Format::Json
                      ? SnapshotJson::document(header, snapshot)
                      : SnapshotText::listing(header, snapshot);
    result.buildMs = double(timer.nsecsElapsed()) / 1e6 - result.collectMs;
    for (const SnapshotDomain& domain : snapshot.domains) {
        result.participants += domain.participants.size();
        result.endpoints += domain.writers.size() + domain.readers.size();
    }
    return result;
}

} // namespace SnapshotCommand
