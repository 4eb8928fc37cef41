#include "TopicIndex.h"

TopicIndex indexTopics(const SnapshotDomain& domain)
{
    TopicIndex index;
    for (size_t i = 0; i < domain.writers.size(); ++i) {
        const auto& record = domain.writers[i].record;
        TopicEntry& entry = index[record.topic_name];
        entry.types.insert(record.type_name);
        entry.writers.push_back(i);
    }
    for (size_t i = 0; i < domain.readers.size(); ++i) {
        const auto& record = domain.readers[i].record;
        TopicEntry& entry = index[record.topic_name];
        entry.types.insert(record.type_name);
        entry.readers.push_back(i);
    }
    return index;
}
