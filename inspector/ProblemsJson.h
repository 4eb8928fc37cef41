// The problems analysis's report in the inspector's JSON documents: every listed problem with
// its level, kind, topic, endpoints and reasons, and the counts of each domain. Written into a
// document that is already open, so that snapshot and check share the form.
#pragma once

#include "ProblemReport.h"

class JsonWriter;

namespace ProblemsJson {

// The members "error_count" (error-level problems of every domain, as counted),
// "problem_counts" (per domain, ascending: its counts and how many problems of each level) and
// "problems" (the list, in the report's order).
void writeProblems(JsonWriter& json, const ProblemReport& report);

// "error", "warning", "hint".
const char* levelName(ProblemLevel level);
// "incompatible_pair", "more_pairs", "unmatched_writer", "unmatched_reader",
// "more_unmatched", "writers_only", "readers_only".
const char* kindName(Problem::Kind kind);

} // namespace ProblemsJson
