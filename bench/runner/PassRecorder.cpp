#include "PassRecorder.h"

#include "MonitorLib.h"

std::mutex PassRecorder::s_mutex;
std::vector<PassRecorder::Pass> PassRecorder::s_passes;

PassRecorder::PassRecorder(MonitorLib& monitor) : m_monitor(monitor)
{
    m_monitor.setPassObserver(&PassRecorder::observe);
}

PassRecorder::~PassRecorder()
{
    m_monitor.setPassObserver(nullptr);
}

std::vector<PassRecorder::Pass> PassRecorder::take()
{
    std::lock_guard<std::mutex> lock(s_mutex);
    std::vector<Pass> passes;
    passes.swap(s_passes);
    return passes;
}

void PassRecorder::observe(std::chrono::nanoseconds waited, std::chrono::nanoseconds held)
{
    std::lock_guard<std::mutex> lock(s_mutex);
    s_passes.push_back(Pass{std::chrono::duration<double, std::milli>(waited).count(),
                            std::chrono::duration<double, std::milli>(held).count()});
}
