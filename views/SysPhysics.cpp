#include "SysPhysics.h"

#include "FailureLine.h"
#include "MonitorLib.h"
#include "ParticipantSysInfo.h"
#include "TabBar.h"

#include <QHash>
#include <QIcon>
#include <QSet>
#include <QTreeWidget>
#include <mutex>

using namespace ZORVAN;

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
    m_rootItem = makeItem(QString::fromUtf8("系统物理图"), QIcon(QString::fromLatin1(rootIcon)));
    treeWidget->addTopLevelItem(m_rootItem);
    treeWidget->expandAll();
    tabBar->addFixedTab(QString::fromUtf8("系统物理图"));
    connect(treeWidget, SIGNAL(itemDoubleClicked(QTreeWidgetItem*, int)), this,
            SLOT(onItemDoubleClicked(QTreeWidgetItem*, int)));
    connect(&MonitorLib::getInstance(), SIGNAL(dataChanged()), this, SLOT(onDataChanged()));
}

SysPhysics::~SysPhysics() = default;

SysPhysics::PhysicalTree SysPhysics::collectPhysicalTree(MonitorLib& monitor)
{
    PhysicalTree tree;
    InstanceHandleSeq handles;
    std::lock_guard<std::mutex> lock(monitor.mutex);
    for (auto& domain : monitor.domains) {
        DomainParticipant* participant = domain.second.m_metaParticipant;
        if (!participant) {
            continue;
        }
        handles.clear();
        if (participant->get_discovered_participants(handles) != RETCODE_OK) {
            FailureLine::print("get_discovered_participants failed");
            continue;
        }
        for (const InstanceHandle_t& handle : handles) {
            if (monitor.ownParticipants.count(handle)) {
                continue;
            }
            ParticipantBuiltinTopicData data;
            // A record the middleware could not fill stays default and shows the defaults.
            participant->get_discovered_participant_data(data, handle);
            ParticipantSysInfo info;
            readSysInfo(data, info);
            tree[ProcessGroup{info.pid, info.hostName, info.ips}].insert(info.processName);
        }
    }
    return tree;
}

void SysPhysics::onDataChanged()
{
    MonitorLib& monitor = MonitorLib::getInstance();
    if (!m_gate.mustRebuild(monitor, sender() != nullptr)) {
        return;
    }
    qDeleteAll(m_rootItem->takeChildren());
    m_hostItems.clear();
    buildTree(collectPhysicalTree(monitor));
}

void SysPhysics::buildTree(const PhysicalTree& tree)
{
    // The view's icons, made once: an icon made from a file name reads the file for every
    // item, and each new icon puts its scaled pixmap into Qt's cache under a key of its own.
    const QIcon& hostIcon = m_hostIcon;
    const QIcon& processIcon = m_processIcon;
    // The items are built apart from the tree and join it together at the end: an item added
    // to a shown tree costs a model update each, which made a rebuild of thousands of
    // processes slow.
    struct HostChildren
    {
        // the process texts already under the host: a set keeps the duplicate check linear
        // where comparing with every earlier child was quadratic in the processes of a host
        QSet<QString> texts;
        QList<QTreeWidgetItem*> items;
    };
    QList<QTreeWidgetItem*> hostItems;
    QHash<QTreeWidgetItem*, HostChildren> children;
    // Groups come in ascending process id, so a host is placed where its smallest id falls.
    for (const auto& group : tree) {
        const QString hostText =
            fromUtf8(group.first.hostName) + QLatin1Char('-') + fromUtf8(group.first.ips);
        QTreeWidgetItem* hostItem = m_hostItems.value(hostText, nullptr);
        if (!hostItem) {
            hostItem = makeItem(hostText, hostIcon);
            hostItems.append(hostItem);
            m_hostItems.insert(hostText, hostItem);
        }
        HostChildren& listed = children[hostItem];
        for (const std::string& processName : group.second) {
            const QString processText =
                fromUtf8(processName) + QLatin1Char(':') + QString::number(group.first.pid);
            if (!listed.texts.contains(processText)) {
                listed.texts.insert(processText);
                listed.items.append(makeItem(processText, processIcon));
            }
        }
    }
    for (QTreeWidgetItem* hostItem : hostItems) {
        hostItem->addChildren(children.value(hostItem).items);
    }
    m_rootItem->addChildren(hostItems);
}

void SysPhysics::onItemDoubleClicked(QTreeWidgetItem* item, int column)
{
    if (!item) {
        return;
    }
    QString hostText = QStringLiteral("-1");
    for (auto it = m_hostItems.cbegin(); it != m_hostItems.cend(); ++it) {
        if (it.value() == item->parent()) {
            hostText = it.key();
            break;
        }
    }
    if (hostText == QLatin1String("-1")) {
        return;
    }
    const QString text = item->text(column);

    // Only the last separators count: host names may hold "-" and process names ":".
    std::string hostName;
    std::string ips;
    const int dash = hostText.lastIndexOf(QLatin1Char('-'));
    if (dash >= 0) {
        hostName = hostText.left(dash).toStdString();
        ips = hostText.mid(dash + 1).toStdString();
    }
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    const std::string processName = text.left(colon).toStdString();
    const uint32_t pid = text.mid(colon + 1).toUInt(nullptr, 10);
    emit hostDoubelClicked(hostName, ips, processName, pid);
}
