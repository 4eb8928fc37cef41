#include "StatisticalTab.h"

#include "DomainSummaryTree.h"
#include "EventLogPage.h"
#include "MonitorEvents.h"
#include "ProblemList.h"

#include <QLabel>

StatisticalTab::StatisticalTab(QWidget* parent)
    : TabWidget(parent), statLabel(new QLabel(this)), problemTree(new ProblemList()),
      summaryTree(new DomainSummaryTree())
{
    statLabel->hide();
    // Fixed pages, in tab order; the first one is shown.
    addFixedPage(tr("问题"), problemTree);
    addFixedPage(tr("统计"), summaryTree);
    addFixedPage(tr("事件"), new EventLogPage(MonitorEvents::log(), this));
    setCurrentPage(problemTree);
}

void StatisticalTab::showReport(ProblemReportPtr report)
{
    if (!report) {
        return;
    }
    summaryTree->showSummaries(report->domains);
    problemTree->showProblems(std::move(report));
}

void StatisticalTab::setCurHandle(QString /*handle*/)
{
    statLabel->setText(QStringLiteral("hello world"));
}

void StatisticalTab::setCurHandle(QString /*handle*/, std::string /*Reader*/)
{
    statLabel->setText(QStringLiteral("hello world"));
}
