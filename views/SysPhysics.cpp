#include "SysPhysics.h"

#include "MonitorLib.h"
#include "TabBar.h"

#include <QIcon>
#include <QSet>
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
    qDeleteAll(m_rootItem->takeChildren());
    m_hostItems.clear();
    m_processItems.clear();
    buildTree(collectPhysicalTree(monitor));
}

void SysPhysics::buildTree(const PhysicalTree& tree)
{
    // The view's icons, made once: an icon made from a file name reads the file for every
    // item, and each new icon puts its scaled pixmap into Qt's cache under a key of its own.
    const QIcon& hostIcon = m_hostIcon;
    const QIcon& processIcon = m_processIcon;
    // The items are built apart from the tree and join it together at the end: each item added
    // to a shown tree costs a model update.
    struct HostChildren
    {
        // the process texts already under the host, for the duplicate check
        QSet<QString> texts;
        QList<QTreeWidgetItem*> items;
    };
    QList<QTreeWidgetItem*> hostItems;
    QHash<QTreeWidgetItem*, HostChildren> children;
    m_processItems.reserve(int(tree.size()));
    // Groups come in ascending process id, so a host is placed where its smallest id falls.
    for (const auto& group : tree) {
        const PhysicalHost host = group.first.host();
        QTreeWidgetItem* hostItem = m_hostItems.value(host, nullptr);
        if (!hostItem) {
            hostItem =
                makeItem(fromUtf8(host.hostName) + QLatin1Char('-') + fromUtf8(host.ips), hostIcon);
            hostItems.append(hostItem);
            m_hostItems.insert(host, hostItem);
        }
        HostChildren& listed = children[hostItem];
        for (const std::string& processName : group.second) {
            const QString processText =
                fromUtf8(processName) + QLatin1Char(':') + QString::number(group.first.pid);
            if (listed.texts.contains(processText)) {
                continue; // two byte strings that decode to the same text
            }
            listed.texts.insert(processText);
            QTreeWidgetItem* processItem = makeItem(processText, processIcon);
            listed.items.append(processItem);
            m_processItems.insert(processItem, ProcessIdentity{host.hostName, host.ips, processName,
                                                               group.first.pid});
        }
    }
    for (QTreeWidgetItem* hostItem : hostItems) {
        hostItem->addChildren(children.value(hostItem).items);
    }
    m_rootItem->addChildren(hostItems);
}

void SysPhysics::onItemDoubleClicked(QTreeWidgetItem* item, int /*column*/)
{
    // The root, host items and items of earlier builds are no process items of this build.
    const auto process = m_processItems.constFind(item);
    if (process == m_processItems.constEnd()) {
        return;
    }
    // The process as announced, not as its text reads: the text cannot be split back safely.
    emit hostDoubelClicked(process->hostName, process->ips, process->processName, process->pid);
}
