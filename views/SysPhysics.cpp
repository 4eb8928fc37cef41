#include "SysPhysics.h"

#include "MonitorLib.h"
#include "ScrollAnchor.h"
#include "TabBar.h"
#include "TreeSync.h"

#include <QIcon>
#include <QTreeWidget>

namespace {

const char* const rootIcon = ":/BrelvaneQtDemo/Resources/maxmum_normal.png";
const char* const hostIconFile = ":/BrelvaneQtDemo/Resources/physics.png";
const char* const processIconFile = ":/BrelvaneQtDemo/Resources/logic.png";

QTreeWidgetItem* makeItem(const QString& text, const QIcon& icon)
{
    auto* item = new QTreeWidgetItem(QStringList(text));
    item->setIcon(0, icon);
    return item;
}

QString fromUtf8(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), int(bytes.size()));
}

} // namespace

SysPhysics::SysPhysics(QWidget* parent)
    : TabTree(parent), m_rootItem(nullptr), m_hostIcon(QString::fromLatin1(hostIconFile)),
      m_processIcon(QString::fromLatin1(processIconFile))
{
    treeWidget->setColumnCount(1);
    m_rootItem = makeItem(fixedTabTitle(), QIcon(QString::fromLatin1(rootIcon)));
    treeWidget->addTopLevelItem(m_rootItem);
    treeWidget->expandAll();
    tabBar->addFixedTab(fixedTabTitle());
    connect(treeWidget, SIGNAL(itemDoubleClicked(QTreeWidgetItem*, int)), this,
            SLOT(onItemDoubleClicked(QTreeWidgetItem*, int)));
    connect(&MonitorLib::getInstance(), SIGNAL(dataChanged()), this, SLOT(onDataChanged()));
}

SysPhysics::~SysPhysics() = default;

QString SysPhysics::fixedTabTitle()
{
    return tr("系统物理图");
}

void SysPhysics::onDataChanged()
{
    MonitorLib& monitor = MonitorLib::getInstance();
    if (!m_gate.mustRebuild(monitor, sender() != nullptr)) {
        return;
    }
    showTree(collectPhysicalTree(monitor));
}

void SysPhysics::showTree(PhysicalTree tree)
{
    if (tree == m_shown) {
        return;
    }
    ScrollAnchor anchor(treeWidget);
    struct HostChildren
    {
        QHash<QString, QTreeWidgetItem*> byText;
        QList<QTreeWidgetItem*> items;
    };
    QList<QTreeWidgetItem*> hostItems;
    QMap<PhysicalHost, QTreeWidgetItem*> shownHosts;
    QHash<QTreeWidgetItem*, HostChildren> children;
    QHash<const QTreeWidgetItem*, ProcessIdentity> processItems;
    processItems.reserve(int(tree.size()));
    // Groups come in ascending process id, so a host is placed where its smallest id falls.
    for (const auto& group : tree) {
        const PhysicalHost host = group.first.host();
        QTreeWidgetItem* hostItem = shownHosts.value(host, nullptr);
        if (!hostItem) {
            hostItem = m_hostItems.value(host, nullptr);
            if (!hostItem) {
                hostItem = makeItem(fromUtf8(host.hostName) + QLatin1Char('-') + fromUtf8(host.ips),
                                    m_hostIcon);
            }
            hostItems.append(hostItem);
            shownHosts.insert(host, hostItem);
        }
        HostChildren& listed = children[hostItem];
        const QHash<QString, QTreeWidgetItem*> earlier = m_processTexts.value(hostItem);
        for (const std::string& processName : group.second) {
            const QString processText =
                fromUtf8(processName) + QLatin1Char(':') + QString::number(group.first.pid);
            QTreeWidgetItem*& processItem = listed.byText[processText];
            if (processItem) {
                continue; // two byte strings that decode to the same text
            }
            processItem = earlier.value(processText, nullptr);
            if (!processItem) {
                processItem = makeItem(processText, m_processIcon);
            }
            listed.items.append(processItem);
            processItems.insert(processItem, ProcessIdentity{host.hostName, host.ips, processName,
                                                             group.first.pid});
        }
    }
    // A new host item is filled before it joins the tree: each item added to a shown tree
    // costs a model update.
    bool changed = false;
    m_processTexts.clear();
    for (QTreeWidgetItem* hostItem : hostItems) {
        HostChildren& listed = children[hostItem];
        changed = TreeSync::setChildren(hostItem, listed.items) || changed;
        m_processTexts.insert(hostItem, std::move(listed.byText));
    }
    // Host items that went are deleted here, with their process items.
    changed = TreeSync::setChildren(m_rootItem, hostItems) || changed;
    m_hostItems = shownHosts;
    m_processItems = processItems;
    m_shown = std::move(tree);
    if (changed) {
        anchor.restore();
    }
}

void SysPhysics::onItemDoubleClicked(QTreeWidgetItem* item, int /*column*/)
{
    // The root and host items are no process items.
    const auto process = m_processItems.constFind(item);
    if (process == m_processItems.constEnd()) {
        return;
    }
    // The process as announced, not as its text reads: the text cannot be split back safely.
    emit hostDoubelClicked(process->hostName, process->ips, process->processName, process->pid);
}
