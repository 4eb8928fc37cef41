#include "TabTree.h"

#include "TabBar.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

TabTree::TabTree(QWidget* parent)
    : QWidget(parent), verticalLayout(nullptr), tabBar(nullptr), treeWidget(nullptr)
{
    setupUi();
}

void TabTree::setupUi()
{
    if (objectName().isEmpty()) {
        setObjectName(QStringLiteral("TabTree"));
    }
    resize(659, 754);

    verticalLayout = new QVBoxLayout(this);
    verticalLayout->setSpacing(0);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setContentsMargins(0, 0, 0, 0);

    tabBar = new TabBar(this);
    tabBar->setObjectName(QStringLiteral("tabBar"));
    verticalLayout->addWidget(tabBar);

    treeWidget = new QTreeWidget(this);
    auto* headerItem = new QTreeWidgetItem();
    headerItem->setText(0, QStringLiteral("1"));
    treeWidget->setHeaderItem(headerItem);
    treeWidget->setObjectName(QStringLiteral("treeWidget"));
    treeWidget->header()->setVisible(false);
    verticalLayout->addWidget(treeWidget);

    retranslateUi();
    QMetaObject::connectSlotsByName(this);
}

void TabTree::retranslateUi()
{
    setWindowTitle(QCoreApplication::translate("TabTree", "TabTree"));
}
