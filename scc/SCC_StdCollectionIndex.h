#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "TessarTypes.h"

// The index of a collection's content: a set of non-zero handles, so that notifications about
// handles the collection does not hold never search the content.
//
// Open addressing with linear probing in a power-of-two table that is at most half full; 0 marks
// a free slot (0 is never a handle). A removal shifts the later members of its probe run back
// instead of leaving a tombstone, so every probe ends at the first free slot. Membership,
// insertion and removal take O(1) on average; growth re-inserts everything (amortised O(1)).
// Kept in a header of its own so that its tests can reach it; the library is its only user.
class SCC_StdCollectionIndex {
public:
    bool Contains(SYS_Handle handle) const {
        if (handle == 0 || m_count == 0) return false;
        for (size_t slot = HomeSlot(handle);; slot = NextSlot(slot)) {
            if (m_slots[slot] == handle) return true;
            if (m_slots[slot] == 0) return false;
        }
    }

    // Adds `handle`; 0 and members are ignored.
    void Add(SYS_Handle handle) {
        if (handle == 0) return;
        if (static_cast<size_t>(m_count + 1) * 2 > m_slots.size()) Grow();
        size_t slot = HomeSlot(handle);
        for (; m_slots[slot] != 0; slot = NextSlot(slot))
            if (m_slots[slot] == handle) return;
        m_slots[slot] = handle;
        ++m_count;
    }

    // Removes `handle`; a handle that is no member is ignored.
    void Remove(SYS_Handle handle) {
        if (!Contains(handle)) return;
        size_t hole = HomeSlot(handle);
        while (m_slots[hole] != handle) hole = NextSlot(hole);
        for (size_t next = NextSlot(hole); m_slots[next] != 0; next = NextSlot(next)) {
            const size_t home = HomeSlot(m_slots[next]);
            // The member at `next` may fill the hole unless its home lies cyclically in
            // (hole, next]: moving it before its home would hide it from its probe.
            const bool homeBetween = hole <= next ? (home > hole && home <= next)
                                                  : (home > hole || home <= next);
            if (homeBetween) continue;
            m_slots[hole] = m_slots[next];
            hole = next;
        }
        m_slots[hole] = 0;
        --m_count;
    }

    // Forgets every member and keeps the table.
    void Clear() {
        if (m_count == 0) return;  // an empty index has only free slots already
        m_slots.assign(m_slots.size(), 0);
        m_count = 0;
    }

    long GetCount() const { return m_count; }

private:
    static constexpr size_t kMinimumSlots = 16;

    size_t HomeSlot(SYS_Handle handle) const {
        uint64_t mixed = static_cast<uint64_t>(handle) * 0x9E3779B97F4A7C15ull;
        mixed ^= mixed >> 29;
        return static_cast<size_t>(mixed) & (m_slots.size() - 1);
    }
    size_t NextSlot(size_t slot) const { return (slot + 1) & (m_slots.size() - 1); }

    // Twice the need after the next add, and everything re-inserted.
    void Grow() {
        std::vector<SYS_Handle> old;
        old.swap(m_slots);
        size_t slots = kMinimumSlots;
        while (slots < static_cast<size_t>(m_count + 1) * 4) slots *= 2;
        m_slots.assign(slots, 0);
        m_count = 0;
        for (SYS_Handle member : old)
            if (member != 0) Add(member);
    }

    std::vector<SYS_Handle> m_slots;
    long m_count = 0;
};
