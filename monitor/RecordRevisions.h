// How recently the record of each discovered entity changed under its handle, so that a panel
// showing one entity can tell cheaply, on any dataChanged(), whether what it shows is stale.
#pragma once

#include "RecordChange.h"

#include <cstdint>
#include <map>

class RecordRevisions
{
public:
    // Every change gets the next revision number, counted from 1.
    void note(const ZORVAN::RecordChangeSeq& changes);
    // Entities that are gone.
    void forget(const ZORVAN::InstanceHandleSeq& gone);
    // The revision of the entity's latest change; 0 when none was seen (or it was forgotten).
    uint64_t revision(const ZORVAN::InstanceHandle_t& handle) const;
    // The revision of the latest change of any entity; 0 before the first.
    uint64_t latest() const { return m_latest; }
    // Calls visit(handle) for every entity, not forgotten, whose latest change came after
    // `revision`.
    template <class Visit> void eachChangedSince(uint64_t revision, Visit&& visit) const
    {
        if (revision >= m_latest) {
            return;
        }
        for (const auto& entry : m_revisions) {
            if (entry.second > revision) {
                visit(entry.first);
            }
        }
    }

private:
    uint64_t m_latest = 0;
    std::map<ZORVAN::InstanceHandle_t, uint64_t> m_revisions;
};
