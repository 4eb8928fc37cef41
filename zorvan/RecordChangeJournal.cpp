#include "RecordChangeJournal.h"

namespace ZORVAN {

void RecordChangeJournal::note(RecordKind kind, const GuidKey& key, RecordDiff::Policies policies)
{
    if (policies == 0) {
        return;
    }
    Index& index = indexOf(kind);
    const auto found = index.find(key);
    if (found != index.end()) {
        m_entries[found->second].policies |= policies;
        return;
    }
    m_entries.push_back(Entry{kind, key, policies});
    try {
        index.emplace(key, m_entries.size() - 1);
    } catch (...) {
        m_entries.pop_back();
        throw;
    }
}

void RecordChangeJournal::forget(RecordKind kind, const GuidKey& key)
{
    Index& index = indexOf(kind);
    const auto found = index.find(key);
    if (found == index.end()) {
        return;
    }
    m_entries[found->second].policies = 0;
    index.erase(found);
}

void RecordChangeJournal::takeAll(RecordChangeSeq& changes)
{
    changes.clear();
    changes.reserve(m_entries.size());
    for (const Entry& entry : m_entries) {
        if (entry.policies != 0) {
            changes.push_back(
                RecordChange{entry.kind, entry.key.toHandle(), RecordDiff::names(entry.policies)});
        }
    }
    clear();
}

void RecordChangeJournal::clear()
{
    m_entries.clear();
    for (Index& index : m_index) {
        index.clear();
    }
}

} // namespace ZORVAN
