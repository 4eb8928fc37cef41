// The converted builtin-topic records of one kind (participants, publications or
// subscriptions) that a participant has taken from Cyclone, keyed by GUID. Listing walks the
// records in the order they were first seen, so a steady network lists the same sequence.
// A stored record is never changed: a new announcement replaces it with a new one, so a record
// handed out shared stays as it was for whoever keeps it.
#pragma once

#include "GuidKey.h"

#include <memory>
#include <new>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ZORVAN {

template <typename Record> class BuiltinTable
{
public:
    // Inserts a new record at the end, or replaces the record of a known GUID in place (a QoS
    // change keeps the entity's position in the list).
    void put(const GuidKey& key, Record&& record)
    {
        const auto found = m_index.find(key);
        if (found != m_index.end()) {
            m_slots[found->second].record = std::make_shared<const Record>(std::move(record));
            return;
        }
        m_slots.push_back(Slot{key, true, std::make_shared<const Record>(std::move(record))});
        try {
            m_index.emplace(key, m_slots.size() - 1);
        } catch (...) {
            m_slots.pop_back();
            throw;
        }
    }

    void remove(const GuidKey& key)
    {
        const auto found = m_index.find(key);
        if (found == m_index.end()) {
            return;
        }
        Slot& slot = m_slots[found->second];
        slot.live = false;
        slot.record.reset();
        m_index.erase(found);
        ++m_dead;
        // Left-over slots are squeezed out once they are the majority, which keeps removal
        // O(1) amortised without disturbing the order of the survivors.
        if (m_dead > 32 && m_dead * 2 > m_slots.size()) {
            try {
                compact();
            } catch (const std::bad_alloc&) {
                // The dead slots simply stay until the next removal tries again.
            }
        }
    }

    const Record* find(const GuidKey& key) const
    {
        const auto found = m_index.find(key);
        return found == m_index.end() ? nullptr : m_slots[found->second].record.get();
    }

    // The stored record itself; null when there is none.
    std::shared_ptr<const Record> share(const GuidKey& key) const
    {
        const auto found = m_index.find(key);
        return found == m_index.end() ? nullptr : m_slots[found->second].record;
    }

    // Appends the handle of every record that keep(record) accepts, in list order.
    template <typename Keep> void appendHandles(InstanceHandleSeq& handles, Keep keep) const
    {
        handles.reserve(handles.size() + m_index.size());
        for (const Slot& slot : m_slots) {
            if (slot.live && keep(*slot.record)) {
                handles.push_back(slot.key.toHandle());
            }
        }
    }

    size_t size() const { return m_index.size(); }

    void clear()
    {
        m_slots.clear();
        m_index.clear();
        m_dead = 0;
    }

private:
    struct Slot
    {
        GuidKey key;
        bool live;
        std::shared_ptr<const Record> record;
    };

    void compact()
    {
        std::vector<Slot> kept;
        kept.reserve(m_index.size());
        for (Slot& slot : m_slots) {
            if (slot.live) {
                kept.push_back(std::move(slot));
            }
        }
        for (size_t i = 0; i < kept.size(); ++i) {
            m_index[kept[i].key] = i;
        }
        m_slots = std::move(kept);
        m_dead = 0;
    }

    std::vector<Slot> m_slots;
    std::unordered_map<GuidKey, size_t, GuidKey::Hash> m_index;
    size_t m_dead = 0;
};

} // namespace ZORVAN
