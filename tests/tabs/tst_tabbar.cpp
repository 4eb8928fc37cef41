// The strip's behaviour: current tab, close sequence and tab registry, wheel, ">>" menu and
// the close buttons shown on the current and the hovered tab.
#include "MyTab.h"
#include "TabBar.h"
#include "TabRegistry.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWheelEvent>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

std::unique_ptr<TabBar> stripWith(int count, int current)
{
    auto bar = std::make_unique<TabBar>();
    bar->resize(1000, 40);
    for (int i = 0; i < count; ++i) {
        bar->addTab(QStringLiteral("tab%1").arg(i));
    }
    bar->setCurIndex(current);
    return bar;
}

QStringList titles(const TabBar& bar)
{
    QStringList result;
    for (const MyTab* tab : bar.tabs) {
        result.append(tab->title);
    }
    return result;
}

QList<MyTab*> registeredTabs(const TabBar& bar)
{
    QList<MyTab*> result;
    for (const TabRegistryEntry& entry : tabRegistry()) {
        if (bar.tabs.contains(entry.second)) {
            result.append(entry.second);
        }
    }
    return result;
}

// Runs `inspect` on the popup menu that `open` shows, then closes the menu.
void withPopupMenu(const std::function<void()>& open, const std::function<void(QMenu*)>& inspect)
{
    bool seen = false;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* menu = qobject_cast<QMenu*>(w);
            if (menu != nullptr && menu->isVisible() && !seen) {
                seen = true;
                poll.stop();
                inspect(menu);
                menu->close();
                return;
            }
        }
    });
    poll.start();
    open();
    QVERIFY(seen);
}

} // namespace

class TestTabBar : public QObject
{
    Q_OBJECT

private slots:
    void addTabMakesNewTabCurrent();
    void setCurIndex();
    void closeSequence_data();
    void closeSequence();
    void closeLastTabKeepsCurrentIndex();
    void closeByMouse();
    void closeRequestFromForeignTabIgnored();
    void registryAcrossStrips();
    void wheel_data();
    void wheel();
    void wheelStopsAtEnds();
    void moreMenu();
    void closeButtonsWhenClosable();
    void closeButtonsWhenNotClosable();
    void fixedTabStays_data();
    void fixedTabStays();
    void ampersandShownLiterally();
};

void TestTabBar::addTabMakesNewTabCurrent()
{
    TabBar bar;
    QSignalSpy spy(&bar, &TabBar::currentIndexChanged);
    for (int i = 0; i < 3; ++i) {
        bar.addTab(QStringLiteral("t%1").arg(i));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.takeFirst().at(0).toInt(), i);
        QCOMPARE(bar.currentIndex, i);
        QCOMPARE(bar.previousIndex, i - 1);
        QVERIFY(bar.tabs.at(i)->isChecked());
        QCOMPARE(bar.buttonGroup->checkedId(), i);
    }
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(bar.buttonGroup->id(bar.tabs.at(i)), i);
        QCOMPARE(bar.tabs.at(i)->iconSize().height(), 0);
        QCOMPARE(bar.tabs.at(i)->height(), 30);
        QCOMPARE(bar.tabs.at(i)->closeButton->size(), QSize(25, 25));
    }
}

void TestTabBar::setCurIndex()
{
    auto bar = stripWith(3, 2);
    QSignalSpy spy(bar.get(), &TabBar::currentIndexChanged);

    bar->setCurIndex(0);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.takeFirst().at(0).toInt(), 0);
    QCOMPARE(bar->currentIndex, 0);
    QCOMPARE(bar->previousIndex, 2);

    // The current tab again, and indexes outside the strip, change nothing.
    for (int index : {0, -1, 3, 100}) {
        bar->setCurIndex(index);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(bar->currentIndex, 0);
        QVERIFY(bar->tabs.at(0)->isChecked());
    }

    // A click on a tab makes it current like setCurIndex does.
    bar->tabs.at(1)->click();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(bar->currentIndex, 1);
}

void TestTabBar::closeSequence_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("closing");
    QTest::addColumn<QStringList>("signalLog");
    QTest::addColumn<QString>("newCurrent");

    // A neighbour is checked first (old index), then the ids are renumbered (new index), then
    // closeTab(k) comes last.
    QTest::newRow("current in the middle: right neighbour")
        << 3 << 1 << 1
        << QStringList{QStringLiteral("current 2"), QStringLiteral("current 1"),
                       QStringLiteral("close 1")}
        << QStringLiteral("tab2");
    QTest::newRow("current at the end: left neighbour")
        << 3 << 2 << 2
        << QStringList{QStringLiteral("current 1"), QStringLiteral("current 1"),
                       QStringLiteral("close 2")}
        << QStringLiteral("tab1");
    QTest::newRow("not current: its neighbour becomes current")
        << 3 << 2 << 0
        << QStringList{QStringLiteral("current 1"), QStringLiteral("current 0"),
                       QStringLiteral("close 0")}
        << QStringLiteral("tab1");
    QTest::newRow("not current, neighbour already current")
        << 4 << 1 << 0 << QStringList{QStringLiteral("current 0"), QStringLiteral("close 0")}
        << QStringLiteral("tab1");
    QTest::newRow("not current at the end")
        << 4 << 0 << 3
        << QStringList{QStringLiteral("current 2"), QStringLiteral("current 2"),
                       QStringLiteral("close 3")}
        << QStringLiteral("tab2");
}

void TestTabBar::closeSequence()
{
    QFETCH(int, count);
    QFETCH(int, current);
    QFETCH(int, closing);
    QFETCH(QStringList, signalLog);
    QFETCH(QString, newCurrent);

    auto bar = stripWith(count, current);
    QStringList log;
    connect(bar.get(), &TabBar::currentIndexChanged,
            [&log](int i) { log.append(QStringLiteral("current %1").arg(i)); });
    connect(bar.get(), &TabBar::closeTab,
            [&log](int i) { log.append(QStringLiteral("close %1").arg(i)); });
    QStringList expectedTitles = titles(*bar);
    expectedTitles.removeAt(closing);
    QList<MyTab*> expectedRegistered = registeredTabs(*bar);
    QCOMPARE(expectedRegistered, bar->tabs);
    expectedRegistered.removeAt(closing);
    QPointer<MyTab> closed = bar->tabs.at(closing);

    closed->closeButton->click();

    QCOMPARE(log, signalLog);
    QVERIFY(closed.isNull());
    QCOMPARE(titles(*bar), expectedTitles);
    QCOMPARE(bar->tabs.at(bar->currentIndex)->title, newCurrent);
    QVERIFY(bar->tabs.at(bar->currentIndex)->isChecked());
    for (int i = 0; i < bar->tabs.size(); ++i) {
        QCOMPARE(bar->buttonGroup->id(bar->tabs.at(i)), i);
    }
    QCOMPARE(bar->buttonGroup->buttons().size(), count - 1);
    QCOMPARE(registeredTabs(*bar), expectedRegistered);
    QCOMPARE(bar->currentIndex, titles(*bar).indexOf(newCurrent));
}

void TestTabBar::closeLastTabKeepsCurrentIndex()
{
    auto bar = stripWith(1, 0);
    QSignalSpy current(bar.get(), &TabBar::currentIndexChanged);
    QSignalSpy closed(bar.get(), &TabBar::closeTab);
    MyTab* tab = bar->tabs.first();

    emit tab->closeRequest();

    QVERIFY(bar->tabs.isEmpty());
    QCOMPARE(closed.count(), 1);
    QCOMPARE(closed.first().at(0).toInt(), 0);
    QCOMPARE(current.count(), 0);
    QCOMPARE(bar->currentIndex, 0);
    QVERIFY(bar->buttonGroup->buttons().isEmpty());
    QCOMPARE(bar->tabContainer->width(), 0);
    QVERIFY(registeredTabs(*bar).isEmpty());
    for (const TabRegistryEntry& entry : tabRegistry()) {
        QVERIFY(entry.second != tab);
    }

    // The next tab starts afresh at index 0.
    bar->addTab(QStringLiteral("again"));
    QCOMPARE(bar->currentIndex, 0);
    QCOMPARE(bar->previousIndex, 0);
}

void TestTabBar::closeByMouse()
{
    auto bar = stripWith(3, 1);
    bar->show();
    QVERIFY(QTest::qWaitForWindowExposed(bar.get()));
    QSignalSpy closed(bar.get(), &TabBar::closeTab);
    QTRY_VERIFY(bar->tabs.at(1)->closeButton->isVisible());

    QTest::mouseClick(bar->tabs.at(1)->closeButton, Qt::LeftButton);

    QCOMPARE(closed.count(), 1);
    QCOMPARE(closed.first().at(0).toInt(), 1);
    QCOMPARE(titles(*bar), (QStringList{QStringLiteral("tab0"), QStringLiteral("tab2")}));
    QCOMPARE(bar->currentIndex, 1);
}

void TestTabBar::closeRequestFromForeignTabIgnored()
{
    auto bar = stripWith(2, 0);
    MyTab foreign;
    connect(&foreign, SIGNAL(closeRequest()), bar.get(), SLOT(onTabCloseRequest()));
    QSignalSpy closed(bar.get(), &TabBar::closeTab);
    QSignalSpy current(bar.get(), &TabBar::currentIndexChanged);

    emit foreign.closeRequest();

    QCOMPARE(closed.count(), 0);
    QCOMPARE(current.count(), 0);
    QCOMPARE(bar->tabs.size(), 2);
    QCOMPARE(bar->currentIndex, 0);
}

void TestTabBar::registryAcrossStrips()
{
    const int before = tabRegistry().size();
    auto a = std::make_unique<TabBar>();
    auto b = std::make_unique<TabBar>();
    a->addTab(QStringLiteral("a1"));
    b->addTab(QStringLiteral("b1"));
    a->addTab(QStringLiteral("a2"));

    // Pairs in order of creation across strips.
    QCOMPARE(tabRegistry().size(), before + 3);
    const QList<TabRegistryEntry> added = tabRegistry().mid(before);
    QCOMPARE(added.at(0), qMakePair(QStringLiteral("a1"), a->tabs.at(0)));
    QCOMPARE(added.at(1), qMakePair(QStringLiteral("b1"), b->tabs.at(0)));
    QCOMPARE(added.at(2), qMakePair(QStringLiteral("a2"), a->tabs.at(1)));

    // Closing every registered tab through its close request, working on a copy.
    const QList<TabRegistryEntry> copy = added;
    for (const TabRegistryEntry& entry : copy) {
        emit entry.second->closeRequest();
    }
    QVERIFY(a->tabs.isEmpty());
    QVERIFY(b->tabs.isEmpty());
    QCOMPARE(tabRegistry().size(), before);

    // A strip that is destroyed takes its pairs along.
    b->addTab(QStringLiteral("b2"));
    QCOMPARE(tabRegistry().size(), before + 1);
    b.reset();
    QCOMPARE(tabRegistry().size(), before);
}

void TestTabBar::wheel_data()
{
    QTest::addColumn<QPoint>("pixelDelta");
    QTest::addColumn<QPoint>("angleDelta");
    QTest::addColumn<int>("step"); // 0: nothing emitted

    QTest::newRow("wheel up") << QPoint() << QPoint(0, 120) << -1;
    QTest::newRow("wheel down") << QPoint() << QPoint(0, -120) << 1;
    QTest::newRow("horizontal right") << QPoint() << QPoint(120, 0) << 1;
    QTest::newRow("horizontal left") << QPoint() << QPoint(-120, 0) << 1;
    QTest::newRow("half a degree up") << QPoint() << QPoint(0, 4) << -1;
    QTest::newRow("under half a degree up") << QPoint() << QPoint(0, 3) << 0;
    QTest::newRow("half a degree down") << QPoint() << QPoint(0, -4) << 0;
    QTest::newRow("over half a degree down") << QPoint() << QPoint(0, -5) << 1;
    QTest::newRow("no movement") << QPoint() << QPoint() << 0;
    QTest::newRow("pixels decide: up") << QPoint(0, 10) << QPoint(0, -120) << -1;
    QTest::newRow("pixels decide: down") << QPoint(0, -2) << QPoint(0, 120) << 1;
    QTest::newRow("pixels decide: horizontal") << QPoint(7, 0) << QPoint(0, 120) << 1;
}

void TestTabBar::wheel()
{
    QFETCH(QPoint, pixelDelta);
    QFETCH(QPoint, angleDelta);
    QFETCH(int, step);

    auto bar = stripWith(3, 1);
    MyTab* tab = bar->tabs.at(0);
    QSignalSpy scroll(tab, &MyTab::scollAdd);
    QWheelEvent event(QPointF(5, 5), QPointF(5, 5), pixelDelta, angleDelta, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    event.ignore();
    QApplication::sendEvent(tab, &event);

    QVERIFY(event.isAccepted());
    if (step == 0) {
        QCOMPARE(scroll.count(), 0);
        QCOMPARE(bar->currentIndex, 1);
    } else {
        QCOMPARE(scroll.count(), 1);
        QCOMPARE(scroll.first().at(0).toInt(), step);
        QCOMPARE(bar->currentIndex, 1 + step);
    }
}

void TestTabBar::wheelStopsAtEnds()
{
    auto bar = stripWith(3, 0);
    auto turn = [&bar](int angle) {
        QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, angle), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar->tabs.at(bar->currentIndex), &event);
    };
    turn(120);
    QCOMPARE(bar->currentIndex, 0);
    turn(-120);
    turn(-120);
    QCOMPARE(bar->currentIndex, 2);
    turn(-120);
    QCOMPARE(bar->currentIndex, 2);
    turn(120);
    QCOMPARE(bar->currentIndex, 1);
}

void TestTabBar::moreMenu()
{
    auto bar = std::make_unique<TabBar>();
    bar->resize(500, 40);
    bar->show();
    QVERIFY(QTest::qWaitForWindowExposed(bar.get()));
    QStringList expectedTitles;
    for (int i = 0; i < 8; ++i) {
        expectedTitles.append(QStringLiteral("第%1个相当长的标签标题 topic/%1").arg(i));
        bar->addTab(expectedTitles.last());
    }
    bar->setCurIndex(2);
    QVERIFY(!bar->moreButton->isHidden());
    const QImage start = QImage(QStringLiteral(":/BrelvaneQtDemo/Resources/start.png"))
                             .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QVERIFY(!start.isNull());

    // Every tab's full title in order, the start mark on the current one only; choosing an
    // entry makes its tab current.
    QStringList texts;
    QList<QImage> icons;
    QPoint menuCorner;
    withPopupMenu([&bar] { bar->moreButton->click(); },
                  [&](QMenu* menu) {
                      const QList<QAction*> actions = menu->actions();
                      for (QAction* action : actions) {
                          texts.append(action->text());
                          icons.append(action->icon().isNull()
                                           ? QImage()
                                           : action->icon().pixmap(QSize(10, 10)).toImage());
                      }
                      menuCorner = menu->geometry().topLeft();
                      actions.at(6)->trigger();
                  });
    QCOMPARE(texts, expectedTitles);
    for (int i = 0; i < icons.size(); ++i) {
        if (i == 2) {
            QCOMPARE(icons.at(i).convertToFormat(QImage::Format_ARGB32_Premultiplied), start);
        } else {
            QVERIFY(icons.at(i).isNull());
        }
    }
    // Opened at the bottom-left pixel of ">>".
    QCOMPARE(menuCorner, bar->moreButton->mapToGlobal(QPoint(0, bar->moreButton->height() - 1)));
    QCOMPARE(bar->currentIndex, 6);
    QVERIFY(bar->tabs.at(6)->width() > 0);

    // Closing the menu without a choice leaves the current tab alone.
    withPopupMenu([&bar] { bar->moreButton->click(); }, [](QMenu*) {});
    QCOMPARE(bar->currentIndex, 6);
}

void TestTabBar::closeButtonsWhenClosable()
{
    TabBar bar;
    bar.setTabsClosable(true);
    for (int i = 0; i < 3; ++i) {
        bar.addTab(QStringLiteral("t%1").arg(i));
    }
    auto shown = [&bar] {
        QList<bool> result;
        for (const MyTab* tab : bar.tabs) {
            result.append(!tab->closeButton->isHidden());
        }
        return result;
    };
    QCOMPARE(shown(), (QList<bool>{false, false, true}));
    bar.setCurIndex(0);
    QCOMPARE(shown(), (QList<bool>{true, false, false}));

    // Hovering another tab shows its close button until the pointer leaves.
    QEvent enter(QEvent::Enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(bar.tabs.at(2), &enter);
    QCOMPARE(shown(), (QList<bool>{true, false, true}));
    QApplication::sendEvent(bar.tabs.at(2), &leave);
    QCOMPARE(shown(), (QList<bool>{true, false, false}));
    // The current tab keeps its close button.
    QApplication::sendEvent(bar.tabs.at(0), &enter);
    QApplication::sendEvent(bar.tabs.at(0), &leave);
    QCOMPARE(shown(), (QList<bool>{true, false, false}));

    // Closing the current tab hands the close button to the neighbour.
    bar.tabs.at(0)->closeButton->click();
    QCOMPARE(shown(), (QList<bool>{true, false}));
    QCOMPARE(bar.currentIndex, 0);
    QCOMPARE(bar.tabs.at(0)->title, QStringLiteral("t1"));

    bar.setTabsClosable(false);
    QCOMPARE(shown(), (QList<bool>{false, false}));
    bar.setTabsClosable(true);
    QCOMPARE(shown(), (QList<bool>{true, true}));
}

void TestTabBar::closeButtonsWhenNotClosable()
{
    auto bar = stripWith(3, 0);
    QVERIFY(!bar->tabsClosable);
    for (int current : {0, 2, 1}) {
        bar->setCurIndex(current);
        for (const MyTab* tab : bar->tabs) {
            QVERIFY(!tab->closeButton->isHidden());
        }
    }
    bar->tabs.at(2)->closeButton->click();
    QCOMPARE(titles(*bar), (QStringList{QStringLiteral("tab0"), QStringLiteral("tab1")}));
}

void TestTabBar::fixedTabStays_data()
{
    QTest::addColumn<bool>("stripClosable");
    QTest::newRow("strip over pages") << true;
    QTest::newRow("strip over a tree") << false;
}

void TestTabBar::fixedTabStays()
{
    QFETCH(bool, stripClosable);
    TabBar bar;
    bar.setTabsClosable(stripClosable);
    bar.addFixedTab(QStringLiteral("fixed"));
    bar.addTab(QStringLiteral("detail"));
    MyTab* fixed = bar.tabs.at(0);
    QVERIFY(!fixed->isClosable());
    QVERIFY(bar.tabs.at(1)->isClosable());
    QVERIFY(registeredTabs(bar).contains(fixed));

    // No cross, whether current, hovered or switched by the strip; the detail tab has one.
    bar.setCurIndex(0);
    QVERIFY(fixed->closeButton->isHidden());
    bar.setCurIndex(1);
    QVERIFY(!bar.tabs.at(1)->closeButton->isHidden());
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(fixed, &enter);
    QVERIFY(fixed->closeButton->isHidden());
    bar.setTabsClosable(!stripClosable);
    QVERIFY(fixed->closeButton->isHidden());
    bar.setTabsClosable(true);
    QVERIFY(fixed->closeButton->isHidden());
    bar.setTabsClosable(stripClosable);

    // A close request, by signal or by the hidden button, changes nothing.
    QSignalSpy closed(&bar, &TabBar::closeTab);
    QSignalSpy current(&bar, &TabBar::currentIndexChanged);
    emit fixed->closeRequest();
    fixed->closeButton->click();
    QCOMPARE(closed.count(), 0);
    QCOMPARE(current.count(), 0);
    QCOMPARE(titles(bar), (QStringList{QStringLiteral("fixed"), QStringLiteral("detail")}));
    QCOMPARE(bar.currentIndex, 1);
    QVERIFY(registeredTabs(bar).contains(fixed));

    // The detail tab beside it still closes.
    bar.tabs.at(1)->closeButton->click();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(titles(bar), QStringList{QStringLiteral("fixed")});
    QCOMPARE(bar.currentIndex, 0);
    QVERIFY(fixed->closeButton->isHidden());
}

void TestTabBar::ampersandShownLiterally()
{
    auto bar = std::make_unique<TabBar>();
    bar->resize(600, 40);
    bar->show();
    QVERIFY(QTest::qWaitForWindowExposed(bar.get()));
    const QStringList shown{QStringLiteral("R&D"), QStringLiteral("&&"),
                            QStringLiteral("topic&") + QStringLiteral("很长的标题").repeated(20)};
    for (const QString& title : shown) {
        bar->addTab(title);
    }
    // The buttons show "&" as it is and take no Alt shortcut from it.
    QCOMPARE(bar->tabs.at(0)->text(), QStringLiteral("R&&D"));
    QCOMPARE(bar->tabs.at(1)->text(), QStringLiteral("&&&&"));
    for (const MyTab* tab : bar->tabs) {
        QVERIFY(tab->shortcut().isEmpty());
        QVERIFY(QKeySequence::mnemonic(tab->text()).isEmpty());
    }
    // The elided one keeps its "&" too.
    QVERIFY(bar->tabs.at(2)->elidedTitle.startsWith(QStringLiteral("topic&")));
    QVERIFY(bar->tabs.at(2)->text().startsWith(QStringLiteral("topic&&")));

    // So do the entries of the ">>" menu.
    QStringList all = shown;
    for (int i = 0; i < 6; ++i) {
        all << QStringLiteral("A&B %1").arg(i);
        bar->addTab(all.last());
    }
    QVERIFY(!bar->moreButton->isHidden());
    QStringList entries;
    bool noMnemonic = true;
    withPopupMenu([&bar] { bar->moreButton->click(); },
                  [&](QMenu* menu) {
                      for (QAction* action : menu->actions()) {
                          // iconText() is the text as displayed, shortcut markers taken out.
                          entries << action->iconText();
                          noMnemonic =
                              noMnemonic && QKeySequence::mnemonic(action->text()).isEmpty();
                      }
                  });
    QCOMPARE(entries, all);
    QVERIFY(noMnemonic);
}

QTEST_MAIN(TestTabBar)
#include "tst_tabbar.moc"
