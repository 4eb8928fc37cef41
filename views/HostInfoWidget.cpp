#include "HostInfoWidget.h"

#include "HandleText.h"
#include "MatchWidget.h"
#include "MonitorLib.h"
#include "ProcessEndpoints.h"
#include "QoSInfo.h"

#include <QTreeWidget>

using namespace ZORVAN;

namespace {

QString fromUtf8(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), int(bytes.size()));
}

} // namespace

HostInfoWidget::HostInfoWidget(QWidget* parent) : QTabWidget(parent), m_tree(new QTreeWidget())
{
    m_tree->setProperty("type", QStringLiteral("content"));
    addTab(m_tree, tr("DDS实体列表"));
    m_tree->setColumnCount(2);
    m_tree->setHeaderLabels({tr("实体名称"), tr("摘要信息")});
    m_tree->setColumnWidth(0, 200);
    setTabPosition(QTabWidget::South);
}

void HostInfoWidget::showProcess(const std::string& hostName, const std::string& ips,
                                 const std::string& processName, uint32_t pid)
{
    const ProcessEndpoints endpoints = collectProcessEndpoints(
        MonitorLib::getInstance(), ProcessIdentity{hostName, ips, processName, pid});

    for (const QMetaObject::Connection& handler : m_handlers) {
        disconnect(handler);
    }
    m_handlers.clear();
    m_tree->clear();

    for (uint32_t domainId : endpoints.domains) {
        auto* processItem = new QTreeWidgetItem(
            {tr("进程名：%1").arg(fromUtf8(processName)), QString::number(pid)});
        m_tree->addTopLevelItem(processItem);
        auto* domainItem = new QTreeWidgetItem({tr("域参与者"), tr("所属域：%1").arg(domainId)});
        processItem->addChild(domainItem);
        auto* readerGroup = new QTreeWidgetItem(QStringList(tr("数据读者")));
        auto* writerGroup = new QTreeWidgetItem(QStringList(tr("数据写者")));
        domainItem->addChild(readerGroup);
        domainItem->addChild(writerGroup);
        for (const auto& reader : endpoints.readers) {
            if (reader.second.domainId == domainId) {
                addEndpointItem(readerGroup, reader.first, reader.second, true);
            }
        }
        for (const auto& writer : endpoints.writers) {
            if (writer.second.domainId == domainId) {
                addEndpointItem(writerGroup, writer.first, writer.second, false);
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

void HostInfoWidget::addEndpointItem(QTreeWidgetItem* group, const std::string& key,
                                     const HostEndpointEntry& entry, bool reader)
{
    auto* item = new QTreeWidgetItem(
        {tr("主题名称:%1").arg(entry.topicName), tr("类型名称:%1").arg(entry.typeName)});
    group->addChild(item);

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
