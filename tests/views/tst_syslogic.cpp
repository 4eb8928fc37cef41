// The logical view against real peers in another process: domain and topic order, topics with
// only readers, the double click; and its failure lines against the middleware double.
#include "Clicks.h"
#include "FailingDomain.h"
#include "MonitorFixture.h"
#include "MyTab.h"
#include "PeerProcess.h"
#include "StdoutCapture.h"
#include "SysLogic.h"
#include "TabBar.h"
#include "TestEnv.h"
#include "TreeDump.h"
#include "WatchedDomain.h"

#include <QtTest>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>

using namespace ZORVAN;

namespace {

const int discoveryMs = 15000;

// Each item as its text, its tooltip and whether it is red, indented by depth.
QStringList markedLines(const QTreeWidget* tree)
{
    QStringList lines;
    std::function<void(const QTreeWidgetItem*, int)> add = [&](const QTreeWidgetItem* item,
                                                               int depth) {
        const bool red = item->data(0, Qt::ForegroundRole).value<QBrush>().color() == Qt::red;
        lines << QString(2 * depth, QLatin1Char(' ')) + item->text(0) + QLatin1Char('|') +
                     item->toolTip(0) + (red ? QStringLiteral("|red") : QString());
        for (int i = 0; i < item->childCount(); ++i) {
            add(item->child(i), depth + 1);
        }
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        add(tree->topLevelItem(i), 0);
    }
    return lines;
}

} // namespace

class TestSysLogic : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void construction();
    void domainAndTopicOrder();
    void doubleClick_data();
    void doubleClick();
    void failureLines_data();
    void failureLines();
    void burstOfSignals();
    void marks();
    void keepsPlaceUnderChurn();
    void inPlaceMatchesFreshBuild();

private:
    std::unique_ptr<SysLogic> m_view;
    std::unique_ptr<WatchedDomain> m_domain3;
    std::unique_ptr<WatchedDomain> m_domain12;
    std::unique_ptr<WatchedDomain> m_emptyDomain; // watched, with no writer or reader
    PeerProcess m_peer;
};

void TestSysLogic::initTestCase()
{
    QCOMPARE(TestEnv::domain(0), 3u);
    QCOMPARE(TestEnv::domain(1), 12u);
    // Lets the spy keep the signal's arguments.
    qRegisterMetaType<uint32_t>("uint32_t");
    // Built before the domains are watched: it learns of them through dataChanged only.
    m_view = std::make_unique<SysLogic>();
    m_view->resize(400, 600);
    const QStringList args =
        QStringLiteral("--domain 12 --participant --reader onlyRead --reader B "
                       "--domain 3 --participant --writer b --writer a --reader a")
            .split(QLatin1Char(' '));
    QVERIFY2(m_peer.startPeer(args), qPrintable(m_peer.errorString()));
    m_domain12 = std::make_unique<WatchedDomain>(12);
    m_domain3 = std::make_unique<WatchedDomain>(3);
    m_emptyDomain = std::make_unique<WatchedDomain>(TestEnv::domain(3));
    QVERIFY(m_domain3->isValid() && m_domain12->isValid() && m_emptyDomain->isValid());
}

void TestSysLogic::cleanupTestCase()
{
    m_view.reset();
    m_peer.stop();
    m_emptyDomain.reset();
    m_domain12.reset();
    m_domain3.reset();
}

// Until the first change is signalled only the root is there.
void TestSysLogic::construction()
{
    SysLogic view;
    QCOMPARE(view.tabBar->tabs.size(), 1);
    QCOMPARE(view.tabBar->tabs.first()->title, QStringLiteral("系统逻辑图"));
    QCOMPARE(TreeDump::lines(view.treeWidget), QStringList{"系统逻辑图"});
    QVERIFY(view.m_rootItem->isExpanded());
    QVERIFY(!view.m_rootItem->icon(0).isNull());
    QVERIFY(view.m_domainItems.isEmpty());
}

// Domains in numeric order, topics byte-wise, a topic with writer and reader once, a topic
// with only readers listed. A watched domain without writers and readers gets no item.
void TestSysLogic::domainAndTopicOrder()
{
    SysLogic& view = *m_view;
    const QStringList expected{"系统逻辑图", "  3号域", "    a",       "    b",
                               "  12号域",   "    B",   "    onlyRead"};
    QTRY_COMPARE_WITH_TIMEOUT(TreeDump::lines(view.treeWidget), expected, discoveryMs);
    QCOMPARE(view.m_domainItems.keys(), (QList<int>{3, 12}));
    QCOMPARE(view.m_domainItems.value(12)->text(0), QStringLiteral("12号域"));
    // The collect step gives the same picture as plain data.
    const LogicalTree tree = collectLogicalTree(MonitorLib::getInstance());
    QCOMPARE(tree.size(), size_t(3));
    QVERIFY(tree.at(TestEnv::domain(3)).empty());
    QCOMPARE(tree.at(3), (std::set<std::string>{"a", "b"}));
    QCOMPARE(tree.at(12), (std::set<std::string>{"B", "onlyRead"}));

    // The items of every rebuild share the view's icons: a new icon each time would put new
    // scaled pixmaps into Qt's cache under keys of their own on every change.
    QTreeWidgetItem* domain = view.m_domainItems.value(3);
    const qint64 domainIcon = domain->icon(0).cacheKey();
    const qint64 topicIcon = domain->child(0)->icon(0).cacheKey();
    QVERIFY(domainIcon != topicIcon);
    QVERIFY(QMetaObject::invokeMethod(&view, "onDataChanged"));
    QTreeWidgetItem* rebuilt = view.m_domainItems.value(12);
    QVERIFY(rebuilt);
    QCOMPARE(rebuilt->icon(0).cacheKey(), domainIcon);
    QCOMPARE(rebuilt->child(1)->icon(0).cacheKey(), topicIcon);
}

void TestSysLogic::doubleClick_data()
{
    QTest::addColumn<QString>("path"); // item texts from the root down, "/"-separated
    QTest::addColumn<int>("domain");   // -1: nothing emitted
    QTest::newRow("root") << "系统逻辑图" << -1;
    QTest::newRow("domain") << "系统逻辑图/3号域" << -1;
    QTest::newRow("topic in 3") << "系统逻辑图/3号域/b" << 3;
    QTest::newRow("topic in 12") << "系统逻辑图/12号域/onlyRead" << 12;
}

void TestSysLogic::doubleClick()
{
    QFETCH(QString, path);
    QFETCH(int, domain);
    SysLogic& view = *m_view;
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTRY_COMPARE_WITH_TIMEOUT(TreeDump::lines(view.treeWidget).size(), 7, discoveryMs);
    view.treeWidget->expandAll();

    const QStringList parts = path.split(QLatin1Char('/'));
    QTreeWidgetItem* item = view.m_rootItem;
    for (int i = 1; i < parts.size(); ++i) {
        item = Clicks::child(item, parts[i]);
        QVERIFY2(item, qPrintable(parts[i]));
    }
    QSignalSpy spy(&view, SIGNAL(topicDoubelClicked(uint32_t, QString)));
    Clicks::doubleClick(view.treeWidget, item);
    if (domain < 0) {
        QCOMPARE(spy.count(), 0);
    } else {
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<uint32_t>(), uint32_t(domain));
        QCOMPARE(spy.at(0).at(1).toString(), parts.last());
    }
}

void TestSysLogic::failureLines_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("topics"); // of the double's domain; "-" for no entry
    QTest::newRow("participants") << "participants"
                                  << "get_discovered_participants failed" << QStringList{"-"};
    QTest::newRow("publications") << "publications"
                                  << "get_publications failed" << QStringList{};
    QTest::newRow("publication data") << "publicationData"
                                      << "get_publication_data failed" << QStringList{"r"};
    QTest::newRow("subscriptions") << "subscriptions"
                                   << "get_subscriptions failed" << QStringList{"w"};
    QTest::newRow("subscription data") << "subscriptionData"
                                       << "get_subscription_data failed" << QStringList{"w"};
}

// One writer "w" and one reader "r" in the double's domain; the failing query drops what
// depends on it, prints its line once, and the rebuild goes on.
void TestSysLogic::failureLines()
{
    QFETCH(QString, failing);
    QFETCH(QString, line);
    QFETCH(QStringList, topics);
    const uint32_t id = TestEnv::domain(2);
    MonitorFixture fixture;
    MonitorLib& monitor = MonitorLib::getInstance();
    addFailingDomain(fixture, id, failing, "w", "r");
    StdoutCapture capture;
    const LogicalTree tree = collectLogicalTree(monitor);
    QCOMPARE(capture.count(line), 1);
    const auto entry = tree.find(id);
    if (topics == QStringList{"-"}) {
        QVERIFY(entry == tree.end());
    } else {
        QVERIFY(entry != tree.end());
        QStringList listed;
        for (const std::string& t : entry->second) {
            listed << QString::fromStdString(t);
        }
        QCOMPARE(listed, topics);
    }
    // A domain with nothing to list gets no item.
    SysLogic view;
    QVERIFY(QMetaObject::invokeMethod(&view, "onDataChanged"));
    QTreeWidgetItem* domainItem = view.m_domainItems.value(int(id), nullptr);
    QCOMPARE(domainItem != nullptr, !topics.isEmpty() && topics != QStringList{"-"});
    QCOMPARE(capture.count(line), 2);
}

// Signals queued together by the polling thread rebuild the tree once; a change announced after
// a rebuild began is never lost; a direct call always rebuilds. Each rebuild collects, and each
// collect prints the line of the reader whose record cannot be fetched: the lines count them.
void TestSysLogic::burstOfSignals()
{
    const uint32_t id = TestEnv::domain(2);
    const QString line = QStringLiteral("get_subscription_data failed");
    MonitorFixture fixture;
    MonitorLib& monitor = MonitorLib::getInstance();
    FakeParticipant& fake = addFailingDomain(fixture, id, QStringLiteral("subscriptionData"), "w");
    StdoutCapture capture;
    SysLogic view;
    QVERIFY(QMetaObject::invokeMethod(&view, "onDataChanged"));
    QTreeWidgetItem* domainItem = view.m_domainItems.value(int(id), nullptr);
    QVERIFY(domainItem);
    QCOMPARE(domainItem->childCount(), 1);
    QCOMPARE(capture.count(line), 1);

    auto emitFromOtherThread = [&monitor](int times) {
        std::thread([&monitor, times] {
            for (int i = 0; i < times; ++i) {
                emit monitor.dataChanged();
            }
        }).join();
    };

    const uint64_t before = monitor.signalCount();
    emitFromOtherThread(5);
    QCoreApplication::processEvents();
    // The polling thread may have announced changes of its own meanwhile; each may cost one
    // more rebuild, never the five of the burst.
    const uint64_t others = monitor.signalCount() - before - 5;
    const int rebuilds = capture.count(line) - 1;
    QVERIFY2(rebuilds >= 1 && uint64_t(rebuilds) <= 1 + others,
             qPrintable(QString::number(rebuilds)));

    {
        std::lock_guard<std::mutex> lock(monitor.mutex);
        PublicationBuiltinTopicData late;
        late.key = FakeParticipant::key(0x30);
        late.topic_name = "late";
        fake.addPublication(late);
    }
    emitFromOtherThread(1);
    QCoreApplication::processEvents();
    QCOMPARE(view.m_domainItems.value(int(id), nullptr), domainItem);
    QCOMPARE(domainItem->childCount(), 2);
    QCOMPARE(domainItem->child(0)->text(0), QStringLiteral("late"));

    // Called directly, with nothing announced, it still rebuilds.
    const int delivered = capture.count(line);
    QVERIFY(QMetaObject::invokeMethod(&view, "onDataChanged"));
    QCOMPARE(capture.count(line), delivered + 1);
}

// Topics with pairs that cannot match, and their domains, in red with the count as tooltip;
// texts and icons as they were; the marks given again to the items of a rebuild, and gone
// with the pairs.
void TestSysLogic::marks()
{
    SysLogic& view = *m_view;
    // The doubles of the tests before are gone.
    QVERIFY(QMetaObject::invokeMethod(&view, "onDataChanged"));
    QTRY_COMPARE_WITH_TIMEOUT(TreeDump::lines(view.treeWidget).size(), 7, discoveryMs);
    const QStringList shown = TreeDump::lines(view.treeWidget);
    auto item = [&view](int domain, const char* topic) {
        QTreeWidgetItem* domainItem = view.m_domainItems.value(domain, nullptr);
        return topic ? Clicks::child(domainItem, QString::fromUtf8(topic)) : domainItem;
    };
    auto isRed = [](QTreeWidgetItem* i) {
        return i->data(0, Qt::ForegroundRole).value<QBrush>().color() == QColor(Qt::red);
    };
    auto isPlain = [](QTreeWidgetItem* i) {
        return !i->data(0, Qt::ForegroundRole).isValid() && i->toolTip(0).isEmpty();
    };
    // "x" has no item: it changes nothing.
    view.applyMarks({{3, {{"a", 2}, {"b", 1}}}, {12, {{"x", 5}}}});
    QCOMPARE(TreeDump::lines(view.treeWidget), shown);
    QVERIFY(isRed(item(3, "a")));
    QCOMPARE(item(3, "a")->toolTip(0), QString::fromUtf8("2 对发布端和订阅端无法匹配"));
    QCOMPARE(item(3, "b")->toolTip(0), QString::fromUtf8("1 对发布端和订阅端无法匹配"));
    QVERIFY(isRed(item(3, nullptr)));
    QCOMPARE(item(3, nullptr)->toolTip(0), QString::fromUtf8("3 对发布端和订阅端无法匹配"));
    QVERIFY(!item(3, "a")->icon(0).isNull());
    QVERIFY(isPlain(item(12, "B")) && isPlain(item(12, "onlyRead")));
    QCOMPARE(item(12, nullptr)->toolTip(0), QString::fromUtf8("5 对发布端和订阅端无法匹配"));

    // A rebuild makes new items; they carry the marks.
    QVERIFY(QMetaObject::invokeMethod(&view, "onDataChanged"));
    QCOMPARE(TreeDump::lines(view.treeWidget), shown);
    QVERIFY(isRed(item(3, "a")) && isRed(item(3, "b")) && isRed(item(3, nullptr)));

    view.applyMarks({{3, {{"b", 4}}}});
    QVERIFY(isPlain(item(3, "a")) && isPlain(item(12, nullptr)));
    QCOMPARE(item(3, nullptr)->toolTip(0), QString::fromUtf8("4 对发布端和订阅端无法匹配"));
    view.applyMarks({});
    for (QTreeWidgetItem* i : {item(3, "a"), item(3, "b"), item(3, nullptr), item(12, nullptr)}) {
        QVERIFY(isPlain(i));
    }
}

// Peers join and leave a domain: the expanded items, the selection, the current item and the
// item at the top of the view stay, by domain and topic, while topics come and go before and
// after them; the topics of a peer that left go; the tree reads as a fresh build would.
void TestSysLogic::keepsPlaceUnderChurn()
{
    const uint32_t id = TestEnv::domain(4);
    QStringList args{"--domain", QString::number(id), "--participant"};
    for (int i = 0; i < 60; ++i) {
        args << "--writer" << QStringLiteral("t%1").arg(i, 2, 10, QLatin1Char('0'));
    }
    PeerProcess steady;
    QVERIFY2(steady.startPeer(args), qPrintable(steady.errorString()));
    WatchedDomain watched(id);
    QVERIFY(watched.isValid());
    SysLogic view;
    view.resize(400, 600);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QVERIFY(QMetaObject::invokeMethod(&view, "onDataChanged"));
    auto topics = [&view, id] {
        const QTreeWidgetItem* domain = view.m_domainItems.value(int(id), nullptr);
        return domain ? domain->childCount() : 0;
    };
    QTRY_COMPARE_WITH_TIMEOUT(topics(), 60, discoveryMs);
    QTRY_COMPARE_WITH_TIMEOUT(view.m_domainItems.keys(), (QList<int>{3, 12, int(id)}), discoveryMs);

    QTreeWidgetItem* domainItem = view.m_domainItems.value(int(id));
    QTreeWidgetItem* domain3 = view.m_domainItems.value(3);
    QTreeWidgetItem* domain12 = view.m_domainItems.value(12);
    domainItem->setExpanded(true);
    domain3->setExpanded(true);
    QTreeWidgetItem* chosen = Clicks::child(domainItem, QStringLiteral("t40"));
    Clicks::click(view.treeWidget, chosen);
    QTreeWidgetItem* top = Clicks::child(domainItem, QStringLiteral("t20"));
    view.treeWidget->scrollToItem(top, QAbstractItemView::PositionAtTop);
    QTreeWidget* tree = view.treeWidget;
    QCOMPARE(tree->itemAt(QPoint(1, 1)), top);
    QCOMPARE(tree->currentItem(), chosen);
    auto placeKept = [&] {
        return view.m_domainItems.value(int(id)) == domainItem && domainItem->isExpanded() &&
               view.m_domainItems.value(3) == domain3 && domain3->isExpanded() &&
               view.m_domainItems.value(12) == domain12 && !domain12->isExpanded() &&
               Clicks::child(domainItem, QStringLiteral("t40")) == chosen &&
               tree->selectedItems() == QList<QTreeWidgetItem*>{chosen} &&
               tree->currentItem() == chosen && tree->itemAt(QPoint(1, 1)) == top;
    };
    auto freshLines = [] {
        SysLogic fresh;
        QMetaObject::invokeMethod(&fresh, "onDataChanged");
        return TreeDump::lines(fresh.treeWidget);
    };

    for (int round = 0; round < 2; ++round) {
        // Topics before, between and after the operator's items.
        PeerProcess churn;
        QVERIFY2(churn.startPeer(QStringList{"--domain", QString::number(id), "--participant",
                                             "--writer", "a0", "--writer", "a1", "--reader", "a2",
                                             "--writer", "t405", "--reader", "u1"}),
                 qPrintable(churn.errorString()));
        QTRY_COMPARE_WITH_TIMEOUT(topics(), 65, discoveryMs);
        QVERIFY(placeKept());
        QVERIFY(Clicks::child(domainItem, QStringLiteral("a0")));
        QCOMPARE(TreeDump::lines(tree), freshLines());
        QVERIFY(churn.stop());
        QTRY_COMPARE_WITH_TIMEOUT(topics(), 60, discoveryMs);
        QVERIFY(placeKept());
        QVERIFY(!Clicks::child(domainItem, QStringLiteral("a0")));
        QVERIFY(!Clicks::child(domainItem, QStringLiteral("t405")));
        QCOMPARE(TreeDump::lines(tree), freshLines());
    }

    // The domain goes with its last peer, and with it the selection.
    QVERIFY(steady.stop());
    QTRY_VERIFY_WITH_TIMEOUT(!view.m_domainItems.contains(int(id)), discoveryMs);
    QVERIFY(tree->selectedItems().isEmpty());
    QVERIFY(domain3->isExpanded());
}

// A view updated in place over a seeded series of changes reads exactly as a fresh build of the
// same data, marks included, and keeps the item of every domain and topic that stays.
void TestSysLogic::inPlaceMatchesFreshBuild()
{
    // "\xff" and "\xfe" both read as the replacement character: one item for both.
    const std::vector<std::string> names{"a", "B",   "b",    "c",    "x1",           "x2",
                                         "z", "a b", "\xff", "\xfe", "\xe4\xb8\xad", "ab"};
    std::mt19937 random(15);
    SysLogic view;
    LogicalTree tree;
    IncompatiblePairs marks;
    int tags = 0;
    for (int step = 0; step < 300; ++step) {
        for (int change = 1 + int(random() % 4); change > 0; --change) {
            const uint32_t domain = uint32_t(random() % 4) * 7;
            const std::string& name = names[random() % names.size()];
            std::set<std::string>& topics = tree[domain];
            if (!topics.erase(name)) {
                topics.insert(name);
            }
            if (random() % 12 == 0) {
                tree.erase(domain);
            }
        }
        if (step % 3 == 0) {
            marks.clear();
            for (const auto& domain : tree) {
                for (const std::string& name : domain.second) {
                    if (random() % 3 == 0) {
                        marks[domain.first][name] = 1 + random() % 3;
                    }
                }
            }
            view.applyMarks(marks);
        } else if (step % 3 == 1 && !tree.empty()) {
            // One topic's count changes, comes or goes: the rest stays as it was.
            auto domain = std::next(tree.begin(), long(random() % tree.size()));
            if (!domain->second.empty()) {
                const std::string& name =
                    *std::next(domain->second.begin(), long(random() % domain->second.size()));
                const uint64_t count = random() % 3;
                if (count == 0) {
                    marks[domain->first].erase(name);
                    if (marks[domain->first].empty()) {
                        marks.erase(domain->first);
                    }
                } else {
                    marks[domain->first][name] = count;
                }
                view.applyMarks(marks);
            }
        }
        // Every item carries a tag from the step that made it; one that stays keeps its tag.
        QHash<QString, int> tagged;
        std::function<void(QTreeWidgetItem*, const QString&)> note = [&](QTreeWidgetItem* item,
                                                                         const QString& path) {
            tagged.insert(path + item->text(0), item->data(0, Qt::UserRole).toInt());
            for (int i = 0; i < item->childCount(); ++i) {
                note(item->child(i), path + item->text(0) + QLatin1Char('/'));
            }
        };
        note(view.m_rootItem, QString());

        view.showTree(tree);
        SysLogic fresh;
        fresh.applyMarks(marks);
        fresh.showTree(tree);
        QCOMPARE(markedLines(view.treeWidget), markedLines(fresh.treeWidget));
        QCOMPARE(view.m_domainItems.keys(), fresh.m_domainItems.keys());

        std::function<void(QTreeWidgetItem*, const QString&)> check = [&](QTreeWidgetItem* item,
                                                                          const QString& path) {
            const QString key = path + item->text(0);
            if (tagged.contains(key)) {
                QCOMPARE(item->data(0, Qt::UserRole).toInt(), tagged.value(key));
            } else {
                item->setData(0, Qt::UserRole, ++tags);
            }
            for (int i = 0; i < item->childCount(); ++i) {
                check(item->child(i), key + QLatin1Char('/'));
            }
        };
        check(view.m_rootItem, QString());
        if (QTest::currentTestFailed()) {
            QFAIL(qPrintable(QStringLiteral("step %1").arg(step)));
        }
    }
    QVERIFY(tags > 50);
}

QTEST_MAIN(TestSysLogic)
#include "tst_syslogic.moc"
