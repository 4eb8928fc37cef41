// The panel bases: TabTree's form, TabWidget keeping page i with tab i through additions,
// switches and closes, and the statistics panel built on it with its three fixed pages.
#include "Clicks.h"
#include "DomainSummaryTree.h"
#include "MyTab.h"
#include "ProblemList.h"
#include "StatisticalTab.h"
#include "TabBar.h"
#include "TabTree.h"
#include "TabWidget.h"
#include "TreeDump.h"

#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QtTest>

#include <memory>
#include <string>

namespace {

QString headerTexts(const QTreeWidget* tree)
{
    QStringList texts;
    for (int c = 0; c < tree->columnCount(); ++c) {
        texts << tree->headerItem()->text(c);
    }
    return texts.join(QLatin1Char('|'));
}

// An entry with made-up endpoints: process "p", handle "0x" and the given name.
Problem problem(ProblemLevel level, uint32_t domain, const std::string& topic,
                const QString& writer, const QString& reader)
{
    Problem p;
    p.level = level;
    p.domain = domain;
    p.topic = topic;
    p.text = QStringLiteral("why");
    if (!writer.isEmpty()) {
        p.writer = {writer.toStdString(), QStringLiteral("0x") + writer,
                    QStringLiteral("p:") + writer};
    }
    if (!reader.isEmpty()) {
        p.reader = {reader.toStdString(), QStringLiteral("0x") + reader,
                    QStringLiteral("p:") + reader};
    }
    p.kind = writer.isEmpty() || reader.isEmpty() ? Problem::Kind::UnmatchedReader
                                                  : Problem::Kind::IncompatiblePair;
    return p;
}

ProblemReportPtr report(const std::vector<Problem>& problems)
{
    auto made = std::make_shared<ProblemReport>();
    made->problems = problems;
    return made;
}

// Tab i and page i belong together (pages are named after their tab's title) and the page
// shown is the current tab's.
void verifyPagesFollowTabs(const TabWidget& panel)
{
    const TabBar* bar = panel.tabBar;
    QCOMPARE(panel.stackedWidget->count(), bar->tabs.size());
    for (int i = 0; i < bar->tabs.size(); ++i) {
        QCOMPARE(panel.stackedWidget->widget(i)->objectName(), bar->tabs.at(i)->title);
    }
    if (!bar->tabs.isEmpty()) {
        QCOMPARE(panel.stackedWidget->currentIndex(), bar->currentIndex);
    }
}

// A panel with pages p0..p(count-1), page `current` shown.
std::unique_ptr<TabWidget> panelWith(int count, int current, QList<QPointer<QWidget>>& pages)
{
    auto panel = std::make_unique<TabWidget>();
    for (int i = 0; i < count; ++i) {
        auto* page = new QLabel(QStringLiteral("page %1").arg(i));
        page->setObjectName(QStringLiteral("p%1").arg(i));
        pages.append(page);
        panel->addPage(page->objectName(), page);
        panel->setCurrentPage(page);
    }
    panel->setCurrentPage(pages.at(current));
    return panel;
}

} // namespace

class TestPanelBases : public QObject
{
    Q_OBJECT

private slots:
    void tabTreeForm();
    void tabWidgetForm();
    void addPage();
    void closePage_data();
    void closePage();
    void closeAllPages();
    void switchingTabsSwitchesPages();
    void statisticalTab();
    void problemRows();
    void sharedRuns();
    void summaryRows();
};

void TestPanelBases::tabTreeForm()
{
    TabTree panel;
    QCOMPARE(panel.objectName(), QStringLiteral("TabTree"));
    QCOMPARE(panel.windowTitle(), QStringLiteral("TabTree"));
    QCOMPARE(panel.size(), QSize(659, 754));
    QCOMPARE(panel.verticalLayout->objectName(), QStringLiteral("verticalLayout"));
    QCOMPARE(panel.verticalLayout->spacing(), 0);
    QCOMPARE(panel.verticalLayout->contentsMargins(), QMargins(0, 0, 0, 0));
    QCOMPARE(panel.tabBar->objectName(), QStringLiteral("tabBar"));
    QCOMPARE(panel.verticalLayout->indexOf(panel.tabBar), 0);
    QCOMPARE(panel.treeWidget->objectName(), QStringLiteral("treeWidget"));
    QCOMPARE(panel.verticalLayout->indexOf(panel.treeWidget), 1);

    // An empty strip over an empty tree without header.
    QVERIFY(panel.tabBar->tabs.isEmpty());
    QVERIFY(!panel.tabBar->tabsClosable);
    QVERIFY(panel.treeWidget->header()->isHidden());
    QCOMPARE(panel.treeWidget->headerItem()->text(0), QStringLiteral("1"));
    QCOMPARE(panel.treeWidget->columnCount(), 1);
    QCOMPARE(panel.treeWidget->topLevelItemCount(), 0);
}

void TestPanelBases::tabWidgetForm()
{
    TabWidget panel;
    QCOMPARE(panel.objectName(), QStringLiteral("TabWidget"));
    QCOMPARE(panel.windowTitle(), QStringLiteral("TreeWidget"));
    QCOMPARE(panel.size(), QSize(746, 526));
    QCOMPARE(panel.verticalLayout->objectName(), QStringLiteral("verticalLayout"));
    QCOMPARE(panel.verticalLayout->spacing(), 0);
    QCOMPARE(panel.verticalLayout->contentsMargins(), QMargins(0, 0, 0, 0));
    QCOMPARE(panel.tabBar->objectName(), QStringLiteral("tabBar"));
    QCOMPARE(panel.stackedWidget->objectName(), QStringLiteral("stackedWidget"));
    QCOMPARE(panel.stackedWidget->frameShape(), QFrame::NoFrame);
    QCOMPARE(panel.stackedWidget->count(), 0);
    QCOMPARE(panel.stackedWidget->currentIndex(), -1);
    QVERIFY(panel.tabBar->tabsClosable);
}

void TestPanelBases::addPage()
{
    TabWidget panel;
    auto* first = new QLabel;
    auto* second = new QLabel;
    first->setObjectName(QStringLiteral("first"));
    second->setObjectName(QStringLiteral("second"));

    // The first page is shown with its tab current.
    panel.addPage(QStringLiteral("first"), first);
    QCOMPARE(panel.tabBar->currentIndex, 0);
    QCOMPARE(panel.stackedWidget->currentWidget(), first);
    QCOMPARE(first->parentWidget(), panel.stackedWidget);

    // A later page makes its tab current while the stack keeps the first page ...
    panel.addPage(QStringLiteral("second"), second);
    QCOMPARE(panel.tabBar->currentIndex, 1);
    QCOMPARE(panel.stackedWidget->currentWidget(), first);
    QCOMPARE(panel.stackedWidget->indexOf(second), 1);

    // ... until setCurrentPage shows it.
    QSignalSpy current(panel.tabBar, &TabBar::currentIndexChanged);
    panel.setCurrentPage(second);
    QCOMPARE(panel.stackedWidget->currentWidget(), second);
    QCOMPARE(panel.tabBar->currentIndex, 1);
    verifyPagesFollowTabs(panel);

    panel.setCurrentPage(first);
    QCOMPARE(panel.tabBar->currentIndex, 0);
    QCOMPARE(current.count(), 1);
    QCOMPARE(current.first().at(0).toInt(), 0);
    verifyPagesFollowTabs(panel);
}

void TestPanelBases::closePage_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("closing");
    QTest::addColumn<QString>("shownAfter");

    QTest::newRow("current in the middle") << 3 << 1 << 1 << QStringLiteral("p2");
    QTest::newRow("current at the end") << 3 << 2 << 2 << QStringLiteral("p1");
    QTest::newRow("not current, first") << 3 << 2 << 0 << QStringLiteral("p1");
    QTest::newRow("not current, neighbour shown") << 3 << 1 << 2 << QStringLiteral("p1");
    QTest::newRow("not current, other side") << 4 << 3 << 1 << QStringLiteral("p2");
}

void TestPanelBases::closePage()
{
    QFETCH(int, count);
    QFETCH(int, current);
    QFETCH(int, closing);
    QFETCH(QString, shownAfter);

    QList<QPointer<QWidget>> pages;
    auto panel = panelWith(count, current, pages);
    verifyPagesFollowTabs(*panel);
    QPointer<QWidget> closingPage = pages.at(closing);

    // Receivers of widgetRemoving still find the page at its index.
    QList<int> removing;
    bool pageStillThere = false;
    connect(panel.get(), &TabWidget::widgetRemoving, [&](int index) {
        removing.append(index);
        pageStillThere = panel->stackedWidget->count() == count &&
                         panel->stackedWidget->widget(index) == closingPage;
    });

    panel->tabBar->tabs.at(closing)->closeButton->click();

    QCOMPARE(removing, QList<int>{closing});
    QVERIFY(pageStillThere);
    QCOMPARE(panel->stackedWidget->currentWidget()->objectName(), shownAfter);
    verifyPagesFollowTabs(*panel);
    QCOMPARE(panel->stackedWidget->indexOf(closingPage), -1);
    // The panel does not delete the page; the receiver of widgetRemoving decides.
    QVERIFY(!closingPage.isNull());
    delete closingPage.data();
}

void TestPanelBases::closeAllPages()
{
    QList<QPointer<QWidget>> pages;
    auto panel = panelWith(3, 0, pages);
    QSignalSpy removing(panel.get(), &TabWidget::widgetRemoving);
    while (!panel->tabBar->tabs.isEmpty()) {
        panel->tabBar->tabs.first()->closeButton->click();
        verifyPagesFollowTabs(*panel);
    }
    QCOMPARE(removing.count(), 3);
    for (const QVariantList& args : removing) {
        QCOMPARE(args.at(0).toInt(), 0);
    }
    QCOMPARE(panel->stackedWidget->count(), 0);
    for (const QPointer<QWidget>& page : pages) {
        QVERIFY(!page.isNull());
        delete page.data();
    }
}

void TestPanelBases::switchingTabsSwitchesPages()
{
    QList<QPointer<QWidget>> pages;
    auto panel = panelWith(3, 2, pages);
    panel->resize(800, 400);
    panel->show();
    QVERIFY(QTest::qWaitForWindowExposed(panel.get()));
    QTRY_VERIFY(panel->tabBar->tabs.at(0)->isVisible());

    QTest::mouseClick(panel->tabBar->tabs.at(0), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(panel->stackedWidget->currentWidget(), pages.at(0).data());
    verifyPagesFollowTabs(*panel);

    QWheelEvent down(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, -120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(panel->tabBar->tabs.at(0), &down);
    QCOMPARE(panel->stackedWidget->currentWidget(), pages.at(1).data());
    verifyPagesFollowTabs(*panel);
}

void TestPanelBases::statisticalTab()
{
    StatisticalTab panel;
    QVERIFY(panel.inherits("TabWidget"));
    QVERIFY(panel.qt_metacast("StatisticalTab") != nullptr);
    QVERIFY(panel.qt_metacast("TabWidget") != nullptr);
    const QMetaObject* meta = panel.metaObject();
    QCOMPARE(meta->methodCount() - meta->methodOffset(), 2);
    QCOMPARE(meta->method(meta->methodOffset()).methodSignature(),
             QByteArray("setCurHandle(QString)"));
    QCOMPARE(meta->method(meta->methodOffset() + 1).methodSignature(),
             QByteArray("setCurHandle(QString,std::string)"));

    // Three fixed pages, "问题" shown first, the event log last.
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QCOMPARE(panel.tabBar->tabs.size(), 3);
    QCOMPARE(panel.tabBar->tabs.at(0)->title, QString::fromUtf8("问题"));
    QCOMPARE(panel.tabBar->tabs.at(1)->title, QString::fromUtf8("统计"));
    QCOMPARE(panel.stackedWidget->count(), 3);
    QCOMPARE(panel.stackedWidget->widget(0), static_cast<QWidget*>(panel.problemTree));
    QCOMPARE(panel.stackedWidget->widget(1), static_cast<QWidget*>(panel.summaryTree));
    QCOMPARE(panel.tabBar->tabs.at(2)->title, QString::fromUtf8("事件"));
    QWidget* events = panel.stackedWidget->widget(2);
    QVERIFY(events->inherits("EventLogPage"));
    QCOMPARE(panel.stackedWidget->currentIndex(), 0);
    QCOMPARE(panel.tabBar->currentIndex, 0);
    auto* problems = panel.findChild<QTreeWidget*>(QStringLiteral("problemTree"));
    QCOMPARE(problems, static_cast<QTreeWidget*>(panel.problemTree));
    QCOMPARE(headerTexts(problems), QString::fromUtf8("级别|域|话题|问题|发布端|订阅端"));
    auto* summary = panel.findChild<QTreeWidget*>(QStringLiteral("summaryTree"));
    QCOMPARE(summary, static_cast<QTreeWidget*>(panel.summaryTree));
    QCOMPARE(headerTexts(summary),
             QString::fromUtf8("域|参与者|节点|进程|话题|发布端|订阅端|错误|警告|提示"));

    // No tab closes, whoever asks.
    for (MyTab* tab : panel.tabBar->tabs) {
        QVERIFY(!tab->isClosable());
        emit tab->closeRequest();
    }
    QCOMPARE(panel.tabBar->tabs.size(), 3);
    QCOMPARE(panel.stackedWidget->count(), 3);
    panel.tabBar->setCurIndex(1);
    QCOMPARE(panel.stackedWidget->currentWidget(), static_cast<QWidget*>(panel.summaryTree));

    QVERIFY(panel.statLabel != nullptr);
    panel.setCurHandle(QStringLiteral("0x0102"));
    QCOMPARE(panel.statLabel->text(), QStringLiteral("hello world"));
    panel.statLabel->clear();
    panel.setCurHandle(QString(), std::string("reader"));
    QCOMPARE(panel.statLabel->text(), QStringLiteral("hello world"));
    panel.statLabel->clear();
    QVERIFY(QMetaObject::invokeMethod(&panel, "setCurHandle", Q_ARG(QString, QStringLiteral("x"))));
    QCOMPARE(panel.statLabel->text(), QStringLiteral("hello world"));

    // Nothing else changes.
    QCOMPARE(panel.tabBar->tabs.size(), 3);
    QCOMPARE(panel.stackedWidget->widget(2), events);
    QCOMPARE(panel.problemTree->topLevelItemCount(), 0);
    QVERIFY(panel.statLabel->isHidden());
}

// A report changes only the rows that differ: the selected row stays with its entry while
// others come and go; a double click asks for the entry's topic and endpoint.
void TestPanelBases::problemRows()
{
    // Lets the spy keep the signal's arguments.
    qRegisterMetaType<uint32_t>("uint32_t");
    StatisticalTab panel;
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    ProblemList* list = panel.problemTree;
    const Problem weather = problem(ProblemLevel::Error, 0, "WeatherReport", "w1", "r1");
    const Problem health = problem(ProblemLevel::Warning, 0, "SystemHealth", QString(), "r2");
    const Problem command = problem(ProblemLevel::Hint, 0, "Command", QString(), QString());
    panel.showReport(report({weather, health, command}));
    QCOMPARE(TreeDump::lines(list),
             (QStringList{"错误|0|WeatherReport|why|p:w1 0xw1|p:r1 0xr1",
                          "警告|0|SystemHealth|why||p:r2 0xr2", "提示|0|Command|why"}));
    QTreeWidgetItem* kept = list->topLevelItem(1);
    list->setCurrentItem(kept);

    // One entry before it, one after, and a new text for the first.
    Problem first = problem(ProblemLevel::Error, 0, "A", "w0", "r0");
    Problem weatherAgain = weather;
    weatherAgain.text = QStringLiteral("other");
    const Problem last = problem(ProblemLevel::Hint, 1, "Z", "w9", QString());
    panel.showReport(report({first, weatherAgain, health, last}));
    QCOMPARE(TreeDump::lines(list),
             (QStringList{"错误|0|A|why|p:w0 0xw0|p:r0 0xr0",
                          "错误|0|WeatherReport|other|p:w1 0xw1|p:r1 0xr1",
                          "警告|0|SystemHealth|why||p:r2 0xr2", "提示|1|Z|why|p:w9 0xw9"}));
    QCOMPARE(list->topLevelItem(2), kept);
    QCOMPARE(list->currentItem(), kept);
    QCOMPARE(list->problemOf(kept)->topic, std::string("SystemHealth"));

    QSignalSpy requests(list, &ProblemList::endpointRequested);
    Clicks::doubleClick(list, list->topLevelItem(1));
    Clicks::doubleClick(list, kept);
    Clicks::doubleClick(list, list->topLevelItem(3));
    QCOMPARE(requests.count(), 3);
    // the writer when there is one, else the reader
    QCOMPARE(requests.at(0).at(1).toString(), QStringLiteral("WeatherReport"));
    QCOMPARE(requests.at(0).at(2).toString(), QStringLiteral("0xw1"));
    QCOMPARE(requests.at(1).at(2).toString(), QStringLiteral("0xr2"));
    QCOMPARE(requests.at(2).at(0).value<uint32_t>(), 1u);
    QCOMPARE(requests.at(2).at(2).toString(), QStringLiteral("0xw9"));

    // Many changes at once: built anew, in the report's order.
    std::vector<Problem> many;
    for (int i = 0; i < 500; ++i) {
        many.push_back(problem(ProblemLevel::Warning, 3, "T" + std::to_string(1000 + i),
                               QStringLiteral("w%1").arg(i), QString()));
    }
    panel.showReport(report(many));
    QCOMPARE(list->topLevelItemCount(), 500);
    QCOMPARE(list->topLevelItem(499)->text(ProblemList::TopicColumn), QStringLiteral("T1499"));
    panel.showReport(report({}));
    QCOMPARE(list->topLevelItemCount(), 0);
}

// Reports that share the runs of the topics that stayed: the rows of those keep their items,
// the changed topic's rows are patched, a topic that comes or goes adds or takes its rows, and
// the list reads as one built anew from the same report.
void TestPanelBases::sharedRuns()
{
    using Run = std::vector<Problem>;
    const auto run = [](std::initializer_list<Problem> entries) {
        return std::make_shared<const Run>(entries);
    };
    const auto reportOf = [](std::initializer_list<ProblemEntries::Run> runs) {
        auto made = std::make_shared<ProblemReport>();
        for (const ProblemEntries::Run& r : runs) {
            made->problems.append(r);
        }
        return ProblemReportPtr(made);
    };
    const auto errorsA = run({problem(ProblemLevel::Error, 0, "A", "w1", "r1"),
                              problem(ProblemLevel::Error, 0, "A", "w1", "r2")});
    const auto errorsB = run({problem(ProblemLevel::Error, 0, "B", "w3", "r3")});
    const auto warningsA = run({problem(ProblemLevel::Warning, 0, "A", QString(), "r5")});
    const auto hintsC = run({problem(ProblemLevel::Hint, 2, "C", QString(), QString())});
    StatisticalTab panel;
    ProblemList* list = panel.problemTree;
    panel.showReport(reportOf({errorsA, errorsB, warningsA, hintsC}));
    QCOMPARE(list->topLevelItemCount(), 5);
    QTreeWidgetItem* firstOfA = list->topLevelItem(0);
    QTreeWidgetItem* hint = list->topLevelItem(4);
    list->setCurrentItem(hint);

    // B changed: one entry more and one with another text; A's runs are the same objects.
    Problem other = problem(ProblemLevel::Error, 0, "B", "w3", "r3");
    other.text = QStringLiteral("other");
    const auto errorsB2 = run({other, problem(ProblemLevel::Error, 0, "B", "w4", "r3")});
    QTreeWidgetItem* rowOfB = list->topLevelItem(2);
    const ProblemReportPtr second = reportOf({errorsA, errorsB2, warningsA, hintsC});
    panel.showReport(second);
    QCOMPARE(TreeDump::lines(list),
             (QStringList{"错误|0|A|why|p:w1 0xw1|p:r1 0xr1", "错误|0|A|why|p:w1 0xw1|p:r2 0xr2",
                          "错误|0|B|other|p:w3 0xw3|p:r3 0xr3", "错误|0|B|why|p:w4 0xw4|p:r3 0xr3",
                          "警告|0|A|why||p:r5 0xr5", "提示|2|C|why"}));
    QCOMPARE(list->topLevelItem(0), firstOfA);
    QCOMPARE(list->topLevelItem(2), rowOfB);
    QCOMPARE(list->topLevelItem(5), hint);
    QCOMPARE(list->currentItem(), hint);
    QCOMPARE(list->problemOf(list->topLevelItem(3))->writer.handle, QStringLiteral("0xw4"));
    QCOMPARE(list->problemOf(hint)->domain, 2u);

    // A topic goes with its runs of both levels, another comes.
    const auto errorsD = run({problem(ProblemLevel::Error, 1, "D", "w7", "r7"),
                              problem(ProblemLevel::Error, 1, "D", "w7", "r8")});
    panel.showReport(reportOf({errorsB2, errorsD, hintsC}));
    QCOMPARE(TreeDump::lines(list),
             (QStringList{"错误|0|B|other|p:w3 0xw3|p:r3 0xr3", "错误|0|B|why|p:w4 0xw4|p:r3 0xr3",
                          "错误|1|D|why|p:w7 0xw7|p:r7 0xr7", "错误|1|D|why|p:w7 0xw7|p:r8 0xr8",
                          "提示|2|C|why"}));
    QCOMPARE(list->topLevelItem(0), rowOfB);
    QCOMPARE(list->currentItem(), hint);
    StatisticalTab fresh;
    fresh.showReport(reportOf({errorsB2, errorsD, hintsC}));
    QCOMPARE(TreeDump::lines(fresh.problemTree), TreeDump::lines(list));
}

void TestPanelBases::summaryRows()
{
    StatisticalTab panel;
    DomainSummary zero;
    zero.domain = 0;
    DomainSummary seven{7, 6, 5, 6, 5, 6, 7, 3, 5, 1};
    ProblemReport first;
    first.domains = {zero, seven};
    panel.showReport(std::make_shared<const ProblemReport>(first));
    QCOMPARE(TreeDump::lines(panel.summaryTree),
             (QStringList{"0|0|0|0|0|0|0|0|0|0", "7|6|5|6|5|6|7|3|5|1"}));
    QTreeWidgetItem* row = panel.summaryTree->topLevelItem(1);
    panel.summaryTree->setCurrentItem(row);
    // New counts for the same domains: the rows stay.
    ProblemReport second = first;
    second.domains[1].errors = 4;
    panel.showReport(std::make_shared<const ProblemReport>(second));
    QCOMPARE(panel.summaryTree->topLevelItem(1), row);
    QCOMPARE(row->text(7), QStringLiteral("4"));
    QCOMPARE(panel.summaryTree->currentItem(), row);
    // No domain watched: no row.
    panel.showReport(std::make_shared<const ProblemReport>());
    QCOMPARE(panel.summaryTree->topLevelItemCount(), 0);
}

QTEST_MAIN(TestPanelBases)
#include "tst_panelbases.moc"
