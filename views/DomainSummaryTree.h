// The "统计" page of the statistics panel: one row per watched domain with its counts of
// participants, hosts, processes, topics, writers, readers and problems, also for a domain
// that has discovered nothing yet.
#pragma once

#include "ProblemReport.h"

#include <QTreeWidget>
#include <vector>

class DomainSummaryTree : public QTreeWidget
{
    Q_OBJECT

public:
    explicit DomainSummaryTree(QWidget* parent = nullptr);

    // Shows the domains' counts, ascending by domain. GUI thread.
    void showSummaries(const std::vector<DomainSummary>& domains);

private:
    std::vector<DomainSummary> m_shown;
};
