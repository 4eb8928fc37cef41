// The record changes a participant has noticed and not handed over yet, one entry per entity:
// a second change of the same entity before the hand-over adds its policies to the first, so
// the journal never holds more entries than there are entities.
#pragma once

#include "GuidKey.h"
#include "RecordChange.h"
#include "RecordDiff.h"

#include <unordered_map>
#include <vector>

namespace ZORVAN {

class RecordChangeJournal
{
public:
    // Nothing is noted for an empty set of policies.
    void note(RecordKind kind, const GuidKey& key, RecordDiff::Policies policies);
    // The entity is gone: its pending change goes with it.
    void forget(RecordKind kind, const GuidKey& key);
    // Replaces `changes` with the pending changes in the order first noticed and empties the
    // journal.
    void takeAll(RecordChangeSeq& changes);
    void clear();

private:
    struct Entry
    {
        RecordKind kind;
        GuidKey key;
        RecordDiff::Policies policies; // 0: forgotten
    };
    using Index = std::unordered_map<GuidKey, size_t, GuidKey::Hash>;

    Index& indexOf(RecordKind kind) { return m_index[size_t(kind)]; }

    std::vector<Entry> m_entries;
    Index m_index[3]; // per kind: key to its entry
};

} // namespace ZORVAN
