// The QoS and match panels in the situations a real middleware does not produce on demand:
// failed listings and fetches, the same handle listed in two domains, and topic names that are
// not valid UTF-8.
#include "ComparisonRows.h"
#include "FakeParticipant.h"
#include "HandleText.h"
#include "MatchWidget.h"
#include "MonitorFixture.h"
#include "QoSInfo.h"
#include "StdoutCapture.h"
#include "TestEnv.h"

#include <QTreeWidget>
#include <QtTest>
#include <cstring>

using namespace ZORVAN;

namespace {

PublicationBuiltinTopicData writerRecord(uint8_t keyByte, uint8_t participantByte,
                                         const std::string& topic, const std::string& type)
{
    PublicationBuiltinTopicData d;
    d.key = FakeParticipant::key(keyByte);
    d.participant_key = FakeParticipant::key(participantByte);
    d.topic_name = topic;
    d.type_name = type;
    d.reliability.kind = 2;
    return d;
}

SubscriptionBuiltinTopicData readerRecord(uint8_t keyByte, uint8_t participantByte,
                                          const std::string& topic, const std::string& type)
{
    SubscriptionBuiltinTopicData d;
    d.key = FakeParticipant::key(keyByte);
    d.participant_key = FakeParticipant::key(participantByte);
    d.topic_name = topic;
    d.type_name = type;
    d.reliability.kind = 1;
    return d;
}

// A participant record; without `exe` it announces nothing and shows the defaults.
ParticipantBuiltinTopicData participantRecord(uint8_t keyByte, const std::string& exe = "")
{
    ParticipantBuiltinTopicData d;
    d.key = FakeParticipant::key(keyByte);
    if (!exe.empty()) {
        d.property.value.push_back({"dds.sys_info.executable_filepath", exe, true});
    }
    return d;
}

InstanceHandle_t handleOf(uint8_t keyByte)
{
    return HandleText::handleFromKey(FakeParticipant::key(keyByte));
}

QTreeWidgetItem* child(QTreeWidgetItem* item, const QString& column0)
{
    for (int i = 0; i < item->childCount(); ++i) {
        if (item->child(i)->text(0) == column0) {
            return item->child(i);
        }
    }
    return nullptr;
}

} // namespace

class TestQosDouble : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { m_fixture.clear(); }
    void failedPublicationListingSkipsDomain();
    void failedFetchesAreReportedAndSkipped();
    void sameHandleInTwoDomains();
    void unknownSelectedEndpoint();
    void participantRecordsThatCannotBeFetched();
    void topicNameNotUtf8();
    void changedAnnouncementsUpdateInPlace();

private:
    MonitorFixture m_fixture;
};

// A domain whose writer listing fails is left out of the scan, subscriptions included; the
// next domain is still scanned.
void TestQosDouble::failedPublicationListingSkipsDomain()
{
    const uint32_t d1 = TestEnv::domain(0);
    const uint32_t d2 = TestEnv::domain(1);
    FakeParticipant& broken = m_fixture.addDomain(d1);
    FakeParticipant& good = m_fixture.addDomain(d2);
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        broken.failures.publications = true;
        broken.addParticipant(participantRecord(0x30));
        broken.addSubscription(readerRecord(0x31, 0x30, "T", "Ty"));
        good.addParticipant(participantRecord(0x40));
        good.addPublication(writerRecord(0x41, 0x40, "T", "Ty"));
        good.addSubscription(readerRecord(0x42, 0x40, "T", "Ty"));
    }

    MatchWidget panel;
    StdoutCapture out;
    // The writer in the good domain: its reader is found despite the broken domain.
    panel.setMatchHandle(d2, handleOf(0x41), WriterMatch);
    // once from the lookup of the selected writer, once from the scan
    QCOMPARE(out.count(QStringLiteral("get_publications failed")), 2);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
    QCOMPARE(panel.treeWidget->topLevelItem(0)->text(0),
             HandleText::text(HandleText::keyOf(handleOf(0x42))));

    // The reader in the broken domain: the scan skips that domain's readers and writers.
    StdoutCapture out2;
    panel.setMatchHandle(d1, handleOf(0x31), ReaderMatch);
    QCOMPARE(out2.count(QStringLiteral("get_publications failed")), 1);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 0);
}

void TestQosDouble::failedFetchesAreReportedAndSkipped()
{
    const uint32_t d1 = TestEnv::domain(0);
    FakeParticipant& fake = m_fixture.addDomain(d1);
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        fake.addParticipant(participantRecord(0x50));
        fake.addPublication(writerRecord(0x51, 0x50, "T", "Ty"));
        fake.addSubscription(readerRecord(0x52, 0x50, "T", "Ty"));
        fake.addSubscription(readerRecord(0x53, 0x50, "T", "Ty"));
        fake.failures.subscriptionData = true;
    }
    MatchWidget panel;
    StdoutCapture out;
    panel.setMatchHandle(d1, handleOf(0x51), WriterMatch);
    // Both readers fail to fetch during the scan: reported each, none taken.
    QCOMPARE(out.count(QStringLiteral("get_subscription_data failed")), 2);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 0);
    QCOMPARE(panel.treeWidget->headerItem()->text(3), QStringLiteral("订阅端"));

    // A record the QoS panel cannot fetch is reported and shows nothing, where a default
    // record would pass for the writer's real QoS (VOLATILE, no reliability kind).
    QoSInfo info;
    info.setInfo(handleOf(0x51), WriterQoS);
    QCOMPARE(info.qosTree->topLevelItemCount(), 15);
    QCOMPARE(info.qosTree->topLevelItem(5)->child(0)->text(1),
             QStringLiteral("RELIABLE_RELIABILITY_QOS"));
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        fake.failures.publicationData = true;
    }
    StdoutCapture out2;
    info.setInfo(handleOf(0x51), WriterQoS);
    QCOMPARE(info.qosTree->topLevelItemCount(), 0);
    QCOMPARE(out2.count(QStringLiteral("get_publication_data failed")), 1);
    info.setInfo(handleOf(0x52), ReaderQoS);
    QCOMPARE(info.qosTree->topLevelItemCount(), 0);
    QCOMPARE(out2.count(QStringLiteral("get_subscription_data failed")), 1);
}

// The QoS panel takes the first domain that lists a handle. The match panel compares the
// endpoints of the domain asked for: the counterpart's type name, process and QoS all come
// from that domain's record, never from another domain's endpoint with the same handle.
void TestQosDouble::sameHandleInTwoDomains()
{
    const uint32_t d1 = TestEnv::domain(0);
    const uint32_t d2 = TestEnv::domain(1);
    FakeParticipant& first = m_fixture.addDomain(d1);
    FakeParticipant& second = m_fixture.addDomain(d2);
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        PublicationBuiltinTopicData w1 = writerRecord(0x61, 0x60, "T", "FirstType");
        w1.durability.kind = 1;
        first.addPublication(w1);
        first.addParticipant(participantRecord(0x60, "/opt/first/app1"));
        first.addSubscription(readerRecord(0x62, 0x60, "T", "ReaderType"));
        PublicationBuiltinTopicData w2 = writerRecord(0x61, 0x70, "T", "SecondType");
        w2.durability.kind = 3;
        second.addPublication(w2);
        second.addParticipant(participantRecord(0x70, "/opt/second/app2"));
    }

    QoSInfo info;
    info.setInfo(handleOf(0x61), WriterQoS);
    QCOMPARE(info.qosTree->topLevelItem(0)->child(0)->text(1),
             QStringLiteral("TRANSIENT_LOCAL_DURABILITY_QOS"));

    // Selecting the reader makes the doubled writer the counterpart.
    MatchWidget panel;
    panel.setMatchHandle(d1, handleOf(0x62), ReaderMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
    QTreeWidgetItem* top = panel.treeWidget->topLevelItem(0);
    QCOMPARE(top->text(1), QStringLiteral("app1"));
    QCOMPARE(top->text(2), QStringLiteral("是"));
    QTreeWidgetItem* typeRow = child(top, QStringLiteral("类型名称"));
    QVERIFY(typeRow);
    QCOMPARE(typeRow->text(2), QStringLiteral("FirstType"));
    QCOMPARE(typeRow->text(3), QStringLiteral("ReaderType"));
    QTreeWidgetItem* durability =
        child(child(top, QStringLiteral("QoS匹配项")), QStringLiteral("durability"));
    QVERIFY(durability);
    QCOMPARE(durability->child(0)->text(2), QStringLiteral("TRANSIENT_LOCAL_DURABILITY_QOS"));
}

// A selected endpoint that is not found keeps side -1 and an empty topic: only endpoints with
// an empty topic name count, the top row gets no markers, and with no writer-side record the
// comparison stops after the lone durability row.
void TestQosDouble::unknownSelectedEndpoint()
{
    const uint32_t d1 = TestEnv::domain(0);
    FakeParticipant& fake = m_fixture.addDomain(d1);
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        fake.addParticipant(participantRecord(0x80));
        fake.addPublication(writerRecord(0x81, 0x80, "T", "Ty"));
        fake.addSubscription(readerRecord(0x82, 0x80, "T", "Ty"));
        fake.addSubscription(readerRecord(0x83, 0x80, "", "NoTopic"));
    }
    MatchWidget panel;
    panel.setMatchHandle(d1, handleOf(0x99), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
    QTreeWidgetItem* top = panel.treeWidget->topLevelItem(0);
    QCOMPARE(top->text(0), HandleText::text(HandleText::keyOf(handleOf(0x83))));
    QCOMPARE(top->text(1), QStringLiteral("exe"));
    QVERIFY(top->data(2, Qt::DisplayRole).isNull());
    QVERIFY(top->data(3, Qt::DisplayRole).isNull());
    QCOMPARE(top->childCount(), 3);
    QTreeWidgetItem* typeRow = child(top, QStringLiteral("类型名称"));
    QCOMPARE(typeRow->text(2), QString());
    QCOMPARE(typeRow->text(3), QStringLiteral("NoTopic"));
    QTreeWidgetItem* qos = child(top, QStringLiteral("QoS匹配项"));
    QCOMPARE(qos->childCount(), 1);
    QCOMPARE(qos->child(0)->text(0), QStringLiteral("durability"));
    QCOMPARE(qos->child(0)->childCount(), 0);
    // No expansion state is set when the comparison stops early.
    QVERIFY(!qos->isExpanded());
}

// An endpoint whose participant's record cannot be fetched runs in no known process: as the
// chosen endpoint it is not found, as a counterpart it gets no row (rather than a made-up
// process); the line is printed each time.
void TestQosDouble::participantRecordsThatCannotBeFetched()
{
    const uint32_t d1 = TestEnv::domain(0);
    FakeParticipant& fake = m_fixture.addDomain(d1);
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        fake.addParticipant(participantRecord(0x90, "/usr/bin/known"));
        fake.addPublication(writerRecord(0x91, 0x90, "T", "Ty"));
        // 0x9f is no participant the double knows.
        fake.addSubscription(readerRecord(0x92, 0x9f, "T", "Ty"));
        fake.addPublication(writerRecord(0x93, 0x9f, "U", "Ty"));
        fake.addSubscription(readerRecord(0x94, 0x90, "U", "Ty"));
    }
    const QString line = QStringLiteral("get_discovered_participant_data failed");
    MatchWidget panel;
    StdoutCapture out;
    panel.setMatchHandle(d1, handleOf(0x91), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 0);
    QCOMPARE(out.count(line), 1);

    // Selected, it is not found, and its topic's reader is not shown against nothing.
    panel.setMatchHandle(d1, handleOf(0x93), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 0);
    QCOMPARE(out.count(line), 2);

    // Seen from the known reader of U, the writer is left out as a counterpart.
    panel.setMatchHandle(d1, handleOf(0x94), ReaderMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 0);
    QCOMPARE(out.count(line), 3);

    // Once the participant is known, it shows with its process.
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        fake.addParticipant(participantRecord(0x9f, "/usr/bin/late"));
    }
    panel.setMatchHandle(d1, handleOf(0x91), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
    QCOMPARE(panel.treeWidget->topLevelItem(0)->text(1), QStringLiteral("late"));

    // The QoS panel's own participant: no record, no tree (not a key of zeros).
    QoSInfo info;
    const InstanceHandle_t own = fake.get_instance_handle();
    info.setInfo(own, ParticipantQoS);
    QCOMPARE(info.qosTree->topLevelItemCount(), 0);
    QCOMPARE(out.count(line), 4);
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        ParticipantBuiltinTopicData self;
        std::memcpy(self.key.value, own.value, sizeof(self.key.value));
        fake.addParticipant(self);
    }
    info.setInfo(own, ParticipantQoS);
    QCOMPARE(info.qosTree->topLevelItemCount(), 2);
    QCOMPARE(info.qosTree->topLevelItem(0)->child(0)->text(1).left(8), QStringLiteral("eeeeeeee"));
}

// A writer and a reader on a topic whose name is not valid UTF-8 find each other; a topic
// whose bytes differ is still another topic.
void TestQosDouble::topicNameNotUtf8()
{
    const uint32_t d1 = TestEnv::domain(0);
    FakeParticipant& fake = m_fixture.addDomain(d1);
    const std::string topic("T\xff\xfe");
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        fake.addParticipant(participantRecord(0xa0, "/usr/bin/odd"));
        fake.addPublication(writerRecord(0xa1, 0xa0, topic, "Ty"));
        fake.addSubscription(readerRecord(0xa2, 0xa0, topic, "Ty"));
        fake.addSubscription(readerRecord(0xa3, 0xa0, "T", "Ty"));
    }
    MatchWidget panel;
    panel.setMatchHandle(d1, handleOf(0xa1), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
    QCOMPARE(panel.treeWidget->topLevelItem(0)->text(0),
             HandleText::text(HandleText::keyOf(handleOf(0xa2))));
    panel.setMatchHandle(d1, handleOf(0xa2), ReaderMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
    QCOMPARE(panel.treeWidget->topLevelItem(0)->text(0),
             HandleText::text(HandleText::keyOf(handleOf(0xa1))));
    panel.setMatchHandle(d1, handleOf(0xa3), ReaderMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 0);
}

// A writer and a reader that announce new QoS under the same handles (the monitor tells of it
// with dataChanged()): the comparison follows in place, with the operator's expansion kept, and
// a change that concerns neither touches no row.
void TestQosDouble::changedAnnouncementsUpdateInPlace()
{
    const uint32_t d1 = TestEnv::domain(0);
    FakeParticipant& fake = m_fixture.addDomain(d1);
    MonitorLib& monitor = MonitorLib::getInstance();
    const PublicationBuiltinTopicData reliableWriter = writerRecord(0xb1, 0xb0, "T", "Ty");
    const SubscriptionBuiltinTopicData bestEffortReader = readerRecord(0xb2, 0xb0, "T", "Ty");
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        fake.addParticipant(participantRecord(0xb0, "/usr/bin/feed"));
        fake.addPublication(reliableWriter);
        fake.addSubscription(bestEffortReader);
    }
    MatchWidget panel;
    panel.setMatchHandle(d1, handleOf(0xb1), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
    QTreeWidgetItem* top = panel.treeWidget->topLevelItem(0);
    QCOMPARE(top->toolTip(0), QStringLiteral("可以匹配"));
    QTreeWidgetItem* qos = child(top, QStringLiteral("QoS匹配项"));
    QTreeWidgetItem* presentation = child(qos, QStringLiteral("presentation"));
    QTreeWidgetItem* reliability =
        child(child(qos, QStringLiteral("reliability")), QStringLiteral("kind"));
    QVERIFY(presentation && reliability);
    QCOMPARE(reliability->text(3), QStringLiteral("BEST_EFFORT_RELIABILITY_QOS"));
    top->setExpanded(true);
    presentation->setExpanded(false);

    int resets = 0;
    int changedItems = 0;
    QAbstractItemModel* model = panel.treeWidget->model();
    connect(model, &QAbstractItemModel::modelReset, this, [&resets] { ++resets; });
    connect(model, &QAbstractItemModel::dataChanged, this, [&changedItems] { ++changedItems; });

    // A change elsewhere: nothing to update.
    emit monitor.dataChanged();
    QCOMPARE(changedItems, 0);

    // The shown writer now offers best effort, and the reader asks for reliable.
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        PublicationBuiltinTopicData w = reliableWriter;
        w.reliability.kind = 1;
        fake.addPublication(w);
        SubscriptionBuiltinTopicData r = bestEffortReader;
        r.reliability.kind = 2;
        fake.addSubscription(r);
    }
    // The counterpart's new record is read once the monitor's next pass has noted the change
    // and announced it.
    QTRY_COMPARE(reliability->text(3), QStringLiteral("RELIABLE_RELIABILITY_QOS"));
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
    QCOMPARE(panel.treeWidget->topLevelItem(0), top);
    QCOMPARE(reliability->text(2), QStringLiteral("BEST_EFFORT_RELIABILITY_QOS"));
    QCOMPARE(reliability->text(3), QStringLiteral("RELIABLE_RELIABILITY_QOS"));
    for (int c = 0; c < 4; ++c) {
        QCOMPARE(reliability->foreground(c).color(), ComparisonRows::brokenColour());
        QVERIFY2(reliability->toolTip(c).startsWith(QStringLiteral("reliability：")),
                 qPrintable(reliability->toolTip(c)));
    }
    QVERIFY2(top->toolTip(0).startsWith(QStringLiteral("无法匹配：reliability：")),
             qPrintable(top->toolTip(0)));
    QVERIFY(top->isExpanded());
    QVERIFY(!presentation->isExpanded());
    QVERIFY(changedItems > 0);
    QCOMPARE(resets, 0);

    // The reader settles for best effort again: the marks go.
    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        fake.addSubscription(bestEffortReader);
    }
    QTRY_COMPARE(reliability->text(3), QStringLiteral("BEST_EFFORT_RELIABILITY_QOS"));
    QVERIFY(!reliability->data(2, Qt::ForegroundRole).isValid());
    QVERIFY(reliability->toolTip(2).isEmpty());
    QCOMPARE(top->toolTip(0), QStringLiteral("可以匹配"));
    QVERIFY(top->isExpanded());
    QCOMPARE(resets, 0);
}

QTEST_MAIN(TestQosDouble)
#include "tst_qosdouble.moc"
