#include "EventFilterModel.h"

#include "EventTableModel.h"

EventFilterModel::EventFilterModel(EventTableModel& events, QObject* parent)
    : QSortFilterProxyModel(parent), m_events(events)
{
    setSourceModel(&events);
}

void EventFilterModel::setText(const QString& text)
{
    if (text == m_text) {
        return;
    }
    m_text = text;
    // One layout change for the whole table: invalidateFilter() would announce every run of
    // rows that goes or comes on its own, which costs a view seconds at a hundred thousand.
    invalidate();
}

bool EventFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex& /*sourceParent*/) const
{
    return m_text.isEmpty() || m_events.rowContains(sourceRow, m_text);
}
