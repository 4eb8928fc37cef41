// Panel base: a tab strip over a tree. The strip usually carries one tab with the panel's name;
// subclasses fill the tree.
#pragma once

#include <QWidget>

class QTreeWidget;
class QVBoxLayout;
class TabBar;

class TabTree : public QWidget
{
    Q_OBJECT

public:
    explicit TabTree(QWidget* parent = nullptr);

    // Form members, used directly by owners and subclasses.
    QVBoxLayout* verticalLayout;
    TabBar* tabBar;
    QTreeWidget* treeWidget;

private:
    void setupUi();
    void retranslateUi();
};
