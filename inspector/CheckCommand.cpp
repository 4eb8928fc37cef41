#include "CheckCommand.h"

#include "JsonWriter.h"
#include "ProblemAnalysis.h"
#include "ProblemsJson.h"
#include "ProblemsText.h"
#include "SnapshotJson.h"
#include "SnapshotText.h"

namespace CheckCommand {

namespace {

std::string document(const DocumentHeader& header, const ProblemReport& report)
{
    std::string out;
    JsonWriter json(out);
    json.beginObject();
    SnapshotJson::writeHeader(json, header);
    ProblemsJson::writeProblems(json, report);
    json.endObject();
    out += '\n';
    return out;
}

std::string listing(const DocumentHeader& header, const ProblemReport& report)
{
    std::vector<uint32_t> ids;
    for (const DomainSummary& domain : report.domains) {
        ids.push_back(domain.domain);
    }
    std::string out = SnapshotText::headline(header, ids);
    ProblemsText::append(out, report);
    const uint64_t errors = report.errorCount();
    out += errors == 0 ? std::string("\nNo error-level problem.\n")
                       : "\n" + std::to_string(errors) +
                             (errors == 1 ? " writer/reader pair cannot match.\n"
                                          : " writer/reader pairs cannot match.\n");
    return out;
}

} // namespace

Result run(MonitorLib& monitor, const DocumentHeader& header, InspectorOptions::Format format)
{
    const ProblemReport report = ProblemAnalysis::collectAndAnalyse(monitor);
    Result result;
    result.errors = report.errorCount();
    result.text = format == InspectorOptions::Format::Json ? document(header, report)
                                                           : listing(header, report);
    return result;
}

} // namespace CheckCommand
