#include "BrelvaneQtDemo.h"

#include "BrelvaneWidget.h"
#include "DetailWidget.h"
#include "DomainSelection.h"
#include "MatchWidget.h"
#include "MonitorLib.h"
#include "MyTab.h"
#include "ProblemWatch.h"
#include "QoSInfo.h"
#include "StyleSheet.h"
#include "SysLogic.h"
#include "SysPhysics.h"
#include "TabRegistry.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QStatusBar>
#include <QStringList>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {
const int maxDomainTextLength = 64 * 1024 * 1024;
}

BrelvaneQtDemo::BrelvaneQtDemo(QWidget* parent) : QMainWindow(parent)
{
    setupUi();
    widget->detailWidget->m_qosInfo = widget->qosWidget;
    widget->detailWidget->m_matchWidget = widget->matchWidget;
    widget->detailWidget->m_statisticalTab = widget->staticalTab;
    detailWidget = widget->detailWidget;
    qosWidget = widget->qosWidget;
    matchWidget = widget->matchWidget;
    staticalTab = widget->staticalTab;
    includedText = QString();
    excludedText = QString();
    connect(action, &QAction::triggered, this, &BrelvaneQtDemo::onSetDomainActionTriggered);

    statusLine = new QLabel(statusBar);
    statusLine->setObjectName(QStringLiteral("statusLine"));
    statusBar->addWidget(statusLine, 1);
    // emitted and received on the GUI thread
    connect(widget->problemWatch, &ProblemWatch::reportReady, statusLine,
            [this](ProblemReportPtr report) { statusLine->setText(report->statusLine()); });
}

BrelvaneQtDemo::~BrelvaneQtDemo() = default;

void BrelvaneQtDemo::setupUi()
{
    if (objectName().isEmpty()) {
        setObjectName(QStringLiteral("BrelvaneQtDemoClass"));
    }
    resize(824, 458);
    setStyleSheet(applicationStyleSheet());
    action = new QAction(this);
    action->setObjectName(QStringLiteral("action"));
    centralWidget = new QWidget(this);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));
    verticalLayout = new QVBoxLayout(centralWidget);
    verticalLayout->setSpacing(0);
    verticalLayout->setContentsMargins(11, 11, 11, 11);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setContentsMargins(0, 0, 0, 0);
    widget = new BrelvaneWidget(centralWidget);
    widget->setObjectName(QStringLiteral("widget"));
    verticalLayout->addWidget(widget);
    setCentralWidget(centralWidget);
    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    menuBar->setGeometry(QRect(0, 0, 824, 23));
    menu = new QMenu(menuBar);
    menu->setObjectName(QStringLiteral("menu"));
    setMenuBar(menuBar);
    mainToolBar = new QToolBar(this);
    mainToolBar->setObjectName(QStringLiteral("mainToolBar"));
    mainToolBar->setToolTipDuration(-1);
    addToolBar(Qt::TopToolBarArea, mainToolBar);
    statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("statusBar"));
    setStatusBar(statusBar);
    menuBar->addAction(menu->menuAction());
    menu->addAction(action);
    retranslateUi();
    QMetaObject::connectSlotsByName(this);
}

void BrelvaneQtDemo::retranslateUi()
{
    setWindowTitle(QCoreApplication::translate("BrelvaneQtDemoClass", "BrelvaneQtDemo", nullptr));
    action->setText(QCoreApplication::translate("BrelvaneQtDemoClass", "设置域号", nullptr));
    menu->setTitle(QCoreApplication::translate("BrelvaneQtDemoClass", "设置", nullptr));
}

bool BrelvaneQtDemo::checkInputFormat(QString input)
{
    return DomainSelection::isValidInput(input);
}

void BrelvaneQtDemo::onSetDomainActionTriggered()
{
    QDialog dialog(this);
    dialog.setWindowTitle(tr("设置域号"));
    auto* layout = new QVBoxLayout(&dialog);

    auto* includedRow = new QHBoxLayout();
    auto* includedLabel = new QLabel(QStringLiteral("included:"), &dialog);
    auto* includedEdit = new QLineEdit(&dialog);
    // A line edit cuts longer texts to 32767 characters without a word, and a cut can split
    // an id ("123" becoming "12"): take whatever is typed or pasted whole, so that the check
    // sees the text as entered.
    includedEdit->setMaxLength(maxDomainTextLength);
    includedEdit->setText(includedText);
    includedRow->addWidget(includedLabel);
    includedRow->addWidget(includedEdit);
    layout->addLayout(includedRow);

    auto* excludedRow = new QHBoxLayout();
    auto* excludedLabel = new QLabel(QStringLiteral("excluded:"), &dialog);
    auto* excludedEdit = new QLineEdit(&dialog);
    excludedEdit->setMaxLength(maxDomainTextLength);
    excludedEdit->setText(excludedText);
    excludedRow->addWidget(excludedLabel);
    excludedRow->addWidget(excludedEdit);
    layout->addLayout(excludedRow);

    auto* buttonRow = new QHBoxLayout();
    buttonRow->addItem(new QSpacerItem(40, 20, QSizePolicy::Minimum, QSizePolicy::Minimum));
    auto* okButton = new QPushButton(tr("确定"), &dialog);
    auto* cancelButton = new QPushButton(tr("取消"), &dialog);
    buttonRow->addWidget(okButton);
    buttonRow->addWidget(cancelButton);
    layout->addLayout(buttonRow, 1);
    layout->setAlignment(buttonRow, Qt::AlignRight | Qt::AlignBottom);

    connect(cancelButton, &QPushButton::clicked, &dialog, &QDialog::close);
    std::set<uint32_t> notJoined;
    const auto apply = [this, &dialog, includedEdit, excludedEdit, &notJoined] {
        MonitorLib& monitor = MonitorLib::getInstance();
        const QString included = includedEdit->text();
        const QString excluded = excludedEdit->text();
        if (!checkInputFormat(included) || !checkInputFormat(excluded)) {
            QMessageBox::warning(this, tr("输入错误"),
                                 tr("输入格式应为:域号被;隔开且域号在0-200之间"), QMessageBox::Ok,
                                 QMessageBox::NoButton);
            return;
        }
        includedText = included;
        excludedText = excluded;
        notJoined = DomainSelection::apply(monitor, DomainSelection::parseIds(included),
                                           DomainSelection::parseIds(excluded));
        // on the GUI thread: the views rebuild at once
        emit monitor.dataChanged();
        dialog.accept();
        resetViews();
    };
    connect(okButton, &QPushButton::clicked, this, apply);
    dialog.exec();
    // Once the apply has run to its end: a domain that could not be joined would otherwise
    // look merely empty.
    if (!notJoined.empty()) {
        showJoinFailure(notJoined);
    }
}

void BrelvaneQtDemo::showJoinFailure(const std::set<uint32_t>& ids)
{
    QStringList texts;
    for (uint32_t id : ids) {
        texts << QString::number(id);
    }
    QMessageBox::warning(this, tr("加入域失败"),
                         tr("以下域无法加入:%1").arg(texts.join(QLatin1Char(';'))), QMessageBox::Ok,
                         QMessageBox::NoButton);
}

void BrelvaneQtDemo::resetViews()
{
    if (detailWidget) {
        // The fixed panels' own tabs stay open: their pairs leave the registry for good.
        const QString fixedTitles[] = {SysLogic::fixedTabTitle(), SysPhysics::fixedTabTitle(),
                                       MatchWidget::fixedTabTitle(), QoSInfo::fixedTabTitle()};
        QList<TabRegistryEntry>& registry = tabRegistry();
        for (const QString& text : fixedTitles) {
            registry.erase(std::remove_if(registry.begin(), registry.end(),
                                          [&text](const TabRegistryEntry& entry) {
                                              return entry.first == text;
                                          }),
                           registry.end());
        }
        // Every close removes a pair from the registry: walk a copy.
        const QList<TabRegistryEntry> open = registry;
        for (const TabRegistryEntry& entry : open) {
            emit entry.second->closeRequest();
        }
    }
    if (qosWidget) {
        qosWidget->qosTree->clear();
    }
    if (matchWidget) {
        matchWidget->treeWidget->clear();
    }
    emit MonitorLib::getInstance().dataChanged();
}
