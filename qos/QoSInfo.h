// The "QoS信息" panel: every QoS policy of one data writer, data reader or participant as a
// two-column tree, fetched live from the middleware on each request.
#pragma once

#include "MetaTypes.h"
#include "QoSType.h"
#include "TabWidget.h"
#include "ZorvanTypes.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace ZORVAN {
struct ParticipantBuiltinTopicData;
struct PublicationBuiltinTopicData;
struct SubscriptionBuiltinTopicData;
} // namespace ZORVAN

class QoSInfo : public TabWidget
{
    Q_OBJECT

public:
    explicit QoSInfo(QWidget* parent = nullptr);

    // The title of the panel's own tab, which stays open, in the operator's language.
    static QString fixedTabTitle();

    QTreeWidget* qosTree = nullptr;
    QoSType qosType = QoSType(0); // nothing shown yet
    ZORVAN::InstanceHandle_t qosHandle;

public slots:
    // GUI thread only, and never while holding MonitorLib::mutex (the lookups take it).
    void setInfo(ZORVAN::InstanceHandle_t handle, QoSType type);

private:
    void showWriter(const ZORVAN::PublicationBuiltinTopicData& data);
    void showReader(const ZORVAN::SubscriptionBuiltinTopicData& data);
    void showParticipant(const ZORVAN::ParticipantBuiltinTopicData& data);
};
