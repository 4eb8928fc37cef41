// The event page over a log of its own: the columns and their texts, following the newest
// events or keeping the operator's place, the filter, and the export of what it keeps.
#include "EventJson.h"
#include "EventLog.h"
#include "EventLogPage.h"
#include "EventTime.h"
#include "HandleText.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLineEdit>
#include <QMessageBox>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

const int64_t baseMs = 1714953605000; // 2024-05-06 00:00:05 UTC

std::string keyOf(int n)
{
    std::string key(16, '\x42');
    key[12] = char(n >> 24);
    key[13] = char(n >> 16);
    key[14] = char(n >> 8);
    key[15] = char(n);
    return key;
}

// Event n of a small system: writers on "Track" and readers on "Plan" of two processes, every
// fifth one leaving.
DiscoveryEvent eventNumber(int n)
{
    auto entity = std::make_shared<EntityDescription>();
    entity->key = keyOf(n);
    entity->handle = HandleText::text(entity->key);
    entity->recordRead = true;
    const bool writer = n % 2 == 0;
    entity->topic = writer ? QStringLiteral("Track") : QStringLiteral("Plan");
    entity->type = QStringLiteral("fleet::") + entity->topic;
    entity->placed = true;
    entity->host = n % 3 == 0 ? QStringLiteral("ops-node-7") : QStringLiteral("console");
    entity->ips = QStringLiteral("10.0.0.%1").arg(n % 3 == 0 ? 7 : 9);
    entity->process = n % 3 == 0 ? QStringLiteral("tracker") : QString::fromUtf8("显示器");
    entity->pid = n % 3 == 0 ? 42 : 4404;
    DiscoveryEvent e;
    e.time = EventStamp{baseMs + n * 1000, 0};
    e.domainId = uint32_t(n % 4);
    e.event = n % 5 == 0 ? DiscoveryEventKind::Left : DiscoveryEventKind::Joined;
    e.kind = writer ? DiscoveredKind::Writer : DiscoveredKind::Reader;
    e.entity = entity;
    return e;
}

void appendEvents(EventLog& log, int from, int count)
{
    std::vector<DiscoveryEvent> events;
    for (int n = from; n < from + count; ++n) {
        events.push_back(eventNumber(n));
    }
    log.append(std::move(events));
}

QString cell(const QTableView* table, int row, int column)
{
    return table->model()->index(row, column).data().toString();
}

// The sequence number of the event in the view's top row.
uint64_t topSeq(const QTableView* table, const EventLog& log)
{
    const QModelIndex top = table->indexAt(QPoint(1, 1));
    const QString handle = top.sibling(top.row(), 7).data().toString();
    for (const DiscoveryEvent& e : log.since(0)) {
        if (e.entity->handle == handle) {
            return e.seq;
        }
    }
    return 0;
}

bool lastRowShown(const QTableView* table)
{
    const int last = table->model()->rowCount() - 1;
    const QRect rect = table->visualRect(table->model()->index(last, 0));
    return rect.isValid() && table->viewport()->rect().contains(rect.bottomLeft());
}

QAction* exportAction(QTableView* table)
{
    for (QAction* action : table->actions()) {
        if (action->text() == QString::fromUtf8("导出…")) {
            return action;
        }
    }
    return nullptr;
}

QList<QByteArray> fileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

} // namespace

class TestEventLogPage : public QObject
{
    Q_OBJECT

private slots:
    void columnsShowTheEvent();
    void followsTheNewestOrKeepsItsPlace();
    void filterKeepsRowsContainingTheText_data();
    void filterKeepsRowsContainingTheText();
    void exportWritesWhatTheFilterKeeps();
    void exportThatCannotWriteSaysSo();
    void fullLog();
};

void TestEventLogPage::columnsShowTheEvent()
{
    EventLog log(100);
    appendEvents(log, 5, 2); // a writer leaving, then a reader joining
    EventLogPage page(log);
    auto* table = page.findChild<QTableView*>(QStringLiteral("eventTable"));
    QVERIFY(table);
    QVERIFY(page.findChild<QLineEdit*>(QStringLiteral("eventFilter")));
    QStringList headers;
    for (int column = 0; column < table->model()->columnCount(); ++column) {
        headers << table->model()->headerData(column, Qt::Horizontal).toString();
    }
    QCOMPARE(headers,
             QString::fromUtf8("时间 域 事件 实体 话题 节点 进程 标识").split(QLatin1Char(' ')));
    QCOMPARE(table->model()->rowCount(), 2);
    // Oldest at the top.
    QStringList first;
    QStringList second;
    for (int column = 0; column < 8; ++column) {
        first << cell(table, 0, column);
        second << cell(table, 1, column);
    }
    const DiscoveryEvent five = eventNumber(5);
    QCOMPARE(first, (QStringList{EventTime::shown(five.time), QStringLiteral("1"),
                                 QString::fromUtf8("离开"), QString::fromUtf8("数据读者"),
                                 QStringLiteral("Plan"), QStringLiteral("console - 10.0.0.9"),
                                 QString::fromUtf8("显示器:4404"), five.entity->handle}));
    QCOMPARE(second.mid(1, 5), (QStringList{QStringLiteral("2"), QString::fromUtf8("加入"),
                                            QString::fromUtf8("数据写者"), QStringLiteral("Track"),
                                            QStringLiteral("ops-node-7 - 10.0.0.7")}));
    QCOMPARE(table->model()->index(1, 4).data(Qt::ToolTipRole).toString(),
             QString::fromUtf8("类型名称:fleet::Track"));

    // A participant, and an entity whose participant could not be read.
    DiscoveryEvent participant = eventNumber(8);
    participant.kind = DiscoveredKind::Participant;
    auto unplaced = std::make_shared<EntityDescription>(*participant.entity);
    unplaced->topic.clear();
    unplaced->placed = false;
    participant.entity = unplaced;
    log.append({participant});
    QCOMPARE(table->model()->rowCount(), 3);
    QCOMPARE(cell(table, 2, 3), QString::fromUtf8("域参与者"));
    QCOMPARE(cell(table, 2, 4), QString());
    QCOMPARE(cell(table, 2, 5), QString());
    QCOMPARE(cell(table, 2, 6), QString());
}

void TestEventLogPage::followsTheNewestOrKeepsItsPlace()
{
    EventLog log(200);
    appendEvents(log, 0, 150);
    EventLogPage page(log);
    page.resize(700, 300);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    QTableView* table = page.eventTable;
    // The new events arrive while at the bottom: the view follows them.
    table->scrollToBottom();
    appendEvents(log, 150, 10);
    QCOMPARE(table->model()->rowCount(), 160);
    QTRY_VERIFY(lastRowShown(table));

    // Scrolled up, the rows shown stay, also when the oldest go to make room.
    table->scrollTo(table->model()->index(40, 0), QAbstractItemView::PositionAtTop);
    const uint64_t top = topSeq(table, log);
    QCOMPARE(top, uint64_t(41));
    appendEvents(log, 160, 5);
    QCOMPARE(topSeq(table, log), top);
    QVERIFY(!lastRowShown(table));
    appendEvents(log, 165, 60); // 225 recorded, the oldest 25 gone
    QCOMPARE(table->model()->rowCount(), 200);
    QCOMPARE(log.since(0).front().seq, uint64_t(26));
    QCOMPARE(topSeq(table, log), top);
    // Once the top row itself has gone, the view shows the oldest held.
    appendEvents(log, 225, 40);
    QCOMPARE(table->model()->rowCount(), 200);
    QCOMPARE(topSeq(table, log), log.since(0).front().seq);

    // Back at the bottom, it follows again.
    table->scrollToBottom();
    appendEvents(log, 265, 3);
    QTRY_VERIFY(lastRowShown(table));
    QCOMPARE(cell(table, table->model()->rowCount() - 1, 7), eventNumber(267).entity->handle);
}

void TestEventLogPage::filterKeepsRowsContainingTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("column"); // a column that shows the text in some row, -1 for none
    QTest::newRow("nothing: every row") << QString() << -1;
    QTest::newRow("topic, any case") << QStringLiteral("tRaCk") << 4;
    QTest::newRow("event") << QString::fromUtf8("离开") << 2;
    QTest::newRow("entity") << QString::fromUtf8("数据读者") << 3;
    QTest::newRow("host") << QStringLiteral("ops-node") << 5;
    QTest::newRow("address") << QStringLiteral("10.0.0.9") << 5;
    QTest::newRow("process and id") << QString::fromUtf8("显示器:4404") << 6;
    QTest::newRow("handle") << HandleText::text(keyOf(17)).mid(20) << 7;
    QTest::newRow("time") << QStringLiteral(":00:17.") << 0;
    QTest::newRow("domain") << QStringLiteral("3") << 1;
    QTest::newRow("no such text") << QStringLiteral("zzz") << -1;
}

void TestEventLogPage::filterKeepsRowsContainingTheText()
{
    QFETCH(QString, text);
    QFETCH(int, column);
    EventLog log(1000);
    appendEvents(log, 0, 60);
    EventLogPage page(log);
    QTableView* table = page.eventTable;
    page.eventFilter->setText(text);

    // The texts each row shows, from the events themselves; the rows kept in the log's order.
    QStringList expected;
    bool inColumn = false;
    for (const DiscoveryEvent& e : log.since(0)) {
        const QString shown[8] = {EventTime::shown(e.time),
                                  QString::number(e.domainId),
                                  e.event == DiscoveryEventKind::Left ? QString::fromUtf8("离开")
                                                                      : QString::fromUtf8("加入"),
                                  e.kind == DiscoveredKind::Writer ? QString::fromUtf8("数据写者")
                                                                   : QString::fromUtf8("数据读者"),
                                  e.entity->topic,
                                  e.entity->host + QStringLiteral(" - ") + e.entity->ips,
                                  e.entity->process + QLatin1Char(':') +
                                      QString::number(e.entity->pid),
                                  e.entity->handle};
        bool keep = false;
        for (int c = 0; c < 8; ++c) {
            const bool has = shown[c].contains(text, Qt::CaseInsensitive);
            keep = keep || has;
            inColumn = inColumn || (has && c == column && !text.isEmpty());
        }
        if (keep) {
            expected << e.entity->handle;
        }
    }
    QStringList kept;
    for (int row = 0; row < table->model()->rowCount(); ++row) {
        kept << cell(table, row, 7);
    }
    QCOMPARE(kept, expected);
    if (column >= 0) {
        // the case is not vacuous: the text is where the row says, and some rows go
        QVERIFY(inColumn);
        QVERIFY(kept.size() < 60);
    }
    QCOMPARE(kept.isEmpty(), text == QStringLiteral("zzz"));
    // New events go through the same filter.
    appendEvents(log, 60, 20);
    for (int row = 0; row < table->model()->rowCount(); ++row) {
        bool any = false;
        for (int c = 0; c < 8; ++c) {
            any = any || cell(table, row, c).contains(text, Qt::CaseInsensitive);
        }
        QVERIFY2(any, qPrintable(cell(table, row, 7)));
    }
    QVERIFY(table->model()->rowCount() >= kept.size());
}

void TestEventLogPage::exportWritesWhatTheFilterKeeps()
{
    EventLog log(1000);
    appendEvents(log, 0, 40);
    EventLogPage page(log);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString answer = dir.filePath(QStringLiteral("track.jsonl"));
    int asked = 0;
    page.setFileChooser([&](QWidget* parent) {
        ++asked;
        return parent == &page ? answer : QString();
    });
    QAction* action = exportAction(page.eventTable);
    QVERIFY(action);
    QCOMPARE(page.eventTable->contextMenuPolicy(), Qt::ActionsContextMenu);

    QTest::keyClicks(page.eventFilter, QStringLiteral("Plan"));
    action->trigger();
    QCOMPARE(asked, 1);
    QList<QByteArray> lines = fileLines(answer);
    QCOMPARE(lines.size(), 20);
    int i = 0;
    for (const DiscoveryEvent& e : log.since(0)) {
        if (e.entity->topic != QStringLiteral("Plan")) {
            continue;
        }
        QCOMPARE(lines.at(i), EventJson::line(e));
        const QJsonObject json = QJsonDocument::fromJson(lines.at(i)).object();
        QCOMPARE(json.value(QStringLiteral("topic")).toString(), QStringLiteral("Plan"));
        QCOMPARE(json.value(QStringLiteral("handle")).toString(), e.entity->handle);
        ++i;
    }
    QCOMPARE(i, 20);

    // Without a filter, every event; the file is replaced.
    page.eventFilter->clear();
    action->trigger();
    lines = fileLines(answer);
    QCOMPARE(lines.size(), 40);
    QCOMPARE(QJsonDocument::fromJson(lines.first())
                 .object()
                 .value(QStringLiteral("epoch_ms"))
                 .toVariant()
                 .toLongLong(),
             baseMs);

    // Cancelled: nothing is written.
    answer.clear();
    action->trigger();
    QCOMPARE(asked, 3);
    QCOMPARE(fileLines(dir.filePath(QStringLiteral("track.jsonl"))).size(), 40);
    QVERIFY(!page.findChild<QMessageBox*>());
}

void TestEventLogPage::exportThatCannotWriteSaysSo()
{
    EventLog log(10);
    appendEvents(log, 0, 3);
    EventLogPage page(log);
    page.show();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/dir/events.jsonl"));
    page.setFileChooser([&](QWidget*) { return path; });
    QVERIFY(!page.exportTo(path));
    exportAction(page.eventTable)->trigger();
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = page.findChild<QMessageBox*>()) != nullptr);
    QCOMPARE(box->windowTitle(), QString::fromUtf8("导出失败"));
    QVERIFY(box->text().contains(path));
    QVERIFY(!QFile::exists(path));
    box->close();
}

void TestEventLogPage::fullLog()
{
    // The log at its default size and beyond: the table holds as many rows, filters and
    // exports them. How long that takes is printed, never checked.
    EventLog log;
    const int total = int(log.capacity()) + 500;
    for (int from = 0; from < total; from += 5000) {
        appendEvents(log, from, std::min(5000, total - from));
    }
    QElapsedTimer timer;
    timer.start();
    EventLogPage page(log);
    page.resize(900, 400);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    const qint64 shownMs = timer.restart();
    QCOMPARE(page.eventTable->model()->rowCount(), int(log.capacity()));
    QTRY_VERIFY(lastRowShown(page.eventTable));
    QCOMPARE(cell(page.eventTable, int(log.capacity()) - 1, 7),
             eventNumber(total - 1).entity->handle);

    page.eventFilter->setText(QStringLiteral("ops-node-7 - 10.0.0.7"));
    const qint64 filterMs = timer.restart();
    // Every third event runs on ops-node-7.
    const int kept = page.eventTable->model()->rowCount();
    int expected = 0;
    for (int n = total - int(log.capacity()); n < total; ++n) {
        expected += n % 3 == 0 ? 1 : 0;
    }
    QCOMPARE(kept, expected);

    // A pass's worth of events into the full table: as many rows go at the top.
    timer.restart();
    appendEvents(log, total, 52);
    const qint64 appendMs = timer.restart();
    int onNode = 0;
    for (const DiscoveryEvent& e : log.since(0)) {
        onNode += e.entity->host == QStringLiteral("ops-node-7") ? 1 : 0;
    }
    QCOMPARE(page.eventTable->model()->rowCount(), onNode);
    QVERIFY(onNode != expected);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("all.jsonl"));
    page.eventFilter->clear();
    timer.restart();
    QVERIFY(page.exportTo(path));
    const qint64 exportMs = timer.elapsed();
    QCOMPARE(fileLines(path).size(), int(log.capacity()));
    QCOMPARE(fileLines(path).last(), EventJson::line(log.since(0).back()));
    qInfo("%d events: page shown in %lld ms, filtered in %lld ms, 52 more in %lld ms, exported "
          "in %lld ms",
          int(log.capacity()), shownMs, filterMs, appendMs, exportMs);
}

QTEST_MAIN(TestEventLogPage)
#include "tst_eventlogpage.moc"
