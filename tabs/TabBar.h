// The tab strip that heads every panel: a row of MyTab buttons that share the strip's width,
// an overflow button ">>" with a menu of all tabs, an empty title label and a group of small
// buttons at the right end.
#pragma once

#include <QList>
#include <QString>
#include <QVector>
#include <QWidget>

class MyTab;
class QButtonGroup;
class QHBoxLayout;
class QLabel;
class QPushButton;

class TabBar : public QWidget
{
    Q_OBJECT

public:
    explicit TabBar(QWidget* parent = nullptr);
    ~TabBar() override;

    // Appends a tab and makes it current.
    void addTab(const QString& title);
    // Appends a tab that cannot be closed, the title tab of a panel that is always there, and
    // makes it current.
    void addFixedTab(const QString& title);
    // The first step of addTab: builds and appends the tab without renumbering or laying out.
    // Callers that add tabs themselves follow it with updateIds and updateLayout.
    MyTab* createTab(const QString& title);
    // Makes the group ids equal the tab indexes and announces the current tab again.
    void updateIds();
    // Gives every tab its width and scrolls the current tab into view.
    void updateLayout();
    // Puts the widget at the left end of the group at the right end of the strip.
    void addRightWidget(QWidget* widget);
    // When on, the current tab shows its close button and the others show it on hover.
    void setTabsClosable(bool closable);

    // The strip's parts and state, readable by the panels built on it; only the strip changes
    // them. After every public operation a tab's index in tabs equals its id in buttonGroup.
    QButtonGroup* buttonGroup;
    QList<MyTab*> tabs;
    QWidget* tabContainer;
    QHBoxLayout* tabLayout;
    QLabel* titleLabel;
    QPushButton* moreButton;
    QList<QWidget*> rightWidgets;
    QHBoxLayout* backLayout;
    int previousIndex;
    bool tabsClosable;
    int currentIndex;
    int minTabWidth;
    int firstVisible;

signals:
    void currentIndexChanged(int curIndex);
    // Emitted last when a tab has closed; the strip is already in its new state.
    void closeTab(int index);

public slots:
    void setCurIndex(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private slots:
    void onTabToggled(int id, bool checked);
    void onTabCloseRequest();
    void onComboButtonClicked();
    void onScrollAdd(int addNum);

private:
    void shareWidths(int available, bool distribute, const QVector<int>& preferred,
                     QVector<int>& widths);
    void scrollToCurrent(int containerWidth, QVector<int>& widths);
};
