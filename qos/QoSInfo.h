// The "QoS信息" panel: every QoS policy of one data writer, data reader or participant as a
// two-column tree, fetched live from the middleware on each request, and again whenever the
// entity is announced anew with different data. When the entity leaves, the tree stays,
// greyed, its top item saying when it left.
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

    // True while the entity shown has left the network (the tree shows it as last seen).
    bool shownEntityLeft() const { return m_left; }

public slots:
    // GUI thread only, and never while holding MonitorLib::mutex (the lookups take it).
    void setInfo(ZORVAN::InstanceHandle_t handle, QoSType type);

private slots:
    // Delivered queued from the polling thread, or directly after a domain change. Updates the
    // shown tree in place when the entity's record changed since it was fetched, and greys it
    // when the entity left.
    void onDataChanged();

private:
    // Fetches the record that qosHandle and qosType name and makes its policy items, with the
    // record revision it was fetched at; false when there is no such entity.
    bool fetchItems(QList<QTreeWidgetItem*>& items);
    static QList<QTreeWidgetItem*> writerItems(const ZORVAN::PublicationBuiltinTopicData& data);
    static QList<QTreeWidgetItem*> readerItems(const ZORVAN::SubscriptionBuiltinTopicData& data);
    static QList<QTreeWidgetItem*>
    participantItems(const ZORVAN::ParticipantBuiltinTopicData& data);

    void showLeft(bool left);

    uint64_t m_shownRevision = 0; // MonitorLib::recordRevision of what the tree shows
    // MonitorLib::signalCount() when the entity was last looked up: a delivery of an emission
    // the lookup has already seen is skipped.
    uint64_t m_lookedUpAt = 0;
    bool m_left = false;
};
