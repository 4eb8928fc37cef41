// The panel bases: TabTree's form, TabWidget keeping page i with tab i through additions,
// switches and closes, and the StatisticalTab built on it.
#include "MyTab.h"
#include "StatisticalTab.h"
#include "TabBar.h"
#include "TabTree.h"
#include "TabWidget.h"

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

    // One fixed page: the event log, shown, its tab without a close button.
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QCOMPARE(panel.tabBar->tabs.size(), 1);
    QCOMPARE(panel.tabBar->tabs.at(0)->title, QString::fromUtf8("事件"));
    QVERIFY(!panel.tabBar->tabs.at(0)->isClosable());
    QVERIFY(panel.tabBar->moreButton->isHidden());
    QCOMPARE(panel.stackedWidget->count(), 1);
    QWidget* events = panel.stackedWidget->widget(0);
    QVERIFY(events->inherits("EventLogPage"));
    QCOMPARE(panel.stackedWidget->currentWidget(), events);
    emit panel.tabBar->tabs.at(0)->closeRequest();
    QCOMPARE(panel.stackedWidget->count(), 1);

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
    QCOMPARE(panel.tabBar->tabs.size(), 1);
    QCOMPARE(panel.stackedWidget->widget(0), events);
    QVERIFY(panel.statLabel->isHidden());
}

QTEST_MAIN(TestPanelBases)
#include "tst_panelbases.moc"
