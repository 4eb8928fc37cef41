// The statistics panel: fixed pages about the watched domains as a whole, "问题" (what stops
// writers and readers from matching) and "统计" (the counts of every domain), each refreshed
// from the problems analysis, and "事件", the discovery event log.
#pragma once

#include "ProblemReport.h"
#include "TabWidget.h"

#include <QString>
#include <string>

class DomainSummaryTree;
class ProblemList;
class QLabel;

class StatisticalTab : public TabWidget
{
    Q_OBJECT

public:
    explicit StatisticalTab(QWidget* parent = nullptr);

    // Receives the slots' text; kept hidden, the panel has no statistics about one endpoint.
    QLabel* statLabel;
    // the pages, in tab order
    ProblemList* problemTree;
    DomainSummaryTree* summaryTree;

    // Shows a report of the problems analysis on both pages. GUI thread.
    void showReport(ProblemReportPtr report);

public slots:
    void setCurHandle(QString handle);
    void setCurHandle(QString handle, std::string Reader);
};
