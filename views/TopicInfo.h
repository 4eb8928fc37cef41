// Detail tab for one topic of one domain: a table of the topic's data readers and writers in
// that domain, with where each runs. A click on a row shows the endpoint in the QoS and match
// panels; its tooltip says when the monitor first saw the endpoint. The table follows the
// network in place: a row whose endpoint left stays, greyed and "offline", saying when it
// left; an endpoint that joins later gets a row at the end; rows never move.
#pragma once

#include "EventStamp.h"
#include "ProcessIdentity.h"
#include "QoSType.h"

#include <QString>
#include <QTabWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

class MatchWidget;
class QoSInfo;
class QTableWidget;
class StatisticalTab;
class TabFollower;
class TopicChanges;

class TopicInfo : public QTabWidget
{
    Q_OBJECT

public:
    explicit TopicInfo(QWidget* parent = nullptr);
    ~TopicInfo() override;

    // Fills the table, readers first, and follows the topic from then on. Called once per tab;
    // must not be called while holding MonitorLib::mutex.
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
    // Applies what changed since the last look (TabFollower's refresh).
    void follow();
    void showLive(int row, const std::string& key);
    void showLeft(int row, const EventStamp& when);
    // "首次发现于 hh:mm:ss" when the event log knows the endpoint, otherwise empty.
    QString firstSeenText(const std::string& key) const;

    uint32_t m_domainId = 0;
    std::unique_ptr<TopicChanges> m_changes;
    TabFollower* m_follower;
    // the row of each endpoint shown, by its 16 key bytes
    std::unordered_map<std::string, int> m_rowOf;
};
