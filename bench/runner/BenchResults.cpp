#include "BenchResults.h"

const Stats& BenchResults::operator[](const QString& name) const
{
    static const Stats none;
    const auto found = m_stats.find(name);
    return found == m_stats.end() ? none : found->second;
}

QJsonObject BenchResults::toJson(const QString& floorName) const
{
    const double floor = (*this)[floorName].median();
    QJsonObject metrics;
    for (const auto& entry : m_stats) {
        QJsonObject metric = entry.second.toJson();
        if (entry.second.unit() == QLatin1String("ms") && floor > 0) {
            metric.insert(QStringLiteral("ratio_to_floor"), entry.second.median() / floor);
        }
        metrics.insert(entry.first, metric);
    }
    QJsonObject counts;
    for (const auto& entry : m_counts) {
        counts.insert(entry.first, entry.second);
    }
    return QJsonObject{{QStringLiteral("metrics"), metrics}, {QStringLiteral("counts"), counts}};
}
