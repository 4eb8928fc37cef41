#include "TabWidget.h"

#include "MyTab.h"
#include "TabBar.h"

#include <QCoreApplication>
#include <QStackedWidget>
#include <QVBoxLayout>

TabWidget::TabWidget(QWidget* parent)
    : QWidget(parent), verticalLayout(nullptr), tabBar(nullptr), stackedWidget(nullptr)
{
    setupUi();
    tabBar->setTabsClosable(true);
    connect(tabBar, SIGNAL(currentIndexChanged(int)), stackedWidget, SLOT(setCurrentIndex(int)));
    connect(tabBar, SIGNAL(closeTab(int)), this, SLOT(onTabClosed(int)));
}

void TabWidget::setupUi()
{
    if (objectName().isEmpty()) {
        setObjectName(QStringLiteral("TabWidget"));
    }
    resize(746, 526);

    verticalLayout = new QVBoxLayout(this);
    verticalLayout->setSpacing(0);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setContentsMargins(0, 0, 0, 0);

    tabBar = new TabBar(this);
    tabBar->setObjectName(QStringLiteral("tabBar"));
    verticalLayout->addWidget(tabBar);

    stackedWidget = new QStackedWidget(this);
    stackedWidget->setObjectName(QStringLiteral("stackedWidget"));
    stackedWidget->setFrameShape(QFrame::NoFrame);
    verticalLayout->addWidget(stackedWidget);

    retranslateUi();
    stackedWidget->setCurrentIndex(-1);
    QMetaObject::connectSlotsByName(this);
}

void TabWidget::retranslateUi()
{
    setWindowTitle(QCoreApplication::translate("TabWidget", "TreeWidget"));
}

void TabWidget::addPage(const QString& title, QWidget* page)
{
    // The strip announces the new tab before the page is in the stack, so the stack follows only
    // when it was empty.
    tabBar->createTab(title);
    tabBar->updateIds();
    tabBar->updateLayout();
    stackedWidget->addWidget(page);
}

void TabWidget::addFixedPage(const QString& title, QWidget* page)
{
    addPage(title, page);
    tabBar->tabs.last()->setClosable(false);
}

void TabWidget::setCurrentPage(QWidget* page)
{
    stackedWidget->setCurrentWidget(page);
    const int i = stackedWidget->indexOf(page);
    if (i < 0 || i >= tabBar->tabs.size()) {
        return;
    }
    tabBar->setCurIndex(i);
}

void TabWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
}

void TabWidget::onTabClosed(int index)
{
    emit widgetRemoving(index);
    if (QWidget* page = stackedWidget->widget(index)) {
        stackedWidget->removeWidget(page);
    }
}
