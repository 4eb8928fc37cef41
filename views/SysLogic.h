// The "系统逻辑图" panel: the watched domains and, under each, the topics that have a
// discovered data writer or data reader there. Updated in place on every change the monitor
// signals, so the operator's expanded items, selection and scroll position stay.
#pragma once

#include "ChangeGate.h"
#include "LogicalTree.h"
#include "ProblemReport.h"
#include "TabTree.h"

#include <QHash>
#include <QIcon>
#include <QMap>
#include <QString>
#include <cstdint>
#include <set>
#include <string>

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
    // domain id to its item, for the domains shown now
    QMap<int, QTreeWidgetItem*> m_domainItems;

    // Makes the tree show `tree`: items of domains and topics that stay are kept with their
    // view state, those that went are deleted, new ones are added where a fresh build would put
    // them. Costs a comparison per domain plus work for the domains that changed. GUI thread.
    void showTree(LogicalTree tree);

    // Marks the topics that have writer/reader pairs which cannot match, and their domains:
    // text in red, a tooltip with the number of such pairs; other items lose their mark. The
    // marks are kept and given to the items added later. GUI thread.
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
    // m_marks per domain id by the text shown: names whose bytes decode to the same text
    // share an item
    QHash<int, QHash<QString, uint64_t>> m_markTexts;
    // what the items show now
    LogicalTree m_shown;
    // per domain id, each topic item by its text
    QHash<int, QHash<QString, QTreeWidgetItem*>> m_topicItems;
    void syncTopics(int domainId, QTreeWidgetItem* domainItem, const std::set<std::string>& topics);
    // Marks the domain item and its topic items, or of these only `only`.
    void markDomain(int domainId, QTreeWidgetItem* domainItem,
                    const QList<QTreeWidgetItem*>* only = nullptr);
    // Inserts and removes only the rows of the names that changed between `before` (what the
    // domain item shows) and `after`, the new items into `added`. False, with nothing done,
    // when the whole pass must do it: many changes, or names that read as one text.
    bool patchTopics(int domainId, QTreeWidgetItem* domainItem, const std::set<std::string>& before,
                     const std::set<std::string>& after, QList<QTreeWidgetItem*>& added);
    // Brings one domain's marks from `before` to `after`, touching only the items of topics
    // whose count changed.
    void remarkDomain(int domainId, const TopicPairCounts& before, const TopicPairCounts& after);
};
