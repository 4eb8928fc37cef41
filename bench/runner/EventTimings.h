// The cost of recording discovery events at the size of the run: a recorder of its own is told
// that every participant, writer and reader of the domain joined, then that all of them left,
// as one polling pass would tell it; timed under the monitor's mutex and after it, repeated.
#pragma once

#include <cstdint>

class BenchResults;
class MonitorLib;

class EventTimings
{
public:
    EventTimings(MonitorLib& monitor, uint32_t domain, int repeat);

    void measure(BenchResults& results);

private:
    MonitorLib& m_monitor;
    uint32_t m_domain;
    int m_repeat;
};
