#include "Stats.h"

#include <algorithm>
#include <cmath>

Stats::Stats(std::vector<double> samples, QString unit)
    : m_samples(std::move(samples)), m_unit(std::move(unit))
{
    std::sort(m_samples.begin(), m_samples.end());
}

double Stats::min() const
{
    return m_samples.empty() ? 0 : m_samples.front();
}

double Stats::max() const
{
    return m_samples.empty() ? 0 : m_samples.back();
}

double Stats::quantile(double q) const
{
    if (m_samples.empty()) {
        return 0;
    }
    const double position = q * double(m_samples.size() - 1);
    const size_t below = size_t(std::floor(position));
    const size_t above = std::min(below + 1, m_samples.size() - 1);
    const double fraction = position - double(below);
    return m_samples[below] + (m_samples[above] - m_samples[below]) * fraction;
}

QJsonObject Stats::toJson() const
{
    return QJsonObject{
        {QStringLiteral("unit"), m_unit},        {QStringLiteral("n"), int(m_samples.size())},
        {QStringLiteral("median"), median()},    {QStringLiteral("min"), min()},
        {QStringLiteral("max"), max()},          {QStringLiteral("p25"), quantile(0.25)},
        {QStringLiteral("p75"), quantile(0.75)}, {QStringLiteral("p95"), quantile(0.95)}};
}
