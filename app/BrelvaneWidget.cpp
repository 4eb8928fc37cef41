#include "BrelvaneWidget.h"

#include "DetailWidget.h"
#include "MatchWidget.h"
#include "MonitorLib.h"
#include "ProblemList.h"
#include "ProblemWatch.h"
#include "QoSInfo.h"
#include "StatisticalTab.h"
#include "SysLogic.h"
#include "SysPhysics.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QSplitter>

BrelvaneWidget::BrelvaneWidget(QWidget* parent) : QWidget(parent)
{
    setupUi();
    // Both ends live on the GUI thread: delivered directly, so the std::string arguments need
    // no meta-type.
    connect(sysLogic, SIGNAL(topicDoubelClicked(uint32_t, QString)), detailWidget,
            SLOT(onTopicNameDoubleClicked(uint32_t, QString)));
    connect(sysPhysic, SIGNAL(hostDoubelClicked(std::string, std::string, std::string, uint32_t)),
            detailWidget,
            SLOT(onHostDoubleClicked(std::string, std::string, std::string, uint32_t)));

    // Created after the panels, so that the logical view stays the monitor's first user.
    problemWatch = new ProblemWatch(MonitorLib::getInstance(), ProblemLimits(), this);
    // emitted and received on the GUI thread
    connect(problemWatch, &ProblemWatch::reportReady, staticalTab, &StatisticalTab::showReport);
    connect(problemWatch, &ProblemWatch::reportReady, sysLogic,
            [this](ProblemReportPtr report) { sysLogic->applyMarks(report->incompatiblePairs); });
    connect(staticalTab->problemTree, &ProblemList::endpointRequested, detailWidget,
            &DetailWidget::showTopicEndpoint);
}

void BrelvaneWidget::setupUi()
{
    if (objectName().isEmpty()) {
        setObjectName(QStringLiteral("BrelvaneWidget"));
    }
    resize(973, 635);
    setContextMenuPolicy(Qt::NoContextMenu);
    setStyleSheet(QString());
    horizontalLayout = new QHBoxLayout(this);
    horizontalLayout->setSpacing(0);
    horizontalLayout->setContentsMargins(11, 11, 11, 11);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setContentsMargins(0, 0, 0, 0);
    splitter_4 = new QSplitter(this);
    splitter_4->setObjectName(QStringLiteral("splitter_4"));
    splitter_4->setOrientation(Qt::Horizontal);

    splitter = new QSplitter(splitter_4);
    splitter->setObjectName(QStringLiteral("splitter"));
    splitter->setOrientation(Qt::Vertical);
    sysLogic = new SysLogic(splitter);
    sysLogic->setObjectName(QStringLiteral("sysLogic"));
    sysLogic->setMinimumSize(QSize(3, 3));
    splitter->addWidget(sysLogic);
    sysPhysic = new SysPhysics(splitter);
    sysPhysic->setObjectName(QStringLiteral("sysPhysic"));
    sysPhysic->setMinimumSize(QSize(3, 3));
    splitter->addWidget(sysPhysic);
    splitter_4->addWidget(splitter);

    splitter_2 = new QSplitter(splitter_4);
    splitter_2->setObjectName(QStringLiteral("splitter_2"));
    splitter_2->setOrientation(Qt::Vertical);
    detailWidget = new DetailWidget(splitter_2);
    detailWidget->setObjectName(QStringLiteral("detailWidget"));
    detailWidget->setMinimumSize(QSize(3, 3));
    splitter_2->addWidget(detailWidget);
    matchWidget = new MatchWidget(splitter_2);
    matchWidget->setObjectName(QStringLiteral("matchWidget"));
    matchWidget->setMinimumSize(QSize(3, 3));
    splitter_2->addWidget(matchWidget);
    splitter_4->addWidget(splitter_2);

    splitter_3 = new QSplitter(splitter_4);
    splitter_3->setObjectName(QStringLiteral("splitter_3"));
    splitter_3->setOrientation(Qt::Vertical);
    qosWidget = new QoSInfo(splitter_3);
    qosWidget->setObjectName(QStringLiteral("qosWidget"));
    qosWidget->setMinimumSize(QSize(3, 3));
    splitter_3->addWidget(qosWidget);
    staticalTab = new StatisticalTab(splitter_3);
    staticalTab->setObjectName(QStringLiteral("staticalTab"));
    staticalTab->setMinimumSize(QSize(3, 3));
    splitter_3->addWidget(staticalTab);
    splitter_4->addWidget(splitter_3);

    horizontalLayout->addWidget(splitter_4);
    setWindowTitle(QCoreApplication::translate("BrelvaneWidget", "BrelvaneWidget", nullptr));
    QMetaObject::connectSlotsByName(this);
}
