// The "系统物理图" panel: the hosts the discovered participants run on and, under each, their
// processes, taken from the system information the participants announce. Updated in place on
// every change the monitor signals, so the operator's expanded items, selection and scroll
// position stay.
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
    // host to its item, for the hosts shown now. Keyed by the host as
    // announced: two hosts whose texts read the same ("a-b" with "c", "a" with "b-c") stay apart.
    QMap<PhysicalHost, QTreeWidgetItem*> m_hostItems;
    // process item shown now to the process it shows
    QHash<const QTreeWidgetItem*, ProcessIdentity> m_processItems;

    // Makes the tree show `tree`: host and process items that stay are kept with their view
    // state, those that went are deleted, new ones are added where a fresh build would put
    // them. Nothing is touched when `tree` is what the items show. GUI thread.
    void showTree(PhysicalTree tree);

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
    // what the items show now
    PhysicalTree m_shown;
    // per host item, each of its process items by its text
    QHash<const QTreeWidgetItem*, QHash<QString, QTreeWidgetItem*>> m_processTexts;
};
