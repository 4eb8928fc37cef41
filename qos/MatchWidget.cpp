#include "MatchWidget.h"

#include "Counterparts.h"
#include "EndpointLookup.h"
#include "HandleText.h"
#include "MonitorLib.h"
#include "QosText.h"
#include "TabBar.h"

#include <QHeaderView>
#include <QStringList>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <memory>

using namespace ZORVAN;

namespace {

QTreeWidgetItem* addRow(QTreeWidgetItem* parent, const QStringList& columns)
{
    auto* item = new QTreeWidgetItem(columns);
    parent->addChild(item);
    return item;
}

// A row with a rule and both sides' values.
void addValues(QTreeWidgetItem* parent, const QString& name, const QString& rule,
               const QString& writer, const QString& reader)
{
    addRow(parent, {name, rule, writer, reader});
}

QString fileNamePart(const std::string& path)
{
    const QString text = QString::fromUtf8(path.data(), int(path.size()));
    return text.mid(text.lastIndexOf(QLatin1Char('/')) + 1);
}

void expandBelow(QTreeWidgetItem* item)
{
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        child->setExpanded(true);
        expandBelow(child);
    }
}

} // namespace

MatchWidget::MatchWidget(QWidget* parent) : TabTree(parent)
{
    registerQosMetaTypes();
    tabBar->addFixedTab(QStringLiteral("匹配分析"));
    treeWidget->header()->setVisible(true);
    treeWidget->setColumnCount(4);
    treeWidget->setHeaderLabels({QStringLiteral("检查项"), QStringLiteral("匹配规则"),
                                 QStringLiteral("发布端"), QStringLiteral("订阅端")});
    // The columns are sized while the comparison is still folded; size them again once the
    // operator opens it, so that rule texts and values are not cut off.
    connect(treeWidget, &QTreeWidget::itemExpanded, this, [this] {
        if (!m_filling) {
            resizeColumns();
        }
    });
}

void MatchWidget::setMatchHandle(uint32_t domainId, InstanceHandle_t handle, MatchType type)
{
    treeWidget->clear();
    MonitorLib& monitor = MonitorLib::getInstance();

    EndpointInfo selected;
    findEndpointInfo(monitor, domainId, handle, type, selected);
    SideTable sides;
    const int32_t selectedSide = selected.type;
    sides[selectedSide] = selected;

    // "是" stands in the counterpart's column.
    QStringList markers;
    if (selectedSide == ReaderMatch) {
        markers = QStringList{QStringLiteral("是"), QString()};
    } else if (selectedSide == WriterMatch) {
        markers = QStringList{QString(), QStringLiteral("是")};
    }

    const QByteArray topic = selected.topicName.toUtf8();
    const Counterparts found =
        scanCounterparts(monitor, domainId, std::string(topic.constData(), size_t(topic.size())));
    // One comparison, with the counterpart listed last. The scan also finds the selected
    // endpoint's own side, which is passed over.
    const std::pair<int32_t, const InstanceHandle_t*> lastListed[] = {
        {ReaderMatch, found.readers.empty() ? nullptr : &found.readers.back().handle},
        {WriterMatch, found.writers.empty() ? nullptr : &found.writers.back().handle},
    };
    m_filling = true;
    for (const auto& side : lastListed) {
        if (!side.second) {
            continue;
        }
        const bool counterpart = (type == ReaderMatch && side.first == WriterMatch) ||
                                 (type == WriterMatch && side.first == ReaderMatch);
        if (counterpart) {
            addComparison(domainId, *side.second, side.first, sides, markers);
        }
        resizeColumns();
    }
    m_filling = false;
}

void MatchWidget::addComparison(uint32_t domainId, const InstanceHandle_t& handle, int32_t side,
                                SideTable& sides, const QStringList& markers)
{
    MonitorLib& monitor = MonitorLib::getInstance();
    EndpointInfo found;
    findEndpointInfo(monitor, domainId, handle, MatchType(side), found);
    if (found.type == -1) {
        // Gone since the scan, or its participant's record could not be fetched: nothing
        // about it can be shown.
        return;
    }
    sides[found.type] = found;

    QStringList columns{HandleText::text(found.handleKey), fileNamePart(found.processName)};
    columns += markers;
    auto* top = new QTreeWidgetItem(columns);
    treeWidget->addTopLevelItem(top);

    addValues(top, QStringLiteral("类型名称"), QStringLiteral("类型名称必须相等"),
              sides[WriterMatch].typeName, sides[ReaderMatch].typeName);
    addRow(top, {QStringLiteral("类型编码"), QStringLiteral("类型编码必须相同")});
    QTreeWidgetItem* qos =
        addRow(top, {QStringLiteral("QoS匹配项"), QStringLiteral("QoS必须满足RxO规则")});
    QTreeWidgetItem* durability = addRow(qos, {QStringLiteral("durability")});

    // Writer values always come from the writer's record, reader values from the reader's,
    // whichever of the two was selected.
    const std::unique_ptr<PublicationBuiltinTopicData> w =
        findPublicationData(monitor, HandleText::handleFromKey(sides[WriterMatch].handleKey));
    const std::unique_ptr<SubscriptionBuiltinTopicData> r =
        findSubscriptionData(monitor, HandleText::handleFromKey(sides[ReaderMatch].handleKey));
    if (!w || !r) {
        return;
    }

    const QString atLeast = QStringLiteral("发布端>=订阅端");
    const QString atMost = QStringLiteral("发布端<=订阅端");
    addValues(durability, QString(), atLeast, durabilityKindText(w->durability.kind),
              durabilityKindText(r->durability.kind));

    QTreeWidgetItem* p =
        addRow(qos, {QStringLiteral("presentation"), QStringLiteral("需要满足一下三个条件")});
    addValues(p, QStringLiteral("coherent"), QStringLiteral("发布端 >= 订阅端（true>false）"),
              boolText(w->presentation.coherent_access), boolText(r->presentation.coherent_access));
    addValues(p, QStringLiteral("order_access"), QStringLiteral("发布端 >= 订阅端（true>false）"),
              boolText(w->presentation.ordered_access), boolText(r->presentation.ordered_access));
    addValues(p, QStringLiteral("access_scope"),
              QStringLiteral("发布端 >= 订阅端（GROUP>TOPIC>INSTANCE）"),
              presentationScopeText(w->presentation.access_scope),
              presentationScopeText(r->presentation.access_scope));

    p = addRow(qos, {QStringLiteral("deadline")});
    addValues(p, QStringLiteral("period"), atMost, durationText(w->deadline.period),
              durationText(r->deadline.period));

    p = addRow(qos, {QStringLiteral("latency_budget")});
    addValues(p, QStringLiteral("duration"), atMost, durationText(w->latency_budget.duration),
              durationText(r->latency_budget.duration));

    p = addRow(qos, {QStringLiteral("ownership")});
    addValues(p, QStringLiteral("kind"), QStringLiteral("发布端==订阅端"),
              ownershipKindText(w->ownership.kind), ownershipKindText(r->ownership.kind));

    p = addRow(qos, {QStringLiteral("liveliness"), QStringLiteral("需满足以下两个条件")});
    addValues(p, QStringLiteral("kind"),
              QStringLiteral("发布端>=订阅端（MANUAL_BY_TOPIC>MANUAL_BY_PARTICIPANT>AUTOMATIC）"),
              livelinessKindText(w->liveliness.kind), livelinessKindText(r->liveliness.kind));
    addValues(p, QStringLiteral("lease_duraton"), atMost,
              durationText(w->liveliness.lease_duration),
              durationText(r->liveliness.lease_duration));

    p = addRow(qos, {QStringLiteral("reliability")});
    addValues(p, QStringLiteral("kind"), QStringLiteral("发布端>=订阅端（RELIABLE>BEST_EFFORT）"),
              reliabilityKindText(w->reliability.kind), reliabilityKindText(r->reliability.kind));

    p = addRow(qos, {QStringLiteral("destination")});
    addValues(p, QStringLiteral("kind"),
              QStringLiteral("发布端>=订阅端（BY_SOURCE_TIMESTAMP>BY_RECEPTION_TIMESTAMP）"),
              destinationOrderKindText(w->destination_order.kind),
              destinationOrderKindText(r->destination_order.kind));

    // One click on the top row opens the whole comparison.
    top->setExpanded(false);
    expandBelow(top);
}

void MatchWidget::resizeColumns()
{
    for (int column = 0; column < treeWidget->columnCount(); ++column) {
        treeWidget->resizeColumnToContents(column);
    }
    // The longest rule texts would push both value columns out of sight; they stay readable
    // up to the ordering ("发布端>=订阅端") and the header can be widened.
    const int maxRuleWidth = 300;
    if (treeWidget->columnWidth(1) > maxRuleWidth) {
        treeWidget->setColumnWidth(1, maxRuleWidth);
    }
}
