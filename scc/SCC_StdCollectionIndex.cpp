// The hash index of a collection's content: membership in O(1), so that notifications about
// handles the collection does not hold never search the content.
#include "SCC_StdCollection.h"

#include <cstdint>

namespace {

constexpr size_t kMinimumSlots = 16;

}  // namespace

size_t SCC_StdCollection::HomeSlot(SYS_Handle handle) const {
    uint64_t mixed = static_cast<uint64_t>(handle) * 0x9E3779B97F4A7C15ull;
    mixed ^= mixed >> 29;
    return static_cast<size_t>(mixed) & (m_members.size() - 1);
}

bool SCC_StdCollection::IsMember(SYS_Handle handle) const {
    if (handle == 0 || m_memberCount == 0) return false;
    const size_t mask = m_members.size() - 1;
    for (size_t slot = HomeSlot(handle);; slot = (slot + 1) & mask) {
        if (m_members[slot] == handle) return true;
        if (m_members[slot] == 0) return false;
    }
}

void SCC_StdCollection::AddMember(SYS_Handle handle) {
    if (handle == 0) return;
    if (static_cast<size_t>(m_memberCount + 1) * 2 > m_members.size()) {
        // Grow to twice the need and re-insert everything (amortised O(1) per add).
        std::vector<SYS_Handle> old;
        old.swap(m_members);
        size_t slots = kMinimumSlots;
        while (slots < static_cast<size_t>(m_memberCount + 1) * 4) slots *= 2;
        m_members.assign(slots, 0);
        m_memberCount = 0;
        for (SYS_Handle member : old)
            if (member != 0) AddMember(member);
    }
    const size_t mask = m_members.size() - 1;
    size_t slot = HomeSlot(handle);
    while (m_members[slot] != 0) {
        if (m_members[slot] == handle) return;
        slot = (slot + 1) & mask;
    }
    m_members[slot] = handle;
    ++m_memberCount;
}

// Backward-shift deletion: later members of the probe run move up, so no tombstones are needed.
void SCC_StdCollection::RemoveMember(SYS_Handle handle) {
    if (!IsMember(handle)) return;
    const size_t mask = m_members.size() - 1;
    size_t hole = HomeSlot(handle);
    while (m_members[hole] != handle) hole = (hole + 1) & mask;
    for (size_t next = (hole + 1) & mask; m_members[next] != 0; next = (next + 1) & mask) {
        const size_t home = HomeSlot(m_members[next]);
        // The member at `next` may fill the hole unless its home lies cyclically in (hole, next].
        const bool homeBetween = hole <= next ? (home > hole && home <= next)
                                              : (home > hole || home <= next);
        if (homeBetween) continue;
        m_members[hole] = m_members[next];
        hole = next;
    }
    m_members[hole] = 0;
    --m_memberCount;
}

void SCC_StdCollection::RebuildMembers() {
    m_members.assign(m_members.size(), 0);
    m_memberCount = 0;
    for (long i = 0; i < m_content.GetSize(); ++i) AddMember(m_content.GetAt(i));
}

void SCC_StdCollection::EmptyContent() {
    m_content.Clear();
    if (m_memberCount != 0) m_members.assign(m_members.size(), 0);
    m_memberCount = 0;
}
