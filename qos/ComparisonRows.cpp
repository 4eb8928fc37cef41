#include "ComparisonRows.h"

#include "QosText.h"

#include <QBrush>
#include <QCoreApplication>
#include <QStringList>
#include <QTreeWidgetItem>

namespace ComparisonRows {

namespace {

// The rows are built outside any QObject; their texts are translated in a context of their own.
struct Texts
{
    Q_DECLARE_TR_FUNCTIONS(ComparisonRows)
};

// The child of `parent` at `index` with these texts: the existing one, updated, or a new one
// (which takes exactly as many columns as it is given texts).
QTreeWidgetItem* rowAt(QTreeWidgetItem* parent, int index, const QStringList& columns)
{
    if (index < parent->childCount()) {
        QTreeWidgetItem* item = parent->child(index);
        for (int c = 0; c < columns.size(); ++c) {
            item->setText(c, columns[c]);
        }
        return item;
    }
    auto* item = new QTreeWidgetItem(columns);
    parent->addChild(item);
    return item;
}

void clearRole(QTreeWidgetItem* item, int column, int role)
{
    // Setting an invalid value where none is set would still add an entry and notify.
    if (item->data(column, role).isValid()) {
        item->setData(column, role, QVariant());
    }
}

void mark(QTreeWidgetItem* item, const Reason* reason)
{
    for (int c = 0; c < item->columnCount(); ++c) {
        if (reason) {
            item->setForeground(c, QBrush(brokenColour()));
            item->setToolTip(c, reason->text());
        } else {
            clearRole(item, c, Qt::ForegroundRole);
            clearRole(item, c, Qt::ToolTipRole);
        }
    }
}

class Builder
{
public:
    explicit Builder(const Verdict* verdict) : m_verdict(verdict) {}

    // A row with a rule and both sides' values, marked when the pair breaks `rule`.
    QTreeWidgetItem* values(QTreeWidgetItem* parent, int index, const QString& name,
                            const QString& ruleText, const QString& writer, const QString& reader,
                            QosRule rule) const
    {
        QTreeWidgetItem* item = rowAt(parent, index, {name, ruleText, writer, reader});
        mark(item, m_verdict ? m_verdict->reason(rule) : nullptr);
        return item;
    }

private:
    const Verdict* m_verdict;
};

QString partitionsText(const std::vector<std::string>& names)
{
    QStringList texts;
    for (const std::string& name : names) {
        texts << QString::fromUtf8(name.data(), int(name.size()));
    }
    return texts.join(QLatin1Char(','));
}

} // namespace

bool fill(QTreeWidgetItem* top, const Side& writer, const Side& reader, const Verdict* verdict)
{
    const Builder rows(verdict);
    rows.values(top, 0, Texts::tr("类型名称"), Texts::tr("类型名称必须相等"), writer.typeName,
                reader.typeName, QosRule::TypeName);
    rowAt(top, 1, {Texts::tr("类型编码"), Texts::tr("类型编码必须相同")});
    QTreeWidgetItem* qos = rowAt(top, 2, {Texts::tr("QoS匹配项"), Texts::tr("QoS必须满足RxO规则")});
    QTreeWidgetItem* durability = rowAt(qos, 0, {QStringLiteral("durability")});
    if (!writer.key || !reader.key) {
        return false;
    }
    const CompatibilityKey& w = *writer.key;
    const CompatibilityKey& r = *reader.key;

    const QString atLeast = Texts::tr("发布端>=订阅端");
    const QString atMost = Texts::tr("发布端<=订阅端");
    rows.values(durability, 0, QString(), atLeast, durabilityKindText(w.durability),
                durabilityKindText(r.durability), QosRule::Durability);

    QTreeWidgetItem* p =
        rowAt(qos, 1, {QStringLiteral("presentation"), Texts::tr("需要满足一下三个条件")});
    const QString moreIsStronger = Texts::tr("发布端 >= 订阅端（true>false）");
    rows.values(p, 0, QStringLiteral("coherent"), moreIsStronger, boolText(w.coherentAccess),
                boolText(r.coherentAccess), QosRule::PresentationCoherent);
    rows.values(p, 1, QStringLiteral("order_access"), moreIsStronger, boolText(w.orderedAccess),
                boolText(r.orderedAccess), QosRule::PresentationOrdered);
    rows.values(p, 2, QStringLiteral("access_scope"),
                Texts::tr("发布端 >= 订阅端（GROUP>TOPIC>INSTANCE）"),
                presentationScopeText(w.accessScope), presentationScopeText(r.accessScope),
                QosRule::PresentationScope);

    p = rowAt(qos, 2, {QStringLiteral("deadline")});
    rows.values(p, 0, QStringLiteral("period"), atMost, durationText(w.deadline),
                durationText(r.deadline), QosRule::Deadline);

    p = rowAt(qos, 3, {QStringLiteral("latency_budget")});
    rows.values(p, 0, QStringLiteral("duration"), atMost, durationText(w.latencyBudget),
                durationText(r.latencyBudget), QosRule::LatencyBudget);

    p = rowAt(qos, 4, {QStringLiteral("ownership")});
    rows.values(p, 0, QStringLiteral("kind"), Texts::tr("发布端==订阅端"),
                ownershipKindText(w.ownership), ownershipKindText(r.ownership), QosRule::Ownership);

    p = rowAt(qos, 5, {QStringLiteral("liveliness"), Texts::tr("需满足以下两个条件")});
    rows.values(p, 0, QStringLiteral("kind"),
                Texts::tr("发布端>=订阅端（MANUAL_BY_TOPIC>MANUAL_BY_PARTICIPANT>AUTOMATIC）"),
                livelinessKindText(w.livelinessKind), livelinessKindText(r.livelinessKind),
                QosRule::LivelinessKind);
    rows.values(p, 1, QStringLiteral("lease_duraton"), atMost, durationText(w.leaseDuration),
                durationText(r.leaseDuration), QosRule::LivelinessLease);

    p = rowAt(qos, 6, {QStringLiteral("reliability")});
    rows.values(p, 0, QStringLiteral("kind"), Texts::tr("发布端>=订阅端（RELIABLE>BEST_EFFORT）"),
                reliabilityKindText(w.reliability), reliabilityKindText(r.reliability),
                QosRule::Reliability);

    p = rowAt(qos, 7, {QStringLiteral("destination")});
    rows.values(p, 0, QStringLiteral("kind"),
                Texts::tr("发布端>=订阅端（BY_SOURCE_TIMESTAMP>BY_RECEPTION_TIMESTAMP）"),
                destinationOrderKindText(w.destinationOrder),
                destinationOrderKindText(r.destinationOrder), QosRule::DestinationOrder);

    rows.values(qos, 8, QStringLiteral("partition"), Texts::tr("至少有一个相同分区"),
                partitionsText(w.partitions), partitionsText(r.partitions), QosRule::Partition);
    return true;
}

void expandBelow(QTreeWidgetItem* top)
{
    for (int i = 0; i < top->childCount(); ++i) {
        QTreeWidgetItem* child = top->child(i);
        child->setExpanded(true);
        expandBelow(child);
    }
}

QColor brokenColour()
{
    return QColor(204, 0, 0);
}

} // namespace ComparisonRows
