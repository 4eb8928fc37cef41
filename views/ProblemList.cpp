#include "ProblemList.h"

#include <QHeaderView>
#include <QStyle>
#include <algorithm>

namespace {

// Beyond this many rows to insert or remove, or half the rows shown if that is more, the list
// is built anew: patching it would cost more.
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

using Run = std::vector<Problem>;

// Walks the runs of the two lists side by side in list order, calling `visit(shown, next)`
// for every run key (level, domain, topic) of either, with null for the list that lacks it.
template <class Visit>
void pairRuns(const ProblemEntries& shown, const ProblemEntries& next, Visit visit)
{
    const std::vector<ProblemEntries::Run>& a = shown.runs();
    const std::vector<ProblemEntries::Run>& b = next.runs();
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() || j < b.size()) {
        if (j == b.size() || (i < a.size() && ProblemEntries::runBefore(*a[i], *b[j]))) {
            visit(a[i++].get(), nullptr);
        } else if (i == a.size() || ProblemEntries::runBefore(*b[j], *a[i])) {
            visit(nullptr, b[j++].get());
        } else {
            visit(a[i].get(), b[j].get());
            ++i;
            ++j;
        }
    }
}

// Walks two sorted runs of one key side by side: `visit(shown, next)` per entry, either null
// when the entry is in one run only.
template <class Visit> void pairEntries(const Run& shown, const Run& next, Visit visit)
{
    size_t a = 0;
    size_t b = 0;
    while (a < shown.size() || b < next.size()) {
        if (b == next.size() || (a < shown.size() && shown[a] < next[b])) {
            visit(&shown[a++], nullptr);
        } else if (a == shown.size() || next[b] < shown[a]) {
            visit(nullptr, &next[b++]);
        } else {
            visit(&shown[a++], &next[b++]);
        }
    }
}

// How many rows a merge of the two lists would insert or remove. Shared runs cost nothing.
size_t changedRows(const ProblemEntries& shown, const ProblemEntries& next)
{
    size_t changed = 0;
    pairRuns(shown, next, [&changed](const Run* a, const Run* b) {
        if (a == b) {
            return;
        }
        if (!a || !b) {
            changed += a ? a->size() : b->size();
            return;
        }
        pairEntries(*a, *b,
                    [&changed](const Problem* x, const Problem* y) { changed += x && y ? 0 : 1; });
    });
    return changed;
}

} // namespace

ProblemList::ProblemList(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("problemTree"));
    // Asked of the style once: tens of thousands of rows share three icons.
    for (ProblemLevel level : {ProblemLevel::Error, ProblemLevel::Warning, ProblemLevel::Hint}) {
        m_levelIcons[int(level)] = levelIcon(style(), level);
    }
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
    item->setIcon(LevelColumn, m_levelIcons[int(problem.level)]);
    fillItem(item, problem);
    return item;
}

const ProblemEntries& ProblemList::shown() const
{
    static const ProblemEntries none;
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
    const ProblemEntries& problems = report->problems;
    const ProblemEntries& before = shown();
    if (before.empty() ||
        changedRows(before, problems) > std::max(maxPatchedRows, before.size() / 2)) {
        rebuild(problems);
        m_report = std::move(report);
        return;
    }
    // Both lists are sorted the same way: walk them together, keeping the rows of entries that
    // stay, so that the selection and the scroll position stay with them. The rows of a run
    // both reports share are skipped whole; rows inserted or removed one after another go in
    // one model update each, since a row at a time costs an update of the whole list.
    int row = 0;
    int removing = 0;
    QList<QTreeWidgetItem*> inserting;
    const auto flush = [this, &row, &removing, &inserting] {
        if (removing > 0) {
            model()->removeRows(row, removing);
            removing = 0;
        }
        if (!inserting.isEmpty()) {
            insertTopLevelItems(row, inserting);
            row += inserting.size();
            inserting.clear();
        }
    };
    pairRuns(before, problems, [&](const Run* a, const Run* b) {
        if (a == b) {
            flush();
            row += int(a->size());
        } else if (!b) {
            if (!inserting.isEmpty()) {
                flush();
            }
            removing += int(a->size());
        } else if (!a) {
            flush();
            for (const Problem& problem : *b) {
                inserting.append(makeItem(problem));
            }
        } else {
            pairEntries(*a, *b, [&](const Problem* x, const Problem* y) {
                if (!y) {
                    if (!inserting.isEmpty()) {
                        flush();
                    }
                    ++removing;
                } else if (!x) {
                    if (removing > 0) {
                        flush();
                    }
                    inserting.append(makeItem(*y));
                } else {
                    flush();
                    if (!x->sameEntry(*y)) {
                        fillItem(topLevelItem(row), *y);
                    }
                    ++row;
                }
            });
        }
    });
    flush();
    m_report = std::move(report);
}

void ProblemList::rebuild(const ProblemEntries& problems)
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
