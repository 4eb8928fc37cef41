// Median and spread of repeated measurements, as the benchmark reports them.
#pragma once

#include <QJsonObject>
#include <QString>
#include <vector>

class Stats
{
public:
    Stats() = default;
    Stats(std::vector<double> samples, QString unit);

    bool empty() const { return m_samples.empty(); }
    double median() const { return quantile(0.5); }
    double min() const;
    double max() const;
    // Linear interpolation between the closest ranks; 0 when there is no sample.
    double quantile(double q) const;
    const QString& unit() const { return m_unit; }

    // {"unit", "n", "median", "min", "max", "p25", "p75", "p95"}
    QJsonObject toJson() const;

private:
    std::vector<double> m_samples; // sorted
    QString m_unit;
};
