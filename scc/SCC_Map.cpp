#include "SCC_Map.h"

namespace {

long ValidTableSize(long tableSize) {
    if (SSM_CHECK(tableSize >= 1, "SCC_Map: the table size must be at least 1",
                  SCC_MapDetail::kUnit, SSM_FailureError))
        return tableSize;
    return 53;
}

}  // namespace

_SCC_Map::_SCC_Map(long tableSize)
    : m_unique(TRUE), m_tableSize(ValidTableSize(tableSize)), m_count(0), m_pending(nullptr) {}

// A new notifier: listeners are not copied.
_SCC_Map::_SCC_Map(const _SCC_Map& other)
    : SCC_Notifier(),
      m_unique(other.m_unique),
      m_tableSize(other.m_tableSize),
      m_count(other.m_count),
      m_pending(nullptr) {}

long _SCC_Map::ReduceHash(long hash, long tableSize) {
    if (tableSize < 1) return 0;
    long bucket = hash % tableSize;
    return bucket < 0 ? bucket + tableSize : bucket;
}

void _SCC_Map::ForgetPendingSlow(const void* node) {
    for (PendingNode* pending = m_pending; pending != nullptr; pending = pending->m_outer)
        if (node == nullptr || pending->node == node) pending->node = nullptr;
}
