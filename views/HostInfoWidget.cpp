#include "HostInfoWidget.h"

#include "FailureLine.h"
#include "HandleText.h"
#include "MatchWidget.h"
#include "MonitorLib.h"
#include "ParticipantSysInfo.h"
#include "QoSInfo.h"

#include <QTreeWidget>
#include <mutex>

using namespace ZORVAN;

namespace {

QString fromUtf8(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), int(bytes.size()));
}

// True when an announced host name or address list is the one the tab was opened for. That
// one comes from the text the physical view shows, the announced bytes decoded as UTF-8: text
// that is not valid UTF-8 is matched through that same decoding, or the tab would stay empty.
bool sameText(const std::string& announced, const std::string& shown)
{
    return announced == shown || fromUtf8(announced).toStdString() == shown;
}

// Adds the endpoint under its key when its participant runs in the named process.
template <class Record>
void collectEndpoint(DomainParticipant& participant, const Record& record,
                     const std::string& hostName, const std::string& ips,
                     const std::string& processName, uint32_t pid,
                     std::map<std::string, HostEndpointEntry>& endpoints,
                     std::set<uint32_t>& domains)
{
    ParticipantBuiltinTopicData participantData;
    // A record the middleware could not fill stays default and yields the defaults.
    participant.get_discovered_participant_data(participantData,
                                                HandleText::handleFromKey(record.participant_key));
    ParticipantSysInfo info;
    readSysInfo(participantData, info);
    if (!sameText(info.hostName, hostName) || !sameText(info.ips, ips) ||
        info.processName != processName || info.pid != pid) {
        return;
    }
    HostEndpointEntry entry;
    entry.hostName = info.hostName;
    entry.ips = info.ips;
    entry.processName = info.processName;
    entry.pid = info.pid;
    entry.topicName = fromUtf8(record.topic_name);
    entry.typeName = fromUtf8(record.type_name);
    entry.domainId = participant.get_domain_id();
    domains.insert(entry.domainId);
    endpoints[HandleText::keyOf(record.key)] = entry;
}

} // namespace

HostInfoWidget::HostInfoWidget(QWidget* parent) : QTabWidget(parent), m_tree(new QTreeWidget())
{
    m_tree->setProperty("type", QStringLiteral("content"));
    addTab(m_tree, QString::fromUtf8("DDS实体列表"));
    m_tree->setColumnCount(2);
    m_tree->setHeaderLabels({QString::fromUtf8("实体名称"), QString::fromUtf8("摘要信息")});
    m_tree->setColumnWidth(0, 200);
    setTabPosition(QTabWidget::South);
}

HostInfoWidget::ProcessEndpoints
HostInfoWidget::collectProcessEndpoints(MonitorLib& monitor, const std::string& hostName,
                                        const std::string& ips, const std::string& processName,
                                        uint32_t pid)
{
    ProcessEndpoints result;
    InstanceHandleSeq handles;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    for (auto& domain : monitor.domains) {
        DomainParticipant* participant = domain.second.m_metaParticipant;
        if (!participant) {
            continue;
        }
        handles.clear();
        if (participant->get_publications(handles, true) != RETCODE_OK) {
            FailureLine::print("get_publications failed");
            continue;
        }
        for (const InstanceHandle_t& handle : handles) {
            PublicationBuiltinTopicData record;
            if (participant->get_publication_data(record, handle) != RETCODE_OK) {
                FailureLine::print("get_publication_data failed");
                continue;
            }
            collectEndpoint(*participant, record, hostName, ips, processName, pid, result.writers,
                            result.domains);
        }
        handles.clear();
        if (participant->get_subscriptions(handles, true) != RETCODE_OK) {
            FailureLine::print("get_subscriptions failed");
            continue;
        }
        for (const InstanceHandle_t& handle : handles) {
            SubscriptionBuiltinTopicData record;
            if (participant->get_subscription_data(record, handle) != RETCODE_OK) {
                FailureLine::print("get_subscription_data failed");
                continue;
            }
            collectEndpoint(*participant, record, hostName, ips, processName, pid, result.readers,
                            result.domains);
        }
    }
    return result;
}

void HostInfoWidget::showProcess(const std::string& hostName, const std::string& ips,
                                 const std::string& processName, uint32_t pid)
{
    const ProcessEndpoints endpoints =
        collectProcessEndpoints(MonitorLib::getInstance(), hostName, ips, processName, pid);

    for (const QMetaObject::Connection& handler : m_handlers) {
        disconnect(handler);
    }
    m_handlers.clear();
    m_tree->clear();

    for (uint32_t domainId : endpoints.domains) {
        auto* processItem = new QTreeWidgetItem(
            {QString::fromUtf8("进程名：") + fromUtf8(processName), QString::number(pid)});
        m_tree->addTopLevelItem(processItem);
        auto* domainItem = new QTreeWidgetItem(
            {QString::fromUtf8("域参与者"), QString::fromUtf8("所属域：%1").arg(domainId)});
        processItem->addChild(domainItem);
        auto* readerGroup = new QTreeWidgetItem(QStringList(QString::fromUtf8("数据读者")));
        auto* writerGroup = new QTreeWidgetItem(QStringList(QString::fromUtf8("数据写者")));
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
    auto* item = new QTreeWidgetItem({QString::fromUtf8("主题名称:") + entry.topicName,
                                      QString::fromUtf8("类型名称:") + entry.typeName});
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
