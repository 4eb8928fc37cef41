#include "ViewWatch.h"

#include "MonitorLib.h"
#include "SysLogic.h"
#include "SysPhysics.h"

#include <QTreeWidgetItem>

ViewWatch::ViewWatch(MonitorLib& monitor, SysLogic& logic, SysPhysics& physics, uint32_t domain,
                     QObject* parent)
    : QObject(parent), m_logic(logic), m_physics(physics), m_domain(domain),
      m_lastSignal(Clock::now())
{
    // emitted on the polling thread; delivered queued to the GUI thread after the views' own
    // deliveries, which were connected first
    connect(&monitor, &MonitorLib::dataChanged, this, &ViewWatch::onDataChanged);
}

int ViewWatch::topicItems() const
{
    const QTreeWidgetItem* domain = m_logic.m_domainItems.value(int(m_domain), nullptr);
    return domain ? domain->childCount() : 0;
}

int ViewWatch::hostItems() const
{
    return m_physics.m_hostItems.size();
}

int ViewWatch::processItems() const
{
    int count = 0;
    for (const QTreeWidgetItem* host : m_physics.m_hostItems) {
        count += host->childCount();
    }
    return count;
}

void ViewWatch::expectTopic(const QString& topic)
{
    m_expected.insert(topic, Clock::now());
}

bool ViewWatch::seen(const QString& topic, Clock::time_point& when) const
{
    const auto found = m_seen.find(topic);
    if (found == m_seen.end()) {
        return false;
    }
    when = found.value();
    return true;
}

void ViewWatch::onDataChanged()
{
    const Clock::time_point now = Clock::now();
    ++m_signals;
    m_lastSignal = now;
    if (m_expected.isEmpty()) {
        return;
    }
    const QTreeWidgetItem* domain = m_logic.m_domainItems.value(int(m_domain), nullptr);
    if (!domain) {
        return;
    }
    for (int i = 0; i < domain->childCount(); ++i) {
        const auto expected = m_expected.find(domain->child(i)->text(0));
        if (expected != m_expected.end()) {
            m_seen.insert(expected.key(), now);
            m_expected.erase(expected);
        }
    }
}
