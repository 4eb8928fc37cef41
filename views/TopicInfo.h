// Detail tab for one topic of one domain: a table of the topic's data readers and writers in
// that domain, with where each runs. A click on a row shows the endpoint in the QoS and match
// panels; its tooltip says when the monitor first saw the endpoint. The content is a snapshot
// taken when the tab is filled.
#pragma once

#include "ProcessIdentity.h"
#include "QoSType.h"

#include <QString>
#include <QTabWidget>
#include <cstdint>
#include <string>

class MatchWidget;
class QoSInfo;
class QTableWidget;
class StatisticalTab;

class TopicInfo : public QTabWidget
{
    Q_OBJECT

public:
    explicit TopicInfo(QWidget* parent = nullptr);

    // Fills the table, readers first. Must not be called while holding MonitorLib::mutex.
    void fillTopic(uint32_t domainId, const QString& topicName);

    // Selects the row of the endpoint with this handle text and acts as a click on it would.
    // False when no row has it.
    bool selectEndpoint(const QString& handleText);

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
    void addRow(const std::string& key, const ProcessIdentity& host, bool reader,
                uint32_t domainId);
};
