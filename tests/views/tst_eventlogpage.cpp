// The event page over a log of its own: the columns and their texts, following the newest
// events or keeping the operator's place, the filter, and the export of what it keeps.
#include "EventJson.h"
#include "EventLog.h"
#include "EventLogPage.h"
#include "EventTime.h"
#include "HandleText.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

// Event n of a small system: writers on "Track" and readers on "Plan" in two processes, every
// fifth one leaving, every seventh a participant.
DiscoveryEvent eventNumber(int n)
{
    auto entity = std::make_shared<EntityDescription>();
    entity->key = std::string(12, '\x42') + char(n >> 24) + char(n >> 16) + char(n >> 8) + char(n);
    entity->handle = HandleText::text(entity->key);
    DiscoveryEvent e;
    e.time = EventStamp{1714953605000 + n * 1000, 0};
    e.domainId = uint32_t(n % 4);
    e.event = n % 5 == 0 ? DiscoveryEventKind::Left : DiscoveryEventKind::Joined;
    e.kind = n % 7 == 0   ? DiscoveredKind::Participant
             : n % 2 == 0 ? DiscoveredKind::Writer
                          : DiscoveredKind::Reader;
    if (e.kind != DiscoveredKind::Participant) {
        entity->topic = e.kind == DiscoveredKind::Writer ? "Track" : "Plan";
        entity->type = "fleet::" + entity->topic;
    }
    entity->placed = n % 11 != 0;
    if (entity->placed) {
        entity->host = n % 3 == 0 ? "ops-node-7" : "console";
        entity->ips = QStringLiteral("10.0.0.%1").arg(n % 3 == 0 ? 7 : 9);
        entity->process = n % 3 == 0 ? "tracker" : "显示器";
        entity->pid = n % 3 == 0 ? 42 : 4404;
    }
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

// The cells a row must show for an event, worked out apart from the page.
QStringList cellsOf(const DiscoveryEvent& e)
{
    const char* kinds[] = {"域参与者", "数据写者", "数据读者"};
    const EntityDescription& d = *e.entity;
    return {EventTime::shown(e.time),
            QString::number(e.domainId),
            e.event == DiscoveryEventKind::Left ? "离开" : "加入",
            kinds[int(e.kind)],
            d.topic,
            d.placed ? d.host + " - " + d.ips : QString(),
            d.placed ? d.process + ':' + QString::number(d.pid) : QString(),
            d.handle};
}

// Types into the filter as the operator does. The field's clear button fades in or out, and Qt
// frees that animation only once it has run: wait for the fade to end.
bool setFilter(EventLogPage& page, const QString& text)
{
    page.eventFilter->setText(text);
    const QObject* clear = page.eventFilter->findChild<QToolButton*>();
    const qreal opacity = text.isEmpty() ? 0.0 : 1.0;
    return clear && QTest::qWaitFor([&] { return clear->property("opacity") == opacity; });
}

QStringList rowCells(const QTableView* table, int row)
{
    QStringList cells;
    for (int column = 0; column < table->model()->columnCount(); ++column) {
        cells << table->model()->index(row, column).data().toString();
    }
    return cells;
}

QString handleAt(const QTableView* table, int row)
{
    return table->model()->index(row, 7).data().toString();
}

// The number of the event in the view's top row.
uint64_t topSeq(const QTableView* table, const EventLog& log)
{
    const QString handle = handleAt(table, table->indexAt(QPoint(1, 1)).row());
    for (const DiscoveryEvent& e : log.since(0)) {
        if (e.entity->handle == handle) {
            return e.seq;
        }
    }
    return 0;
}

bool lastRowShown(const QTableView* table)
{
    const QRect rect = table->visualRect(table->model()->index(table->model()->rowCount() - 1, 0));
    return rect.isValid() && table->viewport()->rect().contains(rect.bottomLeft());
}

QAction* exportAction(const QTableView* table)
{
    for (QAction* action : table->actions()) {
        if (action->text() == "导出…") {
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
    lines.removeLast(); // after the last newline
    return lines;
}

} // namespace

class TestEventLogPage : public QObject
{
    Q_OBJECT

private slots:
    void columnsShowTheEvents();
    void followsTheNewestOrKeepsItsPlace();
    void filterKeepsRowsContainingTheText_data();
    void filterKeepsRowsContainingTheText();
    void exportWritesWhatTheFilterKeeps();
};

void TestEventLogPage::columnsShowTheEvents()
{
    EventLog log(100);
    appendEvents(log, 0, 30);
    EventLogPage page(log);
    const auto* table = page.findChild<QTableView*>("eventTable");
    QCOMPARE(table, page.eventTable);
    QCOMPARE(page.findChild<QLineEdit*>("eventFilter"), page.eventFilter);
    QStringList headers;
    for (int column = 0; column < table->model()->columnCount(); ++column) {
        headers << table->model()->headerData(column, Qt::Horizontal).toString();
    }
    QCOMPARE(headers, QString("时间 域 事件 实体 话题 节点 进程 标识").split(' '));
    // Oldest at the top; the new ones below.
    appendEvents(log, 30, 5);
    QCOMPARE(table->model()->rowCount(), 35);
    for (int row = 0; row < 35; ++row) {
        QCOMPARE(rowCells(table, row), cellsOf(eventNumber(row)));
    }
    QCOMPARE(table->model()->index(2, 4).data(Qt::ToolTipRole).toString(),
             QString("类型名称:fleet::Track"));
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
    // Shown at the bottom, it follows new events there.
    QTRY_VERIFY(lastRowShown(table));
    appendEvents(log, 150, 10);
    QTRY_VERIFY(lastRowShown(table));
    QCOMPARE(handleAt(table, 159), eventNumber(159).entity->handle);

    // Scrolled up, the rows shown stay, also when the oldest go to make room.
    table->scrollTo(table->model()->index(40, 0), QAbstractItemView::PositionAtTop);
    QCOMPARE(topSeq(table, log), uint64_t(41));
    appendEvents(log, 160, 65); // 225 recorded, the oldest 25 gone
    QCOMPARE(table->model()->rowCount(), 200);
    QCOMPARE(topSeq(table, log), uint64_t(41));
    QVERIFY(!lastRowShown(table));
    // Once the top row itself has gone, the view shows the oldest held.
    appendEvents(log, 225, 40);
    QCOMPARE(topSeq(table, log), log.since(0).front().seq);

    // Back at the bottom, it follows again.
    table->scrollToBottom();
    appendEvents(log, 265, 3);
    QTRY_VERIFY(lastRowShown(table));
    QCOMPARE(handleAt(table, 199), eventNumber(267).entity->handle);
}

void TestEventLogPage::filterKeepsRowsContainingTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("column"); // a column that shows the text in some row
    QTest::newRow("nothing: every row") << QString() << -1;
    QTest::newRow("time") << ":00:17." << 0;
    QTest::newRow("domain") << "3" << 1;
    QTest::newRow("event") << "离开" << 2;
    QTest::newRow("entity") << "域参与者" << 3;
    QTest::newRow("topic, any case") << "tRaCk" << 4;
    QTest::newRow("host address") << "10.0.0.9" << 5;
    QTest::newRow("process and id") << "显示器:4404" << 6;
    QTest::newRow("handle") << HandleText::text(eventNumber(17).entity->key).mid(20) << 7;
    QTest::newRow("no such text") << "zzz" << -1;
}

void TestEventLogPage::filterKeepsRowsContainingTheText()
{
    QFETCH(QString, text);
    QFETCH(int, column);
    EventLog log(1000);
    appendEvents(log, 0, 60);
    EventLogPage page(log);
    QVERIFY(setFilter(page, text));
    // New events go through the same filter.
    appendEvents(log, 60, 20);
    QStringList expected;
    bool inColumn = false;
    for (const DiscoveryEvent& e : log.since(0)) {
        const QStringList cells = cellsOf(e);
        if (cells.join('\n').contains(text, Qt::CaseInsensitive)) {
            expected << e.entity->handle;
            inColumn =
                inColumn || (column >= 0 && cells[column].contains(text, Qt::CaseInsensitive));
        }
    }
    QStringList kept;
    for (int row = 0; row < page.eventTable->model()->rowCount(); ++row) {
        kept << handleAt(page.eventTable, row);
    }
    QCOMPARE(kept, expected);
    // Not vacuous: the text is where the case says, and the filter drops rows.
    QCOMPARE(inColumn, column >= 0);
    QCOMPARE(kept.size() < 80, !text.isEmpty());
    QCOMPARE(kept.isEmpty(), text == "zzz");
}

void TestEventLogPage::exportWritesWhatTheFilterKeeps()
{
    EventLog log(1000);
    appendEvents(log, 0, 40);
    EventLogPage page(log);
    page.show();
    QTemporaryDir dir;
    QString answer = dir.filePath("plan.jsonl");
    int asked = 0;
    page.setFileChooser([&](QWidget* parent) {
        ++asked;
        return parent == &page ? answer : QString();
    });
    QCOMPARE(page.eventTable->contextMenuPolicy(), Qt::ActionsContextMenu);
    QAction* action = exportAction(page.eventTable);
    QVERIFY(action);
    const auto linesOf = [&log](const QString& topic) {
        QList<QByteArray> lines;
        for (const DiscoveryEvent& e : log.since(0)) {
            if (topic.isEmpty() || e.entity->topic == topic) {
                lines << EventJson::line(e);
            }
        }
        return lines;
    };

    QVERIFY(setFilter(page, "Plan"));
    action->trigger();
    QCOMPARE(fileLines(answer), linesOf("Plan"));
    QVERIFY(linesOf("Plan").size() < 40);
    // Without a filter, every event; the file is replaced.
    QVERIFY(setFilter(page, QString()));
    action->trigger();
    QCOMPARE(fileLines(answer), linesOf(QString()));
    // Cancelled: nothing is written.
    answer.clear();
    action->trigger();
    QCOMPARE(asked, 3);
    QCOMPARE(fileLines(dir.filePath("plan.jsonl")).size(), 40);
    QVERIFY(!page.findChild<QMessageBox*>());
    // A file that cannot be written is not written, and the operator is told.
    answer = dir.filePath("missing/events.jsonl");
    action->trigger();
    QMessageBox* box = nullptr;
    QTRY_VERIFY((box = page.findChild<QMessageBox*>()) != nullptr);
    QCOMPARE(box->windowTitle(), QString("导出失败"));
    QVERIFY(box->text().contains(answer));
    QVERIFY(!QFile::exists(answer));
    box->close();
}

QTEST_MAIN(TestEventLogPage)
#include "tst_eventlogpage.moc"
