#include "ProblemsJson.h"

#include "JsonWriter.h"

namespace ProblemsJson {

namespace {

void endpoint(JsonWriter& json, const ProblemEndpoint& side)
{
    if (side.isEmpty()) {
        json.null();
        return;
    }
    json.beginObject();
    json.key("handle").string(side.handle);
    json.key("process").string(side.process);
    json.endObject();
}

void problem(JsonWriter& json, const Problem& p)
{
    json.beginObject();
    json.key("level").string(levelName(p.level));
    json.key("kind").string(kindName(p.kind));
    json.key("domain").number(p.domain);
    json.key("topic").string(p.topic);
    json.key("text").string(p.text);
    json.key("writer");
    endpoint(json, p.writer);
    json.key("reader");
    endpoint(json, p.reader);
    json.key("count").number(int64_t(p.count));
    json.key("reasons").beginArray();
    for (const Reason& reason : p.reasons) {
        json.beginObject();
        json.key("policy").string(reason.policy);
        json.key("writer_value").string(reason.writerValue);
        json.key("reader_value").string(reason.readerValue);
        json.key("explanation").string(reason.explanation);
        json.endObject();
    }
    json.endArray();
    json.endObject();
}

void summary(JsonWriter& json, const DomainSummary& summary)
{
    json.beginObject();
    json.key("domain").number(summary.domain);
    json.key("participants").number(int64_t(summary.participants));
    json.key("hosts").number(int64_t(summary.hosts));
    json.key("processes").number(int64_t(summary.processes));
    json.key("topics").number(int64_t(summary.topics));
    json.key("writers").number(int64_t(summary.writers));
    json.key("readers").number(int64_t(summary.readers));
    json.key("errors").number(int64_t(summary.errors));
    json.key("warnings").number(int64_t(summary.warnings));
    json.key("hints").number(int64_t(summary.hints));
    json.endObject();
}

} // namespace

void writeProblems(JsonWriter& json, const ProblemReport& report)
{
    json.key("error_count").number(int64_t(report.errorCount()));
    json.key("problem_counts").beginArray();
    for (const DomainSummary& domain : report.domains) {
        summary(json, domain);
    }
    json.endArray();
    json.key("problems").beginArray();
    for (const Problem& p : report.problems) {
        problem(json, p);
    }
    json.endArray();
}

const char* levelName(ProblemLevel level)
{
    switch (level) {
    case ProblemLevel::Error:
        return "error";
    case ProblemLevel::Warning:
        return "warning";
    case ProblemLevel::Hint:
        break;
    }
    return "hint";
}

const char* kindName(Problem::Kind kind)
{
    switch (kind) {
    case Problem::Kind::IncompatiblePair:
        return "incompatible_pair";
    case Problem::Kind::MorePairs:
        return "more_pairs";
    case Problem::Kind::UnmatchedWriter:
        return "unmatched_writer";
    case Problem::Kind::UnmatchedReader:
        return "unmatched_reader";
    case Problem::Kind::MoreUnmatched:
        return "more_unmatched";
    case Problem::Kind::WritersOnly:
        return "writers_only";
    case Problem::Kind::ReadersOnly:
        break;
    }
    return "readers_only";
}

} // namespace ProblemsJson
