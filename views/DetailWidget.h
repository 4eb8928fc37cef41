// The detail panel: one closable tab per topic of a domain and per process of a host, opened
// from double clicks in the logical and physical views. A second request for an open tab
// brings it forward; a closed tab's page is deleted.
#pragma once

#include "QoSType.h"
#include "TabWidget.h"

#include <QMap>
#include <QString>
#include <cstdint>
#include <string>
#include <tuple>

class HostInfoWidget;
class MatchWidget;
class QoSInfo;
class StatisticalTab;
class TopicInfo;

class DetailWidget : public TabWidget
{
    Q_OBJECT

public:
    // Identity of a process tab. Its parts stay apart: run together as in the tab title, a
    // process "N1" with id 23 and a process "N12" with id 3 of one host would collide.
    struct HostTabKey
    {
        QString hostName;
        QString ips;
        QString processName;
        uint32_t pid;
        bool operator<(const HostTabKey& other) const
        {
            return std::tie(hostName, ips, processName, pid) <
                   std::tie(other.hostName, other.ips, other.processName, other.pid);
        }
    };

    explicit DetailWidget(QWidget* parent = nullptr);
    ~DetailWidget() override;

    // "<domain>_<topic>"
    static QString topicTabKey(uint32_t domainId, const QString& topicName);
    static QString topicTabTitle(uint32_t domainId, const QString& topicName);
    static HostTabKey hostTabKey(const std::string& hostName, const std::string& ips,
                                 const std::string& processName, uint32_t pid);
    // host name, "-", IP list, process name and id, the last three run together
    static QString hostTabTitle(const HostTabKey& key);

    // Opens (or brings forward) the topic's tab as a double click on the topic does, then
    // selects the row of the endpoint with this handle text as a click on it would, so that
    // the QoS and match panels show it. No row is selected when the tab has none for it.
    void showTopicEndpoint(uint32_t domainId, const QString& topicName, const QString& handleText);

    QMap<QString, TopicInfo*> m_topicTabs;
    QMap<HostTabKey, HostInfoWidget*> m_hostTabs;
    // not owned; set by the panel arrangement before the first double click
    QoSInfo* m_qosInfo = nullptr;
    MatchWidget* m_matchWidget = nullptr;
    StatisticalTab* m_statisticalTab = nullptr;

signals:
    void curTopicChanged(QString, QoSType);
    void onClickDataReader(QString _t1);
    void onClickDataWriter(QString _t1);

public slots:
    void onTopicNameDoubleClicked(uint32_t domainId, QString topicName);
    // Reached directly from the physical view in the GUI thread (no meta-type for std::string).
    void onHostDoubleClicked(std::string hostName, std::string ips, std::string processName,
                             uint32_t pid);
    // A tab closed; its page is still at `index` of stackedWidget.
    void onWidgetRemoved(int index);
};
