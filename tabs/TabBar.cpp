#include "TabBar.h"

#include "MyTab.h"
#include "TabRegistry.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QSignalMapper>
#include <QStyleOption>

#include <algorithm>
#include <memory>

TabBar::TabBar(QWidget* parent)
    : QWidget(parent), buttonGroup(new QButtonGroup(this)), tabContainer(nullptr),
      tabLayout(nullptr), titleLabel(nullptr), moreButton(nullptr), backLayout(nullptr),
      previousIndex(-1), tabsClosable(false), currentIndex(-1), minTabWidth(100), firstVisible(0)
{
    auto* stripLayout = new QHBoxLayout(this);
    stripLayout->setContentsMargins(0, 0, 0, 0);
    auto* backWidget = new QWidget(this);
    backWidget->setProperty("type", QStringLiteral("backwidget"));
    stripLayout->addWidget(backWidget);

    backLayout = new QHBoxLayout(backWidget);
    backLayout->setSpacing(0);
    backLayout->setContentsMargins(1, 0, 1, 0);

    tabContainer = new QWidget(backWidget);
    tabContainer->setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    tabLayout = new QHBoxLayout(tabContainer);
    tabLayout->setSpacing(0);
    tabLayout->setContentsMargins(0, 0, 0, 0);
    backLayout->addWidget(tabContainer);

    moreButton = new QPushButton(QStringLiteral(">>"), backWidget);
    moreButton->setMaximumWidth(20);
    moreButton->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    backLayout->addWidget(moreButton);

    titleLabel = new QLabel(backWidget);
    titleLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    titleLabel->setProperty("type", QStringLiteral("title_empty"));
    backLayout->addWidget(titleLabel);

    // "min" and "max" only carry the strip's look; nothing is attached to them.
    auto* minButton = new QPushButton(backWidget);
    minButton->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    minButton->setProperty("type", QStringLiteral("min"));
    addRightWidget(minButton);
    auto* maxButton = new QPushButton(backWidget);
    maxButton->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    maxButton->setProperty("type", QStringLiteral("max"));
    addRightWidget(maxButton);

    connect(buttonGroup, SIGNAL(idToggled(int, bool)), this, SLOT(onTabToggled(int, bool)));
    connect(moreButton, SIGNAL(clicked()), this, SLOT(onComboButtonClicked()));
}

TabBar::~TabBar()
{
    // The tabs die with the strip; their registry pairs must not outlive them.
    for (MyTab* tab : qAsConst(tabs)) {
        removeFromTabRegistry(tab);
    }
}

void TabBar::addTab(const QString& title)
{
    createTab(title);
    updateIds();
    updateLayout();
}

void TabBar::addFixedTab(const QString& title)
{
    addTab(title);
    tabs.last()->setClosable(false);
}

MyTab* TabBar::createTab(const QString& title)
{
    auto owned = std::make_unique<MyTab>();
    MyTab* tab = owned.get();
    tab->title = title;
    tab->updateText();
    connect(tab, SIGNAL(closeRequest()), this, SLOT(onTabCloseRequest()));
    connect(tab, SIGNAL(scollAdd(int)), this, SLOT(onScrollAdd(int)));
    tabLayout->addWidget(owned.release());
    tabs.append(tab);
    tabRegistry().append(qMakePair(title, tab));
    // The new tab is checked already, so the exclusive group unchecks the previous one.
    buttonGroup->addButton(tab);
    return tab;
}

void TabBar::updateIds()
{
    for (int i = 0; i < tabs.size(); ++i) {
        buttonGroup->setId(tabs.at(i), i);
    }
    // Let onTabToggled read the current tab's new index.
    emit buttonGroup->idToggled(buttonGroup->checkedId(), true);
}

void TabBar::addRightWidget(QWidget* widget)
{
    rightWidgets.prepend(widget);
    for (QWidget* w : qAsConst(rightWidgets)) {
        backLayout->removeWidget(w);
    }
    for (QWidget* w : qAsConst(rightWidgets)) {
        backLayout->addWidget(w);
    }
}

void TabBar::setTabsClosable(bool closable)
{
    tabsClosable = closable;
    for (MyTab* tab : qAsConst(tabs)) {
        tab->setCloseButtonVisible(closable);
    }
}

void TabBar::setCurIndex(int index)
{
    if (index < 0 || index >= tabs.size()) {
        return;
    }
    tabs.at(index)->setChecked(true);
    updateLayout();
}

void TabBar::onTabToggled(int id, bool checked)
{
    if (!checked || id == -1) {
        return;
    }
    previousIndex = currentIndex;
    currentIndex = id;
    if (tabsClosable) {
        if (previousIndex >= 0 && previousIndex < buttonGroup->buttons().size()) {
            if (auto* previous = qobject_cast<MyTab*>(buttonGroup->button(previousIndex))) {
                previous->setCloseButtonVisible(false);
            }
        }
        if (auto* current = qobject_cast<MyTab*>(buttonGroup->button(currentIndex))) {
            current->setCloseButtonVisible(true);
        }
    }
    // Whatever made the tab current (a click, the arrow keys moving through the group, code),
    // it must be among the shown ones, not a tab scrolled out to width 0.
    updateLayout();
    emit currentIndexChanged(id);
}

void TabBar::onScrollAdd(int addNum)
{
    int target = currentIndex + addNum;
    if (target < 0) {
        target = 0;
    } else {
        target = std::min(target, int(tabs.size()) - 1);
    }
    setCurIndex(target);
}

void TabBar::onComboButtonClicked()
{
    QMenu menu;
    QSignalMapper mapper;
    const QIcon currentMark(QStringLiteral(":/BrelvaneQtDemo/Resources/start.png"));
    for (int i = 0; i < tabs.size(); ++i) {
        QAction* action = menu.addAction(i == currentIndex ? currentMark : QIcon(),
                                         MyTab::literalText(tabs.at(i)->title));
        connect(action, SIGNAL(triggered()), &mapper, SLOT(map()));
        mapper.setMapping(action, i);
    }
    connect(&mapper, SIGNAL(mappedInt(int)), this, SLOT(setCurIndex(int)));
    menu.exec(moreButton->mapToGlobal(QPoint(0, moreButton->height() - 1)));
}

void TabBar::onTabCloseRequest()
{
    auto* tab = qobject_cast<MyTab*>(sender());
    const int k = tabs.indexOf(tab);
    // A fixed panel's tab stays, whoever asks: its panel would be lost for good.
    if (tab == nullptr || k < 0 || !tab->isClosable()) {
        return;
    }
    // A neighbour takes over even when the closing tab was not current, so the strip never
    // ends up with no tab checked while tabs remain.
    MyTab* neighbour = nullptr;
    if (k + 1 < tabs.size()) {
        neighbour = tabs.at(k + 1);
    } else if (k > 0) {
        neighbour = tabs.at(k - 1);
    }
    if (neighbour != nullptr) {
        neighbour->setChecked(true);
        updateLayout();
    }
    removeFromTabRegistry(tab);
    delete tab;
    tabs.removeAt(k);
    updateIds();
    updateLayout();
    // Last, so that receivers (a panel removing the page at k) see the strip's new state.
    emit closeTab(k);
}

void TabBar::paintEvent(QPaintEvent* /*event*/)
{
    // A plain QWidget subclass draws no style-sheet background unless asked to.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

void TabBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateLayout();
}

void TabBar::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    updateLayout();
}

// Widths are set with setFixedWidth; a tab that is scrolled out keeps its place in tabLayout
// with width 0 rather than being hidden, so the layout keeps the tabs in order. Geometry is read
// as Qt's layouts last assigned it; before the first show it is still empty and the pass is
// repeated from showEvent and resizeEvent.
void TabBar::updateLayout()
{
    moreButton->hide();
    // Room from the strip's left edge to the right end of the title label, less room for ">>".
    const int right = titleLabel->geometry().right() - moreButton->width();
    const int available = std::max(right, 0);

    QVector<int> preferred;
    preferred.reserve(tabs.size());
    int preferredSum = 0;
    for (const MyTab* tab : qAsConst(tabs)) {
        preferred.append(tab->preferredWidth());
        preferredSum += preferred.last();
    }

    if (preferredSum <= available) {
        for (int i = 0; i < tabs.size(); ++i) {
            tabs.at(i)->setFixedWidth(preferred.at(i));
        }
        tabContainer->setFixedWidth(preferredSum);
        return;
    }

    tabContainer->setFixedWidth(available);
    QVector<int> widths(tabs.size(), 0);
    shareWidths(available, right > 0, preferred, widths);
    scrollToCurrent(available, widths);
}

// Tabs narrower than an equal share keep their preferred width and hand what they leave over to
// the others, pass after pass, as long as a pass frees some width. No share drops below
// minTabWidth.
void TabBar::shareWidths(int available, bool distribute, const QVector<int>& preferred,
                         QVector<int>& widths)
{
    QList<int> pending;
    for (int i = 0; i < tabs.size(); ++i) {
        pending.append(i);
    }
    double share = std::max(double(available) / tabs.size(), double(minTabWidth));

    if (distribute) {
        int surplus = 0;
        do {
            surplus = 0;
            for (auto it = pending.begin(); it != pending.end();) {
                const int t = *it;
                if (preferred.at(t) <= share) {
                    widths[t] = preferred.at(t);
                    surplus = int(surplus + (share - preferred.at(t)));
                    it = pending.erase(it);
                } else {
                    ++it;
                }
            }
            // Every tab is sized; there is nobody left to share the surplus with.
            if (pending.isEmpty()) {
                break;
            }
            share = std::max(double(minTabWidth), surplus / double(pending.size()) + share);
        } while (surplus > 0);
    }

    // Each width is taken from the running total, so the rounding errors do not add up.
    for (int k = 0; k < pending.size(); ++k) {
        widths[pending.at(k)] = int(int((k + 1) * share) - k * share);
    }
    for (int i = 0; i < tabs.size(); ++i) {
        tabs.at(i)->setFixedWidth(widths.at(i));
    }
}

// Tabs that still do not fit are given width 0: at the left while the current tab lies further
// right (or the strip was scrolled there before), at the right otherwise. The current tab stays
// in view unless it alone is wider than the container.
void TabBar::scrollToCurrent(int containerWidth, QVector<int>& widths)
{
    auto scrollOut = [this, &widths](int i) {
        widths[i] = 0;
        tabs.at(i)->setFixedWidth(0);
    };

    if (firstVisible > currentIndex) {
        firstVisible = currentIndex;
    }
    int first = 0;
    int used = 0;
    bool full = false;
    bool overflow = false;
    for (int i = 0; i < tabs.size(); ++i) {
        if (full) {
            scrollOut(i);
            overflow = true;
            continue;
        }
        const int width = widths.at(i);
        used += width;
        while (used > containerWidth) {
            if (i < currentIndex || first < firstVisible) {
                used -= widths.at(first);
                scrollOut(first);
                ++first;
                firstVisible = std::max(firstVisible, first);
                overflow = true;
            } else if (i > currentIndex) {
                scrollOut(i);
                used -= width;
                full = true;
                overflow = true;
                break;
            } else {
                if (first >= currentIndex) {
                    break;
                }
                used -= widths.at(first);
                scrollOut(first);
                ++first;
                full = true;
                overflow = true;
            }
        }
    }
    firstVisible = first;
    tabContainer->setFixedWidth(used);
    moreButton->setVisible(overflow);
}
