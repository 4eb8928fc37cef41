// One benchmark run at one size: starts the synthetic system, lets the monitor discover it
// the way the application does (domain entered, views rebuilt on dataChanged) and measures
// every figure, phase after phase.
#pragma once

#include "BenchOptions.h"
#include "BenchResults.h"

#include <QJsonObject>
#include <memory>

class DetailWidget;
struct DomainSummary;
class EventLog;
class LoadSystem;
class MatchWidget;
class MonitorLib;
class MutexProbe;
class PassRecorder;
class ProblemWatch;
class QoSInfo;
class QWidget;
class StatisticalTab;
class SysLogic;
class SysPhysics;
class ViewWatch;

class BenchRun
{
public:
    explicit BenchRun(const BenchOptions& options);
    ~BenchRun();

    // Runs every phase; false with a reason in `error` when the system could not be set up
    // or discovered.
    bool run(QString& error);
    QJsonObject toJson() const;

private:
    bool startSystem(QString& error);
    bool discover(QString& error);
    void steady();
    void idle();
    void discoveryLatency();
    // Replaces endpoints at the churn rate for the churn time; figures named after `phase`.
    void churn(const QString& phase);
    // The same with ten detail tabs open and the QoS and match panels showing an endpoint.
    void openTabsChurn();
    void problems();
    void crowd();
    // The domain's counts in the last report of the problems watch.
    bool domainSummary(DomainSummary& summary) const;
    void recordPasses(const QString& phase);
    void recordProbe(const QString& phase);
    void waitQuiet(int quietMs, int timeoutMs);
    void summarise();

    const BenchOptions& m_options;
    MonitorLib& m_monitor;
    EventLog* m_events = nullptr; // null when the run records no events
    std::unique_ptr<QWidget> m_window;
    SysLogic* m_logic = nullptr;
    SysPhysics* m_physics = nullptr;
    QoSInfo* m_qos = nullptr;
    MatchWidget* m_match = nullptr;
    StatisticalTab* m_stats = nullptr;
    DetailWidget* m_detail = nullptr;
    ProblemWatch* m_problems = nullptr; // a child of m_window
    std::unique_ptr<ViewWatch> m_watch;
    std::unique_ptr<PassRecorder> m_passes;
    std::unique_ptr<MutexProbe> m_probe;
    std::unique_ptr<LoadSystem> m_load;
    BenchResults m_results;
    std::vector<double> m_allWaits;
    std::vector<double> m_allHolds;
    double m_loadAtStart = 0;
    double m_loadAtEnd = 0;
};
