// Detail tab for one topic of one domain: a table of the topic's data readers and writers in
// that domain, with where each runs. A click on a row shows the endpoint in the QoS and match
// panels. The content is a snapshot taken when the tab is filled.
#pragma once

#include "QoSType.h"

#include <QString>
#include <QTabWidget>
#include <cstdint>
#include <map>
#include <string>

class MatchWidget;
class MonitorLib;
class QoSInfo;
class QTableWidget;
class StatisticalTab;

class TopicInfo : public QTabWidget
{
    Q_OBJECT

public:
    // Where one endpoint runs, from its participant's system information (UTF-8).
    struct EndpointHost
    {
        std::string hostName;
        std::string ips;
        std::string processName;
        uint32_t pid = 0;
    };
    // The topic's endpoints, keyed by the 16 bytes of their instance handle (byte-wise order).
    struct TopicEndpoints
    {
        std::map<std::string, EndpointHost> readers;
        std::map<std::string, EndpointHost> writers;
    };

    explicit TopicInfo(QWidget* parent = nullptr);

    // Lists the readers and writers of `topicName` (UTF-8 bytes, compared exactly) that the
    // monitor's participant in `domainId` discovered. Takes monitor.mutex for the whole walk
    // and prints a failure line for each failed query.
    static TopicEndpoints collectTopicEndpoints(MonitorLib& monitor, uint32_t domainId,
                                                const std::string& topicName);

    // Fills the table, readers first. Must not be called while holding MonitorLib::mutex.
    void fillTopic(uint32_t domainId, const QString& topicName);

    QTableWidget* m_table;
    // not owned; handed over by the detail panel
    QoSInfo* m_qosInfo = nullptr;
    MatchWidget* m_matchWidget = nullptr;
    StatisticalTab* m_statisticalTab = nullptr;

signals:
    void curTopicChanged(QString handle, QoSType type);

private slots:
    void curItemChanged(int, int, int, int);
    void freshWidget();

private:
    void addRow(const std::string& key, const EndpointHost& host, bool reader, uint32_t domainId);
};
