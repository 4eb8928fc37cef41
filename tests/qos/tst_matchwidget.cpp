// The match analysis against real peers: every counterpart with its verdict, the comparison
// rows with both sides' values and the rules broken, markers, process names, the expansion
// state, the cap on rows, and the panel following the network, a writer's change of partition
// and deadline included.
#include "ChangeCounter.h"
#include "ComparisonRows.h"
#include "Counterparts.h"
#include "EndpointLookup.h"
#include "HandleText.h"
#include "LeftMark.h"
#include "MatchWidget.h"
#include "PeerProcess.h"
#include "RecordChangeLog.h"
#include "RequalifyForge.h"
#include "TabBar.h"
#include "TestEnv.h"
#include "WatchedDomain.h"

#include <QHeaderView>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTreeWidget>
#include <QtTest>
#include <algorithm>
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

// The rows below `top` shown as breaking a rule, as paths of their column-0 texts (the
// durability value row has an empty one), each checked to carry its reason on every column.
void addMarked(QTreeWidgetItem* item, const QString& path, QStringList& marked)
{
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        const QString childPath =
            path.isEmpty() ? child->text(0) : path + QLatin1Char('/') + child->text(0);
        if (child->data(0, Qt::ForegroundRole).isValid()) {
            bool complete = true;
            for (int c = 0; c < 4; ++c) {
                complete = complete &&
                           child->foreground(c).color() == ComparisonRows::brokenColour() &&
                           !child->toolTip(c).isEmpty();
            }
            marked << (complete ? childPath : childPath + QStringLiteral(" (incomplete)"));
        }
        addMarked(child, childPath, marked);
    }
}

QStringList markedRows(QTreeWidgetItem* top)
{
    QStringList marked;
    addMarked(top, QString(), marked);
    return marked;
}

bool sameIcon(const QIcon& a, const QString& resource)
{
    const QImage shown = a.pixmap(16, 16).toImage();
    return !shown.isNull() && shown == QIcon(resource).pixmap(16, 16).toImage();
}

bool showsCompatible(QTreeWidgetItem* top)
{
    return top->toolTip(0) == QStringLiteral("可以匹配") &&
           sameIcon(top->icon(0), QStringLiteral(":/BrelvaneQtDemo/Resources/matchOk.png"));
}

bool showsIncompatible(QTreeWidgetItem* top)
{
    return top->toolTip(0).startsWith(QStringLiteral("无法匹配：")) &&
           sameIcon(top->icon(0), QStringLiteral(":/BrelvaneQtDemo/Resources/matchFail.png"));
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
        "    partition|至少有一个相同分区||",
    };
}

// Every rule the Mismatch pair breaks; both sides stay in the default partition.
QStringList mismatchMarked()
{
    return {
        "类型名称",
        "QoS匹配项/durability/",
        "QoS匹配项/presentation/coherent",
        "QoS匹配项/presentation/order_access",
        "QoS匹配项/presentation/access_scope",
        "QoS匹配项/deadline/period",
        "QoS匹配项/latency_budget/duration",
        "QoS匹配项/ownership/kind",
        "QoS匹配项/liveliness/kind",
        "QoS匹配项/liveliness/lease_duraton",
        "QoS匹配项/reliability/kind",
        "QoS匹配项/destination/kind",
    };
}

// The keys of `endpoints`, each as its handle text.
template <class Endpoints> QStringList handleTexts(const Endpoints& endpoints)
{
    QStringList texts;
    for (const auto& endpoint : endpoints) {
        texts << HandleText::text(HandleText::keyOf(endpoint.handle));
    }
    return texts;
}

QStringList topTexts(QTreeWidget* tree)
{
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        texts << tree->topLevelItem(i)->text(0);
    }
    return texts;
}

QTreeWidgetItem* childOf(QTreeWidgetItem* item, const QString& column0)
{
    for (int i = 0; item && i < item->childCount(); ++i) {
        if (item->child(i)->text(0) == column0) {
            return item->child(i);
        }
    }
    return nullptr;
}

QTreeWidgetItem* partitionRow(QTreeWidgetItem* top)
{
    return childOf(childOf(top, QStringLiteral("QoS匹配项")), QStringLiteral("partition"));
}

// The handle of the first endpoint of `endpoints` on `topic`.
InstanceHandle_t onTopic(const std::vector<PeerProcess::Endpoint>& endpoints, const QString& topic)
{
    for (const PeerProcess::Endpoint& endpoint : endpoints) {
        if (endpoint.topic == topic) {
            return HandleText::handleFromKey(endpoint.key);
        }
    }
    return InstanceHandle_t();
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
    void partitionsInCommon();
    void demoTopics();
    void moreThanFiftyCounterparts();
    void followsTheNetwork();
    void followsAChangedWriter();

private:
    // Writers: 0 Lonely, 1 Pair, 2 Mismatch, 3 Cross, 4 CaseTopic (participant A, no system
    // information); 5 Parted (participant D). Readers: 0 Pair (A); 1 Pair, 2 Mismatch, 3 Cross,
    // 4 casetopic (participant B, executable /usr/bin/radar); 5 Lonely, 6 Cross (participant C
    // in the second domain); 7 Parted, 8 Parted (D).
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
    const QStringList args =
        QStringLiteral(
            "--domain %1 --participant --prop other.name=x --writer Lonely --writer Pair "
            "--writer Mismatch@WType --qos %3 --writer Cross --writer CaseTopic --reader Pair "
            "--participant --sysinfo exe=/usr/bin/radar --reader Pair --reader Mismatch@RType "
            "--qos %4 --reader Cross --reader casetopic "
            "--domain %2 --participant --reader Lonely --reader Cross "
            "--domain %1 --participant --writer Parted --qos partition=A|B "
            "--reader Parted --qos partition=C --reader Parted --qos partition=B*")
            .arg(QString::number(m_d1), QString::number(m_d2), mismatchWriter, mismatchReader)
            .split(QLatin1Char(' '));
    QVERIFY2(m_peer.startPeer(args), qPrintable(m_peer.errorString()));
    QCOMPARE(int(m_peer.writers().size()), 6);
    QCOMPARE(int(m_peer.readers().size()), 9);

    // Discovery: the monitor sees every endpoint with its participant's system information.
    MonitorLib& monitor = MonitorLib::getInstance();
    for (int i = 0; i < 6; ++i) {
        QTRY_VERIFY_WITH_TIMEOUT(findPublicationData(monitor, writer(i)) != nullptr, discoveryMs);
    }
    for (int i = 0; i < 9; ++i) {
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

// Both readers of the topic are shown, in the order the middleware lists them, each with its
// process and its verdict.
void TestMatchWidget::writerWithTwoReaders()
{
    const std::vector<std::string> listed = listedReaders("Pair");
    QCOMPARE(listed.size(), size_t(2));

    MatchWidget panel;
    panel.setMatchHandle(m_d1, writer(1), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 2);
    for (int i = 0; i < 2; ++i) {
        QTreeWidgetItem* top = panel.treeWidget->topLevelItem(i);
        QCOMPARE(top->text(0), hexOf(listed[size_t(i)]));
        QCOMPARE(top->text(0).size(), 34);
        QCOMPARE(top->text(1), listed[size_t(i)] == m_peer.readers()[0].key
                                   ? QStringLiteral("exe")
                                   : QStringLiteral("radar"));
        QCOMPARE(top->text(3), QStringLiteral("是"));
        QCOMPARE(top->child(0)->text(2), QStringLiteral("PeerSample"));
        QCOMPARE(top->child(0)->text(3), QStringLiteral("PeerSample"));
        QVERIFY(showsCompatible(top));
        QCOMPARE(markedRows(top), QStringList());
        QVERIFY(!top->isExpanded());
        QVERIFY(openBelow(top));
    }
}

// The scan behind the panel keeps every endpoint of the topic in the domain, each side in the
// order the middleware lists it; the panel shows every one of the other side in that order.
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
    QCOMPARE(topTexts(panel.treeWidget), handleTexts(found.readers));
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
    QVERIFY(showsIncompatible(top));
    QCOMPARE(top->toolTip(0).count(QStringLiteral("（发布端 ")), mismatchMarked().size());
    QCOMPARE(markedRows(top), mismatchMarked());
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
    QVERIFY(showsIncompatible(top));
    QCOMPARE(top->toolTip(0).count(QStringLiteral("（发布端 ")), mismatchMarked().size());
    QCOMPARE(markedRows(top), mismatchMarked());
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

// The partitions follow the specified rows; red when the two sides share none, and a pattern
// on one side meets the names it matches on the other.
void TestMatchWidget::partitionsInCommon()
{
    MatchWidget panel;
    panel.setMatchHandle(m_d1, writer(5), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 2);
    QTreeWidgetItem* apart = nullptr;
    QTreeWidgetItem* meeting = nullptr;
    for (int i = 0; i < 2; ++i) {
        QTreeWidgetItem* top = panel.treeWidget->topLevelItem(i);
        (top->text(0) == readerText(7) ? apart : meeting) = top;
    }
    QVERIFY(apart && meeting && meeting->text(0) == readerText(8));

    QTreeWidgetItem* qos = childOf(apart, QStringLiteral("QoS匹配项"));
    QTreeWidgetItem* partition = partitionRow(apart);
    QCOMPARE(qos->indexOfChild(partition), qos->childCount() - 1);
    QCOMPARE(partition->text(1), QStringLiteral("至少有一个相同分区"));
    QCOMPARE(partition->text(2), QStringLiteral("A,B"));
    QCOMPARE(partition->text(3), QStringLiteral("C"));
    QCOMPARE(markedRows(apart), QStringList{QStringLiteral("QoS匹配项/partition")});
    QVERIFY(showsIncompatible(apart));
    QVERIFY(apart->toolTip(0).contains(QStringLiteral("partition：")));

    QCOMPARE(partitionRow(meeting)->text(3), QStringLiteral("B*"));
    QCOMPARE(markedRows(meeting), QStringList());
    QVERIFY(showsCompatible(meeting));
}

// The demo system: RadarTrack's writer with both its readers, each of which can match, and
// WeatherReport's best-effort writer against a reader that asks for reliable delivery.
void TestMatchWidget::demoTopics()
{
    const uint32_t d = TestEnv::domain(2);
    WatchedDomain watched(d);
    QVERIFY(watched.isValid());
    PeerProcess demo;
    QVERIFY2(demo.startDemo({QStringLiteral("--domains"), QString::number(d)}),
             qPrintable(demo.errorString()));
    const InstanceHandle_t radar = onTopic(demo.writers(), QStringLiteral("RadarTrack"));
    QVERIFY(radar.isValid);

    MatchWidget panel;
    // Until both readers are there with the processes their participants announce.
    const QStringList readerProcesses{QStringLiteral("atc_display"),
                                      QStringLiteral("flight_planner")};
    const auto bothReaders = [&] {
        panel.setMatchHandle(d, radar, WriterMatch);
        QStringList processes;
        for (int i = 0; i < panel.treeWidget->topLevelItemCount(); ++i) {
            processes << panel.treeWidget->topLevelItem(i)->text(1);
        }
        processes.sort();
        return processes == readerProcesses;
    };
    QTRY_VERIFY_WITH_TIMEOUT(bothReaders(), discoveryMs);
    const Counterparts found = scanCounterparts(MonitorLib::getInstance(), d, "RadarTrack");
    QCOMPARE(topTexts(panel.treeWidget), handleTexts(found.readers));
    for (int i = 0; i < 2; ++i) {
        QTreeWidgetItem* top = panel.treeWidget->topLevelItem(i);
        QVERIFY(showsCompatible(top));
        QCOMPARE(markedRows(top), QStringList());
        QCOMPARE(partitionRow(top)->text(2), QStringLiteral("SectorA,SectorB"));
        QCOMPARE(partitionRow(top)->text(3), top->text(1) == QStringLiteral("flight_planner")
                                                 ? QStringLiteral("SectorA")
                                                 : QStringLiteral("SectorA,SectorB"));
    }

    panel.setMatchHandle(d, onTopic(demo.writers(), QStringLiteral("WeatherReport")), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
    QTreeWidgetItem* weather = panel.treeWidget->topLevelItem(0);
    QCOMPARE(weather->text(1), QStringLiteral("atc_display"));
    QVERIFY(showsIncompatible(weather));
    QVERIFY2(weather->toolTip(0).contains(QStringLiteral("reliability：")),
             qPrintable(weather->toolTip(0)));
    // Its writer also allows itself more latency than the reader's default budget.
    QCOMPARE(markedRows(weather), (QStringList{QStringLiteral("QoS匹配项/latency_budget/duration"),
                                               QStringLiteral("QoS匹配项/reliability/kind")}));
    QTreeWidgetItem* reliability = childOf(
        childOf(childOf(weather, QStringLiteral("QoS匹配项")), QStringLiteral("reliability")),
        QStringLiteral("kind"));
    QCOMPARE(reliability->text(2), QStringLiteral("BEST_EFFORT_RELIABILITY_QOS"));
    QCOMPARE(reliability->text(3), QStringLiteral("RELIABLE_RELIABILITY_QOS"));
    QVERIFY(reliability->toolTip(1).startsWith(QStringLiteral("reliability：")));
    QVERIFY(reliability->toolTip(1).contains(QStringLiteral("RELIABLE_RELIABILITY_QOS")));
    QVERIFY(demo.stop());
}

// Past fifty counterparts: those that cannot match first, then the others in listing order up
// to fifty, and a last row that counts the rest, also as more join.
void TestMatchWidget::moreThanFiftyCounterparts()
{
    const uint32_t d = TestEnv::domain(3);
    WatchedDomain watched(d);
    QVERIFY(watched.isValid());
    QStringList args{QStringLiteral("--domain"), QString::number(d),
                     QStringLiteral("--writer"), QStringLiteral("Crowd"),
                     QStringLiteral("--qos"),    QStringLiteral("reliability=best_effort")};
    for (int i = 0; i < 55; ++i) {
        args << QStringLiteral("--reader") << QStringLiteral("Crowd") << QStringLiteral("--qos")
             << (i < 50 ? QStringLiteral("reliability=best_effort")
                        : QStringLiteral("reliability=reliable"));
    }
    PeerProcess peer;
    QVERIFY2(peer.startPeer(args), qPrintable(peer.errorString()));
    MonitorLib& monitor = MonitorLib::getInstance();
    QTRY_COMPARE_WITH_TIMEOUT(scanCounterparts(monitor, d, "Crowd").readers.size(), size_t(55),
                              discoveryMs);
    QSet<QString> refusing;
    for (size_t i = 50; i < 55; ++i) {
        refusing << hexOf(peer.readers()[i].key);
    }
    const QStringList listed = handleTexts(scanCounterparts(monitor, d, "Crowd").readers);
    QStringList expected;
    std::copy_if(listed.begin(), listed.end(), std::back_inserter(expected),
                 [&](const QString& h) { return refusing.contains(h); });
    std::copy_if(listed.begin(), listed.end(), std::back_inserter(expected),
                 [&](const QString& h) { return !refusing.contains(h); });
    expected = expected.mid(0, MatchWidget::MaxCounterpartRows);

    MatchWidget panel;
    panel.setMatchHandle(d, HandleText::handleFromKey(peer.writers()[0].key), WriterMatch);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 51);
    QCOMPARE(topTexts(panel.treeWidget).mid(0, 50), expected);
    for (int i = 0; i < 50; ++i) {
        QTreeWidgetItem* top = panel.treeWidget->topLevelItem(i);
        QVERIFY2(i < 5 ? showsIncompatible(top) : showsCompatible(top), qPrintable(top->text(0)));
    }
    QTreeWidgetItem* rest = panel.treeWidget->topLevelItem(50);
    QCOMPARE(rest->text(0), QStringLiteral("另有 5 个订阅端未显示（共 55 个）"));
    QCOMPARE(rest->childCount(), 0);

    // One more joins: no room for it, it is counted.
    PeerProcess late;
    QVERIFY2(late.startPeer({QStringLiteral("--domain"), QString::number(d),
                             QStringLiteral("--reader"), QStringLiteral("Crowd")}),
             qPrintable(late.errorString()));
    QTRY_COMPARE_WITH_TIMEOUT(panel.treeWidget->topLevelItem(50)->text(0),
                              QStringLiteral("另有 6 个订阅端未显示（共 56 个）"), discoveryMs);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 51);
    QCOMPARE(topTexts(panel.treeWidget).mid(0, 50), expected);
    QVERIFY(late.stop());
    QVERIFY(peer.stop());
}

// While it shows an endpoint, the panel follows the network in place: a counterpart that joins
// gets a row at the end, the operator's expansion and scrolling stay, and what leaves keeps its
// row, marked and greyed. Emptied as after a domain change, it stays empty.
void TestMatchWidget::followsTheNetwork()
{
    const uint32_t d = TestEnv::domain(4);
    WatchedDomain watched(d);
    QVERIFY(watched.isValid());
    PeerProcess first;
    QVERIFY2(first.startPeer({QStringLiteral("--domain"), QString::number(d),
                              QStringLiteral("--writer"), QStringLiteral("Live"),
                              QStringLiteral("--reader"), QStringLiteral("Live")}),
             qPrintable(first.errorString()));
    const InstanceHandle_t live = HandleText::handleFromKey(first.writers()[0].key);

    MatchWidget panel;
    panel.resize(500, 160);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            panel.setMatchHandle(d, live, WriterMatch);
            return panel.treeWidget->topLevelItemCount() == 1;
        }(),
        discoveryMs);
    QTreeWidgetItem* stays = panel.treeWidget->topLevelItem(0);
    QCOMPARE(stays->text(0), hexOf(first.readers()[0].key));
    stays->setExpanded(true);
    QTreeWidgetItem* presentation =
        childOf(childOf(stays, QStringLiteral("QoS匹配项")), QStringLiteral("presentation"));
    presentation->setExpanded(false);
    QScrollBar* bar = panel.treeWidget->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 2);
    bar->setValue(2);
    int resets = 0;
    connect(panel.treeWidget->model(), &QAbstractItemModel::modelReset, this,
            [&resets] { ++resets; });

    // A reader that asks for more durability than the writer offers.
    PeerProcess second;
    QVERIFY2(
        second.startPeer({QStringLiteral("--domain"), QString::number(d),
                          QStringLiteral("--reader"), QStringLiteral("Live"),
                          QStringLiteral("--qos"), QStringLiteral("durability=transient_local")}),
        qPrintable(second.errorString()));
    QTRY_COMPARE_WITH_TIMEOUT(panel.treeWidget->topLevelItemCount(), 2, discoveryMs);
    QCOMPARE(panel.treeWidget->topLevelItem(0), stays);
    QVERIFY(stays->isExpanded());
    QVERIFY(!presentation->isExpanded());
    QCOMPARE(bar->value(), 2);
    QTreeWidgetItem* joined = panel.treeWidget->topLevelItem(1);
    QCOMPARE(joined->text(0), hexOf(second.readers()[0].key));
    QCOMPARE(joined->text(3), QStringLiteral("是"));
    QVERIFY(!joined->isExpanded());
    QVERIFY(openBelow(joined));
    QVERIFY(showsIncompatible(joined));
    QCOMPARE(markedRows(joined), QStringList{QStringLiteral("QoS匹配项/durability/")});
    QVERIFY(showsCompatible(stays));
    QCOMPARE(resets, 0);

    // It leaves: its row stays, marked as gone and greyed, saying when before its verdict.
    const QString incompatibleTip = joined->toolTip(0);
    QVERIFY(!LeftMark::isGreyed(joined) && !LeftMark::isGreyed(stays));
    QVERIFY(second.stop());
    QTRY_VERIFY_WITH_TIMEOUT(joined->data(0, MatchWidget::LeftRole).toBool(), discoveryMs);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 2);
    QVERIFY(!stays->data(0, MatchWidget::LeftRole).toBool());
    QVERIFY(!panel.shownEndpointLeft());
    QVERIFY(LeftMark::isGreyed(joined));
    QVERIFY(!LeftMark::isGreyed(stays));
    const QRegularExpression leftAt(QStringLiteral("^离开于 \\d\\d:\\d\\d:\\d\\d\n"));
    QVERIFY2(leftAt.match(joined->toolTip(0)).hasMatch(), qPrintable(joined->toolTip(0)));
    QVERIFY(joined->toolTip(0).endsWith(QLatin1Char('\n') + incompatibleTip));
    QVERIFY(showsCompatible(stays));

    // The writer shown leaves with its reader: everything stays as it was, greyed, and the
    // first row says that the chosen endpoint left, and when.
    QVERIFY(first.stop());
    QTRY_VERIFY_WITH_TIMEOUT(panel.shownEndpointLeft(), discoveryMs);
    QTRY_VERIFY_WITH_TIMEOUT(stays->data(0, MatchWidget::LeftRole).toBool(), discoveryMs);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 2);
    QVERIFY(stays->isExpanded());
    QVERIFY(LeftMark::isGreyed(stays) && LeftMark::isGreyed(joined));
    const QStringList lines = stays->toolTip(0).split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 3);
    QVERIFY2(QRegularExpression(QStringLiteral("^所选端点离开于 \\d\\d:\\d\\d:\\d\\d$"))
                 .match(lines[0])
                 .hasMatch(),
             qPrintable(lines[0]));
    QVERIFY(lines[1].startsWith(QStringLiteral("离开于 ")));
    QCOMPARE(lines[2], QStringLiteral("可以匹配"));
    QVERIFY(!joined->toolTip(0).startsWith(QStringLiteral("所选端点")));
    QCOMPARE(resets, 0);

    // The window empties the panel after a domain change; changes after it leave it empty.
    panel.treeWidget->clear();
    emit MonitorLib::getInstance().dataChanged();
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 0);
    QVERIFY(!panel.shownEndpointLeft());
}

// The writer shown is announced again under its handle in another partition and with a longer
// deadline than the reader asks for: the monitor reports both policies changed, and the reader's
// row turns incompatible in place, the two rules marked, the operator's expansion kept; restored,
// the row can match again.
void TestMatchWidget::followsAChangedWriter()
{
    const uint32_t d = TestEnv::domain(5);
    WatchedDomain watched(d);
    QVERIFY(watched.isValid());
    RequalifyForge forge;
    QVERIFY2(forge.start(d), qPrintable(forge.errorString()));

    MatchWidget panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            panel.setMatchHandle(d, forge.writer(), WriterMatch);
            return panel.treeWidget->topLevelItemCount() == 1;
        }(),
        discoveryMs);
    QTreeWidgetItem* top = panel.treeWidget->topLevelItem(0);
    QCOMPARE(top->text(0), hexOf(forge.readerKey()));
    QCOMPARE(top->text(1), QStringLiteral("forged-app"));
    QVERIFY(showsCompatible(top));
    QTreeWidgetItem* partition = partitionRow(top);
    QVERIFY(partition);
    QCOMPARE(partition->text(2), QStringLiteral("Forge"));
    QCOMPARE(partition->text(3), QStringLiteral("Forge"));
    top->setExpanded(true);
    int resets = 0;
    connect(panel.treeWidget->model(), &QAbstractItemModel::modelReset, this,
            [&resets] { ++resets; });
    const QStringList changedPolicies{QStringLiteral("deadline"), QStringLiteral("partition")};

    for (const bool changed : {true, false}) {
        RecordChangeLog log;
        ChangeCounter announced;
        QVERIFY(forge.change(changed));
        QTRY_COMPARE_WITH_TIMEOUT(log.policies(RecordKind::Publication, forge.writer()),
                                  changedPolicies, discoveryMs);
        QTRY_VERIFY_WITH_TIMEOUT(!announced.isEmpty(), discoveryMs);
        QTRY_COMPARE_WITH_TIMEOUT(partition->text(2),
                                  changed ? QStringLiteral("Elsewhere") : QStringLiteral("Forge"),
                                  discoveryMs);
        QCOMPARE(panel.treeWidget->topLevelItemCount(), 1);
        QCOMPARE(panel.treeWidget->topLevelItem(0), top);
        QCOMPARE(partitionRow(top), partition);
        QVERIFY(top->isExpanded());
        QVERIFY(!top->data(0, MatchWidget::LeftRole).toBool());
        QVERIFY(!panel.shownEndpointLeft());
        QCOMPARE(resets, 0);
        if (changed) {
            QVERIFY(showsIncompatible(top));
            QVERIFY(top->toolTip(0).contains(QStringLiteral("partition：")));
            QCOMPARE(markedRows(top), (QStringList{QStringLiteral("QoS匹配项/deadline/period"),
                                                   QStringLiteral("QoS匹配项/partition")}));
        } else {
            QVERIFY(showsCompatible(top));
            QCOMPARE(markedRows(top), QStringList());
        }
        // Nothing about the reader changed.
        QCOMPARE(log.policies(RecordKind::Subscription, forge.reader()), QStringList());
    }
    QVERIFY(forge.stop());
}

QTEST_MAIN(TestMatchWidget)
#include "tst_matchwidget.moc"
