// The problems analysis's report as lines for a terminal: per domain its counts, then each
// listed problem with its level, topic and text, and the writer and reader it names.
#pragma once

#include "ProblemReport.h"

#include <string>

namespace ProblemsText {

// Appends one block per domain of the report to `out`.
void append(std::string& out, const ProblemReport& report);
// Appends the block of one domain; nothing when the report does not know the domain.
void appendDomain(std::string& out, const ProblemReport& report, uint32_t domain);

} // namespace ProblemsText
