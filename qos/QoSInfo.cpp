#include "QoSInfo.h"

#include "DepartureTime.h"
#include "EndpointLookup.h"
#include "HandleText.h"
#include "LeftMark.h"
#include "MonitorLib.h"
#include "QosText.h"
#include "TabBar.h"

#include <QIcon>
#include <QList>
#include <QPushButton>
#include <QStringList>
#include <QTreeWidget>
#include <QTreeWidgetItem>

using namespace ZORVAN;

namespace {

// Collects policy items in order; a policy's fields are attached as they are made, and the
// policies go into the tree together at the end.
class PolicyList
{
public:
    QTreeWidgetItem* policy(const QString& label)
    {
        m_items.append(new QTreeWidgetItem(QStringList{label}));
        return m_items.last();
    }
    static void field(QTreeWidgetItem* policy, const QString& label, const QString& value)
    {
        policy->addChild(new QTreeWidgetItem(QStringList{label, value}));
    }
    QList<QTreeWidgetItem*> items() const { return m_items; }

private:
    QList<QTreeWidgetItem*> m_items;
};

// Makes the children of `shown` read like those of `fresh`, in place, and empties `fresh`: an
// item whose label stands at the same position keeps its place, its expansion and its
// children, and takes the new value; any other takes the place of the old one, expanded;
// surplus items go.
void greyAll(QTreeWidgetItem* item, bool greyed)
{
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        LeftMark::setGreyed(child, greyed);
        greyAll(child, greyed);
    }
}

void mergeChildren(QTreeWidgetItem* shown, QTreeWidgetItem* fresh)
{
    const QList<QTreeWidgetItem*> incoming = fresh->takeChildren();
    int i = 0;
    for (QTreeWidgetItem* item : incoming) {
        QTreeWidgetItem* current = i < shown->childCount() ? shown->child(i) : nullptr;
        if (current && current->text(0) == item->text(0)) {
            if (current->text(1) != item->text(1)) {
                current->setText(1, item->text(1));
            }
            mergeChildren(current, item);
            delete item;
        } else {
            if (current) {
                delete shown->takeChild(i);
            }
            shown->insertChild(i, item);
            item->setExpanded(true);
        }
        ++i;
    }
    while (shown->childCount() > i) {
        delete shown->takeChild(i);
    }
}

QString utf8(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), int(bytes.size()));
}

} // namespace

QoSInfo::QoSInfo(QWidget* parent) : TabWidget(parent)
{
    registerQosMetaTypes();
    for (int i = 0; i < 2; ++i) {
        // Owned by the strip once added.
        auto* button = new QPushButton();
        button->setIcon(QIcon(QStringLiteral(":/BrelvaneQtDemo/Resources/hold_normal.png")));
        tabBar->addRightWidget(button);
    }
    qosTree = new QTreeWidget(this);
    qosTree->setColumnCount(2);
    qosTree->setHeaderLabels({tr("QoS名称"), tr("QoS值")});
    qosTree->setColumnWidth(0, 200);
    qosTree->setColumnWidth(1, 200);
    addFixedPage(fixedTabTitle(), qosTree);
    connect(&MonitorLib::getInstance(), &MonitorLib::dataChanged, this, &QoSInfo::onDataChanged);
}

QString QoSInfo::fixedTabTitle()
{
    return tr("QoS信息");
}

void QoSInfo::setInfo(InstanceHandle_t handle, QoSType type)
{
    qosHandle = handle;
    qosType = type;
    qosTree->clear();
    m_left = false;
    m_lookedUpAt = MonitorLib::getInstance().signalCount();
    QList<QTreeWidgetItem*> items;
    if (fetchItems(items)) {
        qosTree->addTopLevelItems(items);
    }
    qosTree->expandAll();
}

void QoSInfo::onDataChanged()
{
    // Only a shown tree follows its entity: one left empty (nothing found, or emptied after
    // the domains changed) stays empty.
    if (qosTree->topLevelItemCount() == 0) {
        return;
    }
    MonitorLib& monitor = MonitorLib::getInstance();
    const uint64_t count = monitor.signalCount();
    if (count == m_lookedUpAt) {
        return;
    }
    m_lookedUpAt = count;
    const uint64_t shownRevision = m_shownRevision;
    QList<QTreeWidgetItem*> items;
    // An entity that has gone keeps its last tree, greyed.
    if (!fetchItems(items)) {
        m_shownRevision = shownRevision;
        showLeft(true);
        return;
    }
    if (m_shownRevision != shownRevision || m_left) {
        QTreeWidgetItem fresh;
        fresh.addChildren(items);
        mergeChildren(qosTree->invisibleRootItem(), &fresh);
    } else {
        qDeleteAll(items);
    }
    showLeft(false);
}

void QoSInfo::showLeft(bool left)
{
    if (left == m_left) {
        return;
    }
    m_left = left;
    greyAll(qosTree->invisibleRootItem(), left);
    QTreeWidgetItem* top = qosTree->topLevelItem(0);
    const QString tooltip = left ? LeftMark::text(DepartureTime::inAnyDomain(
                                       MonitorLib::getInstance(), HandleText::keyOf(qosHandle)))
                                 : QString();
    for (int column = 0; column < qosTree->columnCount(); ++column) {
        top->setToolTip(column, tooltip);
    }
}

bool QoSInfo::fetchItems(QList<QTreeWidgetItem*>& items)
{
    // A caller's handle may carry any validity flag; discovered handles are always valid.
    InstanceHandle_t lookup = qosHandle;
    lookup.isValid = 1;

    MonitorLib& monitor = MonitorLib::getInstance();
    // Read before the record: a change in between makes the next dataChanged() fetch again.
    m_shownRevision = monitor.recordRevision(lookup);
    switch (qosType) {
    case ReaderQoS:
        if (auto data = findSubscriptionData(monitor, lookup)) {
            items = readerItems(*data);
        }
        break;
    case WriterQoS:
        if (auto data = findPublicationData(monitor, lookup)) {
            items = writerItems(*data);
        }
        break;
    case ParticipantQoS:
        if (auto data = findOwnParticipantData(monitor, lookup)) {
            items = participantItems(*data);
        }
        break;
    default:
        break;
    }
    return !items.isEmpty();
}

QList<QTreeWidgetItem*> QoSInfo::writerItems(const PublicationBuiltinTopicData& d)
{
    PolicyList list;
    QTreeWidgetItem* p = list.policy(QStringLiteral("durability"));
    PolicyList::field(p, QStringLiteral("kind"), durabilityKindText(d.durability.kind));

    p = list.policy(QStringLiteral("durability_service"));
    PolicyList::field(p, QStringLiteral("service_cleanup_delay"),
                      durationText(d.durability_service.service_cleanup_delay));
    PolicyList::field(p, QStringLiteral("history_kind"),
                      historyKindText(d.durability_service.history_kind));
    PolicyList::field(p, QStringLiteral("max_samples"),
                      QString::number(d.durability_service.max_samples));
    PolicyList::field(p, QStringLiteral("max_instances"),
                      QString::number(d.durability_service.max_instances));
    PolicyList::field(p, QStringLiteral("max_samples_per_instance"),
                      QString::number(d.durability_service.max_samples_per_instance));

    p = list.policy(QStringLiteral("deadline"));
    PolicyList::field(p, QStringLiteral("period"), durationText(d.deadline.period));

    p = list.policy(QStringLiteral("latency_budget"));
    PolicyList::field(p, QStringLiteral("duration"), durationText(d.latency_budget.duration));

    p = list.policy(QStringLiteral("liveliness"));
    PolicyList::field(p, QStringLiteral("kind"), livelinessKindText(d.liveliness.kind));
    PolicyList::field(p, QStringLiteral("lease_duration"),
                      durationText(d.liveliness.lease_duration));

    p = list.policy(QStringLiteral("reliability"));
    PolicyList::field(p, QStringLiteral("kind"), reliabilityKindText(d.reliability.kind));
    PolicyList::field(p, QStringLiteral("max_blocking_time"),
                      durationText(d.reliability.max_blocking_time));

    p = list.policy(QStringLiteral("lifespan"));
    PolicyList::field(p, QStringLiteral("duration"), durationText(d.lifespan.duration));

    p = list.policy(QStringLiteral("user_data"));
    PolicyList::field(p, QStringLiteral("value"), octetsText(d.user_data.value));

    p = list.policy(QStringLiteral("ownership"));
    PolicyList::field(p, QStringLiteral("kind"), ownershipKindText(d.ownership.kind));

    p = list.policy(QStringLiteral("ownership_strength"));
    PolicyList::field(p, QStringLiteral("value"), QString::number(d.ownership_strength.value));

    p = list.policy(QStringLiteral("destination_order"));
    PolicyList::field(p, QStringLiteral("kind"),
                      destinationOrderKindText(d.destination_order.kind));

    p = list.policy(QStringLiteral("presentation"));
    PolicyList::field(p, QStringLiteral("kind"),
                      presentationScopeText(d.presentation.access_scope));
    PolicyList::field(p, QStringLiteral("coherent_access"),
                      boolText(d.presentation.coherent_access));
    PolicyList::field(p, QStringLiteral("ordered_access"), boolText(d.presentation.ordered_access));

    // A writer shows its partitions run together in one field.
    QString names;
    for (const std::string& name : d.partition.name) {
        names += utf8(name);
    }
    p = list.policy(QStringLiteral("partition"));
    PolicyList::field(p, QStringLiteral("name"), names);

    p = list.policy(QStringLiteral("topic_data"));
    PolicyList::field(p, QStringLiteral("value"), octetsText(d.topic_data.value));

    p = list.policy(QStringLiteral("group_data"));
    PolicyList::field(p, QStringLiteral("value"), octetsText(d.group_data.value));

    return list.items();
}

QList<QTreeWidgetItem*> QoSInfo::readerItems(const SubscriptionBuiltinTopicData& d)
{
    PolicyList list;
    QTreeWidgetItem* p = list.policy(QStringLiteral("user_data"));
    PolicyList::field(p, QStringLiteral("value"), octetsText(d.user_data.value));

    p = list.policy(QStringLiteral("group_data"));
    PolicyList::field(p, QStringLiteral("value"), octetsText(d.group_data.value));

    p = list.policy(QStringLiteral("topic_data"));
    PolicyList::field(p, QStringLiteral("value"), octetsText(d.topic_data.value));

    p = list.policy(QStringLiteral("durability"));
    PolicyList::field(p, QStringLiteral("kind"), durabilityKindText(d.durability.kind));

    p = list.policy(QStringLiteral("time_base_filter"));
    PolicyList::field(p, QStringLiteral("minimum_separation"),
                      durationText(d.time_based_filter.minimum_separation));

    p = list.policy(QStringLiteral("deadLine"));
    PolicyList::field(p, QStringLiteral("period"), durationText(d.deadline.period));

    p = list.policy(QStringLiteral("latency_budget"));
    PolicyList::field(p, QStringLiteral("duration"), durationText(d.latency_budget.duration));

    p = list.policy(QStringLiteral("liveliness"));
    PolicyList::field(p, QStringLiteral("kind"), livelinessKindText(d.liveliness.kind));
    PolicyList::field(p, QStringLiteral("duration"), durationText(d.liveliness.lease_duration));

    p = list.policy(QStringLiteral("reliablity"));
    PolicyList::field(p, QStringLiteral("kind"), reliabilityKindText(d.reliability.kind));

    p = list.policy(QStringLiteral("destination_order"));
    PolicyList::field(p, QStringLiteral("kind"),
                      destinationOrderKindText(d.destination_order.kind));

    p = list.policy(QStringLiteral("ownership"));
    PolicyList::field(p, QStringLiteral("kind"), ownershipKindText(d.ownership.kind));

    p = list.policy(QStringLiteral("presentation"));
    PolicyList::field(p, QStringLiteral("access_scope"),
                      presentationScopeText(d.presentation.access_scope));
    PolicyList::field(p, QStringLiteral("coherent_access"),
                      boolText(d.presentation.coherent_access));
    PolicyList::field(p, QStringLiteral("ordered_access"), boolText(d.presentation.ordered_access));

    // A reader shows one field per partition.
    p = list.policy(QStringLiteral("partition"));
    for (size_t i = 0; i < d.partition.name.size(); ++i) {
        PolicyList::field(p, QStringLiteral("value_") + QString::number(i),
                          utf8(d.partition.name[i]));
    }

    return list.items();
}

QList<QTreeWidgetItem*> QoSInfo::participantItems(const ParticipantBuiltinTopicData& d)
{
    PolicyList list;
    QString key;
    for (int i = 0; i < 4; ++i) {
        key += QStringLiteral("%1").arg(d.key.word(i), 8, 16, QLatin1Char('0'));
    }
    QTreeWidgetItem* p = list.policy(QStringLiteral("key"));
    PolicyList::field(p, QStringLiteral("value"), key);

    p = list.policy(QStringLiteral("user_data"));
    PolicyList::field(p, QStringLiteral("value"), octetsText(d.user_data.value));

    return list.items();
}
