#include "StatisticalTab.h"

#include <QLabel>

StatisticalTab::StatisticalTab(QWidget* parent) : TabWidget(parent), statLabel(new QLabel(this))
{
    statLabel->hide();
}

void StatisticalTab::setCurHandle(QString /*handle*/)
{
    statLabel->setText(QStringLiteral("hello world"));
}

void StatisticalTab::setCurHandle(QString /*handle*/, std::string /*Reader*/)
{
    statLabel->setText(QStringLiteral("hello world"));
}
