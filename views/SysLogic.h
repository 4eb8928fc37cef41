// The "系统逻辑图" panel: the watched domains and, under each, the topics that have a
// discovered data writer or data reader there. Rebuilt on every change the monitor signals.
#pragma once

#include "ChangeGate.h"
#include "LogicalTree.h"
#include "ProblemReport.h"
#include "TabTree.h"

#include <QIcon>
#include <QMap>
#include <QString>
#include <cstdint>

class QTreeWidgetItem;

class SysLogic : public TabTree
{
    Q_OBJECT

public:
    explicit SysLogic(QWidget* parent = nullptr);
    ~SysLogic() override;

    // The title of the panel's own tab, which stays open, in the operator's language.
    static QString fixedTabTitle();

    QTreeWidgetItem* m_rootItem;
    // domain id to its item, for the items of the current build only
    QMap<int, QTreeWidgetItem*> m_domainItems;

    // Marks the topics that have writer/reader pairs which cannot match, and their domains:
    // text in red, a tooltip with the number of such pairs; other items lose their mark. The
    // marks are kept and given again to the items of every rebuild. GUI thread.
    void applyMarks(const IncompatiblePairs& pairs);

signals:
    void topicDoubelClicked(uint32_t domain, QString topicName);

private slots:
    void onItemDoubleClicked(QTreeWidgetItem* item, int column);
    // Delivered queued from the polling thread, or directly after a domain change.
    void onDataChanged();

private:
    ChangeGate m_gate;
    // built once for the life of the view and shared by the items of every build
    const QIcon m_domainIcon;
    const QIcon m_topicIcon;
    IncompatiblePairs m_marks;
    void buildTree(const LogicalTree& tree);
};
