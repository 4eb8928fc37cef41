// The "系统物理图" panel: the hosts the discovered participants run on and, under each, their
// processes, taken from the system information the participants announce. Rebuilt on every
// change the monitor signals.
#pragma once

#include "ChangeGate.h"
#include "PhysicalTree.h"
#include "ProcessIdentity.h"
#include "TabTree.h"

#include <QHash>
#include <QIcon>
#include <QMap>
#include <cstdint>
#include <string>

class QTreeWidgetItem;

class SysPhysics : public TabTree
{
    Q_OBJECT

public:
    explicit SysPhysics(QWidget* parent = nullptr);
    ~SysPhysics() override;

    // The title of the panel's own tab, which stays open, in the operator's language.
    static QString fixedTabTitle();

    QTreeWidgetItem* m_rootItem;
    // host to its item, for the items of the current build only. Keyed by the host as
    // announced: two hosts whose texts read the same ("a-b" with "c", "a" with "b-c") stay apart.
    QMap<PhysicalHost, QTreeWidgetItem*> m_hostItems;
    // process item of the current build to the process it shows
    QHash<const QTreeWidgetItem*, ProcessIdentity> m_processItems;

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
