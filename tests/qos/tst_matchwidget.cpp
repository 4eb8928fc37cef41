// The match analysis against real peers: counterpart choice, the comparison rows with both
// sides' values, markers, process names and the expansion state.
#include "Counterparts.h"
#include "EndpointLookup.h"
#include "HandleText.h"
#include "MatchWidget.h"
#include "PeerProcess.h"
#include "TabBar.h"
#include "TestEnv.h"
#include "WatchedDomain.h"

#include <QHeaderView>
#include <QTreeWidget>
#include <QtTest>
#include <memory>

using namespace ZORVAN;

namespace {

const int discoveryMs = 15000;

// One line per item: indentation by depth, then the texts of the columns the item has.
void flattenItem(QTreeWidgetItem* item, int depth, QStringList& rows)
{
    QStringList columns;
    for (int c = 0; c < item->columnCount(); ++c) {
        columns << item->text(c);
    }
    rows << QString(2 * depth, QLatin1Char(' ')) + columns.join(QLatin1Char('|'));
    for (int i = 0; i < item->childCount(); ++i) {
        flattenItem(item->child(i), depth + 1, rows);
    }
}

QStringList flatten(QTreeWidget* tree)
{
    QStringList rows;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        flattenItem(tree->topLevelItem(i), 0, rows);
    }
    return rows;
}

// True when no item below `item` is collapsed.
bool openBelow(QTreeWidgetItem* item)
{
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        if (!child->isExpanded() || !openBelow(child)) {
            return false;
        }
    }
    return true;
}

// True when some item carries a colour, icon or font: the panel judges nothing.
bool anyMarking(QTreeWidgetItem* item)
{
    for (int c = 0; c < 4; ++c) {
        for (int role : {Qt::BackgroundRole, Qt::ForegroundRole, Qt::DecorationRole, Qt::FontRole,
                         Qt::CheckStateRole}) {
            if (item->data(c, role).isValid()) {
                return true;
            }
        }
    }
    for (int i = 0; i < item->childCount(); ++i) {
        if (anyMarking(item->child(i))) {
            return true;
        }
    }
    return false;
}

QString hexOf(const std::string& key)
{
    return HandleText::text(key);
}

// The rows below the top row for the Mismatch pair, writer values in column 2 and reader
// values in column 3 whichever side is selected.
QStringList mismatchRows()
{
    return {
        "  类型名称|类型名称必须相等|WType|RType",
        "  类型编码|类型编码必须相同",
        "  QoS匹配项|QoS必须满足RxO规则",
        "    durability",
        "      |发布端>=订阅端|VOLATILE_DURABILITY_QOS|TRANSIENT_LOCAL_DURABILITY_QOS",
        "    presentation|需要满足一下三个条件",
        "      coherent|发布端 >= 订阅端（true>false）|false|true",
        "      order_access|发布端 >= 订阅端（true>false）|false|true",
        "      access_scope|发布端 >= 订阅端（GROUP>TOPIC>INSTANCE）|INSTANCE_PRESENTATION_QOS|"
        "TOPIC_PRESENTATION_QOS",
        "    deadline",
        "      period|发布端<=订阅端|{2,0}|{1,0}",
        "    latency_budget",
        "      duration|发布端<=订阅端|{0,500000000}|{0,250000000}",
        "    ownership",
        "      kind|发布端==订阅端|SHARED_OWNERSHIP_QOS|EXCLUSIVE_OWNERSHIP_QOS",
        "    liveliness|需满足以下两个条件",
        "      kind|发布端>=订阅端（MANUAL_BY_TOPIC>MANUAL_BY_PARTICIPANT>AUTOMATIC）|"
        "AUTOMATIC_LIVELINESS_QOS|MANUAL_BY_TOPIC_LIVELINESS_QOS",
        "      lease_duraton|发布端<=订阅端|{4,0}|{2,0}",
        "    reliability",
        "      kind|发布端>=订阅端（RELIABLE>BEST_EFFORT）|BEST_EFFORT_RELIABILITY_QOS|"
        "RELIABLE_RELIABILITY_QOS",
        "    destination",
        "      kind|发布端>=订阅端（BY_SOURCE_TIMESTAMP>BY_RECEPTION_TIMESTAMP）|"
        "BY_RECEPTION_TIMESTAMP_DESTINATIONORDER_QOS|BY_SOURCE_TIMESTAMP_DESTINATIONORDER_QOS",
    };
}

} // namespace

class TestMatchWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void construction();
    void writerWithoutReader();
    void writerWithTwoReaders();
    void everyCounterpartInListingOrder();
    void readerSelected();
    void writerSelected();
    void otherDomainNotTaken();
    void topicCaseDiffers();
    void otherTypeLeavesEmpty_data();
    void otherTypeLeavesEmpty();
    void queuedInvocation();

private:
    // Writers: 0 Lonely, 1 Pair, 2 Mismatch, 3 Cross, 4 CaseTopic (participant A, no system
    // information). Readers: 0 Pair (A); 1 Pair, 2 Mismatch, 3 Cross, 4 casetopic (participant
    // B, executable /usr/bin/radar); 5 Lonely, 6 Cross (participant C in the second domain).
    InstanceHandle_t writer(int i) const
    {
        return HandleText::handleFromKey(m_peer.writers()[size_t(i)].key);
    }
    InstanceHandle_t reader(int i) const
    {
        return HandleText::handleFromKey(m_peer.readers()[size_t(i)].key);
    }
    QString writerText(int i) const { return hexOf(m_peer.writers()[size_t(i)].key); }
    // The keys of the first domain's readers on `topic`, in the middleware's listing order.
    std::vector<std::string> listedReaders(const std::string& topic) const
    {
        std::vector<std::string> keys;
        MonitorLib& monitor = MonitorLib::getInstance();
        std::lock_guard<std::mutex> lock(monitor.mutex);
        InstanceHandleSeq handles;
        if (m_domain1->participant()->get_subscriptions(handles, true) != RETCODE_OK) {
            return keys;
        }
        for (const InstanceHandle_t& h : handles) {
            SubscriptionBuiltinTopicData data;
            if (m_domain1->participant()->get_subscription_data(data, h) == RETCODE_OK &&
                data.topic_name == topic) {
                keys.push_back(HandleText::keyOf(h));
            }
        }
        return keys;
    }
    QString readerText(int i) const { return hexOf(m_peer.readers()[size_t(i)].key); }

    uint32_t m_d1 = 0;
    uint32_t m_d2 = 0;
    std::unique_ptr<WatchedDomain> m_domain1;
    std::unique_ptr<WatchedDomain> m_domain2;
    PeerProcess m_peer;
};

void TestMatchWidget::initTestCase()
{
    m_d1 = TestEnv::domain(0);
    m_d2 = TestEnv::domain(1);
    m_domain1 = std::make_unique<WatchedDomain>(m_d1);
    m_domain2 = std::make_unique<WatchedDomain>(m_d2);
    QVERIFY(m_domain1->isValid());
    QVERIFY(m_domain2->isValid());

    const QString mismatchWriter = QStringLiteral(
        "reliability=best_effort;durability=volatile;deadline=2;latency=0.5;"
        "liveliness=automatic:4;ownership=shared;destination=reception;presentation=instance");
    const QString mismatchReader =
        QStringLiteral("reliability=reliable;durability=transient_local;deadline=1;latency=0.25;"
                       "liveliness=manual_by_topic:2;ownership=exclusive;destination=source;"
                       "presentation=topic:coherent:ordered");
    const QStringList args{"--domain",       QString::number(m_d1),
                           "--participant",  "--prop",
                           "other.name=x",   "--writer",
                           "Lonely",         "--writer",
                           "Pair",           "--writer",
                           "Mismatch@WType", "--qos",
                           mismatchWriter,   "--writer",
                           "Cross",          "--writer",
                           "CaseTopic",      "--reader",
                           "Pair",           "--participant",
                           "--sysinfo",      "exe=/usr/bin/radar",
                           "--reader",       "Pair",
                           "--reader",       "Mismatch@RType",
                           "--qos",          mismatchReader,
                           "--reader",       "Cross",
                           "--reader",       "casetopic",
                           "--domain",       QString::number(m_d2),
                           "--participant",  "--reader",
                           "Lonely",         "--reader",
                           "Cross"};
    QVERIFY2(m_peer.startPeer(args), qPrintable(m_peer.errorString()));
    QCOMPARE(int(m_peer.writers().size()), 5);
    QCOMPARE(int(m_peer.readers().size()), 7);

    // Discovery: the monitor sees every endpoint with its participant's system information.
    MonitorLib& monitor = MonitorLib::getInstance();
    for (int i = 0; i < 5; ++i) {
        QTRY_VERIFY_WITH_TIMEOUT(findPublicationData(monitor, writer(i)) != nullptr, discoveryMs);
    }
    for (int i = 0; i < 7; ++i) {
        QTRY_VERIFY_WITH_TIMEOUT(findSubscriptionData(monitor, reader(i)) != nullptr, discoveryMs);
    }
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            EndpointInfo info;
            findEndpointInfo(monitor, m_d1, reader(2), ReaderMatch, info);
            return info.processName == "radar";
        }(),
        discoveryMs);
}

void TestMatchWidget::cleanupTestCase()
{
    m_peer.stop();
    m_domain2.reset();
    m_domain1.reset();
}

void TestMatchWidget::construction()
{
    MatchWidget panel;
    QCOMPARE(panel.tabBar->tabs.size(), 1);
    QCOMPARE(panel.tabBar->currentIndex, 0);
    QVERIFY(!panel.treeWidget->header()->isHidden());
    QCOMPARE(panel.treeWidget->columnCount(), 4);
    QTreeWidgetItem* header = panel.treeWidget->headerItem();
    QCOMPARE(header->text(0), QStringLiteral("检查项"));
    QCOMPARE(header->text(1), QStringLiteral("匹配规则"));
    QCOMPARE(header->text(2), QStringLiteral("发布端"));
    QCOMPARE(header->text(3), QStringLiteral("订阅端"));
}

// The only reader of the topic is in the other domain: nothing to compare, header kept.
void TestMatchWidget::writerWithoutReader()
{
    MatchWidget panel;
    panel.setMatchHandle(m_d1, writer(2), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
    panel.setMatchHandle(m_d1, writer(0), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 0);
    QVERIFY(!panel.treeWidget->header()->isHidden());
    QCOMPARE(panel.treeWidget->columnCount(), 4);
    QCOMPARE(panel.treeWidget->headerItem()->text(2), QStringLiteral("发布端"));
}

// Of two readers on the topic, the one the middleware lists last is shown, alone.
void TestMatchWidget::writerWithTwoReaders()
{
    const std::vector<std::string> listed = listedReaders("Pair");
    QVERIFY(!listed.empty());
    const std::string lastListed = listed.back();
    QVERIFY(lastListed == m_peer.readers()[0].key || lastListed == m_peer.readers()[1].key);
    const QString process =
        lastListed == m_peer.readers()[0].key ? QStringLiteral("exe") : QStringLiteral("radar");

    MatchWidget panel;
    panel.setMatchHandle(m_d1, writer(1), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
    QTreeWidgetItem* top = panel.treeWidget->topLevelItem(0);
    QCOMPARE(top->text(0), hexOf(lastListed));
    QCOMPARE(top->text(0).size(), 34);
    QCOMPARE(top->text(1), process);
    QCOMPARE(top->child(0)->text(2), QStringLiteral("PeerSample"));
    QCOMPARE(top->child(0)->text(3), QStringLiteral("PeerSample"));
}

// The scan behind the panel keeps every endpoint of the topic in the domain, each side in the
// order the middleware lists it; the panel shows the last of the other side.
void TestMatchWidget::everyCounterpartInListingOrder()
{
    const std::vector<std::string> listed = listedReaders("Pair");
    const Counterparts found = scanCounterparts(MonitorLib::getInstance(), m_d1, "Pair");
    std::vector<std::string> readers;
    for (const DiscoveredReader& r : found.readers) {
        QCOMPARE(r.record.topic_name, std::string("Pair"));
        readers.push_back(HandleText::keyOf(r.handle));
    }
    QCOMPARE(readers, listed);
    QCOMPARE(readers.size(), size_t(2));
    QVERIFY(readers != std::vector<std::string>(2, readers[0]));
    QCOMPARE(found.writers.size(), size_t(1));
    QCOMPARE(HandleText::keyOf(found.writers[0].handle), m_peer.writers()[1].key);

    // The same name in the other domain is another topic: only its own endpoints.
    const Counterparts far = scanCounterparts(MonitorLib::getInstance(), m_d2, "Cross");
    QVERIFY(far.writers.empty());
    QCOMPARE(far.readers.size(), size_t(1));
    QCOMPARE(HandleText::keyOf(far.readers[0].handle), m_peer.readers()[6].key);

    MatchWidget panel;
    panel.setMatchHandle(m_d1, writer(1), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
    QCOMPARE(panel.treeWidget->topLevelItem(0)->text(0), hexOf(readers.back()));
}

// A reader selected: its writer is the counterpart, marked under the writer side; the
// writer's participant announces no system information.
void TestMatchWidget::readerSelected()
{
    MatchWidget panel;
    panel.setMatchHandle(m_d1, reader(2), ReaderMatch);
    const QStringList expected = QStringList{writerText(2) + "|exe|是|"} + mismatchRows();
    QCOMPARE(flatten(panel.treeWidget), expected);
    QTreeWidgetItem* top = panel.treeWidget->topLevelItem(0);
    QVERIFY(!top->isExpanded());
    QVERIFY(openBelow(top));
    QVERIFY(!anyMarking(top));
}

void TestMatchWidget::writerSelected()
{
    MatchWidget panel;
    panel.setMatchHandle(m_d1, writer(2), WriterMatch);
    const QStringList expected = QStringList{readerText(2) + "|radar||是"} + mismatchRows();
    QCOMPARE(flatten(panel.treeWidget), expected);
    QTreeWidgetItem* top = panel.treeWidget->topLevelItem(0);
    QVERIFY(!top->isExpanded());
    QVERIFY(openBelow(top));
    QVERIFY(!anyMarking(top));
}

// Readers of the same topic name in the other domain are listed later but never taken.
void TestMatchWidget::otherDomainNotTaken()
{
    MatchWidget panel;
    panel.setMatchHandle(m_d1, writer(3), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
    QCOMPARE(panel.treeWidget->topLevelItem(0)->text(0), readerText(3));

    // Seen from the other domain, the writer is not found and nothing is compared.
    panel.setMatchHandle(m_d2, reader(6), ReaderMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 0);
}

void TestMatchWidget::topicCaseDiffers()
{
    MatchWidget panel;
    panel.setMatchHandle(m_d1, writer(4), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 0);
    panel.setMatchHandle(m_d1, reader(4), ReaderMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 0);
}

void TestMatchWidget::otherTypeLeavesEmpty_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("2") << 2;
    QTest::newRow("-1") << -1;
}

void TestMatchWidget::otherTypeLeavesEmpty()
{
    QFETCH(int, type);
    MatchWidget panel;
    panel.setMatchHandle(m_d1, writer(2), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
    panel.setMatchHandle(m_d1, writer(2), MatchType(type));
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 0);
}

void TestMatchWidget::queuedInvocation()
{
    MatchWidget panel;
    QVERIFY(QMetaObject::invokeMethod(
        &panel, "setMatchHandle", Qt::QueuedConnection, Q_ARG(uint32_t, m_d1),
        Q_ARG(ZORVAN::InstanceHandle_t, reader(2)), Q_ARG(MatchType, ReaderMatch)));
    QTRY_COMPARE(panel.treeWidget->topLevelItemCount(), 1);
    QCOMPARE(panel.treeWidget->topLevelItem(0)->text(0), writerText(2));
}

QTEST_MAIN(TestMatchWidget)
#include "tst_matchwidget.moc"
