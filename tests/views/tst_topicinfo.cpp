// The topic detail tab against a peer process: rows, their order and texts, read-only cells,
// only the page's own domain, clicks reaching the QoS and match panels once, and rows that
// follow peers leaving and joining; handle text of chosen bytes, the failure lines and an
// endpoint that comes back under its handle against the middleware double.
#include "Clicks.h"
#include "EndpointLookup.h"
#include "EventTime.h"
#include "FailingDomain.h"
#include "HandleText.h"
#include "LeftMark.h"
#include "MonitorEvents.h"
#include "MonitorFixture.h"
#include "PanelCalls.h"
#include "PeerProcess.h"
#include "StdoutCapture.h"
#include "TestEnv.h"
#include "TopicEndpoints.h"
#include "TopicInfo.h"
#include "TreeDump.h"
#include "WatchedDomain.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>
#include <algorithm>
#include <memory>

using namespace ZORVAN;

namespace {

const int discoveryMs = 15000;
const QString defaultsCells = QStringLiteral("RodedUZI - 127.0.0.1|/path/to/exe:1|1");
const QString radarCells = QStringLiteral("node-1 - 10.0.0.1|radar:42|42");

} // namespace

class TestTopicInfo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void construction();
    void rowsOfOwnDomain();
    void otherDomainPage();
    void readOnlyCells();
    void clickAnyCell_data();
    void clickAnyCell();
    void chosenHandleText();
    void failureLines_data();
    void failureLines();
    void rowSaysWhenFirstSeen();
    void rowsFollowPeers();
    void rowComesBack();

private:
    // A filled page of the first domain's topic T, with panels to click into.
    std::unique_ptr<TopicInfo> page(uint32_t domainId);
    QString hex(const std::string& key) const { return HandleText::text(key); }
    // Column 5 of every row, with "(grey)" after a greyed one.
    static QStringList states(const TopicInfo& tab);

    std::unique_ptr<WatchedDomain> m_domain1;
    std::unique_ptr<WatchedDomain> m_domain2;
    QoSInfo m_qos;
    MatchWidget m_match;
    PeerProcess m_peer;
};

// Domain 1: participant A (no system information) with writers T, T, Other and a reader T;
// participant B (node-1, radar, 42) with a reader T. Domain 2: participant C with a writer T.
void TestTopicInfo::initTestCase()
{
    const QStringList args =
        QStringLiteral(
            "--domain %1 --prop other.name=x --writer T@TType --writer T@TType --writer Other "
            "--reader T@TType --participant --sysinfo "
            "host=node-1,pid=42,exe=/usr/bin/radar,ip=10.0.0.1 --reader T@TType "
            "--domain %2 --participant --sysinfo host=far,pid=5,exe=/bin/far,ip=10.9.9.9 "
            "--writer T@TType")
            .arg(TestEnv::domain(0))
            .arg(TestEnv::domain(1))
            .split(QLatin1Char(' '));
    QVERIFY2(m_peer.startPeer(args), qPrintable(m_peer.errorString()));
    m_domain1 = std::make_unique<WatchedDomain>(TestEnv::domain(0));
    m_domain2 = std::make_unique<WatchedDomain>(TestEnv::domain(1));
    QVERIFY(m_domain1->isValid() && m_domain2->isValid());
    MonitorLib& monitor = MonitorLib::getInstance();
    for (const PeerProcess::Endpoint& w : m_peer.writers()) {
        QTRY_VERIFY_WITH_TIMEOUT(findPublicationData(monitor, HandleText::handleFromKey(w.key)),
                                 discoveryMs);
    }
    for (const PeerProcess::Endpoint& r : m_peer.readers()) {
        QTRY_VERIFY_WITH_TIMEOUT(findSubscriptionData(monitor, HandleText::handleFromKey(r.key)),
                                 discoveryMs);
    }
    // System information arrives with the participant; wait for B's.
    QTRY_VERIFY_WITH_TIMEOUT(collectTopicEndpoints(monitor, TestEnv::domain(0), "T")
                                     .readers[m_peer.readers()[1].key]
                                     .pid == 42,
                             discoveryMs);
}

void TestTopicInfo::cleanupTestCase()
{
    m_peer.stop();
    m_domain2.reset();
    m_domain1.reset();
}

std::unique_ptr<TopicInfo> TestTopicInfo::page(uint32_t domainId)
{
    auto tab = std::make_unique<TopicInfo>();
    tab->m_qosInfo = &m_qos;
    tab->m_matchWidget = &m_match;
    tab->resize(900, 300);
    tab->fillTopic(domainId, QStringLiteral("T"));
    return tab;
}

void TestTopicInfo::construction()
{
    TopicInfo tab;
    QCOMPARE(tab.count(), 1);
    QCOMPARE(tab.widget(0), static_cast<QWidget*>(tab.m_table));
    QCOMPARE(tab.tabText(0), QStringLiteral("实体列表"));
    QCOMPARE(tab.tabPosition(), QTabWidget::South);
    QCOMPARE(tab.m_table->property("type").toString(), QStringLiteral("content"));
    QCOMPARE(tab.m_table->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(tab.m_table->selectionMode(), QAbstractItemView::SingleSelection);
    QStringList headers;
    for (int c = 0; c < tab.m_table->columnCount(); ++c) {
        headers << tab.m_table->horizontalHeaderItem(c)->text();
    }
    QCOMPARE(headers, (QStringList{"实体类型", "节点", "进程/模块名", "进程号", "标识", "状态"}));
    tab.fillTopic(TestEnv::domain(0), QStringLiteral("NoSuchTopic"));
    QCOMPARE(tab.m_table->rowCount(), 0);
}

// Readers first, then writers, each in ascending handle order; domain 2's writer is absent.
void TestTopicInfo::rowsOfOwnDomain()
{
    const std::vector<PeerProcess::Endpoint>& w = m_peer.writers();
    const std::vector<PeerProcess::Endpoint>& r = m_peer.readers();
    std::map<std::string, QString> readers{{r[0].key, defaultsCells}, {r[1].key, radarCells}};
    std::map<std::string, QString> writers{{w[0].key, defaultsCells}, {w[1].key, defaultsCells}};
    QStringList expected;
    for (const auto& e : readers) {
        expected << "DataReader|" + e.second + '|' + hex(e.first) + "|normal";
    }
    for (const auto& e : writers) {
        expected << "DataWriter|" + e.second + '|' + hex(e.first) + "|normal";
    }
    const std::unique_ptr<TopicInfo> tab = page(TestEnv::domain(0));
    QCOMPARE(TreeDump::lines(tab->m_table), expected);
    const QRegularExpression handleText(QStringLiteral("^0x[0-9a-f]{32}$"));
    for (int row = 0; row < tab->m_table->rowCount(); ++row) {
        QVERIFY(handleText.match(tab->m_table->item(row, 4)->text()).hasMatch());
    }
}

void TestTopicInfo::otherDomainPage()
{
    const std::unique_ptr<TopicInfo> tab = page(TestEnv::domain(1));
    const QString farCells = QStringLiteral("far - 10.9.9.9|far:5|5");
    QCOMPARE(TreeDump::lines(tab->m_table), QStringList{"DataWriter|" + farCells + '|' +
                                                        hex(m_peer.writers()[3].key) + "|normal"});
}

void TestTopicInfo::readOnlyCells()
{
    const std::unique_ptr<TopicInfo> tab = page(TestEnv::domain(0));
    tab->show();
    QVERIFY(QTest::qWaitForWindowExposed(tab.get()));
    for (int row = 0; row < tab->m_table->rowCount(); ++row) {
        for (int column = 0; column < 6; ++column) {
            const Qt::ItemFlags flags = tab->m_table->item(row, column)->flags();
            QVERIFY(!(flags & Qt::ItemIsEditable));
            QVERIFY(flags & Qt::ItemIsSelectable);
            QVERIFY(flags & Qt::ItemIsEnabled);
        }
    }
    QTableWidgetItem* cell = tab->m_table->item(1, 1);
    const QString before = cell->text();
    tab->m_table->scrollToItem(cell);
    const QPoint at = tab->m_table->visualItemRect(cell).center();
    QTest::mouseDClick(tab->m_table->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QVERIFY(tab->m_table->findChildren<QLineEdit*>().isEmpty());
    QTest::keyClicks(tab->m_table->viewport(), QStringLiteral("xyz"));
    QCOMPARE(cell->text(), before);
}

void TestTopicInfo::clickAnyCell_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    for (int column : {0, 4, 5}) {
        QTest::addRow("reader row, column %d", column) << 0 << column;
        QTest::addRow("writer row, column %d", column) << 3 << column;
    }
}

// One click on any cell of a row shows that row's endpoint in the QoS panel and then in the
// match panel, once each, with the counterpart from the page's own domain.
void TestTopicInfo::clickAnyCell()
{
    QFETCH(int, row);
    QFETCH(int, column);
    const std::unique_ptr<TopicInfo> tab = page(TestEnv::domain(0));
    tab->show();
    QVERIFY(QTest::qWaitForWindowExposed(tab.get()));
    const bool reader = tab->m_table->item(row, 0)->text() == QLatin1String("DataReader");
    const QString handle = tab->m_table->item(row, 4)->text();

    PanelCalls panels(m_qos, m_match);
    Clicks::click(tab->m_table, row, column);
    QCOMPARE(panels.calls, (QStringList{"qos", "match"}));

    QCOMPARE(HandleText::text(HandleText::keyOf(m_qos.qosHandle)), handle);
    QCOMPARE(m_qos.qosType, reader ? ReaderQoS : WriterQoS);
    QCOMPARE(m_qos.qosTree->topLevelItemCount(), reader ? 13 : 15);
    // The counterparts are the other side's endpoints of T in the first domain, one row each.
    QCOMPARE(m_match.treeWidget->topLevelItemCount(), 2);
    const std::vector<PeerProcess::Endpoint>& others = reader ? m_peer.writers() : m_peer.readers();
    // (the first two writers and both readers are those of T in the first domain)
    const QSet<QString> candidates{hex(others[0].key), hex(others[1].key)};
    QSet<QString> shown;
    for (int i = 0; i < 2; ++i) {
        QTreeWidgetItem* top = m_match.treeWidget->topLevelItem(i);
        shown << top->text(0);
        QCOMPARE(top->text(2), reader ? QStringLiteral("是") : QString());
        QCOMPARE(top->text(3), reader ? QString() : QStringLiteral("是"));
    }
    QCOMPARE(shown, candidates);
}

// A key of the bytes 01 to 10 shows as their lowercase pairs run together.
void TestTopicInfo::chosenHandleText()
{
    const uint32_t id = TestEnv::domain(2);
    MonitorFixture fixture;
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        ParticipantBuiltinTopicData p;
        p.key = FakeParticipant::key(0x01);
        PublicationBuiltinTopicData w;
        for (int i = 0; i < 16; ++i) {
            w.key.value[i] = uint8_t(i + 1);
        }
        w.participant_key = p.key;
        w.topic_name = "F";
        FakeParticipant& fake = fixture.addDomainLocked(id);
        fake.addParticipant(p);
        fake.addPublication(w);
    }
    TopicInfo tab;
    tab.fillTopic(id, QStringLiteral("F"));
    QCOMPARE(
        TreeDump::lines(tab.m_table),
        QStringList{"DataWriter|" + defaultsCells + "|0x0102030405060708090a0b0c0d0e0f10|normal"});
}

void TestTopicInfo::failureLines_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("printed");      // how often the line is printed
    QTest::addColumn<QStringList>("rows"); // column 0 of the rows left
    QTest::newRow("publications") << "publications"
                                  << "get_publications failed" << 1 << QStringList{};
    QTest::newRow("publication data")
        << "publicationData"
        << "get_publication_data failed" << 1 << QStringList{"DataReader"};
    QTest::newRow("subscriptions") << "subscriptions"
                                   << "get_subscriptions failed" << 1 << QStringList{"DataWriter"};
    QTest::newRow("subscription data")
        << "subscriptionData"
        << "get_subscription_data failed" << 1 << QStringList{"DataWriter"};
    // The endpoints' participant cannot be fetched: no row rather than a made-up process, and
    // the line once for each endpoint.
    QTest::newRow("participant data")
        << "participantData"
        << "get_discovered_participant_data failed" << 2 << QStringList{};
    QTest::newRow("no failure") << ""
                                << "get_discovered_participant_data failed" << 0
                                << QStringList{"DataReader", "DataWriter"};
}

void TestTopicInfo::failureLines()
{
    QFETCH(QString, failing);
    QFETCH(QString, line);
    QFETCH(int, printed);
    QFETCH(QStringList, rows);
    const uint32_t id = TestEnv::domain(2);
    MonitorFixture fixture;
    addFailingDomain(fixture, id, failing);
    StdoutCapture capture;
    TopicInfo tab;
    tab.fillTopic(id, QStringLiteral("F"));
    QCOMPARE(capture.count(line), printed);
    QStringList kinds;
    for (int row = 0; row < tab.m_table->rowCount(); ++row) {
        kinds << tab.m_table->item(row, 0)->text();
    }
    QCOMPARE(kinds, rows);
}

// Last: it starts the event recording, whose queries would print failure lines of their own
// in the cases with failing doubles.
void TestTopicInfo::rowSaysWhenFirstSeen()
{
    // The monitor knew the peer before it recorded anything: the log knows only one reader,
    // as joined at 08:00:05 local time.
    EventLog& log = MonitorEvents::log();
    DiscoveryEvent joined;
    joined.time = EventStamp{1714953605123, 8 * 3600};
    joined.domainId = TestEnv::domain(0);
    joined.kind = DiscoveredKind::Reader;
    auto entity = std::make_shared<EntityDescription>();
    entity->key = m_peer.readers()[1].key;
    joined.entity = entity;
    log.append({joined});
    const std::unique_ptr<TopicInfo> tab = page(TestEnv::domain(0));
    QCOMPARE(tab->m_table->rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        const bool known = tab->m_table->item(row, 4)->text() == hex(entity->key);
        for (int column = 0; column < 6; ++column) {
            QCOMPARE(tab->m_table->item(row, column)->toolTip(),
                     known ? QStringLiteral("首次发现于 08:00:05") : QString());
        }
    }
}

QStringList TestTopicInfo::states(const TopicInfo& tab)
{
    QStringList shown;
    for (int row = 0; row < tab.m_table->rowCount(); ++row) {
        bool greyed = true;
        for (int column = 0; column < 6; ++column) {
            greyed = greyed && LeftMark::isGreyed(tab.m_table->item(row, column));
        }
        shown << tab.m_table->item(row, 5)->text() + (greyed ? QStringLiteral("(grey)") : "");
    }
    return shown;
}

// After rowSaysWhenFirstSeen, so the event log records these peers: a peer's endpoints leave
// and their rows stay in place, greyed and offline, saying when the log saw them go; a writer
// of another peer that joins later gets a new row at the end.
void TestTopicInfo::rowsFollowPeers()
{
    const QString domain = QString::number(TestEnv::domain(0));
    PeerProcess first;
    QVERIFY2(first.startPeer(
                 {"--domain", domain, "--writer", "Live@LiveType", "--reader", "Live@LiveType"}),
             qPrintable(first.errorString()));
    MonitorLib& monitor = MonitorLib::getInstance();
    QTRY_COMPARE_WITH_TIMEOUT(
        collectTopicEndpoints(monitor, TestEnv::domain(0), "Live").writers.size(), size_t(1),
        discoveryMs);
    QTRY_COMPARE_WITH_TIMEOUT(
        collectTopicEndpoints(monitor, TestEnv::domain(0), "Live").readers.size(), size_t(1),
        discoveryMs);
    TopicInfo tab;
    tab.m_qosInfo = &m_qos;
    tab.m_matchWidget = &m_match;
    tab.resize(900, 300);
    tab.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tab));
    tab.fillTopic(TestEnv::domain(0), QStringLiteral("Live"));
    tab.m_table->horizontalHeader()->resizeSection(1, 333);
    const QStringList firstRows = TreeDump::lines(tab.m_table);
    QCOMPARE(states(tab), (QStringList{"normal", "normal"}));

    PeerProcess second;
    QVERIFY2(second.startPeer({"--domain", domain, "--writer", "Live@LiveType"}),
             qPrintable(second.errorString()));
    QTRY_COMPARE_WITH_TIMEOUT(tab.m_table->rowCount(), 3, discoveryMs);
    QCOMPARE(TreeDump::lines(tab.m_table).mid(0, 2), firstRows);
    QCOMPARE(tab.m_table->item(2, 0)->text(), QStringLiteral("DataWriter"));
    QCOMPARE(tab.m_table->item(2, 4)->text(), hex(second.writers()[0].key));
    QCOMPARE(states(tab), (QStringList{"normal", "normal", "normal"}));

    QVERIFY(first.stop());
    QTRY_COMPARE_WITH_TIMEOUT(
        states(tab), (QStringList{"offline(grey)", "offline(grey)", "normal"}), discoveryMs);
    // The rows kept their place and, but for the state, their texts.
    QStringList offline = firstRows;
    offline.replaceInStrings(QStringLiteral("|normal"), QStringLiteral("|offline"));
    QCOMPARE(TreeDump::lines(tab.m_table).mid(0, 2), offline);
    QCOMPARE(tab.m_table->horizontalHeader()->sectionSize(1), 333);
    for (int row = 0; row < 2; ++row) {
        const std::string key = row == 0 ? first.readers()[0].key : first.writers()[0].key;
        QCOMPARE(tab.m_table->item(row, 4)->text(), hex(key));
        const std::optional<EntityLifetime> lifetime =
            MonitorEvents::log().lifetime(TestEnv::domain(0), key);
        QVERIFY(lifetime && lifetime->left);
        for (int column = 0; column < 6; ++column) {
            QCOMPARE(tab.m_table->item(row, column)->toolTip(),
                     QStringLiteral("离开于 ") + EventTime::clock(*lifetime->left));
        }
    }
    QVERIFY(tab.m_table->item(2, 0)->toolTip().startsWith(QStringLiteral("首次发现于 ")));
    // A click on an offline row still reaches the panels.
    PanelCalls panels(m_qos, m_match);
    Clicks::click(tab.m_table, 1, 0);
    QCOMPARE(panels.calls, (QStringList{"qos", "match"}));
}

// The double's writer leaves and comes back under the same handle: its row goes offline and
// is live again, in place, without a second row; a reader that joins meanwhile goes after it.
void TestTopicInfo::rowComesBack()
{
    const uint32_t id = TestEnv::domain(2);
    MonitorFixture fixture;
    PublicationBuiltinTopicData w;
    SubscriptionBuiltinTopicData r;
    FakeParticipant* fake = nullptr;
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        ParticipantBuiltinTopicData p;
        p.key = FakeParticipant::key(0x01);
        w.key = FakeParticipant::key(0x02);
        w.participant_key = p.key;
        w.topic_name = "Back";
        r.key = FakeParticipant::key(0x03);
        r.participant_key = p.key;
        r.topic_name = "Back";
        fake = &fixture.addDomainLocked(id);
        fake->addParticipant(p);
        fake->addPublication(w);
    }
    TopicInfo tab;
    tab.fillTopic(id, QStringLiteral("Back"));
    QCOMPARE(states(tab), QStringList{"normal"});
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        fake->removePublication(w.key);
    }
    QTRY_COMPARE_WITH_TIMEOUT(states(tab), QStringList{"offline(grey)"}, discoveryMs);
    const QRegularExpression leftAt(QStringLiteral("^离开于 \\d\\d:\\d\\d:\\d\\d$"));
    QVERIFY2(leftAt.match(tab.m_table->item(0, 3)->toolTip()).hasMatch(),
             qPrintable(tab.m_table->item(0, 3)->toolTip()));
    {
        std::lock_guard<std::mutex> lock(MonitorLib::getInstance().mutex);
        fake->addSubscription(r);
        fake->addPublication(w);
    }
    QTRY_COMPARE_WITH_TIMEOUT(states(tab), (QStringList{"normal", "normal"}), discoveryMs);
    QCOMPARE(tab.m_table->item(0, 4)->text(), hex(HandleText::keyOf(w.key)));
    QCOMPARE(tab.m_table->item(1, 0)->text(), QStringLiteral("DataReader"));
    QVERIFY(!tab.m_table->item(0, 3)->toolTip().startsWith(QStringLiteral("离开于")));
}

QTEST_MAIN(TestTopicInfo)
#include "tst_topicinfo.moc"
