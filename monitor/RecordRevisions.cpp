#include "RecordRevisions.h"

void RecordRevisions::note(const ZORVAN::RecordChangeSeq& changes)
{
    for (const ZORVAN::RecordChange& change : changes) {
        m_revisions[change.handle] = ++m_latest;
    }
}

void RecordRevisions::forget(const ZORVAN::InstanceHandleSeq& gone)
{
    if (m_revisions.empty()) {
        return;
    }
    for (const ZORVAN::InstanceHandle_t& handle : gone) {
        m_revisions.erase(handle);
    }
}

uint64_t RecordRevisions::revision(const ZORVAN::InstanceHandle_t& handle) const
{
    const auto found = m_revisions.find(handle);
    return found == m_revisions.end() ? 0 : found->second;
}
