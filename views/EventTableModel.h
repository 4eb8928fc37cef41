// The rows of the event page: the discovery event log as a table, oldest at the top, one row
// per event. A copy of the log taken on the GUI thread and brought up to date by refresh(), so
// that the view reads it without any lock; it drops its oldest rows as the log does.
#pragma once

#include "DiscoveryEvent.h"

#include <QAbstractTableModel>
#include <QString>
#include <cstdint>
#include <deque>

class EventLog;

class EventTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        TimeColumn,
        DomainColumn,
        EventColumn,
        EntityColumn,
        TopicColumn,
        HostColumn,
        ProcessColumn,
        HandleColumn,
        ColumnCount
    };

    // Takes the events the log holds now. GUI thread only, like everything below.
    explicit EventTableModel(EventLog& log, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Appends the events recorded since the last call at the bottom, after removing from the
    // top the rows the log no longer holds beyond its capacity.
    void refresh();

    const DiscoveryEvent& event(int row) const { return m_events[size_t(row)]; }
    // The shown text of a cell.
    QString text(int row, int column) const;
    // Whether any cell of the row contains `needle`, ignoring case.
    bool rowContains(int row, const QString& needle) const;
    // The row of the event with this number, or -1 when it is not held.
    int rowOfSeq(uint64_t seq) const;

private:
    QString eventText(DiscoveryEventKind event) const;
    QString kindText(DiscoveredKind kind) const;

    EventLog& m_log;
    std::deque<DiscoveryEvent> m_events;
    uint64_t m_lastSeq = 0;
    QString m_headers[ColumnCount];
};
