// The "系统物理图" panel: the hosts the discovered participants run on and, under each, their
// processes, taken from the system information the participants announce. Rebuilt on every
// change the monitor signals.
#pragma once

#include "ChangeGate.h"
#include "TabTree.h"

#include <QIcon>
#include <QMap>
#include <QString>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>

class MonitorLib;
class QTreeWidgetItem;

class SysPhysics : public TabTree
{
    Q_OBJECT

public:
    // One process id on one host. Grouping by the host as well keeps processes of different
    // hosts apart when their ids collide (every containerised process has id 1).
    struct ProcessGroup
    {
        uint32_t pid;
        std::string hostName;
        std::string ips;
        bool operator<(const ProcessGroup& other) const
        {
            return std::tie(pid, hostName, ips) < std::tie(other.pid, other.hostName, other.ips);
        }
    };
    // Each group with the process names (raw UTF-8 bytes) reported for it, ascending.
    using PhysicalTree = std::map<ProcessGroup, std::set<std::string>>;

    explicit SysPhysics(QWidget* parent = nullptr);
    ~SysPhysics() override;

    // Reads the system information of every discovered participant of every watched domain,
    // the monitor's own participants left out. Takes monitor.mutex for the whole walk and
    // prints a failure line for each failed query.
    static PhysicalTree collectPhysicalTree(MonitorLib& monitor);

    QTreeWidgetItem* m_rootItem;
    // host text to its item, for the items of the current build only
    QMap<QString, QTreeWidgetItem*> m_hostItems;

signals:
    // Host name, IP list, process name, process id. The receiver runs in the GUI thread
    // (direct connection), so the std::string arguments need no meta-type.
    void hostDoubelClicked(std::string, std::string, std::string, uint32_t);

private slots:
    void onItemDoubleClicked(QTreeWidgetItem* item, int column);
    // Delivered queued from the polling thread, or directly after a domain change.
    void onDataChanged();

private:
    ChangeGate m_gate;
    // built once for the life of the view and shared by the items of every build
    const QIcon m_hostIcon;
    const QIcon m_processIcon;
    void buildTree(const PhysicalTree& tree);
};
