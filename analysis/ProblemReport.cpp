#include "ProblemReport.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <tuple>

namespace {

auto fields(const DomainSummary& s)
{
    return std::tie(s.domain, s.participants, s.hosts, s.processes, s.topics, s.writers, s.readers,
                    s.errors, s.warnings, s.hints);
}

} // namespace

bool DomainSummary::operator==(const DomainSummary& other) const
{
    return fields(*this) == fields(other);
}

uint64_t ProblemReport::errorCount() const
{
    uint64_t count = 0;
    for (const DomainSummary& domain : domains) {
        count += domain.errors;
    }
    return count;
}

bool ProblemReport::sameAs(const ProblemReport& other) const
{
    if (domains != other.domains || problems.size() != other.problems.size() ||
        problems.runs().size() != other.problems.runs().size() ||
        incompatiblePairs != other.incompatiblePairs) {
        return false;
    }
    const std::vector<ProblemEntries::Run>& mine = problems.runs();
    const std::vector<ProblemEntries::Run>& theirs = other.problems.runs();
    for (size_t i = 0; i < mine.size(); ++i) {
        if (mine[i] != theirs[i] &&
            !std::equal(mine[i]->begin(), mine[i]->end(), theirs[i]->begin(), theirs[i]->end(),
                        [](const Problem& a, const Problem& b) { return a.sameEntry(b); })) {
            return false;
        }
    }
    return true;
}

QString ProblemReport::statusLine() const
{
    QStringList parts;
    for (const DomainSummary& d : domains) {
        parts << QCoreApplication::translate("ProblemReport",
                                             "%1号域：参与者 %2，发布端 %3，订阅端 %4，错误 %5")
                     .arg(d.domain)
                     .arg(d.participants)
                     .arg(d.writers)
                     .arg(d.readers)
                     .arg(d.errors);
    }
    return parts.join(QCoreApplication::translate("ProblemReport", "；", "between two domains"));
}
