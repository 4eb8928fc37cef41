// Records, in order, each time the QoS panel or the match panel starts showing an endpoint:
// both clear their tree first thing on every request, and nothing else resets those models.
#pragma once

#include "MatchWidget.h"
#include "QoSInfo.h"

#include <QAbstractItemModel>
#include <QObject>
#include <QStringList>
#include <QTreeWidget>

class PanelCalls : public QObject
{
public:
    PanelCalls(QoSInfo& qos, MatchWidget& match)
    {
        connect(qos.qosTree->model(), &QAbstractItemModel::modelReset, this,
                [this] { calls << QStringLiteral("qos"); });
        connect(match.treeWidget->model(), &QAbstractItemModel::modelReset, this,
                [this] { calls << QStringLiteral("match"); });
    }

    QStringList calls;
};
