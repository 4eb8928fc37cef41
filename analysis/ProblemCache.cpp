#include "ProblemCache.h"

ProblemCache::ProblemCache(const ProblemLimits& limits) : m_limits(limits) {}

std::vector<std::vector<TopicReportPtr>> ProblemCache::update(const WatchedEndpoints& endpoints)
{
    m_judged = 0;
    std::vector<std::vector<TopicReportPtr>> results;
    results.reserve(endpoints.domains.size());
    std::map<uint32_t, DomainCache> domains;
    for (const WatchedDomain& domain : endpoints.domains) {
        // Moved over, not copied: domains that went stay behind and are dropped.
        DomainCache& kept = domains[domain.id];
        const auto found = m_domains.find(domain.id);
        if (found != m_domains.end()) {
            kept = std::move(found->second);
        }
        results.push_back(update(domain, kept));
    }
    m_domains = std::move(domains);
    return results;
}

std::vector<TopicReportPtr> ProblemCache::update(const WatchedDomain& domain, DomainCache& kept)
{
    std::vector<TopicReportPtr> results;
    results.reserve(domain.topics.size());
    // Both maps are ordered by name: one walk over the two, no lookup.
    auto at = kept.begin();
    for (const auto& named : domain.topics) {
        while (at != kept.end() && at->first < named.first) {
            at = kept.erase(at);
        }
        if (at == kept.end() || named.first < at->first) {
            at = kept.emplace_hint(at, named.first, Kept());
        }
        Kept& entry = at->second;
        if (entry.topic != named.second) {
            entry.topic = named.second;
            entry.results = TopicReport::of(domain.id, *named.second, m_limits);
            ++m_judged;
        }
        results.push_back(entry.results);
        ++at;
    }
    kept.erase(at, kept.end());
    return results;
}
