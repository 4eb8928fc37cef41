#include "HostInfoWidget.h"

#include "DepartureTime.h"
#include "EventTime.h"
#include "HandleText.h"
#include "LeftMark.h"
#include "MatchWidget.h"
#include "MonitorLib.h"
#include "ProcessEndpoints.h"
#include "QoSInfo.h"
#include "TabFollower.h"

#include <QTreeWidget>

using namespace ZORVAN;

namespace {

QString fromUtf8(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), int(bytes.size()));
}

void showLeft(QTreeWidgetItem* item, bool left, const QString& tooltip)
{
    LeftMark::setGreyed(item, left);
    for (int column = 0; column < item->columnCount(); ++column) {
        item->setToolTip(column, left ? tooltip : QString());
    }
}

const EventStamp& later(const EventStamp& a, const EventStamp& b)
{
    return a.epochMs < b.epochMs ? b : a;
}

} // namespace

HostInfoWidget::HostInfoWidget(QWidget* parent)
    : QTabWidget(parent), m_tree(new QTreeWidget()),
      m_follower(new TabFollower([this] { follow(); }, this))
{
    m_tree->setProperty("type", QStringLiteral("content"));
    addTab(m_tree, tr("DDS实体列表"));
    m_tree->setColumnCount(2);
    m_tree->setHeaderLabels({tr("实体名称"), tr("摘要信息")});
    m_tree->setColumnWidth(0, 200);
    setTabPosition(QTabWidget::South);
}

HostInfoWidget::~HostInfoWidget() = default;

void HostInfoWidget::showProcess(const std::string& hostName, const std::string& ips,
                                 const std::string& processName, uint32_t pid)
{
    m_process = ProcessIdentity{hostName, ips, processName, pid};
    m_follower->collecting();
    const ProcessEndpoints endpoints =
        collectProcessEndpoints(MonitorLib::getInstance(), m_process);

    for (const QMetaObject::Connection& handler : m_handlers) {
        disconnect(handler);
    }
    m_handlers.clear();
    m_tree->clear();
    m_domains.clear();
    m_shown.clear();

    for (uint32_t domainId : endpoints.domains) {
        DomainItems& group = domainItems(domainId);
        for (const auto& reader : endpoints.readers) {
            if (reader.second.domainId == domainId) {
                addEndpointItem(group.readers, reader.first, reader.second, true);
            }
        }
        for (const auto& writer : endpoints.writers) {
            if (writer.second.domainId == domainId) {
                addEndpointItem(group.writers, writer.first, writer.second, false);
            }
        }
    }
    m_tree->expandAll();
    // Topic names sit three levels deep: widen the first column rather than cut them off.
    m_tree->resizeColumnToContents(0);
    if (m_tree->columnWidth(0) < 200) {
        m_tree->setColumnWidth(0, 200);
    }
}

HostInfoWidget::DomainItems& HostInfoWidget::domainItems(uint32_t domainId)
{
    const auto found = m_domains.find(domainId);
    if (found != m_domains.end()) {
        return found->second;
    }
    DomainItems group;
    group.process = new QTreeWidgetItem(
        {tr("进程名：%1").arg(fromUtf8(m_process.processName)), QString::number(m_process.pid)});
    // Domains stay in ascending order: one that appears later goes before any greater one.
    const auto next = m_domains.upper_bound(domainId);
    if (next == m_domains.end()) {
        m_tree->addTopLevelItem(group.process);
    } else {
        m_tree->insertTopLevelItem(m_tree->indexOfTopLevelItem(next->second.process),
                                   group.process);
    }
    group.participant = new QTreeWidgetItem({tr("域参与者"), tr("所属域：%1").arg(domainId)});
    group.process->addChild(group.participant);
    group.readers = new QTreeWidgetItem(QStringList(tr("数据读者")));
    group.writers = new QTreeWidgetItem(QStringList(tr("数据写者")));
    group.participant->addChild(group.readers);
    group.participant->addChild(group.writers);
    return m_domains.emplace(domainId, group).first->second;
}

void HostInfoWidget::addEndpointItem(QTreeWidgetItem* group, const std::string& key,
                                     const HostEndpointEntry& entry, bool reader)
{
    auto* item = new QTreeWidgetItem(
        {tr("主题名称:%1").arg(entry.topicName), tr("类型名称:%1").arg(entry.typeName)});
    group->addChild(item);
    m_shown[key] = Shown{item, entry.domainId};

    QoSInfo* qosInfo = m_qosInfo;
    MatchWidget* matchWidget = m_matchWidget;
    const uint32_t domainId = entry.domainId;
    // Each handler answers to its own item only: a reader and a writer of one topic and type
    // in one process carry the same texts, and a click must show the one clicked.
    m_handlers.append(connect(
        m_tree, &QTreeWidget::itemClicked, m_tree,
        [item, key, reader, domainId, qosInfo, matchWidget](QTreeWidgetItem* clicked, int) {
            if (clicked != item) {
                return;
            }
            const InstanceHandle_t handle = HandleText::handleFromKey(key);
            if (qosInfo) {
                qosInfo->setInfo(handle, reader ? ReaderQoS : WriterQoS);
            }
            if (matchWidget) {
                matchWidget->setMatchHandle(domainId, handle, reader ? ReaderMatch : WriterMatch);
            }
        },
        Qt::DirectConnection));
}

void HostInfoWidget::follow()
{
    merge(collectProcessEndpoints(MonitorLib::getInstance(), m_process));
}

void HostInfoWidget::merge(const ProcessEndpoints& endpoints)
{
    // Items keep their place: an endpoint that left is greyed, one that is back is live again.
    std::map<uint32_t, EventStamp> lastLeft;
    for (const auto& shown : m_shown) {
        const bool present =
            endpoints.readers.count(shown.first) > 0 || endpoints.writers.count(shown.first) > 0;
        QTreeWidgetItem* item = shown.second.item;
        if (present == !LeftMark::isGreyed(item)) {
            continue;
        }
        if (present) {
            showLeft(item, false, QString());
            continue;
        }
        const EventStamp when = DepartureTime::of(shown.second.domainId, shown.first);
        showLeft(item, true, LeftMark::text(when));
        const auto known = lastLeft.find(shown.second.domainId);
        lastLeft[shown.second.domainId] =
            known == lastLeft.end() ? when : later(known->second, when);
    }
    // Newcomers go at the end of their group.
    bool added = false;
    auto addNew = [&](const std::map<std::string, HostEndpointEntry>& found, bool reader) {
        for (const auto& endpoint : found) {
            if (m_shown.count(endpoint.first) > 0) {
                continue;
            }
            const bool newDomain = m_domains.count(endpoint.second.domainId) == 0;
            DomainItems& group = domainItems(endpoint.second.domainId);
            addEndpointItem(reader ? group.readers : group.writers, endpoint.first, endpoint.second,
                            reader);
            if (newDomain) {
                group.process->setExpanded(true);
                group.participant->setExpanded(true);
            }
            (reader ? group.readers : group.writers)->setExpanded(true);
            added = true;
        }
    };
    addNew(endpoints.readers, true);
    addNew(endpoints.writers, false);
    // The process takes part in a domain while it has a reader or writer there.
    for (const auto& domain : m_domains) {
        const bool left = endpoints.domains.count(domain.first) == 0;
        if (left == LeftMark::isGreyed(domain.second.participant)) {
            continue;
        }
        const auto known = lastLeft.find(domain.first);
        setLeft(domain.second, left, known == lastLeft.end() ? EventTime::now() : known->second);
    }
    // Widened for a longer topic name, never narrowed under the operator's hand.
    const QAbstractItemView* view = m_tree;
    if (added && view->sizeHintForColumn(0) > m_tree->columnWidth(0)) {
        m_tree->resizeColumnToContents(0);
    }
}

void HostInfoWidget::setLeft(const DomainItems& group, bool left, const EventStamp& when)
{
    const QString tooltip = left ? LeftMark::text(when) : QString();
    for (QTreeWidgetItem* item : {group.process, group.participant, group.readers, group.writers}) {
        showLeft(item, left, tooltip);
    }
}
