// The QoS panel against a real peer process whose writer and reader QoS the test sets, and
// changes while the panel shows them, and against one that leaves while it is shown.
#include "ChangeCounter.h"
#include "EndpointLookup.h"
#include "HandleText.h"
#include "LeftMark.h"
#include "PeerProcess.h"
#include "QoSInfo.h"
#include "TabBar.h"
#include "TestEnv.h"
#include "WatchedDomain.h"

#include <QHeaderView>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

using namespace ZORVAN;

namespace {

const int discoveryMs = 15000;

// Every item as "policy" or "policy/field=value", depth first.
QStringList flatten(QTreeWidget* tree)
{
    QStringList rows;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* policy = tree->topLevelItem(i);
        rows << policy->text(0) + (policy->text(1).isEmpty() ? QString() : QStringLiteral("=?"));
        for (int j = 0; j < policy->childCount(); ++j) {
            QTreeWidgetItem* field = policy->child(j);
            rows << policy->text(0) + QLatin1Char('/') + field->text(0) + QLatin1Char('=') +
                        field->text(1);
        }
    }
    return rows;
}

bool allExpanded(QTreeWidget* tree)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = tree->topLevelItem(i);
        if (item->childCount() > 0 && !item->isExpanded()) {
            return false;
        }
    }
    return true;
}

} // namespace

class TestQoSInfo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void construction();
    void writerTree();
    void readerTree();
    void defaultReaderTree();
    void nothingShown_data();
    void nothingShown();
    void participantTree();
    void secondCallReplacesFirst();
    void queuedInvocation();
    void followsRecordChanges();
    void greyedWhenGone();

private:
    InstanceHandle_t writer() const { return HandleText::handleFromKey(m_peer.writers()[0].key); }
    InstanceHandle_t reader() const { return HandleText::handleFromKey(m_peer.readers()[0].key); }
    InstanceHandle_t plainReader() const
    {
        return HandleText::handleFromKey(m_peer.readers()[1].key);
    }

    std::unique_ptr<WatchedDomain> m_domain;
    PeerProcess m_peer;
};

void TestQoSInfo::initTestCase()
{
    const uint32_t domain = TestEnv::domain(0);
    m_domain = std::make_unique<WatchedDomain>(domain);
    QVERIFY(m_domain->isValid());
    const QString d = QString::number(domain);
    QVERIFY2(
        m_peer.startPeer({QStringLiteral("--domain"), d, QStringLiteral("--commands"),
                          QStringLiteral("--writer"), QStringLiteral("QosTopic@QosType"),
                          QStringLiteral("--qos"),
                          QStringLiteral("reliability=reliable:0.25;durability=transient_local;"
                                         "deadline=2;latency=0.5;"
                                         "liveliness=manual_by_participant:3;lifespan=4;"
                                         "userdata=hello;ownership=exclusive:7;"
                                         "destination=source;"
                                         "presentation=topic:coherent:ordered;"
                                         "partition=A|B;topicdata=td;groupdata=gd;"
                                         "durability_service=1.5:keep_all:3:100:10:10"),
                          QStringLiteral("--reader"), QStringLiteral("QosTopic@QosType"),
                          QStringLiteral("--qos"),
                          QStringLiteral("reliability=best_effort;durability=volatile;"
                                         "deadline=3;latency=0.125;"
                                         "liveliness=manual_by_topic:5;"
                                         "timebasedfilter=0.1;ownership=exclusive;"
                                         "destination=source;presentation=group:coherent;"
                                         "partition=A|B;userdata=hi;topicdata=td;"
                                         "groupdata=rg"),
                          QStringLiteral("--reader"), QStringLiteral("PlainTopic")}),
        qPrintable(m_peer.errorString()));
    QCOMPARE(int(m_peer.writers().size()), 1);
    QCOMPARE(int(m_peer.readers().size()), 2);

    // Discovery: the monitor's participant lists all three endpoints.
    MonitorLib& monitor = MonitorLib::getInstance();
    QTRY_VERIFY_WITH_TIMEOUT(findPublicationData(monitor, writer()) != nullptr, discoveryMs);
    QTRY_VERIFY_WITH_TIMEOUT(findSubscriptionData(monitor, reader()) != nullptr, discoveryMs);
    QTRY_VERIFY_WITH_TIMEOUT(findSubscriptionData(monitor, plainReader()) != nullptr, discoveryMs);
}

void TestQoSInfo::cleanupTestCase()
{
    m_peer.stop();
    m_domain.reset();
}

void TestQoSInfo::construction()
{
    QoSInfo info;
    QCOMPARE(info.qosHandle.length, 16u);
    QCOMPARE(info.qosHandle.isValid, 0u);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(info.qosHandle.value), 16),
             QByteArray(16, '\0'));
    QCOMPARE(info.stackedWidget->count(), 1);
    QCOMPARE(info.stackedWidget->widget(0), static_cast<QWidget*>(info.qosTree));
    QCOMPARE(info.tabBar->tabs.size(), 1);
    QCOMPARE(info.tabBar->currentIndex, 0);
    QCOMPARE(info.qosTree->columnCount(), 2);
    QCOMPARE(info.qosTree->headerItem()->text(0), QStringLiteral("QoS名称"));
    QCOMPARE(info.qosTree->headerItem()->text(1), QStringLiteral("QoS值"));
    QCOMPARE(info.qosTree->columnWidth(0), 200);
    QCOMPARE(info.qosTree->columnWidth(1), 200);
    // The strip ends with the two extra buttons, then "max" and "min".
    QCOMPARE(info.tabBar->rightWidgets.size(), 4);
    for (int i = 0; i < 2; ++i) {
        auto* button = qobject_cast<QPushButton*>(info.tabBar->rightWidgets[i]);
        QVERIFY(button);
        QVERIFY(button->text().isEmpty());
        QVERIFY(!button->icon().isNull());
        QVERIFY(button->property("type").toString().isEmpty());
    }
    QCOMPARE(info.tabBar->rightWidgets[2]->property("type").toString(), QStringLiteral("max"));
    QCOMPARE(info.tabBar->rightWidgets[3]->property("type").toString(), QStringLiteral("min"));
}

void TestQoSInfo::writerTree()
{
    QoSInfo info;
    info.setInfo(writer(), WriterQoS);
    const QStringList expected{
        "durability",
        "durability/kind=TRANSIENT_LOCAL_DURABILITY_QOS",
        "durability_service",
        "durability_service/service_cleanup_delay={1,500000000}",
        "durability_service/history_kind=KEEP_ALL_HISTORY_QOS",
        "durability_service/max_samples=100",
        "durability_service/max_instances=10",
        "durability_service/max_samples_per_instance=10",
        "deadline",
        "deadline/period={2,0}",
        "latency_budget",
        "latency_budget/duration={0,500000000}",
        "liveliness",
        "liveliness/kind=MANUAL_BY_PARTICIPANT_LIVELINESS_QOS",
        "liveliness/lease_duration={3,0}",
        "reliability",
        "reliability/kind=RELIABLE_RELIABILITY_QOS",
        "reliability/max_blocking_time={0,250000000}",
        "lifespan",
        "lifespan/duration={4,0}",
        "user_data",
        "user_data/value=hello",
        "ownership",
        "ownership/kind=EXCLUSIVE_OWNERSHIP_QOS",
        "ownership_strength",
        "ownership_strength/value=7",
        "destination_order",
        "destination_order/kind=BY_SOURCE_TIMESTAMP_DESTINATIONORDER_QOS",
        "presentation",
        "presentation/kind=TOPIC_PRESENTATION_QOS",
        "presentation/coherent_access=true",
        "presentation/ordered_access=true",
        "partition",
        "partition/name=AB",
        "topic_data",
        "topic_data/value=td",
        "group_data",
        "group_data/value=gd",
    };
    QCOMPARE(flatten(info.qosTree), expected);
    QCOMPARE(info.qosTree->topLevelItemCount(), 15);
    QVERIFY(allExpanded(info.qosTree));
    QVERIFY(info.qosHandle == writer());
    QCOMPARE(info.qosType, WriterQoS);
}

void TestQoSInfo::readerTree()
{
    QoSInfo info;
    info.setInfo(reader(), ReaderQoS);
    const QStringList expected{
        "user_data",
        "user_data/value=hi",
        "group_data",
        "group_data/value=rg",
        "topic_data",
        "topic_data/value=td",
        "durability",
        "durability/kind=VOLATILE_DURABILITY_QOS",
        "time_base_filter",
        "time_base_filter/minimum_separation={0,100000000}",
        "deadLine",
        "deadLine/period={3,0}",
        "latency_budget",
        "latency_budget/duration={0,125000000}",
        "liveliness",
        "liveliness/kind=MANUAL_BY_TOPIC_LIVELINESS_QOS",
        "liveliness/duration={5,0}",
        "reliablity",
        "reliablity/kind=BEST_EFFORT_RELIABILITY_QOS",
        "destination_order",
        "destination_order/kind=BY_SOURCE_TIMESTAMP_DESTINATIONORDER_QOS",
        "ownership",
        "ownership/kind=EXCLUSIVE_OWNERSHIP_QOS",
        "presentation",
        "presentation/access_scope=GROUP_PRESENTATION_QOS",
        "presentation/coherent_access=true",
        "presentation/ordered_access=false",
        "partition",
        "partition/value_0=A",
        "partition/value_1=B",
    };
    QCOMPARE(flatten(info.qosTree), expected);
    QVERIFY(allExpanded(info.qosTree));
    QCOMPARE(info.qosType, ReaderQoS);
}

// A reader with nothing set: empty octets show "empty", no partition gives no child.
void TestQoSInfo::defaultReaderTree()
{
    QoSInfo info;
    info.setInfo(plainReader(), ReaderQoS);
    const QStringList rows = flatten(info.qosTree);
    QCOMPARE(info.qosTree->topLevelItemCount(), 13);
    QVERIFY(rows.contains(QStringLiteral("user_data/value=empty")));
    QVERIFY(rows.contains(QStringLiteral("group_data/value=empty")));
    QVERIFY(rows.contains(QStringLiteral("topic_data/value=empty")));
    QCOMPARE(rows.last(), QStringLiteral("partition"));
}

void TestQoSInfo::nothingShown_data()
{
    QTest::addColumn<int>("which"); // 0 writer, 1 reader
    QTest::addColumn<int>("type");
    QTest::newRow("writer as reader") << 0 << int(ReaderQoS);
    QTest::newRow("reader as writer") << 1 << int(WriterQoS);
    QTest::newRow("type 0") << 0 << 0;
    QTest::newRow("type 4") << 1 << 4;
    QTest::newRow("writer as participant") << 0 << int(ParticipantQoS);
}

void TestQoSInfo::nothingShown()
{
    QFETCH(int, which);
    QFETCH(int, type);
    QoSInfo info;
    info.setInfo(which == 0 ? reader() : writer(), which == 0 ? ReaderQoS : WriterQoS);
    QVERIFY(info.qosTree->topLevelItemCount() > 0);
    info.setInfo(which == 0 ? writer() : reader(), QoSType(type));
    QCOMPARE(info.qosTree->topLevelItemCount(), 0);
    QCOMPARE(int(info.qosType), type);
    // The header stays.
    QCOMPARE(info.qosTree->headerItem()->text(1), QStringLiteral("QoS值"));
}

// The first monitored domain's own participant: its key as 32 hex digits.
void TestQoSInfo::participantTree()
{
    InstanceHandle_t own;
    {
        MonitorLib& monitor = MonitorLib::getInstance();
        std::lock_guard<std::mutex> lock(monitor.mutex);
        own = m_domain->participant()->get_instance_handle();
    }
    QString key;
    for (uint8_t byte : own.value) {
        key += QString::asprintf("%02x", byte);
    }
    // A caller's handle is looked up as valid whatever it says.
    InstanceHandle_t asPassed = own;
    asPassed.isValid = 0;
    QoSInfo info;
    info.setInfo(asPassed, ParticipantQoS);
    QCOMPARE(flatten(info.qosTree),
             QStringList({"key", "key/value=" + key, "user_data", "user_data/value=empty"}));
    QCOMPARE(info.qosHandle.isValid, 0u);
}

void TestQoSInfo::secondCallReplacesFirst()
{
    QoSInfo info;
    info.setInfo(writer(), WriterQoS);
    QCOMPARE(info.qosTree->topLevelItemCount(), 15);
    info.setInfo(reader(), ReaderQoS);
    QCOMPARE(info.qosTree->topLevelItemCount(), 13);
    QCOMPARE(info.qosTree->topLevelItem(0)->text(0), QStringLiteral("user_data"));
    QCOMPARE(info.qosTree->findItems(QStringLiteral("lifespan"), Qt::MatchExactly).size(), 0);
}

void TestQoSInfo::queuedInvocation()
{
    QoSInfo info;
    QVERIFY(QMetaObject::invokeMethod(&info, "setInfo", Qt::QueuedConnection,
                                      Q_ARG(ZORVAN::InstanceHandle_t, writer()),
                                      Q_ARG(QoSType, WriterQoS)));
    QTRY_COMPARE(info.qosTree->topLevelItemCount(), 15);
}

// The peer changes the writer's user data and ownership strength and the reader's user data
// at run time: open panels show the new values without another click, in place (the same
// items, a policy the operator collapsed stays collapsed, the scroll position stays).
void TestQoSInfo::followsRecordChanges()
{
    ChangeCounter spy;
    QoSInfo writerPanel;
    writerPanel.resize(420, 220);
    writerPanel.show();
    writerPanel.setInfo(writer(), WriterQoS);
    QoSInfo readerPanel;
    readerPanel.setInfo(reader(), ReaderQoS);
    QTreeWidget* tree = writerPanel.qosTree;
    QTreeWidgetItem* durability = tree->topLevelItem(0);
    durability->setExpanded(false);
    QScrollBar* bar = tree->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 2);
    bar->setValue(bar->maximum() / 2);
    const int scrolled = bar->value();

    QStringList expectedWriter = flatten(tree);
    QVERIFY(expectedWriter.removeOne(QStringLiteral("user_data/value=hello")));
    QVERIFY(expectedWriter.removeOne(QStringLiteral("ownership_strength/value=7")));
    expectedWriter.insert(expectedWriter.indexOf(QStringLiteral("user_data")) + 1,
                          QStringLiteral("user_data/value=changed"));
    expectedWriter.insert(expectedWriter.indexOf(QStringLiteral("ownership_strength")) + 1,
                          QStringLiteral("ownership_strength/value=9"));
    QStringList expectedReader = flatten(readerPanel.qosTree);
    const int readerUserData = expectedReader.indexOf(QStringLiteral("user_data/value=hi"));
    QVERIFY(readerUserData > 0);
    expectedReader[readerUserData] = QStringLiteral("user_data/value=hi2");

    const QString writerGuid = PeerProcess::hexFromKey(m_peer.writers()[0].key);
    const QString readerGuid = PeerProcess::hexFromKey(m_peer.readers()[0].key);
    QVERIFY(m_peer.send(
        QStringLiteral("qos %1 userdata=changed;ownership=exclusive:9").arg(writerGuid)));
    QCOMPARE(m_peer.waitForLine(QStringLiteral("QOS ")), QStringLiteral("QOS ") + writerGuid);
    QVERIFY(m_peer.send(QStringLiteral("qos %1 userdata=hi2").arg(readerGuid)));
    QCOMPARE(m_peer.waitForLine(QStringLiteral("QOS ")), QStringLiteral("QOS ") + readerGuid);

    QTRY_COMPARE_WITH_TIMEOUT(flatten(tree), expectedWriter, discoveryMs);
    QTRY_COMPARE_WITH_TIMEOUT(flatten(readerPanel.qosTree), expectedReader, discoveryMs);
    QVERIFY(spy.count() >= 1);
    QCOMPARE(tree->topLevelItem(0), durability);
    QVERIFY(!durability->isExpanded());
    QVERIFY(tree->topLevelItem(1)->isExpanded());
    QCOMPARE(bar->value(), scrolled);
    QVERIFY(writerPanel.qosHandle == writer());
    QCOMPARE(writerPanel.qosType, WriterQoS);
}

// The writer shown leaves: the tree stays as it was, every item greyed, and the top item says
// when it left. Shown again by a click, nothing is greyed: the panel shows what it finds.
void TestQoSInfo::greyedWhenGone()
{
    PeerProcess leaving;
    QVERIFY2(leaving.startPeer({QStringLiteral("--domain"), QString::number(TestEnv::domain(0)),
                                QStringLiteral("--writer"), QStringLiteral("Gone@GoneType"),
                                QStringLiteral("--qos"), QStringLiteral("userdata=bye")}),
             qPrintable(leaving.errorString()));
    const InstanceHandle_t handle = HandleText::handleFromKey(leaving.writers()[0].key);
    QTRY_VERIFY_WITH_TIMEOUT(findPublicationData(MonitorLib::getInstance(), handle) != nullptr,
                             discoveryMs);
    QoSInfo panel;
    panel.setInfo(handle, WriterQoS);
    const QStringList shown = flatten(panel.qosTree);
    QVERIFY(shown.contains(QStringLiteral("user_data/value=bye")));
    auto greyed = [&panel](bool expected) {
        for (int i = 0; i < panel.qosTree->topLevelItemCount(); ++i) {
            QTreeWidgetItem* policy = panel.qosTree->topLevelItem(i);
            if (LeftMark::isGreyed(policy) != expected) {
                return false;
            }
            for (int j = 0; j < policy->childCount(); ++j) {
                if (LeftMark::isGreyed(policy->child(j)) != expected) {
                    return false;
                }
            }
        }
        return true;
    };
    QVERIFY(greyed(false));
    QVERIFY(!panel.shownEntityLeft());

    QVERIFY(leaving.stop());
    QTRY_VERIFY_WITH_TIMEOUT(panel.shownEntityLeft(), discoveryMs);
    QCOMPARE(flatten(panel.qosTree), shown);
    QVERIFY(greyed(true));
    QTreeWidgetItem* top = panel.qosTree->topLevelItem(0);
    const QRegularExpression leftAt(QStringLiteral("^离开于 \\d\\d:\\d\\d:\\d\\d$"));
    QVERIFY2(leftAt.match(top->toolTip(0)).hasMatch(), qPrintable(top->toolTip(0)));
    QCOMPARE(top->toolTip(1), top->toolTip(0));
    QVERIFY(panel.qosTree->topLevelItem(1)->toolTip(0).isEmpty());

    // Another click on the gone writer finds nothing and shows nothing.
    panel.setInfo(handle, WriterQoS);
    QCOMPARE(panel.qosTree->topLevelItemCount(), 0);
    QVERIFY(!panel.shownEntityLeft());
    // A live one is shown ungreyed.
    panel.setInfo(writer(), WriterQoS);
    QCOMPARE(panel.qosTree->topLevelItemCount(), 15);
    QVERIFY(greyed(false));
}

QTEST_MAIN(TestQoSInfo)
#include "tst_qosinfo.moc"
