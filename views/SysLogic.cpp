#include "SysLogic.h"

#include "LogicalTree.h"
#include "MonitorLib.h"
#include "TabBar.h"

#include <QBrush>
#include <QCoreApplication>
#include <QHash>
#include <QIcon>
#include <QSet>
#include <QTreeWidget>

namespace {

const char* const rootIcon = ":/BrelvaneQtDemo/Resources/maxmum_normal.png";
const char* const domainIconFile = ":/BrelvaneQtDemo/Resources/title.png";
const char* const topicIconFile = ":/BrelvaneQtDemo/Resources/logic.png";

QTreeWidgetItem* makeItem(const QString& text, const QIcon& icon)
{
    auto* item = new QTreeWidgetItem(QStringList(text));
    item->setIcon(0, icon);
    return item;
}

// Red with the count as tooltip, or no mark for no pairs. An item whose mark is already right
// is left alone: every change of a shown item costs a model update.
void mark(QTreeWidgetItem* item, uint64_t pairs)
{
    const QString tip =
        pairs == 0
            ? QString()
            : QCoreApplication::translate("SysLogic", "%1 对发布端和订阅端无法匹配").arg(pairs);
    if (item->toolTip(0) == tip) {
        return;
    }
    item->setToolTip(0, tip);
    if (pairs == 0) {
        item->setData(0, Qt::ForegroundRole, QVariant());
    } else {
        item->setForeground(0, QBrush(Qt::red));
    }
}

} // namespace

SysLogic::SysLogic(QWidget* parent)
    : TabTree(parent), m_rootItem(nullptr), m_domainIcon(QString::fromLatin1(domainIconFile)),
      m_topicIcon(QString::fromLatin1(topicIconFile))
{
    m_rootItem = makeItem(fixedTabTitle(), QIcon(QString::fromLatin1(rootIcon)));
    treeWidget->addTopLevelItem(m_rootItem);
    treeWidget->expandAll();
    tabBar->addFixedTab(fixedTabTitle());
    connect(treeWidget, SIGNAL(itemDoubleClicked(QTreeWidgetItem*, int)), this,
            SLOT(onItemDoubleClicked(QTreeWidgetItem*, int)));
    connect(&MonitorLib::getInstance(), SIGNAL(dataChanged()), this, SLOT(onDataChanged()));
}

SysLogic::~SysLogic() = default;

QString SysLogic::fixedTabTitle()
{
    return tr("系统逻辑图");
}

void SysLogic::onDataChanged()
{
    MonitorLib& monitor = MonitorLib::getInstance();
    if (!m_gate.mustRebuild(monitor, sender() != nullptr)) {
        return;
    }
    qDeleteAll(m_rootItem->takeChildren());
    m_domainItems.clear();
    buildTree(collectLogicalTree(monitor));
    applyMarks(m_marks);
}

void SysLogic::buildTree(const LogicalTree& tree)
{
    // The view's icons, made once: an icon made from a file name reads the file for every
    // item, and each new icon puts its scaled pixmap into Qt's cache under a key of its own.
    const QIcon& domainIcon = m_domainIcon;
    const QIcon& topicIcon = m_topicIcon;
    // Every domain item is filled before it joins the tree, and the domain items join it
    // together at the end: each item added to a shown tree costs a model update.
    QList<QTreeWidgetItem*> domainItems;
    for (const auto& domain : tree) {
        // Domain ids are at most 232, so the int key holds every id.
        const int id = int(domain.first);
        // The texts already under the domain item, for the duplicate check.
        QSet<QString> names;
        names.reserve(int(domain.second.size()));
        QList<QTreeWidgetItem*> topicItems;
        QTreeWidgetItem* domainItem = nullptr;
        for (const std::string& topic : domain.second) {
            const QString name = QString::fromUtf8(topic.data(), int(topic.size()));
            if (!domainItem) {
                domainItem = makeItem(tr("%1号域").arg(domain.first), domainIcon);
                domainItems.append(domainItem);
                m_domainItems.insert(id, domainItem);
            } else if (names.contains(name)) {
                continue; // two byte strings that decode to the same text
            }
            names.insert(name);
            topicItems.append(makeItem(name, topicIcon));
        }
        if (domainItem) {
            domainItem->addChildren(topicItems);
        }
    }
    m_rootItem->addChildren(domainItems);
}

void SysLogic::onItemDoubleClicked(QTreeWidgetItem* item, int /*column*/)
{
    if (!item) {
        return;
    }
    for (auto it = m_domainItems.cbegin(); it != m_domainItems.cend(); ++it) {
        if (it.value() == item->parent()) {
            emit topicDoubelClicked(uint32_t(it.key()), item->text(0));
            return;
        }
    }
}

void SysLogic::applyMarks(const IncompatiblePairs& pairs)
{
    if (&pairs != &m_marks) {
        m_marks = pairs;
    }
    for (auto domain = m_domainItems.cbegin(); domain != m_domainItems.cend(); ++domain) {
        // By the text shown: names whose bytes decode to the same text share an item.
        QHash<QString, uint64_t> byText;
        uint64_t total = 0;
        const auto found = m_marks.find(uint32_t(domain.key()));
        if (found != m_marks.end()) {
            for (const auto& topic : found->second) {
                byText[QString::fromUtf8(topic.first.data(), int(topic.first.size()))] +=
                    topic.second;
                total += topic.second;
            }
        }
        QTreeWidgetItem* domainItem = domain.value();
        mark(domainItem, total);
        for (int i = 0; i < domainItem->childCount(); ++i) {
            QTreeWidgetItem* topicItem = domainItem->child(i);
            mark(topicItem, byText.value(topicItem->text(0), 0));
        }
    }
}
