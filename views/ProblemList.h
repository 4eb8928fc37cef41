// The "问题" page of the statistics panel: one row per entry of the problems analysis, in its
// order (level, domain, topic). A new report changes only the rows that differ, so the
// operator's selection and scroll position stay while the network changes elsewhere; the rows
// of topics whose entries the report shares with the one shown are not even compared. A double
// click asks for the entry's topic and endpoint.
#pragma once

#include "Problem.h"
#include "ProblemReport.h"

#include <QIcon>
#include <QString>
#include <QTreeWidget>
#include <cstdint>
#include <vector>

class ProblemList : public QTreeWidget
{
    Q_OBJECT

public:
    // Columns, in order.
    enum Column
    {
        LevelColumn,
        DomainColumn,
        TopicColumn,
        ProblemColumn,
        WriterColumn,
        ReaderColumn,
        ColumnCount
    };

    explicit ProblemList(QWidget* parent = nullptr);

    // Shows the report's entries, in its order. GUI thread.
    void showProblems(ProblemReportPtr report);

    // The entry shown in a row; null for an item of no row.
    const Problem* problemOf(const QTreeWidgetItem* item) const;

signals:
    // A row was double-clicked: its topic, and the handle text of the endpoint to select (the
    // writer, else the reader; empty when the entry has none).
    void endpointRequested(uint32_t domainId, QString topicName, QString handleText);

private:
    QTreeWidgetItem* makeItem(const Problem& problem) const;
    void fillItem(QTreeWidgetItem* item, const Problem& problem) const;
    void rebuild(const ProblemEntries& problems);
    void onItemDoubleClicked(QTreeWidgetItem* item);
    const ProblemEntries& shown() const;

    // the report shown, row i showing its entry i; kept rather than copied
    ProblemReportPtr m_report;
    // by ProblemLevel
    QIcon m_levelIcons[3];
};
