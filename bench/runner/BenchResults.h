// The figures of one run, by name, and their JSON form: every time is also given as a ratio to
// the Cyclone DDS floor measured in the same run.
#pragma once

#include "Stats.h"

#include <QJsonObject>
#include <QString>
#include <map>

class BenchResults
{
public:
    void add(const QString& name, const Stats& stats) { m_stats[name] = stats; }
    void add(const QString& name, std::vector<double> samples, const QString& unit)
    {
        m_stats[name] = Stats(std::move(samples), unit);
    }
    // A figure measured once (memory, CPU over a window).
    void addSingle(const QString& name, double value, const QString& unit)
    {
        add(name, std::vector<double>{value}, unit);
    }
    const Stats& operator[](const QString& name) const;
    void setCount(const QString& name, double value) { m_counts[name] = value; }

    // {"metrics": {name: stats + "ratio_to_floor"}, "counts": {...}}, the floor taken from
    // the metric `floorName`.
    QJsonObject toJson(const QString& floorName) const;

private:
    std::map<QString, Stats> m_stats;
    std::map<QString, double> m_counts;
};
