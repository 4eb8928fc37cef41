#include "StatisticalTab.h"

#include "EventLogPage.h"
#include "MonitorEvents.h"

#include <QLabel>

StatisticalTab::StatisticalTab(QWidget* parent) : TabWidget(parent), statLabel(new QLabel(this))
{
    statLabel->hide();
    addFixedPage(tr("事件"), new EventLogPage(MonitorEvents::log(), this));
}

void StatisticalTab::setCurHandle(QString /*handle*/)
{
    statLabel->setText(QStringLiteral("hello world"));
}

void StatisticalTab::setCurHandle(QString /*handle*/, std::string /*Reader*/)
{
    statLabel->setText(QStringLiteral("hello world"));
}
