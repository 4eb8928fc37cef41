#include "ProblemsText.h"

#include "PrintableText.h"

namespace ProblemsText {

namespace {

std::string printable(const QString& text)
{
    return PrintableText::forTerminal(text.toStdString());
}

std::string plural(uint64_t count, const char* one, const char* many)
{
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

void endpointLine(std::string& out, const char* side, const ProblemEndpoint& endpoint)
{
    if (endpoint.isEmpty()) {
        return;
    }
    out += "      ";
    out += side;
    out += ' ' + printable(endpoint.handle) + "  " + printable(endpoint.process) + '\n';
}

void problemLines(std::string& out, const Problem& problem)
{
    out += "    " + printable(Problem::levelText(problem.level)) + "  topic " +
           PrintableText::forTerminal(problem.topic) + ": ";
    // A pair's text joins its reasons; each gets a line of its own here.
    if (problem.reasons.isEmpty()) {
        out += printable(problem.text) + '\n';
    } else {
        out += "cannot match\n";
    }
    endpointLine(out, "writer", problem.writer);
    endpointLine(out, "reader", problem.reader);
    for (const Reason& reason : problem.reasons) {
        out += "      " + printable(reason.text()) + '\n';
    }
}

void domainBlock(std::string& out, const ProblemReport& report, const DomainSummary& summary)
{
    out +=
        "\n  Problems in domain " + std::to_string(summary.domain) + ": " +
        plural(summary.errors, "writer/reader pair that cannot match",
               "writer/reader pairs that cannot match") +
        ", " +
        plural(summary.warnings, "endpoint that matches nothing", "endpoints that match nothing") +
        ", " + plural(summary.hints, "one-sided topic", "one-sided topics") + '\n';
    for (const Problem& problem : report.problems) {
        if (problem.domain == summary.domain) {
            problemLines(out, problem);
        }
    }
}

} // namespace

void append(std::string& out, const ProblemReport& report)
{
    for (const DomainSummary& summary : report.domains) {
        domainBlock(out, report, summary);
    }
}

void appendDomain(std::string& out, const ProblemReport& report, uint32_t domain)
{
    for (const DomainSummary& summary : report.domains) {
        if (summary.domain == domain) {
            domainBlock(out, report, summary);
        }
    }
}

} // namespace ProblemsText
