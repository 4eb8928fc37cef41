#include "TopicInfo.h"

#include "FailureLine.h"
#include "HandleText.h"
#include "MatchWidget.h"
#include "MonitorLib.h"
#include "ParticipantSysInfo.h"
#include "QoSInfo.h"

#include <QTableWidget>
#include <mutex>

using namespace ZORVAN;

namespace {

QString fromUtf8(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), int(bytes.size()));
}

// True when the announced name is the one the tab was opened for. The name comes from the
// text the logical view shows, which is the announced bytes decoded as UTF-8: a name that is
// not valid UTF-8 is matched through that same decoding, or its tab would stay empty.
bool sameTopic(const std::string& announced, const std::string& shown)
{
    return announced == shown || fromUtf8(announced).toStdString() == shown;
}

template <class Record>
void addEndpoint(DomainParticipant& participant, const Record& record,
                 std::map<std::string, TopicInfo::EndpointHost>& endpoints)
{
    ParticipantBuiltinTopicData participantData;
    // A record the middleware could not fill stays default and yields the defaults.
    participant.get_discovered_participant_data(participantData,
                                                HandleText::handleFromKey(record.participant_key));
    ParticipantSysInfo info;
    readSysInfo(participantData, info);
    endpoints[HandleText::keyOf(record.key)] =
        TopicInfo::EndpointHost{info.hostName, info.ips, info.processName, info.pid};
}

} // namespace

TopicInfo::TopicInfo(QWidget* parent) : QTabWidget(parent), m_table(new QTableWidget())
{
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setProperty("type", QStringLiteral("content"));
    addTab(m_table, QString::fromUtf8("实体列表"));
    m_table->setColumnCount(6);
    m_table->setHorizontalHeaderLabels(
        {QString::fromUtf8("实体类型"), QString::fromUtf8("节点"), QString::fromUtf8("进程/模块名"),
         QString::fromUtf8("进程号"), QString::fromUtf8("标识"), QString::fromUtf8("状态")});
    setTabPosition(QTabWidget::South);
    connect(m_table, SIGNAL(currentCellChanged(int, int, int, int)), this,
            SLOT(curItemChanged(int, int, int, int)));
}

TopicInfo::TopicEndpoints TopicInfo::collectTopicEndpoints(MonitorLib& monitor, uint32_t domainId,
                                                           const std::string& topicName)
{
    TopicEndpoints result;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    // Only the page's own domain: the same topic name in another domain is another topic,
    // with its own page, and the match analysis of a click runs in this domain.
    const auto domain = monitor.domains.find(domainId);
    if (domain == monitor.domains.end() || !domain->second.m_metaParticipant) {
        return result;
    }
    DomainParticipant& participant = *domain->second.m_metaParticipant;
    InstanceHandleSeq handles;
    if (participant.get_publications(handles, true) != RETCODE_OK) {
        FailureLine::print("get_publications failed");
        return result;
    }
    for (const InstanceHandle_t& handle : handles) {
        PublicationBuiltinTopicData record;
        if (participant.get_publication_data(record, handle) != RETCODE_OK) {
            FailureLine::print("get_publication_data failed");
            continue;
        }
        if (sameTopic(record.topic_name, topicName)) {
            addEndpoint(participant, record, result.writers);
        }
    }
    handles.clear();
    if (participant.get_subscriptions(handles, true) != RETCODE_OK) {
        FailureLine::print("get_subscriptions failed");
        return result;
    }
    for (const InstanceHandle_t& handle : handles) {
        SubscriptionBuiltinTopicData record;
        if (participant.get_subscription_data(record, handle) != RETCODE_OK) {
            FailureLine::print("get_subscription_data failed");
            continue;
        }
        if (sameTopic(record.topic_name, topicName)) {
            addEndpoint(participant, record, result.readers);
        }
    }
    return result;
}

void TopicInfo::fillTopic(uint32_t domainId, const QString& topicName)
{
    const TopicEndpoints endpoints =
        collectTopicEndpoints(MonitorLib::getInstance(), domainId, topicName.toStdString());
    for (const auto& reader : endpoints.readers) {
        addRow(reader.first, reader.second, true, domainId);
    }
    for (const auto& writer : endpoints.writers) {
        addRow(writer.first, writer.second, false, domainId);
    }
    m_table->resizeColumnsToContents();
}

void TopicInfo::addRow(const std::string& key, const EndpointHost& host, bool reader,
                       uint32_t domainId)
{
    const QString handleText = HandleText::text(key);
    const QString texts[6] = {reader ? QStringLiteral("DataReader") : QStringLiteral("DataWriter"),
                              fromUtf8(host.hostName) + QStringLiteral(" - ") + fromUtf8(host.ips),
                              fromUtf8(host.processName) + QLatin1Char(':') +
                                  QString::number(host.pid),
                              QString::number(host.pid),
                              handleText,
                              QStringLiteral("normal")};
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    for (int column = 0; column < 6; ++column) {
        auto* item = new QTableWidgetItem(texts[column]);
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        m_table->setItem(row, column, item);
    }

    QoSInfo* qosInfo = m_qosInfo;
    MatchWidget* matchWidget = m_matchWidget;
    // The row's handle text is its identity: a handler acts only on clicks in its own row.
    connect(
        m_table, &QTableWidget::itemClicked, m_table,
        [handleText, key, reader, domainId, qosInfo, matchWidget](QTableWidgetItem* clicked) {
            QTableWidget* table = clicked ? clicked->tableWidget() : nullptr;
            const QTableWidgetItem* idCell = table ? table->item(clicked->row(), 4) : nullptr;
            if (!idCell || idCell->text() != handleText) {
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
        Qt::DirectConnection);
}

void TopicInfo::curItemChanged(int, int, int, int) {}

void TopicInfo::freshWidget() {}
