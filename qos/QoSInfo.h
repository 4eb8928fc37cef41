// The "QoS信息" panel: every QoS policy of one data writer, data reader or participant as a
// two-column tree, fetched live from the middleware on each request, and again whenever the
// entity is announced anew with different data.
#pragma once

#include "MetaTypes.h"
#include "QoSType.h"
#include "TabWidget.h"
#include "ZorvanTypes.h"

#include <QList>
#include <cstdint>

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

private slots:
    // Delivered queued from the polling thread, or directly after a domain change. Updates the
    // shown tree in place when the entity's record changed since it was fetched.
    void onDataChanged();

private:
    // Fetches the record that qosHandle and qosType name and makes its policy items, with the
    // record revision it was fetched at; false when there is no such entity.
    bool fetchItems(QList<QTreeWidgetItem*>& items);
    static QList<QTreeWidgetItem*> writerItems(const ZORVAN::PublicationBuiltinTopicData& data);
    static QList<QTreeWidgetItem*> readerItems(const ZORVAN::SubscriptionBuiltinTopicData& data);
    static QList<QTreeWidgetItem*>
    participantItems(const ZORVAN::ParticipantBuiltinTopicData& data);

    uint64_t m_shownRevision = 0; // MonitorLib::recordRevision of what the tree shows
};
