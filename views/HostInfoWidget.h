// Detail tab for one process on one host: per domain, the topics and types of its data
// readers and writers. A click on one shows it in the QoS and match panels. The tree follows
// the network in place: endpoints, and the process's participation in a domain, that left
// stay greyed with a tooltip saying when; new ones appear in their group.
#pragma once

#include "EventStamp.h"
#include "HostEndpointEntry.h"
#include "ProcessIdentity.h"

#include <QList>
#include <QMetaObject>
#include <QTabWidget>
#include <cstdint>
#include <map>
#include <string>

class MatchWidget;
class QoSInfo;
class QTreeWidget;
class QTreeWidgetItem;
class TabFollower;
struct ProcessEndpoints;

class HostInfoWidget : public QTabWidget
{
    Q_OBJECT

public:
    explicit HostInfoWidget(QWidget* parent = nullptr);
    ~HostInfoWidget() override;

    // Fills the tree for the process (texts in UTF-8) and follows it from then on. Must not be
    // called while holding MonitorLib::mutex.
    void showProcess(const std::string& hostName, const std::string& ips,
                     const std::string& processName, uint32_t pid);

    QTreeWidget* m_tree;
    // not owned; handed over by the detail panel
    QoSInfo* m_qosInfo = nullptr;
    MatchWidget* m_matchWidget = nullptr;

private:
    // The items of one domain's top-level group.
    struct DomainItems
    {
        QTreeWidgetItem* process = nullptr;
        QTreeWidgetItem* participant = nullptr;
        QTreeWidgetItem* readers = nullptr;
        QTreeWidgetItem* writers = nullptr;
    };
    struct Shown
    {
        QTreeWidgetItem* item = nullptr;
        uint32_t domainId = 0;
    };

    DomainItems& domainItems(uint32_t domainId);
    void addEndpointItem(QTreeWidgetItem* group, const std::string& key,
                         const HostEndpointEntry& entry, bool reader);
    // Collects again and merges what it found into the shown tree (TabFollower's refresh).
    void follow();
    void merge(const ProcessEndpoints& endpoints);
    void setLeft(const DomainItems& group, bool left, const EventStamp& when);

    ProcessIdentity m_process;
    TabFollower* m_follower;
    std::map<uint32_t, DomainItems> m_domains;
    std::map<std::string, Shown> m_shown; // by the endpoint's 16 key bytes
    // the click handlers of the current content, dropped when it is rebuilt
    QList<QMetaObject::Connection> m_handlers;
};
