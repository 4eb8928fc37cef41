#include "ProblemList.h"

#include <QHeaderView>
#include <QStyle>
#include <algorithm>

namespace {

// Beyond this many rows to insert or remove, the list is built anew: one row at a time costs
// a model update each.
const size_t maxPatchedRows = 200;

QIcon levelIcon(const QStyle* style, ProblemLevel level)
{
    switch (level) {
    case ProblemLevel::Error:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case ProblemLevel::Warning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case ProblemLevel::Hint:
        break;
    }
    return style->standardIcon(QStyle::SP_MessageBoxInformation);
}

// How many rows a merge of the two sorted lists would insert or remove.
size_t changedRows(const std::vector<Problem>& shown, const std::vector<Problem>& next)
{
    size_t changed = 0;
    size_t a = 0;
    size_t b = 0;
    while (a < shown.size() || b < next.size()) {
        if (b == next.size() || (a < shown.size() && shown[a] < next[b])) {
            ++a;
            ++changed;
        } else if (a == shown.size() || next[b] < shown[a]) {
            ++b;
            ++changed;
        } else {
            ++a;
            ++b;
        }
    }
    return changed;
}

} // namespace

ProblemList::ProblemList(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("problemTree"));
    setColumnCount(ColumnCount);
    setHeaderLabels({tr("级别"), tr("域"), tr("话题"), tr("问题"), tr("发布端"), tr("订阅端")});
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    header()->setStretchLastSection(false);
    // The level and domain columns at least as wide as their longest text: the English texts
    // are longer than the Chinese.
    const QFontMetrics metrics = fontMetrics();
    const int iconSpace = style()->pixelMetric(QStyle::PM_SmallIconSize) + 8;
    const QFontMetrics headerMetrics = header()->fontMetrics();
    int levelWidth = headerMetrics.horizontalAdvance(headerItem()->text(LevelColumn));
    for (ProblemLevel level : {ProblemLevel::Error, ProblemLevel::Warning, ProblemLevel::Hint}) {
        levelWidth =
            std::max(levelWidth, iconSpace + metrics.horizontalAdvance(Problem::levelText(level)));
    }
    header()->resizeSection(LevelColumn, std::max(70, levelWidth + 12));
    header()->resizeSection(
        DomainColumn,
        std::max(40, headerMetrics.horizontalAdvance(headerItem()->text(DomainColumn)) + 20));
    header()->resizeSection(TopicColumn, 140);
    header()->resizeSection(ProblemColumn, 420);
    header()->resizeSection(WriterColumn, 320);
    header()->resizeSection(ReaderColumn, 320);
    connect(this, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { onItemDoubleClicked(item); });
}

void ProblemList::fillItem(QTreeWidgetItem* item, const Problem& problem) const
{
    item->setText(LevelColumn, Problem::levelText(problem.level));
    item->setText(DomainColumn, QString::number(problem.domain));
    item->setText(TopicColumn, problem.topicText());
    item->setText(ProblemColumn, problem.text);
    item->setToolTip(ProblemColumn, problem.text);
    item->setText(WriterColumn, problem.writer.text());
    item->setText(ReaderColumn, problem.reader.text());
}

QTreeWidgetItem* ProblemList::makeItem(const Problem& problem) const
{
    auto* item = new QTreeWidgetItem();
    item->setIcon(LevelColumn, levelIcon(style(), problem.level));
    fillItem(item, problem);
    return item;
}

const std::vector<Problem>& ProblemList::shown() const
{
    static const std::vector<Problem> none;
    return m_report ? m_report->problems : none;
}

void ProblemList::showProblems(ProblemReportPtr report)
{
    if (!report) {
        report = std::make_shared<const ProblemReport>();
    }
    if (report == m_report) {
        return;
    }
    const std::vector<Problem>& problems = report->problems;
    const std::vector<Problem>& before = shown();
    if (before.empty() || changedRows(before, problems) > maxPatchedRows) {
        rebuild(problems);
        m_report = std::move(report);
        return;
    }
    // Both lists are sorted the same way: walk them together, keeping the rows of entries that
    // stay, so that the selection and the scroll position stay with them.
    size_t a = 0;
    size_t b = 0;
    int row = 0;
    while (a < before.size() || b < problems.size()) {
        if (b == problems.size() || (a < before.size() && before[a] < problems[b])) {
            delete takeTopLevelItem(row);
            ++a;
        } else if (a == before.size() || problems[b] < before[a]) {
            insertTopLevelItem(row, makeItem(problems[b]));
            ++row;
            ++b;
        } else {
            if (!before[a].sameEntry(problems[b])) {
                fillItem(topLevelItem(row), problems[b]);
            }
            ++row;
            ++a;
            ++b;
        }
    }
    m_report = std::move(report);
}

void ProblemList::rebuild(const std::vector<Problem>& problems)
{
    clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(int(problems.size()));
    for (const Problem& problem : problems) {
        items.append(makeItem(problem));
    }
    // One model update for all rows.
    addTopLevelItems(items);
}

const Problem* ProblemList::problemOf(const QTreeWidgetItem* item) const
{
    const int row =
        item && !item->parent() ? indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)) : -1;
    if (row < 0 || size_t(row) >= shown().size()) {
        return nullptr;
    }
    return &shown()[size_t(row)];
}

void ProblemList::onItemDoubleClicked(QTreeWidgetItem* item)
{
    const Problem* problem = problemOf(item);
    if (!problem) {
        return;
    }
    const QString handle =
        !problem->writer.isEmpty() ? problem->writer.handle : problem->reader.handle;
    emit endpointRequested(problem->domain, problem->topicText(), handle);
}
