// The filter of the event page: keeps the rows with the filter text in any of their cells,
// ignoring case; every row while the text is empty. Rows keep the log's order.
#pragma once

#include <QSortFilterProxyModel>
#include <QString>

class EventTableModel;

class EventFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit EventFilterModel(EventTableModel& events, QObject* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return m_text; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    EventTableModel& m_events;
    QString m_text;
};
