// The timed operations of the GUI side, each repeated: the Cyclone floor, the two tree
// rebuilds (collect alone and collect plus items), a topic tab of the largest topic, a host
// tab, the QoS panel and the match analysis for one writer.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

class BenchResults;
class MatchWidget;
class MonitorLib;
class QoSInfo;
class SysLogic;
class SysPhysics;

class ViewTimings
{
public:
    struct Views
    {
        SysLogic* logic;
        SysPhysics* physics;
        QoSInfo* qos;
        MatchWidget* match;
    };

    ViewTimings(MonitorLib& monitor, Views views, uint32_t domain, int repeat);

    void floor(BenchResults& results);
    void rebuilds(BenchResults& results);
    void detailTabs(BenchResults& results, const QString& largestTopic);

    // Runs `operation` `repeat` times, letting the event loop run between runs; milliseconds.
    static std::vector<double> timed(int repeat, const std::function<void()>& operation);

private:
    MonitorLib& m_monitor;
    Views m_views;
    uint32_t m_domain;
    int m_repeat;
};
