// Detail tab for one process on one host: per domain, the topics and types of its data
// readers and writers. A click on one shows it in the QoS and match panels. The content is a
// snapshot taken when the tab is filled.
#pragma once

#include "HostEndpointEntry.h"

#include <QList>
#include <QMetaObject>
#include <QTabWidget>
#include <cstdint>
#include <string>

class MatchWidget;
class QoSInfo;
class QTreeWidget;
class QTreeWidgetItem;

class HostInfoWidget : public QTabWidget
{
    Q_OBJECT

public:
    explicit HostInfoWidget(QWidget* parent = nullptr);

    // Fills the tree for the process (texts in UTF-8). Must not be called while holding
    // MonitorLib::mutex.
    void showProcess(const std::string& hostName, const std::string& ips,
                     const std::string& processName, uint32_t pid);

    QTreeWidget* m_tree;
    // not owned; handed over by the detail panel
    QoSInfo* m_qosInfo = nullptr;
    MatchWidget* m_matchWidget = nullptr;

private:
    void addEndpointItem(QTreeWidgetItem* group, const std::string& key,
                         const HostEndpointEntry& entry, bool reader);

    // the click handlers of the current content, dropped when it is rebuilt
    QList<QMetaObject::Connection> m_handlers;
};
