// The QoS and match panels in the situations a real middleware does not produce on demand:
// failed listings and fetches, and the same handle listed in two domains.
#include "FakeParticipant.h"
#include "HandleText.h"
#include "MatchWidget.h"
#include "MonitorFixture.h"
#include "QoSInfo.h"
#include "StdoutCapture.h"
#include "TestEnv.h"

#include <QTreeWidget>
#include <QtTest>

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

ParticipantBuiltinTopicData participantRecord(uint8_t keyByte, const std::string& exe)
{
    ParticipantBuiltinTopicData d;
    d.key = FakeParticipant::key(keyByte);
    d.property.value.push_back({"dds.sys_info.executable_filepath", exe, true});
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
        broken.addSubscription(readerRecord(0x31, 0x30, "T", "Ty"));
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

    // The QoS panel does not test the fetch: a failing one shows the record's defaults.
    QoSInfo info;
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        fake.failures.publicationData = true;
    }
    info.setInfo(handleOf(0x51), WriterQoS);
    QCOMPARE(info.qosTree->topLevelItemCount(), 15);
    QCOMPARE(info.qosTree->topLevelItem(0)->child(0)->text(1),
             QStringLiteral("VOLATILE_DURABILITY_QOS"));
    QCOMPARE(info.qosTree->topLevelItem(5)->child(0)->text(1), QString());
}

// The data lookups take the first domain that lists a handle, the endpoint lookup the last:
// the writer's type name comes from the later domain, its QoS from the earlier one.
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
    QCOMPARE(top->text(1), QStringLiteral("app2"));
    QCOMPARE(top->text(2), QStringLiteral("是"));
    QTreeWidgetItem* typeRow = child(top, QStringLiteral("类型名称"));
    QVERIFY(typeRow);
    QCOMPARE(typeRow->text(2), QStringLiteral("SecondType"));
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

QTEST_MAIN(TestQosDouble)
#include "tst_qosdouble.moc"
