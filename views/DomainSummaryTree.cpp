#include "DomainSummaryTree.h"

#include <QHeaderView>
#include <algorithm>

namespace {

QStringList texts(const DomainSummary& d)
{
    return {QString::number(d.domain),   QString::number(d.participants),
            QString::number(d.hosts),    QString::number(d.processes),
            QString::number(d.topics),   QString::number(d.writers),
            QString::number(d.readers),  QString::number(d.errors),
            QString::number(d.warnings), QString::number(d.hints)};
}

} // namespace

DomainSummaryTree::DomainSummaryTree(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("summaryTree"));
    const QStringList headers{tr("域"),     tr("参与者"), tr("节点"), tr("进程"), tr("话题"),
                              tr("发布端"), tr("订阅端"), tr("错误"), tr("警告"), tr("提示")};
    setColumnCount(headers.size());
    setHeaderLabels(headers);
    setRootIsDecorated(false);
    header()->setStretchLastSection(false);
    // At least as wide as the header's text: the English headers are longer than the Chinese.
    const QFontMetrics metrics = header()->fontMetrics();
    for (int column = 0; column < headers.size(); ++column) {
        header()->resizeSection(column,
                                std::max(64, metrics.horizontalAdvance(headers[column]) + 12));
        headerItem()->setTextAlignment(column, Qt::AlignCenter);
    }
}

void DomainSummaryTree::showSummaries(const std::vector<DomainSummary>& domains)
{
    if (domains == m_shown) {
        return;
    }
    // The same domains: the rows stay, and so does the selection.
    const bool sameRows = domains.size() == m_shown.size() &&
                          std::equal(domains.begin(), domains.end(), m_shown.begin(),
                                     [](const DomainSummary& a, const DomainSummary& b) {
                                         return a.domain == b.domain;
                                     });
    if (!sameRows) {
        clear();
    }
    for (size_t i = 0; i < domains.size(); ++i) {
        // A row whose counts stayed is left alone; in one that changed, only the texts that did.
        if (sameRows && domains[i] == m_shown[i]) {
            continue;
        }
        const QStringList row = texts(domains[i]);
        QTreeWidgetItem* item = sameRows ? topLevelItem(int(i)) : new QTreeWidgetItem();
        for (int column = 0; column < row.size(); ++column) {
            if (sameRows && item->text(column) == row[column]) {
                continue;
            }
            item->setText(column, row[column]);
            item->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
        }
        if (!sameRows) {
            addTopLevelItem(item);
        }
    }
    m_shown = domains;
}
