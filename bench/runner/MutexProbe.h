// Watches the GUI thread from inside its event loop: a fast timer that measures how long the
// thread waits to take the monitor's mutex (the polling thread holds it for a whole pass) and
// how late the timer fires (how long the event loop was kept busy, e.g. by view rebuilds).
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <vector>

class MonitorLib;

class MutexProbe : public QObject
{
    Q_OBJECT

public:
    explicit MutexProbe(MonitorLib& monitor, QObject* parent = nullptr);

    void start();
    void stop();
    // Samples since the last call, in milliseconds; forgets them.
    std::vector<double> takeWaits();
    std::vector<double> takeLags();

private slots:
    void onTick();

private:
    using Clock = std::chrono::steady_clock;

    MonitorLib& m_monitor;
    QTimer m_timer;
    Clock::time_point m_lastTick;
    std::vector<double> m_waits;
    std::vector<double> m_lags;
};
