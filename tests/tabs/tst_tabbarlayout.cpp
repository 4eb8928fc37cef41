// The strip's layout pass on known widths: tabs that fit, one over-wide tab, tabs sharing the
// width with a 100 pixel minimum, scrolling that keeps the current tab in view, and ">>" shown
// exactly when tabs are left out.
#include "MyTab.h"
#include "TabBar.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <algorithm>
#include <memory>

namespace {

// Titles far wider than any strip in these tests.
QString longTitle(int i)
{
    return QStringLiteral("话题%1 ").arg(i) + QStringLiteral("非常长的标题文字").repeated(12);
}

// A tab wants its text plus the 25 pixel close button plus 25 pixels of room.
int preferredWidth(const MyTab* tab)
{
    return QFontMetrics(tab->font()).horizontalAdvance(tab->title) + 25 + 25;
}

// The room the strip gives its tabs: up to the title label's right end, less ">>".
int availableWidth(const TabBar& bar)
{
    return std::max(bar.titleLabel->geometry().right() - bar.moreButton->width(), 0);
}

QList<int> shownTabs(const TabBar& bar)
{
    QList<int> shown;
    for (int i = 0; i < bar.tabs.size(); ++i) {
        if (bar.tabs.at(i)->width() > 0) {
            shown.append(i);
        }
    }
    return shown;
}

QList<int> range(int first, int last)
{
    QList<int> result;
    for (int i = first; i <= last; ++i) {
        result.append(i);
    }
    return result;
}

std::unique_ptr<TabBar> shownStrip(int width)
{
    auto bar = std::make_unique<TabBar>();
    bar->resize(width, 40);
    bar->show();
    if (!QTest::qWaitForWindowExposed(bar.get())) {
        return nullptr;
    }
    return bar;
}

} // namespace

class TestTabBarLayout : public QObject
{
    Q_OBJECT

private slots:
    void emptyStrip();
    void tabsThatFit_data();
    void tabsThatFit();
    void overWideTabIsElided();
    void tabsShareTheWidth();
    void minimumShareScrollsToCurrent();
    void moreButtonExactlyOnOverflow();
    void arrowKeysKeepCurrentTabShown();
};

void TestTabBarLayout::emptyStrip()
{
    auto bar = shownStrip(600);
    QVERIFY(bar);
    QVERIFY(bar->tabs.isEmpty());
    QCOMPARE(bar->tabContainer->width(), 0);
    QVERIFY(bar->moreButton->isHidden());
    QVERIFY(bar->titleLabel->isVisible());
    QCOMPARE(bar->titleLabel->property("type").toString(), QStringLiteral("title_empty"));
    QCOMPARE(bar->currentIndex, -1);

    // Left to right: tabs, ">>", title label, "max", "min".
    QCOMPARE(bar->rightWidgets.size(), 2);
    QCOMPARE(bar->rightWidgets.at(0)->property("type").toString(), QStringLiteral("max"));
    QCOMPARE(bar->rightWidgets.at(1)->property("type").toString(), QStringLiteral("min"));
    QList<int> order;
    for (QWidget* w : {bar->tabContainer, static_cast<QWidget*>(bar->moreButton),
                       static_cast<QWidget*>(bar->titleLabel), bar->rightWidgets.at(0),
                       bar->rightWidgets.at(1)}) {
        order.append(bar->backLayout->indexOf(w));
    }
    QCOMPARE(order, range(0, 4));

    // A widget added later stands leftmost in the right-end group.
    auto* extra = new QPushButton;
    bar->addRightWidget(extra);
    QCOMPARE(bar->rightWidgets.first(), static_cast<QWidget*>(extra));
    QCOMPARE(bar->backLayout->indexOf(extra), bar->backLayout->indexOf(bar->titleLabel) + 1);
    QCOMPARE(bar->backLayout->indexOf(bar->rightWidgets.last()), bar->backLayout->count() - 1);
}

void TestTabBarLayout::tabsThatFit_data()
{
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("latin") << QStringList{QStringLiteral("Alpha"), QStringLiteral("Be"),
                                          QStringLiteral("Gamma Delta")};
    QTest::newRow("chinese") << QStringList{
        QStringLiteral("系统逻辑图"), QStringLiteral("系统物理图"), QStringLiteral("匹配分析")};
    QTest::newRow("single") << QStringList{QStringLiteral("QoS信息")};
}

void TestTabBarLayout::tabsThatFit()
{
    QFETCH(QStringList, titles);
    auto bar = shownStrip(900);
    QVERIFY(bar);
    const int available = availableWidth(*bar);

    for (const QString& title : titles) {
        bar->addTab(title);
    }

    int x = 0;
    for (int i = 0; i < titles.size(); ++i) {
        const MyTab* tab = bar->tabs.at(i);
        QCOMPARE(tab->width(), preferredWidth(tab));
        QCOMPARE(tab->minimumWidth(), tab->maximumWidth());
        // Positions come with the layouts' next activation.
        QTRY_COMPARE(tab->x(), x);
        QCOMPARE(tab->text(), titles.at(i));
        x += tab->width();
    }
    QVERIFY(x <= available);
    QCOMPARE(bar->tabContainer->width(), x);
    // The title label starts right after the tabs and still ends where it did.
    QTRY_COMPARE(bar->titleLabel->x(), bar->tabContainer->geometry().right() + 1);
    QCOMPARE(availableWidth(*bar), available);
    QVERIFY(bar->moreButton->isHidden());
    QCOMPARE(bar->currentIndex, titles.size() - 1);
}

void TestTabBarLayout::overWideTabIsElided()
{
    auto bar = shownStrip(700);
    QVERIFY(bar);
    const int available = availableWidth(*bar);
    QVERIFY(available >= 100);

    const QString title = longTitle(0);
    bar->addTab(title);
    MyTab* tab = bar->tabs.first();
    QVERIFY(preferredWidth(tab) > available);

    QCOMPARE(tab->width(), available);
    QCOMPARE(bar->tabContainer->width(), available);
    QVERIFY(bar->moreButton->isHidden());
    // The text is elided to the room left of the close button.
    const QString elided =
        QFontMetrics(tab->font()).elidedText(title, Qt::ElideRight, available - 25);
    QTRY_COMPARE(tab->text(), elided);
    QCOMPARE(tab->elidedTitle, elided);
    QVERIFY(elided.endsWith(QChar(0x2026)));
    QCOMPARE(tab->title, title);
}

void TestTabBarLayout::tabsShareTheWidth()
{
    auto bar = shownStrip(900);
    QVERIFY(bar);
    const int available = availableWidth(*bar);

    // Long, short, long, short, long.
    bar->addTab(longTitle(0));
    bar->addTab(QStringLiteral("ab"));
    bar->addTab(longTitle(1));
    bar->addTab(QStringLiteral("cd"));
    bar->addTab(longTitle(2));
    const QList<MyTab*>& tabs = bar->tabs;

    // First pass: an equal share; the short tabs keep their width and free the rest.
    double share = std::max(available / 5.0, 100.0);
    QVERIFY(preferredWidth(tabs.at(1)) <= share && preferredWidth(tabs.at(3)) <= share);
    int surplus = 0;
    surplus = int(surplus + (share - preferredWidth(tabs.at(1))));
    surplus = int(surplus + (share - preferredWidth(tabs.at(3))));
    // Second pass: the three long tabs share what is left and none of them fits in it.
    share = std::max(100.0, surplus / 3.0 + share);
    for (int i : {0, 2, 4}) {
        QVERIFY(preferredWidth(tabs.at(i)) > share);
    }

    QCOMPARE(tabs.at(1)->width(), preferredWidth(tabs.at(1)));
    QCOMPARE(tabs.at(3)->width(), preferredWidth(tabs.at(3)));
    const QList<int> longTabs{0, 2, 4};
    int sum = tabs.at(1)->width() + tabs.at(3)->width();
    for (int k = 0; k < longTabs.size(); ++k) {
        const int expected = int(int((k + 1) * share) - k * share);
        QCOMPARE(tabs.at(longTabs.at(k))->width(), expected);
        sum += expected;
    }
    // Truncation loses at most a pixel per tab.
    QVERIFY2(sum <= available && sum >= available - 5,
             qPrintable(QStringLiteral("%1 of %2").arg(sum).arg(available)));
    QCOMPARE(bar->tabContainer->width(), sum);
    QVERIFY(bar->moreButton->isHidden());
}

void TestTabBarLayout::minimumShareScrollsToCurrent()
{
    auto bar = shownStrip(900);
    QVERIFY(bar);
    const int available = availableWidth(*bar);
    const int n = 12;
    const int m = available / 100; // tabs of 100 pixels that fit
    QVERIFY(m >= 2 && m + 2 <= n);

    for (int i = 0; i < n; ++i) {
        bar->addTab(longTitle(i));
    }
    // Every tab gets the minimum; the newest (current) tab ends the shown range.
    for (const MyTab* tab : bar->tabs) {
        QVERIFY(tab->width() == 100 || tab->width() == 0);
    }
    QCOMPARE(bar->currentIndex, n - 1);
    QCOMPARE(shownTabs(*bar), range(n - m, n - 1));
    QCOMPARE(bar->firstVisible, n - m);
    QCOMPARE(bar->tabContainer->width(), 100 * m);
    QVERIFY(!bar->moreButton->isHidden());

    // Left of the shown range: the strip starts at the new current tab.
    bar->setCurIndex(0);
    QCOMPARE(shownTabs(*bar), range(0, m - 1));
    QCOMPARE(bar->firstVisible, 0);

    // Right of the shown range: tabs scroll out at the left until the current one fits.
    bar->setCurIndex(m + 1);
    QCOMPARE(shownTabs(*bar), range(2, m + 1));
    QCOMPARE(bar->firstVisible, 2);

    bar->setCurIndex(1);
    QCOMPARE(shownTabs(*bar), range(1, m));
    QCOMPARE(bar->firstVisible, 1);

    // Inside the shown range nothing moves.
    bar->setCurIndex(m);
    QCOMPARE(shownTabs(*bar), range(1, m));
    QVERIFY(!bar->moreButton->isHidden());
    QCOMPARE(bar->tabContainer->width(), 100 * m);

    // The layout follows: shown tabs side by side from the container's left edge.
    int x = 0;
    for (int i : shownTabs(*bar)) {
        QTRY_COMPARE(bar->tabs.at(i)->x(), x);
        x += 100;
    }
}

// The arrow keys move the current tab through the group as Qt does for any exclusive group of
// buttons; the tab they make current must come into view like a tab chosen any other way.
void TestTabBarLayout::arrowKeysKeepCurrentTabShown()
{
    auto bar = shownStrip(900);
    QVERIFY(bar);
    const int n = 12;
    for (int i = 0; i < n; ++i) {
        bar->addTab(longTitle(i));
    }
    bar->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(bar.get()));
    QVERIFY(!bar->moreButton->isHidden());

    // From the last tab leftwards to the first, then rightwards to the last again.
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right}) {
        const int end = key == Qt::Key_Left ? 0 : n - 1;
        int presses = 0;
        while (bar->currentIndex != end && presses++ < 2 * n) {
            MyTab* focused = bar->tabs.at(bar->currentIndex);
            focused->setFocus();
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(focused));
            const int before = bar->currentIndex;
            QTest::keyClick(focused, key);
            QVERIFY(bar->currentIndex != before);
            QVERIFY2(bar->tabs.at(bar->currentIndex)->width() > 0,
                     qPrintable(QStringLiteral("tab %1 is current but not shown, shown: %2")
                                    .arg(bar->currentIndex)
                                    .arg(shownTabs(*bar).size())));
            QVERIFY(shownTabs(*bar).contains(bar->currentIndex));
        }
        QCOMPARE(bar->currentIndex, end);
    }
}

void TestTabBarLayout::moreButtonExactlyOnOverflow()
{
    auto bar = shownStrip(800);
    QVERIFY(bar);
    const int available = availableWidth(*bar);
    const int n = available / 100 + 3;

    // Long tabs share the width while the share stays at 100 or more; below that some are
    // left out.
    for (int i = 0; i < n; ++i) {
        bar->addTab(longTitle(i));
        const int count = i + 1;
        QCOMPARE(!bar->moreButton->isHidden(), count * 100 > available);
        QVERIFY(bar->tabContainer->width() <= available);
    }
    while (!bar->tabs.isEmpty()) {
        bar->tabs.first()->closeButton->click();
        const int count = bar->tabs.size();
        QCOMPARE(!bar->moreButton->isHidden(), count * 100 > available);
        QVERIFY(shownTabs(*bar).contains(bar->currentIndex) || count == 0);
    }
    QCOMPARE(bar->tabContainer->width(), 0);
}

QTEST_MAIN(TestTabBarLayout)
#include "tst_tabbarlayout.moc"
