#include "TopicProblems.h"

#include "CompatibilityEngine.h"
#include "CompatibilityKey.h"

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <map>
#include <numeric>

namespace {

// Indexes of the endpoints in the byte order of their keys.
template <class Endpoint> std::vector<size_t> byKey(const std::vector<Endpoint>& endpoints)
{
    std::vector<std::string> keys;
    keys.reserve(endpoints.size());
    for (const Endpoint& endpoint : endpoints) {
        keys.push_back(endpoint.key());
    }
    std::vector<size_t> order(endpoints.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(),
              [&keys](size_t a, size_t b) { return keys[a] < keys[b]; });
    return order;
}

} // namespace

TopicProblems::TopicProblems(uint32_t domain, const WatchedTopic& topic,
                             const ProblemLimits& limits)
    : m_domain(domain), m_topic(topic), m_limits(limits)
{
    const size_t writers = topic.writers.size();
    const size_t readers = topic.readers.size();
    if (writers == 0 && readers == 0) {
        return;
    }
    if (writers == 0 || readers == 0) {
        Problem hint = writers == 0 ? entry(ProblemLevel::Hint, Problem::Kind::ReadersOnly)
                                    : entry(ProblemLevel::Hint, Problem::Kind::WritersOnly);
        hint.count = writers + readers;
        hint.text = writers == 0 ? tr("只有 %1 个订阅端，没有发布端").arg(readers)
                                 : tr("只有 %1 个发布端，没有订阅端").arg(writers);
        m_hints.push_back(std::move(hint));
        return;
    }
    judge();
    if (m_pairs > 0 || m_unmatched > 0) {
        m_writerOrder = byKey(topic.writers);
        m_readerOrder = byKey(topic.readers);
        m_writersShown.resize(writers);
        m_readersShown.resize(readers);
    }
    listPairs();
    listUnmatched();
    m_table.reset();
}

Problem TopicProblems::entry(ProblemLevel level, Problem::Kind kind) const
{
    Problem problem;
    problem.level = level;
    problem.kind = kind;
    problem.domain = m_domain;
    problem.topic = m_topic.name;
    return problem;
}

template <class Endpoint>
const ProblemEndpoint& TopicProblems::shown(const std::vector<Endpoint>& endpoints, size_t index,
                                            std::vector<ProblemEndpoint>& cache)
{
    ProblemEndpoint& shown = cache[index];
    if (shown.isEmpty()) {
        const Endpoint& endpoint = endpoints[index];
        shown.key = endpoint.key();
        shown.handle = endpoint.handleText();
        shown.process = endpoint.processText();
    }
    return shown;
}

void TopicProblems::judge()
{
    m_table = std::make_unique<CompatibilityTable>();
    CompatibilityTable& table = *m_table;
    for (const WatchedWriter& writer : m_topic.writers) {
        m_writerGroup.push_back(
            table.addWriter(CompatibilityKey::ofWriter(m_domain, *writer.record)));
    }
    for (const WatchedReader& reader : m_topic.readers) {
        m_readerGroup.push_back(
            table.addReader(CompatibilityKey::ofReader(m_domain, *reader.record)));
    }
    const int writerGroups = table.writerGroupCount();
    m_readerGroups = table.readerGroupCount();
    std::vector<uint64_t> writersIn(size_t(writerGroups), 0);
    std::vector<uint64_t> readersIn(size_t(m_readerGroups), 0);
    for (int group : m_writerGroup) {
        ++writersIn[size_t(group)];
    }
    for (int group : m_readerGroup) {
        ++readersIn[size_t(group)];
    }

    m_incompatible.assign(size_t(writerGroups) * size_t(m_readerGroups), 0);
    m_writerMatches.assign(size_t(writerGroups), 0);
    m_readerMatches.assign(size_t(m_readerGroups), 0);
    m_writerFails.assign(size_t(writerGroups), 0);
    for (int w = 0; w < writerGroups; ++w) {
        for (int r = 0; r < m_readerGroups; ++r) {
            // Each pair of groups is asked once here: the table's own cache would only cost
            // memory.
            ++m_judged;
            if (CompatibilityEngine::check(table.writerKey(w), table.readerKey(r)) ==
                QosRuleSet()) {
                m_writerMatches[size_t(w)] = 1;
                m_readerMatches[size_t(r)] = 1;
            } else {
                m_incompatible[size_t(w) * size_t(m_readerGroups) + size_t(r)] = 1;
                m_writerFails[size_t(w)] = 1;
                m_pairs += writersIn[size_t(w)] * readersIn[size_t(r)];
            }
        }
    }
    for (int w = 0; w < writerGroups; ++w) {
        if (!m_writerMatches[size_t(w)]) {
            m_unmatched += writersIn[size_t(w)];
        }
    }
    for (int r = 0; r < m_readerGroups; ++r) {
        if (!m_readerMatches[size_t(r)]) {
            m_unmatched += readersIn[size_t(r)];
        }
    }
}

void TopicProblems::listPairs()
{
    if (m_pairs == 0) {
        return;
    }
    // texts of each pair of groups listed, judged once
    std::map<std::pair<int, int>, std::pair<QString, QVector<Reason>>> judged;
    uint64_t listed = 0;
    for (size_t w : m_writerOrder) {
        const int writerGroup = m_writerGroup[w];
        if (!m_writerFails[size_t(writerGroup)]) {
            continue;
        }
        const uint8_t* row = &m_incompatible[size_t(writerGroup) * size_t(m_readerGroups)];
        for (size_t r : m_readerOrder) {
            const int readerGroup = m_readerGroup[r];
            if (!row[readerGroup]) {
                continue;
            }
            if (listed == m_limits.pairsPerTopic) {
                break;
            }
            auto found = judged.find({writerGroup, readerGroup});
            if (found == judged.end()) {
                const Verdict verdict = m_table->judge(writerGroup, readerGroup);
                QStringList texts;
                for (const Reason& reason : verdict.reasons()) {
                    texts << reason.text();
                }
                // the separator of a verdict's own text
                const QString separator =
                    QCoreApplication::translate("Verdict", "；", "between two reasons");
                found = judged
                            .emplace(std::make_pair(writerGroup, readerGroup),
                                     std::make_pair(texts.join(separator), verdict.reasons()))
                            .first;
            }
            Problem pair = entry(ProblemLevel::Error, Problem::Kind::IncompatiblePair);
            pair.writer = shown(m_topic.writers, w, m_writersShown);
            pair.reader = shown(m_topic.readers, r, m_readersShown);
            pair.text = found->second.first;
            pair.reasons = found->second.second;
            m_errors.push_back(std::move(pair));
            ++listed;
        }
        if (listed == m_limits.pairsPerTopic) {
            break;
        }
    }
    if (m_pairs > listed) {
        Problem more = entry(ProblemLevel::Error, Problem::Kind::MorePairs);
        more.count = m_pairs - listed;
        more.text = tr("还有 %1 对无法匹配的发布端和订阅端未列出").arg(more.count);
        m_errors.push_back(std::move(more));
    }
}

void TopicProblems::listUnmatched()
{
    if (m_unmatched == 0) {
        return;
    }
    uint64_t listed = 0;
    // One side's endpoints that match nothing, by key, as far as the limit allows.
    auto list = [&](const auto& endpoints, const std::vector<size_t>& order,
                    const std::vector<int>& groups, const std::vector<uint8_t>& matches,
                    std::vector<ProblemEndpoint>& cache, Problem::Kind kind,
                    ProblemEndpoint Problem::*side, const QString& text) {
        for (size_t i : order) {
            if (listed == m_limits.endpointsPerTopic) {
                return;
            }
            if (!matches[size_t(groups[i])]) {
                Problem warning = entry(ProblemLevel::Warning, kind);
                warning.*side = shown(endpoints, i, cache);
                warning.text = text;
                m_warnings.push_back(std::move(warning));
                ++listed;
            }
        }
    };
    list(m_topic.writers, m_writerOrder, m_writerGroup, m_writerMatches, m_writersShown,
         Problem::Kind::UnmatchedWriter, &Problem::writer,
         tr("没有可以匹配的订阅端（共 %1 个订阅端）").arg(m_topic.readers.size()));
    list(m_topic.readers, m_readerOrder, m_readerGroup, m_readerMatches, m_readersShown,
         Problem::Kind::UnmatchedReader, &Problem::reader,
         tr("没有可以匹配的发布端（共 %1 个发布端）").arg(m_topic.writers.size()));
    if (m_unmatched > listed) {
        Problem more = entry(ProblemLevel::Warning, Problem::Kind::MoreUnmatched);
        more.count = m_unmatched - listed;
        more.text = tr("还有 %1 个没有匹配对象的端点未列出").arg(more.count);
        m_warnings.push_back(std::move(more));
    }
}
