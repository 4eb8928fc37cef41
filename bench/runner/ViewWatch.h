// Looks at the two tree views after each delivery of dataChanged. Connected after the views,
// it runs once both have rebuilt for a signal, which is when the new state can reach the
// screen: it notes when the whole system is shown and when each probe topic appears.
#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <chrono>
#include <cstdint>

class MonitorLib;
class SysLogic;
class SysPhysics;

class ViewWatch : public QObject
{
    Q_OBJECT

public:
    using Clock = std::chrono::steady_clock;

    ViewWatch(MonitorLib& monitor, SysLogic& logic, SysPhysics& physics, uint32_t domain,
              QObject* parent = nullptr);

    // Deliveries of dataChanged seen so far, and when the last one came.
    int signalCount() const { return m_signals; }
    Clock::time_point lastSignal() const { return m_lastSignal; }

    int topicItems() const;
    int hostItems() const;
    int processItems() const;

    // Waits for `topic` to appear in the logical tree.
    void expectTopic(const QString& topic);
    // When the topic was first seen in the tree after a delivery; false while it is not.
    bool seen(const QString& topic, Clock::time_point& when) const;

private slots:
    void onDataChanged();

private:
    SysLogic& m_logic;
    SysPhysics& m_physics;
    const uint32_t m_domain;
    int m_signals = 0;
    Clock::time_point m_lastSignal;
    QHash<QString, Clock::time_point> m_expected;
    QHash<QString, Clock::time_point> m_seen;
};
