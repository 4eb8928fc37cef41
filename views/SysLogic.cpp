#include "SysLogic.h"

#include "LogicalTree.h"
#include "MonitorLib.h"
#include "ScrollAnchor.h"
#include "TabBar.h"
#include "TreeSync.h"

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
    showTree(collectLogicalTree(monitor));
}

void SysLogic::showTree(LogicalTree tree)
{
    ScrollAnchor anchor(treeWidget);
    bool changed = false;
    QList<QTreeWidgetItem*> domainItems;
    QMap<int, QTreeWidgetItem*> shownDomains;
    for (const auto& domain : tree) {
        // A domain without writers and readers has no item.
        if (domain.second.empty()) {
            continue;
        }
        // Domain ids are at most 232, so the int key holds every id.
        const int id = int(domain.first);
        QTreeWidgetItem* domainItem = m_domainItems.value(id, nullptr);
        const auto shown = m_shown.find(domain.first);
        if (!domainItem || shown == m_shown.end() || shown->second != domain.second) {
            // A new domain item is filled before it joins the tree: each item added to a shown
            // tree costs a model update.
            QList<QTreeWidgetItem*> added;
            if (domainItem && shown != m_shown.end() &&
                patchTopics(id, domainItem, shown->second, domain.second, added)) {
                markDomain(id, domainItem, &added);
            } else {
                if (!domainItem) {
                    domainItem = makeItem(tr("%1号域").arg(domain.first), m_domainIcon);
                }
                syncTopics(id, domainItem, domain.second);
                markDomain(id, domainItem);
            }
            changed = true;
        }
        domainItems.append(domainItem);
        shownDomains.insert(id, domainItem);
    }
    for (auto it = m_domainItems.cbegin(); it != m_domainItems.cend(); ++it) {
        if (!shownDomains.contains(it.key())) {
            m_topicItems.remove(it.key());
        }
    }
    // Domain items that went are deleted here, with their topic items.
    changed = TreeSync::setChildren(m_rootItem, domainItems) || changed;
    m_domainItems = shownDomains;
    m_shown = std::move(tree);
    if (changed) {
        anchor.restore();
    }
}

void SysLogic::syncTopics(int domainId, QTreeWidgetItem* domainItem,
                          const std::set<std::string>& topics)
{
    QHash<QString, QTreeWidgetItem*>& items = m_topicItems[domainId];
    QHash<QString, QTreeWidgetItem*> kept;
    kept.reserve(int(topics.size()));
    QList<QTreeWidgetItem*> wanted;
    wanted.reserve(int(topics.size()));
    for (const std::string& topic : topics) {
        const QString name = QString::fromUtf8(topic.data(), int(topic.size()));
        QTreeWidgetItem*& item = kept[name];
        if (item) {
            continue; // two byte strings that decode to the same text
        }
        item = items.value(name, nullptr);
        if (!item) {
            item = makeItem(name, m_topicIcon);
        }
        wanted.append(item);
    }
    TreeSync::setChildren(domainItem, wanted);
    items = std::move(kept);
}

bool SysLogic::patchTopics(int domainId, QTreeWidgetItem* domainItem,
                           const std::set<std::string>& before, const std::set<std::string>& after,
                           QList<QTreeWidgetItem*>& added)
{
    QHash<QString, QTreeWidgetItem*>& items = m_topicItems[domainId];
    // The rows are the names shown, one each, in their order, unless two names read as one
    // text: then the whole pass sorts it out.
    if (domainItem->childCount() != int(before.size()) || items.size() != int(before.size())) {
        return false;
    }
    const auto text = [](const std::string& name) {
        return QString::fromUtf8(name.data(), int(name.size()));
    };
    // A few names in a large domain: walk the two lists once to check, once to change, and
    // touch only the rows that change. Many changes go through the whole pass, which adds
    // runs of rows in one model update each.
    size_t changes = 0;
    int row = 0;
    QSet<QString> addedTexts;
    auto a = before.cbegin();
    auto b = after.cbegin();
    while (a != before.cend() || b != after.cend()) {
        if (b == after.cend() || (a != before.cend() && *a < *b)) {
            if (++changes > 64 || domainItem->child(row)->text(0) != text(*a)) {
                return false;
            }
            ++row;
            ++a;
        } else if (a == before.cend() || *b < *a) {
            const QString shown = text(*b);
            if (++changes > 64 || items.contains(shown) || addedTexts.contains(shown)) {
                return false;
            }
            addedTexts.insert(shown);
            ++b;
        } else {
            ++row;
            ++a;
            ++b;
        }
    }
    row = 0;
    a = before.cbegin();
    b = after.cbegin();
    while (a != before.cend() || b != after.cend()) {
        if (b == after.cend() || (a != before.cend() && *a < *b)) {
            items.remove(text(*a));
            delete domainItem->takeChild(row);
            ++a;
        } else if (a == before.cend() || *b < *a) {
            QTreeWidgetItem* item = makeItem(text(*b), m_topicIcon);
            domainItem->insertChild(row++, item);
            items.insert(item->text(0), item);
            added.append(item);
            ++b;
        } else {
            ++row;
            ++a;
            ++b;
        }
    }
    return true;
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
    if (&pairs == &m_marks) {
        for (auto domain = m_domainItems.cbegin(); domain != m_domainItems.cend(); ++domain) {
            markDomain(domain.key(), domain.value());
        }
        return;
    }
    // Only the domains, and in them only the topics, whose counts changed.
    static const TopicPairCounts none;
    auto a = m_marks.cbegin();
    auto b = pairs.cbegin();
    while (a != m_marks.cend() || b != pairs.cend()) {
        if (b == pairs.cend() || (a != m_marks.cend() && a->first < b->first)) {
            remarkDomain(int(a->first), a->second, none);
            ++a;
        } else if (a == m_marks.cend() || b->first < a->first) {
            remarkDomain(int(b->first), none, b->second);
            ++b;
        } else {
            if (a->second != b->second) {
                remarkDomain(int(a->first), a->second, b->second);
            }
            ++a;
            ++b;
        }
    }
    m_marks = pairs;
}

void SysLogic::remarkDomain(int domainId, const TopicPairCounts& before,
                            const TopicPairCounts& after)
{
    QHash<QString, uint64_t>& byText = m_markTexts[domainId];
    QSet<QString> changed;
    const auto note = [&](const std::string& name, uint64_t was, uint64_t now) {
        const QString text = QString::fromUtf8(name.data(), int(name.size()));
        uint64_t& count = byText[text];
        count = count - was + now;
        changed.insert(text);
    };
    auto a = before.cbegin();
    auto b = after.cbegin();
    while (a != before.cend() || b != after.cend()) {
        if (b == after.cend() || (a != before.cend() && a->first < b->first)) {
            note(a->first, a->second, 0);
            ++a;
        } else if (a == before.cend() || b->first < a->first) {
            note(b->first, 0, b->second);
            ++b;
        } else {
            if (a->second != b->second) {
                note(a->first, a->second, b->second);
            }
            ++a;
            ++b;
        }
    }
    uint64_t total = 0;
    for (const auto& topic : after) {
        total += topic.second;
    }
    const auto items = m_topicItems.constFind(domainId);
    for (const QString& text : changed) {
        const uint64_t count = byText.value(text, 0);
        if (count == 0) {
            byText.remove(text);
        }
        if (items == m_topicItems.cend()) {
            continue;
        }
        const auto item = items->constFind(text);
        if (item != items->cend()) {
            mark(item.value(), count);
        }
    }
    if (byText.isEmpty()) {
        m_markTexts.remove(domainId);
    }
    if (QTreeWidgetItem* domainItem = m_domainItems.value(domainId, nullptr)) {
        mark(domainItem, total);
    }
}

void SysLogic::markDomain(int domainId, QTreeWidgetItem* domainItem,
                          const QList<QTreeWidgetItem*>* only)
{
    const QHash<QString, uint64_t> byText = m_markTexts.value(domainId);
    uint64_t total = 0;
    const auto found = m_marks.find(uint32_t(domainId));
    if (found != m_marks.end()) {
        for (const auto& topic : found->second) {
            total += topic.second;
        }
    }
    mark(domainItem, total);
    if (only) {
        for (QTreeWidgetItem* topicItem : *only) {
            mark(topicItem, byText.value(topicItem->text(0), 0));
        }
        return;
    }
    for (int i = 0; i < domainItem->childCount(); ++i) {
        QTreeWidgetItem* topicItem = domainItem->child(i);
        mark(topicItem, byText.value(topicItem->text(0), 0));
    }
}
