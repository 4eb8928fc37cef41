#include "MutexProbe.h"

#include "MonitorLib.h"

#include <mutex>

namespace {
constexpr int tickMs = 2;
}

MutexProbe::MutexProbe(MonitorLib& monitor, QObject* parent) : QObject(parent), m_monitor(monitor)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(tickMs);
    connect(&m_timer, &QTimer::timeout, this, &MutexProbe::onTick);
}

void MutexProbe::start()
{
    m_lastTick = Clock::now();
    m_timer.start();
}

void MutexProbe::stop()
{
    m_timer.stop();
}

std::vector<double> MutexProbe::takeWaits()
{
    std::vector<double> waits;
    waits.swap(m_waits);
    return waits;
}

std::vector<double> MutexProbe::takeLags()
{
    std::vector<double> lags;
    lags.swap(m_lags);
    return lags;
}

void MutexProbe::onTick()
{
    const Clock::time_point asked = Clock::now();
    {
        std::lock_guard<std::mutex> lock(m_monitor.mutex);
    }
    const Clock::time_point got = Clock::now();
    m_waits.push_back(std::chrono::duration<double, std::milli>(got - asked).count());
    // How much later than planned this tick came: time the event loop spent elsewhere.
    const double late =
        std::chrono::duration<double, std::milli>(asked - m_lastTick).count() - tickMs;
    m_lags.push_back(late > 0 ? late : 0);
    m_lastTick = got;
}
