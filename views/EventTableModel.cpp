#include "EventTableModel.h"

#include "EventLog.h"
#include "EventTime.h"

#include <algorithm>

EventTableModel::EventTableModel(EventLog& log, QObject* parent)
    : QAbstractTableModel(parent),
      m_log(log), m_headers{tr("时间"), tr("域"),   tr("事件"), tr("实体"),
                            tr("话题"), tr("节点"), tr("进程"), tr("标识")}
{
    refresh();
}

int EventTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_events.size());
}

int EventTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString EventTableModel::eventText(DiscoveryEventKind event) const
{
    switch (event) {
    case DiscoveryEventKind::Joined:
        return tr("加入");
    case DiscoveryEventKind::Left:
        return tr("离开");
    case DiscoveryEventKind::QosChanged:
        return tr("QoS变更");
    }
    return QString();
}

QString EventTableModel::kindText(DiscoveredKind kind) const
{
    switch (kind) {
    case DiscoveredKind::Participant:
        return tr("域参与者");
    case DiscoveredKind::Writer:
        return tr("数据写者");
    case DiscoveredKind::Reader:
        return tr("数据读者");
    }
    return QString();
}

QString EventTableModel::text(int row, int column) const
{
    const DiscoveryEvent& e = event(row);
    const EntityDescription& entity = *e.entity;
    switch (column) {
    case TimeColumn:
        return EventTime::shown(e.time);
    case DomainColumn:
        return QString::number(e.domainId);
    case EventColumn:
        return eventText(e.event);
    case EntityColumn:
        return kindText(e.kind);
    case TopicColumn:
        return entity.topic;
    case HostColumn:
        // As the topic tab shows where an endpoint runs.
        return entity.placed ? entity.host + QStringLiteral(" - ") + entity.ips : QString();
    case ProcessColumn:
        return entity.placed ? entity.process + QLatin1Char(':') + QString::number(entity.pid)
                             : QString();
    case HandleColumn:
        return entity.handle;
    }
    return QString();
}

QVariant EventTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount) {
        return QVariant();
    }
    if (role == Qt::DisplayRole) {
        return text(index.row(), index.column());
    }
    if (role == Qt::ToolTipRole) {
        const DiscoveryEvent& e = event(index.row());
        if (index.column() == TopicColumn && !e.entity->type.isEmpty()) {
            return tr("类型名称:%1").arg(e.entity->type);
        }
        if (index.column() == EventColumn && !e.policies.isEmpty()) {
            return e.policies.join(QStringLiteral(", "));
        }
        return text(index.row(), index.column());
    }
    return QVariant();
}

QVariant EventTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < ColumnCount) {
        return m_headers[section];
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

void EventTableModel::refresh()
{
    std::vector<DiscoveryEvent> fresh = m_log.since(m_lastSeq);
    if (fresh.empty()) {
        return;
    }
    m_lastSeq = fresh.back().seq;
    // The log never holds more than its capacity, so neither does the table.
    const size_t capacity = m_log.capacity();
    if (fresh.size() > capacity) {
        fresh.erase(fresh.begin(), fresh.end() - ptrdiff_t(capacity));
    }
    const size_t excess =
        m_events.size() + fresh.size() > capacity ? m_events.size() + fresh.size() - capacity : 0;
    if (excess > 0) {
        beginRemoveRows(QModelIndex(), 0, int(excess) - 1);
        m_events.erase(m_events.begin(), m_events.begin() + ptrdiff_t(excess));
        endRemoveRows();
    }
    const int first = int(m_events.size());
    beginInsertRows(QModelIndex(), first, first + int(fresh.size()) - 1);
    std::move(fresh.begin(), fresh.end(), std::back_inserter(m_events));
    endInsertRows();
}

bool EventTableModel::rowContains(int row, const QString& needle) const
{
    for (int column = 0; column < ColumnCount; ++column) {
        if (text(row, column).contains(needle, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

int EventTableModel::rowOfSeq(uint64_t seq) const
{
    const auto found =
        std::lower_bound(m_events.begin(), m_events.end(), seq,
                         [](const DiscoveryEvent& e, uint64_t wanted) { return e.seq < wanted; });
    if (found == m_events.end() || found->seq != seq) {
        return -1;
    }
    return int(found - m_events.begin());
}
