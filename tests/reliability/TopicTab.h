// Opens a topic's detail tab in the real main window the way an operator does: a double click
// on the topic in the logical view.
#pragma once

#include "BrelvaneQtDemo.h"
#include "BrelvaneWidget.h"
#include "Clicks.h"
#include "DetailWidget.h"
#include "MyTab.h"
#include "SysLogic.h"
#include "TabBar.h"
#include "TopicInfo.h"

#include <QStackedWidget>
#include <QTreeWidget>

namespace TopicTab {

// Returns the page the double click brought forward, or null when the logical view does not
// show the topic. With `fresh`, an open tab of the topic is closed first, so that the page is
// filled anew (an open tab is a snapshot and is only brought forward).
inline TopicInfo* open(BrelvaneQtDemo& window, uint32_t domain, const QString& topic,
                       bool fresh = false)
{
    DetailWidget* detail = window.detailWidget;
    if (fresh) {
        const QString title = DetailWidget::topicTabTitle(domain, topic);
        for (MyTab* tab : detail->tabBar->tabs) {
            if (tab->title == title) {
                emit tab->closeRequest();
                break;
            }
        }
    }
    SysLogic* logic = window.widget->sysLogic;
    QTreeWidgetItem* item = Clicks::child(logic->m_domainItems.value(int(domain), nullptr), topic);
    if (!item) {
        return nullptr;
    }
    logic->m_rootItem->setExpanded(true);
    item->parent()->setExpanded(true);
    Clicks::doubleClick(logic->treeWidget, item);
    return qobject_cast<TopicInfo*>(detail->stackedWidget->currentWidget());
}

} // namespace TopicTab
