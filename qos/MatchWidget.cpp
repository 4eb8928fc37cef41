#include "MatchWidget.h"

#include "Counterparts.h"

#include "ComparisonRows.h"
#include "CompatibilityEngine.h"
#include "DepartureTime.h"
#include "EndpointLookup.h"
#include "HandleText.h"
#include "LeftMark.h"
#include "MatchSnapshot.h"
#include "MonitorLib.h"
#include "TabBar.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <algorithm>

using namespace ZORVAN;

namespace {

QString fileNamePart(const std::string& path)
{
    const QString text = QString::fromUtf8(path.data(), int(path.size()));
    return text.mid(text.lastIndexOf(QLatin1Char('/')) + 1);
}

QString textOf(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), int(bytes.size()));
}

void clearRole(QTreeWidgetItem* item, int column, int role)
{
    if (item->data(column, role).isValid()) {
        item->setData(column, role, QVariant());
    }
}

} // namespace

MatchWidget::MatchWidget(QWidget* parent)
    : TabTree(parent), m_compatibleIcon(QStringLiteral(":/BrelvaneQtDemo/Resources/matchOk.png")),
      m_incompatibleIcon(QStringLiteral(":/BrelvaneQtDemo/Resources/matchFail.png"))
{
    registerQosMetaTypes();
    tabBar->addFixedTab(fixedTabTitle());
    treeWidget->header()->setVisible(true);
    treeWidget->setColumnCount(4);
    treeWidget->setHeaderLabels({tr("检查项"), tr("匹配规则"), tr("发布端"), tr("订阅端")});
    // The columns are sized while the comparison is still folded; size them again once the
    // operator opens it, so that rule texts and values are not cut off.
    connect(treeWidget, &QTreeWidget::itemExpanded, this, [this] {
        if (!m_filling) {
            resizeColumns();
        }
    });
    // The tree is emptied by setMatchHandle() and by the window after a domain change; either
    // way the rows this panel kept are deleted.
    m_resetConnection = connect(treeWidget->model(), &QAbstractItemModel::modelAboutToBeReset, this,
                                [this] { forget(); });
    connect(&MonitorLib::getInstance(), &MonitorLib::dataChanged, this,
            &MatchWidget::onDataChanged);
}

MatchWidget::~MatchWidget()
{
    disconnect(m_resetConnection);
}

QString MatchWidget::fixedTabTitle()
{
    return tr("匹配分析");
}

void MatchWidget::setMatchHandle(uint32_t domainId, InstanceHandle_t handle, MatchType type)
{
    treeWidget->clear();
    MonitorLib& monitor = MonitorLib::getInstance();
    // Read before collecting: every change announced from here on is collected again.
    m_collectedAt = monitor.signalCount();
    m_judgedTopics.reset();

    Request request;
    request.domainId = domainId;
    request.handle = handle;
    request.type = type;
    findEndpointInfo(monitor, domainId, handle, type, request.chosen);
    // "是" stands in the counterpart's column.
    if (request.chosen.type == ReaderMatch) {
        request.markers = QStringList{tr("是"), QString()};
    } else if (request.chosen.type == WriterMatch) {
        request.markers = QStringList{QString(), tr("是")};
    }
    if (type == ReaderMatch || type == WriterMatch) {
        m_request = request;
        // Read before the snapshot, so a change in between is judged at the next delivery.
        const QByteArray topic = request.chosen.topicName.toUtf8();
        m_judgedTopics = counterpartTopics(monitor, domainId,
                                           std::string(topic.constData(), size_t(topic.size())));
        sync(MatchSnapshot::take(monitor, domainId, handle, type, request.chosen));
    }
    resizeColumns();
}

void MatchWidget::onDataChanged()
{
    if (!m_request) {
        return;
    }
    MonitorLib& monitor = MonitorLib::getInstance();
    const uint64_t count = monitor.signalCount();
    if (count == m_collectedAt) {
        return;
    }
    m_collectedAt = count;
    // Judged again only when the topic's endpoints changed: a change elsewhere in a large
    // domain leaves every judgement as it was.
    const QByteArray topic = m_request->chosen.topicName.toUtf8();
    auto topics = counterpartTopics(monitor, m_request->domainId,
                                    std::string(topic.constData(), size_t(topic.size())));
    if (topics && m_judgedTopics && *topics == *m_judgedTopics) {
        return;
    }
    m_judgedTopics = std::move(topics);
    const bool wasEmpty = treeWidget->topLevelItemCount() == 0;
    sync(MatchSnapshot::take(monitor, m_request->domainId, m_request->handle, m_request->type,
                             m_request->chosen));
    // Sizing the columns again under the operator's hand would undo a header they widened.
    if (wasEmpty) {
        resizeColumns();
    }
}

void MatchWidget::sync(const MatchSnapshot& snapshot)
{
    m_filling = true;
    const CompatibilityKey* chosen = snapshot.chosenKey();
    bool chosenChanged = false;
    if (chosen) {
        chosenChanged = !m_chosenKey || *m_chosenKey != *chosen;
        if (chosenChanged) {
            m_chosenKey = *chosen;
        }
    }
    m_chosenPresent = chosen != nullptr;
    // Gone once it had been seen: a record never had says nothing about leaving.
    const bool chosenLeft = m_chosenKey.has_value() && !m_chosenPresent;
    const bool chosenLeftChanged = chosenLeft == m_chosenLeftText.isEmpty();
    if (chosenLeftChanged) {
        m_chosenLeftText =
            chosenLeft ? tr("所选端点%1")
                             .arg(LeftMark::text(DepartureTime::of(
                                 m_request->domainId, HandleText::keyOf(m_request->handle))))
                       : QString();
    }

    const std::vector<MatchSnapshot::Counterpart>& all = snapshot.counterparts();
    std::unordered_map<std::string, size_t> indexOf;
    indexOf.reserve(all.size());
    for (size_t i = 0; i < all.size(); ++i) {
        indexOf.emplace(all[i].handleKey, i);
    }
    // Rows keep their place: a refresh updates them, it never reorders or removes one.
    for (Row& row : m_rows) {
        const auto found = indexOf.find(row.handleKey);
        const bool present = found != indexOf.end();
        if (present) {
            const CompatibilityKey& key = snapshot.key(all[found->second]);
            if (chosenChanged || key != row.key) {
                row.key = key;
                render(row);
            }
        }
        if (present != row.present || chosenLeftChanged) {
            if (present != row.present) {
                row.present = present;
                row.leftText =
                    present ? QString()
                            : LeftMark::text(DepartureTime::of(m_request->domainId, row.handleKey));
            }
            showPresence(row);
        }
    }
    addRows(snapshot);
    m_filling = false;
}

void MatchWidget::addRows(const MatchSnapshot& snapshot)
{
    const std::vector<MatchSnapshot::Counterpart>& all = snapshot.counterparts();
    std::vector<int> joined;
    for (size_t i = 0; i < all.size(); ++i) {
        if (m_rowOf.count(all[i].handleKey) == 0) {
            joined.push_back(int(i));
        }
    }
    const int room = std::max(0, MaxCounterpartRows - int(m_rows.size()));
    // Listing order, unless not all of them fit: then the problems go first.
    if (int(joined.size()) > room) {
        joined = snapshot.problemsFirst(std::move(joined));
    }
    int notShown = 0;
    const std::vector<MatchSnapshot::Pick> picks =
        snapshot.pick(MonitorLib::getInstance(), joined, room, notShown);
    for (const MatchSnapshot::Pick& pick : picks) {
        const MatchSnapshot::Counterpart& counterpart = all[size_t(pick.index)];
        if (m_rowOf.count(counterpart.handleKey) != 0) {
            continue; // listed twice
        }
        QStringList columns{HandleText::text(counterpart.handleKey),
                            fileNamePart(pick.processName)};
        columns += m_request->markers;
        auto* top = new QTreeWidgetItem(columns);
        if (m_notShownRow) {
            treeWidget->insertTopLevelItem(treeWidget->indexOfTopLevelItem(m_notShownRow), top);
        } else {
            treeWidget->addTopLevelItem(top);
        }
        m_rowOf.emplace(counterpart.handleKey, m_rows.size());
        Row row;
        row.handleKey = counterpart.handleKey;
        row.item = top;
        row.key = snapshot.key(counterpart);
        m_rows.push_back(std::move(row));
        render(m_rows.back());
        if (!m_chosenLeftText.isEmpty()) {
            showPresence(m_rows.back());
        }
    }
    showNotShown(notShown, int(all.size()));
}

void MatchWidget::render(Row& row)
{
    ComparisonRows::Side chosen;
    chosen.typeName = m_chosenKey ? textOf(m_chosenKey->typeName) : m_request->chosen.typeName;
    chosen.key = m_chosenKey ? &*m_chosenKey : nullptr;
    const ComparisonRows::Side counterpart{textOf(row.key.typeName), &row.key};
    const bool counterpartWrites = m_request->type == ReaderMatch;
    const ComparisonRows::Side& writer = counterpartWrites ? counterpart : chosen;
    const ComparisonRows::Side& reader = counterpartWrites ? chosen : counterpart;

    std::optional<Verdict> verdict;
    if (writer.key && reader.key) {
        verdict = CompatibilityEngine::judge(*writer.key, *reader.key);
    }
    const Verdict* judged = verdict ? &*verdict : nullptr;
    const bool complete = ComparisonRows::fill(row.item, writer, reader, judged);
    showVerdict(row, judged);
    if (complete && !row.complete) {
        // One click on the top row opens the whole comparison.
        row.item->setExpanded(false);
        ComparisonRows::expandBelow(row.item);
    }
    row.complete = complete;
}

void MatchWidget::showVerdict(Row& row, const Verdict* verdict)
{
    if (!verdict) {
        clearRole(row.item, 0, Qt::DecorationRole);
        row.summary.clear();
    } else {
        row.item->setIcon(0, verdict->isCompatible() ? m_compatibleIcon : m_incompatibleIcon);
        row.summary = verdict->summary();
    }
    showPresence(row);
}

void MatchWidget::showPresence(Row& row)
{
    if (row.present) {
        clearRole(row.item, 0, LeftRole);
    } else {
        row.item->setData(0, LeftRole, true);
    }
    LeftMark::setGreyed(row.item, !row.present || !m_chosenLeftText.isEmpty());
    // Who left comes first, the verdict after it.
    QStringList lines;
    if (!m_chosenLeftText.isEmpty() && !m_rows.empty() && &row == &m_rows.front()) {
        lines << m_chosenLeftText;
    }
    if (!row.leftText.isEmpty()) {
        lines << row.leftText;
    }
    if (!row.summary.isEmpty()) {
        lines << row.summary;
    }
    const QString tooltip = lines.join(QLatin1Char('\n'));
    if (tooltip.isEmpty()) {
        clearRole(row.item, 0, Qt::ToolTipRole);
    } else if (row.item->toolTip(0) != tooltip) {
        row.item->setToolTip(0, tooltip);
    }
}

void MatchWidget::showNotShown(int notShown, int total)
{
    if (notShown == 0) {
        delete m_notShownRow;
        m_notShownRow = nullptr;
        return;
    }
    if (!m_notShownRow) {
        m_notShownRow = new QTreeWidgetItem();
        treeWidget->addTopLevelItem(m_notShownRow);
        m_notShownRow->setToolTip(
            0, tr("只显示前 %1 个：无法匹配的排在前面，其余按列出的顺序").arg(MaxCounterpartRows));
    }
    m_notShownRow->setText(0,
                           m_request->type == WriterMatch
                               ? tr("另有 %1 个订阅端未显示（共 %2 个）").arg(notShown).arg(total)
                               : tr("另有 %1 个发布端未显示（共 %2 个）").arg(notShown).arg(total));
}

void MatchWidget::forget()
{
    m_request.reset();
    m_chosenKey.reset();
    m_chosenPresent = false;
    m_chosenLeftText.clear();
    m_rows.clear();
    m_rowOf.clear();
    m_notShownRow = nullptr;
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
