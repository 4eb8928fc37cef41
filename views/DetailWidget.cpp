#include "DetailWidget.h"

#include "HostInfoWidget.h"
#include "TopicInfo.h"

#include <QStackedWidget>

namespace {

QString fromUtf8(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), int(bytes.size()));
}

} // namespace

DetailWidget::DetailWidget(QWidget* parent) : TabWidget(parent)
{
    connect(this, SIGNAL(widgetRemoving(int)), this, SLOT(onWidgetRemoved(int)));
}

DetailWidget::~DetailWidget() = default;

QString DetailWidget::topicTabKey(uint32_t domainId, const QString& topicName)
{
    return QString::number(domainId) + QLatin1Char('_') + topicName;
}

QString DetailWidget::topicTabTitle(uint32_t domainId, const QString& topicName)
{
    return tr("%1号域：%2详细信息").arg(QString::number(domainId), topicName);
}

DetailWidget::HostTabKey DetailWidget::hostTabKey(const std::string& hostName,
                                                  const std::string& ips,
                                                  const std::string& processName, uint32_t pid)
{
    return HostTabKey{fromUtf8(hostName), fromUtf8(ips), fromUtf8(processName), pid};
}

QString DetailWidget::hostTabTitle(const HostTabKey& key)
{
    return key.hostName + QLatin1Char('-') + key.ips + key.processName + QString::number(key.pid);
}

void DetailWidget::onTopicNameDoubleClicked(uint32_t domainId, QString topicName)
{
    const QString key = topicTabKey(domainId, topicName);
    if (TopicInfo* open = m_topicTabs.value(key, nullptr)) {
        setCurrentPage(open);
        open->m_qosInfo = m_qosInfo;
        open->m_matchWidget = m_matchWidget;
        open->m_statisticalTab = m_statisticalTab;
        return;
    }
    auto* tab = new TopicInfo();
    tab->m_qosInfo = m_qosInfo;
    tab->m_matchWidget = m_matchWidget;
    tab->m_statisticalTab = m_statisticalTab;
    m_topicTabs.insert(key, tab);
    addPage(topicTabTitle(domainId, topicName), tab);
    tab->fillTopic(domainId, topicName);
    setCurrentPage(tab);
}

void DetailWidget::showTopicEndpoint(uint32_t domainId, const QString& topicName,
                                     const QString& handleText)
{
    onTopicNameDoubleClicked(domainId, topicName);
    TopicInfo* tab = m_topicTabs.value(topicTabKey(domainId, topicName), nullptr);
    if (tab && !handleText.isEmpty()) {
        tab->selectEndpoint(handleText);
    }
}

void DetailWidget::onHostDoubleClicked(std::string hostName, std::string ips,
                                       std::string processName, uint32_t pid)
{
    const HostTabKey key = hostTabKey(hostName, ips, processName, pid);
    if (HostInfoWidget* open = m_hostTabs.value(key, nullptr)) {
        open->m_qosInfo = m_qosInfo;
        open->m_matchWidget = m_matchWidget;
        setCurrentPage(open);
        return;
    }
    auto* tab = new HostInfoWidget(this);
    tab->m_qosInfo = m_qosInfo;
    tab->m_matchWidget = m_matchWidget;
    tab->showProcess(hostName, ips, processName, pid);
    m_hostTabs.insert(key, tab);
    addPage(hostTabTitle(key), tab);
    setCurrentPage(tab);
}

void DetailWidget::onWidgetRemoved(int index)
{
    QWidget* page = stackedWidget->widget(index);
    if (!page) {
        return;
    }
    for (auto it = m_topicTabs.begin(); it != m_topicTabs.end(); ++it) {
        if (it.value() == page) {
            m_topicTabs.erase(it);
            break;
        }
    }
    for (auto it = m_hostTabs.begin(); it != m_hostTabs.end(); ++it) {
        if (it.value() == page) {
            m_hostTabs.erase(it);
            break;
        }
    }
    page->deleteLater();
}
